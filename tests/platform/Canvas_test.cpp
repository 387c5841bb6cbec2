#include "platform/framework/Canvas.h"

#include <gtest/gtest.h>

#include <QFontMetrics>

using namespace lumora;

namespace {

QImage WhiteImage(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

} // namespace

// The canvas draws without anti-aliasing: every check below is exact.

TEST(Canvas, FillRectExcludesRightAndBottom)
{
    QImage image = WhiteImage(10, 10);
    TCanvas canvas(image);
    canvas.BrushColor = clRed;
    canvas.FillRect({2, 3, 5, 6});
    EXPECT_EQ(canvas.Pixel(2, 3), clRed);
    EXPECT_EQ(canvas.Pixel(4, 5), clRed);
    EXPECT_EQ(canvas.Pixel(5, 5), clWhite);
    EXPECT_EQ(canvas.Pixel(4, 6), clWhite);
    canvas.BrushStyle = bsClear;
    canvas.BrushColor = clBlue;
    canvas.FillRect({0, 0, 10, 10});
    EXPECT_EQ(canvas.Pixel(0, 0), clWhite);
}

TEST(Canvas, LineToLeavesOutTheEndPoint)
{
    QImage image = WhiteImage(10, 10);
    TCanvas canvas(image);
    canvas.MoveTo(1, 1);
    canvas.LineTo(6, 1);
    EXPECT_EQ(canvas.Pixel(1, 1), clBlack);
    EXPECT_EQ(canvas.Pixel(5, 1), clBlack);
    EXPECT_EQ(canvas.Pixel(6, 1), clWhite);
    canvas.LineTo(6, 6);
    EXPECT_EQ(canvas.Pixel(6, 1), clBlack);
    EXPECT_EQ(canvas.Pixel(6, 6), clWhite);
}

TEST(Canvas, FloodFillStopsAtTheBorderColourOnly)
{
    QImage image = WhiteImage(12, 12);
    TCanvas canvas(image);
    canvas.Polyline({{2, 2}, {9, 2}, {9, 9}, {2, 9}, {2, 2}});
    // A pixel that already has the fill colour must not cut the region.
    canvas.BrushColor = clLime;
    canvas.FillRect({4, 3, 5, 9});
    canvas.FloodFill(3, 5, clBlack);
    EXPECT_EQ(canvas.Pixel(3, 5), clLime);
    EXPECT_EQ(canvas.Pixel(8, 8), clLime);
    EXPECT_EQ(canvas.Pixel(9, 5), clBlack);
    EXPECT_EQ(canvas.Pixel(1, 1), clWhite);
    EXPECT_EQ(canvas.Pixel(10, 10), clWhite);
}

TEST(Canvas, FocusRectInvertsEveryOtherPixelAndUndoesItself)
{
    QImage image = WhiteImage(10, 10);
    TCanvas canvas(image);
    canvas.DrawFocusRect({1, 1, 7, 5});
    EXPECT_EQ(canvas.Pixel(1, 1), clBlack);
    EXPECT_EQ(canvas.Pixel(2, 1), clWhite);
    EXPECT_EQ(canvas.Pixel(3, 1), clBlack);
    EXPECT_EQ(canvas.Pixel(7, 1), clWhite); // right edge is exclusive
    EXPECT_EQ(canvas.Pixel(3, 3), clWhite);
    canvas.DrawFocusRect({1, 1, 7, 5});
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(canvas.Pixel(x, y), clWhite) << x << "," << y;
}

TEST(Canvas, CellHeightFontFitsItsCell)
{
    TFont font;
    font.SetHeight(24);
    const QFontMetrics metrics(CanvasQFont(font));
    EXPECT_LE(metrics.ascent() + metrics.descent(), 25);
    EXPECT_GE(metrics.ascent() + metrics.descent(), 20);
    font.SetHeight(-13);
    EXPECT_EQ(CanvasQFont(font).pixelSize(), 13);
}
