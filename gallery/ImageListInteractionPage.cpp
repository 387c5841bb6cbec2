#include "GalleryPage.h"

#include "controls/AdvSmoothImageListBox.h"

#include <QCoreApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

using namespace lumora;

namespace {

void SetItemFill(TGDIPFill& f, TColor from, TColor to, TColor mirror, TColor mirrorTo, TColor border)
{
    f.SetColor(from);
    f.SetColorTo(to);
    f.SetColorMirror(mirror);
    f.SetColorMirrorTo(mirrorTo);
    f.SetGradientType(gtVertical);
    f.SetGradientMirrorType(gtVertical);
    f.SetBorderColor(border);
    f.SetRounding(0);
    f.SetShadowOffset(0);
}

} // namespace

// The picker's list box holding enough pictures to scroll: the scroll bar
// lies under the items above the footer, several items are marked with
// multi-selection, and a double click zooms a picture.
static const GalleryPage page("Image list: scroll bar, multi-selection, zoom", 81, [](QWidget* parent) {
    auto* sheet = new QWidget(parent);
    auto* column = new QVBoxLayout(sheet);
    auto* box = new TAdvSmoothImageListBox(sheet);
    box->setFixedSize(600, 450);
    TAdvSmoothImageListBoxItemAppearance& a = box->ItemAppearance();
    SetItemFill(a.Fill(), 0xFFEFE3, 0xFFDDC4, 0xFFD1AD, 0xFFDBC0, 0xFFD1AD);
    SetItemFill(a.SelectedFill(), 0xAAD9FF, 0x6EBBFF, 0x42AEFE, 0x7AE1FE, 0xFFD1AD);
    SetItemFill(a.HoverFill(), 0xEBFDFF, 0xACECFF, 0x59DAFF, 0xA4E9FF, 0x99CEDB);
    box->Header().SetCaption("Double click zooms; Ctrl and Shift select several");
    box->Footer().SetCaption("Drag the bar or the pictures to scroll");
    box->Footer().Navigator().SetVisible(true);
    box->Fill().SetColor(14464664);
    box->Fill().SetColorTo(14464664);
    box->Fill().SetBorderColor(clNone);
    box->SetMultiSelect(true);
    box->SetKeyBoardLookUp(true);
    box->SetZoomMode(zmAspectRatio);
    box->Items().BeginUpdate();
    for (int k = 0; k < 5; ++k)
        box->AddImagesFromLocation(QCoreApplication::applicationDirPath() + "/*.png", true);
    box->Items().EndUpdate();
    for (int i : {1, 2, 4})
        if (i < box->Items().Count())
            box->Items()[i]->SetSelected(true);
    column->addWidget(box);
    column->addWidget(new QLabel("Type a name to look it up; drop picture files to add them.", sheet));
    return sheet;
});
