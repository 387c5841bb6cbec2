#include "platform/gdiplus/Graphics.h"
#include "platform/gdiplus/LinearGradientBrush.h"
#include "platform/gdiplus/TextLayout.h"

#include "GdiplusPixels.h"

#include <QFileInfo>

#include <gtest/gtest.h>

using namespace lumora::gdiplus;
using lumora::gdiplus::testing::PixelAt;
using lumora::gdiplus::testing::Surface;

namespace {

QImage Render(const QString& family, const QString& text)
{
    QImage img = Surface(120, 30);
    Graphics g(&img);
    Font font(family, 12, FontStyleRegular, UnitPixel);
    SolidBrush black(Color(255, 0, 0, 0));
    g.DrawString(text, &font, PointF(0, 0), &black);
    return img;
}

int InkColumns(const QImage& img, int row0, int row1)
{
    int last = -1;
    for (int x = 0; x < img.width(); ++x)
        for (int y = row0; y < row1; ++y)
            if (PixelAt(img, x, y) != Color(0xFFFFFFFF))
                last = x;
    return last;
}

} // namespace

TEST(GdiplusFont, UnknownFamilyFallsBackToArial)
{
    FontFamily unknown(QStringLiteral("No Such Family 7f3a"));
    EXPECT_EQ(unknown.GetLastStatus(), FontFamilyNotFound);
    EXPECT_EQ(unknown.GetFamilyName(), QStringLiteral("Arial"));
    Font font(QStringLiteral("No Such Family 7f3a"), 10);
    EXPECT_EQ(font.GetLastStatus(), FontFamilyNotFound);
    EXPECT_EQ(font.GetFamilyName(), QStringLiteral("Arial"));
    // Drawn exactly as Arial is.
    EXPECT_EQ(Render(QStringLiteral("No Such Family 7f3a"), QStringLiteral("Lumora 50%")),
              Render(QStringLiteral("Arial"), QStringLiteral("Lumora 50%")));
    EXPECT_EQ(FontFamily(QStringLiteral("arial")).GetLastStatus(), Ok);
}

TEST(GdiplusFont, BundledTahomaRegistersWhenPresent)
{
    const QString folder = QStringLiteral("/usr/share/wine/fonts");
    if (!QFileInfo::exists(folder + QStringLiteral("/tahoma.ttf")))
        GTEST_SKIP() << "no bundled Tahoma on this machine";
    RegisterBundledFonts(folder);
    EXPECT_EQ(FontFamily(QStringLiteral("Tahoma")).GetLastStatus(), Ok);
    EXPECT_EQ(RegisterBundledFonts(QStringLiteral("/nonexistent")), 0);
}

TEST(GdiplusFont, EmSizeUnits)
{
    EXPECT_FLOAT_EQ(Font(QStringLiteral("Arial"), 9, 0, UnitPoint).GetEmPixels(96), 12.0f);
    EXPECT_FLOAT_EQ(Font(QStringLiteral("Arial"), 12, 0, UnitPixel).GetEmPixels(120), 12.0f);
    EXPECT_FLOAT_EQ(Font(QStringLiteral("Arial"), 1, 0, UnitInch).GetEmPixels(96), 96.0f);
}

TEST(GdiplusText, MeasureAddsASixthOfAnEmEachSide)
{
    QImage img = Surface(200, 50);
    Graphics g(&img);
    Font font(QStringLiteral("Arial"), 12, FontStyleRegular, UnitPixel);
    StringFormat typographic = StringFormat::GenericTypographic();
    const RectF plain = g.MeasureString(QStringLiteral("Level"), &font, RectF(10, 5, 0, 0), nullptr);
    const RectF tight = g.MeasureString(QStringLiteral("Level"), &font, RectF(10, 5, 0, 0), &typographic);
    EXPECT_NEAR(plain.Width - tight.Width, 4.0, 0.01);  // 2 x 12 / 6
    EXPECT_FLOAT_EQ(plain.X, 10);
    EXPECT_FLOAT_EQ(plain.Y, 5);
    EXPECT_GT(plain.Height, 12);  // one line spacing, more than the em
    EXPECT_LT(plain.Height, 16);
    EXPECT_EQ(g.MeasureString(QString(), &font, RectF(1, 2, 0, 0)), RectF(1, 2, 0, 0));
}

TEST(GdiplusText, TextDrawnIntoItsOwnMeasuredBoxKeepsOneLine)
{
    // Measuring and then drawing into the measured box is the common way to
    // place a caption; the box's float rounding must not push the last
    // glyph onto a second line, at any size or position.
    QImage img = Surface(400, 60);
    Graphics g(&img);
    int wrapped = 0;
    for (REAL size = 9; size <= 24; size += 0.75f) {
        Font font(QStringLiteral("Tahoma"), size, FontStyleRegular, UnitPixel);
        for (const char* text : {"07.50", "Level 100", "Reduce brightness when idle is over", "Wi"}) {
            for (REAL x : {0.0f, 3.3f, 10.7f}) {
                const RectF box = g.MeasureString(QString::fromLatin1(text), &font, RectF(x, 1.1f, 0, 0));
                const PlacedText placed = PlaceText(QString::fromLatin1(text), font.ToQFont(g.GetDpiY(), REAL(img.logicalDpiY())), &img,
                                                    font.GetEmPixels(g.GetDpiY()), box, StringFormat());
                if (placed.layout->lineCount() != 1)
                    ++wrapped;
            }
        }
    }
    EXPECT_EQ(wrapped, 0);
}

TEST(GdiplusText, WrapsUnlessNoWrapAndClipsUnlessNoClip)
{
    QImage img = Surface(200, 100);
    Graphics g(&img);
    Font font(QStringLiteral("Arial"), 12, FontStyleRegular, UnitPixel);
    const QString text = QStringLiteral("one two three four five six");
    const RectF narrow(0, 0, 60, 100);
    const RectF wrapped = g.MeasureString(text, &font, narrow);
    StringFormat noWrap(StringFormatFlagsNoWrap);
    const RectF single = g.MeasureString(text, &font, narrow, &noWrap);
    EXPECT_GT(wrapped.Height, 2.5 * single.Height);
    EXPECT_LE(wrapped.Width, 60);

    // Drawn without wrapping into a short rect: cut at its right edge
    // unless no-clip is set.
    SolidBrush black(Color(255, 0, 0, 0));
    g.DrawString(text, &font, RectF(0, 0, 60, 20), &noWrap, &black);
    EXPECT_LT(InkColumns(img, 0, 20), 60);
    StringFormat noWrapNoClip(StringFormatFlagsNoWrap | StringFormatFlagsNoClip);
    g.DrawString(text, &font, RectF(0, 40, 60, 20), &noWrapNoClip, &black);
    EXPECT_GT(InkColumns(img, 40, 60), 100);
}

TEST(GdiplusText, AlignmentInTheLayoutRect)
{
    QImage img = Surface(200, 60);
    Graphics g(&img);
    Font font(QStringLiteral("Arial"), 12, FontStyleRegular, UnitPixel);
    StringFormat centred;
    centred.SetAlignment(StringAlignmentCenter);
    centred.SetLineAlignment(StringAlignmentCenter);
    const RectF box = g.MeasureString(QStringLiteral("Max"), &font, RectF(0, 0, 200, 60), &centred);
    EXPECT_NEAR(box.X + box.Width / 2, 100, 0.01);
    EXPECT_NEAR(box.Y + box.Height / 2, 30, 0.01);
    StringFormat far;
    far.SetAlignment(StringAlignmentFar);
    far.SetLineAlignment(StringAlignmentFar);
    const RectF farBox = g.MeasureString(QStringLiteral("Max"), &font, RectF(0, 0, 200, 60), &far);
    EXPECT_NEAR(farBox.GetRight(), 200, 0.01);
    EXPECT_NEAR(farBox.GetBottom(), 60, 0.01);
    // Around a point: centred on it.
    RectF around;
    ASSERT_EQ(g.MeasureString(QStringLiteral("Max"), &font, PointF(50, 10), &centred, &around), Ok);
    EXPECT_NEAR(around.X + around.Width / 2, 50, 0.01);
}

TEST(GdiplusText, HotkeyPrefix)
{
    int underline = -2;
    EXPECT_EQ(StripHotkeyPrefix(QStringLiteral("&Apply && go"), &underline), QStringLiteral("Apply & go"));
    EXPECT_EQ(underline, 0);
    EXPECT_EQ(StripHotkeyPrefix(QStringLiteral("Save &Profile"), &underline), QStringLiteral("Save Profile"));
    EXPECT_EQ(underline, 5);
    EXPECT_EQ(StripHotkeyPrefix(QStringLiteral("No prefix&"), &underline), QStringLiteral("No prefix"));
    EXPECT_EQ(underline, -1);

    QImage img = Surface(200, 40);
    Graphics g(&img);
    Font font(QStringLiteral("Arial"), 12, FontStyleRegular, UnitPixel);
    StringFormat none;
    StringFormat show;
    show.SetHotkeyPrefix(HotkeyPrefixShow);
    StringFormat hide;
    hide.SetHotkeyPrefix(HotkeyPrefixHide);
    const QString text = QStringLiteral("&Exit");
    RectF a, b, c;
    g.MeasureString(text, &font, PointF(0, 0), &none, &a);
    g.MeasureString(text, &font, PointF(0, 0), &show, &b);
    g.MeasureString(text, &font, PointF(0, 0), &hide, &c);
    EXPECT_GT(a.Width, b.Width);  // "&" is drawn when there is no prefix handling
    EXPECT_FLOAT_EQ(b.Width, c.Width);
}

TEST(GdiplusText, SingleBitHintDrawsAliasedText)
{
    QImage img = Surface(100, 40);
    Graphics g(&img);
    g.SetTextRenderingHint(TextRenderingHintSingleBitPerPixelGridFit);
    Font font(QStringLiteral("Arial"), 30, FontStyleBold, UnitPixel);
    SolidBrush red(Color(255, 255, 0, 0));
    g.DrawString(QStringLiteral("II"), &font, RectF(0, 0, 100, 40), nullptr, &red);
    // Aliased text in a solid brush: every inked pixel is exactly red.
    int inked = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 100; ++x) {
            const Color c = PixelAt(img, x, y);
            if (c != Color(0xFFFFFFFF)) {
                ++inked;
                EXPECT_EQ(c, Color(255, 255, 0, 0));
            }
        }
    EXPECT_GT(inked, 50);
}

TEST(GdiplusText, DrawsWithAGradientBrush)
{
    QImage img = Surface(100, 40);
    Graphics g(&img);
    g.SetTextRenderingHint(TextRenderingHintSingleBitPerPixelGridFit);
    Font font(QStringLiteral("Arial"), 30, FontStyleBold, UnitPixel);
    const RectF box = g.MeasureString(QStringLiteral("II"), &font, RectF(0, 0, 100, 40));
    LinearGradientBrush brush(PointF(0, box.Y), PointF(0, box.GetBottom()), Color(255, 255, 0, 0),
                              Color(255, 0, 0, 255));
    g.DrawString(QStringLiteral("II"), &font, RectF(0, 0, 100, 40), nullptr, &brush);
    int topRow = -1, bottomRow = -1, column = -1;
    for (int x = 0; x < 100 && column < 0; ++x)
        for (int y = 0; y < 40; ++y)
            if (PixelAt(img, x, y) != Color(0xFFFFFFFF)) {
                column = x + 1;
                break;
            }
    ASSERT_GE(column, 0);
    for (int y = 0; y < 40; ++y)
        if (PixelAt(img, column, y) != Color(0xFFFFFFFF)) {
            bottomRow = y;
            if (topRow < 0)
                topRow = y;
        }
    const Color top = PixelAt(img, column, topRow);
    const Color bottom = PixelAt(img, column, bottomRow);
    EXPECT_GT(top.GetR(), top.GetB());
    EXPECT_GT(bottom.GetB(), bottom.GetR());
}
