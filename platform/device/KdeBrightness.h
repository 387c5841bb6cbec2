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
class KdeBrightness : public DesktopBrightness {
    Q_OBJECT
public:
    explicit KdeBrightness(QDBusConnection bus);

    QString Title() const override;
    int Maximum() override;
    int Value() override;
    void SetValue(int value) override;

private slots:
    void OnBrightnessChanged(int value);

private:
    QDBusMessage Call(const QString& method) const;

    QDBusConnection bus_;
    int maximum_ = -1; // read once, at first use
};

} // namespace lumora
