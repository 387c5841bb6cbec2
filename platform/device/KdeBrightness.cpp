#include "platform/device/KdeBrightness.h"

namespace lumora {

namespace {

const QString kPath = QStringLiteral("/org/kde/Solid/PowerManagement/Actions/BrightnessControl");
const QString kInterface = QStringLiteral("org.kde.Solid.PowerManagement.Actions.BrightnessControl");

} // namespace

KdeBrightness::KdeBrightness(QDBusConnection bus) : bus_(std::move(bus))
{
    bus_.connect(kKdePowerService, kPath, kInterface, QStringLiteral("brightnessChanged"), this,
                 SLOT(OnBrightnessChanged(int)));
}

QString KdeBrightness::Title() const { return QStringLiteral("KDE power management"); }

QDBusMessage KdeBrightness::Call(const QString& method) const
{
    return QDBusMessage::createMethodCall(kKdePowerService, kPath, kInterface, method);
}

int KdeBrightness::Maximum()
{
    // The name is claimed before the objects are served, so the range is
    // asked for when the panel is first used, not when the name appears.
    if (maximum_ < 0)
        maximum_ = Ask(bus_, Call(QStringLiteral("brightnessMax"))).value(0).toInt();
    return maximum_;
}

int KdeBrightness::Value() { return Ask(bus_, Call(QStringLiteral("brightness"))).value(0).toInt(); }

void KdeBrightness::SetValue(int value)
{
    QDBusMessage call = Call(QStringLiteral("setBrightnessSilent"));
    call << value;
    Ask(bus_, call);
}

void KdeBrightness::OnBrightnessChanged(int value) { emit ValueChanged(value); }

} // namespace lumora
