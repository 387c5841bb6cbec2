// The list box's scroll bar child. It lies along the scroll axis: a
// horizontal bar under the items (above the footer) when the grid flows
// sideways, a vertical bar at the right of the items when it flows downwards,
// so that dragging it moves the content the way it scrolls. It shows only
// with ShowScrollBar on and something to scroll; while it shows, its
// thickness is taken off the item area so it never covers an item.

#include "controls/imagelist/AdvSmoothImageListBox.h"

#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>

#include <algorithm>

namespace lumora {

namespace {

// A click on an arrow moves the content by 20 pixels, a click in the trough by 40.
constexpr int kScrollBarSmallChange = 20;
constexpr int kScrollBarLargeChange = 40;

Qt::Orientation OrientationOf(TFlow flow)
{
    return flow == flDownwards ? Qt::Vertical : Qt::Horizontal;
}

int Extent(const QScrollBar* bar)
{
    return bar->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, bar);
}

} // namespace

void TAdvSmoothImageListBox::CreateScrollBar()
{
    ScrollBar_ = new QScrollBar(OrientationOf(Flow()), this);
    ScrollBar_->setObjectName(QStringLiteral("ScrollBar"));
    ScrollBar_->setFocusPolicy(Qt::NoFocus);
    ScrollBar_->setSingleStep(kScrollBarSmallChange);
    ScrollBar_->hide();
    QObject::connect(ScrollBar_, &QScrollBar::valueChanged, this, [this](int v) { ScrollBarMoved(v); });
}

int TAdvSmoothImageListBox::ScrollBarThickness() const
{
    return ScrollBar_ && ScrollBarShown_ ? Extent(ScrollBar_) : 0;
}

bool TAdvSmoothImageListBox::UpdateScrollBarVisibility()
{
    const bool shown = ScrollBar_ && ShowScrollBar_ && Layout_.scrollable && Flow() != flFixedGrid;
    if (shown == ScrollBarShown_)
        return false;
    ScrollBarShown_ = shown;
    return true;
}

void TAdvSmoothImageListBox::SyncScrollBar()
{
    if (!ScrollBar_)
        return;
    // A child always draws over its parent: while an item zoomed on top of
    // everything shows, the bar steps aside (keeping its room in the layout).
    if (!ScrollBarShown_ || (ZoomOnTop_ && Zoom_.item >= 0)) {
        if (!ScrollBar_->isHidden())
            ScrollBar_->hide();
        return;
    }
    const Qt::Orientation o = OrientationOf(Flow());
    const QRectF a = Layout_.itemArea;
    const int t = Extent(ScrollBar_);
    const QRect geometry = o == Qt::Horizontal
                               ? QRect(qRound(a.left()), qRound(a.bottom()), qRound(a.width()), t)
                               : QRect(qRound(a.right()), qRound(a.top()), t, qRound(a.height()));
    {
        // The bar follows the content here; only the user's own moves of
        // the bar come back through ScrollBarMoved.
        const QSignalBlocker block(ScrollBar_);
        if (ScrollBar_->orientation() != o)
            ScrollBar_->setOrientation(o);
        ScrollBar_->setRange(0, Layout_.largest);
        ScrollBar_->setPageStep(kScrollBarLargeChange);
        ScrollBar_->setValue(std::clamp(Position_, 0, Layout_.largest));
    }
    if (ScrollBar_->geometry() != geometry)
        ScrollBar_->setGeometry(geometry);
    if (ScrollBar_->isHidden())
        ScrollBar_->show();
}

void TAdvSmoothImageListBox::ScrollBarMoved(int value)
{
    if (value == Position_)
        return;
    SpeedFactor_ = 4;
    SetAnimating(false);
    ScrollRequest_ = false;
    Position_ = Target_ = ClampTarget(value, Layout_.largest);
    UpdateLayout();
    update();
    Fire(OnScroll, this, Position_);
}

} // namespace lumora
