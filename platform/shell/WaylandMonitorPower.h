#pragma once

#include "platform/shell/MonitorPower.h"

#include <memory>
#include <vector>

struct zwlr_output_power_v1;
struct org_kde_kwin_dpms;

namespace lumora {

class WaylandConnection;
class WaylandIdleNotice;

// wlroots compositors (wlr-output-power-management-unstable-v1): every output
// there is at the power-off, off. The compositor leaves them off whatever the
// user does, so the program watches the seat for input alone (where the
// compositor can tell it apart from a playing video's idle inhibitor) and
// switches them on again at the first input after the power-off; then it
// gives the control of the outputs back, so that the desktop's own idle
// manager can switch them off later. Needs an idle protocol for that watch.
//
// Only one client at a time may control an output's power: where another
// holds it, the compositor answers "failed", and the user is told that the
// monitor cannot be turned off (through the program's error handler, as the
// answer comes after ForceOff returned).
class WlrDisplayPower : public DisplayPower {
public:
    // Long enough that the power-off request has been made, short enough
    // that the watch is in place before the user reaches for the mouse.
    static constexpr uint32_t kWakeWatchMs = 100;

    explicit WlrDisplayPower(std::shared_ptr<WaylandConnection> connection);
    ~WlrDisplayPower() override;
    void ForceOff() override;

    // The protocol's "failed" event for one output's control.
    void ControlFailed(zwlr_output_power_v1* power);

private:
    void SwitchOn();
    void Release();

    std::shared_ptr<WaylandConnection> connection_;
    std::vector<zwlr_output_power_v1*> powers_;
    std::unique_ptr<WaylandIdleNotice> wakeWatch_;
    bool failureSaid_ = false; // for this power-off
};

// KWin (org_kde_kwin_dpms): every output off; KWin itself switches them on
// again at the next input.
class KdeDisplayPower : public DisplayPower {
public:
    explicit KdeDisplayPower(std::shared_ptr<WaylandConnection> connection);
    ~KdeDisplayPower() override;
    void ForceOff() override;

private:
    std::shared_ptr<WaylandConnection> connection_;
    std::vector<org_kde_kwin_dpms*> dpms_;
};

} // namespace lumora
