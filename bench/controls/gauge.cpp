// Paint cost of the gauge at the main window's size (200 x 200), configured
// as the main window configures it, while the needle is gliding: a frame as
// the control paints it (the face kept between frames), and the same frame
// drawn from nothing. Each row carries its reference: the 16.7 ms that a
// 60 Hz display gives a whole desktop for one frame.

#include "controls/gauge/AdvSmoothGauge.h"
#include "controls/gauge/AdvSmoothGaugePaint.h"
#include "core/MainWindowLook.h"
#include "platform/gdiplus/Font.h"
#include "platform/gdiplus/Graphics.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QResizeEvent>

#include <benchmark/benchmark.h>

using namespace lumora;

namespace {

// The main window's look, with the range and value format the window gives
// the gauge for 11 levels.
void ConfigureAsMainWindow(TAdvSmoothGauge& gauge)
{
    gauge.resize(kMainWindowGaugeSize);
    ApplyMainWindowGaugeLook(gauge);
    gauge.SetMinimumValue(0);
    gauge.SetMaximumValue(10);
    gauge.SetValueFormat("00.00");
    QResizeEvent resize(gauge.size(), gauge.size());
    QApplication::sendEvent(&gauge, &resize);
}

constexpr double kFrameAt60HzMs = 1000.0 / 60;

// One frame: an animation step, then a paint onto the window surface.
template <bool Kept>
void GaugeFrame(benchmark::State& state)
{
    TAdvSmoothGauge gauge;
    ConfigureAsMainWindow(gauge);
    QImage surface(gauge.size(), QImage::Format_ARGB32_Premultiplied);
    gauge.SetAnimationFactor(1000); // a long glide, so every frame moves
    gauge.SetValue(10);
    for (auto _ : state) {
        if (!gauge.Animating()) {
            state.PauseTiming();
            gauge.SetAnimation(false);
            gauge.SetValue(0);
            gauge.SetAnimation(true);
            gauge.SetValue(10);
            state.ResumeTiming();
        }
        gauge.AnimationStep();
        surface.fill(QColor(0xF0, 0xF0, 0xF0));
        QPainter painter(&surface);
        if constexpr (Kept) {
            gauge.PaintGauge(painter);
        } else {
            gdiplus::Graphics graphics(&painter);
            TAdvSmoothGaugePainter(gauge).PaintGauge(graphics);
        }
    }
    state.counters["reference_60Hz_frame_ms"] = kFrameAt60HzMs;
}

void GaugeFrameMidAnimation(benchmark::State& state) { GaugeFrame<true>(state); }
BENCHMARK(GaugeFrameMidAnimation)->Unit(benchmark::kMillisecond);

void GaugeFrameDrawnFromNothing(benchmark::State& state) { GaugeFrame<false>(state); }
BENCHMARK(GaugeFrameDrawnFromNothing)->Unit(benchmark::kMillisecond);

} // namespace
