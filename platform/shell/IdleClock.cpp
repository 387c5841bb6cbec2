#include "platform/shell/IdleClock.h"

#include <algorithm>

namespace lumora {

void IdleClock::Idled(qint64 nowMs)
{
    // A repeated notice without a resume in between keeps the first one: the
    // input it dates has not changed.
    if (idle_)
        return;
    idle_ = true;
    lastInputMs_ = nowMs - thresholdMs_;
}

quint32 IdleClock::Seconds(qint64 nowMs) const
{
    if (!idle_)
        return 0;
    const qint64 ms = std::max<qint64>(0, nowMs - lastInputMs_);
    return quint32(std::min<qint64>(ms / 1000, 0xFFFFFFFFll));
}

} // namespace lumora
