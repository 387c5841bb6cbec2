#include "controls/gauge/AdvSmoothGauge.h"
#include "controls/gauge/AdvSmoothGaugePaint.h"
#include "tests/controls/gauge/GaugeAsMainWindow.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QResizeEvent>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace lumora;
using lumora::test::ConfigureAsMainWindow;
using lumora::test::SendResize;

namespace {

// Renders over the window's button-face grey.
QImage Render(TAdvSmoothGauge& gauge)
{
    QImage image(gauge.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(0xF0, 0xF0, 0xF0));
    QPainter painter(&image);
    gauge.PaintGauge(painter);
    painter.end();
    return image;
}

// Where a point of the dial layer lands on the control: the layer is drawn
// shrunk into the dial rect.
QPointF LayerToControl(const TAdvSmoothGauge& gauge, QPointF p)
{
    return {gauge.DialMarginX() + p.x() * gauge.DialWidth() / gauge.width(),
            gauge.DialMarginY() + p.y() * gauge.DialHeight() / gauge.height()};
}

QColor PixelAt(const QImage& image, QPointF p)
{
    return image.pixelColor(int(p.x()), int(p.y()));
}

int Distance(QColor a, QColor b)
{
    return std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()), std::abs(a.blue() - b.blue())});
}

// The pixel nearest in colour to target within one pixel of p.
int NearestInNeighbourhood(const QImage& image, QPointF p, QColor target)
{
    int best = 255;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            best = std::min(best, Distance(image.pixelColor(int(p.x()) + dx, int(p.y()) + dy), target));
    return best;
}

QPointF Centroid(const std::vector<QPointF>& closedPolygon)
{
    QPointF sum;
    for (std::size_t i = 0; i + 1 < closedPolygon.size(); ++i)
        sum += closedPolygon[i];
    return sum / double(closedPolygon.size() - 1);
}

} // namespace

TEST(GaugePaint, ReadoutLayoutOfSevenPointFive)
{
    const GaugeDial dial = DialForSize(200, 200);
    const QRectF d(60, 200 / 1.21, 80, 200 / 12.0);
    // "00.00": 0, 7 with the point, 5, 0; centred in the 80 wide rect.
    const std::vector<GaugeReadoutGlyph> glyphs = LayoutReadout("07.50", u'.', d, 2, dial);
    ASSERT_EQ(glyphs.size(), 4u);
    EXPECT_EQ(glyphs[0].Glyph, 0);
    EXPECT_EQ(glyphs[1].Glyph, 7);
    EXPECT_EQ(glyphs[2].Glyph, 5);
    EXPECT_EQ(glyphs[3].Glyph, 0);
    EXPECT_FALSE(glyphs[0].Point);
    EXPECT_TRUE(glyphs[1].Point);
    EXPECT_FALSE(glyphs[2].Point);
    const double total = 4 * 12 + 192 * 2 / 250.0;
    EXPECT_DOUBLE_EQ(glyphs[0].X, 60 + (80 - total) / 2);
    EXPECT_DOUBLE_EQ(glyphs[2].X, glyphs[1].X + 12 + 192 * 2 / 250.0);

    // "0.00": 7, 5, 0 with the point after the 7.
    const std::vector<GaugeReadoutGlyph> short_ = LayoutReadout("7.50", u'.', d, 0, dial);
    ASSERT_EQ(short_.size(), 3u);
    EXPECT_TRUE(short_[0].Point);
    EXPECT_EQ(short_[0].X, 60);

    // A minus glyph; a trailing separator gives no point; others are skipped.
    const std::vector<GaugeReadoutGlyph> odd = LayoutReadout("-3.", u'.', d, 1, dial);
    ASSERT_EQ(odd.size(), 2u);
    EXPECT_EQ(odd[0].Glyph, -1);
    EXPECT_FALSE(odd[1].Point);
    EXPECT_EQ(LayoutReadout("1a%", u'.', d, 0, dial).size(), 1u);

    EXPECT_TRUE(SegmentLit(-1, gsMiddle));
    EXPECT_FALSE(SegmentLit(-1, gsTop));
    EXPECT_TRUE(SegmentLit(7, gsUpperLeft));
    EXPECT_FALSE(SegmentLit(7, gsMiddle));
    EXPECT_FALSE(SegmentLit(0, gsMiddle));
}

class GaugePixels : public ::testing::Test {
protected:
    void SetUp() override
    {
        ConfigureAsMainWindow(gauge);
        SendResize(gauge);
        gauge.SetAnimation(false);
    }
    TAdvSmoothGauge gauge;
};

TEST_F(GaugePixels, FaceColour)
{
    gauge.SetValue(7.5);
    const QImage image = Render(gauge);
    // Face 0xFFD2AF at opacity 150 over the grey: (202, 222, 249). The point
    // lies below the upper gloss, beside the lower one and the readout, away
    // from ticks and numbers. 2 levels for rounding in the blend.
    const QColor face = PixelAt(image, LayerToControl(gauge, {60, 156}));
    EXPECT_LE(Distance(face, QColor(202, 222, 249)), 2) << face.name().toStdString();
}

TEST_F(GaugePixels, NeedleTipColour)
{
    // At the minimum the needle points to the lower left, clear of the gloss.
    gauge.SetValue(0);
    const QImage image = Render(gauge);
    const double theta = gauge.ValueToAngle(0) * M_PI / 180;
    // 66 out (beyond the upper gloss, 10 short of the tip) on the -20 degree
    // half of the needle, 1.2 from its axis, where the half is 2.3 wide: the
    // needle colour 0xFFD2AF itself; the shine lies on the other half.
    const QPointF axis(100 + 66 * std::cos(theta), 100 + 66 * std::sin(theta));
    const QPointF side(std::cos(theta - M_PI / 2), std::sin(theta - M_PI / 2));
    const QColor needle = PixelAt(image, axis + 1.2 * side);
    // The layer is drawn 1:1, so only anti-aliasing of the nearby edges can
    // shift it: 3 levels.
    EXPECT_LE(Distance(needle, QColor(0xAF, 0xD2, 0xFF)), 3) << needle.name().toStdString();
    // The other half (only a pixel wide out there; 3.7 wide at 40 out)
    // carries the shine, from 0xFFEFE3 at the tip to 0xD3D3D3 at the pivot:
    // lighter in red than the body.
    const QPointF inner(100 + 40 * std::cos(theta), 100 + 40 * std::sin(theta));
    const QColor shine = PixelAt(image, inner - 1.8 * side);
    EXPECT_GT(shine.red(), 0xAF + 10) << shine.name().toStdString() << " " << needle.name().toStdString();
}

TEST_F(GaugePixels, DigitSegmentsOfSevenPointFive)
{
    gauge.SetValue(7.5);
    const QImage image = Render(gauge);
    const QColor lit(0x00, 0x2D, 0x96); // Digit.Color 0x962D00

    const QRectF d(60, 200 / 1.21, 80, 200 / 12.0);
    const std::vector<GaugeReadoutGlyph> glyphs = LayoutReadout("07.50", u'.', d, 2, gauge.Dial());
    ASSERT_EQ(glyphs.size(), 4u);
    const double h = GaugeNearest(d.height());
    // Segments are about one pixel thick after the layer is shrunk, so no
    // pixel is fully covered. The readout background is about 190 levels
    // from the lit colour: a lit segment has a pixel within 130 of the lit
    // colour next to its centre (measured 36 ... 104), an unlit one (a faint
    // print of the face) none closer than 170 (measured 190).
    for (const GaugeReadoutGlyph& glyph : glyphs) {
        for (int s = 0; s < kGaugeSegmentCount; ++s) {
            const QPointF centre = LayerToControl(gauge, Centroid(SegmentPolygon(s, h, {glyph.X, d.y()})));
            const int distance = NearestInNeighbourhood(image, centre, lit);
            if (SegmentLit(glyph.Glyph, s)) {
                EXPECT_LE(distance, 130) << "glyph " << glyph.Glyph << " segment " << s;
            } else {
                EXPECT_GT(distance, 170) << "glyph " << glyph.Glyph << " segment " << s;
            }
        }
        const QPointF point = LayerToControl(gauge, SegmentPointRect(h, {glyph.X, d.y()}).center());
        if (glyph.Point) {
            EXPECT_LE(NearestInNeighbourhood(image, point, lit), 130) << "point after " << glyph.Glyph;
        }
    }
}

TEST_F(GaugePixels, EventsWhilePainting)
{
    gauge.SetValue(7.5);
    std::vector<double> labels;
    gauge.OnGetValueText = [&](TObject*, double value, QString& text) {
        labels.push_back(value);
        text = "x";
    };
    int readouts = 0;
    gauge.OnDisplayValue = [&](TObject*, double& value) {
        ++readouts;
        value = -1;
    };
    const QImage image = Render(gauge);
    EXPECT_EQ(labels.size(), 11u);
    EXPECT_EQ(labels[10], 10);
    EXPECT_EQ(readouts, 1);

    // The readout now shows "-01.00": the first glyph is a minus.
    const QRectF d(60, 200 / 1.21, 80, 200 / 12.0);
    const std::vector<GaugeReadoutGlyph> glyphs = LayoutReadout("-01.00", u'.', d, 2, gauge.Dial());
    const double h = GaugeNearest(d.height());
    const QColor lit(0x00, 0x2D, 0x96);
    auto segment = [&](int s) {
        return NearestInNeighbourhood(image, LayerToControl(gauge, Centroid(SegmentPolygon(s, h, {glyphs[0].X, d.y()}))), lit);
    };
    EXPECT_LE(segment(gsMiddle), 130);
    EXPECT_GT(segment(gsTop), 170);

    // Without a readout background neither background nor digits are drawn.
    gauge.Digit().SetBackGroundColor(clNone);
    readouts = 0;
    Render(gauge);
    EXPECT_EQ(readouts, 0);
    gauge.SetShowValues(false);
    labels.clear();
    Render(gauge);
    EXPECT_TRUE(labels.empty());
}

TEST_F(GaugePixels, PieAndRingSections)
{
    gauge.SetValue(0);
    const QImage none = Render(gauge);
    TAdvSmoothGaugeSection& section = gauge.Sections().Add();
    section.SetColor(clRed);
    section.SetOuterMargin(20);
    const QImage pie = Render(gauge);
    section.SetInnerMargin(30);
    const QImage ring = Render(gauge);

    // Left of the pivot, 25 out (inside the ring's hole, beyond the hub) and
    // 50 out (inside the ring). Red over the blue face takes out most of the
    // green: more than 40 levels where a section lies, none elsewhere.
    const QPointF hole = LayerToControl(gauge, {75, 100});
    const QPointF band = LayerToControl(gauge, {50, 100});
    auto greenDrop = [&](const QImage& image, QPointF p) { return PixelAt(none, p).green() - PixelAt(image, p).green(); };
    EXPECT_GT(greenDrop(pie, hole), 40);
    EXPECT_GT(greenDrop(pie, band), 40);
    EXPECT_EQ(greenDrop(ring, hole), 0);
    EXPECT_GT(greenDrop(ring, band), 40);

    // clNone skips the section.
    section.SetColor(clNone);
    EXPECT_EQ(Render(gauge), none);
}

TEST_F(GaugePixels, FocusRingOnlyWithFocusAndTabStop)
{
    const QImage plain = Render(gauge);
    QFocusEvent in(QEvent::FocusIn);
    QApplication::sendEvent(&gauge, &in);
    const QImage focused = Render(gauge);

    // The dotted ring lies 3 outside the dial in the layer: radius 99 there,
    // 95 on the control.
    int changed = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x)
            if (Distance(plain.pixelColor(x, y), focused.pixelColor(x, y)) > 40) {
                ++changed;
                const double r = std::hypot(x + 0.5 - 100, y + 0.5 - 100);
                EXPECT_NEAR(r, 95, 2) << x << "," << y;
            }
    EXPECT_GT(changed, 50);

    gauge.SetTabStop(false);
    EXPECT_EQ(Render(gauge), plain);
}

TEST_F(GaugePixels, BandArcByValue)
{
    // tkValue with both ends at 0 draws no band; 0 ... 10 the whole scale.
    gauge.Arc().SetColor(clRed);
    gauge.Arc().SetOpacity(255);
    gauge.Arc().Threshold().SetColor(clNone);
    gauge.Arc().Threshold().SetThresholdKind(tkValue);
    gauge.Arc().Threshold().SetEndValue(0);
    const QImage none = Render(gauge);
    gauge.Arc().Threshold().SetEndValue(10);
    const QImage whole = Render(gauge);

    // On the arc's ellipse (radius 90 in the layer) at the top and near both
    // ends; not in the gap below.
    auto onArc = [&](double degrees) {
        const double a = degrees * M_PI / 180;
        return LayerToControl(gauge, {100 + 90 * std::cos(a), 100 + 90 * std::sin(a)});
    };
    for (double degrees : {140.0, 270.0, 400.0})
        EXPECT_GT(PixelAt(whole, onArc(degrees)).red() - PixelAt(none, onArc(degrees)).red(), 20) << degrees;
    EXPECT_EQ(PixelAt(whole, onArc(90)), PixelAt(none, onArc(90)));
}
