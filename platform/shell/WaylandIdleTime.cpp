#include "platform/shell/WaylandIdleTime.h"

#include "platform/shell/WaylandConnection.h"

namespace lumora {

WaylandIdleTime::WaylandIdleTime(std::shared_ptr<WaylandConnection> connection, NextSource next)
    : notice_(connection, kThresholdMs), next_(std::move(next))
{
    monotonic_.start();
    notice_.OnIdle = [this] { state_->clock.Idled(monotonic_.elapsed()); };
    notice_.OnResumed = [this] { state_->clock.Resumed(); };
    const std::weak_ptr<State> state = state_;
    connection->WhenClosed(state_, [state] {
        if (const auto s = state.lock()) {
            s->clock.Resumed();
            s->lost = true;
        }
    });
}

quint32 WaylandIdleTime::IdleSeconds()
{
    if (!state_->lost)
        return state_->clock.Seconds(monotonic_.elapsed());
    if (!fallback_ && next_) {
        fallback_ = next_();
        next_ = nullptr;
    }
    return fallback_ ? fallback_->IdleSeconds() : 0;
}

} // namespace lumora
