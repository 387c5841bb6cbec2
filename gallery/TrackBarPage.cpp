#include "GalleryPage.h"

#include "controls/trackbar/AdvSmoothTrackBar.h"

#include <QHBoxLayout>
#include <QWidget>

using namespace lumora;

// The main window's track bar at 50, a default one, and a horizontal one.
static const GalleryPage page("Track bar", 30, [](QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* row = new QHBoxLayout(box);

    auto* main = new TAdvSmoothTrackBar(box);
    main->SetMaximum(100);
    main->SetStep(10);
    main->SetSnapMargin(10);
    main->SetPositionToolTip(true);
    main->SetPositionToolTipFormat("%.2f");
    main->SetValueFormat("%g %%");
    main->ApplyColorStyle(4);
    TFont font;
    font.SetHeight(-13);
    main->SetFont(font);
    main->SetProgressFont(font);
    main->SetPosition(50);
    main->setFixedSize(90, 403);
    row->addWidget(main);

    auto* plain = new TAdvSmoothTrackBar(box);
    plain->setFixedSize(90, 250);
    row->addWidget(plain, 0, Qt::AlignTop);

    auto* across = new TAdvSmoothTrackBar(box);
    across->SetDirection(dHorizontal);
    across->ApplyColorStyle(0);
    across->SetPosition(40);
    across->setFixedSize(250, 90);
    row->addWidget(across, 0, Qt::AlignTop);
    return box;
});
