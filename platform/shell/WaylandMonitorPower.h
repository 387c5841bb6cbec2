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
// off. The compositor leaves them off whatever the user does, so the program
// watches the seat and switches them on again at the first input after the
// power-off. Needs an idle protocol for that watch.
class WlrDisplayPower : public DisplayPower {
public:
    // Long enough that the power-off request has been made, short enough
    // that the watch is in place before the user reaches for the mouse.
    static constexpr uint32_t kWakeWatchMs = 100;

    explicit WlrDisplayPower(std::shared_ptr<WaylandConnection> connection);
    ~WlrDisplayPower() override;
    void ForceOff() override;

private:
    void SwitchOn();

    std::shared_ptr<WaylandConnection> connection_;
    std::vector<zwlr_output_power_v1*> powers_;
    std::unique_ptr<WaylandIdleNotice> wakeWatch_;
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
