// Paint cost of the gauge at the main window's size (200 x 200), configured
// as the main window configures it, while the needle is gliding: every frame
// builds both layers from scratch, as each animation step does.

#include "controls/gauge/AdvSmoothGauge.h"
#include "platform/gdiplus/Font.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QResizeEvent>

#include <benchmark/benchmark.h>

using namespace lumora;

namespace {

void ConfigureAsMainWindow(TAdvSmoothGauge& gauge)
{
    gauge.ApplyColorStyle(4);
    gauge.OuterCircle().SetWidth(0.03);
    gauge.OuterRim().SetWidth(2);
    gauge.Arc().SetWidth(0.03);
    gauge.Arc().Threshold().SetCenter(25.0);
    gauge.Arc().Threshold().SetEndValue(100.0);
    gauge.Font().SetName("Tahoma");
    gauge.ValueFont().SetName("Tahoma");
    gauge.SetMinimumValue(0);
    gauge.SetMaximumValue(10);
    gauge.SetValueFormat("00.00");
    QResizeEvent resize(gauge.size(), gauge.size());
    QApplication::sendEvent(&gauge, &resize);
}

// One frame: an animation step, then a full paint onto the window surface.
void GaugeFrameMidAnimation(benchmark::State& state)
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
        gauge.PaintGauge(painter);
    }
}
BENCHMARK(GaugeFrameMidAnimation)->Unit(benchmark::kMillisecond);

} // namespace
