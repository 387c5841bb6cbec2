#pragma once

#include <QByteArray>
#include <QDBusConnection>
#include <QDateTime>
#include <QObject>
#include <QVariantMap>

#include <functional>
#include <memory>

class QSocketNotifier;

namespace lumora {

// Changes of the wall clock that a timer on the monotonic clock cannot see:
// the clock set (by hand, by NTP stepping it, by the firmware clock after
// sleep), noticed by the kernel through a timerfd armed with
// TFD_TIMER_CANCEL_ON_SET; and the time zone, from systemd-timedated's
// Timezone property on the system bus. Both wake the program only when
// something changed.
//
// Whole-program tests cannot set the machine's clock, so the clock the
// program reads can be moved: when the environment variable named by
// kOffsetVariable names a file, Now() is the machine's clock plus the
// seconds that file holds (read at each look; a missing or unreadable file
// adds nothing), and SIGUSR1 is the notice that the clock was set, as the
// kernel's is. A test moves the clock silently (as a sleep does, noticed
// at resume) by writing the file, and sets it by writing the file and
// sending the signal. Without the variable none of this exists.
class ClockWatch : public QObject {
    Q_OBJECT
public:
    static constexpr char kOffsetVariable[] = "LUMORA_CLOCK_OFFSET_FILE";

    // The wall clock as the program reads it; UTC.
    static QDateTime Now();
    // The seconds a file holds, as Now() adds them: one decimal number,
    // possibly negative or fractional; 0 when it holds none.
    static double OffsetSeconds(const QByteArray& text);

    // Watches the clock, and the time zone on `systemBus` when it is
    // connected. Raises EOSError when the kernel refuses the timerfd.
    explicit ClockWatch(QDBusConnection systemBus = QDBusConnection::systemBus());
    ~ClockWatch() override;

    // The zone's IANA name: timedated's once it has spoken, else the one
    // the machine was started with.
    QByteArray TimeZoneId() const { return zone_; }

    std::function<void()> OnClockSet;
    std::function<void(const QByteArray& zoneId)> OnTimeZoneChanged;

private slots:
    void PropertiesChanged(const QString& interface, const QVariantMap& changed, const QStringList& invalidated);

private:
    void Arm();
    void ClockFired();
    void WatchOffsetSignal();
    void OffsetSignalled();
    void TakeZone(const QByteArray& zone);
    void ReadZone();

    QDBusConnection bus_;
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    int signalReadFd_ = -1;
    int signalWriteFd_ = -1;
    std::unique_ptr<QSocketNotifier> signalNotifier_;
    QByteArray zone_;
};

} // namespace lumora
