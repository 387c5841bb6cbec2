#include "platform/device/KdeScreenBrightness.h"

#include "platform/framework/Exception.h"

#include <QDBusArgument>
#include <QDBusVariant>

namespace lumora {

namespace {

const QString kRoot = QStringLiteral("/org/kde/ScreenBrightness");
const QString kRootInterface = QStringLiteral("org.kde.ScreenBrightness");
const QString kDisplayInterface = QStringLiteral("org.kde.ScreenBrightness.Display");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

// SetBrightness's flag that keeps Plasma's on-screen display away.
constexpr uint kSuppressIndicator = 0x1;

// The service answers at once when it serves the object at all.
constexpr int kProbeMs = 2000;

QDBusMessage GetCall(const QString& service, const QString& path, const QString& interface, const QString& name)
{
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, kProperties, QStringLiteral("Get"));
    call << interface << name;
    return call;
}

QVariant Unwrapped(const QVariant& value)
{
    if (value.canConvert<QDBusVariant>())
        return value.value<QDBusVariant>().variant();
    return value;
}

QStringList StringsOf(const QVariant& value)
{
    if (value.canConvert<QDBusArgument>())
        return qdbus_cast<QStringList>(value.value<QDBusArgument>());
    return value.toStringList();
}

} // namespace

QString PanelDisplayOf(const std::vector<ScreenBrightnessDisplay>& displays)
{
    for (const ScreenBrightnessDisplay& display : displays) {
        if (display.IsInternal)
            return display.DbusName;
    }
    return QString();
}

KdeScreenBrightness::KdeScreenBrightness(QDBusConnection bus, QString service)
    : bus_(std::move(bus)), service_(std::move(service))
{
    bus_.connect(service_, kRoot, kRootInterface, QStringLiteral("BrightnessChanged"), this,
                 SLOT(OnBrightnessChanged(QString, int, QString, QString)));
    // Any of these may change which display is the panel, or its range; the
    // message form takes them whatever their arguments.
    for (const QString& member : {QStringLiteral("DisplayAdded"), QStringLiteral("DisplayRemoved"),
                                  QStringLiteral("BrightnessRangeChanged")})
        bus_.connect(service_, kRoot, kRootInterface, member, this, SLOT(OnDisplaysChanged(QDBusMessage)));
}

bool KdeScreenBrightness::IsServedBy(QDBusConnection bus, const QString& service)
{
    const QDBusMessage reply =
        bus.call(GetCall(service, kRoot, kRootInterface, QStringLiteral("DisplaysDBusNames")), QDBus::Block, kProbeMs);
    return reply.type() == QDBusMessage::ReplyMessage;
}

QString KdeScreenBrightness::Title() const { return QStringLiteral("KDE screen brightness"); }

QVariant KdeScreenBrightness::Property(const QString& path, const QString& interface, const QString& name) const
{
    return Unwrapped(Ask(bus_, GetCall(service_, path, interface, name)).value(0));
}

QString KdeScreenBrightness::PanelPath() const { return kRoot + u'/' + panel_; }

void KdeScreenBrightness::FindPanel()
{
    if (found_)
        return;
    std::vector<ScreenBrightnessDisplay> displays;
    for (const QString& name : StringsOf(Property(kRoot, kRootInterface, QStringLiteral("DisplaysDBusNames")))) {
        const bool internal =
            Property(kRoot + u'/' + name, kDisplayInterface, QStringLiteral("IsInternal")).toBool();
        displays.push_back({name, internal});
    }
    panel_ = PanelDisplayOf(displays);
    maximum_ = panel_.isEmpty() ? 0 : Property(PanelPath(), kDisplayInterface, QStringLiteral("MaxBrightness")).toInt();
    found_ = true;
}

int KdeScreenBrightness::Maximum()
{
    FindPanel();
    return maximum_;
}

int KdeScreenBrightness::Value()
{
    FindPanel();
    if (panel_.isEmpty())
        return 0;
    return Property(PanelPath(), kDisplayInterface, QStringLiteral("Brightness")).toInt();
}

void KdeScreenBrightness::SetValue(int value)
{
    FindPanel();
    if (panel_.isEmpty())
        throw EOSError(QStringLiteral("%1 has no built-in panel").arg(Title()));
    QDBusMessage call =
        QDBusMessage::createMethodCall(service_, PanelPath(), kDisplayInterface, QStringLiteral("SetBrightness"));
    call << value << kSuppressIndicator;
    Ask(bus_, call);
}

void KdeScreenBrightness::OnBrightnessChanged(const QString& display, int value, const QString&, const QString&)
{
    // Reports of the external displays are theirs. After a display came or
    // went the panel is the one last found until the displays are read again.
    if (!panel_.isEmpty() && display == panel_)
        emit ValueChanged(value);
}

void KdeScreenBrightness::OnDisplaysChanged(const QDBusMessage&) { found_ = false; }

} // namespace lumora
