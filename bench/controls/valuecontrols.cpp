// Paint time of the value controls at their main-window sizes.

#include "controls/slider/AdvSmoothSlider.h"
#include "controls/trackbar/AdvSmoothTrackBar.h"
#include "controls/chart/SPBEPC.h"
#include "core/MainWindowLook.h"
#include "platform/gdiplus/Graphics.h"

#include <benchmark/benchmark.h>

#include <QImage>

using namespace lumora;

namespace {

void TrackBarPaint(benchmark::State& state, bool glowing)
{
    TAdvSmoothTrackBar bar;
    bar.resize(kMainWindowTrackBarSize);
    ApplyMainWindowTrackBarLook(bar);
    bar.SetPosition(50);
    if (glowing)
        for (int i = 0; i < 40; ++i)
            bar.AnimationTick();
    QImage image(bar.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        image.fill(Qt::transparent);
        gdiplus::Graphics g(&image);
        bar.PaintTo(g);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_TrackBarPaint(benchmark::State& state) { TrackBarPaint(state, false); }
void BM_TrackBarPaintGlowing(benchmark::State& state) { TrackBarPaint(state, true); }

void BM_SliderPaint(benchmark::State& state)
{
    TAdvSmoothSlider slider;
    slider.resize(91, 30);
    slider.ApplyColorStyle(4);
    QImage image(slider.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        image.fill(Qt::transparent);
        gdiplus::Graphics g(&image);
        slider.PaintTo(g);
        benchmark::DoNotOptimize(image.constBits());
    }
}

// A value change on the chart: copy the cached background, draw the arrow
// (outline, flood fill, number) and show the result.
void BM_ChartValueChange(benchmark::State& state)
{
    TSPBEPC chart;
    ApplyMainWindowChartLook(chart);
    chart.RefreshChart();
    QImage image(chart.size(), QImage::Format_RGB32);
    int v = 0;
    for (auto _ : state) {
        chart.SetCurrent(v = (v + 7) % 101);
        chart.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}

// The rare full rebuild of the static chart (fonts, size or colours changed).
void BM_ChartRebuild(benchmark::State& state)
{
    TSPBEPC chart;
    ApplyMainWindowChartLook(chart);
    TColor colors[2] = {clBlack, clGray};
    int i = 0;
    for (auto _ : state) {
        chart.SetPenColor(colors[++i % 2]);
        benchmark::DoNotOptimize(chart.ComposedPicture().constBits());
    }
}

} // namespace

BENCHMARK(BM_TrackBarPaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TrackBarPaintGlowing)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SliderPaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ChartValueChange)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ChartRebuild)->Unit(benchmark::kMicrosecond);
