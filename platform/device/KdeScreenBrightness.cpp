#include "platform/device/KdeScreenBrightness.h"

#include <QDBusArgument>
#include <QDBusError>
#include <QDBusVariant>

namespace lumora {

namespace {

const QString kRoot = QStringLiteral("/org/kde/ScreenBrightness");
const QString kRootInterface = QStringLiteral("org.kde.ScreenBrightness");
const QString kDisplayInterface = QStringLiteral("org.kde.ScreenBrightness.Display");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

// SetBrightness's flag that keeps Plasma's on-screen display away.
constexpr uint kSuppressIndicator = 0x1;

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
    : DesktopBrightnessService(std::move(bus), std::move(service))
{
    bus_.connect(service_, kRoot, kRootInterface, QStringLiteral("BrightnessChanged"), this,
                 SLOT(OnBrightnessChanged(QString, int, QString, QString)));
    // Any of these may change which display is the panel, or its range; the
    // message form takes them whatever their arguments (the range signal
    // gained an argument between Plasma versions).
    for (const QString& member : {QStringLiteral("DisplayAdded"), QStringLiteral("DisplayRemoved"),
                                  QStringLiteral("BrightnessRangeChanged")})
        bus_.connect(service_, kRoot, kRootInterface, member, this, SLOT(OnDisplaysChanged(QDBusMessage)));
}

QDBusMessage KdeScreenBrightness::DisplaysCall(const QString& service)
{
    return GetCall(service, kRoot, kRootInterface, QStringLiteral("DisplaysDBusNames"));
}

std::optional<bool> KdeScreenBrightness::IsServedBy(QDBusConnection bus, const QString& service)
{
    const QDBusMessage reply = bus.call(DisplaysCall(service), QDBus::Block, kReadMs);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return true;
    const QDBusError::ErrorType type = QDBusError(reply).type();
    if (type == QDBusError::NoReply || type == QDBusError::Timeout)
        return std::nullopt;
    return false;
}

QString KdeScreenBrightness::Title() const { return QStringLiteral("KDE screen brightness"); }

std::optional<QVariant> KdeScreenBrightness::Property(const QString& path, const QString& interface,
                                                      const QString& name)
{
    const auto answer = Read(GetCall(service_, path, interface, name));
    if (!answer)
        return std::nullopt;
    return Unwrapped(answer->value(0));
}

QString KdeScreenBrightness::PanelPath() const { return kRoot + u'/' + panel_; }

std::optional<DesktopBrightnessService::State> KdeScreenBrightness::ReadState()
{
    const auto names = Property(kRoot, kRootInterface, QStringLiteral("DisplaysDBusNames"));
    if (!names)
        return std::nullopt;
    std::vector<ScreenBrightnessDisplay> displays;
    for (const QString& name : StringsOf(*names)) {
        const auto internal = Property(kRoot + u'/' + name, kDisplayInterface, QStringLiteral("IsInternal"));
        if (!internal)
            return std::nullopt;
        displays.push_back({name, internal->toBool()});
    }
    panel_ = PanelDisplayOf(displays);
    if (panel_.isEmpty())
        return State{};
    const auto maximum = Property(PanelPath(), kDisplayInterface, QStringLiteral("MaxBrightness"));
    const auto value = maximum ? Property(PanelPath(), kDisplayInterface, QStringLiteral("Brightness")) : std::nullopt;
    if (!value)
        return std::nullopt;
    return State{maximum->toInt(), value->toInt()};
}

QDBusMessage KdeScreenBrightness::SetCall(int value) const
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(service_, PanelPath(), kDisplayInterface, QStringLiteral("SetBrightness"));
    call << value << kSuppressIndicator;
    return call;
}

QDBusMessage KdeScreenBrightness::ProbeCall() const { return DisplaysCall(service_); }

void KdeScreenBrightness::OnBrightnessChanged(const QString& display, int value, const QString&, const QString&)
{
    // Reports of the external displays are theirs. After a display came or
    // went the panel is the one last found until the displays are read again.
    if (!panel_.isEmpty() && display == panel_)
        Reported(value);
}

void KdeScreenBrightness::OnDisplaysChanged(const QDBusMessage&) { RangeChanged(); }

} // namespace lumora
