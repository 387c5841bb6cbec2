// Paint time of one image list box frame (600 x 450, 3 rows of 70 x 70
// items, about 21 of them visible) with plain captions, with markup
// captions, and with markup captions plus a splitter and a top-layer panel;
// and the cost of laying out one markup caption on its own.
//
//   build/bench/bench_imagelistcaptions

#include "controls/imagelist/AdvSmoothImageListBox.h"
#include "controls/imagelist/AdvSmoothImageListBoxHTMLRender.h"

#include <QImage>

#include <benchmark/benchmark.h>

#include <memory>

using namespace lumora;

namespace {

std::unique_ptr<TAdvSmoothImageListBox> Box(bool markup, bool extras)
{
    auto box = std::make_unique<TAdvSmoothImageListBox>();
    box->resize(600, 450);
    box->ItemAppearance().SetTextVisible(true);
    box->ItemAppearance().SetTextHeight(20);
    QImage picture(64, 64, QImage::Format_ARGB32);
    picture.fill(Qt::darkCyan);
    box->Items().BeginUpdate();
    if (extras)
        box->Items().Add()->SetSplitter(true);
    for (int i = 0; i < 60; ++i) {
        TAdvSmoothImageListBoxItem* item = box->Items().Add();
        item->SetImage(picture);
        item->Caption().SetText(markup ? QString("<b>Pic</b> <a href=\"x\">%1</a>").arg(i) : QString("Pic %1").arg(i));
    }
    box->Items().EndUpdate();
    if (extras) {
        TAdvSmoothImageListBoxTopLayerItem* top = box->TopLayerItems().Add();
        top->SetAlign(tlBottom);
        top->SetHeight(30);
        top->SetOpacity(180);
        top->HTMLText().SetText("<b>Top</b> layer");
    }
    return box;
}

void PaintFrames(benchmark::State& state, bool markup, bool extras)
{
    auto box = Box(markup, extras);
    QImage frame(600, 450, QImage::Format_ARGB32_Premultiplied);
    box->render(&frame);
    for (auto _ : state) {
        box->render(&frame);
        benchmark::DoNotOptimize(frame.constBits());
    }
}

void BM_PaintPlainCaptions(benchmark::State& state) { PaintFrames(state, false, false); }
void BM_PaintMarkupCaptions(benchmark::State& state) { PaintFrames(state, true, false); }
void BM_PaintMarkupSplitterTopLayer(benchmark::State& state) { PaintFrames(state, true, true); }
BENCHMARK(BM_PaintPlainCaptions)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintMarkupCaptions)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintMarkupSplitterTopLayer)->Unit(benchmark::kMicrosecond);

void BM_LayOutOneCaption(benchmark::State& state)
{
    THTMLTextStyle style;
    for (auto _ : state) {
        THTMLTextLayout layout("<b>Pic</b> <a href=\"x\">17</a> <shad>shadow</shad>", style, 64);
        benchmark::DoNotOptimize(layout.Size());
    }
}
BENCHMARK(BM_LayOutOneCaption)->Unit(benchmark::kMicrosecond);

} // namespace
