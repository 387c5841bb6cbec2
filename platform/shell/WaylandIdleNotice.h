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
//
// A compositor never calls the seat idle while a client holds an idle
// inhibitor (a playing video), which is right for dimming; a watch that
// must see the next input whatever plays (the wake after switching the
// monitors off) asks for Input only, which ext-idle-notify offers from
// version 2 on.
class WaylandIdleNotice {
public:
    enum Activity { AnyActivity, InputOnly };

    // The connection must offer a seat and one of the two protocols.
    WaylandIdleNotice(std::shared_ptr<WaylandConnection> connection, uint32_t timeoutMs,
                      Activity activity = AnyActivity);
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
