#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <optional>

namespace lumora {

// The room's light from iio-sensor-proxy (net.hadess.SensorProxy on the
// system bus): when the machine has a light sensor (HasAmbientLight) the
// sensor is claimed (ClaimLight), and its LightLevel followed through
// PropertiesChanged, which the service sends only to claimants. Readings in
// lux are reported as lux; readings in "vendor" units (a scale of the
// sensor's own, where more is brighter; some sensors give no lux) are
// reported apart, since a lux range means nothing for them. Readings in any
// other unit are not taken. Released when destroyed.
class AmbientLightWatch : public QObject {
    Q_OBJECT
public:
    static constexpr char kService[] = "net.hadess.SensorProxy";

    // Listens on `bus`; nullptr when it is not connected.
    static std::unique_ptr<AmbientLightWatch> Open(QDBusConnection bus = QDBusConnection::systemBus());
    ~AmbientLightWatch() override;

    bool HasSensor() const { return hasSensor_; }
    bool Claimed() const { return claimed_; }
    // The last reading in lux; nullopt before the first, or in another unit.
    std::optional<double> Lux() const { return lux_; }
    QString Unit() const { return unit_; }
    // The last reading in the vendor's unit; nullopt before the first, or
    // in lux.
    std::optional<double> VendorLevel() const { return vendor_; }

    std::function<void(double lux)> OnLux;
    std::function<void(double value)> OnVendorLevel;

private slots:
    void PropertiesChanged(const QString& interface, const QVariantMap& changed, const QStringList& invalidated);
    void ServiceRegistered();

private:
    explicit AmbientLightWatch(QDBusConnection bus);
    void ReadAll();
    void Take(const QVariantMap& properties);
    void Claim();

    QDBusConnection bus_;
    bool hasSensor_ = false;
    bool claimed_ = false;
    QString unit_ = QStringLiteral("lux");
    std::optional<double> lux_;
    std::optional<double> vendor_;
};

} // namespace lumora
