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

// A sensor that reports in a vendor's unit instead of lux says only "more"
// or "less" light, on a scale of its own. Its readings are placed within
// the range the sensor has shown so far (kept in the settings): the lowest
// reading seen stands for darkness and the highest for daylight, and the
// curve runs between them on the logarithm, as it does for lux (vendors'
// units run with the light, often as the sensor's raw counts). The range
// only widens, so the first
// evenings and noons teach it; until the sensor has shown two different
// readings it places nothing.
struct TVendorLightRange {
    std::optional<double> Low;
    std::optional<double> High;

    // Takes a reading into the range; true when the range grew.
    bool Widen(double value);
    bool Known() const { return Low && High && *High > *Low; }
    // The lux the curve reads for `value`, so that the curve's position is
    // the reading's place in the range; nullopt while the range is unknown
    // (or for nonsense input).
    std::optional<double> EquivalentLux(double value) const;
    friend bool operator==(const TVendorLightRange&, const TVendorLightRange&) = default;
};

} // namespace lumora
