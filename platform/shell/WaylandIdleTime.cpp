#include "platform/shell/WaylandIdleTime.h"

namespace lumora {

WaylandIdleTime::WaylandIdleTime(std::shared_ptr<WaylandConnection> connection)
    : notice_(std::move(connection), kThresholdMs)
{
    monotonic_.start();
    notice_.OnIdle = [this] { clock_.Idled(monotonic_.elapsed()); };
    notice_.OnResumed = [this] { clock_.Resumed(); };
}

} // namespace lumora
