#include "platform/shell/ClockWatch.h"

#include "platform/framework/SysUtils.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QFile>
#include <QSocketNotifier>
#include <QTimeZone>

#include <atomic>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <ctime>
#include <fcntl.h>
#include <sys/timerfd.h>
#include <unistd.h>

namespace lumora {

namespace {
const QString kService = QStringLiteral("org.freedesktop.timedate1");
const QString kPath = QStringLiteral("/org/freedesktop/timedate1");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

// The file that moves the clock; empty when the variable is not set.
QString OffsetFile() { return qEnvironmentVariable(ClockWatch::kOffsetVariable); }

// The write end of the newest watch's pipe, for the signal handler.
std::atomic<int> gClockSetFd{-1};

void ClockSetSignalled(int)
{
    const int savedErrno = errno;
    const int fd = gClockSetFd.load(std::memory_order_relaxed);
    if (fd >= 0) {
        const char one = 1;
        (void)!::write(fd, &one, 1); // a full pipe holds notices enough
    }
    errno = savedErrno;
}
} // namespace

double ClockWatch::OffsetSeconds(const QByteArray& text)
{
    bool ok = false;
    const double seconds = text.trimmed().toDouble(&ok);
    // Beyond a thousand years the date arithmetic would overflow.
    if (!ok || !std::isfinite(seconds) || std::abs(seconds) > 1000.0 * 366 * 24 * 3600)
        return 0;
    return seconds;
}

QDateTime ClockWatch::Now()
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QString path = OffsetFile();
    if (path.isEmpty())
        return now;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return now;
    return now.addMSecs(qint64(std::llround(OffsetSeconds(file.read(64)) * 1000)));
}

ClockWatch::ClockWatch(QDBusConnection systemBus) : bus_(std::move(systemBus)), zone_(QTimeZone::systemTimeZoneId())
{
    fd_ = ::timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (fd_ < 0)
        RaiseLastOSError(errno);
    Arm();
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { ClockFired(); });

    if (!OffsetFile().isEmpty())
        WatchOffsetSignal();

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
    if (signalWriteFd_ >= 0) {
        // The handler stays: a late signal then changes nothing rather than
        // ending the program.
        int mine = signalWriteFd_;
        gClockSetFd.compare_exchange_strong(mine, -1);
        signalNotifier_.reset();
        ::close(signalWriteFd_);
        ::close(signalReadFd_);
    }
}

void ClockWatch::WatchOffsetSignal()
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        return; // the moved clock is still read; only its notice is missing
    signalReadFd_ = fds[0];
    signalWriteFd_ = fds[1];
    signalNotifier_ = std::make_unique<QSocketNotifier>(signalReadFd_, QSocketNotifier::Read);
    QObject::connect(signalNotifier_.get(), &QSocketNotifier::activated, this, [this] { OffsetSignalled(); });
    gClockSetFd.store(signalWriteFd_);
    struct sigaction action{};
    action.sa_handler = ClockSetSignalled;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGUSR1, &action, nullptr);
}

void ClockWatch::OffsetSignalled()
{
    char drained[16];
    bool any = false;
    while (::read(signalReadFd_, drained, sizeof drained) > 0)
        any = true;
    if (any && OnClockSet)
        OnClockSet();
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
