#include "platform/shell/BrightnessBusService.h"

#include "platform/framework/Exception.h"

#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QDBusError>
#include <QDBusMessage>
#include <QVariantMap>

#include <algorithm>
#include <cstdio>

namespace lumora {

QDBusArgument& operator<<(QDBusArgument& argument, const BusMonitor& monitor)
{
    argument.beginStructure();
    argument << monitor.Id << monitor.Name << monitor.Level << monitor.Answering;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, BusMonitor& monitor)
{
    argument.beginStructure();
    argument >> monitor.Id >> monitor.Name >> monitor.Level >> monitor.Answering;
    argument.endStructure();
    return argument;
}

void RegisterBusMonitorTypes()
{
    static const bool registered = [] {
        qDBusRegisterMetaType<BusMonitor>();
        qDBusRegisterMetaType<BusMonitorList>();
        return true;
    }();
    (void)registered;
}

BrightnessBusService::BrightnessBusService() { RegisterBusMonitorTypes(); }

BrightnessBusService::~BrightnessBusService()
{
    if (!registered_)
        return;
    QDBusConnection bus(connectionName_);
    bus.unregisterService(QString::fromLatin1(brightnessbus::kService));
    bus.unregisterObject(QString::fromLatin1(brightnessbus::kPath));
}

bool BrightnessBusService::Register(QDBusConnection bus)
{
    if (registered_ || !bus.isConnected())
        return registered_;
    const QString path = QString::fromLatin1(brightnessbus::kPath);
    if (!bus.registerObject(path, this,
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties |
                                QDBusConnection::ExportAllSignals))
        return false;
    if (!bus.registerService(QString::fromLatin1(brightnessbus::kService))) {
        std::fprintf(stderr, "lumora: %s is taken on the session bus; scripts reach the copy that has it\n",
                     brightnessbus::kService);
        bus.unregisterObject(path);
        return false;
    }
    connectionName_ = bus.name();
    registered_ = true;
    return true;
}

int BrightnessBusService::Level() const { return LevelSource ? LevelSource() : -1; }

int BrightnessBusService::LevelCount() const { return LevelCountSource ? LevelCountSource() : 0; }

void BrightnessBusService::AnnounceLevel(int level)
{
    if (!registered_)
        return;
    emit LevelChanged(level);
    QDBusMessage changed = QDBusMessage::createSignal(QString::fromLatin1(brightnessbus::kPath),
                                                      QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("PropertiesChanged"));
    changed << QString::fromLatin1(brightnessbus::kInterface) << QVariantMap{{QStringLiteral("Level"), level}}
            << QStringList();
    QDBusConnection(connectionName_).send(changed);
}

void BrightnessBusService::Refuse(const QString& errorName, const QString& text)
{
    if (!calledFromDBus())
        throw Exception(text);
    sendErrorReply(errorName, text);
}

void BrightnessBusService::SetLevel(int level)
{
    const int count = LevelCount();
    if (count < 1) {
        Refuse(QDBusError::errorString(QDBusError::Failed), QStringLiteral("The brightness levels are not known yet."));
        return;
    }
    if (level < 0 || level > count - 1) {
        Refuse(QDBusError::errorString(QDBusError::InvalidArgs),
               QStringLiteral("Level %1 is out of range: the levels are 0 to %2.").arg(level).arg(count - 1));
        return;
    }
    if (!OnSetLevel)
        return;
    try {
        OnSetLevel(level);
    } catch (const std::exception& error) {
        // The caller is told; the window shows nothing for a request that
        // came from outside.
        Refuse(QDBusError::errorString(QDBusError::Failed), QString::fromUtf8(error.what()));
    }
}

} // namespace lumora

namespace lumora {

BusMonitorList BrightnessBusService::Monitors() { return MonitorsSource ? MonitorsSource() : BusMonitorList{}; }

void BrightnessBusService::SetMonitorLevel(const QString& id, int level)
{
    const int count = LevelCount();
    if (count < 1) {
        Refuse(QDBusError::errorString(QDBusError::Failed), QStringLiteral("The brightness levels are not known yet."));
        return;
    }
    if (level < 0 || level > count - 1) {
        Refuse(QDBusError::errorString(QDBusError::InvalidArgs),
               QStringLiteral("Level %1 is out of range: the levels are 0 to %2.").arg(level).arg(count - 1));
        return;
    }
    const BusMonitorList monitors = Monitors();
    if (std::none_of(monitors.begin(), monitors.end(), [&](const BusMonitor& m) { return m.Id == id; })) {
        Refuse(QDBusError::errorString(QDBusError::InvalidArgs),
               QStringLiteral("There is no monitor \"%1\" (see --list-monitors).").arg(id));
        return;
    }
    if (!OnSetMonitorLevel)
        return;
    try {
        OnSetMonitorLevel(id, level);
    } catch (const std::exception& error) {
        Refuse(QDBusError::errorString(QDBusError::Failed), QString::fromUtf8(error.what()));
    }
}

} // namespace lumora
