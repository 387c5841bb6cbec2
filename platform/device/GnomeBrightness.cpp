#include "platform/device/GnomeBrightness.h"

#include <QDBusVariant>

namespace lumora {

namespace {

const QString kPath = QStringLiteral("/org/gnome/SettingsDaemon/Power");
const QString kScreen = QStringLiteral("org.gnome.SettingsDaemon.Power.Screen");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kBrightness = QStringLiteral("Brightness");

int IntOf(const QVariant& value)
{
    // Properties come wrapped in a variant.
    if (value.canConvert<QDBusVariant>())
        return value.value<QDBusVariant>().variant().toInt();
    return value.toInt();
}

// The range that goes with a reported brightness.
int MaximumFor(int brightness) { return brightness >= 0 ? 100 : 0; }

} // namespace

GnomeBrightness::GnomeBrightness(QDBusConnection bus) : DesktopBrightnessService(std::move(bus), kGnomePowerService)
{
    bus_.connect(service_, kPath, kProperties, QStringLiteral("PropertiesChanged"), this,
                 SLOT(OnPropertiesChanged(QString, QVariantMap, QStringList)));
}

QString GnomeBrightness::Title() const { return QStringLiteral("GNOME power settings"); }

std::optional<DesktopBrightnessService::State> GnomeBrightness::ReadState()
{
    const auto answer = Read(ProbeCall());
    if (!answer)
        return std::nullopt;
    const int brightness = IntOf(answer->value(0));
    return State{MaximumFor(brightness), brightness};
}

QDBusMessage GnomeBrightness::SetCall(int value) const
{
    QDBusMessage call = QDBusMessage::createMethodCall(service_, kPath, kProperties, QStringLiteral("Set"));
    call << kScreen << kBrightness << QVariant::fromValue(QDBusVariant(value));
    return call;
}

QDBusMessage GnomeBrightness::ProbeCallTo(const QString& service)
{
    QDBusMessage call = QDBusMessage::createMethodCall(service, kPath, kProperties, QStringLiteral("Get"));
    call << kScreen << kBrightness;
    return call;
}

QDBusMessage GnomeBrightness::ProbeCall() const { return ProbeCallTo(service_); }

void GnomeBrightness::OnPropertiesChanged(const QString& interface, const QVariantMap& changed, const QStringList&)
{
    if (interface != kScreen)
        return;
    const auto it = changed.find(kBrightness);
    if (it != changed.end()) {
        const int brightness = IntOf(*it);
        Reported(brightness, MaximumFor(brightness));
    }
}

} // namespace lumora
