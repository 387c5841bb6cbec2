#include "GalleryPage.h"

#include "ProfileListLook.h"

#include "controls/imagelist/AdvSmoothImageListBox.h"

#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

using namespace lumora;

// The picker's list box holding enough pictures to scroll: the scroll bar
// lies under the items above the footer, several items are marked with
// multi-selection, and a double click zooms a picture.
static const GalleryPage page("Image list: scroll bar, multi-selection, zoom", 81, [](QWidget* parent) {
    auto* sheet = new QWidget(parent);
    auto* column = new QVBoxLayout(sheet);
    auto* box = new TAdvSmoothImageListBox(sheet);
    gallery::ConfigureProfileList(*box);
    box->setFixedSize(600, 450);
    box->Header().SetCaption("Double click zooms; Ctrl and Shift select several");
    box->Footer().SetCaption("Drag the bar or the pictures to scroll");
    box->SetMultiSelect(true);
    box->SetKeyBoardLookUp(true);
    box->SetZoomMode(zmAspectRatio);
    box->Items().BeginUpdate();
    for (int k = 0; k < 5; ++k)
        box->AddImagesFromLocation(gallery::ProfilePictures(), true);
    box->Items().EndUpdate();
    for (int i : {1, 2, 4})
        if (i < box->Items().Count())
            box->Items()[i]->SetSelected(true);
    column->addWidget(box);
    column->addWidget(new QLabel("Type a name to look it up; drop picture files to add them.", sheet));
    return sheet;
});
