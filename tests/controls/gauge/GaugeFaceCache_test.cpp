#include "controls/gauge/AdvSmoothGauge.h"
#include "controls/gauge/AdvSmoothGaugePaint.h"
#include "platform/gdiplus/Graphics.h"
#include "tests/controls/gauge/GaugeAsMainWindow.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QResizeEvent>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using namespace lumora;

namespace {

void Configure(TAdvSmoothGauge& gauge, QSize size)
{
    test::ConfigureAsMainWindow(gauge);
    gauge.resize(size);
    test::SendResize(gauge);
}

QImage Surface(QSize size, double ratio)
{
    QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(QColor(0xF0, 0xF0, 0xF0));
    return image;
}

// A frame as the control paints it, through its kept pictures.
QImage Cached(TAdvSmoothGauge& gauge, double ratio = 1)
{
    QImage image = Surface(gauge.size(), ratio);
    QPainter painter(&image);
    gauge.PaintGauge(painter);
    return image;
}

// The same frame drawn from nothing.
QImage Uncached(TAdvSmoothGauge& gauge, double ratio = 1)
{
    QImage image = Surface(gauge.size(), ratio);
    QPainter painter(&image);
    gdiplus::Graphics graphics(&painter);
    TAdvSmoothGaugePainter(gauge).PaintGauge(graphics, ratio);
    return image;
}

// The largest difference of any channel of any pixel.
int LargestDifference(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return 256;
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        const QRgb* pa = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const QRgb* pb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            largest = std::max({largest, std::abs(qRed(pa[x]) - qRed(pb[x])), std::abs(qGreen(pa[x]) - qGreen(pb[x])),
                                std::abs(qBlue(pa[x]) - qBlue(pb[x])), std::abs(qAlpha(pa[x]) - qAlpha(pb[x]))});
        }
    }
    return largest;
}

} // namespace

TEST(GaugeFaceCache, FramesOfAGlideMatchFullPaintsAtSeveralSizesAndRatios)
{
    struct Case {
        QSize size;
        double ratio;
    };
    for (const Case c : {Case{{200, 200}, 1}, Case{{123, 97}, 1}, Case{{317, 260}, 1}, Case{{200, 200}, 2},
                         Case{{150, 150}, 1.5}}) {
        TAdvSmoothGauge gauge;
        Configure(gauge, c.size);
        gauge.SetAnimationFactor(7);
        gauge.SetValue(10);
        // Every frame of the glide, then the resting value and a jump back:
        // the readout part is drawn again over what the last frame left.
        int frames = 0;
        while (gauge.Animating()) {
            gauge.AnimationStep();
            ++frames;
            const QImage uncached = Uncached(gauge, c.ratio);
            ASSERT_LE(LargestDifference(Cached(gauge, c.ratio), uncached), 1)
                << c.size.width() << "x" << c.size.height() << " at " << c.ratio << ", value " << gauge.Value();
        }
        EXPECT_GT(frames, 5);
        gauge.SetAnimation(false);
        for (double value : {0.0, 3.37, 9.99, 1.0}) {
            gauge.SetValue(value);
            const QImage uncached = Uncached(gauge, c.ratio);
            EXPECT_LE(LargestDifference(Cached(gauge, c.ratio), uncached), 1)
                << c.size.width() << "x" << c.size.height() << " at " << c.ratio << ", value " << value;
        }
    }
}

TEST(GaugeFaceCache, AChangeOfAppearanceOrSizeIsShownAtTheNextFrame)
{
    TAdvSmoothGauge gauge;
    Configure(gauge, {200, 200});
    gauge.SetAnimation(false);
    gauge.SetValue(4);
    Cached(gauge);

    gauge.InnerCircle().SetColor(clRed);
    EXPECT_LE(LargestDifference(Cached(gauge), Uncached(gauge)), 1);
    gauge.SetDialText("Brightness");
    gauge.SetValue(6);
    EXPECT_LE(LargestDifference(Cached(gauge), Uncached(gauge)), 1);
    gauge.InnerCircle().Gloss().SetColor(clNone);
    EXPECT_LE(LargestDifference(Cached(gauge), Uncached(gauge)), 1);
    Configure(gauge, {160, 120});
    EXPECT_LE(LargestDifference(Cached(gauge), Uncached(gauge)), 1);
    QFocusEvent in(QEvent::FocusIn);
    QApplication::sendEvent(&gauge, &in);
    gauge.SetValue(2);
    EXPECT_LE(LargestDifference(Cached(gauge), Uncached(gauge)), 1);
    // The same gauge on a surface of another pixel ratio.
    EXPECT_LE(LargestDifference(Cached(gauge, 2), Uncached(gauge, 2)), 1);
}

TEST(GaugeFaceCache, TickTextsAreAskedForOnlyWhenTheFaceIsMadeAgain)
{
    TAdvSmoothGauge gauge;
    Configure(gauge, {200, 200});
    int asked = 0;
    gauge.OnGetValueText = [&](TObject*, double, QString&) { ++asked; };
    gauge.SetValue(10);
    Cached(gauge);
    EXPECT_EQ(asked, 11);
    while (gauge.Animating()) {
        gauge.AnimationStep();
        Cached(gauge);
    }
    EXPECT_EQ(asked, 11) << "needle steps keep the face";
    gauge.SetDivisionColor(clRed);
    Cached(gauge);
    EXPECT_EQ(asked, 22);
}
