#include "GalleryPage.h"

#include "controls/label/AdvSmoothLabel.h"

#include <QVBoxLayout>
#include <QWidget>

using namespace lumora;

namespace {

TAdvSmoothLabel* MakeLabel(QWidget* parent, const QString& text, int width, int height = 40)
{
    auto* label = new TAdvSmoothLabel(parent);
    label->Caption().SetText(text);
    label->Caption().Font().SetName("Tahoma");
    label->Caption().Font().SetHeight(-20);
    label->CaptionShadow().SetText("AdvSmoothLabel");
    label->CaptionShadow().Font().Assign(label->Caption().Font());
    label->Fill().SetBorderColor(clNone);
    label->Fill().SetRounding(0);
    label->setFixedSize(width, height);
    return label;
}

} // namespace

// The main window's two captions, then a shadow, a hatch, a solid fill and a
// wrapped text.
static const GalleryPage page("Label", 80, [](QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* column = new QVBoxLayout(box);

    column->addWidget(MakeLabel(box, "Set brightness settings on system startup", 396));
    column->addWidget(MakeLabel(box, "Reduce brightness when idle is over           minutes", 484));

    auto* shadow = MakeLabel(box, "With a shadow", 396);
    shadow->SetCaptionShadowVisible(true);
    shadow->CaptionShadow().SetText("With a shadow");
    shadow->CaptionShadow().SetGradientType(gtSolid);
    shadow->CaptionShadow().SetColorStart(clGray);
    shadow->SetCaptionShadowOffsetLeft(2);
    shadow->SetCaptionShadowOffsetTop(2);
    column->addWidget(shadow);

    auto* hatch = MakeLabel(box, "Hatched text", 396);
    hatch->Caption().Font().SetStyle(fsBold);
    hatch->Caption().SetGradientType(gtHatch);
    hatch->Caption().SetHatchStyle(HatchStyleWideUpwardDiagonal);
    column->addWidget(hatch);

    auto* filled = MakeLabel(box, "On a fill", 396);
    filled->SetTransparent(false);
    filled->Fill().SetColor(0xFFEFE3);
    filled->Fill().SetColorTo(0xFFD2AF);
    filled->Fill().SetBorderColor(0xFFD1AD);
    filled->Fill().SetRounding(8);
    filled->Caption().SetGradientType(gtHorizontal);
    column->addWidget(filled);

    auto* wrapped = MakeLabel(box, "A longer text that wraps onto a second line inside the label", 396, 60);
    wrapped->SetWordWrap(true);
    wrapped->Caption().Font().SetHeight(-16);
    wrapped->Caption().SetLocation(plTopLeft);
    column->addWidget(wrapped);
    return box;
});
