#include "controls/trackbar/AdvSmoothTrackBarGeometry.h"

#include <gtest/gtest.h>

using namespace lumora;

namespace {

// The main window's track bar: 90 x 403, silver border of width 1, no shadow.
TAdvSmoothTrackBarMetrics MainWindowMetrics()
{
    TAdvSmoothTrackBarMetrics m;
    m.Width = 90;
    m.Height = 403;
    m.BorderColor = clSilver;
    m.BorderWidth = 1;
    m.ShadowColor = 0x808080;
    m.ShadowOffset = 0;
    return m;
}

TAdvSmoothTrackBarRange MainWindowRange()
{
    TAdvSmoothTrackBarRange r;
    r.Maximum = 100;
    r.Step = 10;
    r.SnapMargin = 10;
    return r;
}

} // namespace

TEST(TrackBarGeometry, MainWindowRects)
{
    const TAdvSmoothTrackBarGeometry g(MainWindowMetrics());
    EXPECT_EQ(g.Inside(), (TRect{1, 1, 88, 401}));
    EXPECT_EQ(g.Scale(), QRectF(1, 21, 88, 361));
    EXPECT_DOUBLE_EQ(g.ScaleLength(), 361);

    const auto range = MainWindowRange();
    const QRectF atZero = g.Thumb(g.ValueToOffset(0, range));
    EXPECT_DOUBLE_EQ(atZero.top(), 362);
    EXPECT_DOUBLE_EQ(atZero.bottom(), 402);
    const QRectF atHundred = g.Thumb(g.ValueToOffset(100, range));
    EXPECT_DOUBLE_EQ(atHundred.top(), 1);
    EXPECT_DOUBLE_EQ(atHundred.bottom(), 41);
    EXPECT_DOUBLE_EQ(atHundred.x(), 8);
    EXPECT_DOUBLE_EQ(atHundred.width(), 74);
}

TEST(TrackBarGeometry, NumberPositionsRunBottomToTop)
{
    const TAdvSmoothTrackBarGeometry g(MainWindowMetrics());
    const auto range = MainWindowRange();
    ASSERT_EQ(TAdvSmoothTrackBarGeometry::Intervals(range), 10);
    EXPECT_DOUBLE_EQ(g.NumberPosition(0, range), 382);
    EXPECT_NEAR(g.NumberPosition(1, range), 345.9, 1e-9);
    EXPECT_NEAR(g.NumberPosition(5, range), 201.5, 1e-9);
    EXPECT_NEAR(g.NumberPosition(10, range), 21, 1e-9);
    // Text centred across the scale and on the position.
    const QPointF origin = g.NumberOrigin(0, range, 30, 14);
    EXPECT_DOUBLE_EQ(origin.x(), (88 - 30) / 2.0);
    EXPECT_DOUBLE_EQ(origin.y(), 382 - 7);
}

TEST(TrackBarGeometry, SnappingRoundsTiesToEven)
{
    const TAdvSmoothTrackBarGeometry g(MainWindowMetrics());
    const auto range = MainWindowRange();
    const double L = g.ScaleLength();
    EXPECT_DOUBLE_EQ(TAdvSmoothTrackBarGeometry::SnapValue(47.3, range), 50);
    EXPECT_DOUBLE_EQ(TAdvSmoothTrackBarGeometry::SnapValue(45, range), 40);
    EXPECT_DOUBLE_EQ(TAdvSmoothTrackBarGeometry::SnapValue(55, range), 60);
    EXPECT_DOUBLE_EQ(g.OffsetToValue(0.473 * L, range), 50);
    EXPECT_DOUBLE_EQ(g.OffsetToValue(-20, range), 0);
    EXPECT_DOUBLE_EQ(g.OffsetToValue(L + 20, range), 100);

    auto loose = range;
    loose.SnapToTickMarks = false;
    EXPECT_NEAR(g.OffsetToValue(47.3 / 100 * L, loose), 47.3, 1e-9);
    // Snapping counts from 0, not from Minimum, and only within the margin.
    auto narrow = range;
    narrow.Minimum = 5;
    narrow.SnapMargin = 1;
    EXPECT_NEAR(g.OffsetToValue(0.5 * L, narrow), 52.5, 1e-9);
}

TEST(TrackBarGeometry, EmptyRangeGivesZero)
{
    const TAdvSmoothTrackBarGeometry g(MainWindowMetrics());
    TAdvSmoothTrackBarRange r;
    r.Minimum = 50;
    r.Maximum = 50;
    EXPECT_DOUBLE_EQ(g.ValueToOffset(50, r), 0);
    EXPECT_DOUBLE_EQ(g.OffsetToValue(100, r), 0);
    r.Step = 0;
    EXPECT_EQ(TAdvSmoothTrackBarGeometry::Intervals(r), 0);
}

TEST(TrackBarGeometry, ProgressAndGlowFollowTheOffset)
{
    const TAdvSmoothTrackBarGeometry g(MainWindowMetrics());
    const QRectF P = g.Progress(180.5);
    EXPECT_DOUBLE_EQ(P.top(), 401 - 180.5 - 20);
    EXPECT_DOUBLE_EQ(P.bottom(), 401);
    const auto bands = g.GlowBands(180.5, 60);
    EXPECT_DOUBLE_EQ(bands[0].bottom(), 401 - 60);
    EXPECT_DOUBLE_EQ(bands[1].top(), 401 - 60);
    EXPECT_EQ(g.Groove(), QRectF(8, 8, 74, 387));
}

TEST(TrackBarGeometry, HorizontalBarRunsLeftToRight)
{
    TAdvSmoothTrackBarMetrics m;
    m.Width = 250;
    m.Height = 90;
    m.Direction = dHorizontal;
    const TAdvSmoothTrackBarGeometry g(m);
    EXPECT_EQ(g.Inside(), (TRect{0, 0, 249, 89}));
    EXPECT_EQ(g.Scale(), QRectF(20, 0, 209, 89));
    TAdvSmoothTrackBarRange r;
    EXPECT_DOUBLE_EQ(g.Thumb(g.ValueToOffset(0, r)).x(), 0);
    EXPECT_DOUBLE_EQ(g.MouseDistance(120, 5), 100);
}

TEST(TrackBarGeometry, ShadowAndWideBorderShrinkTheInside)
{
    TAdvSmoothTrackBarMetrics m;
    m.ShadowColor = clGray;
    m.ShadowOffset = 3;
    m.BorderColor = clBlack;
    m.BorderWidth = 4;
    const TAdvSmoothTrackBarGeometry g(m);
    EXPECT_EQ(g.Inside(), (TRect{2, 2, 90 - 4 - 2, 250 - 4 - 2}));
}
