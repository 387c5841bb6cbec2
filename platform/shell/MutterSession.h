#pragma once

#include "platform/shell/IdleTime.h"
#include "platform/shell/MonitorPower.h"

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
// (GetIdletime), asked when the program needs it. When the monitor stops
// answering it reads 0 and says so once on stderr.
class MutterIdleTime : public IdleTimeSource {
public:
    quint32 IdleSeconds() override;

private:
    bool warned_ = false;
};

// DisplayConfig's PowerSaveMode: 3 switches the monitors off. A user-active
// watch on the idle monitor switches them on (0) at the next input, as the
// desktop's own power manager does after its own power-off.
class MutterDisplayPower : public QObject, public DisplayPower {
    Q_OBJECT
public:
    void ForceOff() override;

private slots:
    void OnWatchFired(uint id);

private:
    void SetPowerSaveMode(int mode);
    uint wakeWatch_ = 0;
    bool listening_ = false;
};

} // namespace lumora
