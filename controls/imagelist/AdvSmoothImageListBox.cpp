#include "controls/imagelist/AdvSmoothImageListBox.h"

#include "platform/gdiplus/Graphics.h"
#include "platform/shell/FileSystem.h"

#include <QDateTime>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace lumora {

namespace {

TMouseButton ButtonOf(Qt::MouseButton b)
{
    switch (b) {
    case Qt::RightButton: return mbRight;
    case Qt::MiddleButton: return mbMiddle;
    default: return mbLeft;
    }
}

} // namespace

// ---------------------------------------------------------------- life

TAdvSmoothImageListBox::TAdvSmoothImageListBox(QWidget* parent)
    : TCustomControl(parent), AnimationTimer_(this), ZoomTimer_(this)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    resize(250, 250);

    Items_.OnBeginUpdate = [this] { ItemsBeginUpdate(); };
    Items_.OnEndUpdate = [this](bool outermost) { ItemsEndUpdate(outermost); };
    Items_.OnItemChange = [this](TAdvSmoothImageListBoxItem* item) { ItemChanged(item); };
    Items_.OnItemImageChange = [this](TAdvSmoothImageListBoxItem* item) { ItemImageChanged(item); };
    ItemAppearance_.OnChange = [this](TObject*) { AppearanceChanged(); };
    Header_.OnChange = [this](TObject*) { Changed(); };
    Footer_.OnChange = [this](TObject*) { Changed(); };
    Fill_.OnChange = [this](TObject*) { Changed(); };
    DefaultImage_.OnChange = [this](TObject*) { update(); };
    DefaultHTMLText_.OnChange = [this](TObject*) { update(); };
    TopLayerItems_.OnChange = [this](TObject*) { update(); };

    AnimationTimer_.SetEnabled(false);
    AnimationTimer_.SetInterval(1);
    AnimationTimer_.OnTimer = [this](TObject*) { AnimationTick(); };
    InitZoom();
    CreateScrollBar();
    UpdateLayout();
}

TAdvSmoothImageListBox::~TAdvSmoothImageListBox()
{
    Destroying_ = true;
    StopLoader();
    AnimationTimer_.SetEnabled(false);
    ZoomTimer_.SetEnabled(false);
    Items_.OnBeginUpdate = nullptr;
    Items_.OnEndUpdate = nullptr;
    Items_.OnItemChange = nullptr;
    Items_.OnItemImageChange = nullptr;
}

// ---------------------------------------------------------------- property setters

void TAdvSmoothImageListBox::SetSelectedItemIndex(int v)
{
    if (v == Selected_)
        return;
    if (Selected_ >= 0 && Selected_ < Items_.Count())
        Items_[Selected_]->SetSelected(false);
    Selected_ = v;
    if (v >= 0 && v < Items_.Count())
        Items_[v]->SetSelected(true);
    FocusItem_ = v;
    ScrollIntoView(v);
    update();
}

void TAdvSmoothImageListBox::SetRows(int v)
{
    if (v == Rows_ || v < 0)
        return;
    Rows_ = v;
    Changed();
}

void TAdvSmoothImageListBox::SetColumns(int v)
{
    if (v == Columns_ || v < 0)
        return;
    Columns_ = v;
    Changed();
}

void TAdvSmoothImageListBox::SetTransparent(bool v)
{
    if (v == Transparent_)
        return;
    Transparent_ = v;
    Changed();
}

void TAdvSmoothImageListBox::SetThreadLoading(TAdvSmoothImageThreadLoading v)
{
    if (v == ThreadLoading())
        return;
    Shared_.threadLoading.store(v);
    Shared_.RequestRestart(Shared_.restartIndex.load());
}

void TAdvSmoothImageListBox::SetAnimationFactor(int v)
{
    AnimationFactor_ = v;
}

void TAdvSmoothImageListBox::SetHover(bool v)
{
    if (v == Hover_)
        return;
    Hover_ = v;
    Hovered_ = -1;
    update();
}

void TAdvSmoothImageListBox::SetShowScrollBar(bool v)
{
    if (v == ShowScrollBar_)
        return;
    ShowScrollBar_ = v;
    Changed();
}

void TAdvSmoothImageListBox::SetShowFocus(bool v)
{
    if (v == ShowFocus_)
        return;
    ShowFocus_ = v;
    update();
}

void TAdvSmoothImageListBox::SetFocusColor(TColor v)
{
    if (v == FocusColor_)
        return;
    FocusColor_ = v;
    update();
}

void TAdvSmoothImageListBox::SetTextRendering(TAdvSmoothImageListBoxTextRendering v)
{
    if (v == TextRendering_)
        return;
    TextRendering_ = v;
    update();
}

// ---------------------------------------------------------------- change handling

void TAdvSmoothImageListBox::Changed()
{
    if (Items_.UpdateCount() > 0)
        return;
    UpdateLayout();
    update();
}

void TAdvSmoothImageListBox::AppearanceChanged()
{
    BackgroundsValid_ = false;
    Changed();
}

void TAdvSmoothImageListBox::ItemChanged(TAdvSmoothImageListBoxItem*)
{
    if (Items_.UpdateCount() > 0)
        return;
    // A change of visibility or kind moves the other items; anything else
    // only needs a repaint, but telling them apart costs more than a layout.
    UpdateLayout();
    update();
}

void TAdvSmoothImageListBox::ItemImageChanged(TAdvSmoothImageListBoxItem* item)
{
    // An image given directly gets its thumbnail here, on this thread. A
    // cleared image leaves the item to its file, if it has one.
    if (item->Image().Empty() || !item->Image().Measure()) {
        item->ClearThumbnail();
        item->SetLoadState(item->Location().isEmpty() ? lsNone : lsWaiting);
    } else {
        item->SetLoadState(lsWaiting);
        TThumbnailData thumb = MakeThumbnail(item->Image(), ThumbTarget());
        item->ClearThumbnail();
        item->StoreThumbnail(std::move(thumb));
    }
    if (Items_.UpdateCount() == 0) {
        UpdateLayout();
        update();
    }
}

void TAdvSmoothImageListBox::ItemsBeginUpdate()
{
    // The zoomed item may go with the change: it is put back at once.
    EndZoomAtOnce();
    // The loader must never see the collection while it changes.
    StopLoader();
}

void TAdvSmoothImageListBox::ItemsEndUpdate(bool outermost)
{
    if (outermost) {
        if (Selected_ >= Items_.Count())
            Selected_ = -1;
        if (FocusItem_ >= Items_.Count())
            FocusItem_ = -1;
        Hovered_ = -1;
        UpdateLayout();
        update();
    }
    StartLoader();
}

// ---------------------------------------------------------------- geometry

int TAdvSmoothImageListBox::HeaderHeight() const
{
    if (!Header_.Visible())
        return 0;
    const int border = Header_.Fill().BorderColor() != clNone ? Header_.Fill().BorderWidth() : 0;
    return Header_.Height() + border;
}

int TAdvSmoothImageListBox::FooterHeight() const
{
    if (!Footer_.Visible())
        return 0;
    const int border = Footer_.Fill().BorderColor() != clNone ? Footer_.Fill().BorderWidth() : 0;
    return Footer_.Height() + border;
}

QRect TAdvSmoothImageListBox::ControlRectangle() const
{
    return ControlRect(width(), height(), Fill_.BorderWidth(), Fill_.BorderColor() != clNone && !Transparent_);
}

QRectF TAdvSmoothImageListBox::HeaderRect() const
{
    return HeaderBand(ControlRectangle(), Fill_.ShadowOffset(), Header_.Height());
}

QRectF TAdvSmoothImageListBox::FooterRect() const
{
    return FooterBand(ControlRectangle(), Fill_.ShadowOffset(), Footer_.Height());
}

std::optional<QRectF> TAdvSmoothImageListBox::NavigatorRect(bool footer) const
{
    const TAdvSmoothImageListBoxHeader& band = footer ? static_cast<const TAdvSmoothImageListBoxHeader&>(Footer_)
                                                      : Header_;
    if (!band.Visible() || !band.Navigator().Visible())
        return std::nullopt;
    const TAdvSmoothImageListBoxNavigator& n = band.Navigator();
    return NavigatorStrip(footer ? FooterRect() : HeaderRect(), n.Size(), n.Location(), n.Left(), n.Top());
}

TLayoutInput TAdvSmoothImageListBox::LayoutInput() const
{
    TLayoutInput in;
    in.width = width();
    in.height = height();
    in.border = (Fill_.BorderColor() != clNone && !Transparent_) ? Fill_.BorderWidth() : 0;
    in.headerHeight = HeaderHeight();
    in.footerHeight = FooterHeight();
    in.shadow = Fill_.ShadowOffset();
    in.scrollBar = ScrollBarThickness();
    in.rows = Rows_;
    in.columns = Columns_;
    in.itemWidth = ItemAppearance_.ItemWidth();
    in.itemHeight = ItemAppearance_.ItemHeight();
    in.hSpacing = ItemAppearance_.ItemHorizontalSpacing();
    in.vSpacing = ItemAppearance_.ItemVerticalSpacing();
    in.autoSize = ItemAppearance_.AutoSize();
    in.splitterSize = ItemAppearance_.Splitter().Size();
    in.scrollPosition = Position_;
    in.items.reserve(size_t(Items_.Count()));
    for (int i = 0; i < Items_.Count(); ++i)
        in.items.push_back(
            {Items_[i]->Visible(), Items_[i]->Splitter(), Items_[i]->SplitterState() == stCollapsed});
    return in;
}

TThumbnailTarget TAdvSmoothImageListBox::ThumbTarget() const
{
    const QSizeF item = Layout_.itemSize.isEmpty()
                            ? QSizeF(ItemAppearance_.ItemWidth(), ItemAppearance_.ItemHeight())
                            : Layout_.itemSize;
    const QRectF r = ImageRect(QRectF(QPointF(0, 0), item), ItemAppearance_.Placement());
    return {r.width(), r.height(), ItemAppearance_.AspectRatio(), ItemAppearance_.Stretch()};
}

void TAdvSmoothImageListBox::UpdateLayout()
{
    Layout_ = Layout(LayoutInput());
    if (UpdateScrollBarVisibility())
        Layout_ = Layout(LayoutInput()); // the bar's thickness leaves or joins the item area
    if (!Layout_.scrollable && Position_ != 0) {
        Position_ = Target_ = 0;
        Layout_ = Layout(LayoutInput());
    }
    Target_ = ClampTarget(Target_, Layout_.largest);

    const TThumbnailTarget target = ThumbTarget();
    {
        std::lock_guard lock(Items_.SharedLock());
        for (int i = 0; i < Items_.Count(); ++i)
            Items_[i]->SetDisplayRect(QRectF());
        for (const TDisplayEntry& e : Layout_.entries)
            Items_[e.item]->SetDisplayRect(e.rect);
        Shared_.target = target;
    }
    Shared_.width.store(width());
    Shared_.height.store(height());
    Shared_.fixedGrid.store(Flow() == flFixedGrid);
    DropThumbnailsIfTargetGrew();

    HeaderState_ = {};
    FooterState_ = {};

    int first = -1;
    int last = -1;
    VisibleRange(first, last);
    Shared_.RequestRestart(first >= 0 ? Layout_.entries[size_t(first)].item : 0);
    SyncScrollBar();
}

void TAdvSmoothImageListBox::DropThumbnailsIfTargetGrew()
{
    // A thumbnail is made once at the size it is drawn. When the items grow
    // beyond the largest size a thumbnail was made for, pictures from files
    // are made again so they are not drawn blurred.
    const TThumbnailTarget t = ThumbTarget();
    if (RoundEven(t.width) <= RoundEven(LastTarget_.width) && RoundEven(t.height) <= RoundEven(LastTarget_.height) &&
        t.aspectRatio == LastTarget_.aspectRatio && t.stretch == LastTarget_.stretch) {
        LastTarget_ = t;
        return;
    }
    const bool first = LastTarget_.width == 0 && LastTarget_.height == 0;
    LastTarget_ = t;
    if (first)
        return;
    const bool running = Loader_ != nullptr;
    if (running)
        StopLoader();
    for (int i = 0; i < Items_.Count(); ++i) {
        TAdvSmoothImageListBoxItem* item = Items_[i];
        if (!item->Image().Empty())
            ItemImageChanged(item);
        else if (item->LoadState() == lsReady)
            item->SetLoadState(lsWaiting);
    }
    if (running)
        StartLoader();
}

int TAdvSmoothImageListBox::EntryOf(int item) const
{
    for (size_t k = 0; k < Layout_.entries.size(); ++k)
        if (Layout_.entries[k].item == item)
            return int(k);
    return -1;
}

std::vector<TEntryState> TAdvSmoothImageListBox::EntryStates() const
{
    std::vector<TEntryState> s;
    s.reserve(Layout_.entries.size());
    for (const TDisplayEntry& e : Layout_.entries)
        s.push_back({Items_[e.item]->Enabled(), e.splitter});
    return s;
}

void TAdvSmoothImageListBox::VisibleRange(int& first, int& last) const
{
    first = last = -1;
    for (size_t k = 0; k < Layout_.entries.size(); ++k) {
        const TDisplayEntry& e = Layout_.entries[k];
        if (e.splitter || !Items_[e.item]->Enabled())
            continue;
        if (!Layout_.itemArea.intersects(e.rect))
            continue;
        if (first < 0)
            first = int(k);
        last = int(k);
    }
}

int TAdvSmoothImageListBox::ItemAt(QPointF p) const
{
    const int k = HitTest(Layout_.entries, EntryStates(), Layout_.itemArea, p);
    return k < 0 ? -1 : Layout_.entries[size_t(k)].item;
}

void TAdvSmoothImageListBox::ScrollIntoView(int item)
{
    const int k = EntryOf(item);
    if (k < 0)
        return;
    const int pos = lumora::ScrollIntoView(Flow(), Layout_.entries[size_t(k)].rect, Position_, Layout_.largest,
                                           width(), height(), HeaderHeight(), FooterHeight(),
                                           ItemAppearance_.ItemHorizontalSpacing(),
                                           ItemAppearance_.ItemVerticalSpacing());
    Position_ = Target_ = pos;
    UpdateLayout();
}

void TAdvSmoothImageListBox::SetPosition(int position)
{
    Position_ = Layout_.scrollable ? ClampPosition(position, Layout_.largest) : 0;
}

// ---------------------------------------------------------------- animation and loader

void TAdvSmoothImageListBox::SetAnimating(bool on)
{
    Animating_ = on;
    Shared_.animating.store(on);
    AnimationTimer_.SetEnabled(on);
}

void TAdvSmoothImageListBox::AnimationTick()
{
    for (const TDisplayEntry& e : Layout_.entries) {
        if (IntersectsControl(e.rect, width(), height()) && Items_[e.item]->LoadState() == lsWaiting) {
            SpeedFactor_ = 0.5;
            break;
        }
    }
    const int before = Position_;
    const TAnimationStep s = AnimationStep(Position_, Target_, SpeedFactor_, AnimationFactor_);
    SetPosition(s.position);
    if (s.stop || Position_ == before) {
        // Clear the flag first: the layout below wakes the loader, which
        // must see that the view stands still.
        SetAnimating(false);
        ScrollRequest_ = false;
    }
    if (Position_ != before || !Animating_) {
        UpdateLayout();
        update();
        Fire(OnScroll, this, Position_);
    }
}

void TAdvSmoothImageListBox::StartLoader()
{
    if (!WindowCreated_ || Loader_ || Destroying_ || Items_.UpdateCount() > 0 || Flow() == flFixedGrid)
        return;
    Loader_ = std::make_unique<TImageLoaderThread>(Items_, Shared_, [this] { RequestRepaintFromLoader(); });
    Loader_->start(QThread::IdlePriority);
}

void TAdvSmoothImageListBox::StopLoader()
{
    if (Loader_) {
        // Waits for the thread function to return. The loader's only way to
        // this thread is a queued repaint bound to this widget; Qt drops such
        // calls with the widget, so nothing stays queued for a freed thread.
        Loader_->Stop();
        Loader_.reset();
    }
    Shared_.ClearRestart();
}

void TAdvSmoothImageListBox::RequestRepaintFromLoader()
{
    // Loader thread. At most one repaint request is queued at a time.
    if (RepaintPending_.exchange(true))
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            RepaintPending_.store(false);
            update();
        },
        Qt::QueuedConnection);
}

// ---------------------------------------------------------------- operations

void TAdvSmoothImageListBox::AddImagesFromLocation(const QString& pattern, bool showCaptions)
{
    AddImages(FindFiles(pattern), showCaptions);
}

void TAdvSmoothImageListBox::AddImages(const std::vector<TFoundFile>& files, bool showCaptions)
{
    Items_.BeginUpdate();
    for (const TFoundFile& file : files) {
        TAdvSmoothImageListBoxItem* item = Items_.Add();
        item->SetLocation(file.Path);
        item->SetFileName(file.Name);
        item->SetFileSize(file.Size);
        item->SetFileDate(file.Modified);
        item->SetLoadState(lsWaiting);
        if (showCaptions) {
            item->Caption().SetText(file.Name);
            item->Caption().SetLocation(cpCenterCenter);
        }
    }
    if (showCaptions)
        ItemAppearance_.SetTextVisible(true);
    Items_.EndUpdate();
}

void TAdvSmoothImageListBox::KeyNavigate(TNavKey key)
{
    if (Layout_.entries.empty())
        return;
    if (MultiSelect_) {
        // A move without modifiers: the new item becomes the only one marked,
        // exactly as a plain arrow key does.
        NavigationKey(key, Qt::NoModifier);
        return;
    }
    int first = -1;
    int last = -1;
    VisibleRange(first, last);
    const int k = NavigateIndex(key, EntryOf(Selected_), EntryStates(), Flow(), Rows_, Columns_, first, last);
    if (k < 0)
        return;
    const int item = Layout_.entries[size_t(k)].item;
    SetSelectedItemIndex(item);
    Fire(OnItemSelect, this, item);
    ScrollIntoView(item);
    update();
}

void TAdvSmoothImageListBox::Navigate(TAdvSmoothImageListBoxNavigationMode mode)
{
    bool allow = true;
    Fire(OnNavigate, this, mode, allow);
    if (!allow || !NavigationMoves(mode))
        return;
    const bool sideways = Flow() != flDownwards;
    switch (mode) {
    case nmPriorPage: KeyNavigate(nkPageUp); break;
    case nmPrior: KeyNavigate(sideways ? nkUp : nkLeft); break;
    case nmNext: KeyNavigate(sideways ? nkDown : nkRight); break;
    case nmNextPage: KeyNavigate(nkPageDown); break;
    case nmNone: break;
    }
}

bool TAdvSmoothImageListBox::NavigationMoves(TAdvSmoothImageListBoxNavigationMode mode) const
{
    int n = 0;
    for (const TDisplayEntry& e : Layout_.entries)
        n += e.splitter ? 0 : 1;
    switch (mode) {
    case nmPriorPage:
    case nmPrior: return Selected_ > 0;
    case nmNext:
    case nmNextPage: return Selected_ < n - 1;
    case nmNone: break;
    }
    return false;
}

// ---------------------------------------------------------------- window and focus

void TAdvSmoothImageListBox::showEvent(QShowEvent* event)
{
    TCustomControl::showEvent(event);
    if (!WindowCreated_) {
        // The first showing creates the window: a fresh loader starts.
        WindowCreated_ = true;
        StopLoader();
        UpdateLayout();
        StartLoader();
    }
}

void TAdvSmoothImageListBox::resizeEvent(QResizeEvent* event)
{
    TCustomControl::resizeEvent(event);
    if (Items_.UpdateCount() == 0)
        UpdateLayout();
}

void TAdvSmoothImageListBox::focusInEvent(QFocusEvent* event)
{
    TCustomControl::focusInEvent(event);
    update();
}

void TAdvSmoothImageListBox::focusOutEvent(QFocusEvent* event)
{
    TCustomControl::focusOutEvent(event);
    update();
}

bool TAdvSmoothImageListBox::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        QString hint;
        for (bool footer : {false, true}) {
            if (const auto strip = NavigatorRect(footer)) {
                const TAdvSmoothImageListBoxNavigator& n = footer ? Footer_.Navigator() : Header_.Navigator();
                const int j = NavigatorButtonAt(*strip, n.Size(), help->pos());
                if (j >= 0)
                    hint = n.Hint(j);
            }
        }
        if (hint.isEmpty()) {
            const int item = ItemAt(help->pos());
            if (item >= 0) {
                hint = Items_[item]->Hint();
                Fire(OnItemHint, this, item, hint);
            }
        }
        if (hint.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), hint, this);
        return true;
    }
    return TCustomControl::event(event);
}

// ---------------------------------------------------------------- mouse

void TAdvSmoothImageListBox::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    if (Zoom_.item >= 0)
        return; // the zoomed picture covers the items; a double click zooms out
    const QPointF p = event->position();
    MouseDown_ = true;
    FlickPending_ = false;
    DownCoord_ = LastCoord_ = Axis(p);
    DownTime_ = QDateTime::currentMSecsSinceEpoch();
    const int item = ItemAt(p);
    if (item >= 0)
        Fire(OnItemMouseDown, this, item);
    PressForDrag(item);
    for (bool footer : {false, true}) {
        BandState& s = footer ? FooterState_ : HeaderState_;
        s.pressed = -1;
        if (const auto strip = NavigatorRect(footer))
            s.pressed = NavigatorButtonAt(*strip, (footer ? Footer_ : Header_).Navigator().Size(), p);
    }
    PressCaptionOrExpander(p);
    update();
}

void TAdvSmoothImageListBox::mouseMoveEvent(QMouseEvent* event)
{
    if (Zoom_.item >= 0)
        return;
    const QPointF p = event->position();
    const int coord = Axis(p);
    if (MouseDown_ && (event->buttons() & Qt::LeftButton || event->buttons() & Qt::RightButton ||
                       event->buttons() & Qt::MiddleButton)) {
        if (std::abs(coord - LastCoord_) > 2) {
            if (MoveForDrag())
                return;
            SpeedFactor_ = 4;
            SetAnimating(false);
            Hovered_ = -1;
            SetPosition(Position_ - (coord - LastCoord_));
            LastCoord_ = coord;
            Target_ = ClampTarget(Position_, Layout_.largest);
            UpdateLayout();
            update();
            Fire(OnScroll, this, Position_);
        }
        return;
    }
    if (FlickPending_) {
        // The first move after a short press and release throws the content.
        FlickPending_ = false;
        if (PressDuration_ > 0 && PressDuration_ <= 500) {
            const double distance = coord - DownCoord_;
            SpeedFactor_ = std::fabs(distance) / double(PressDuration_);
            Target_ = ClampTarget(Target_ - RoundEven(distance * SpeedFactor_), Layout_.largest);
            SetAnimating(true);
        }
    }
    const bool navChanged = UpdateNavigatorHover(p);
    UpdateHover(p);
    UpdateAnchorCursor(p);
    if (navChanged)
        update();
}

void TAdvSmoothImageListBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (!MouseDown_)
        return;
    MouseDown_ = false;
    const QPointF p = event->position();
    const int coord = Axis(p);
    PressDuration_ = QDateTime::currentMSecsSinceEpoch() - DownTime_;
    const int item = ItemAt(p);
    if (item >= 0)
        Fire(OnItemMouseUp, this, item);
    if (ReleaseForDrag()) {
        HeaderState_.pressed = FooterState_.pressed = -1;
        update();
        return;
    }

    if (std::abs(coord - DownCoord_) < 2) {
        int navButton = -1;
        for (bool footer : {false, true}) {
            const BandState& s = footer ? FooterState_ : HeaderState_;
            if (s.pressed >= 0)
                navButton = s.pressed;
        }
        HeaderState_.pressed = FooterState_.pressed = -1;
        if (navButton >= 0) {
            static constexpr TAdvSmoothImageListBoxNavigationMode modes[] = {nmPriorPage, nmPrior, nmNext,
                                                                             nmNextPage};
            Navigate(modes[navButton]);
        } else if (ClickCaptionOrExpander(p)) {
            // An anchor or a splitter expander took the click.
        } else if (MultiSelect_) {
            ClickSelect(item, event->modifiers());
            if (item >= 0)
                Fire(OnItemClick, this, item, ShiftStateOf(event->modifiers(), event->buttons()),
                     ButtonOf(event->button()));
            if (item >= 0 && Selected_ == item)
                Fire(OnItemSelect, this, Selected_);
        } else {
            SetSelectedItemIndex(item);
            if (item >= 0 && Selected_ == item) {
                Fire(OnItemClick, this, item, ShiftStateOf(event->modifiers(), event->buttons()),
                     ButtonOf(event->button()));
                Fire(OnItemSelect, this, Selected_);
            }
        }
    } else {
        SpeedFactor_ = 4;
        HeaderState_.pressed = FooterState_.pressed = -1;
        ReleaseCaptionOrExpander();
    }
    if (PressDuration_ > 0) {
        // Carries an overscrolled view back and lets a following move flick.
        FlickPending_ = true;
        Target_ = ClampTarget(Target_, Layout_.largest);
        SetAnimating(true);
    }
    update();
}

void TAdvSmoothImageListBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (Zoom_.item >= 0) {
        ZoomOut();
        return;
    }
    const int item = ItemAt(event->position());
    if (item >= 0)
        Fire(OnItemDblClick, this, item);
    mousePressEvent(event);
    if (item >= 0 && ZoomOnDblClick_ && event->button() == Qt::LeftButton) {
        // The release that ends this double click must not act as a click
        // on the items under the zoomed picture.
        MouseDown_ = false;
        ZoomIn(item);
    }
}

void TAdvSmoothImageListBox::wheelEvent(QWheelEvent* event)
{
    const int delta = event->angleDelta().y() != 0 ? event->angleDelta().y() : event->angleDelta().x();
    if (delta == 0)
        return;
    const QSizeF item = Layout_.itemSize;
    const int step = RoundEven(Flow() == flDownwards ? item.height() : item.width());
    Target_ = ClampTarget(Target_ + (delta < 0 ? step : -step), Layout_.largest);
    SpeedFactor_ = AnimationFactor_;
    SetAnimating(true);
    event->accept();
}

void TAdvSmoothImageListBox::leaveEvent(QEvent* event)
{
    TCustomControl::leaveEvent(event);
    if (Hovered_ >= 0 && Hovered_ < Items_.Count())
        Fire(OnItemMouseLeave, this, Hovered_);
    Hovered_ = -1;
    HeaderState_.hovered = FooterState_.hovered = -1;
    update();
}

void TAdvSmoothImageListBox::UpdateHover(QPointF p)
{
    if (!Hover_ || Animating_)
        return;
    const int item = ItemAt(p);
    if (item == Hovered_)
        return;
    if (Hovered_ >= 0 && Hovered_ < Items_.Count())
        Fire(OnItemMouseLeave, this, Hovered_);
    Hovered_ = item;
    if (item >= 0)
        Fire(OnItemMouseEnter, this, item);
    update();
}

bool TAdvSmoothImageListBox::UpdateNavigatorHover(QPointF p)
{
    bool changed = false;
    for (bool footer : {false, true}) {
        BandState& s = footer ? FooterState_ : HeaderState_;
        int j = -1;
        if (const auto strip = NavigatorRect(footer))
            j = NavigatorButtonAt(*strip, (footer ? Footer_ : Header_).Navigator().Size(), p);
        if (j != s.hovered) {
            s.hovered = j;
            changed = true;
        }
    }
    return changed;
}

// ---------------------------------------------------------------- keys

void TAdvSmoothImageListBox::keyPressEvent(QKeyEvent* event)
{
    int key = event->key();
    Fire(OnKeyDown, this, key, ShiftStateOf(event->modifiers()));
    static const std::pair<int, TNavKey> keys[] = {
        {Qt::Key_Home, nkHome}, {Qt::Key_End, nkEnd},   {Qt::Key_PageUp, nkPageUp}, {Qt::Key_PageDown, nkPageDown},
        {Qt::Key_Left, nkLeft}, {Qt::Key_Right, nkRight}, {Qt::Key_Up, nkUp},         {Qt::Key_Down, nkDown},
    };
    if (key != 0 && !Layout_.entries.empty() && focusPolicy() != Qt::NoFocus && !LookUpKey(event) &&
        !ZoomKey(event) && !SelectionKey(event)) {
        for (const auto& [code, nav] : keys) {
            if (code == key) {
                NavigationKey(nav, event->modifiers());
                break;
            }
        }
    }
    // The character keys follow as a key press, the way the window system
    // sends a character message after the key-down.
    QChar ch;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        ch = QChar('\r');
    else if (event->key() == Qt::Key_Escape)
        ch = QChar(27);
    else if (!event->text().isEmpty())
        ch = event->text().at(0);
    if (!ch.isNull())
        Fire(OnKeyPress, this, ch);
    event->accept();
}

} // namespace lumora
