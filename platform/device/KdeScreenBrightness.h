#pragma once

#include "platform/device/DesktopBrightness.h"

#include <QDBusConnection>
#include <QDBusMessage>

#include <vector>

namespace lumora {

// The name Plasma 6's power management claims for its per-display brightness
// beside org.kde.Solid.PowerManagement; both name the same process.
inline const QString kScreenBrightnessService = QStringLiteral("org.kde.ScreenBrightness");

// One display as org.kde.ScreenBrightness lists it.
struct ScreenBrightnessDisplay {
    QString DbusName; // the last part of its object path
    bool IsInternal = false;
};

// The display that is the built-in panel: the first internal one, in the
// service's order; empty when every display is external.
QString PanelDisplayOf(const std::vector<ScreenBrightnessDisplay>& displays);

// KDE Plasma 6's power management: one object per display under
// /org/kde/ScreenBrightness. The panel is the internal display; values are
// its own steps, 0..MaxBrightness. Writes ask Plasma to leave its
// on-screen display away, as the program shows the level itself.
//
// The displays are read at first use and again after the service reports
// a display added or removed, or a new range; with no internal display the
// range is 0 and the backlight device stays in use.
class KdeScreenBrightness : public DesktopBrightness {
    Q_OBJECT
public:
    // `service` is the bus name to talk to: either of Plasma 6's names.
    KdeScreenBrightness(QDBusConnection bus, QString service);

    // Whether `service` serves the per-display root object (Plasma 6), not
    // only Plasma 5's brightness control action under the same name.
    static bool IsServedBy(QDBusConnection bus, const QString& service);

    QString Title() const override;
    int Maximum() override;
    int Value() override;
    void SetValue(int value) override;

private slots:
    void OnBrightnessChanged(const QString& display, int value, const QString& sourceClient,
                             const QString& sourceContext);
    void OnDisplaysChanged(const QDBusMessage& signal);

private:
    // Reads the displays and the panel's range, once until they change.
    void FindPanel();
    QVariant Property(const QString& path, const QString& interface, const QString& name) const;
    QString PanelPath() const;

    QDBusConnection bus_;
    QString service_;
    bool found_ = false;   // panel_ and maximum_ are known
    QString panel_;        // the internal display's D-Bus name, or empty
    int maximum_ = 0;
};

} // namespace lumora
