#pragma once

#include "platform/shell/IdleClock.h"
#include "platform/shell/IdleTime.h"
#include "platform/shell/WaylandIdleNotice.h"

#include <QElapsedTimer>

namespace lumora {

// Idle seconds on a Wayland compositor: one idle notice a few seconds long.
// The program wakes when the seat falls idle and when input comes again, and
// never in between; a question in between is answered from the clock.
class WaylandIdleTime : public IdleTimeSource {
public:
    static constexpr uint32_t kThresholdMs = 3000;

    explicit WaylandIdleTime(std::shared_ptr<WaylandConnection> connection);
    quint32 IdleSeconds() override { return clock_.Seconds(monotonic_.elapsed()); }

private:
    QElapsedTimer monotonic_;
    IdleClock clock_{kThresholdMs};
    WaylandIdleNotice notice_;
};

} // namespace lumora
