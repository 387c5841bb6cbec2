#pragma once

#include "platform/device/DesktopBrightness.h"

#include <QDBusConnection>
#include <QStringList>
#include <QVariantMap>

namespace lumora {

inline const QString kGnomePowerService = QStringLiteral("org.gnome.SettingsDaemon.Power");

// GNOME's settings daemon: the Brightness property (percent) of
// org.gnome.SettingsDaemon.Power.Screen, followed through its
// PropertiesChanged. A Brightness of -1 means the daemon found no panel;
// the range is 100 from the first report of a panel on.
class GnomeBrightness : public DesktopBrightnessService {
    Q_OBJECT
public:
    explicit GnomeBrightness(QDBusConnection bus);

    // The read of the screen's brightness: GNOME 49 and later keep the
    // name but no longer serve the screen's interface.
    static QDBusMessage ProbeCallTo(const QString& service);

    QString Title() const override;

protected:
    std::optional<State> ReadState() override;
    QDBusMessage SetCall(int value) const override;
    QDBusMessage ProbeCall() const override;

private slots:
    void OnPropertiesChanged(const QString& interface, const QVariantMap& changed, const QStringList& invalidated);
};

} // namespace lumora
