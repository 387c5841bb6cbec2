#include "GalleryPage.h"

#include "controls/trackbar/AdvSmoothTrackBar.h"
#include "core/MainWindowLook.h"

#include <QHBoxLayout>
#include <QWidget>

using namespace lumora;

// The main window's track bar at 50, a default one, and a horizontal one.
static const GalleryPage page("Track bar", 30, [](QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* row = new QHBoxLayout(box);

    auto* main = new TAdvSmoothTrackBar(box);
    ApplyMainWindowTrackBarLook(*main);
    main->SetPositionToolTip(true);
    main->SetPosition(50);
    main->setFixedSize(kMainWindowTrackBarSize);
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
