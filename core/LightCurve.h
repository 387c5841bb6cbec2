#pragma once

#include <optional>

namespace lumora {

// The level that follows the room's light: eyes judge light by its ratio,
// so the curve runs on the logarithm of the lux from darkness (level 0) to
// daylight at kDaylightLux (the top level). The user's shift moves the whole
// curve brighter (above 0) or darker (below 0) by tenths of the range.
struct TLightCurve {
    static constexpr double kDaylightLux = 10000;
    static constexpr int kMaxShift = 5;
    // How far past the middle between two levels the light must go before
    // the level moves, in levels: a value wobbling around a step does not
    // make the screen flicker between two levels.
    static constexpr double kHysteresis = 0.35;

    int Shift = 0; // -kMaxShift ... kMaxShift

    // The curve's level for `lux` as a real number in [0, levelCount - 1].
    double Position(double lux, int levelCount) const;

    // The level to be at, given the level shown now: the nearest level to
    // the curve, once the curve has moved clearly away from `current`;
    // nullopt while it has not (or for nonsense input).
    std::optional<int> NextLevel(int current, double lux, int levelCount) const;
};

} // namespace lumora
