#include "core/LevelMath.h"

#include "platform/framework/SysUtils.h"

#include <algorithm>

namespace lumora {

namespace {
int ClampIndex(std::int64_t index, int levelCount)
{
    return int(std::clamp<std::int64_t>(index, 0, std::max(levelCount - 1, 0)));
}
} // namespace

int IndexToPosition(int index, int levelCount)
{
    if (levelCount <= 1)
        return 0;
    return int(Round(double(index * 100) / double(levelCount - 1)));
}

double GaugeValueToPosition(double gaugeValue, int levelCount)
{
    if (levelCount <= 1)
        return 0.0;
    return 100.0 * gaugeValue / double(levelCount - 1);
}

int PositionToIndex(double position, int levelCount)
{
    if (levelCount <= 1)
        return 0;
    return ClampIndex(Round(double(levelCount - 1) * position / 100.0), levelCount);
}

int GaugeValueToIndex(double gaugeValue, int levelCount) { return ClampIndex(Round(gaugeValue), levelCount); }

int RatingValue(double position) { return int(std::clamp<std::int64_t>(Round(100.0 - position), 0, 100)); }

QString GaugeValueFormat(int levelCount)
{
    const int top = levelCount - 1;
    // Three integer digits from 100 up. (A picture of "100.00" would print
    // its leading 1 as a literal: 50 would read "150.00".)
    if (top >= 100)
        return QStringLiteral("000.00");
    if (top >= 10)
        return QStringLiteral("00.00");
    return QStringLiteral("0.00");
}

} // namespace lumora
