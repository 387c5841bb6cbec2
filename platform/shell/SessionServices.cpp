#include "platform/shell/SessionServices.h"

#include "platform/device/LogindSession.h"
#include "platform/shell/MutterSession.h"
#include "platform/shell/WaylandConnection.h"
#include "platform/shell/WaylandIdleTime.h"
#include "platform/shell/WaylandMonitorPower.h"

#include <QtGlobal>

#include <cstdio>

namespace lumora {

namespace {

bool WaylandSession()
{
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           qEnvironmentVariable("XDG_SESSION_TYPE").compare(QLatin1String("wayland"), Qt::CaseInsensitive) == 0;
}

std::unique_ptr<IdleTimeSource> MakeIdle(IdleSourceKind kind, const SessionServices& s,
                                         std::unique_ptr<X11IdleTime>& x11, std::shared_ptr<LogindSession>& logind);

// The idle source after the Wayland connection has closed: the next one the
// session offers, without the Wayland protocols.
std::unique_ptr<IdleTimeSource> IdleAfterWayland(SessionFacts facts)
{
    facts.ExtIdleNotify = false;
    facts.KdeIdle = false;
    auto logind = std::make_shared<LogindSession>();
    IdleSourceKind idle = ChooseIdleSource(facts);
    if (idle == IdleSourceKind::None) {
        facts.LogindIdle = logind->IdleMilliseconds().has_value();
        idle = ChooseIdleSource(facts);
    }
    if (idle != IdleSourceKind::None)
        std::fprintf(stderr, "lumora: idle time from %s from now on\n", IdleSourceName(idle));
    std::unique_ptr<X11IdleTime> x11 = idle == IdleSourceKind::X11ScreenSaver ? X11IdleTime::Open() : nullptr;
    if (idle == IdleSourceKind::X11ScreenSaver && !x11)
        idle = IdleSourceKind::None;
    return MakeIdle(idle, SessionServices{}, x11, logind);
}

std::unique_ptr<IdleTimeSource> MakeIdle(IdleSourceKind kind, const SessionServices& s,
                                         std::unique_ptr<X11IdleTime>& x11, std::shared_ptr<LogindSession>& logind)
{
    switch (kind) {
    case IdleSourceKind::ExtIdleNotify:
    case IdleSourceKind::KdeIdle:
        return std::make_unique<WaylandIdleTime>(s.Wayland, [facts = s.Facts] { return IdleAfterWayland(facts); });
    case IdleSourceKind::MutterIdleMonitor: return std::make_unique<MutterIdleTime>();
    case IdleSourceKind::X11ScreenSaver: return std::move(x11);
    case IdleSourceKind::Logind: return std::make_unique<LogindIdleTime>(logind);
    case IdleSourceKind::None: break;
    }
    return std::make_unique<NoIdleTime>();
}

std::unique_ptr<DisplayPower> MakePower(MonitorPowerKind kind, const SessionServices& s,
                                        std::unique_ptr<X11DisplayPower>& x11)
{
    switch (kind) {
    case MonitorPowerKind::WlrOutputPower: return std::make_unique<WlrDisplayPower>(s.Wayland);
    case MonitorPowerKind::KdeDpms: return std::make_unique<KdeDisplayPower>(s.Wayland);
    case MonitorPowerKind::MutterDisplayConfig: return std::make_unique<MutterDisplayPower>();
    case MonitorPowerKind::X11Dpms: return std::move(x11);
    case MonitorPowerKind::None: break;
    }
    return nullptr;
}

} // namespace

SessionServices OpenSessionServices(bool wantIdle)
{
    SessionServices s;
    SessionFacts& f = s.Facts;
    f.WaylandSession = WaylandSession();
    s.Wayland = WaylandConnection::Open();
    if (s.Wayland && s.Wayland->Seat()) {
        f.ExtIdleNotify = s.Wayland->ExtIdleNotifier() != nullptr;
        f.KdeIdle = s.Wayland->KdeIdle() != nullptr;
    }
    const bool waylandWake = f.ExtIdleNotify || f.KdeIdle;
    if (s.Wayland && !s.Wayland->Outputs().empty()) {
        // The compositor leaves wlroots outputs off until told otherwise:
        // without an idle protocol to see the next input, never switch off.
        f.WlrOutputPower = s.Wayland->WlrOutputPower() != nullptr && waylandWake;
        f.KdeDpms = s.Wayland->KdeDpms() != nullptr;
    }
    f.MutterIdleMonitor = mutter::ServicePresent(mutter::kIdleService);
    f.MutterDisplayConfig = f.MutterIdleMonitor && mutter::ServicePresent(mutter::kDisplayService);

    std::unique_ptr<X11IdleTime> x11Idle;
    std::unique_ptr<X11DisplayPower> x11Power;
    if (!f.WaylandSession) {
        x11Idle = X11IdleTime::Open();
        x11Power = X11DisplayPower::Open();
        f.X11ScreenSaver = x11Idle != nullptr;
        f.X11Dpms = x11Power != nullptr;
    }
    if (wantIdle) {
        std::shared_ptr<LogindSession> logind;
        IdleSourceKind idle = ChooseIdleSource(f);
        if (idle == IdleSourceKind::None) {
            logind = std::make_shared<LogindSession>();
            f.LogindIdle = logind->IdleMilliseconds().has_value();
            idle = ChooseIdleSource(f);
        }
        if (idle != IdleSourceKind::None)
            std::fprintf(stderr, "lumora: idle time from %s\n", IdleSourceName(idle));
        s.Idle = MakeIdle(idle, s, x11Idle, logind);
    }
    s.Power = MakePower(ChooseMonitorPower(f), s, x11Power);
    return s;
}

} // namespace lumora
