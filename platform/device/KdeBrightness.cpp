#include "platform/device/KdeBrightness.h"

namespace lumora {

namespace {

const QString kPath = QStringLiteral("/org/kde/Solid/PowerManagement/Actions/BrightnessControl");
const QString kInterface = QStringLiteral("org.kde.Solid.PowerManagement.Actions.BrightnessControl");

} // namespace

KdeBrightness::KdeBrightness(QDBusConnection bus) : DesktopBrightnessService(std::move(bus), kKdePowerService)
{
    bus_.connect(service_, kPath, kInterface, QStringLiteral("brightnessChanged"), this,
                 SLOT(OnBrightnessChanged(int)));
    bus_.connect(service_, kPath, kInterface, QStringLiteral("brightnessMaxChanged"), this,
                 SLOT(OnBrightnessMaxChanged(int)));
}

QString KdeBrightness::Title() const { return QStringLiteral("KDE power management"); }

QDBusMessage KdeBrightness::Call(const QString& service, const QString& method)
{
    return QDBusMessage::createMethodCall(service, kPath, kInterface, method);
}

QDBusMessage KdeBrightness::ProbeCallTo(const QString& service) { return Call(service, QStringLiteral("brightnessMax")); }

std::optional<DesktopBrightnessService::State> KdeBrightness::ReadState()
{
    // The name is claimed before the objects are served, so the range is
    // asked for when the panel is first used, not when the name appears.
    const auto maximum = Read(Call(service_, QStringLiteral("brightnessMax")));
    if (!maximum)
        return std::nullopt;
    const auto value = Read(Call(service_, QStringLiteral("brightness")));
    if (!value)
        return std::nullopt;
    return State{maximum->value(0).toInt(), value->value(0).toInt()};
}

QDBusMessage KdeBrightness::SetCall(int value) const
{
    QDBusMessage call = Call(service_, QStringLiteral("setBrightnessSilent"));
    call << value;
    return call;
}

QDBusMessage KdeBrightness::ProbeCall() const { return ProbeCallTo(service_); }

void KdeBrightness::OnBrightnessChanged(int value) { Reported(value); }

void KdeBrightness::OnBrightnessMaxChanged(int) { RangeChanged(); }

} // namespace lumora
