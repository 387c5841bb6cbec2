#pragma once

// TAdvSmoothImageListBox: a scrolling grid of picture thumbnails with
// gradient item backgrounds, a header and a footer (each with a caption and
// an optional four-button navigator), animated scrolling that follows drags,
// flicks and the wheel, and keyboard navigation. Thumbnails come from a
// low-priority loader thread (AdvSmoothImageListBoxLoader.h).

#include "controls/picture/AdvGDIP.h"
#include "controls/imagelist/AdvSmoothEditEvents.h"
#include "controls/imagelist/AdvSmoothImageListBoxAppearance.h"
#include "controls/imagelist/AdvSmoothImageListBoxHTMLRender.h"
#include "controls/imagelist/AdvSmoothImageListBoxItems.h"
#include "controls/imagelist/AdvSmoothImageListBoxLayout.h"
#include "controls/imagelist/AdvSmoothImageListBoxLoader.h"
#include "controls/imagelist/AdvSmoothImageListBoxSelection.h"
#include "controls/imagelist/AdvSmoothImageListBoxZoom.h"
#include "controls/imagelist/AdvSmoothImageListBoxTopLayer.h"
#include "controls/fill/GDIPFill.h"
#include "platform/framework/Form.h"
#include "platform/framework/Timer.h"
#include "platform/framework/Types.h"
#include "platform/shell/FileSystem.h"

#include <QImage>
#include <QString>
#include <QStringList>

class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QHideEvent;
class QMimeData;
class QScrollBar;

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

namespace lumora {

using TAdvSmoothImageListBoxTextRendering = TTextRenderingHint;

using TAdvSmoothImageListBoxItemEvent = std::function<void(TObject* Sender, int ItemIndex)>;
using TAdvSmoothImageListBoxItemClickEvent =
    std::function<void(TObject* Sender, int ItemIndex, TShiftState Shift, TMouseButton Button)>;
using TAdvSmoothImageListBoxItemHintEvent = std::function<void(TObject* Sender, int ItemIndex, QString& Hint)>;
using TAdvSmoothImageListBoxNavigateEvent =
    std::function<void(TObject* Sender, TAdvSmoothImageListBoxNavigationMode Mode, bool& Allow)>;
using TAdvSmoothImageListBoxScrollEvent = std::function<void(TObject* Sender, int Position)>;
using TAdvSmoothImageListBoxStartDragEvent = std::function<void(TObject* Sender, int ItemIndex, bool& Allow)>;
using TAdvSmoothImageListBoxDragOverEvent = std::function<void(TObject* Sender, bool& Allow)>;
// The handler may edit or empty `Files`; the picture files left in it are added as items.
using TAdvSmoothImageListBoxDragDropEvent = std::function<void(TObject* Sender, QStringList& Files)>;
using TAdvSmoothImageListBoxAnchorClickEvent =
    std::function<void(TObject* Sender, int ItemIndex, const QString& Anchor)>;
using TAdvSmoothImageListBoxGetDisplayTextEvent =
    std::function<void(TObject* Sender, int ItemIndex, QString& DisplayText)>;
// Raised per visible item before it is drawn; clearing DefaultDraw leaves the
// item to the handler.
using TAdvSmoothImageListBoxItemDrawEvent = std::function<void(TObject* Sender, int ItemIndex,
                                                               gdiplus::Graphics* Graphics, const QRectF& Rect,
                                                               bool& DefaultDraw)>;

class TAdvSmoothImageListBox : public TCustomControl {
public:
    explicit TAdvSmoothImageListBox(QWidget* parent = nullptr);
    ~TAdvSmoothImageListBox() override;

    // ---- properties
    TAdvSmoothImageListBoxItems& Items() { return Items_; }
    const TAdvSmoothImageListBoxItems& Items() const { return Items_; }
    int SelectedItemIndex() const { return Selected_; }
    void SetSelectedItemIndex(int v);
    int Rows() const { return Rows_; }
    void SetRows(int v);
    int Columns() const { return Columns_; }
    void SetColumns(int v);
    TAdvSmoothImageListBoxItemAppearance& ItemAppearance() { return ItemAppearance_; }
    TAdvSmoothImageListBoxHeader& Header() { return Header_; }
    TAdvSmoothImageListBoxFooter& Footer() { return Footer_; }
    TGDIPFill& Fill() { return Fill_; }
    bool Transparent() const { return Transparent_; }
    void SetTransparent(bool v);
    TAdvSmoothImageThreadLoading ThreadLoading() const { return TAdvSmoothImageThreadLoading(Shared_.threadLoading.load()); }
    void SetThreadLoading(TAdvSmoothImageThreadLoading v);
    int AnimationFactor() const { return AnimationFactor_; }
    void SetAnimationFactor(int v);
    bool Hover() const { return Hover_; }
    void SetHover(bool v);
    bool ShowScrollBar() const { return ShowScrollBar_; }
    void SetShowScrollBar(bool v);
    bool ShowFocus() const { return ShowFocus_; }
    void SetShowFocus(bool v);
    TColor FocusColor() const { return FocusColor_; }
    void SetFocusColor(TColor v);
    bool MultiSelect() const { return MultiSelect_; }
    void SetMultiSelect(bool v);
    bool KeyBoardLookUp() const { return KeyBoardLookUp_; }
    void SetKeyBoardLookUp(bool v) { KeyBoardLookUp_ = v; }
    bool Sorted() const { return Sorted_; }
    void SetSorted(bool v) { Sorted_ = v; }
    bool ZoomOnDblClick() const { return ZoomOnDblClick_; }
    void SetZoomOnDblClick(bool v) { ZoomOnDblClick_ = v; }
    TAdvSmoothImageListBoxZoomMode ZoomMode() const { return ZoomMode_; }
    void SetZoomMode(TAdvSmoothImageListBoxZoomMode v);
    bool ZoomOnTop() const { return ZoomOnTop_; }
    void SetZoomOnTop(bool v);
    TAdvGDIPPicture& DefaultImage() { return DefaultImage_; }
    TAdvSmoothImageListBoxHTMLText& DefaultHTMLText() { return DefaultHTMLText_; }
    TAdvSmoothImageListBoxTopLayerItems& TopLayerItems() { return TopLayerItems_; }
    bool OleDragDrop() const { return OleDragDrop_; }
    void SetOleDragDrop(bool v);
    TAdvSmoothImageListBoxTextRendering TextRendering() const { return TextRendering_; }
    void SetTextRendering(TAdvSmoothImageListBoxTextRendering v);
    QString Version() const { return QStringLiteral("1.6.0.2"); }
    void SetVersion(const QString&) {}

    // ---- operations
    // Adds one item per directory entry matching `pattern` (a path whose file
    // part may hold wildcards). Existing items stay.
    void AddImagesFromLocation(const QString& pattern, bool showCaptions);
    // Adds one item per file, in the given order. Existing items stay.
    void AddImages(const std::vector<TFoundFile>& files, bool showCaptions);
    // Acts like a navigator button click: raises OnNavigate, then navigates
    // unless the handler disallows it.
    void Navigate(TAdvSmoothImageListBoxNavigationMode mode);
    // Whether a navigator button would move the selection now: not Previous
    // at the first item, nor Next at the last.
    bool NavigationMoves(TAdvSmoothImageListBoxNavigationMode mode) const;
    // Moves the selection as a key would, raising OnItemSelect.
    void KeyNavigate(TNavKey key);
    // Moves the selection to `item` as the keys would, raising OnItemSelect:
    // no click, so a picker's list only shows the item. Nothing for a
    // splitter or an index out of range.
    void SelectItemAsKeysDo(int item);
    // What a left click on `item` does: selects it, then raises OnItemClick
    // and OnItemSelect (a pick in a picker's list). Nothing for a splitter
    // or an index out of range.
    void ClickItem(int item);

    // ---- zoom (AdvSmoothImageListBoxZoom.cpp)
    // Zooms an item from its place to the item area (the whole control with
    // ZoomOnTop), or back; either runs as an animation.
    void ZoomIn(int item);
    void ZoomOut();
    int ZoomedItem() const { return Zoom_.item; }
    TZoomPhase ZoomPhase() const { return Zoom_.phase; }
    // Where the zoomed item is drawn now (empty when none is zoomed).
    QRectF ZoomRect() const;
    bool ZoomTimerRunning() const { return ZoomTimer_.IsRunning(); }
    // The picture drawn for the zoomed item (null when none is zoomed).
    const QImage& ZoomPicture() const { return Zoom_.picture; }
    // The item the thumbnail loader leaves alone because it is zoomed.
    int LoaderZoomedItem() const { return Shared_.zoomed.load(); }

    // ---- multi-selection and look-up (AdvSmoothImageListBoxSelection.cpp)
    // The item that Shift extends a selection from.
    int SelectionAnchor() const { return Anchor_; }
    const QString& LookUpText() const { return LookUp_.text; }

    // ---- drag and drop (AdvSmoothImageListBoxDrag.cpp)
    // True from the start of an item drag until the button is released.
    bool Dragging() const { return Drag_.active; }
    // The data an item drag carries: the item's file as a URL, its picture.
    QMimeData* MakeDragData(int item) const;
    // Adds the picture files among `files` as items, in one update.
    int AddDroppedFiles(const QStringList& files);

    // ---- scroll bar (AdvSmoothImageListBoxScrollBar.cpp)
    QScrollBar* ScrollBar() const { return ScrollBar_; }

    // ---- state for callers and tests
    int ScrollPosition() const { return Position_; }
    int ScrollTarget() const { return Target_; }
    int LargestScroll() const { return Layout_.largest; }
    bool Animating() const { return Animating_; }
    bool AnimationTimerRunning() const { return AnimationTimer_.IsRunning(); }
    const std::vector<TDisplayEntry>& DisplayList() const { return Layout_.entries; }
    const QRectF& ItemAreaRect() const { return Layout_.itemArea; }
    QRectF HeaderRect() const;
    QRectF FooterRect() const;
    // The navigator strip of the footer (`footer`) or header, when visible.
    std::optional<QRectF> NavigatorRect(bool footer) const;
    int HoveredItem() const { return Hovered_; }
    int FocusItem() const { return FocusItem_; }
    bool LoaderRunning() const { return Loader_ != nullptr; }
    // The item background bitmaps (Fill, Selected, Disabled, Hover) as last rendered.
    const std::array<QImage, 4>& ItemBackgrounds();
    int ItemBackgroundRenders() const { return BackgroundRenders_; }
    // Item captions laid out so far (each is kept until its text, style or width changes).
    int CaptionLayouts() const { return CaptionCache_.Layouts(); }
    // The caption markup an item shows (see AdvSmoothImageListBoxCaptions.cpp),
    // after OnItemGetDisplayText.
    QString ItemDisplayText(int item);
    // The href of the caption anchor under a point, with its item, if any.
    std::optional<std::pair<int, QString>> AnchorAt(QPointF p);
    // Rebuilds the display list and asks the loader to restart at the first visible entry.
    void UpdateLayout();
    void StartLoader();
    void StopLoader();

    // ---- events
    TAdvSmoothImageListBoxItemEvent OnItemSelect;
    TAdvSmoothImageListBoxItemClickEvent OnItemClick;
    TAdvSmoothImageListBoxItemEvent OnItemMouseDown;
    TAdvSmoothImageListBoxItemEvent OnItemMouseUp;
    TAdvSmoothImageListBoxItemEvent OnItemMouseEnter;
    TAdvSmoothImageListBoxItemEvent OnItemMouseLeave;
    TAdvSmoothImageListBoxItemEvent OnItemDblClick;
    TAdvSmoothImageListBoxItemHintEvent OnItemHint;
    TAdvSmoothImageListBoxNavigateEvent OnNavigate;
    TAdvSmoothImageListBoxScrollEvent OnScroll;
    TAdvSmoothImageListBoxItemEvent OnItemZoomIn;
    TAdvSmoothImageListBoxItemEvent OnItemZoomedIn;
    TAdvSmoothImageListBoxItemEvent OnItemZoomOut;
    TAdvSmoothImageListBoxItemEvent OnItemZoomedOut;
    TAdvSmoothImageListBoxStartDragEvent OnItemStartDrag;
    TAdvSmoothImageListBoxDragOverEvent OnOleDragOver;
    TAdvSmoothImageListBoxDragDropEvent OnOleDragDrop;
    TAdvSmoothImageListBoxAnchorClickEvent OnItemAnchorClick;
    TAdvSmoothImageListBoxGetDisplayTextEvent OnItemGetDisplayText;
    TAdvSmoothImageListBoxItemDrawEvent OnItemDraw;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool event(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    struct BandState {
        int pressed = -1;
        int hovered = -1;
    };

    // change handling
    void Changed();
    void AppearanceChanged();
    void ItemChanged(TAdvSmoothImageListBoxItem* item);
    void ItemImageChanged(TAdvSmoothImageListBoxItem* item);
    void ItemsBeginUpdate();
    void ItemsEndUpdate(bool outermost);

    // geometry
    TLayoutInput LayoutInput() const;
    TFlow Flow() const { return FlowOf(Rows_, Columns_); }
    TThumbnailTarget ThumbTarget() const;
    int HeaderHeight() const;
    int FooterHeight() const;
    QRect ControlRectangle() const;
    int EntryOf(int item) const; // display position of an item, -1 when not shown
    std::vector<TEntryState> EntryStates() const;
    void VisibleRange(int& first, int& last) const;
    int ItemAt(QPointF p) const;
    void ScrollIntoView(int item);
    void SetPosition(int position);

    // animation and loader
    void SetAnimating(bool on);
    void AnimationTick();
    void RequestRepaintFromLoader();
    void DropThumbnailsIfTargetGrew();

    // mouse helpers
    int Axis(QPointF p) const { return Flow() == flDownwards ? int(p.y()) : int(p.x()); }
    void UpdateHover(QPointF p);
    bool UpdateNavigatorHover(QPointF p);

    // captions and splitter expanders under the mouse (AdvSmoothImageListBoxCaptions.cpp)
    const TAdvSmoothImageListBoxHTMLText& CaptionStyleOf(const TAdvSmoothImageListBoxItem& item) const;
    void PressCaptionOrExpander(QPointF p);
    bool ClickCaptionOrExpander(QPointF p); // true when an anchor or an expander took the click
    void ReleaseCaptionOrExpander();
    void UpdateAnchorCursor(QPointF p);

    // painting, in drawing order
    void RenderItemBackgrounds();
    void PaintBackground(gdiplus::Graphics& g);
    void PaintItems(gdiplus::Graphics& g);
    void PaintItemBackground(gdiplus::Graphics& g, const TDisplayEntry& e, const TAdvSmoothImageListBoxItem& item);
    void PaintItemPicture(gdiplus::Graphics& g, const TDisplayEntry& e, const TAdvSmoothImageListBoxItem& item);
    void PaintItemCaption(gdiplus::Graphics& g, const TDisplayEntry& e, const TAdvSmoothImageListBoxItem& item);
    void PaintFocus(gdiplus::Graphics& g, const TDisplayEntry& e);
    void PaintSplitter(gdiplus::Graphics& g, const TDisplayEntry& e, const TAdvSmoothImageListBoxItem& item);
    void PaintBand(gdiplus::Graphics& g, TAdvSmoothImageListBoxHeader& band, const QRectF& r, const BandState& s);
    void PaintNavigator(gdiplus::Graphics& g, const TAdvSmoothImageListBoxNavigator& nav, const QRectF& strip,
                        const BandState& s);

    TAdvSmoothImageListBoxItems Items_;
    TAdvSmoothImageListBoxItemAppearance ItemAppearance_;
    TAdvSmoothImageListBoxHeader Header_;
    TAdvSmoothImageListBoxFooter Footer_;
    TGDIPFill Fill_;
    TAdvGDIPPicture DefaultImage_;
    TAdvSmoothImageListBoxHTMLText DefaultHTMLText_;
    TAdvSmoothImageListBoxTopLayerItems TopLayerItems_;
    THTMLTextCache CaptionCache_; // laid-out item captions

    int Selected_ = -1;
    int Rows_ = 3;
    int Columns_ = 0;
    bool Transparent_ = false;
    int AnimationFactor_ = 4;
    bool Hover_ = true;
    bool ShowScrollBar_ = true;
    bool ShowFocus_ = true;
    TColor FocusColor_ = clBlack;
    bool MultiSelect_ = false;
    bool KeyBoardLookUp_ = false;
    bool Sorted_ = false;
    bool ZoomOnDblClick_ = true;
    TAdvSmoothImageListBoxZoomMode ZoomMode_ = zmFullScreen;
    bool ZoomOnTop_ = false;
    bool OleDragDrop_ = false;
    TAdvSmoothImageListBoxTextRendering TextRendering_ = tClearType;

    // ---- zoom (AdvSmoothImageListBoxZoom.cpp)
    void InitZoom();
    QRectF ZoomArea() const;
    QRectF ZoomHome() const; // the zoomed item's own rectangle now
    void ZoomTick();
    void EndZoomAtOnce();
    void MakeZoomPicture();
    bool ZoomKey(QKeyEvent* event);
    void PaintZoomedItem(gdiplus::Graphics& g);

    // ---- multi-selection and look-up (AdvSmoothImageListBoxSelection.cpp)
    void ClickSelect(int item, Qt::KeyboardModifiers modifiers);
    void NavigationKey(TNavKey key, Qt::KeyboardModifiers modifiers);
    bool SelectionKey(QKeyEvent* event);
    bool LookUpKey(QKeyEvent* event);
    void SelectRange(int fromItem, int toItem, bool keepOthers);
    void SetSelectedQuietly(int item, bool selected);
    void ClearMarks();

    // ---- drag and drop (AdvSmoothImageListBoxDrag.cpp)
    void PressForDrag(int item);
    bool MoveForDrag();
    bool ReleaseForDrag();
    void ExecOleDrag(int item);
    bool AcceptsDrag(const QMimeData* data, QObject* source);

    // ---- scroll bar (AdvSmoothImageListBoxScrollBar.cpp)
    void CreateScrollBar();
    int ScrollBarThickness() const;
    bool UpdateScrollBarVisibility();
    void SyncScrollBar();
    void ScrollBarMoved(int value);

    TLayoutResult Layout_;
    int Position_ = 0;
    int Target_ = 0;
    double SpeedFactor_ = 4;
    bool Animating_ = false;
    bool ScrollRequest_ = false;
    TTimer AnimationTimer_;

    int Hovered_ = -1;   // item index
    int FocusItem_ = -1; // item index
    BandState HeaderState_;
    BandState FooterState_;
    int PressedExpander_ = -1; // item index of the splitter whose expander is held down
    int PressedAnchorItem_ = -1;
    QString PressedAnchor_;

    // mouse
    bool MouseDown_ = false;
    int DownCoord_ = 0;
    int LastCoord_ = 0;
    qint64 DownTime_ = 0;
    qint64 PressDuration_ = 0;
    bool FlickPending_ = false;

    std::array<QImage, 4> Backgrounds_;
    bool BackgroundsValid_ = false;
    int BackgroundRenders_ = 0;

    bool WindowCreated_ = false;
    bool Destroying_ = false;
    TImageLoaderShared Shared_;
    std::unique_ptr<TImageLoaderThread> Loader_;
    std::atomic<bool> RepaintPending_{false};
    TThumbnailTarget LastTarget_;

    TZoomState Zoom_;
    TTimer ZoomTimer_;
    int Anchor_ = -1; // item index
    TLookUp LookUp_;
    struct DragState {
        int item = -1;        // the selected item the press began on
        bool decided = false; // asked OnItemStartDrag already
        bool active = false;
    } Drag_;
    QScrollBar* ScrollBar_ = nullptr;
    bool ScrollBarShown_ = false;
};

} // namespace lumora
