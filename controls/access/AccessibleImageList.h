#pragma once

// The accessible interfaces of the picture picker (a combo box whose list is
// the image list box) and of the image list box (a list of picture items).

class QAccessibleInterface;

namespace lumora {

class TAdvSmoothImageListBox;
class TAdvSmoothImageListBoxPicker;

QAccessibleInterface* NewPickerAccessible(TAdvSmoothImageListBoxPicker* picker);
QAccessibleInterface* NewImageListAccessible(TAdvSmoothImageListBox* box);

} // namespace lumora
