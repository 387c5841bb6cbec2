#include "platform/shell/SessionChoice.h"

namespace lumora {

IdleSourceKind ChooseIdleSource(const SessionFacts& facts)
{
    if (facts.ExtIdleNotify)
        return IdleSourceKind::ExtIdleNotify;
    if (facts.KdeIdle)
        return IdleSourceKind::KdeIdle;
    if (facts.MutterIdleMonitor)
        return IdleSourceKind::MutterIdleMonitor;
    if (facts.X11ScreenSaver && !facts.WaylandSession)
        return IdleSourceKind::X11ScreenSaver;
    if (facts.LogindIdle)
        return IdleSourceKind::Logind;
    return IdleSourceKind::None;
}

MonitorPowerKind ChooseMonitorPower(const SessionFacts& facts)
{
    if (facts.WlrOutputPower)
        return MonitorPowerKind::WlrOutputPower;
    if (facts.KdeDpms)
        return MonitorPowerKind::KdeDpms;
    if (facts.MutterDisplayConfig)
        return MonitorPowerKind::MutterDisplayConfig;
    if (facts.X11Dpms && !facts.WaylandSession)
        return MonitorPowerKind::X11Dpms;
    return MonitorPowerKind::None;
}

const char* IdleSourceName(IdleSourceKind kind)
{
    switch (kind) {
    case IdleSourceKind::ExtIdleNotify: return "the Wayland compositor (ext-idle-notify-v1)";
    case IdleSourceKind::KdeIdle: return "the Wayland compositor (org_kde_kwin_idle)";
    case IdleSourceKind::MutterIdleMonitor: return "GNOME's idle monitor (org.gnome.Mutter.IdleMonitor)";
    case IdleSourceKind::X11ScreenSaver: return "the X11 screen saver extension";
    case IdleSourceKind::Logind: return "the login manager's idle hint";
    case IdleSourceKind::None: break;
    }
    return "none";
}

} // namespace lumora
