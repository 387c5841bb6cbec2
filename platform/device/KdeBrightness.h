#pragma once

#include "platform/device/DesktopBrightness.h"

#include <QDBusConnection>

namespace lumora {

inline const QString kKdePowerService = QStringLiteral("org.kde.Solid.PowerManagement");

// KDE Plasma 5's power management: the brightness control action of
// org.kde.Solid.PowerManagement. Values are the panel's own steps,
// 0..brightnessMax. Writes go through setBrightnessSilent: the program shows
// the level itself, so Plasma's on-screen display stays away while the
// track bar is dragged.
class KdeBrightness : public DesktopBrightnessService {
    Q_OBJECT
public:
    explicit KdeBrightness(QDBusConnection bus);

    // The read that tells whether the power management serves the action:
    // Plasma 5 serves it only where it handles the backlight.
    static QDBusMessage ProbeCallTo(const QString& service);

    QString Title() const override;

protected:
    std::optional<State> ReadState() override;
    QDBusMessage SetCall(int value) const override;
    QDBusMessage ProbeCall() const override;

private slots:
    void OnBrightnessChanged(int value);
    void OnBrightnessMaxChanged(int maximum);

private:
    static QDBusMessage Call(const QString& service, const QString& method);
};

} // namespace lumora
