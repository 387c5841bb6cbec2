#include "platform/gdiplus/Graphics.h"
#include "platform/gdiplus/HatchBrush.h"
#include "platform/gdiplus/LinearGradientBrush.h"
#include "platform/gdiplus/PathGradientBrush.h"
#include "platform/gdiplus/TextureBrush.h"

#include "GdiplusPixels.h"

#include <QBuffer>

#include <gtest/gtest.h>

using namespace lumora::gdiplus;
using lumora::gdiplus::testing::Near;
using lumora::gdiplus::testing::PixelAt;
using lumora::gdiplus::testing::Surface;

namespace {

const Color kRed(255, 255, 0, 0);
const Color kBlue(255, 0, 0, 255);
const Color kWhite(255, 255, 255, 255);
const Color kBlack(255, 0, 0, 0);

} // namespace

TEST(GdiplusHatch, AllStylesAreDistinctEightByEightCells)
{
    // Every style has both colours somewhere except none; no two styles are
    // the same cell (the aliases share the number, not a second cell).
    for (int a = HatchStyleMin; a <= HatchStyleMax; ++a) {
        auto pa = HatchPattern(HatchStyle(a));
        for (int b = a + 1; b <= HatchStyleMax; ++b)
            EXPECT_NE(pa, HatchPattern(HatchStyle(b))) << a << " and " << b;
    }
    EXPECT_EQ(HatchStyleTotal, 53);
    EXPECT_EQ(HatchStyleSolidDiamond, 52);
    EXPECT_EQ(HatchPattern(HatchStyleLargeGrid), HatchPattern(HatchStyleCross));
    // The percent styles grow denser in order.
    auto count = [](HatchStyle s) {
        int n = 0;
        for (auto row : HatchPattern(s))
            n += __builtin_popcount(row);
        return n;
    };
    for (int s = HatchStyle05Percent; s < HatchStyle90Percent; ++s)
        EXPECT_LT(count(HatchStyle(s)), count(HatchStyle(s + 1)));
    EXPECT_EQ(count(HatchStyle50Percent), 32);
}

TEST(GdiplusHatch, PatternRepeatsEveryEightPixelsFromTheDeviceOrigin)
{
    // Hatches are pixel patterns: exact colours, no tolerance.
    QImage img = Surface(40, 40);
    Graphics g(&img);
    HatchBrush b(HatchStyleDiagonalBrick, kRed, kBlue);
    g.FillRectangle(&b, 3, 3, 34, 34);
    const auto cell = HatchPattern(HatchStyleDiagonalBrick);
    for (int y = 3; y < 37; ++y)
        for (int x = 3; x < 37; ++x) {
            const bool fore = cell[size_t(y % 8)] & (0x80 >> (x % 8));
            ASSERT_EQ(PixelAt(img, x, y), fore ? kRed : kBlue) << x << "," << y;
        }
    EXPECT_EQ(PixelAt(img, 1, 1), kWhite);
}

TEST(GdiplusHatch, HorizontalLinesAndBackColour)
{
    QImage img = Surface(16, 16);
    Graphics g(&img);
    HatchBrush b(HatchStyleHorizontal, kBlack, Color(0x00000000));  // transparent back
    g.FillRectangle(&b, 0, 0, 16, 16);
    EXPECT_EQ(PixelAt(img, 5, 0), kBlack);
    EXPECT_EQ(PixelAt(img, 5, 8), kBlack);
    EXPECT_EQ(PixelAt(img, 5, 3), kWhite);  // the back colour lets the surface show
}

TEST(GdiplusPen, DotDashAlternatesPixelsOfTheWidth)
{
    // No anti-aliasing: exact pixels.
    QImage img = Surface(40, 10);
    Graphics g(&img);
    Pen pen(kBlack, 1);
    pen.SetDashStyle(DashStyleDot);
    g.DrawLine(&pen, 0, 4.5f, 40, 4.5f);
    int on = 0;
    for (int x = 0; x < 40; ++x) {
        const bool dark = PixelAt(img, x, 4) == kBlack;
        EXPECT_EQ(dark, x % 2 == 0) << x;
        on += dark;
    }
    EXPECT_EQ(on, 20);
}

TEST(GdiplusPen, DashIsThreeOnOneOff)
{
    QImage img = Surface(40, 10);
    Graphics g(&img);
    Pen pen(kBlack, 1);
    pen.SetDashStyle(DashStyleDash);
    g.DrawLine(&pen, 0, 4.5f, 40, 4.5f);
    for (int x = 0; x < 40; ++x)
        EXPECT_EQ(PixelAt(img, x, 4) == kBlack, x % 4 != 3) << x;
}

TEST(GdiplusPen, BrushPenAndWidth)
{
    QImage img = Surface(20, 20);
    Graphics g(&img);
    HatchBrush hatch(HatchStyle50Percent, kRed, kBlue);
    Pen pen(&hatch, 4);
    g.DrawLine(&pen, 0, 10, 20, 10);
    EXPECT_NE(PixelAt(img, 4, 9), kWhite);
    EXPECT_NE(PixelAt(img, 4, 9), PixelAt(img, 5, 9));  // checker alternates
    EXPECT_EQ(PixelAt(img, 4, 5), kWhite);
    Color c;
    EXPECT_EQ(pen.GetColor(&c), WrongState);
}

TEST(GdiplusClip, ResetClipPaintsEverywhereAgain)
{
    QImage img = Surface(20, 20);
    Graphics g(&img);
    SolidBrush red(kRed);
    SolidBrush blue(kBlue);
    GraphicsPath left;
    left.AddRectangle(RectF(0, 0, 10, 20));
    g.SetClip(&left);
    g.FillRectangle(&red, 0, 0, 20, 20);
    EXPECT_EQ(PixelAt(img, 5, 5), kRed);
    EXPECT_EQ(PixelAt(img, 15, 5), kWhite);
    g.ResetClip();
    g.FillRectangle(&blue, 0, 10, 20, 10);
    EXPECT_EQ(PixelAt(img, 5, 15), kBlue);
    EXPECT_EQ(PixelAt(img, 15, 15), kBlue);
    EXPECT_EQ(PixelAt(img, 15, 5), kWhite);
}

TEST(GdiplusClip, RectClipIntersectsAndExcludes)
{
    QImage img = Surface(20, 20);
    Graphics g(&img);
    SolidBrush red(kRed);
    g.SetClip(RectF(0, 0, 10, 10));
    g.SetClip(RectF(5, 5, 10, 10), CombineModeIntersect);
    g.FillRectangle(&red, 0, 0, 20, 20);
    EXPECT_EQ(PixelAt(img, 7, 7), kRed);
    EXPECT_EQ(PixelAt(img, 2, 2), kWhite);
    EXPECT_EQ(PixelAt(img, 12, 12), kWhite);
    g.ResetClip();
    g.SetClip(RectF(0, 0, 20, 20));
    g.SetClip(RectF(0, 0, 10, 20), CombineModeExclude);
    SolidBrush blue(kBlue);
    g.FillRectangle(&blue, 0, 0, 20, 20);
    EXPECT_EQ(PixelAt(img, 15, 15), kBlue);
    EXPECT_EQ(PixelAt(img, 2, 15), kWhite);
}

TEST(GdiplusFill, PolygonAlternateFillAndPie)
{
    QImage img = Surface(40, 40);
    Graphics g(&img);
    SolidBrush red(kRed);
    // A five-pointed star: alternate fill leaves its pentagon centre empty.
    const PointF star[] = {{20, 0}, {32, 38}, {0, 14}, {40, 14}, {8, 38}};
    g.FillPolygon(&red, star, 5);
    EXPECT_EQ(PixelAt(img, 20, 20), kWhite);
    EXPECT_EQ(PixelAt(img, 20, 4), kRed);
    g.FillPolygon(&red, star, 5, FillModeWinding);
    EXPECT_EQ(PixelAt(img, 20, 20), kRed);

    QImage pie = Surface(40, 40);
    Graphics gp(&pie);
    // 0 to 90 degrees clockwise: the lower right quarter on screen.
    gp.FillPie(&red, RectF(0, 0, 40, 40), 0, 90);
    EXPECT_EQ(PixelAt(pie, 28, 28), kRed);
    EXPECT_EQ(PixelAt(pie, 28, 12), kWhite);
    EXPECT_EQ(PixelAt(pie, 12, 28), kWhite);
}

TEST(GdiplusFill, GradientMixesUnpremultipliedChannels)
{
    // From transparent white to opaque black: GDI+ mixes each channel, so the
    // middle is half-transparent grey, not half-transparent black.
    QImage img = Surface(10, 100, 0x00000000);
    Graphics g(&img);
    LinearGradientBrush b(RectF(0, 0, 10, 100), Color(0x00FFFFFF), kBlack, LinearGradientModeVertical);
    g.FillRectangle(&b, 0, 0, 10, 100);
    const Color mid = PixelAt(img, 5, 50);
    EXPECT_NEAR(mid.GetA(), 126, 3);
    EXPECT_NEAR(mid.GetR(), 126, 6);  // unpremultiplying an alpha of 126 costs a level or two
}

TEST(GdiplusFill, PathGradientPresetBlendFromOutlineToCentre)
{
    // The soft shadow: transparent at the outline, 180 black from 0.1 on.
    QImage img = Surface(100, 100, 0xFFFFFFFF);
    Graphics g(&img);
    GraphicsPath path;
    path.AddRectangle(RectF(0, 0, 100, 100));
    PathGradientBrush b(&path);
    const Color colors[] = {Color(0, 0, 0, 0), Color(180, 0, 0, 0), Color(180, 0, 0, 0)};
    const REAL positions[] = {0.0f, 0.1f, 1.0f};
    ASSERT_EQ(b.SetInterpolationColors(colors, positions, 3), Ok);
    EXPECT_NEAR(b.PositionAt(PointF(50, 50)), 1.0, 1e-6);
    EXPECT_NEAR(b.PositionAt(PointF(97.5f, 50)), 0.05, 1e-6);
    g.FillPath(&b, &path);
    // 180 of black over white gives 75; half of it at position 0.05.
    EXPECT_TRUE(Near(PixelAt(img, 50, 50), Color(255, 75, 75, 75), 1));
    EXPECT_TRUE(Near(PixelAt(img, 80, 50), Color(255, 75, 75, 75), 1));
    EXPECT_TRUE(Near(PixelAt(img, 97, 50), Color(255, 165, 165, 165), 6));  // x = 97.5 is position 0.05
    // x = 99.5 is position 0.01, alpha 18; the 256-entry blend table steps
    // 7 alpha levels per entry on this ramp, half of it either way.
    EXPECT_TRUE(Near(PixelAt(img, 99, 50), Color(255, 237, 237, 237), 4));
}

TEST(GdiplusFill, PathGradientFocalEllipseAndClippedRect)
{
    // The radial glow: centre at the top middle of an ellipse, the brush used
    // to fill a rect: only the part inside the ellipse is painted.
    QImage img = Surface(100, 40);
    Graphics g(&img);
    GraphicsPath ellipse;
    ellipse.AddEllipse(0, -20, 100, 60);
    PathGradientBrush b(&ellipse);
    b.SetCenterPoint(PointF(50, 0));
    b.SetCenterColor(kRed);
    Color surround = kBlue;
    INT n = 1;
    b.SetSurroundColors(&surround, &n);
    g.FillRectangle(&b, 0, 0, 100, 40);
    EXPECT_TRUE(Near(PixelAt(img, 50, 0), kRed, 8));
    // Straight down from the centre the outline is at y = 40: y = 20.5 is
    // about half-way.
    EXPECT_TRUE(Near(PixelAt(img, 50, 20), Color(255, 124, 0, 131), 6));
    EXPECT_EQ(PixelAt(img, 1, 38), kWhite);  // outside the ellipse
}

TEST(GdiplusTexture, TilesFromTheOrigin)
{
    QImage tile(2, 2, QImage::Format_ARGB32);
    tile.setPixel(0, 0, 0xFFFF0000);
    tile.setPixel(1, 0, 0xFF0000FF);
    tile.setPixel(0, 1, 0xFF0000FF);
    tile.setPixel(1, 1, 0xFFFF0000);
    Bitmap bmp(tile);
    TextureBrush b(&bmp);
    QImage img = Surface(10, 10);
    Graphics g(&img);
    g.FillRectangle(&b, 1, 1, 8, 8);
    EXPECT_EQ(PixelAt(img, 2, 2), kRed);
    EXPECT_EQ(PixelAt(img, 3, 2), kBlue);
    EXPECT_EQ(PixelAt(img, 7, 7), kRed);
    EXPECT_EQ(PixelAt(img, 0, 0), kWhite);
}

TEST(GdiplusImage, DecodesBytesAndDrawsWithAColourKey)
{
    QImage src(4, 4, QImage::Format_RGB32);
    src.fill(0xFFFF00FF);  // magenta background
    src.setPixel(1, 1, 0xFF00FF00);
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    ASSERT_TRUE(src.save(&buf, "BMP"));

    auto image = Image::FromBytes(bytes);
    ASSERT_EQ(image->GetLastStatus(), Ok);
    EXPECT_EQ(image->GetWidth(), 4u);
    EXPECT_EQ(image->GetRawFormat(), QByteArray("bmp"));

    QImage img = Surface(10, 10);
    Graphics g(&img);
    ImageAttributes attrs;
    attrs.SetColorKey(Color(255, 255, 0, 255), Color(255, 255, 0, 255));
    g.DrawImage(image.get(), RectF(2, 2, 4, 4), 0, 0, 4, 4, UnitPixel, &attrs);
    EXPECT_EQ(PixelAt(img, 2, 2), kWhite);  // keyed away
    EXPECT_EQ(PixelAt(img, 3, 3), Color(255, 0, 255, 0));
    g.DrawImage(image.get(), 5.0f, 5.0f);  // at its own size, no key
    EXPECT_EQ(PixelAt(img, 5, 5), Color(255, 255, 0, 255));
    EXPECT_EQ(PixelAt(img, 9, 9), PixelAt(img, 9, 9));

    auto bad = Image::FromBytes(QByteArray("not an image"));
    EXPECT_EQ(bad->GetLastStatus(), UnknownImageFormat);
    EXPECT_EQ(bad->GetWidth(), 0u);
    EXPECT_EQ(Image::FromBytes(QByteArray())->GetLastStatus(), InvalidParameter);
}

TEST(GdiplusImage, HighQualityModesAverageWhenShrinking)
{
    // A one-pixel black and white checkerboard shrunk ten times: averaging
    // gives mid grey everywhere, point sampling gives black or white.
    QImage board(100, 100, QImage::Format_RGB32);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            board.setPixel(x, y, (x + y) % 2 ? 0xFFFFFFFF : 0xFF000000);
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    ASSERT_TRUE(board.save(&buf, "BMP"));
    auto image = Image::FromBytes(bytes);

    QImage img = Surface(10, 10);
    Graphics g(&img);
    g.SetInterpolationMode(InterpolationModeHighQualityBicubic);
    g.DrawImage(image.get(), RectF(0, 0, 10, 10));
    // Tolerance 12: the smooth scaler's box filter rounds per step.
    for (int y = 0; y < 10; y += 3)
        for (int x = 0; x < 10; x += 3)
            EXPECT_NEAR(qRed(img.pixel(x, y)), 128, 12) << x << "," << y;
}

TEST(GdiplusImage, BitmapStartsTransparentAndTakesDrawing)
{
    Bitmap bmp(8, 8);
    Color c;
    ASSERT_EQ(bmp.GetPixel(3, 3, &c), Ok);
    EXPECT_EQ(c.GetA(), 0);
    {
        Graphics g(&bmp);
        SolidBrush half(Color(128, 255, 0, 0));
        g.FillRectangle(&half, 0, 0, 8, 8);
    }
    ASSERT_EQ(bmp.GetPixel(3, 3, &c), Ok);
    EXPECT_EQ(c.GetA(), 128);
    EXPECT_NEAR(c.GetR(), 255, 1);  // premultiplied storage rounds
    EXPECT_EQ(bmp.GetPixel(8, 0, &c), InvalidParameter);
    EXPECT_EQ(bmp.GetPixelFormat(), PixelFormat32bppARGB);
}
