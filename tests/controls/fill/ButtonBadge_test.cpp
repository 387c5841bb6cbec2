#include "controls/fill/GDIPStatus.h"
#include "platform/gdiplus/Graphics.h"

#include <QImage>

#include <gtest/gtest.h>

using namespace lumora;

namespace {

QImage Blank(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// The main window's badge: red solid fill, grey border, white 13-pixel text.
void MainWindowBadge(TGDIPStatus& badge)
{
    badge.Fill().SetColor(clRed);
    badge.Fill().SetGradientType(gtSolid);
    badge.Fill().SetBorderColor(clGray);
    badge.Font().SetHeight(-13);
    badge.Font().SetColor(clWhite);
}

} // namespace

TEST(ButtonBadge, SizeIsNeverNarrowerThanHigh)
{
    // One narrow character: the height wins, so the pill is a circle.
    EXPECT_EQ(StatusBadgeSize(QSizeF(7.2, 15.4), 0, QSize()), QSize(19, 19));
    // A long caption is measured width + 4.
    EXPECT_EQ(StatusBadgeSize(QSizeF(40.0, 15.0), 0, QSize()), QSize(44, 19));
    // Spacing widens both sides.
    EXPECT_EQ(StatusBadgeSize(QSizeF(7.0, 15.0), 3, QSize()), QSize(25, 19));
    // The fill's picture raises both.
    EXPECT_EQ(StatusBadgeSize(QSizeF(7.0, 15.0), 0, QSize(24, 30)), QSize(24, 30));
    EXPECT_EQ(StatusBadgeSize(QSizeF(), 0, QSize(16, 16)), QSize(16, 16));
    EXPECT_EQ(StatusBadgeSize(QSizeF(), 0, QSize()), QSize(0, 0));
}

TEST(ButtonBadge, OneCharacterBadgeMeasuresAtLeastAsWideAsHigh)
{
    QImage image = Blank(40, 40);
    gdiplus::Graphics graphics(&image);
    TGDIPStatus badge;
    MainWindowBadge(badge);
    badge.Measure(graphics, "0");
    EXPECT_GT(badge.Height(), 4);
    EXPECT_GE(badge.Width(), badge.Height());
    EXPECT_EQ(badge.Width(), badge.Height());
}

TEST(ButtonBadge, BorderStaysInsideTheMeasuredSize)
{
    EXPECT_EQ(StatusBadgeRect(10, 2, 20, 20, 0.5), QRectF(10, 2, 19, 19));
    EXPECT_EQ(StatusBadgeRect(10, 2, 20, 20, 0.0), QRectF(10, 2, 20, 20));
}

TEST(ButtonBadge, GlowFalseDrawsNoWhiteUpperHalf)
{
    auto draw = [](bool glow) {
        QImage image = Blank(40, 40);
        gdiplus::Graphics graphics(&image);
        graphics.SetSmoothingMode(gdiplus::SmoothingModeAntiAlias);
        TGDIPStatus badge;
        MainWindowBadge(badge);
        badge.Fill().SetBorderColor(clNone);
        badge.SetGlow(glow);
        // No caption: the body and the gloss alone, 30 x 20 at (5, 5).
        badge.DrawBadge(graphics, 5, QString(), false, 20, 30, 5);
        return image;
    };
    const QImage plain = draw(false);
    const QImage glossy = draw(true);
    // Upper half: pure red without the gloss, whitened with it.
    EXPECT_EQ(plain.pixelColor(20, 8), QColor(255, 0, 0));
    EXPECT_GT(glossy.pixelColor(20, 8).green(), 60);
    // Lower half: pure red either way.
    EXPECT_EQ(plain.pixelColor(20, 20), QColor(255, 0, 0));
    EXPECT_EQ(glossy.pixelColor(20, 20), QColor(255, 0, 0));
}

TEST(ButtonBadge, ChangesAreAnnouncedOnceAndDrawingIsNotAChange)
{
    TGDIPStatus badge;
    int changes = 0;
    badge.OnChange = [&](TObject*) { ++changes; };
    badge.SetSpacing(2);
    badge.SetSpacing(2);
    badge.SetGlow(false);
    badge.Fill().SetColor(clRed);
    badge.Font().SetColor(clWhite);
    EXPECT_EQ(changes, 4);

    TGDIPStatus other;
    other.SetSpacing(7);
    badge.Assign(other);
    EXPECT_EQ(changes, 5);
    EXPECT_EQ(badge.Spacing(), 7);
    EXPECT_TRUE(badge.Glow());

    QImage image = Blank(40, 40);
    gdiplus::Graphics graphics(&image);
    badge.Measure(graphics, "12");
    badge.DrawBadge(graphics, 0, "12", true, 0, 0, 0);
    EXPECT_EQ(changes, 5);
}
