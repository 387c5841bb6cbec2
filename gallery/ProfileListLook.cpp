#include "ProfileListLook.h"

#include <QCoreApplication>

namespace lumora::gallery {

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

void SetBand(TAdvSmoothImageListBoxHeader& band, const QString& caption)
{
    band.SetCaption(caption);
    band.Font().SetName("Tahoma");
    band.Font().SetHeight(-17);
    band.Font().SetColor(7485192);
    band.Fill().SetColor(0xFFEFE3);
    band.Fill().SetColorTo(0xFFD2AF);
    band.Fill().SetColorMirror(clNone);
    band.Fill().SetColorMirrorTo(clNone);
    band.Fill().SetBorderColor(0xFFD2AF);
}

} // namespace

// The list box as the main window's picker configures it.
void ConfigureProfileList(TAdvSmoothImageListBox& box)
{
    box.resize(600, 450);
    TAdvSmoothImageListBoxItemAppearance& a = box.ItemAppearance();
    SetItemFill(a.Fill(), 0xFFEFE3, 0xFFDDC4, 0xFFD1AD, 0xFFDBC0, 0xFFD1AD);
    SetItemFill(a.SelectedFill(), 0xAAD9FF, 0x6EBBFF, 0x42AEFE, 0x7AE1FE, 0xFFD1AD);
    SetItemFill(a.DisabledFill(), 0xF2F2F2, 0xB6B6B6, 0xB6B6B6, 0xF2F2F2, 0xFFD1AD);
    SetItemFill(a.HoverFill(), 0xEBFDFF, 0xACECFF, 0x59DAFF, 0xA4E9FF, 0x99CEDB);
    SetBand(box.Header(), "Choose a profile icon");
    SetBand(box.Footer(), "Weather and lumination affect the brightness.");
    box.Header().Navigator().SetVisible(false);
    TAdvSmoothImageListBoxNavigator& nav = box.Footer().Navigator();
    nav.SetVisible(true);
    nav.SetColor(0xFFEFE3);
    nav.SetHoverColor(0xAAD9FF);
    nav.SetDownColor(0x6EBBFF);
    nav.SetDisabledColor(clGray);
    nav.SetBorderColor(clBlack);
    box.Fill().SetColor(14464664);
    box.Fill().SetColorTo(14464664);
    box.Fill().SetColorMirror(clNone);
    box.Fill().SetColorMirrorTo(clNone);
    box.Fill().SetBorderColor(clNone);
}

QString ProfilePictures()
{
    return QCoreApplication::applicationDirPath() + "/*.png";
}

} // namespace lumora::gallery
