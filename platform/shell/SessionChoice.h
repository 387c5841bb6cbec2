#pragma once

namespace lumora {

// What the running session offers, as found at start-up.
struct SessionFacts {
    bool WaylandSession = false;       // WAYLAND_DISPLAY set or XDG_SESSION_TYPE=wayland
    bool ExtIdleNotify = false;        // globals on our own Wayland connection
    bool KdeIdle = false;
    bool WlrOutputPower = false;
    bool KdeDpms = false;
    bool MutterIdleMonitor = false;    // names on the session bus
    bool MutterDisplayConfig = false;
    bool X11ScreenSaver = false;       // extensions of the X display
    bool X11Dpms = false;
    bool LogindIdle = false;           // the login manager answers the idle hint
};

enum class IdleSourceKind { ExtIdleNotify, KdeIdle, MutterIdleMonitor, X11ScreenSaver, Logind, None };
enum class MonitorPowerKind { WlrOutputPower, KdeDpms, MutterDisplayConfig, X11Dpms, None };

// The first source in order of preference that the session offers. The X11
// idle time counts only input to X11 windows, so in a Wayland session (where
// the display, if any, is XWayland) it is never chosen; the same holds for
// X11 power management, which XWayland does not pass on to the outputs.
IdleSourceKind ChooseIdleSource(const SessionFacts& facts);
MonitorPowerKind ChooseMonitorPower(const SessionFacts& facts);

// How the choice is named in the start-up line on standard error.
const char* IdleSourceName(IdleSourceKind kind);

} // namespace lumora
