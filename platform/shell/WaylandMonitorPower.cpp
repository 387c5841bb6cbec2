#include "platform/shell/WaylandMonitorPower.h"

#include "platform/shell/WaylandConnection.h"
#include "platform/shell/WaylandIdleNotice.h"

#include "platform/framework/Exception.h"

#include "kde-dpms-client-protocol.h"
#include "wlr-output-power-management-unstable-v1-client-protocol.h"

#include <algorithm>

namespace lumora {

// ------------------------------------------------------------------ wlroots

namespace {

void PowerMode(void*, zwlr_output_power_v1*, uint32_t) {}
void PowerFailed(void* data, zwlr_output_power_v1* power) { static_cast<WlrDisplayPower*>(data)->ControlFailed(power); }

const zwlr_output_power_v1_listener kPowerListener = {PowerMode, PowerFailed};

} // namespace

WlrDisplayPower::WlrDisplayPower(std::shared_ptr<WaylandConnection> connection) : connection_(std::move(connection)) {}

WlrDisplayPower::~WlrDisplayPower()
{
    wakeWatch_.reset();
    Release();
}

void WlrDisplayPower::Release()
{
    for (zwlr_output_power_v1* power : powers_)
        zwlr_output_power_v1_destroy(power);
    powers_.clear();
    connection_->Flush();
}

void WlrDisplayPower::ForceOff()
{
    // The outputs of now: one plugged in since the last time is switched off
    // too. A power-off while the outputs are off already asks them again.
    Release();
    failureSaid_ = false;
    for (wl_output* output : connection_->Outputs()) {
        zwlr_output_power_v1* power =
            zwlr_output_power_manager_v1_get_output_power(connection_->WlrOutputPower(), output);
        zwlr_output_power_v1_add_listener(power, &kPowerListener, this);
        zwlr_output_power_v1_set_mode(power, ZWLR_OUTPUT_POWER_V1_MODE_OFF);
        powers_.push_back(power);
    }
    // The watch reports "resumed" only after it has reported "idle", so the
    // first input after a short quiet spell switches the outputs on.
    wakeWatch_ = std::make_unique<WaylandIdleNotice>(connection_, kWakeWatchMs, WaylandIdleNotice::InputOnly);
    wakeWatch_->OnResumed = [this] { SwitchOn(); };
    connection_->Flush();
}

void WlrDisplayPower::ControlFailed(zwlr_output_power_v1* power)
{
    // The object is of no more use: the output went, or another client
    // controls its power.
    const auto it = std::find(powers_.begin(), powers_.end(), power);
    if (it == powers_.end())
        return;
    zwlr_output_power_v1_destroy(power);
    powers_.erase(it);
    if (powers_.empty())
        wakeWatch_.reset(); // nothing is off to switch on again
    if (failureSaid_)
        return;
    failureSaid_ = true;
    // Raised from the event loop, not from inside the protocol's dispatch.
    QMetaObject::invokeMethod(
        connection_.get(),
        [] {
            throw Exception(QStringLiteral("The monitor cannot be turned off: another program controls the "
                                           "monitor's power."));
        },
        Qt::QueuedConnection);
}

void WlrDisplayPower::SwitchOn()
{
    for (zwlr_output_power_v1* power : powers_)
        zwlr_output_power_v1_set_mode(power, ZWLR_OUTPUT_POWER_V1_MODE_ON);
    // On again: the control goes back to whoever wants it next.
    Release();
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
