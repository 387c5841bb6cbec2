// Paint cost of the push button (face cache current and stale) and the label.
//
//   ./build/bench_buttons
//
// A button whose cache is current paints one image; a stale cache repaints
// the whole face first.

#include "controls/buttons/AdvSmoothButton.h"
#include "controls/label/AdvSmoothLabel.h"
#include "platform/gdiplus/Graphics.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>


using namespace lumora;

namespace {

void MainWindowButton(TAdvSmoothButton& b)
{
    b.SetCaption("Save Profile");
    b.SetColor(0xE3B28D);
    b.Appearance().Font().SetName("Tahoma");
    b.Appearance().Font().SetHeight(-13);
}

void BM_ButtonPaintCurrentCache(benchmark::State& state)
{
    TAdvSmoothButton button;
    MainWindowButton(button);
    QImage target(button.size(), QImage::Format_ARGB32_Premultiplied);
    button.render(&target);
    for (auto _ : state) {
        button.render(&target, QPoint(), QRegion(), QWidget::DrawChildren);
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_ButtonPaintCurrentCache)->Unit(benchmark::kMicrosecond);

void BM_ButtonPaintStaleCache(benchmark::State& state)
{
    TAdvSmoothButton button;
    MainWindowButton(button);
    QImage target(button.size(), QImage::Format_ARGB32_Premultiplied);
    TColor colours[2] = {0xE3B28D, 0xE3B28E};
    int i = 0;
    for (auto _ : state) {
        button.SetColor(colours[++i & 1]); // any change marks the cache stale
        button.render(&target, QPoint(), QRegion(), QWidget::DrawChildren);
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_ButtonPaintStaleCache)->Unit(benchmark::kMicrosecond);

void BM_ButtonCacheBlitOnly(benchmark::State& state)
{
    TAdvSmoothButton button;
    MainWindowButton(button);
    button.UpdateFaceCache();
    QImage target(button.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&target);
        painter.drawImage(0, 0, button.FaceCache());
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_ButtonCacheBlitOnly)->Unit(benchmark::kMicrosecond);

void BM_LabelPaint(benchmark::State& state)
{
    TAdvSmoothLabel label;
    label.resize(396, 40);
    label.Caption().SetText("Set brightness settings on system startup");
    label.Caption().Font().SetName("Tahoma");
    label.Caption().Font().SetHeight(-20);
    QImage target(label.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        target.fill(Qt::transparent);
        gdiplus::Graphics graphics(&target);
        label.PaintTo(graphics);
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_LabelPaint)->Unit(benchmark::kMicrosecond);

} // namespace
