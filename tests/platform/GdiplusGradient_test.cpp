#include "platform/gdiplus/Graphics.h"
#include "platform/gdiplus/LinearGradientBrush.h"
#include "platform/gdiplus/PathGradientBrush.h"

#include "GdiplusPixels.h"

#include <gtest/gtest.h>

#include <limits>

using namespace lumora::gdiplus;
using lumora::gdiplus::testing::Near;
using lumora::gdiplus::testing::PixelAt;
using lumora::gdiplus::testing::Surface;

namespace {

// Gradients are sampled at pixel centres and Qt's gradient table has 1024
// entries: a pixel half a pixel in from an edge is within a few levels of the
// edge colour on a 100-pixel ramp (255 / 100 / 2 plus table rounding).
constexpr int kEdgeTol = 4;
// A value in the middle of a ramp: table rounding and stop approximation.
constexpr int kMidTol = 3;

const Color kBlack(255, 0, 0, 0);
const Color kWhite(255, 255, 255, 255);

} // namespace

TEST(GdiplusLinearGradient, VerticalModeRunsTopToBottomAcrossTheRect)
{
    QImage img = Surface(20, 100);
    Graphics g(&img);
    LinearGradientBrush b(RectF(0, 0, 20, 100), kBlack, kWhite, LinearGradientModeVertical);
    g.FillRectangle(&b, 0, 0, 20, 100);
    EXPECT_TRUE(Near(PixelAt(img, 10, 0), kBlack, kEdgeTol));
    EXPECT_TRUE(Near(PixelAt(img, 10, 99), kWhite, kEdgeTol));
    EXPECT_TRUE(Near(PixelAt(img, 10, 50), Color(255, 128, 128, 128), kMidTol));
    // Lines of equal colour are horizontal.
    EXPECT_EQ(PixelAt(img, 0, 30), PixelAt(img, 19, 30));
}

TEST(GdiplusLinearGradient, HorizontalModeRunsLeftToRight)
{
    QImage img = Surface(100, 10);
    Graphics g(&img);
    LinearGradientBrush b(RectF(0, 0, 100, 10), kBlack, kWhite, LinearGradientModeHorizontal);
    g.FillRectangle(&b, 0, 0, 100, 10);
    EXPECT_TRUE(Near(PixelAt(img, 0, 5), kBlack, kEdgeTol));
    EXPECT_TRUE(Near(PixelAt(img, 99, 5), kWhite, kEdgeTol));
    EXPECT_EQ(PixelAt(img, 40, 0), PixelAt(img, 40, 9));
}

TEST(GdiplusLinearGradient, TileWrapRepeatsBeyondTheRect)
{
    // The brush covers rows 10..59; row 60 starts the next repeat (black),
    // row 9 is the end of the previous one (white).
    QImage img = Surface(10, 70);
    Graphics g(&img);
    LinearGradientBrush b(RectF(0, 10, 10, 50), kBlack, kWhite, LinearGradientModeVertical);
    g.FillRectangle(&b, 0, 0, 10, 70);
    EXPECT_TRUE(Near(PixelAt(img, 5, 60), kBlack, 8));  // 255 / 50 / 2: half a pixel into the ramp
    EXPECT_TRUE(Near(PixelAt(img, 5, 9), kWhite, 8));
}

TEST(GdiplusLinearGradient, DiagonalModesRunCornerToCorner)
{
    QImage img = Surface(100, 50);
    Graphics g(&img);
    LinearGradientBrush fwd(RectF(0, 0, 100, 50), kBlack, kWhite, LinearGradientModeForwardDiagonal);
    g.FillRectangle(&fwd, 0, 0, 100, 50);
    EXPECT_TRUE(Near(PixelAt(img, 0, 0), kBlack, 6));
    EXPECT_TRUE(Near(PixelAt(img, 99, 49), kWhite, 6));
    // The other two corners sit half-way: the angle scales with the rect.
    EXPECT_TRUE(Near(PixelAt(img, 99, 0), PixelAt(img, 0, 49), 6));

    LinearGradientBrush back(RectF(0, 0, 100, 50), kBlack, kWhite, LinearGradientModeBackwardDiagonal);
    g.FillRectangle(&back, 0, 0, 100, 50);
    EXPECT_TRUE(Near(PixelAt(img, 99, 0), kBlack, 6));
    EXPECT_TRUE(Near(PixelAt(img, 0, 49), kWhite, 6));
}

TEST(GdiplusLinearGradient, TwoPointsAndAngle)
{
    LinearGradientBrush points(PointF(10, 0), PointF(30, 0), kBlack, kWhite);
    EXPECT_NEAR(points.PositionAt(PointF(20, 7)), 0.5, 1e-6);
    LinearGradientBrush angle(RectF(0, 0, 10, 10), kBlack, kWhite, 90.0f, false);
    EXPECT_NEAR(angle.PositionAt(PointF(3, 0)), 0.0, 1e-6);
    EXPECT_NEAR(angle.PositionAt(PointF(3, 10)), 1.0, 1e-6);
}

TEST(GdiplusLinearGradient, GammaCorrectionBrightensTheMiddle)
{
    // Black to white: plain mixing gives 128 in the middle, mixing in linear
    // light (gamma 2.2) gives 255 * 0.5^(1 / 2.2) = 186.
    auto middle = [](bool gamma) {
        QImage img = Surface(10, 100);
        Graphics g(&img);
        LinearGradientBrush b(RectF(0, 0, 10, 100), kBlack, kWhite, LinearGradientModeVertical);
        b.SetGammaCorrection(gamma);
        g.FillRectangle(&b, 0, 0, 10, 100);
        // Row 49 samples y = 49.5, just before the middle.
        return PixelAt(img, 5, 49);
    };
    EXPECT_TRUE(Near(middle(false), Color(255, 127, 127, 127), kMidTol));
    EXPECT_TRUE(Near(middle(true), Color(255, 185, 185, 185), kMidTol));
}

TEST(GdiplusLinearGradient, PresetBlendPositions)
{
    QImage img = Surface(10, 100);
    Graphics g(&img);
    LinearGradientBrush b(RectF(0, 0, 10, 100), kBlack, kWhite, LinearGradientModeVertical);
    const Color colors[] = {Color(255, 255, 0, 0), Color(255, 0, 255, 0), Color(255, 0, 0, 255)};
    const REAL positions[] = {0.0f, 0.2f, 1.0f};
    ASSERT_EQ(b.SetInterpolationColors(colors, positions, 3), Ok);
    g.FillRectangle(&b, 0, 0, 10, 100);
    EXPECT_TRUE(Near(PixelAt(img, 5, 0), colors[0], 15));   // 255 / 20 / 2 steps per half pixel
    EXPECT_TRUE(Near(PixelAt(img, 5, 20), colors[1], 10));  // y = 20.5, just past the stop
    EXPECT_TRUE(Near(PixelAt(img, 5, 99), colors[2], kEdgeTol));
    EXPECT_TRUE(Near(PixelAt(img, 5, 10), Color(255, 121, 134, 0), kMidTol));
}

TEST(GdiplusPathGradient, EllipseCentreOutlineAndHalfWay)
{
    QImage img = Surface(101, 61);
    Graphics g(&img);
    GraphicsPath path;
    path.AddEllipse(0.5f, 0.5f, 100, 60);
    PathGradientBrush b(&path);
    b.SetCenterColor(kBlack);
    Color surround = kWhite;
    INT n = 1;
    b.SetSurroundColors(&surround, &n);
    g.FillPath(&b, &path);
    // Centre (50.5, 30.5) is pixel (50, 30).
    EXPECT_TRUE(Near(PixelAt(img, 50, 30), kBlack, 6));
    // Half-way along the ray to the right: x = 50.5 + 25.
    EXPECT_TRUE(Near(PixelAt(img, 75, 30), Color(255, 128, 128, 128), 6));
    // Half-way upwards: y = 30.5 - 15.
    EXPECT_TRUE(Near(PixelAt(img, 50, 15), Color(255, 128, 128, 128), 6));
    // One pixel inside the outline: nearly the surround colour.
    EXPECT_TRUE(Near(PixelAt(img, 99, 30), kWhite, 12));
    // Outside the ellipse: untouched (clamp paints nothing there).
    EXPECT_EQ(PixelAt(img, 1, 1), kWhite);
}

TEST(GdiplusPathGradient, RoundedRectCentreOutlineAndHalfWay)
{
    QImage img = Surface(100, 40, 0xFF0000FF);
    Graphics g(&img);
    GraphicsPath path;
    path.AddArc(0, 0, 10, 10, 180, 90);
    path.AddArc(90, 0, 10, 10, 270, 90);
    path.AddArc(90, 30, 10, 10, 0, 90);
    path.AddArc(0, 30, 10, 10, 90, 90);
    path.CloseFigure();
    PathGradientBrush b(&path);
    b.SetCenterColor(kBlack);
    Color surround = kWhite;
    INT n = 1;
    b.SetSurroundColors(&surround, &n);
    PointF c;
    b.GetCenterPoint(&c);
    EXPECT_NEAR(c.X, 50, 1e-3);
    EXPECT_NEAR(c.Y, 20, 1e-3);
    g.FillPath(&b, &path);
    // Pixel (50, 20) samples (50.5, 20.5): position 1 - 0.5 / 20 along y.
    EXPECT_TRUE(Near(PixelAt(img, 50, 20), Color(255, 6, 6, 6), 3));
    // Half-way to the right edge: x = 75.5 lies 25.5 / 50 out.
    EXPECT_TRUE(Near(PixelAt(img, 75, 20), Color(255, 130, 130, 130), 3));
    // Half-way to the top edge on the centre line: y = 10.5 lies 9.5 / 20 out.
    EXPECT_TRUE(Near(PixelAt(img, 49, 10), Color(255, 121, 121, 121), 3));
    // Next to the outline: nearly white. Corners outside: untouched.
    EXPECT_TRUE(Near(PixelAt(img, 99, 20), kWhite, 8));
    EXPECT_EQ(PixelAt(img, 0, 0), Color(0xFF0000FF));
}

TEST(GdiplusGradient, PresetPositionsMustRunFromZeroToOne)
{
    LinearGradientBrush b(RectF(0, 0, 10, 10), kBlack, kWhite, LinearGradientModeVertical);
    const Color colors[] = {kBlack, kWhite, kBlack};
    const REAL notFromZero[] = {0.1f, 0.5f, 1.0f};
    const REAL falling[] = {0.0f, 0.7f, 0.5f};
    const REAL withNaN[] = {0.0f, std::numeric_limits<REAL>::quiet_NaN(), 1.0f};
    EXPECT_EQ(b.SetInterpolationColors(colors, notFromZero, 3), InvalidParameter);
    EXPECT_EQ(b.SetInterpolationColors(colors, falling, 3), InvalidParameter);
    EXPECT_EQ(b.SetInterpolationColors(colors, withNaN, 3), InvalidParameter);
    EXPECT_EQ(b.GetInterpolationColorCount(), 0);
    GraphicsPath path;
    path.AddRectangle(RectF(0, 0, 10, 10));
    PathGradientBrush p(&path);
    EXPECT_EQ(p.SetInterpolationColors(colors, falling, 3), InvalidParameter);
}

TEST(GdiplusPathGradient, HugePathOnlyRendersWhatShows)
{
    // A path far larger than the surface: the gradient is evaluated for the
    // visible pixels only, and is still right there.
    QImage img = Surface(20, 20);
    Graphics g(&img);
    GraphicsPath path;
    const PointF diamond[] = {{10, -100000}, {100010, 10}, {10, 100020}, {-99990, 10}};
    path.AddPolygon(diamond, 4);
    PathGradientBrush b(&path);
    b.SetCenterPoint(PointF(10, 10));
    b.SetCenterColor(kBlack);
    Color surround = kWhite;
    INT n = 1;
    b.SetSurroundColors(&surround, &n);
    ASSERT_EQ(g.FillPath(&b, &path), Ok);
    EXPECT_TRUE(Near(PixelAt(img, 10, 10), kBlack, 1));
    EXPECT_TRUE(Near(PixelAt(img, 0, 0), kBlack, 1));
}

TEST(GdiplusPathGradient, FollowsTheWorldTransformAndClip)
{
    // The same rounded-rect gradient drawn at the origin with a translation
    // matches the one drawn in place, pixel for pixel.
    auto draw = [](bool translated) {
        QImage img = Surface(60, 40);
        Graphics g(&img);
        g.SetSmoothingMode(SmoothingModeAntiAlias);
        GraphicsPath path;
        const REAL x = translated ? 0 : 10, y = translated ? 0 : 5;
        path.AddArc(x, y, 8, 8, 180, 90);
        path.AddArc(x + 32, y, 8, 8, 270, 90);
        path.AddArc(x + 32, y + 22, 8, 8, 0, 90);
        path.AddArc(x, y + 22, 8, 8, 90, 90);
        path.CloseFigure();
        if (translated)
            g.TranslateTransform(10, 5);
        PathGradientBrush b(&path);
        b.SetCenterColor(kBlack);
        Color surround = kWhite;
        INT n = 1;
        b.SetSurroundColors(&surround, &n);
        g.SetClip(RectF(0, 0, translated ? 20 : 30, 40));  // cuts through the shape
        g.FillPath(&b, &path);
        return img;
    };
    const QImage a = draw(false);
    const QImage b = draw(true);
    EXPECT_EQ(PixelAt(a, 35, 20), Color(0xFFFFFFFF));  // clipped away
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x)
            ASSERT_TRUE(Near(PixelAt(a, x, y), PixelAt(b, x, y), 1)) << x << "," << y;
}

TEST(GdiplusLinearGradient, GammaRampFollowsTheLightCurveEverywhere)
{
    // Black to white is the hardest case: the curve is steepest at the dark
    // end. Each row must match the exact linear-light mix at its centre
    // within 3 levels (Qt's 1024-entry table and stop approximation).
    QImage img = Surface(4, 256);
    Graphics g(&img);
    LinearGradientBrush b(RectF(0, 0, 4, 256), kBlack, kWhite, LinearGradientModeVertical);
    b.SetGammaCorrection(true);
    g.FillRectangle(&b, 0, 0, 4, 256);
    for (int y = 0; y < 256; ++y)
        ASSERT_TRUE(Near(PixelAt(img, 1, y), b.ColorAt(PointF(1.5f, y + 0.5f)), 3)) << y;
}
