#include "platform/shell/WaylandMonitorPower.h"

#include "platform/shell/WaylandConnection.h"
#include "platform/shell/WaylandIdleNotice.h"

#include "kde-dpms-client-protocol.h"
#include "wlr-output-power-management-unstable-v1-client-protocol.h"

namespace lumora {

// ------------------------------------------------------------------ wlroots

WlrDisplayPower::WlrDisplayPower(std::shared_ptr<WaylandConnection> connection) : connection_(std::move(connection)) {}

WlrDisplayPower::~WlrDisplayPower()
{
    wakeWatch_.reset();
    for (zwlr_output_power_v1* power : powers_)
        zwlr_output_power_v1_destroy(power);
    connection_->Flush();
}

void WlrDisplayPower::ForceOff()
{
    if (powers_.empty()) {
        for (wl_output* output : connection_->Outputs())
            powers_.push_back(zwlr_output_power_manager_v1_get_output_power(connection_->WlrOutputPower(), output));
    }
    for (zwlr_output_power_v1* power : powers_)
        zwlr_output_power_v1_set_mode(power, ZWLR_OUTPUT_POWER_V1_MODE_OFF);
    // The watch reports "resumed" only after it has reported "idle", so the
    // first input after a short quiet spell switches the outputs on.
    wakeWatch_ = std::make_unique<WaylandIdleNotice>(connection_, kWakeWatchMs);
    wakeWatch_->OnResumed = [this] { SwitchOn(); };
    connection_->Flush();
}

void WlrDisplayPower::SwitchOn()
{
    for (zwlr_output_power_v1* power : powers_)
        zwlr_output_power_v1_set_mode(power, ZWLR_OUTPUT_POWER_V1_MODE_ON);
    connection_->Flush();
    // Called from the watch's own event: drop it once the handler is done.
    WaylandIdleNotice* watch = wakeWatch_.release();
    watch->OnResumed = nullptr;
    QMetaObject::invokeMethod(connection_.get(), [watch] { delete watch; }, Qt::QueuedConnection);
}

// --------------------------------------------------------------------- KWin

KdeDisplayPower::KdeDisplayPower(std::shared_ptr<WaylandConnection> connection) : connection_(std::move(connection)) {}

KdeDisplayPower::~KdeDisplayPower()
{
    for (org_kde_kwin_dpms* dpms : dpms_)
        org_kde_kwin_dpms_release(dpms);
    connection_->Flush();
}

void KdeDisplayPower::ForceOff()
{
    if (dpms_.empty()) {
        for (wl_output* output : connection_->Outputs())
            dpms_.push_back(org_kde_kwin_dpms_manager_get(connection_->KdeDpms(), output));
    }
    for (org_kde_kwin_dpms* dpms : dpms_)
        org_kde_kwin_dpms_set(dpms, ORG_KDE_KWIN_DPMS_MODE_OFF);
    connection_->Flush();
}

} // namespace lumora
