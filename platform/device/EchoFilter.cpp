#include "platform/device/EchoFilter.h"

#include "platform/device/BacklightDevice.h"

namespace lumora {

void EchoFilter::Wrote(int percent)
{
    pending_.push_back(percent);
    if (pending_.size() > std::size_t(kKept))
        pending_.pop_front();
}

bool EchoFilter::IsEcho(int value, int maximum)
{
    for (auto it = pending_.begin(); it != pending_.end(); ++it) {
        if (maximum > 0 && PercentToRaw(*it, maximum) == value) {
            pending_.erase(pending_.begin(), it + 1);
            return true;
        }
    }
    return false;
}

} // namespace lumora
