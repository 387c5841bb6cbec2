#include "controls/slider/AdvSmoothSliderGeometry.h"

#include <gtest/gtest.h>

#include <vector>

using namespace lumora;

namespace {

// The main window's slider: 91 x 30, background without border, knob 40.
TAdvSmoothSliderGeometry MainWindow()
{
    return TAdvSmoothSliderGeometry(91, 30, 40, clNone, 1);
}

} // namespace

TEST(SliderGeometry, OnRects)
{
    const auto g = MainWindow();
    EXPECT_EQ(g.Inside(), (TRect{0, 0, 90, 29}));
    EXPECT_EQ(g.Knob(0), QRectF(50, 0, 40, 29));
    EXPECT_EQ(g.OnBody(0), QRectF(0, 0, 70, 29));
    EXPECT_EQ(g.OnCaption(0), QRectF(0, 0, 50, 29));
    EXPECT_EQ(g.OffBody(0), QRectF(70, 0, 20, 29));
}

TEST(SliderGeometry, OffRects)
{
    const auto g = MainWindow();
    const double o = g.RestOffset(ssOff);
    EXPECT_EQ(o, -51);
    EXPECT_EQ(g.Knob(o), QRectF(0, 0, 40, 29));
    EXPECT_EQ(g.OnBody(o), QRectF(0, 0, 20, 29));
    EXPECT_EQ(g.OffBody(o), QRectF(20, 0, 70, 29));
    EXPECT_EQ(g.OffCaption(o), QRectF(20, 0, 90, 29));
}

TEST(SliderGeometry, AnimationFromOnToOffTakes34Ticks)
{
    std::vector<double> offsets{0};
    double o = 0;
    while (const auto next = SliderAnimationStep(o, -51, 15)) {
        o = *next;
        offsets.push_back(o);
        ASSERT_LT(offsets.size(), 100u);
    }
    const std::vector<double> start{0, -3, -6, -9, -12, -15, -17, -19};
    EXPECT_EQ(std::vector<double>(offsets.begin(), offsets.begin() + 8), start);
    EXPECT_EQ(offsets.size(), 35u); // the rest position plus 34 ticks
    EXPECT_EQ(offsets.back(), -51);
    // One pixel per tick from -29 on.
    const auto at = std::find(offsets.begin(), offsets.end(), -29.0);
    ASSERT_NE(at, offsets.end());
    for (auto it = at; it + 1 != offsets.end(); ++it)
        EXPECT_EQ(*it - *(it + 1), 1);
}

TEST(SliderGeometry, DragRulesAndDrop)
{
    const auto g = MainWindow();
    // An on knob can only be pulled left.
    EXPECT_EQ(g.DragOffset(ssOn, 70, 50), -20);
    EXPECT_EQ(g.DragOffset(ssOn, 70, 90), 0);
    EXPECT_EQ(g.DragOffset(ssOn, 70, -100), -51);
    EXPECT_EQ(g.DropState(-20), ssOn);  // centre 50, right of 45.5
    EXPECT_EQ(g.DropState(-40), ssOff); // centre 30
    // An off knob can only be pushed right.
    EXPECT_EQ(g.DragOffset(ssOff, 20, 20), -51);
    EXPECT_EQ(g.DragOffset(ssOff, 20, 60), -11);
    EXPECT_EQ(g.DropState(-11), ssOn);
}

TEST(SliderGeometry, ClicksLeftAndRightOfTheKnob)
{
    const auto g = MainWindow();
    EXPECT_EQ(g.ClickState(0, 10), ssOff);
    EXPECT_EQ(g.ClickState(0, 60), ssOn);
    EXPECT_FALSE(g.ClickState(0, 50).has_value());
}

TEST(SliderGeometry, NineCaptionPositions)
{
    const QRectF C(0, 0, 50, 29);
    EXPECT_EQ(SliderCaptionOffset(cpTopLeft, C, 20, 15, 0, 0), QPoint(0, 0));
    EXPECT_EQ(SliderCaptionOffset(cpTopCenter, C, 20, 15, 0, 0), QPoint(15, 0));
    EXPECT_EQ(SliderCaptionOffset(cpTopRight, C, 20, 15, 0, 0), QPoint(30, 0));
    EXPECT_EQ(SliderCaptionOffset(cpCenterLeft, C, 20, 15, 0, 0), QPoint(0, 7));
    EXPECT_EQ(SliderCaptionOffset(cpCenterCenter, C, 20, 15, 0, 0), QPoint(15, 7));
    EXPECT_EQ(SliderCaptionOffset(cpCenterRight, C, 20, 15, 0, 0), QPoint(30, 7));
    EXPECT_EQ(SliderCaptionOffset(cpBottomLeft, C, 20, 15, 0, 0), QPoint(0, 14));
    EXPECT_EQ(SliderCaptionOffset(cpBottomCenter, C, 20, 15, 0, 0), QPoint(15, 14));
    EXPECT_EQ(SliderCaptionOffset(cpBottomRight, C, 20, 15, 0, 0), QPoint(30, 14));
    EXPECT_EQ(SliderCaptionOffset(cpCustom, C, 20, 15, 5, 6), QPoint(5, 6));
    // A caption wider than its rect: the halving truncates toward zero.
    EXPECT_EQ(SliderCaptionOffset(cpCenterCenter, QRectF(0, 0, 10, 10), 13, 10, 0, 0), QPoint(-1, 0));
}
