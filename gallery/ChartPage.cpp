#include "GalleryPage.h"

#include "controls/chart/SPBEPC.h"

#include <QHBoxLayout>
#include <QWidget>

using namespace lumora;

// The main window's read-only chart at 50, and a default chart with both
// columns that can be clicked, dragged and driven by keys.
static const GalleryPage page("Energy rating chart", 60, [](QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* row = new QHBoxLayout(box);

    auto* main = new TSPBEPC(box);
    main->SetTitle("Energy Efficiency Rating");
    main->SetTitleColor(12350464);
    TFont title;
    title.SetColor(clWhite);
    title.SetHeight(-13);
    main->SetTitleFont(title);
    TFont caption;
    caption.SetStyle(fsItalic);
    caption.SetHeight(-13);
    main->SetTopCaptionFont(caption);
    main->SetBottomCaptionFont(caption);
    main->SetPotentialVisible(false);
    main->SetReadOnly(true);
    main->SetCurrent(50);
    main->setFixedSize(320, 250);
    row->addWidget(main);

    auto* plain = new TSPBEPC(box);
    plain->SetTabStop(true);
    plain->SetCurrent(72);
    plain->SetPotential(88);
    plain->setFixedSize(320, 250);
    row->addWidget(plain);
    return box;
});
