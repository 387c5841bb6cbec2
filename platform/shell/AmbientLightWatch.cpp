#include "platform/shell/AmbientLightWatch.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>

#include <cmath>

namespace lumora {

namespace {
const QString kPath = QStringLiteral("/net/hadess/SensorProxy");
const QString kInterface = QStringLiteral("net.hadess.SensorProxy");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
} // namespace

AmbientLightWatch::AmbientLightWatch(QDBusConnection bus) : bus_(std::move(bus)) {}

std::unique_ptr<AmbientLightWatch> AmbientLightWatch::Open(QDBusConnection bus)
{
    if (!bus.isConnected())
        return nullptr;
    std::unique_ptr<AmbientLightWatch> watch(new AmbientLightWatch(bus));
    const QString service = QString::fromLatin1(kService);
    bus.connect(service, kPath, kProperties, QStringLiteral("PropertiesChanged"), watch.get(),
                SLOT(PropertiesChanged(QString, QVariantMap, QStringList)));
    auto* starts = new QDBusServiceWatcher(service, bus, QDBusServiceWatcher::WatchForRegistration, watch.get());
    QObject::connect(starts, &QDBusServiceWatcher::serviceRegistered, watch.get(), &AmbientLightWatch::ServiceRegistered);
    watch->ReadAll();
    return watch;
}

AmbientLightWatch::~AmbientLightWatch()
{
    if (claimed_ && bus_.isConnected()) {
        // Not waited on; the service also lets go when we leave the bus.
        bus_.call(QDBusMessage::createMethodCall(QString::fromLatin1(kService), kPath, kInterface,
                                                 QStringLiteral("ReleaseLight")),
                  QDBus::NoBlock);
    }
}

void AmbientLightWatch::ServiceRegistered()
{
    claimed_ = false;
    ReadAll();
}

void AmbientLightWatch::ReadAll()
{
    QDBusMessage get = QDBusMessage::createMethodCall(QString::fromLatin1(kService), kPath, kProperties, QStringLiteral("GetAll"));
    get.setArguments({kInterface});
    auto* call = new QDBusPendingCallWatcher(bus_.asyncCall(get, 2000), this);
    QObject::connect(call, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusPendingReply<QVariantMap> reply = *w;
        if (!reply.isError())
            Take(reply.value());
    });
}

void AmbientLightWatch::Claim()
{
    if (claimed_)
        return;
    claimed_ = true;
    QDBusMessage claim = QDBusMessage::createMethodCall(QString::fromLatin1(kService), kPath, kInterface, QStringLiteral("ClaimLight"));
    auto* call = new QDBusPendingCallWatcher(bus_.asyncCall(claim, 2000), this);
    QObject::connect(call, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        if (w->isError()) {
            claimed_ = false;
            return;
        }
        // The level before the claim may be stale; read what it is now.
        ReadAll();
    });
}

void AmbientLightWatch::PropertiesChanged(const QString& interface, const QVariantMap& changed, const QStringList&)
{
    if (interface == kInterface)
        Take(changed);
}

void AmbientLightWatch::Take(const QVariantMap& p)
{
    if (const auto it = p.constFind(QStringLiteral("HasAmbientLight")); it != p.constEnd()) {
        hasSensor_ = it->toBool();
        if (hasSensor_)
            Claim();
    }
    if (const auto it = p.constFind(QStringLiteral("LightLevelUnit")); it != p.constEnd())
        unit_ = it->toString();
    const auto it = p.constFind(QStringLiteral("LightLevel"));
    if (it == p.constEnd() || !hasSensor_ || !claimed_)
        return;
    const double value = it->toDouble();
    const bool lux = unit_ == u"lux";
    const bool vendor = unit_ == u"vendor";
    // A reading in one unit makes the last one in the other stale.
    if (!lux)
        lux_.reset();
    if (!vendor)
        vendor_.reset();
    if (!std::isfinite(value) || value < 0 || !(lux || vendor))
        return;
    std::optional<double>& last = lux ? lux_ : vendor_;
    if (last == value)
        return;
    last = value;
    const auto& report = lux ? OnLux : OnVendorLevel;
    if (report)
        report(value);
}

} // namespace lumora
