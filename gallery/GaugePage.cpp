#include "GalleryPage.h"

#include "controls/gauge/AdvSmoothGauge.h"
#include "core/MainWindowLook.h"

#include <QHBoxLayout>
#include <QWidget>

using namespace lumora;

namespace {

// Puts the needle on a value without the glide from 0.
void ShowAtRest(TAdvSmoothGauge& gauge, double value)
{
    gauge.SetAnimation(false);
    gauge.SetValue(value);
    gauge.SetAnimation(true);
}

} // namespace

// The main window's gauge on a display with 11 levels, showing level 6 (click
// the dial or use the keys to watch it glide), and a default gauge with a
// ring section, a pie section and dial text.
static const GalleryPage page("Gauge", 40, [](QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* row = new QHBoxLayout(box);

    auto* main = new TAdvSmoothGauge(box);
    ApplyMainWindowGaugeLook(*main);
    // The range and value format the window gives the gauge for 11 levels.
    main->SetMinimumValue(0);
    main->SetMaximumValue(10);
    main->SetValueFormat("00.00");
    ShowAtRest(*main, 6);
    main->setFixedSize(kMainWindowGaugeSize);
    row->addWidget(main);

    auto* plain = new TAdvSmoothGauge(box);
    ShowAtRest(*plain, 62.5);
    plain->setFixedSize(200, 200);
    row->addWidget(plain);

    auto* sections = new TAdvSmoothGauge(box);
    sections->SetDialText("Lux");
    TAdvSmoothGaugeSection& pie = sections->Sections().Add();
    pie.SetEndValue(30);
    pie.SetColor(clGreen);
    TAdvSmoothGaugeSection& ring = sections->Sections().Add();
    ring.SetStartValue(70);
    ring.SetColor(clRed);
    ring.SetInnerMargin(60);
    ring.SetOuterMargin(24);
    sections->Arc().Threshold().SetThresholdKind(tkValue);
    sections->Arc().Threshold().SetEndValue(100);
    ShowAtRest(*sections, 80);
    sections->setFixedSize(200, 200);
    row->addWidget(sections);
    return box;
});
