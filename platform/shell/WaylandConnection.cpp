#include "platform/shell/WaylandConnection.h"

#include "ext-idle-notify-v1-client-protocol.h"
#include "kde-dpms-client-protocol.h"
#include "kde-idle-client-protocol.h"
#include "wlr-output-power-management-unstable-v1-client-protocol.h"

#include <QSocketNotifier>

#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace lumora {

namespace {

template <typename T>
T* Bind(wl_registry* registry, uint32_t name, const wl_interface* interface, uint32_t offered, uint32_t wanted)
{
    return static_cast<T*>(wl_registry_bind(registry, name, interface, std::min(offered, wanted)));
}

} // namespace

std::shared_ptr<WaylandConnection> WaylandConnection::Open()
{
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return nullptr;
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr)
        return nullptr;
    return std::shared_ptr<WaylandConnection>(new WaylandConnection(display));
}

WaylandConnection::WaylandConnection(wl_display* display) : display_(display)
{
    static const wl_registry_listener listener = {&WaylandConnection::OnGlobal, &WaylandConnection::OnGlobalRemove};
    registry_ = wl_display_get_registry(display_);
    wl_registry_add_listener(registry_, &listener, this);
    wl_display_roundtrip(display_);

    notifier_ = new QSocketNotifier(wl_display_get_fd(display_), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { Dispatch(); });
    wl_display_dispatch_pending(display_);
    Flush();
}

WaylandConnection::~WaylandConnection()
{
    delete notifier_;
    if (kdeDpms_)
        org_kde_kwin_dpms_manager_destroy(kdeDpms_);
    if (wlrPower_)
        zwlr_output_power_manager_v1_destroy(wlrPower_);
    if (kdeIdle_)
        org_kde_kwin_idle_destroy(kdeIdle_);
    if (extIdle_)
        ext_idle_notifier_v1_destroy(extIdle_);
    for (wl_output* output : outputs_)
        wl_output_destroy(output);
    if (seat_)
        wl_seat_destroy(seat_);
    wl_registry_destroy(registry_);
    wl_display_flush(display_);
    wl_display_disconnect(display_);
}

void WaylandConnection::OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
                                 uint32_t version)
{
    auto* self = static_cast<WaylandConnection*>(data);
    const auto is = [interface](const wl_interface& i) { return std::strcmp(interface, i.name) == 0; };
    if (is(wl_seat_interface) && !self->seat_)
        self->seat_ = Bind<wl_seat>(registry, name, &wl_seat_interface, version, 1);
    else if (is(wl_output_interface)) {
        // Outputs come and go while the program runs (a monitor plugged in).
        self->outputs_.push_back(Bind<wl_output>(registry, name, &wl_output_interface, version, 1));
        self->outputNames_.push_back(name);
    }
    else if (is(ext_idle_notifier_v1_interface))
        // Version 2 adds the input-only notification the wake watch needs.
        self->extIdle_ = Bind<ext_idle_notifier_v1>(registry, name, &ext_idle_notifier_v1_interface, version, 2);
    else if (is(org_kde_kwin_idle_interface))
        self->kdeIdle_ = Bind<org_kde_kwin_idle>(registry, name, &org_kde_kwin_idle_interface, version, 1);
    else if (is(zwlr_output_power_manager_v1_interface))
        self->wlrPower_ = Bind<zwlr_output_power_manager_v1>(registry, name, &zwlr_output_power_manager_v1_interface,
                                                             version, 1);
    else if (is(org_kde_kwin_dpms_manager_interface))
        self->kdeDpms_ = Bind<org_kde_kwin_dpms_manager>(registry, name, &org_kde_kwin_dpms_manager_interface,
                                                         version, 1);
}

void WaylandConnection::OnGlobalRemove(void* data, wl_registry*, uint32_t name)
{
    // An output that went is asked nothing more; the objects already made
    // for it report failure through their own events.
    auto* self = static_cast<WaylandConnection*>(data);
    for (std::size_t i = 0; i < self->outputNames_.size(); ++i) {
        if (self->outputNames_[i] != name)
            continue;
        wl_output_destroy(self->outputs_[i]);
        self->outputs_.erase(self->outputs_.begin() + std::ptrdiff_t(i));
        self->outputNames_.erase(self->outputNames_.begin() + std::ptrdiff_t(i));
        return;
    }
}

bool WaylandConnection::InputIdleNotifications() const
{
    return extIdle_ != nullptr &&
           ext_idle_notifier_v1_get_version(extIdle_) >= EXT_IDLE_NOTIFIER_V1_GET_INPUT_IDLE_NOTIFICATION_SINCE_VERSION;
}

void WaylandConnection::Flush() { wl_display_flush(display_); }

void WaylandConnection::Dispatch()
{
    if (wl_display_dispatch(display_) >= 0) {
        Flush();
        return;
    }
    // The compositor is gone or sent a protocol error: stop listening, say so
    // once; the services built on this connection stay quiet from now on.
    notifier_->setEnabled(false);
    std::fprintf(stderr, "lumora: the Wayland connection closed (%s); idle time and monitor power stop\n",
                 std::strerror(wl_display_get_error(display_)));
    closed_ = true;
    const auto whenClosed = std::move(whenClosed_);
    whenClosed_.clear();
    for (const auto& [owner, closed] : whenClosed) {
        if (!owner.expired())
            closed();
    }
}

void WaylandConnection::WhenClosed(std::weak_ptr<void> owner, std::function<void()> closed)
{
    if (closed_) {
        closed();
        return;
    }
    whenClosed_.emplace_back(std::move(owner), std::move(closed));
}

} // namespace lumora
