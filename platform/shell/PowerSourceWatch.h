#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <optional>

namespace lumora {

// Whether the machine runs on its battery: UPower's OnBattery on the system
// bus, read once (asynchronously) and then followed through its
// PropertiesChanged signal. When UPower starts later, or again, it is read
// afresh. Costs nothing at rest.
class PowerSourceWatch : public QObject {
    Q_OBJECT
public:
    static constexpr char kService[] = "org.freedesktop.UPower";

    // Listens on `bus`; nullptr when it is not connected.
    static std::unique_ptr<PowerSourceWatch> Open(QDBusConnection bus = QDBusConnection::systemBus());

    // Nullopt until UPower has answered.
    std::optional<bool> OnBattery() const { return onBattery_; }
    // Called on the user-interface thread when the value is first known and
    // whenever it changes.
    std::function<void(bool onBattery)> OnChanged;

private slots:
    void PropertiesChanged(const QString& interface, const QVariantMap& changed, const QStringList& invalidated);
    void ServiceRegistered();

private:
    explicit PowerSourceWatch(QDBusConnection bus);
    void Read();
    void Take(bool onBattery);

    QDBusConnection bus_;
    std::optional<bool> onBattery_;
};

} // namespace lumora
