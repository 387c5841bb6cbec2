#include "controls/fill/ColorMath.h"
#include "controls/fill/GDIPButton.h"
#include "platform/gdiplus/Graphics.h"
#include "platform/gdiplus/LinearGradientBrush.h"

#include <QImage>

#include <gtest/gtest.h>

using namespace lumora;

namespace {

constexpr TColor kFace = 0x00E3B28D; // the main window's buttons

QImage Blank(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QImage Face(int w, int h, bool shadow, bool bevel = false, bool pressed = false, TColor colour = kFace)
{
    QImage image = Blank(w, h);
    {
        gdiplus::Graphics graphics(&image);
        graphics.SetSmoothingMode(gdiplus::SmoothingModeAntiAlias);
        TGDIPButton appearance;
        appearance.DrawFace(graphics, QString(), nullptr, bevel, pressed, shadow, clWhite, colour, 0, 0, h, w);
    }
    return image;
}

QColor Rgb(TColor c)
{
    const TColor rgb = ColorToRGB(c);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

// Channel distance of two opaque colours.
int Distance(QColor a, QColor b)
{
    return std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()), std::abs(a.blue() - b.blue())});
}

// The colour a three-stop gamma-corrected vertical gradient gives row y
// (sampled at the pixel centre), from the drawing layer's own evaluation.
QColor GradientAt(const QRectF& box, const std::array<TColor, 3>& stops, const std::array<float, 3>& at, int y)
{
    const std::array<gdiplus::Color, 3> colours = {gdiplus::Color(ToARGB(255, stops[0])),
                                                   gdiplus::Color(ToARGB(255, stops[1])),
                                                   gdiplus::Color(ToARGB(255, stops[2]))};
    gdiplus::LinearGradientBrush brush(gdiplus::RectF::FromQRectF(box), colours[0], colours[2],
                                       gdiplus::LinearGradientModeVertical);
    brush.SetGammaCorrection(true);
    brush.SetInterpolationColors(colours.data(), at.data(), 3);
    return brush.ColorAt(gdiplus::PointF(float(box.center().x()), float(y + 0.5))).ToQColor();
}

QColor Upper(const TButtonFaceGeometry& g, TColor face, int y)
{
    return GradientAt(g.UpperGradient, {Lighten(face, 220), Lighten(face, 100), face}, {0.0f, 0.2f, 1.0f}, y);
}

QColor Lower(const TButtonFaceGeometry& g, TColor face, int y)
{
    return GradientAt(g.LowerGradient, {Lighten(face, -40), Lighten(face, 100), Lighten(face, 220)},
                      {0.0f, 0.9f, 1.0f}, y);
}

// Gradients are evaluated per pixel by the drawing layer and Qt may round a
// channel differently: 3 levels covers that and nothing more.
constexpr int kGradientTolerance = 3;

} // namespace

TEST(ButtonFacePaint, SeamBandCoversRowsTwelveToTwentyOne)
{
    const TButtonFaceGeometry g = ButtonFaceGeometry(120, 35, 0, 0, false);
    QImage image = Blank(120, 35);
    {
        gdiplus::Graphics graphics(&image);
        PaintButtonSeamBand(graphics, g, kFace);
    }
    const QColor dark = Rgb(Lighten(kFace, -40));
    for (int x : {0, 60, 118}) {
        EXPECT_EQ(image.pixelColor(x, 11).alpha(), 0) << x;
        EXPECT_EQ(image.pixelColor(x, 12), dark) << x;
        EXPECT_EQ(image.pixelColor(x, 21), dark) << x;
        EXPECT_EQ(image.pixelColor(x, 22).alpha(), 0) << x;
    }
    EXPECT_EQ(image.pixelColor(119, 17).alpha(), 0);
}

TEST(ButtonFacePaint, HalvesMeetOnACurveThatDipsToTheMidLine)
{
    const QImage image = Face(120, 35, false);
    const TButtonFaceGeometry g = ButtonFaceGeometry(120, 35, 0, 0, false);
    ASSERT_EQ(g.MidLine, 17);
    ASSERT_EQ(g.CurveHeight, 5);

    // In the middle the upper half reaches down to row 16, the lower starts at 17.
    EXPECT_LE(Distance(image.pixelColor(60, 16), Upper(g, kFace, 16)), kGradientTolerance);
    EXPECT_LE(Distance(image.pixelColor(60, 18), Lower(g, kFace, 18)), kGradientTolerance);
    // At the sides the curve rises to row 12 = M - G.
    EXPECT_LE(Distance(image.pixelColor(3, 10), Upper(g, kFace, 10)), kGradientTolerance);
    EXPECT_LE(Distance(image.pixelColor(3, 13), Lower(g, kFace, 13)), kGradientTolerance);
    EXPECT_LE(Distance(image.pixelColor(116, 13), Lower(g, kFace, 13)), kGradientTolerance);
    // The lower half is dark at the seam and bright at the bottom.
    EXPECT_LT(image.pixelColor(60, 18).lightness(), image.pixelColor(60, 32).lightness());
    // The face ends at row 33; row 34 stays clear.
    EXPECT_EQ(image.pixelColor(60, 33).alpha(), 255);
    EXPECT_EQ(image.pixelColor(60, 34).alpha(), 0);
}

TEST(ButtonFacePaint, ShadowShrinksTheFaceAndShowsBelowAndRight)
{
    const QImage plain = Face(120, 35, false);
    const QImage shadowed = Face(120, 35, true);
    // Without a shadow the face reaches x = 118; with one it stops at 113
    // and the column beyond is shadow: dark and translucent.
    EXPECT_EQ(plain.pixelColor(116, 20).alpha(), 255);
    const QColor right = shadowed.pixelColor(116, 20);
    EXPECT_GT(right.alpha(), 0);
    EXPECT_LT(right.alpha(), 255);
    EXPECT_EQ(right.red(), 0);
    // Below: the shrunken face ends at row 29 (2 * 15), the shadow below it.
    EXPECT_EQ(shadowed.pixelColor(60, 29).alpha(), 255);
    const QColor below = shadowed.pixelColor(60, 32);
    EXPECT_GT(below.alpha(), 0);
    EXPECT_LT(below.alpha(), 255);
    // Nothing of the shadow left of the face's rounded corner: it starts at (2, 2).
    EXPECT_EQ(shadowed.pixelColor(0, 0).alpha(), 0);
}

TEST(ButtonFacePaint, BevelRingIsTwoPixelsOfTranslucentBevelColour)
{
    const QImage plain = Face(120, 35, false, false);
    const QImage bevelled = Face(120, 35, false, true);
    // The ring's top edge runs along rows 1 and 2 and lightens the face there.
    EXPECT_GT(bevelled.pixelColor(60, 2).lightness(), plain.pixelColor(60, 2).lightness());
    EXPECT_EQ(bevelled.pixelColor(60, 5), plain.pixelColor(60, 5));
    EXPECT_GT(bevelled.pixelColor(1, 17).lightness(), plain.pixelColor(1, 17).lightness());
}

TEST(ButtonFacePaint, PressedFaceIsTheFaceColourScaledByEightTenths)
{
    const QImage pressed = Face(120, 35, false, true, true);
    const QImage darker = Face(120, 35, false, true, false, PressedColor(kFace));
    EXPECT_EQ(pressed, darker);
    EXPECT_NE(pressed, Face(120, 35, false, true, false));
}
