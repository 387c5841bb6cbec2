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

QDBusMessage KdeBrightness::Call(const QString& method) const
{
    return QDBusMessage::createMethodCall(service_, kPath, kInterface, method);
}

std::optional<DesktopBrightnessService::State> KdeBrightness::ReadState()
{
    // The name is claimed before the objects are served, so the range is
    // asked for when the panel is first used, not when the name appears.
    const auto maximum = Read(Call(QStringLiteral("brightnessMax")));
    if (!maximum)
        return std::nullopt;
    const auto value = Read(Call(QStringLiteral("brightness")));
    if (!value)
        return std::nullopt;
    return State{maximum->value(0).toInt(), value->value(0).toInt()};
}

QDBusMessage KdeBrightness::SetCall(int value) const
{
    QDBusMessage call = Call(QStringLiteral("setBrightnessSilent"));
    call << value;
    return call;
}

QDBusMessage KdeBrightness::ProbeCall() const { return Call(QStringLiteral("brightnessMax")); }

void KdeBrightness::OnBrightnessChanged(int value) { Reported(value); }

// The range is read again at next use, with the value on it.
void KdeBrightness::OnBrightnessMaxChanged(int) { RangeChanged(); }

} // namespace lumora
