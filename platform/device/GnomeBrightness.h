#pragma once

#include "platform/device/DesktopBrightness.h"

#include <QDBusConnection>
#include <QStringList>
#include <QVariantMap>

namespace lumora {

inline const QString kGnomePowerService = QStringLiteral("org.gnome.SettingsDaemon.Power");

// GNOME's settings daemon: the Brightness property (percent) of
// org.gnome.SettingsDaemon.Power.Screen, followed through its
// PropertiesChanged. A Brightness of -1 means the daemon found no panel.
class GnomeBrightness : public DesktopBrightness {
    Q_OBJECT
public:
    explicit GnomeBrightness(QDBusConnection bus);

    QString Title() const override;
    int Maximum() override;
    int Value() override;
    void SetValue(int value) override;

private slots:
    void OnPropertiesChanged(const QString& interface, const QVariantMap& changed, const QStringList& invalidated);

private:
    QDBusConnection bus_;
    bool offered_ = false;
};

} // namespace lumora
