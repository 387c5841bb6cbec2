#include "core/LightCurve.h"

#include <algorithm>
#include <cmath>

namespace lumora {

double TLightCurve::Position(double lux, int levelCount) const
{
    if (levelCount < 1)
        return 0;
    const double fraction = std::log10(1 + std::max(lux, 0.0)) / std::log10(1 + kDaylightLux);
    const double shifted = fraction + std::clamp(Shift, -kMaxShift, kMaxShift) / 10.0;
    return std::clamp(shifted, 0.0, 1.0) * (levelCount - 1);
}

std::optional<int> TLightCurve::NextLevel(int current, double lux, int levelCount) const
{
    if (!(lux >= 0) || !std::isfinite(lux) || levelCount < 1)
        return std::nullopt;
    const double position = Position(lux, levelCount);
    const int nearest = int(std::lround(position));
    if (nearest == current)
        return std::nullopt;
    // A level not yet known, or out of the table, is left at once.
    if (current < 0 || current >= levelCount || std::abs(position - current) > 0.5 + kHysteresis)
        return nearest;
    return std::nullopt;
}

bool TVendorLightRange::Widen(double value)
{
    if (!std::isfinite(value))
        return false;
    bool grew = false;
    if (!Low || value < *Low) {
        Low = value;
        grew = true;
    }
    if (!High || value > *High) {
        High = value;
        grew = true;
    }
    return grew;
}

std::optional<double> TVendorLightRange::EquivalentLux(double value) const
{
    if (!Known() || !std::isfinite(value))
        return std::nullopt;
    // Vendors' units run with the light (often raw counts of the sensor),
    // so the place in the range is taken on the same logarithm as lux.
    const double fraction = std::clamp(std::log1p(std::max(value - *Low, 0.0)) / std::log1p(*High - *Low), 0.0, 1.0);
    // The inverse of the curve's logarithm: this lux sits at `fraction`.
    return std::pow(1 + TLightCurve::kDaylightLux, fraction) - 1;
}

} // namespace lumora
