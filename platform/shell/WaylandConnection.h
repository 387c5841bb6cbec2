#pragma once

#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

struct wl_display;
struct wl_registry;
struct wl_seat;
struct wl_output;
struct ext_idle_notifier_v1;
struct org_kde_kwin_idle;
struct zwlr_output_power_manager_v1;
struct org_kde_kwin_dpms_manager;

class QSocketNotifier;

namespace lumora {

// The program's own client connection to the Wayland compositor named by
// $WAYLAND_DISPLAY, apart from the one Qt may hold (or not, under XWayland).
// It binds the globals the shell services use and dispatches their events
// from the event loop when the compositor sends any: nothing is polled.
class WaylandConnection : public QObject {
public:
    // nullptr when no compositor answers.
    static std::shared_ptr<WaylandConnection> Open();
    ~WaylandConnection() override;

    wl_seat* Seat() const { return seat_; }
    const std::vector<wl_output*>& Outputs() const { return outputs_; }
    ext_idle_notifier_v1* ExtIdleNotifier() const { return extIdle_; }
    // Whether the compositor's ext-idle-notify offers notifications of input
    // alone (version 2), which idle inhibitors do not hold back.
    bool InputIdleNotifications() const;
    org_kde_kwin_idle* KdeIdle() const { return kdeIdle_; }
    zwlr_output_power_manager_v1* WlrOutputPower() const { return wlrPower_; }
    org_kde_kwin_dpms_manager* KdeDpms() const { return kdeDpms_; }

    // Sends the requests made since the last call.
    void Flush();

    // The compositor went away or ended the connection; nothing arrives on
    // it any more.
    bool Closed() const { return closed_; }
    // Calls `closed` once when the connection closes, as long as `owner`
    // lives.
    void WhenClosed(std::weak_ptr<void> owner, std::function<void()> closed);

private:
    explicit WaylandConnection(wl_display* display);
    static void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version);
    static void OnGlobalRemove(void* data, wl_registry* registry, uint32_t name);
    void Dispatch();

    wl_display* display_;
    wl_registry* registry_ = nullptr;
    wl_seat* seat_ = nullptr;
    std::vector<wl_output*> outputs_;
    std::vector<uint32_t> outputNames_; // the global name of each output
    ext_idle_notifier_v1* extIdle_ = nullptr;
    org_kde_kwin_idle* kdeIdle_ = nullptr;
    zwlr_output_power_manager_v1* wlrPower_ = nullptr;
    org_kde_kwin_dpms_manager* kdeDpms_ = nullptr;
    QSocketNotifier* notifier_ = nullptr;
    bool closed_ = false;
    std::vector<std::pair<std::weak_ptr<void>, std::function<void()>>> whenClosed_;
};

} // namespace lumora
