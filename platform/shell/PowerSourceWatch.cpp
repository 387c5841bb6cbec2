#include "platform/shell/PowerSourceWatch.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>

namespace lumora {

namespace {
const QString kPath = QStringLiteral("/org/freedesktop/UPower");
const QString kInterface = QStringLiteral("org.freedesktop.UPower");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
} // namespace

PowerSourceWatch::PowerSourceWatch(QDBusConnection bus) : bus_(std::move(bus)) {}

std::unique_ptr<PowerSourceWatch> PowerSourceWatch::Open(QDBusConnection bus)
{
    if (!bus.isConnected())
        return nullptr;
    std::unique_ptr<PowerSourceWatch> watch(new PowerSourceWatch(bus));
    const QString service = QString::fromLatin1(kService);
    bus.connect(service, kPath, kProperties, QStringLiteral("PropertiesChanged"), watch.get(),
                SLOT(PropertiesChanged(QString, QVariantMap, QStringList)));
    auto* starts = new QDBusServiceWatcher(service, bus, QDBusServiceWatcher::WatchForRegistration, watch.get());
    QObject::connect(starts, &QDBusServiceWatcher::serviceRegistered, watch.get(), &PowerSourceWatch::ServiceRegistered);
    watch->Read();
    return watch;
}

void PowerSourceWatch::Read()
{
    QDBusMessage get = QDBusMessage::createMethodCall(QString::fromLatin1(kService), kPath, kProperties, QStringLiteral("Get"));
    get.setArguments({kInterface, QStringLiteral("OnBattery")});
    // Never waited on: the answer arrives through the event loop.
    auto* call = new QDBusPendingCallWatcher(bus_.asyncCall(get, 2000), this);
    QObject::connect(call, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusPendingReply<QDBusVariant> reply = *w;
        if (!reply.isError())
            Take(reply.value().variant().toBool());
    });
}

void PowerSourceWatch::ServiceRegistered() { Read(); }

void PowerSourceWatch::PropertiesChanged(const QString& interface, const QVariantMap& changed, const QStringList& invalidated)
{
    if (interface != kInterface)
        return;
    if (const auto it = changed.constFind(QStringLiteral("OnBattery")); it != changed.constEnd())
        Take(it->toBool());
    else if (invalidated.contains(QStringLiteral("OnBattery")))
        Read();
}

void PowerSourceWatch::Take(bool onBattery)
{
    if (onBattery_ == onBattery)
        return;
    onBattery_ = onBattery;
    if (OnChanged)
        OnChanged(onBattery);
}

} // namespace lumora
