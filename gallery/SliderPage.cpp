#include "GalleryPage.h"

#include "controls/slider/AdvSmoothSlider.h"

#include <QHBoxLayout>
#include <QWidget>

using namespace lumora;

// The main window's on/off switch (on and off), and a default one.
static const GalleryPage page("On/off slider", 40, [](QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* row = new QHBoxLayout(box);
    for (const TAdvSmoothSliderState state : {ssOn, ssOff}) {
        auto* slider = new TAdvSmoothSlider(box);
        slider->ApplyColorStyle(4);
        slider->Fill().SetBorderColor(clNone);
        slider->Fill().SetColor(clNone);
        slider->setFixedSize(91, 30);
        slider->SetState(state);
        row->addWidget(slider);
    }
    auto* plain = new TAdvSmoothSlider(box);
    plain->setFixedSize(80, 30);
    row->addWidget(plain);
    return box;
});
