#pragma once

#include "platform/shell/IdleClock.h"
#include "platform/shell/IdleTime.h"
#include "platform/shell/WaylandIdleNotice.h"

#include <QElapsedTimer>

#include <functional>
#include <memory>

namespace lumora {

// Idle seconds on a Wayland compositor: one idle notice a few seconds long.
// The program wakes when the seat falls idle and when input comes again, and
// never in between; a question in between is answered from the clock.
//
// When the connection closes (the compositor restarts or goes away) no
// "input again" can come any more: the clock says active at once, so a
// screen in use is never dimmed by a clock that stopped at "idle", and the
// idle time comes from `next` from then on (made on first use; none reads 0).
class WaylandIdleTime : public IdleTimeSource {
public:
    static constexpr uint32_t kThresholdMs = 3000;

    using NextSource = std::function<std::unique_ptr<IdleTimeSource>()>;
    explicit WaylandIdleTime(std::shared_ptr<WaylandConnection> connection, NextSource next = {});
    quint32 IdleSeconds() override;

private:
    struct State {
        IdleClock clock{kThresholdMs};
        bool lost = false;
    };
    QElapsedTimer monotonic_;
    std::shared_ptr<State> state_ = std::make_shared<State>();
    WaylandIdleNotice notice_;
    NextSource next_;
    std::unique_ptr<IdleTimeSource> fallback_;
};

} // namespace lumora
