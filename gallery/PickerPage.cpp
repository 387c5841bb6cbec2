#include "GalleryPage.h"

#include "ProfileListLook.h"

#include "controls/imagelist/AdvSmoothImageListBoxPicker.h"

#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

using namespace lumora;

using lumora::gallery::ConfigureProfileList;
using lumora::gallery::ProfilePictures;

// The profile picker as on the main window, and beside it the list box it
// drops down, shown in place with the sample pictures.
static const GalleryPage page("Profile picture picker", 80, [](QWidget* parent) {
    auto* sheet = new QWidget(parent);
    auto* column = new QVBoxLayout(sheet);

    auto* picker = new TAdvSmoothImageListBoxPicker(sheet);
    picker->setFixedSize(200, 30);
    picker->Font().SetName("Tahoma");
    picker->Font().SetHeight(-18);
    picker->SetButtonWidth(16);
    picker->SetButtonStyle(bsDropDown);
    picker->SetHideListBoxAfterSelection(true);
    ConfigureProfileList(picker->ListBox());
    picker->SetImagesLocation(ProfilePictures());
    picker->SetSelectedImageIndex(-1);
    auto* chosen = new QLabel("No picture chosen", sheet);
    picker->OnSelectImage = [picker, chosen](TObject*, int index) {
        const QString file = picker->ListBox().Items()[index]->FileName();
        chosen->setText("Chosen: " + file);
        picker->SetText(QString(file).replace(".png", "", Qt::CaseInsensitive));
    };
    column->addWidget(picker);
    column->addWidget(chosen);

    auto* inPlace = new TAdvSmoothImageListBox(sheet);
    ConfigureProfileList(*inPlace);
    inPlace->AddImagesFromLocation(ProfilePictures(), true);
    inPlace->SetSelectedItemIndex(1);
    inPlace->setFixedSize(600, 450);
    column->addWidget(inPlace);
    return sheet;
});
