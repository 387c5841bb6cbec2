// TGDIPFill: properties and notifications, the rounded path as data, picture
// placement, and what Fill paints, checked as pixels on a QImage.

#include "controls/fill/GDIPFill.h"

#include "platform/gdiplus/Graphics.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

#include <cstdlib>
#include <functional>

namespace lumora {
namespace {

using gdiplus::RectF;

constexpr QRgb kWhite = 0xFFFFFFFF;

// Paints on a white image through a Graphics that is gone before the pixels
// are read.
QImage Render(int width, int height, const std::function<void(gdiplus::Graphics&)>& paint)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(kWhite);
    {
        gdiplus::Graphics g(&image);
        paint(g);
    }
    return image;
}

QImage RenderFill(TGDIPFill& fill, RectF r, int width = 100, int height = 40)
{
    return Render(width, height, [&](gdiplus::Graphics& g) { fill.Fill(&g, r); });
}

bool Near(QRgb actual, QRgb expected, int tolerance)
{
    return std::abs(qRed(actual) - qRed(expected)) <= tolerance &&
           std::abs(qGreen(actual) - qGreen(expected)) <= tolerance &&
           std::abs(qBlue(actual) - qBlue(expected)) <= tolerance &&
           std::abs(qAlpha(actual) - qAlpha(expected)) <= tolerance;
}

::testing::AssertionResult PixelNear(const QImage& image, int x, int y, QRgb expected, int tolerance)
{
    const QRgb actual = image.pixel(x, y);
    if (Near(actual, expected, tolerance))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << std::hex << actual
                                         << ", expected " << expected << " within " << std::dec << tolerance;
}

QByteArray SolidPng(int width, int height, QRgb color)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

void LoadPng(TAdvGDIPPicture& picture, const QByteArray& png)
{
    QByteArray bytes = png;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    picture.LoadFromStream(&buffer);
}

// --- values -------------------------------------------------------------

TEST(FillValues, ToARGBOrdersAlphaRedGreenBlue)
{
    EXPECT_EQ(ToARGB(0x80, 0x00332211), 0x80112233u);
    EXPECT_EQ(ToARGB(255, clRed), 0xFFFF0000u);
    // System colours are mapped first.
    const TColor face = ColorToRGB(clBtnFace);
    EXPECT_EQ(ToARGB(255, clBtnFace), gdiplus::Color::MakeARGB(255, std::uint8_t(GetRValue(face)),
                                                               std::uint8_t(GetGValue(face)),
                                                               std::uint8_t(GetBValue(face))));
}

TEST(FillValues, Defaults)
{
    TGDIPFill f;
    EXPECT_EQ(f.Color(), 0xC0C0C0);
    EXPECT_EQ(f.ColorTo(), 0x808080);
    EXPECT_EQ(f.ColorMirror(), clNone);
    EXPECT_EQ(f.ColorMirrorTo(), clNone);
    EXPECT_EQ(f.GradientType(), gtVertical);
    EXPECT_EQ(f.GradientMirrorType(), gtSolid);
    EXPECT_EQ(f.HatchStyle(), HatchStyleHorizontal);
    EXPECT_EQ(f.HatchStyleMirror(), HatchStyleHorizontal);
    EXPECT_EQ(f.BackGroundPictureMode(), pmOutsideFill);
    EXPECT_TRUE(f.BackGroundPicture()->Empty());
    EXPECT_EQ(f.BackGroundPicturePosition(), ppTopLeft);
    EXPECT_TRUE(f.Picture()->Empty());
    EXPECT_EQ(f.PicturePosition(), ppTopLeft);
    EXPECT_EQ(f.PictureSize(), psOriginal);
    EXPECT_EQ(f.PictureWidth(), 50);
    EXPECT_EQ(f.PictureHeight(), 50);
    EXPECT_EQ(f.Opacity(), 255);
    EXPECT_EQ(f.OpacityMirrorTo(), 255);
    EXPECT_EQ(f.BorderColor(), clNone);
    EXPECT_EQ(f.BorderOpacity(), 255);
    EXPECT_EQ(f.BorderWidth(), 1);
    EXPECT_EQ(f.Rounding(), 0);
    EXPECT_EQ(f.RoundingType(), rtBoth);
    EXPECT_EQ(f.ShadowColor(), 0x808080);
    EXPECT_EQ(f.ShadowOffset(), 0);
    EXPECT_EQ(f.Angle(), 0);
    EXPECT_EQ(f.Glow(), gmNone);
    EXPECT_EQ(f.GlowGradientColor(), 0xFFFFFF);
    EXPECT_EQ(f.GlowRadialColor(), 0xFFFFFF);
    EXPECT_FALSE(f.Focus());
    EXPECT_EQ(f.FocusColor(), 0);
}

TEST(FillValues, ChangesAreAnnouncedOnceAndOnlyWhenEffective)
{
    TGDIPFill f;
    int changes = 0;
    f.OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &f);
        ++changes;
    };
    f.SetColor(clRed);
    EXPECT_EQ(changes, 1);
    f.SetColor(clRed);
    f.SetRounding(0);
    f.SetGlow(gmNone);
    EXPECT_EQ(changes, 1);
    f.SetFocus(true); // owner state, not a property change
    EXPECT_EQ(changes, 1);

    // A batch is never announced, not even at EndUpdate.
    f.BeginUpdate();
    f.SetColor(clBlue);
    f.SetBorderWidth(3);
    f.EndUpdate();
    EXPECT_EQ(changes, 1);
    f.EndUpdate(); // unbalanced: stays at 0
    f.SetAngle(45);
    EXPECT_EQ(changes, 2);

    // A picture change is a change of the fill.
    LoadPng(*f.Picture(), SolidPng(4, 4, 0xFF00FF00));
    EXPECT_EQ(changes, 3);
}

TEST(FillValues, AssignCopiesEveryPropertyAndAnnouncesOnce)
{
    TGDIPFill source;
    source.SetColor(1);
    source.SetColorTo(2);
    source.SetColorMirror(3);
    source.SetColorMirrorTo(4);
    source.SetGradientType(gtAngle);
    source.SetGradientMirrorType(gtHatch);
    source.SetHatchStyle(HatchStyleWave);
    source.SetHatchStyleMirror(HatchStyleSphere);
    source.SetBackGroundPicturePosition(ppTiled);
    source.SetBackGroundPictureLeft(5);
    source.SetBackGroundPictureTop(6);
    source.SetPicturePosition(ppCustom);
    source.SetPictureLeft(7);
    source.SetPictureTop(8);
    source.SetPictureSize(psCustom);
    source.SetPictureWidth(9);
    source.SetPictureHeight(10);
    source.SetOpacity(11);
    source.SetOpacityTo(12);
    source.SetOpacityMirror(13);
    source.SetOpacityMirrorTo(14);
    source.SetBorderColor(15);
    source.SetBorderWidth(16);
    source.SetRounding(17);
    source.SetRoundingType(rtLeft);
    source.SetShadowColor(18);
    source.SetShadowOffset(19);
    source.SetAngle(20);
    source.SetBorderOpacity(21);
    source.SetBackGroundPictureMode(pmInsideFill);
    source.SetGlowGradientColor(22);
    source.SetGlowRadialColor(23);
    source.SetGlow(gmRadialGradient);
    source.SetFocus(true);
    LoadPng(*source.Picture(), SolidPng(3, 2, 0xFFFF0000));
    LoadPng(*source.BackGroundPicture(), SolidPng(2, 3, 0xFF0000FF));

    TGDIPFill target;
    int changes = 0;
    target.OnChange = [&](TObject*) { ++changes; };
    target.Assign(source);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(target.StoredProperties(), source.StoredProperties());
    EXPECT_EQ(target.Picture()->Data(), source.Picture()->Data());
    EXPECT_NE(target.Picture(), source.Picture()); // a copy, not shared
    EXPECT_EQ(target.BackGroundPicture()->Data(), source.BackGroundPicture()->Data());
    EXPECT_FALSE(target.Focus()); // owner state is not copied

    // Anything that is not a fill is ignored.
    struct Other : TPersistent {} other;
    target.Assign(other);
    EXPECT_EQ(changes, 1);
}

TEST(FillValues, StoredPropertiesFollowTheStreamingOrder)
{
    TGDIPFill f;
    auto names = [&] {
        std::vector<QString> out;
        for (const auto& [name, value] : f.StoredProperties())
            out.push_back(name);
        return out;
    };
    // The five without a stored default are always written.
    EXPECT_EQ(names(), (std::vector<QString>{"ColorMirror", "ColorMirrorTo", "BorderColor", "Rounding", "ShadowOffset"}));
    f.SetGlow(gmRadial);
    f.SetColor(clRed);
    f.SetPictureHeight(7);
    f.SetGradientMirrorType(gtVertical);
    EXPECT_EQ(names(), (std::vector<QString>{"Color", "ColorMirror", "ColorMirrorTo", "GradientMirrorType",
                                             "PictureHeight", "BorderColor", "Rounding", "ShadowOffset", "Glow"}));
    EXPECT_EQ(f.StoredProperties()[3].second.toString(), "gtVertical");
    EXPECT_EQ(f.StoredProperties().back().second.toString(), "gmRadial");
}

// --- rounded path as data -------------------------------------------------

TEST(FillRoundedPath, SegmentsOfEachRoundingType)
{
    // Rect (10, 20, 100, 40), radius 5: arcs of 10 x 10 in the corners, each
    // part joined to the previous one by a straight line, then closed.
    const RectF r(10, 20, 100, 40);
    const auto text = [&](TFillRoundingType t) { return CreateRoundedPath(r, 5, t)->ToString().toStdString(); };
    EXPECT_EQ(text(rtNone), "M 10,20 L 110,20 L 110,60 L 10,60 L 10,20 Z");
    EXPECT_EQ(text(rtTop), "M 10,25 A 10,20,10,10,180,90 L 105,20 A 100,20,10,10,270,90 L 110,60 L 10,60 "
                           "L 10,25 Z");
    EXPECT_EQ(text(rtBottom), "M 10,20 L 110,20 L 110,55 A 100,50,10,10,0,90 L 15,60 A 10,50,10,10,90,90 "
                              "L 10,20 Z");
    EXPECT_EQ(text(rtBoth), "M 10,25 A 10,20,10,10,180,90 L 105,20 A 100,20,10,10,270,90 L 110,55 "
                            "A 100,50,10,10,0,90 L 15,60 A 10,50,10,10,90,90 L 10,25 Z");
    // The left type's right side: its top line ends short of the corner and
    // the bottom line starts short of it, joined by the full-height edge.
    EXPECT_EQ(text(rtLeft), "M 10,25 A 10,20,10,10,180,90 L 105,20 L 110,20 L 110,60 L 105,60 L 15,60 "
                            "A 10,50,10,10,90,90 L 10,25 Z");
    EXPECT_EQ(text(rtRight), "M 10,20 L 105,20 A 100,20,10,10,270,90 L 110,55 A 100,50,10,10,0,90 L 10,60 "
                             "L 10,55 L 10,25 Z");
}

TEST(FillRoundedPath, RadiusZeroOrBelowIsThePlainRectangle)
{
    const RectF r(0, 0, 30, 20);
    for (int radius : {0, -1, -5}) {
        const auto path = CreateRoundedPath(r, radius, rtBoth);
        EXPECT_EQ(path->ToString().toStdString(), "M 0,0 L 30,0 L 30,20 L 0,20 L 0,0 Z") << radius;
        EXPECT_EQ(path->GetFillMode(), gdiplus::FillModeAlternate);
    }
}

// --- picture placement ----------------------------------------------------

TEST(FillPicturePlacement, EveryPosition)
{
    const QRect b(10, 20, 25, 31); // right 35, bottom 51
    struct Row {
        TFillPicturePosition position;
        QRect expected;
    };
    const Row rows[] = {
        {ppTopLeft, QRect(10, 20, 16, 8)},     {ppTopCenter, QRect(14, 20, 16, 8)},
        {ppTopRight, QRect(19, 20, 16, 8)},    {ppBottomLeft, QRect(10, 43, 16, 8)},
        {ppBottomCenter, QRect(14, 43, 16, 8)}, {ppBottomRight, QRect(19, 43, 16, 8)},
        {ppCenterLeft, QRect(10, 31, 16, 8)},  {ppCenterCenter, QRect(14, 31, 16, 8)},
        {ppCenterRight, QRect(19, 31, 16, 8)}, {ppStretched, b},
        {ppCustom, QRect(3, 4, 16, 8)},        {ppTiled, QRect()},
    };
    for (const Row& row : rows)
        EXPECT_EQ(FillPictureRect(row.position, b, 16, 8, 3, 4), row.expected) << row.position;
    // Halving truncates toward zero when the picture is larger than B.
    EXPECT_EQ(FillPictureRect(ppCenterCenter, QRect(0, 0, 10, 10), 15, 15, 0, 0), QRect(-2, -2, 15, 15));
    EXPECT_EQ(FillPictureBounds(RectF(0.5f, 1.5f, 24.5f, 25.4f)), QRect(0, 2, 24, 25));
}

TEST(FillPicturePlacement, CenterCenterSixteenInTwentyFive)
{
    EXPECT_EQ(FillPictureRect(ppCenterCenter, QRect(0, 0, 25, 25), 16, 16, 0, 0), QRect(4, 4, 16, 16));

    TGDIPFill f;
    f.SetGradientType(gtPath); // no body: only the picture shows
    f.SetPicturePosition(ppCenterCenter);
    LoadPng(*f.Picture(), SolidPng(16, 16, 0xFFFF00FF));
    const QImage image = RenderFill(f, RectF(0, 0, 25, 25), 25, 25);
    // Whole pixels of an unscaled image: exact.
    EXPECT_EQ(image.pixel(4, 4), 0xFFFF00FFu);
    EXPECT_EQ(image.pixel(19, 19), 0xFFFF00FFu);
    EXPECT_EQ(image.pixel(3, 3), kWhite);
    EXPECT_EQ(image.pixel(20, 20), kWhite);
}

// --- painting -------------------------------------------------------------

// Gradients run over the part enlarged by one pixel and blend in linear
// light, so the edge rows sit a little inside the ramp: the top row of the
// default fill is about 190, not 192. Four levels cover that.
constexpr int kRampEdge = 4;

TEST(FillPaint, DefaultFillIsAVerticalSilverToGreyGradient)
{
    TGDIPFill f;
    RectF result;
    const QImage image = Render(100, 40, [&](gdiplus::Graphics& g) { result = f.Fill(&g, RectF(0, 0, 100, 40)); });
    EXPECT_EQ(result, RectF(0, 0, 100, 40)); // no shadow
    EXPECT_TRUE(PixelNear(image, 50, 0, 0xFFC0C0C0, kRampEdge));
    EXPECT_TRUE(PixelNear(image, 50, 39, 0xFF808080, kRampEdge));
    // Square corners and no border: the corner pixels are body colour.
    EXPECT_TRUE(PixelNear(image, 0, 0, 0xFFC0C0C0, kRampEdge));
    EXPECT_TRUE(PixelNear(image, 99, 39, 0xFF808080, kRampEdge));
    // Rows get darker downwards.
    EXPECT_GT(qRed(image.pixel(50, 10)), qRed(image.pixel(50, 30)));
    EXPECT_EQ(f.FocusRect(), RectF(1, 1, 98, 38));
}

TEST(FillPaint, TwoPartsSplitAtHalfWithTheMirrorLine)
{
    TGDIPFill f;
    f.SetColor(clRed);
    f.SetColorTo(clRed);
    f.SetColorMirror(clBlue);
    f.SetColorMirrorTo(clLime);
    f.SetGradientMirrorType(gtVertical);
    const QImage image = RenderFill(f, RectF(0, 10, 100, 40), 100, 60);
    // Upper part y = 10 .. 30, lower part y = 29 .. 50: the mirror's start
    // colour lies as a solid one-pixel line at Y + 19, exactly.
    EXPECT_EQ(image.pixel(50, 28), 0xFFFF0000u);
    EXPECT_EQ(image.pixel(50, 29), 0xFF0000FFu);
    // Below the line the mirror gradient has begun to turn green.
    EXPECT_GT(qGreen(image.pixel(50, 31)), 10);
    // The last row is 2% short of the end of a ramp blended in linear light,
    // which leaves a visible trace of blue: the row is mostly green.
    EXPECT_GT(qGreen(image.pixel(50, 49)), 230);
    EXPECT_LT(qBlue(image.pixel(50, 49)), 100);
    EXPECT_EQ(image.pixel(50, 9), kWhite);
    EXPECT_EQ(image.pixel(50, 50), kWhite);
}

TEST(FillPaint, NoLineWithASolidMirror)
{
    TGDIPFill f;
    f.SetColor(clRed);
    f.SetColorTo(clRed);
    f.SetColorMirror(clBlue);
    f.SetColorMirrorTo(clLime); // gtSolid mirror: solid ColorMirror
    const QImage image = RenderFill(f, RectF(0, 0, 100, 40));
    EXPECT_EQ(image.pixel(50, 19), 0xFF0000FFu);
    EXPECT_EQ(image.pixel(50, 39), 0xFF0000FFu);
}

TEST(FillPaint, ColorToNoneIsSolidAndColorNoneIsNothing)
{
    TGDIPFill f;
    f.SetColor(clRed);
    f.SetColorTo(clNone);
    f.SetGradientType(gtHorizontal);
    QImage image = RenderFill(f, RectF(0, 0, 100, 40));
    EXPECT_EQ(image.pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(image.pixel(99, 39), 0xFFFF0000u);

    f.SetColor(clNone);
    image = RenderFill(f, RectF(0, 0, 100, 40));
    EXPECT_EQ(image.pixel(50, 20), kWhite);
}

TEST(FillPaint, PathKindPaintsNoBodyButTheBorder)
{
    TGDIPFill f;
    f.SetGradientType(gtPath);
    f.SetBorderColor(clBlack);
    const QImage image = RenderFill(f, RectF(0.5f, 0.5f, 99, 39));
    EXPECT_EQ(image.pixel(50, 20), kWhite);
    EXPECT_TRUE(PixelNear(image, 50, 0, 0xFF000000, 0)); // a 1-pixel pen on the half-pixel line
}

TEST(FillPaint, HatchWithAMirrorIsOnePartWithTheTopCornersRounded)
{
    TGDIPFill f;
    f.SetGradientType(gtHatch);
    f.SetHatchStyle(HatchStyleCross);
    f.SetColor(clRed);
    f.SetColorTo(clBlue);
    f.SetColorMirror(clLime);
    f.SetColorMirrorTo(clLime);
    f.SetRounding(8);
    const QImage image = RenderFill(f, RectF(0, 0, 100, 40));
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 100; ++x)
            ASSERT_NE(image.pixel(x, y), 0xFF00FF00u) << x << ", " << y; // no mirror anywhere
    EXPECT_EQ(image.pixel(0, 0), kWhite);       // rounded top corner
    EXPECT_NE(image.pixel(0, 39), kWhite);      // square bottom corner
    EXPECT_NE(image.pixel(50, 39), kWhite);
}

TEST(FillPaint, ThinRectDrawsABorderLineAndNoBody)
{
    TGDIPFill f;
    f.SetBorderColor(clBlack);
    QImage image = RenderFill(f, RectF(10, 10, 60, 1));
    int dark = 0;
    int body = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 100; ++x) {
            dark += qRed(image.pixel(x, y)) < 100;
            body += Near(image.pixel(x, y), 0xFFC0C0C0, 8);
        }
    EXPECT_GT(dark, 30);
    EXPECT_EQ(body, 0);

    f.SetBorderColor(clNone); // no border: nothing at all
    image = RenderFill(f, RectF(10, 10, 1, 20));
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 100; ++x)
            ASSERT_EQ(image.pixel(x, y), kWhite);
}

TEST(FillPaint, ShadowShrinksTheBody)
{
    TGDIPFill f;
    f.SetColor(clRed);
    f.SetColorTo(clNone);
    f.SetShadowOffset(5);
    f.SetShadowColor(clBlack);
    RectF result;
    const QImage image = Render(100, 40, [&](gdiplus::Graphics& g) { result = f.Fill(&g, RectF(0, 0, 100, 40)); });
    EXPECT_EQ(result, RectF(0, 0, 95, 35));
    EXPECT_EQ(image.pixel(94, 34), 0xFFFF0000u);
    // Beyond the body: the shadow band, dark and not red.
    EXPECT_LT(qRed(image.pixel(97, 20)), 200);
    EXPECT_LT(qRed(image.pixel(50, 37)), 200);

    f.SetShadowColor(clNone); // no shadow, no shrinking
    const QImage plain = Render(100, 40, [&](gdiplus::Graphics& g) { result = f.Fill(&g, RectF(0, 0, 100, 40)); });
    EXPECT_EQ(result, RectF(0, 0, 100, 40));
}

TEST(FillPaint, NullSurfaceDrawsNothing)
{
    TGDIPFill f;
    EXPECT_EQ(f.Fill(nullptr, RectF(1, 2, 3, 4)), RectF(1, 2, 3, 4));
}

TEST(FillPaint, OpacityArgumentsOverrideForOneCall)
{
    TGDIPFill f;
    f.SetColor(clRed);
    f.SetColorTo(clNone);
    QImage image(10, 10, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        gdiplus::Graphics g(&image);
        f.Fill(&g, RectF(0, 0, 10, 10), 255, 100);
    }
    EXPECT_EQ(qAlpha(image.pixel(5, 5)), 100);
    EXPECT_EQ(f.Opacity(), 255);
}

TEST(FillPaint, RadialPartIsBrightestAtTheTopCentre)
{
    TGDIPFill f;
    f.SetGradientType(gtRadial);
    f.SetColor(clRed);
    f.SetColorTo(clWhite);
    const QImage image = RenderFill(f, RectF(0, 0, 100, 40));
    // Centre colour at the top centre, the surround colour towards the edge
    // of the ellipse; the corners are outside it and keep the solid red.
    EXPECT_GT(qGreen(image.pixel(50, 0)), 200);
    EXPECT_EQ(image.pixel(0, 39), 0xFFFF0000u);
    EXPECT_LT(qGreen(image.pixel(50, 39)), qGreen(image.pixel(50, 10)));
}

TEST(FillPaint, TiledTextureRepeatsTheBackgroundPicture)
{
    TGDIPFill f;
    f.SetGradientType(gtTexture);
    f.SetBackGroundPicturePosition(ppTiled);
    QImage tile(2, 2, QImage::Format_ARGB32);
    tile.fill(0xFF0000FF);
    tile.setPixel(0, 0, 0xFFFF0000);
    f.BackGroundPicture()->Assign(tile);
    const QImage image = RenderFill(f, RectF(3, 3, 20, 20), 30, 30);
    // Tiled from the body's origin.
    EXPECT_EQ(image.pixel(3, 3), 0xFFFF0000u);
    EXPECT_EQ(image.pixel(5, 5), 0xFFFF0000u);
    EXPECT_EQ(image.pixel(4, 3), 0xFF0000FFu);
    EXPECT_EQ(image.pixel(2, 2), kWhite);
}

TEST(FillPaint, GlowLightensTheTopAndFocusDrawsDots)
{
    TGDIPFill f;
    f.SetColor(0x404040);
    f.SetColorTo(clNone);
    const QImage plain = RenderFill(f, RectF(0, 0, 100, 40));
    f.SetGlow(gmGradient);
    const QImage glow = RenderFill(f, RectF(0, 0, 100, 40));
    EXPECT_GT(qRed(glow.pixel(50, 2)), qRed(plain.pixel(50, 2)) + 40);
    EXPECT_GT(qRed(glow.pixel(50, 37)), qRed(plain.pixel(50, 37)) + 40);

    f.SetGlow(gmNone);
    f.SetFocus(true);
    f.SetFocusColor(clWhite);
    f.SetBorderWidth(2);
    const QImage focus = RenderFill(f, RectF(0, 0, 100, 40));
    // A dotted 1-pixel outline on the focus rect (2, 2, 96, 36).
    int lit = 0;
    for (int x = 10; x < 20; ++x)
        lit += qRed(focus.pixel(x, 2)) > 0x80;
    EXPECT_GE(lit, 3);
    EXPECT_LE(lit, 7);
}

} // namespace
} // namespace lumora
