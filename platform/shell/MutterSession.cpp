#include "platform/shell/MutterSession.h"

#include "platform/framework/Exception.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>

#include <algorithm>
#include <cstdio>

namespace lumora {

namespace {

QDBusMessage IdleCall(const char* method)
{
    return QDBusMessage::createMethodCall(mutter::kIdleService, mutter::kIdlePath, mutter::kIdleInterface, method);
}

} // namespace

bool mutter::ServicePresent(const char* service)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    const QDBusReply<bool> reply = bus.interface()->isServiceRegistered(QString::fromLatin1(service));
    return reply.isValid() && reply.value();
}

quint32 MutterIdleTime::IdleSeconds()
{
    const QDBusReply<qulonglong> reply = QDBusConnection::sessionBus().call(IdleCall("GetIdletime"));
    if (!reply.isValid()) {
        if (!warned_)
            std::fprintf(stderr, "lumora: GNOME's idle monitor does not answer (%s); idle dimming is off\n",
                         qPrintable(reply.error().message()));
        warned_ = true;
        return 0;
    }
    warned_ = false;
    return quint32(std::min<qulonglong>(reply.value() / 1000u, 0xFFFFFFFFu));
}

void MutterDisplayPower::ForceOff()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!listening_) {
        listening_ = bus.connect(mutter::kIdleService, mutter::kIdlePath, mutter::kIdleInterface, "WatchFired",
                                 this, SLOT(OnWatchFired(uint)));
    }
    // The watch first: a monitor switched off with nothing to switch it on
    // again would leave the user in the dark.
    const QDBusReply<uint> watch = bus.call(IdleCall("AddUserActiveWatch"));
    if (!watch.isValid())
        throw Exception(QStringLiteral("The monitor cannot be turned off: GNOME's idle monitor does not answer (%1).")
                            .arg(watch.error().message()));
    wakeWatch_ = watch.value();
    SetPowerSaveMode(3);
}

void MutterDisplayPower::OnWatchFired(uint id)
{
    if (id == 0 || id != wakeWatch_)
        return;
    wakeWatch_ = 0; // user-active watches fire once
    SetPowerSaveMode(0);
}

void MutterDisplayPower::SetPowerSaveMode(int mode)
{
    QDBusMessage set = QDBusMessage::createMethodCall(mutter::kDisplayService, mutter::kDisplayPath,
                                                      "org.freedesktop.DBus.Properties", "Set");
    set << QString::fromLatin1(mutter::kDisplayInterface) << QStringLiteral("PowerSaveMode")
        << QVariant::fromValue(QDBusVariant(mode));
    const QDBusMessage reply = QDBusConnection::sessionBus().call(set);
    if (reply.type() == QDBusMessage::ErrorMessage)
        throw Exception(QStringLiteral("The monitor power cannot be changed: %1").arg(reply.errorMessage()));
}

} // namespace lumora
