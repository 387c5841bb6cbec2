#include "controls/label/AdvSmoothLabel.h"
#include "platform/gdiplus/Graphics.h"

#include <QImage>

#include <gtest/gtest.h>

using namespace lumora;

namespace {

QImage Paint(const TAdvSmoothLabel& label)
{
    QImage image(std::max(label.width(), 1), std::max(label.height(), 1), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    gdiplus::Graphics graphics(&image);
    label.PaintTo(graphics);
    return image;
}

// Rows and columns that hold any visible pixel.
struct Ink {
    int top = -1, bottom = -1, left = -1, right = -1;
    int pixels = 0;
    bool Empty() const { return pixels == 0; }
};

Ink InkOf(const QImage& image, int minAlpha = 128)
{
    Ink ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y).alpha() >= minAlpha) {
                if (ink.top < 0)
                    ink.top = y;
                ink.bottom = y;
                ink.left = ink.left < 0 ? x : std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
                ++ink.pixels;
            }
    return ink;
}

// Mean lightness of the opaque pixels in rows [from, to].
double Lightness(const QImage& image, int from, int to)
{
    double sum = 0;
    int n = 0;
    for (int y = from; y <= to; ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() == 255) {
                sum += c.lightness();
                ++n;
            }
        }
    return n ? sum / n : -1;
}

} // namespace

TEST(Label, Defaults)
{
    TAdvSmoothLabel label;
    EXPECT_EQ(label.size(), QSize(280, 50));
    EXPECT_TRUE(label.Transparent());
    EXPECT_FALSE(label.WordWrap());
    EXPECT_FALSE(label.CaptionShadowVisible());
    EXPECT_EQ(label.CaptionShadowOffsetLeft(), 1);
    EXPECT_EQ(label.Caption().Location(), plCenterCenter);
    EXPECT_EQ(label.Caption().ColorStart(), 0xFFE09F);
    EXPECT_EQ(label.Caption().ColorEnd(), 0x754F00);
    EXPECT_EQ(label.Caption().GradientType(), gtVertical);
    EXPECT_EQ(label.Caption().Font().Size(), 20);
    EXPECT_EQ(label.Version(), "1.5.0.0");
}

TEST(Label, NinePlacesFromTheLayoutOrigin)
{
    const QSizeF box(100, 40), text(30, 10);
    struct Row { TAdvSmoothLabelLocation at; QPointF expected; };
    const Row rows[] = {{plTopLeft, {0, 0}},        {plTopCenter, {35, 0}},    {plTopRight, {70, 0}},
                        {plCenterLeft, {0, 15}},    {plCenterCenter, {35, 15}}, {plCenterRight, {70, 15}},
                        {plBottomLeft, {0, 30}},    {plBottomCenter, {35, 30}}, {plBottomRight, {70, 30}}};
    for (const Row& r : rows)
        EXPECT_EQ(LabelCaptionPosition(r.at, box, text), r.expected) << int(r.at);
    // A text larger than the box goes to negative positions rather than clamping.
    EXPECT_EQ(LabelCaptionPosition(plBottomRight, box, QSizeF(120, 50)), QPointF(-20, -10));
}

TEST(Label, OnePixelLabelDrawsNothing)
{
    for (QSize size : {QSize(1, 50), QSize(200, 1)}) {
        TAdvSmoothLabel label;
        label.resize(size);
        label.Caption().SetText("Hello");
        label.SetTransparent(false);
        EXPECT_TRUE(InkOf(Paint(label), 1).Empty()) << size.width() << "x" << size.height();
    }
}

TEST(Label, EmptyCaptionWithShadowDrawsOnlyTheShadow)
{
    TAdvSmoothLabel label;
    label.CaptionShadow().SetText("Shadow");
    label.CaptionShadow().SetGradientType(gtSolid);
    label.CaptionShadow().SetColorStart(clBlack);
    EXPECT_TRUE(InkOf(Paint(label), 1).Empty()); // shadow not visible yet

    label.SetCaptionShadowVisible(true);
    const QImage image = Paint(label);
    const Ink ink = InkOf(image);
    ASSERT_FALSE(ink.Empty());
    // Every visible pixel is the shadow's black.
    for (int y = ink.top; y <= ink.bottom; ++y)
        for (int x = ink.left; x <= ink.right; ++x)
            if (image.pixelColor(x, y).alpha() == 255) {
                ASSERT_EQ(image.pixelColor(x, y).lightness(), 0) << x << "," << y;
            }
}

TEST(Label, ShadowIsOffsetFromTheCaption)
{
    TAdvSmoothLabel caption, both;
    for (TAdvSmoothLabel* l : {&caption, &both}) {
        l->Caption().SetText("Shade");
        l->CaptionShadow().SetText("Shade");
    }
    both.SetCaptionShadowVisible(true);
    both.SetCaptionShadowOffsetLeft(4);
    both.SetCaptionShadowOffsetTop(3);
    const Ink alone = InkOf(Paint(caption));
    const Ink shadowed = InkOf(Paint(both));
    EXPECT_EQ(shadowed.right, alone.right + 4);
    EXPECT_EQ(shadowed.bottom, alone.bottom + 3);
}

TEST(Label, VerticalGradientRunsLightAtTheTopToDarkAtTheBottom)
{
    TAdvSmoothLabel label;
    label.resize(300, 60);
    label.Caption().SetText("HHHH");
    label.Caption().Font().SetStyle(fsBold);
    const QImage image = Paint(label);
    const Ink ink = InkOf(image, 255);
    ASSERT_FALSE(ink.Empty());
    const int third = (ink.bottom - ink.top) / 3;
    const double top = Lightness(image, ink.top, ink.top + third);
    const double bottom = Lightness(image, ink.bottom - third, ink.bottom);
    EXPECT_GT(top, bottom + 40);
}

TEST(Label, NoWrapCutsAtTheRightEdgeWrapBreaksLines)
{
    TAdvSmoothLabel label;
    label.resize(120, 120);
    label.Caption().SetText("one two three four five six seven");
    label.Caption().SetLocation(plTopLeft);
    label.Caption().SetGradientType(gtSolid);
    label.Caption().SetColorStart(clBlack);
    label.Caption().Font().SetHeight(-16);

    const Ink cut = InkOf(Paint(label));
    label.SetWordWrap(true);
    const Ink wrapped = InkOf(Paint(label));

    // Cut: one line that runs into the right edge of the layout box.
    EXPECT_GE(cut.right, 115);
    EXPECT_LT(cut.bottom - cut.top, 24);
    // Wrapped: several lines.
    EXPECT_GT(wrapped.bottom - wrapped.top, 40);
}

TEST(Label, UnknownFontIsDrawnInArial)
{
    auto paintIn = [](const QString& family) {
        TAdvSmoothLabel label;
        label.Caption().SetText("Falls back");
        label.Caption().Font().SetName(family);
        return Paint(label);
    };
    EXPECT_EQ(paintIn("No Such Family 4711"), paintIn("Arial"));
}

TEST(Label, BrushKinds)
{
    auto draw = [](TAdvGradientType kind) {
        TAdvSmoothLabel label;
        label.Caption().SetText("WWWW");
        label.Caption().Font().SetStyle(fsBold);
        label.Caption().SetGradientType(kind);
        label.Caption().SetColorStart(clRed);
        label.Caption().SetColorEnd(clBlue);
        return Paint(label);
    };
    // Kinds without a brush draw no text.
    for (TAdvGradientType none : {gtRadial, gtAngle, gtPath, gtNone, gtTexture})
        EXPECT_TRUE(InkOf(draw(none), 1).Empty()) << int(none);

    // Solid: one colour.
    const QImage solid = draw(gtSolid);
    ASSERT_FALSE(InkOf(solid, 255).Empty());
    for (int y = 0; y < solid.height(); ++y)
        for (int x = 0; x < solid.width(); ++x)
            if (solid.pixelColor(x, y).alpha() == 255) {
                ASSERT_EQ(solid.pixelColor(x, y), QColor(255, 0, 0));
            }

    // Horizontal: red on the left, blue on the right; the diagonals differ from it.
    const QImage horizontal = draw(gtHorizontal);
    const Ink ink = InkOf(horizontal, 255);
    auto column = [&](int x) {
        for (int y = ink.top; y <= ink.bottom; ++y)
            if (horizontal.pixelColor(x, y).alpha() == 255)
                return horizontal.pixelColor(x, y);
        return QColor();
    };
    EXPECT_GT(column(ink.left + 1).red(), column(ink.left + 1).blue());
    EXPECT_GT(column(ink.right - 1).blue(), column(ink.right - 1).red());
    EXPECT_NE(draw(gtForwardDiagonal), horizontal);
    EXPECT_NE(draw(gtBackwardDiagonal), draw(gtForwardDiagonal));

    // Hatch: both colours appear inside the glyphs.
    const QImage hatch = draw(gtHatch);
    bool red = false, blue = false;
    for (int y = 0; y < hatch.height(); ++y)
        for (int x = 0; x < hatch.width(); ++x) {
            const QColor c = hatch.pixelColor(x, y);
            red |= c == QColor(255, 0, 0);
            blue |= c == QColor(0, 0, 255);
        }
    EXPECT_TRUE(red);
    EXPECT_TRUE(blue);
}

TEST(Label, TextureBrushTilesThePicture)
{
    QImage tile(4, 4, QImage::Format_ARGB32);
    tile.fill(QColor(0, 200, 0));
    TAdvSmoothLabel label;
    label.Caption().SetText("WWWW");
    label.Caption().Font().SetStyle(fsBold);
    label.Caption().SetGradientType(gtTexture);
    label.Caption().Picture().Assign(tile);
    const QImage image = Paint(label);
    const Ink ink = InkOf(image, 255);
    ASSERT_FALSE(ink.Empty());
    EXPECT_EQ(image.pixelColor(ink.left, ink.top).green(), 200);
}

TEST(Label, CustomPlacementUsesTheMainCaptionsPosition)
{
    TAdvSmoothLabel label;
    label.resize(200, 60);
    label.Caption().SetText("X");
    label.Caption().SetGradientType(gtSolid);
    label.Caption().SetLocation(plCustom);
    label.Caption().SetLeft(50);
    label.Caption().SetTop(5);
    const Ink at = InkOf(Paint(label));
    label.Caption().SetLeft(80);
    const Ink moved = InkOf(Paint(label));
    EXPECT_EQ(moved.left - at.left, 30);
    EXPECT_EQ(moved.top, at.top);
    EXPECT_LT(at.left, 60);
}

TEST(Label, FillIsDrawnWhenNotTransparent)
{
    TAdvSmoothLabel label;
    label.resize(100, 40);
    label.Fill().SetColor(clRed);
    label.Fill().SetGradientType(gtSolid);
    EXPECT_TRUE(InkOf(Paint(label), 1).Empty());
    label.SetTransparent(false);
    const QImage image = Paint(label);
    EXPECT_EQ(image.pixelColor(50, 20), QColor(255, 0, 0));
    // The layout box is Width - 1 by Height - 1.
    EXPECT_EQ(image.pixelColor(99, 20).alpha(), 0);
}

TEST(Label, EveryChangeRepaintsAndNotifiesOnce)
{
    TAdvSmoothLabel label;
    int changes = 0;
    label.OnChange = [&](TObject*) { ++changes; };
    label.Caption().SetText("a");
    label.Caption().SetText("a");
    label.CaptionShadow().SetLeft(3);
    label.Caption().Font().SetName("Arial");
    label.Fill().SetColor(clRed);
    label.SetWordWrap(true);
    label.SetWordWrap(true);
    EXPECT_EQ(changes, 5);
}
