// The level that follows the room's light: the curve's ends and shift, and
// its hysteresis, which keeps a lux value wobbling around a step from making
// the screen flicker between two levels.

#include "core/LightCurve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace lumora;

TEST(LightCurve, RunsFromDarknessToDaylight)
{
    const TLightCurve curve;
    EXPECT_DOUBLE_EQ(curve.Position(0, 11), 0);
    EXPECT_DOUBLE_EQ(curve.Position(TLightCurve::kDaylightLux, 11), 10);
    EXPECT_DOUBLE_EQ(curve.Position(1e9, 11), 10) << "beyond daylight stays at the top";
    EXPECT_DOUBLE_EQ(curve.Position(-5, 11), 0);
    // Logarithmic: 100 lx (a dim room) is half way, not 1 % of the way.
    EXPECT_NEAR(curve.Position(100, 11), 5, 0.1);
    EXPECT_LT(curve.Position(10, 11), curve.Position(100, 11));
}

TEST(LightCurve, TheShiftMovesTheWholeCurve)
{
    TLightCurve brighter{2};
    TLightCurve darker{-2};
    const TLightCurve plain;
    EXPECT_NEAR(brighter.Position(100, 11), plain.Position(100, 11) + 2, 1e-9);
    EXPECT_NEAR(darker.Position(100, 11), plain.Position(100, 11) - 2, 1e-9);
    EXPECT_DOUBLE_EQ(darker.Position(0, 11), 0) << "clamped at the ends";
    TLightCurve wild{99};
    EXPECT_DOUBLE_EQ(wild.Position(0, 11), 5) << "a shift beyond the limit counts as the limit";
}

TEST(LightCurve, HysteresisKeepsTheLevelWhileTheLightWobbles)
{
    const TLightCurve curve;
    constexpr int kLevels = 11;
    // The lux where the curve is half way between levels 5 and 6.
    const double boundary = std::pow(10.0, 5.5 / 10 * std::log10(1 + TLightCurve::kDaylightLux)) - 1;
    int level = 5;
    int moves = 0;
    for (double factor : {0.95, 1.05, 0.9, 1.1, 0.97, 1.08, 0.93}) {
        if (const auto next = curve.NextLevel(level, boundary * factor, kLevels)) {
            level = *next;
            ++moves;
        }
    }
    EXPECT_EQ(moves, 0) << "wobbling around the step keeps level 5";
    EXPECT_EQ(curve.NextLevel(5, boundary * 2, kLevels), std::optional<int>(6)) << "clearly brighter moves up";
    EXPECT_EQ(curve.NextLevel(6, boundary * 0.97, kLevels), std::nullopt) << "and just below does not move back";
}

TEST(LightCurve, NonsenseMovesNothing)
{
    const TLightCurve curve;
    EXPECT_FALSE(curve.NextLevel(5, std::nan(""), 11));
    EXPECT_FALSE(curve.NextLevel(5, INFINITY, 11));
    EXPECT_FALSE(curve.NextLevel(5, 100, 0));
    EXPECT_EQ(curve.NextLevel(-1, 100, 11), std::optional<int>(5)) << "a level not known yet takes the curve's";
}

// A sensor in a vendor's unit: readings are placed within the range it has
// shown, on the same logarithm as lux.
TEST(LightCurve, AVendorsUnitIsPlacedWithinTheRangeTheSensorHasShown)
{
    TVendorLightRange range;
    EXPECT_FALSE(range.EquivalentLux(10)) << "nothing learned";
    EXPECT_TRUE(range.Widen(10));
    EXPECT_FALSE(range.Known()) << "one reading is no range";
    EXPECT_FALSE(range.EquivalentLux(10));
    EXPECT_FALSE(range.Widen(10));
    EXPECT_TRUE(range.Widen(110));
    EXPECT_FALSE(range.Widen(50)) << "inside: the range stays";
    EXPECT_FALSE(range.Widen(std::nan("")));
    ASSERT_TRUE(range.Known());

    const TLightCurve curve;
    const auto position = [&](double value) { return curve.Position(*range.EquivalentLux(value), 11); };
    EXPECT_NEAR(position(10), 0, 1e-9) << "the darkest seen is darkness";
    EXPECT_NEAR(position(110), 10, 1e-9) << "the brightest seen is daylight";
    EXPECT_NEAR(position(5), 0, 1e-9);
    EXPECT_NEAR(position(500), 10, 1e-9);
    EXPECT_NEAR(position(10 + std::sqrt(101.0) - 1), 5, 1e-9) << "half way on the logarithm";
    EXPECT_LT(position(20), position(60));
    EXPECT_FALSE(range.EquivalentLux(std::numeric_limits<double>::infinity()));

    // The shift moves it as it moves lux.
    EXPECT_NEAR(TLightCurve{2}.Position(*range.EquivalentLux(10 + std::sqrt(101.0) - 1), 11), 7, 1e-9);
}
