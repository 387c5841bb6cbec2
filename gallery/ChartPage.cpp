#include "GalleryPage.h"

#include "controls/chart/SPBEPC.h"
#include "core/MainWindowLook.h"

#include <QHBoxLayout>
#include <QWidget>

using namespace lumora;

// The main window's read-only chart at 50, and a default chart with both
// columns that can be clicked, dragged and driven by keys.
static const GalleryPage page("Energy rating chart", 60, [](QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* row = new QHBoxLayout(box);

    auto* main = new TSPBEPC(box);
    ApplyMainWindowChartLook(*main);
    main->SetCurrent(50);
    main->setFixedSize(kMainWindowChartSize);
    row->addWidget(main);

    auto* plain = new TSPBEPC(box);
    plain->SetTabStop(true);
    plain->SetCurrent(72);
    plain->SetPotential(88);
    plain->setFixedSize(320, 250);
    row->addWidget(plain);
    return box;
});
