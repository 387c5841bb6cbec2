#include "platform/shell/ClockWatch.h"

#include "platform/framework/SysUtils.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QSocketNotifier>
#include <QTimeZone>

#include <cerrno>
#include <cstdint>
#include <ctime>
#include <sys/timerfd.h>
#include <unistd.h>

namespace lumora {

namespace {
const QString kService = QStringLiteral("org.freedesktop.timedate1");
const QString kPath = QStringLiteral("/org/freedesktop/timedate1");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
} // namespace

ClockWatch::ClockWatch(QDBusConnection systemBus) : bus_(std::move(systemBus)), zone_(QTimeZone::systemTimeZoneId())
{
    fd_ = ::timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (fd_ < 0)
        RaiseLastOSError(errno);
    Arm();
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { ClockFired(); });

    if (bus_.isConnected()) {
        bus_.connect(kService, kPath, kProperties, QStringLiteral("PropertiesChanged"), this,
                     SLOT(PropertiesChanged(QString, QVariantMap, QStringList)));
        ReadZone();
    }
}

ClockWatch::~ClockWatch()
{
    notifier_.reset();
    if (fd_ >= 0)
        ::close(fd_);
}

void ClockWatch::Arm()
{
    // An absolute expiry far beyond any date the program will see: the
    // timer never fires, and setting the clock cancels it, which is the
    // notice.
    itimerspec expiry{};
    expiry.it_value.tv_sec = std::time(nullptr) + 100LL * 365 * 24 * 3600;
    if (::timerfd_settime(fd_, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &expiry, nullptr) != 0)
        RaiseLastOSError(errno);
}

void ClockWatch::ClockFired()
{
    std::uint64_t expirations = 0;
    const ssize_t n = ::read(fd_, &expirations, sizeof expirations);
    if (n >= 0 || errno != ECANCELED)
        return;
    // The cancel is reported once; the timer must be armed again for the next.
    Arm();
    if (OnClockSet)
        OnClockSet();
}

void ClockWatch::ReadZone()
{
    QDBusMessage get = QDBusMessage::createMethodCall(kService, kPath, kProperties, QStringLiteral("Get"));
    get.setArguments({kService, QStringLiteral("Timezone")});
    auto* call = new QDBusPendingCallWatcher(bus_.asyncCall(get, 2000), this);
    QObject::connect(call, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusPendingReply<QDBusVariant> reply = *w;
        if (!reply.isError())
            TakeZone(reply.value().variant().toString().toUtf8());
    });
}

void ClockWatch::PropertiesChanged(const QString& interface, const QVariantMap& changed, const QStringList& invalidated)
{
    if (interface != kService)
        return;
    if (const auto it = changed.constFind(QStringLiteral("Timezone")); it != changed.constEnd())
        TakeZone(it->toString().toUtf8());
    else if (invalidated.contains(QStringLiteral("Timezone")))
        ReadZone();
}

void ClockWatch::TakeZone(const QByteArray& zone)
{
    if (zone.isEmpty() || zone == zone_ || !QTimeZone(zone).isValid())
        return;
    zone_ = zone;
    if (OnTimeZoneChanged)
        OnTimeZoneChanged(zone_);
}

} // namespace lumora
