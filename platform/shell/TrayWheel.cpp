#include "platform/shell/TrayWheel.h"

#include <cstdlib>

namespace lumora {

namespace {
constexpr int kNotch = 120;
}

int TrayWheelSteps::Add(int angleDelta)
{
    // A turn back drops what was gathered the other way.
    if ((angleDelta > 0 && rest_ < 0) || (angleDelta < 0 && rest_ > 0))
        rest_ = 0;
    rest_ += angleDelta;
    const int steps = rest_ / kNotch;
    rest_ -= steps * kNotch;
    return steps;
}

int StatusNotifierScrollSteps(int delta)
{
    if (delta == 0)
        return 0;
    const int notches = std::abs(delta) / kNotch;
    const int steps = notches > 0 ? notches : 1;
    return delta > 0 ? steps : -steps;
}

} // namespace lumora
