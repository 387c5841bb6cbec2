#pragma once

#include "platform/device/DesktopBrightness.h"

#include <QDBusConnection>
#include <QDBusMessage>

#include <optional>
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
class KdeScreenBrightness : public DesktopBrightnessService {
    Q_OBJECT
public:
    // `service` is the bus name to talk to: either of Plasma 6's names.
    KdeScreenBrightness(QDBusConnection bus, QString service);

    // The read that tells Plasma 6 from Plasma 5 under one name: only
    // Plasma 6 serves the per-display root object there.
    static QDBusMessage DisplaysCall(const QString& service);
    // Whether `service` serves the per-display root object, asked with a
    // read bounded like the others; nullopt when it did not answer in time.
    static std::optional<bool> IsServedBy(QDBusConnection bus, const QString& service);

    QString Title() const override;

protected:
    std::optional<State> ReadState() override;
    QDBusMessage SetCall(int value) const override;
    QDBusMessage ProbeCall() const override;

private slots:
    void OnBrightnessChanged(const QString& display, int value, const QString& sourceClient,
                             const QString& sourceContext);
    void OnDisplaysChanged(const QDBusMessage& signal);

private:
    std::optional<QVariant> Property(const QString& path, const QString& interface, const QString& name);
    QString PanelPath() const;

    QString panel_; // the internal display's D-Bus name, or empty
};

} // namespace lumora
