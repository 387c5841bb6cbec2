#pragma once

#include <QByteArray>
#include <QDBusConnection>
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
class ClockWatch : public QObject {
    Q_OBJECT
public:
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
    void TakeZone(const QByteArray& zone);
    void ReadZone();

    QDBusConnection bus_;
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    QByteArray zone_;
};

} // namespace lumora
