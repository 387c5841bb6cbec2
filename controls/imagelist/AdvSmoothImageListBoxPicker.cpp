#include "controls/imagelist/AdvSmoothImageListBoxPicker.h"

#include "controls/access/AccessibleControls.h"
#include "platform/framework/Form.h"

#include <QCloseEvent>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

#include <exception>
#include <utility>

namespace lumora {

QPoint PickerPopupPosition(QPoint anchor, QSize popup, int editWidth, int editHeight, const QRect& workArea)
{
    QPoint p = anchor;
    const int bottom = workArea.y() + workArea.height();
    const int right = workArea.x() + workArea.width();
    if (p.y() + popup.height() > bottom)
        p.ry() = p.y() - popup.height() - editHeight + 3;
    if (p.x() + popup.width() > right)
        p.rx() += editWidth - popup.width();
    return p;
}

// ---------------------------------------------------------------- pop-up window

TAdvSmoothImageListBoxPickerPopup::TAdvSmoothImageListBoxPickerPopup(QWidget* parent)
    : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint)
{
    // A pop-up window takes the keyboard and mouse without taking the
    // activation from the window that holds the picker, so that window keeps
    // its active caption while the pictures are open. A click elsewhere
    // closes it and still reaches what was clicked.
    resize(0, 0);
}

bool TAdvSmoothImageListBoxPickerPopup::event(QEvent* event)
{
    if (event->type() == QEvent::WindowDeactivate && OnDeactivate)
        OnDeactivate();
    return QWidget::event(event);
}

void TAdvSmoothImageListBoxPickerPopup::closeEvent(QCloseEvent* event)
{
    // The window system closes a pop-up when the user clicks outside it: to
    // the picker that is the same as losing the activation.
    if (OnDeactivate)
        OnDeactivate();
    QWidget::closeEvent(event);
}

// ---------------------------------------------------------------- picker

TAdvSmoothImageListBoxPicker::TAdvSmoothImageListBoxPicker(QWidget* parent)
    : TAdvSmoothEditBtn(parent),
      ResetTimer_(this),
      Popup_(new TAdvSmoothImageListBoxPickerPopup(this)),
      ListBox_(new TAdvSmoothImageListBox(Popup_))
{
    resize(108, height());
    ResetTimer_.SetEnabled(false);
    ResetTimer_.SetInterval(100);
    ResetTimer_.OnTimer = [this](TObject*) {
        JustClosed_ = false;
        ResetTimer_.SetEnabled(false);
    };
    ListBox_->move(0, 0);
    Popup_->OnDeactivate = [this] { CloseByDeactivation(); };
    ConnectListBox();
}

TAdvSmoothImageListBoxPicker::~TAdvSmoothImageListBoxPicker()
{
    // The reset timer, the list box (which stops its loader), then the pop-up.
    ResetTimer_.SetEnabled(false);
    Popup_->OnDeactivate = nullptr;
    delete ListBox_;
    ListBox_ = nullptr;
    delete Popup_;
    Popup_ = nullptr;
}

void TAdvSmoothImageListBoxPicker::ConnectListBox()
{
    ListBox_->OnKeyDown = [this](TObject*, int& key, TShiftState shift) { ListBoxKeyDown(key, shift); };
    ListBox_->OnKeyPress = [this](TObject*, QChar& key) { ListBoxKeyPress(key); };
    // A click on a picture raises its click before its selection: that
    // selection is the user's pick. Every other selection (keys, typed
    // letters, the footer's buttons) only moves through the list.
    ListBox_->OnItemClick = [this](TObject*, int, TShiftState, TMouseButton) { ItemClicked_ = true; };
    ListBox_->OnItemSelect = [this](TObject*, int index) {
        if (std::exchange(ItemClicked_, false))
            Pick(index);
        else
            Browse(index);
    };
}

void TAdvSmoothImageListBoxPicker::Loaded()
{
    TAdvSmoothEditBtn::Loaded();
    ConnectListBox();
}

void TAdvSmoothImageListBoxPicker::showEvent(QShowEvent* event)
{
    TAdvSmoothEditBtn::showEvent(event);
    ConnectListBox();
}

void TAdvSmoothImageListBoxPicker::SetImagesLocation(const QString& v)
{
    if (v == ImagesLocation_)
        return;
    ImagesLocation_ = v;
    ListBox_->AddImagesFromLocation(v, false);
}

void TAdvSmoothImageListBoxPicker::SetImageFiles(const std::vector<TFoundFile>& files)
{
    TAdvSmoothImageListBoxItems& items = ListBox_->Items();
    items.BeginUpdate();
    items.Clear();
    ListBox_->AddImages(files, false);
    items.EndUpdate();
}

void TAdvSmoothImageListBoxPicker::SetListBox(TAdvSmoothImageListBox& source)
{
    ListBox_->ItemAppearance().Assign(source.ItemAppearance());
    ListBox_->Header().Assign(source.Header());
    ListBox_->Footer().Assign(source.Footer());
    ListBox_->Fill().Assign(source.Fill());
    ListBox_->SetRows(source.Rows());
    ListBox_->SetColumns(source.Columns());
    ListBox_->resize(source.size());
}

void TAdvSmoothImageListBoxPicker::SetSelectedImageIndex(int v)
{
    ListBox_->SetSelectedItemIndex(v);
    const int index = ListBox_->SelectedItemIndex();
    if (index < 0 || index >= ListBox_->Items().Count())
        SetText(QString());
    else
        SetText(QFileInfo(ListBox_->Items()[index]->Location()).fileName());
}

bool TAdvSmoothImageListBoxPicker::DroppedDown() const
{
    return Popup_->isVisible();
}

void TAdvSmoothImageListBoxPicker::ButtonClick()
{
    DropDownToggle();
}

void TAdvSmoothImageListBoxPicker::DropDownToggle()
{
    Fire(OnClickBtn, this);
    if (JustClosed_) {
        // The click that took the focus from the open pop-up does not reopen it.
        JustClosed_ = false;
        return;
    }
    if (Popup_->isVisible()) {
        JustClosed_ = true;
        Closing_ = true;
        Popup_->hide();
        Closing_ = false;
        return;
    }
    Open();
}

void TAdvSmoothImageListBoxPicker::Open()
{
    // 1. stay on top unless the picker sits on a normal form
    const auto* form = dynamic_cast<const TForm*>(parentWidget());
    const bool onTop = !form || form->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    Popup_->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);

    // 2. the position against the work area
    const QRect work = WorkArea ? WorkArea()
                                : (screen() ? screen()->availableGeometry()
                                            : QGuiApplication::primaryScreen()->availableGeometry());
    const QPoint anchor = mapToGlobal(QPoint(-2, height() - 3));
    const QPoint at = PickerPopupPosition(anchor, ListBox_->size(), width(), height(), work);

    // 3. preselection
    try {
        const QString text = Text();
        int index = text.isEmpty() ? -1 : ListBox_->Items().IndexOfCaption(text);
        if (index < 0)
            index = ListBox_->Items().FirstNonSplitter(0);
        ListBox_->SetSelectedItemIndex(index);
    } catch (const std::exception&) {
        SetText(QStringLiteral("exception"));
    }

    // Escape, or a click elsewhere, goes back to this selection.
    OpenedAt_ = ListBox_->SelectedItemIndex();
    ItemClicked_ = false;

    // 4. show at no size, move, then take the list box's size
    Popup_->resize(0, 0);
    Popup_->show();
    Popup_->move(at);
    Popup_->resize(ListBox_->size());
    ListBox_->show();

    // 5. the list box takes the keys; the window holding the picker keeps
    // its active look because the pop-up never takes the activation.
    ListBox_->setFocus(Qt::PopupFocusReason);
}

void TAdvSmoothImageListBoxPicker::CloseByDeactivation()
{
    if (Closing_ || !Popup_->isVisible())
        return;
    ListBox_->SetSelectedItemIndex(OpenedAt_);
    JustClosed_ = true;
    Closing_ = true;
    Popup_->hide();
    Closing_ = false;
    ResetTimer_.SetEnabled(true);
}

void TAdvSmoothImageListBoxPicker::Close()
{
    Closing_ = true;
    Popup_->hide();
    Closing_ = false;
    JustClosed_ = false;
    // Failing to take the focus (a hidden parent) is of no consequence.
    activateWindow();
    setFocus(Qt::PopupFocusReason);
}

void TAdvSmoothImageListBoxPicker::Pick(int index)
{
    if (index >= 0 && index < ListBox_->Items().Count()) {
        SetText(ListBox_->Items()[index]->Caption().Text());
        AnnounceTextValue(this, Text());
    }
    if (HideListBoxAfterSelection_)
        Close();
    Fire(OnSelectImage, this, index);
}

void TAdvSmoothImageListBoxPicker::Browse(int index)
{
    // Nothing is applied while the user looks through the pictures: the
    // edit keeps its text until Enter or a click.
    if (index >= 0 && index < ListBox_->Items().Count())
        AnnounceFocusedItem(ListBox_, index);
}

void TAdvSmoothImageListBoxPicker::CloseUnchanged()
{
    ListBox_->SetSelectedItemIndex(OpenedAt_);
    Close();
}

bool TAdvSmoothImageListBoxPicker::KeyDown(int& key, TShiftState shift)
{
    // F4 and Alt+Down open the list, as they open a combo box's.
    const bool f4 = key == Qt::Key_F4 && !(shift & (ssCtrl | ssAlt));
    const bool altDown = key == Qt::Key_Down && (shift & ssAlt) && !(shift & ssCtrl);
    if (f4 || altDown) {
        DropDownToggle();
        return true;
    }
    return TAdvSmoothEditBtn::KeyDown(key, shift);
}

void TAdvSmoothImageListBoxPicker::ListBoxKeyDown(int& key, TShiftState shift)
{
    // A click that raised no selection is no pick of what a key selects.
    ItemClicked_ = false;
    // F4, Alt+Up and Alt+Down close the list as Escape does.
    const bool altUpDown = (key == Qt::Key_Up || key == Qt::Key_Down) && (shift & ssAlt);
    if (key == Qt::Key_F4 || altUpDown) {
        CloseUnchanged();
        key = 0;
    }
    Fire(OnKeyDown, this, key, shift);
}

void TAdvSmoothImageListBoxPicker::ListBoxKeyPress(QChar& key)
{
    Fire(OnKeyPress, this, key);
    if (key == QChar('\r') || key == QChar(' ')) {
        if (ListBox_->SelectedItemIndex() >= 0)
            Pick(ListBox_->SelectedItemIndex());
    } else if (key == QChar(27)) {
        CloseUnchanged();
    }
}

} // namespace lumora
