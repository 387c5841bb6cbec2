#pragma once

// TAdvSmoothImageListBoxPicker: an edit box with a drop-down button that
// opens a borderless pop-up holding an image list box. Picking a picture
// fills the edit and raises OnSelectImage with the picture's index.

#include "controls/imagelist/AdvSmoothEditButton.h"
#include "controls/imagelist/AdvSmoothImageListBox.h"
#include "platform/framework/Timer.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QWidget>

namespace lumora {

// Where the pop-up opens. `anchor` is the screen point of (-2, edit height - 3)
// in the edit's client coordinates. A pop-up that would pass the bottom of
// the work area opens above the edit; one that would pass its right edge
// moves left so that its right edge lines up with the edit's.
QPoint PickerPopupPosition(QPoint anchor, QSize popup, int editWidth, int editHeight, const QRect& workArea);

// The pop-up window: borderless, reports when the user closed it by clicking
// elsewhere.
class TAdvSmoothImageListBoxPickerPopup : public QWidget {
public:
    explicit TAdvSmoothImageListBoxPickerPopup(QWidget* parent);
    std::function<void()> OnDeactivate;

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};

class TAdvSmoothImageListBoxPicker : public TAdvSmoothEditBtn {
public:
    explicit TAdvSmoothImageListBoxPicker(QWidget* parent = nullptr);
    ~TAdvSmoothImageListBoxPicker() override;

    const QString& ImagesLocation() const { return ImagesLocation_; }
    void SetImagesLocation(const QString& v);
    // Lists exactly these picture files, in this order, in place of what was
    // listed before: for pictures gathered from more than one folder.
    void SetImageFiles(const std::vector<TFoundFile>& files);
    TAdvSmoothImageListBox& ListBox() { return *ListBox_; }
    // Copies the given list box's appearance into the owned one.
    void SetListBox(TAdvSmoothImageListBox& source);
    int SelectedImageIndex() const { return ListBox_->SelectedItemIndex(); }
    void SetSelectedImageIndex(int v);
    bool HideListBoxAfterSelection() const { return HideListBoxAfterSelection_; }
    void SetHideListBoxAfterSelection(bool v) { HideListBoxAfterSelection_ = v; }
    QString Version() const { return QStringLiteral("1.0.2.0"); }
    void SetVersion(const QString&) {}

    TAdvSmoothImageListBoxItemEvent OnSelectImage;

    // ---- state and operations for callers and tests
    // The drop-down button's operation (also F4 in the edit).
    void DropDownToggle();
    bool DroppedDown() const;
    bool JustClosed() const { return JustClosed_; }
    // The selection the list had when it opened, which Escape goes back to.
    int OpenedAt() const { return OpenedAt_; }
    QWidget* Popup() const { return Popup_; }
    TTimer& ResetTimer() { return ResetTimer_; }
    // The work area the pop-up is placed against; the screen's by default.
    std::function<QRect()> WorkArea;

protected:
    void ButtonClick() override;
    bool ButtonFocusesEdit() const override { return false; }
    bool KeyDown(int& key, TShiftState shift) override;
    void Loaded() override;
    void showEvent(QShowEvent* event) override;

private:
    void ConnectListBox();
    void Open();
    void CloseByDeactivation();
    // Closing by a pick.
    void Close();
    // Closing by Escape, F4 or Alt+Up: the selection goes back.
    void CloseUnchanged();
    // The user's pick: fills the edit, closes, raises OnSelectImage.
    void Pick(int index);
    // The selection moved in the open list; nothing is picked.
    void Browse(int index);
    void ListBoxKeyDown(int& key, TShiftState shift);
    void ListBoxKeyPress(QChar& key);

    QString ImagesLocation_;
    bool HideListBoxAfterSelection_ = true;
    bool JustClosed_ = false;
    bool ItemClicked_ = false;
    int OpenedAt_ = -1;
    bool Closing_ = false;
    TTimer ResetTimer_;
    TAdvSmoothImageListBoxPickerPopup* Popup_;
    TAdvSmoothImageListBox* ListBox_;
};

} // namespace lumora
