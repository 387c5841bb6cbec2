#pragma once

#include <cstdint>
#include <functional>
#include <memory>

struct ext_idle_notification_v1;
struct org_kde_kwin_idle_timeout;

namespace lumora {

class WaylandConnection;

// One request to the compositor to be told when the seat has had no input
// for a given time, and when input comes again: ext-idle-notify-v1 where the
// compositor has it, else org_kde_kwin_idle. Both arrive as events.
class WaylandIdleNotice {
public:
    // The connection must offer a seat and one of the two protocols.
    WaylandIdleNotice(std::shared_ptr<WaylandConnection> connection, uint32_t timeoutMs);
    ~WaylandIdleNotice();
    WaylandIdleNotice(const WaylandIdleNotice&) = delete;
    WaylandIdleNotice& operator=(const WaylandIdleNotice&) = delete;

    std::function<void()> OnIdle;
    std::function<void()> OnResumed;

    // The protocols' event handlers.
    void Idled() const;
    void Resumed() const;

private:
    std::shared_ptr<WaylandConnection> connection_;
    ext_idle_notification_v1* ext_ = nullptr;
    org_kde_kwin_idle_timeout* kde_ = nullptr;
};

} // namespace lumora
