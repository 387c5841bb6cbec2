#include "controls/fill/GDIPButton.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace lumora;

namespace {

// End point of the seam arc at `degrees` (clockwise from the x axis, y down).
QPointF ArcPoint(const TButtonFaceGeometry& g, double degrees)
{
    const double rad = degrees * M_PI / 180.0;
    const QPointF c = g.ArcSquare.center();
    return {c.x() + g.ArcRadius * std::cos(rad), c.y() + g.ArcRadius * std::sin(rad)};
}

} // namespace

TEST(ButtonFaceGeometry, MainWindowFaceWithoutShadow)
{
    const TButtonFaceGeometry g = ButtonFaceGeometry(120, 35, 0, 0, false);
    EXPECT_EQ(g.CurveHeight, 5);
    EXPECT_EQ(g.MidLine, 17);
    EXPECT_EQ(g.FaceWidth, 120);
    EXPECT_EQ(g.SeamBand, QRectF(0, 12, 119, 10)); // rows 12..21, bottom edge at 22
    EXPECT_EQ(g.Shape, Rect(0, 0, 119, 17));
    EXPECT_EQ(g.LowerBottom, 34);
    EXPECT_EQ(g.LowerGradient, QRectF(-1, 11, 121, 24));
    EXPECT_EQ(g.UpperGradient, QRectF(-1, -1, 121, 20));
    EXPECT_EQ(g.BevelOuter, QRectF(0, 1, 119, 33));
    EXPECT_EQ(g.BevelInner, QRectF(2, 3, 115, 29));
    EXPECT_FALSE(g.HasShadow);
}

TEST(ButtonFaceGeometry, ShadowShrinksTheFaceBySixByFour)
{
    const TButtonFaceGeometry g = ButtonFaceGeometry(120, 35, 0, 0, true);
    EXPECT_TRUE(g.HasShadow);
    EXPECT_EQ(g.ShadowRect, QRectF(2, 2, 116, 33));
    EXPECT_EQ(g.Width, 114);
    EXPECT_EQ(g.Height, 31);
    EXPECT_EQ(g.FaceWidth, 114);
    EXPECT_EQ(g.MidLine, 15);
    EXPECT_EQ(g.CurveHeight, 5);
}

TEST(ButtonFaceGeometry, InsetsMoveTheFace)
{
    const TButtonFaceGeometry g = ButtonFaceGeometry(120, 35, 5, 5, false);
    EXPECT_EQ(g.Left, 5);
    EXPECT_EQ(g.FaceWidth, 110);
    EXPECT_EQ(g.Shape, Rect(5, 5, 114, 17));
    EXPECT_EQ(g.LowerBottom, 29);
}

TEST(ButtonFaceGeometry, SeamArcMeetsTheSidesAtTheBandTopAndDipsToTheMidLine)
{
    struct Row { const char* name; int w, h, hs, vs; };
    const Row rows[] = {{"main-window", 120, 35, 0, 0}, {"inset", 120, 35, 5, 5},
                        {"tall", 60, 120, 0, 0},        {"wide", 400, 30, 3, 2},
                        {"small", 24, 12, 0, 0}};
    for (const Row& r : rows) {
        const TButtonFaceGeometry g = ButtonFaceGeometry(r.w, r.h, r.hs, r.vs, false);
        ASSERT_TRUE(g.HasCurve()) << r.name;
        const QPointF bottom = ArcPoint(g, 90);
        EXPECT_NEAR(bottom.y(), g.MidLine, 1e-9) << r.name;
        // The radius is rounded to whole pixels, so the ends land within a pixel.
        const QPointF right = ArcPoint(g, 90 - g.ArcHalfAngle);
        const QPointF left = ArcPoint(g, 90 + g.ArcHalfAngle);
        EXPECT_NEAR(right.y(), g.MidLine - g.CurveHeight, 1.0) << r.name;
        EXPECT_NEAR(left.y(), g.MidLine - g.CurveHeight, 1.0) << r.name;
        EXPECT_NEAR(right.x(), g.Shape.Right, 1.0) << r.name;
        EXPECT_NEAR(left.x(), g.Shape.Left, 1.0) << r.name;
    }
}

TEST(ButtonFaceGeometry, TooLowForACurveHasNone)
{
    const TButtonFaceGeometry g = ButtonFaceGeometry(50, 5, 0, 0, false);
    EXPECT_EQ(g.CurveHeight, 0);
    EXPECT_FALSE(g.HasCurve());
}

TEST(ButtonContent, CaptionOnlyIsCentredVerticallyAndShiftsWhenPressed)
{
    const TButtonFaceGeometry g = ButtonFaceGeometry(120, 35, 0, 0, false);
    TButtonContentOptions o;
    EXPECT_EQ(ButtonContentRect(g, o), QRectF(0, 0, 116, 35));
    TButtonContentPlacement p = PlaceButtonContent(g, o, ButtonContentRect(g, o), true, QSizeF(60, 15));
    EXPECT_EQ(p.CaptionRect, QRectF(4, 10, 112, 15));

    o.Pressed = true;
    o.ShiftDown = 2;
    EXPECT_EQ(ButtonContentRect(g, o), QRectF(2, 2, 116, 35));
    p = PlaceButtonContent(g, o, ButtonContentRect(g, o), true, QSizeF(60, 15));
    EXPECT_EQ(p.CaptionRect, QRectF(4, 12, 112, 15));
}

TEST(ButtonContent, PictureLayouts)
{
    const TButtonFaceGeometry g = ButtonFaceGeometry(120, 35, 0, 0, false);
    TButtonContentOptions o;
    o.Picture = QSize(16, 16);
    o.Spacing = 3;

    // Left of the caption: P loses the picture and the spacing, plus one for the odd spacing.
    o.Layout = blPictureLeft;
    o.PictureAlignment = taLeftJustify;
    const QRectF left = ButtonContentRect(g, o);
    EXPECT_EQ(left, QRectF(2, 0, 116 - 19 - 1, 35));
    TButtonContentPlacement p = PlaceButtonContent(g, o, left, true, QSizeF(40, 15));
    const double tx = (96 - 40) / 2.0 + 2 + 16 + 3; // 49
    EXPECT_EQ(p.CaptionRect, QRectF(tx, 10, 120 - 8 - tx, 15));
    EXPECT_EQ(p.PictureAt, QPoint(4, 9)); // base: hs + 4, (35 - 16) / 2
    o.PictureAlignment = taRightJustify;  // just left of the text
    EXPECT_EQ(PlaceButtonContent(g, o, left, true, QSizeF(40, 15)).PictureAt, QPoint(30, 9));

    // Right of the caption, right-justified: base position at the right edge.
    o.Layout = blPictureRight;
    o.PictureAlignment = taRightJustify;
    p = PlaceButtonContent(g, o, ButtonContentRect(g, o), true, QSizeF(40, 15));
    EXPECT_EQ(p.PictureAt, QPoint(120 - 16 - 4, 9));

    // Above the caption: the text moves down by the picture and the spacing.
    o.Layout = blPictureTop;
    o.PictureAlignment = taCenter;
    const QRectF top = ButtonContentRect(g, o);
    EXPECT_EQ(top, QRectF(2, 0, 115, 35 - 19));
    p = PlaceButtonContent(g, o, top, true, QSizeF(40, 10));
    EXPECT_DOUBLE_EQ(p.CaptionRect.y(), (16 - 10) / 2.0 + 19);
    EXPECT_EQ(p.PictureAt, QPoint(52, 3)); // centred, ty - ph - sp

    // Without a caption the picture sits at its base position whatever the layout.
    o.Layout = blPictureBottom;
    EXPECT_EQ(PlaceButtonContent(g, o, top, false, QSizeF()).PictureAt, QPoint(52, 9));
    o.Pressed = true;
    EXPECT_EQ(PlaceButtonContent(g, o, ButtonContentRect(g, o), false, QSizeF()).PictureAt, QPoint(53, 10));
}
