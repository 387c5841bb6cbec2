#include "platform/shell/BrightnessBusClient.h"

#include "platform/shell/BrightnessBusService.h"

#include <QDBusArgument>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusVariant>

namespace lumora {

namespace {

// A copy that hangs must not hang the script that asked it.
constexpr int kCallTimeoutMs = 5000;

BrightnessBusAnswer Call(QDBusConnection& bus, const QDBusMessage& call)
{
    BrightnessBusAnswer answer;
    if (!bus.isConnected()) {
        answer.Result = BrightnessBusAnswer::NotRunning;
        return answer;
    }
    const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ErrorMessage) {
        answer.Result = BrightnessBusAnswer::Done;
        const QVariant first = reply.arguments().value(0);
        if (first.userType() == qMetaTypeId<QDBusVariant>())
            answer.Level = qvariant_cast<QDBusVariant>(first).variant().toInt();
        else if (first.userType() == qMetaTypeId<QDBusArgument>())
            answer.Monitors = qdbus_cast<BusMonitorList>(first);
        return answer;
    }
    const QDBusError error(reply);
    answer.Message = error.message().isEmpty() ? error.name() : error.message();
    switch (error.type()) {
    case QDBusError::ServiceUnknown:
    case QDBusError::UnknownObject:
    case QDBusError::UnknownInterface: answer.Result = BrightnessBusAnswer::NotRunning; break;
    case QDBusError::InvalidArgs: answer.Result = BrightnessBusAnswer::Refused; break;
    default: answer.Result = BrightnessBusAnswer::Failed; break;
    }
    return answer;
}

} // namespace

BrightnessBusAnswer ReadRunningLevel(QDBusConnection bus)
{
    QDBusMessage get = QDBusMessage::createMethodCall(QString::fromLatin1(brightnessbus::kService),
                                                      QString::fromLatin1(brightnessbus::kPath),
                                                      QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get << QString::fromLatin1(brightnessbus::kInterface) << QStringLiteral("Level");
    return Call(bus, get);
}

BrightnessBusAnswer SetRunningLevel(int level, QDBusConnection bus)
{
    QDBusMessage set = QDBusMessage::createMethodCall(QString::fromLatin1(brightnessbus::kService),
                                                      QString::fromLatin1(brightnessbus::kPath),
                                                      QString::fromLatin1(brightnessbus::kInterface),
                                                      QStringLiteral("SetLevel"));
    set << level;
    BrightnessBusAnswer answer = Call(bus, set);
    if (answer.Result == BrightnessBusAnswer::Done)
        answer.Level = level;
    return answer;
}

BrightnessBusAnswer ListRunningMonitors(QDBusConnection bus)
{
    RegisterBusMonitorTypes();
    const QDBusMessage list = QDBusMessage::createMethodCall(QString::fromLatin1(brightnessbus::kService),
                                                             QString::fromLatin1(brightnessbus::kPath),
                                                             QString::fromLatin1(brightnessbus::kInterface),
                                                             QStringLiteral("Monitors"));
    return Call(bus, list);
}

BrightnessBusAnswer SetRunningMonitorLevel(const QString& id, int level, QDBusConnection bus)
{
    QDBusMessage set = QDBusMessage::createMethodCall(QString::fromLatin1(brightnessbus::kService),
                                                      QString::fromLatin1(brightnessbus::kPath),
                                                      QString::fromLatin1(brightnessbus::kInterface),
                                                      QStringLiteral("SetMonitorLevel"));
    set << id << level;
    BrightnessBusAnswer answer = Call(bus, set);
    if (answer.Result == BrightnessBusAnswer::Done)
        answer.Level = level;
    return answer;
}

} // namespace lumora
