#pragma once

#include "platform/shell/IdleTime.h"
#include "platform/shell/MonitorPower.h"

#include <QDBusConnection>
#include <QObject>

namespace lumora {

// GNOME's compositor on the session bus: its idle monitor and its display
// configuration. Mutter offers no Wayland idle protocol, so these are the
// way there, on Wayland and on X11 alike.
namespace mutter {
inline constexpr char kIdleService[] = "org.gnome.Mutter.IdleMonitor";
inline constexpr char kIdlePath[] = "/org/gnome/Mutter/IdleMonitor/Core";
inline constexpr char kIdleInterface[] = "org.gnome.Mutter.IdleMonitor";
inline constexpr char kDisplayService[] = "org.gnome.Mutter.DisplayConfig";
inline constexpr char kDisplayPath[] = "/org/gnome/Mutter/DisplayConfig";
inline constexpr char kDisplayInterface[] = "org.gnome.Mutter.DisplayConfig";

// True when the name has an owner on the session bus.
bool ServicePresent(const char* service);
} // namespace mutter

// The idle monitor's own count of milliseconds since the last input
// (GetIdletime), asked when the program needs it with a read bounded to
// kReadMs. When the monitor does not answer in time it reads 0 and says so
// once on stderr; from then on it is not waited for: a probe sent without
// waiting tells when it answers again.
class MutterIdleTime : public IdleTimeSource {
public:
    static constexpr int kReadMs = 100;

    explicit MutterIdleTime(QDBusConnection bus = QDBusConnection::sessionBus());
    quint32 IdleSeconds() override;

private:
    void Probe();

    QDBusConnection bus_;
    QObject calls_;        // the probe's answer arrives here
    bool silent_ = false;  // a read went unanswered; nothing heard since
    bool probing_ = false; // a probe is out
    bool warned_ = false;
};

// DisplayConfig's PowerSaveMode: 3 switches the monitors off. A user-active
// watch on the idle monitor switches them on (0) at the next input, as the
// desktop's own power manager does after its own power-off. Where the mode
// reads -1 the compositor cannot switch this session's monitors, and saying
// so is the answer. Nothing here waits for Mutter: each step is sent when the
// one before it has been answered, and a failure is raised when its answer
// comes.
class MutterDisplayPower : public QObject, public DisplayPower {
    Q_OBJECT
public:
    explicit MutterDisplayPower(QDBusConnection bus = QDBusConnection::sessionBus());
    void ForceOff() override;

private slots:
    void OnWatchFired(uint id);

private:
    void WatchThenSwitchOff();
    void SetPowerSaveMode(int mode);

    QDBusConnection bus_;
    uint wakeWatch_ = 0;
    bool listening_ = false;
};

} // namespace lumora
