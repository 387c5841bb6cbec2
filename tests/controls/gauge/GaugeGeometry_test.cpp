#include "controls/gauge/AdvSmoothGaugeGeometry.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace lumora;

namespace {

// A 200 x 200 gauge after its first resize: margins 4, dial 192.
GaugeDial MainWindowDial()
{
    return DialForSize(200, 200);
}

int CountKind(const TGaugeTickMarks& ticks, int kind)
{
    int n = 0;
    for (const TGaugeTickMark& t : ticks)
        n += t.Kind == kind;
    return n;
}

} // namespace

TEST(GaugeGeometry, NearestRoundsHalvesToEven)
{
    EXPECT_EQ(GaugeNearest(2.5), 2);
    EXPECT_EQ(GaugeNearest(3.5), 4);
    EXPECT_EQ(GaugeNearest(-0.5), 0);
    EXPECT_EQ(GaugeNearest(1.6), 2);
}

TEST(GaugeGeometry, DialRectFollowsTheSize)
{
    const GaugeDial dial = MainWindowDial();
    EXPECT_EQ(dial.DialMarginX, 4);
    EXPECT_EQ(dial.DialWidth, 192);
    EXPECT_EQ(dial.DialRect, QRectF(4, 4, 192, 192));
    EXPECT_EQ(dial.Center(), QPointF(100, 100));

    // Odd sizes: the needle pivot stays at half the size, the tick centre snaps.
    const GaugeDial odd = DialForSize(151, 101);
    EXPECT_EQ(odd.DialMarginX, 3);
    EXPECT_EQ(odd.DialMarginY, 2);
    EXPECT_EQ(odd.DialWidth, 145);
    EXPECT_EQ(odd.DialHeight, 97);
    EXPECT_EQ(odd.Center(), QPointF(75.5, 50.5));
    EXPECT_EQ(odd.IntegerCenter(), QPoint(75, 50));
}

TEST(GaugeGeometry, ValueToAngleRunsClockwiseOverTheTop)
{
    const GaugeScale scale;
    EXPECT_DOUBLE_EQ(ValueToAngle(scale, 0), 135);
    EXPECT_DOUBLE_EQ(ValueToAngle(scale, 50), 270);
    EXPECT_DOUBLE_EQ(ValueToAngle(scale, 100), 405);
    EXPECT_DOUBLE_EQ(ValueToAngle(GaugeScale{-10, 10, 180, 360}, 5), 315);
}

TEST(GaugeGeometry, TickTableHasElevenMajorsAndThirtyMinors)
{
    TGaugeTickMarks ticks;
    BuildTickMarks(ticks, GaugeScale{}, MainWindowDial(), 10, 3);
    EXPECT_EQ(CountKind(ticks, 2), 11);
    EXPECT_EQ(CountKind(ticks, 1), 30);
    EXPECT_EQ(ticks[0].Kind, 2);
    EXPECT_EQ(ticks[1].Kind, 1);
    EXPECT_EQ(ticks[4].Kind, 2);
    EXPECT_EQ(ticks[40].Kind, 2);
    EXPECT_EQ(ticks[41].Kind, 0);
    EXPECT_DOUBLE_EQ(ticks[4].Value, 10);
    EXPECT_DOUBLE_EQ(ticks[40].Value, 100);

    // A rebuild with fewer divisions empties the entries no longer used.
    BuildTickMarks(ticks, GaugeScale{}, MainWindowDial(), 2, 1);
    EXPECT_EQ(CountKind(ticks, 2), 3);
    EXPECT_EQ(CountKind(ticks, 1), 2);

    // The largest table: 25 majors and 240 minors.
    BuildTickMarks(ticks, GaugeScale{}, MainWindowDial(), 24, 10);
    EXPECT_EQ(CountKind(ticks, 2), 25);
    EXPECT_EQ(CountKind(ticks, 1), 240);
}

TEST(GaugeGeometry, TickCoordinatesOnTheMainWindowGauge)
{
    // 200 wide: m = 2, outer radius 85 about (100, 100); majors 10 long,
    // minors 4, numbers 20 inside and lifted by 8.
    TGaugeTickMarks ticks;
    BuildTickMarks(ticks, GaugeScale{}, MainWindowDial(), 10, 3);
    constexpr double eps = 1e-9;

    const TGaugeTickMark& first = ticks[0]; // value 0 at 135 degrees
    EXPECT_NEAR(first.X1, 39.895923599143, eps);
    EXPECT_NEAR(first.Y1, 160.104076400857, eps);
    EXPECT_NEAR(first.X2, 46.966991411009, eps);
    EXPECT_NEAR(first.Y2, 153.033008588991, eps);
    EXPECT_NEAR(first.LabelX, 54.038059222874, eps);
    EXPECT_NEAR(first.LabelY, 137.961940777126, eps);

    const TGaugeTickMark& top = ticks[20]; // value 50 straight up
    EXPECT_NEAR(top.X1, 100, eps);
    EXPECT_NEAR(top.Y1, 15, eps);
    EXPECT_NEAR(top.Y2, 25, eps);
    EXPECT_DOUBLE_EQ(top.Value, 50);

    const TGaugeTickMark& minor = ticks[1]; // 6.75 degrees further on
    EXPECT_NEAR(minor.X1, 33.248060875137, eps);
    EXPECT_NEAR(minor.Y1, 152.622985691336, eps);
    EXPECT_NEAR(minor.X2, 36.389328598660, eps);
    EXPECT_NEAR(minor.Y2, 150.146609894097, eps);
}

TEST(GaugeGeometry, NeedlePoints)
{
    // Value 50 points straight up: tip 76 above the pivot, shoulders 18 out.
    const TArrayOfPointF p = BuildNeedleOutline(GaugeScale{}, MainWindowDial(), 50);
    constexpr double eps = 1e-9;
    EXPECT_NEAR(p[0].x(), 100, eps);
    EXPECT_NEAR(p[0].y(), 24, eps);
    EXPECT_NEAR(p[1].x(), 100 + 18 * std::cos(290 * M_PI / 180), eps);
    EXPECT_NEAR(p[1].y(), 100 + 18 * std::sin(290 * M_PI / 180), eps);
    EXPECT_EQ(p[2], QPointF(100, 100));
    EXPECT_NEAR(p[3].x(), 100 + 18 * std::cos(250 * M_PI / 180), eps);
    EXPECT_NEAR(p[3].y(), 100 + 18 * std::sin(250 * M_PI / 180), eps);
    EXPECT_NEAR(p[4].x(), 100 + 76 * std::cos(1.5 * M_PI - 0.02), eps);
    EXPECT_NEAR(p[4].y(), 100 + 76 * std::sin(1.5 * M_PI - 0.02), eps);

    // On a non-square control the needle follows the width only.
    const TArrayOfPointF wide = BuildNeedleOutline(GaugeScale{}, DialForSize(300, 100), 50);
    EXPECT_NEAR(wide[0].x(), 150, eps);
    EXPECT_NEAR(wide[0].y(), 50 - 114, eps);
}

TEST(GaugeGeometry, ThresholdSpanIsCutAtBothEnds)
{
    const GaugeDial dial = MainWindowDial();
    const GaugeScale scale;

    // Centre 25 sits at 202.5 degrees; 25 % of 270 is 67.5 long.
    GaugeThresholdSpan s = UpdateThresholdSpan(scale, dial, {0.03, 25.0, 25, 270});
    EXPECT_EQ(s.ArcRect, QRectF(10, 10, 180, 180)); // inset nearest(6)
    EXPECT_DOUBLE_EQ(s.ThresholdStart, 168.75);
    EXPECT_DOUBLE_EQ(s.ThresholdSweep, 67.5);

    // Near the minimum the start is held at the scale's start.
    s = UpdateThresholdSpan(scale, dial, {0.03, 5.0, 25, 270});
    EXPECT_DOUBLE_EQ(s.ThresholdStart, 135);
    EXPECT_DOUBLE_EQ(s.ThresholdSweep, 67.5);

    // Near the maximum the sweep is cut at the scale's stop.
    s = UpdateThresholdSpan(scale, dial, {0.03, 95.0, 25, 270});
    EXPECT_DOUBLE_EQ(s.ThresholdStart, 135 + 256.5 - 33.75);
    EXPECT_DOUBLE_EQ(s.ThresholdSweep, 405 - (135 + 256.5 - 33.75));

    // A full span on a mid centre is cut at both ends.
    s = UpdateThresholdSpan(scale, dial, {0.03, 50.0, 100, 400});
    EXPECT_DOUBLE_EQ(s.ThresholdStart, 135);
    EXPECT_DOUBLE_EQ(s.ThresholdSweep, 270);
}

TEST(GaugeGeometry, EvenOddPolygonTest)
{
    const std::vector<QPointF> triangle{{0, 0}, {10, 0}, {0, 10}};
    EXPECT_TRUE(PointInPolygon(triangle, {2, 2}));
    EXPECT_FALSE(PointInPolygon(triangle, {8, 8}));
    EXPECT_FALSE(PointInPolygon(triangle, {-1, 2}));
    // A self-overlapping figure: the doubly covered part counts as outside.
    const std::vector<QPointF> bow{{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}, {5, 0}, {5, 5}, {0, 5}};
    EXPECT_FALSE(PointInPolygon(bow, {2, 2}));
    EXPECT_TRUE(PointInPolygon(bow, {8, 8}));
}

TEST(GaugeGeometry, ValueAtPointPicksTheMinorStepWedge)
{
    const GaugeDial dial = MainWindowDial();
    const GaugeScale scale;
    auto at = [&](double value, double radius) {
        const double a = ValueToAngle(scale, value) * M_PI / 180;
        return QPointF(100 + radius * std::cos(a), 100 + radius * std::sin(a));
    };
    // Steps of 100 / 40 = 2.5.
    EXPECT_EQ(ValueAtPoint(scale, dial, 10, 3, at(50, 60)), 50.0);
    EXPECT_EQ(ValueAtPoint(scale, dial, 10, 3, at(51.2, 60)), 50.0);
    EXPECT_EQ(ValueAtPoint(scale, dial, 10, 3, at(51.3, 60)), 52.5);
    EXPECT_EQ(ValueAtPoint(scale, dial, 10, 3, at(100, 40)), 100.0);
    // Just before the start angle, within half a step: the minimum.
    EXPECT_EQ(ValueAtPoint(scale, dial, 10, 3, at(-1, 50)), 0.0);
    // The gap below the scale, the pivot itself and beyond the tip chord.
    EXPECT_EQ(ValueAtPoint(scale, dial, 10, 3, QPointF(100, 160)), std::nullopt);
    EXPECT_EQ(ValueAtPoint(scale, dial, 10, 3, QPointF(100, 100)), std::nullopt);
    EXPECT_EQ(ValueAtPoint(scale, dial, 10, 3, QPointF(101, 100)), 82.5);
    EXPECT_EQ(ValueAtPoint(scale, dial, 10, 3, at(-2, 50)), std::nullopt);
    EXPECT_EQ(ValueAtPoint(scale, dial, 10, 3, at(50, 80)), std::nullopt);
}
