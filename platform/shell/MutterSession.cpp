#include "platform/shell/MutterSession.h"

#include "platform/framework/Exception.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusReply>
#include <QDBusVariant>

#include <algorithm>
#include <cstdio>

namespace lumora {

namespace {

// A probe waits as long as the bus lets any call wait: it costs nothing
// while it is out.
constexpr int kProbeMs = 25000;
// Switching the monitors off or on is asked without waiting; an answer later
// than this is a failure.
constexpr int kPowerMs = 5000;

bool Unanswered(const QDBusError& error)
{
    return error.type() == QDBusError::NoReply || error.type() == QDBusError::Timeout;
}

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

MutterIdleTime::MutterIdleTime(QDBusConnection bus) : bus_(std::move(bus)) {}

quint32 MutterIdleTime::IdleSeconds()
{
    if (silent_) {
        Probe();
        return 0;
    }
    const QDBusReply<qulonglong> reply = bus_.call(IdleCall("GetIdletime"), QDBus::Block, kReadMs);
    if (!reply.isValid()) {
        if (!warned_)
            std::fprintf(stderr, "lumora: GNOME's idle monitor does not answer (%s); idle dimming is off\n",
                         qPrintable(reply.error().message()));
        warned_ = true;
        if (Unanswered(reply.error())) {
            silent_ = true;
            Probe();
        }
        return 0;
    }
    warned_ = false;
    return quint32(std::min<qulonglong>(reply.value() / 1000u, 0xFFFFFFFFu));
}

void MutterIdleTime::Probe()
{
    if (probing_)
        return;
    probing_ = true;
    auto* pending = new QDBusPendingCallWatcher(bus_.asyncCall(IdleCall("GetIdletime"), kProbeMs), &calls_);
    QObject::connect(pending, &QDBusPendingCallWatcher::finished, &calls_, [this, pending] {
        pending->deleteLater();
        probing_ = false;
        // Read again at the next check; a probe that went unanswered is sent
        // again then.
        if (!Unanswered(QDBusError(pending->reply())))
            silent_ = false;
    });
}

MutterDisplayPower::MutterDisplayPower(QDBusConnection bus) : bus_(std::move(bus)) {}

void MutterDisplayPower::ForceOff()
{
    // PowerSaveMode -1: the compositor cannot switch this session's monitors
    // (a virtual or remote session); setting 3 would be taken and do nothing.
    QDBusMessage get = QDBusMessage::createMethodCall(mutter::kDisplayService, mutter::kDisplayPath,
                                                      "org.freedesktop.DBus.Properties", "Get");
    get << QString::fromLatin1(mutter::kDisplayInterface) << QStringLiteral("PowerSaveMode");
    auto* pending = new QDBusPendingCallWatcher(bus_.asyncCall(get, kPowerMs), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this, pending] {
        pending->deleteLater();
        // A mode that cannot be read is left to the steps after it, which
        // say what fails.
        const QDBusPendingReply<QDBusVariant> mode = *pending;
        if (!mode.isError() && mode.value().variant().toInt() < 0)
            throw Exception(QStringLiteral(
                "The monitor cannot be turned off: GNOME cannot switch this session's monitor off."));
        WatchThenSwitchOff();
    });
}

void MutterDisplayPower::WatchThenSwitchOff()
{
    if (!listening_) {
        listening_ = bus_.connect(mutter::kIdleService, mutter::kIdlePath, mutter::kIdleInterface, "WatchFired",
                                  this, SLOT(OnWatchFired(uint)));
    }
    // The watch first: a monitor switched off with nothing to switch it on
    // again would leave the user in the dark.
    auto* pending = new QDBusPendingCallWatcher(bus_.asyncCall(IdleCall("AddUserActiveWatch"), kPowerMs), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this, pending] {
        pending->deleteLater();
        const QDBusPendingReply<uint> watch = *pending;
        if (watch.isError())
            throw Exception(
                QStringLiteral("The monitor cannot be turned off: GNOME's idle monitor does not answer (%1).")
                    .arg(watch.error().message()));
        wakeWatch_ = watch.value();
        SetPowerSaveMode(3);
    });
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
    auto* pending = new QDBusPendingCallWatcher(bus_.asyncCall(set, kPowerMs), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [pending] {
        pending->deleteLater();
        if (pending->isError())
            throw Exception(
                QStringLiteral("The monitor power cannot be changed: %1").arg(pending->error().message()));
    });
}

} // namespace lumora
