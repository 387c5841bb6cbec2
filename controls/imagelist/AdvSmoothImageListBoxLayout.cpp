#include "controls/imagelist/AdvSmoothImageListBoxLayout.h"

#include <QLineF>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace lumora {

int RoundEven(double v)
{
    return int(std::nearbyint(v)); // the default rounding mode rounds halves to even
}

std::int64_t MulDivRound(std::int64_t a, std::int64_t b, std::int64_t c)
{
    if (c == 0)
        return 0;
    const std::int64_t p = a * b;
    std::int64_t q = p / c;
    const std::int64_t r = p % c;
    if (2 * std::llabs(r) >= std::llabs(c))
        q += ((p < 0) != (c < 0)) ? -1 : 1;
    return q;
}

// ---------------------------------------------------------------- thumbnails

QSize ThumbnailSize(double w, double h, double tw, double th, bool aspectRatio, TImageStretch stretch)
{
    if (!aspectRatio)
        return {RoundEven(tw), RoundEven(th)};
    // NaN-safe: anything not positive gives no thumbnail.
    if (!(w > 0 && h > 0 && tw > 0 && th > 0))
        return {0, 0};
    if (stretch == isShrinkOnly && tw > w && th > h)
        return {RoundEven(w), RoundEven(h)};
    const std::int64_t rw = RoundEven(w);
    const std::int64_t rh = RoundEven(h);
    // A picture narrower than half a pixel rounds to 0: no ratio to keep.
    if (rw <= 0 || rh <= 0)
        return {0, 0};
    if (tw / th > w / h) {
        const int height = RoundEven(th);
        return {int(MulDivRound(height, rw, rh)), height};
    }
    const int width = RoundEven(tw);
    return {width, int(MulDivRound(width, rh, rw))};
}

QRectF ImageRect(const QRectF& item, const TItemPlacement& s)
{
    QRectF r;
    switch (s.imageAlign) {
    case laClient:
    case laNone:
        r = QRectF(item.x() + s.imageMargin.Left, item.y() + s.imageMargin.Top,
                   item.width() - s.imageMargin.Left - s.imageMargin.Right - 1,
                   item.height() - s.imageMargin.Top - s.imageMargin.Bottom - 1);
        break;
    case laTop:
        r = QRectF(item.x() + (item.width() - s.imageCustom.width()) / 2, item.y() + s.imageMargin.Top,
                   s.imageCustom.width(), s.imageCustom.height());
        break;
    case laBottom:
        r = QRectF(item.x() + (item.width() - s.imageCustom.width()) / 2,
                   item.bottom() - s.imageMargin.Bottom - s.imageCustom.height(), s.imageCustom.width(),
                   s.imageCustom.height());
        break;
    case laLeft:
        r = QRectF(item.x() + s.imageMargin.Left, item.y() + (item.height() - s.imageCustom.height()) / 2,
                   s.imageCustom.width(), s.imageCustom.height());
        break;
    case laRight:
        r = QRectF(item.right() - s.imageMargin.Right - s.imageCustom.width(),
                   item.y() + (item.height() - s.imageCustom.height()) / 2, s.imageCustom.width(),
                   s.imageCustom.height());
        break;
    case laCustom:
        r = s.imageCustom.translated(item.topLeft());
        break;
    }
    if (s.textVisible && (s.imageAlign == laClient || s.imageAlign == laNone)) {
        const double band = (s.textAlign == laTop || s.textAlign == laBottom)
                                ? s.textMargin.Top + s.textHeight + s.textMargin.Bottom
                                : s.textMargin.Left + s.textWidth + s.textMargin.Right;
        switch (s.textAlign) {
        case laTop: r.setTop(r.top() + band); break;
        case laBottom: r.setBottom(r.bottom() - band); break;
        case laLeft: r.setLeft(r.left() + band); break;
        case laRight: r.setRight(r.right() - band); break;
        default: break;
        }
    }
    return r;
}

QRectF FitCentred(const QRectF& imageRect, QSize thumb, bool aspectRatio, TImageStretch stretch)
{
    const QSize s = ThumbnailSize(thumb.width(), thumb.height(), imageRect.width(), imageRect.height(), aspectRatio,
                                  stretch);
    return QRectF(imageRect.x() + (imageRect.width() - s.width()) / 2,
                  imageRect.y() + (imageRect.height() - s.height()) / 2, s.width(), s.height());
}

// ---------------------------------------------------------------- layout

TFlow FlowOf(int rows, int columns)
{
    if (rows != 0 && columns != 0)
        return flFixedGrid;
    return columns == 0 ? flSideways : flDownwards;
}

QRectF ItemArea(const TLayoutInput& in)
{
    const TFlow flow = FlowOf(in.rows, in.columns);
    double left = in.border;
    double top = in.border + in.headerHeight;
    double right = in.width - in.border - in.shadow;
    double bottom = in.height - in.border - in.footerHeight - in.shadow;
    if (flow == flDownwards)
        right -= in.scrollBar;
    else if (flow == flSideways)
        bottom -= in.scrollBar;
    return QRectF(left, top, std::max(0.0, right - left), std::max(0.0, bottom - top));
}

QSizeF EffectiveItemSize(const TLayoutInput& in)
{
    const QRectF area = ItemArea(in);
    double w = in.itemWidth;
    double h = in.itemHeight;
    if (in.autoSize && in.columns > 0) {
        const double a = (area.width() - in.hSpacing - in.columns * in.hSpacing) / in.columns;
        w = std::min<double>(RoundEven(a), in.itemWidth);
    }
    if (in.autoSize && in.rows > 0) {
        const double a = (area.height() - in.vSpacing - in.rows * in.vSpacing) / in.rows;
        h = std::min<double>(RoundEven(a), in.itemHeight);
    }
    return {std::max(0.0, w), std::max(0.0, h)};
}

namespace {

// One flow written once: `along` is the axis items fill first (y for the
// sideways flow), `across` the axis that grows per line and scrolls.
struct Axes {
    bool sideways;
    double& along(QPointF& p) const { return sideways ? p.ry() : p.rx(); }
    double& across(QPointF& p) const { return sideways ? p.rx() : p.ry(); }
    double along(QSizeF s) const { return sideways ? s.height() : s.width(); }
    double across(QSizeF s) const { return sideways ? s.width() : s.height(); }
};

TLayoutResult FixedGrid(const TLayoutInput& in, TLayoutResult res)
{
    const QRectF area = res.itemArea;
    const double cellW = area.width() / in.columns;
    const double cellH = area.height() / in.rows;
    const std::vector<bool> shown = ShownItems(in.items);
    int n = 0;
    for (int i = 0; i < int(in.items.size()); ++i) {
        if (!shown[size_t(i)])
            continue;
        if (n >= in.rows * in.columns)
            break;
        const int r = n / in.columns;
        const int c = n % in.columns;
        const QRectF cell(area.x() + c * cellW, area.y() + r * cellH, cellW, cellH);
        const double w = std::max(0.0, std::min(res.itemSize.width(), cellW - in.hSpacing));
        const double h = std::max(0.0, std::min(res.itemSize.height(), cellH - in.vSpacing));
        res.entries.push_back(
            {i, QRectF(cell.center().x() - w / 2, cell.center().y() - h / 2, w, h), in.items[size_t(i)].splitter});
        ++n;
    }
    return res;
}

} // namespace

std::vector<bool> ShownItems(const std::vector<TLayoutEntryInput>& items)
{
    std::vector<bool> shown(items.size(), false);
    bool folded = false;
    for (size_t i = 0; i < items.size(); ++i) {
        const TLayoutEntryInput& e = items[i];
        if (!e.visible)
            continue;
        if (e.splitter) {
            folded = e.collapsed;
            shown[i] = true;
        } else {
            shown[i] = !folded;
        }
    }
    return shown;
}

TLayoutResult Layout(const TLayoutInput& in)
{
    TLayoutResult res;
    res.itemArea = ItemArea(in);
    res.itemSize = EffectiveItemSize(in);
    const TFlow flow = FlowOf(in.rows, in.columns);
    if (flow == flFixedGrid)
        return FixedGrid(in, std::move(res));

    const Axes ax{flow == flSideways};
    const int perLine = std::max(1, ax.sideways ? in.rows : in.columns);
    const QSizeF item = res.itemSize;
    const QSizeF spacing(in.hSpacing, in.vSpacing);
    const QPointF start(in.border + in.hSpacing, in.border + in.headerHeight + in.vSpacing);

    QPointF p = start;
    ax.across(p) -= in.scrollPosition;
    const double alongStart = ax.along(p);
    int inLine = 0;
    int lines = 0;
    double lastAcross = ax.across(p);
    bool any = false;

    const std::vector<bool> shown = ShownItems(in.items);
    for (int i = 0; i < int(in.items.size()); ++i) {
        const TLayoutEntryInput& entryInput = in.items[size_t(i)];
        if (!shown[size_t(i)])
            continue;
        if (entryInput.splitter) {
            // A splitter ends the current line and takes a band of its own.
            if (inLine > 0) {
                ax.across(p) += ax.across(item) + ax.across(spacing);
                ax.along(p) = alongStart;
                inLine = 0;
            }
            QSizeF band = ax.sideways ? QSizeF(in.splitterSize, res.itemArea.height() - 2 * in.vSpacing)
                                      : QSizeF(res.itemArea.width() - 2 * in.hSpacing, in.splitterSize);
            res.entries.push_back({i, QRectF(p, band), true});
            lastAcross = ax.across(p);
            ax.across(p) += ax.across(band) + ax.across(spacing);
            any = true;
            ++lines;
            continue;
        }
        if (inLine == 0)
            ++lines;
        res.entries.push_back({i, QRectF(p, item), false});
        lastAcross = ax.across(p);
        any = true;
        ax.along(p) += ax.along(item) + ax.along(spacing);
        if (++inLine == perLine) {
            inLine = 0;
            ax.along(p) = alongStart;
            ax.across(p) += ax.across(item) + ax.across(spacing);
        }
    }

    if (any) {
        const double spacingAcross = ax.across(spacing);
        int largest = ax.sideways
                          ? RoundEven(item.width() + lastAcross + in.scrollPosition + spacingAcross) + in.shadow -
                                in.width
                          : RoundEven(item.height() + lastAcross + in.scrollPosition + spacingAcross) +
                                in.footerHeight + in.shadow - in.height;
        res.largest = std::max(0, largest);
    }
    res.scrollable = res.largest > 0 && lines > 1;
    if (!res.scrollable)
        res.largest = 0;
    return res;
}

// ---------------------------------------------------------------- scrolling

int ClampPosition(int position, int largest)
{
    return std::clamp(position, -kOverscroll, largest + kOverscroll);
}

int ClampTarget(int target, int largest)
{
    return std::clamp(target, 0, std::max(0, largest));
}

TAnimationStep AnimationStep(int position, int target, double speedFactor, int animationFactor)
{
    const int diff = std::abs(target - position);
    if (diff < 1)
        return {target, true};
    const double divisor = std::max(std::fabs(speedFactor) * animationFactor, 1.0);
    const int step = std::max(RoundEven(diff / divisor), 1);
    return {target > position ? position + step : position - step, false};
}

int ScrollIntoView(TFlow flow, const QRectF& entryRect, int position, int largest, int width, int height,
                   int headerHeight, int footerHeight, int hSpacing, int vSpacing)
{
    int pos = position;
    if (flow == flSideways) {
        const double left = entryRect.left() + position;
        const double right = entryRect.right() + position;
        if (right > position + width)
            pos = RoundEven(right - width + hSpacing);
        else if (left < position)
            pos = RoundEven(left - hSpacing);
    } else if (flow == flDownwards) {
        const double top = entryRect.top() + position;
        const double bottom = entryRect.bottom() + position;
        if (bottom > position + height - footerHeight)
            pos = RoundEven(bottom - height + footerHeight + vSpacing);
        else if (top < position + headerHeight)
            pos = RoundEven(top - headerHeight - vSpacing);
    }
    return ClampTarget(pos, largest);
}

bool IntersectsControl(const QRectF& r, int width, int height)
{
    return -r.width() < r.x() && r.x() < width && -r.height() < r.y() && r.y() < height;
}

// ---------------------------------------------------------------- hit test and keys

int HitTest(const std::vector<TDisplayEntry>& entries, const std::vector<TEntryState>& states,
            const QRectF& itemArea, QPointF p)
{
    if (!itemArea.contains(p))
        return -1;
    for (size_t k = 0; k < entries.size(); ++k) {
        if (k >= states.size() || !states[k].enabled || states[k].splitter)
            continue;
        if (QRectF(entries[k].rect.toRect()).contains(p))
            return int(k);
    }
    return -1;
}

int NavigateIndex(TNavKey key, int current, const std::vector<TEntryState>& states, TFlow flow, int rows,
                  int columns, int firstVisible, int lastVisible)
{
    const int n = int(states.size());
    if (n == 0)
        return current;
    const bool sideways = flow != flDownwards;
    const int valid = std::clamp(current, 0, n - 1);
    int wanted = valid;
    int dir = 1;
    auto stepBy = [&](int by) {
        dir = by < 0 ? -1 : 1;
        return (current >= 0 && valid + by >= 0 && valid + by < n) ? valid + by : valid;
    };
    switch (key) {
    case nkHome: wanted = 0; dir = 1; break;
    case nkEnd: wanted = n - 1; dir = -1; break;
    case nkPageUp: wanted = firstVisible >= 0 ? firstVisible - 1 : valid; dir = -1; break;
    case nkPageDown: wanted = lastVisible >= 0 ? lastVisible + 1 : valid; dir = 1; break;
    case nkLeft: wanted = sideways ? stepBy(-std::max(1, rows)) : stepBy(-1); dir = -1; break;
    case nkRight: wanted = sideways ? stepBy(std::max(1, rows)) : stepBy(1); dir = 1; break;
    case nkUp: wanted = sideways ? stepBy(-1) : stepBy(-std::max(1, columns)); dir = -1; break;
    case nkDown: wanted = sideways ? stepBy(1) : stepBy(std::max(1, columns)); dir = 1; break;
    }
    if (current < 0 && (key == nkLeft || key == nkUp || key == nkRight || key == nkDown))
        wanted = 0;
    wanted = std::clamp(wanted, 0, n - 1);
    auto usable = [&](int i) { return states[size_t(i)].enabled && !states[size_t(i)].splitter; };
    for (int i = wanted; i >= 0 && i < n; i += dir)
        if (usable(i))
            return i;
    // Nothing in the direction of travel: look the other way before giving up.
    for (int i = wanted; i >= 0 && i < n; i -= dir)
        if (usable(i))
            return i;
    return current;
}

// ---------------------------------------------------------------- bands and navigator

QRect ControlRect(int width, int height, int borderWidth, bool hasBorder)
{
    QRect r(QPoint(0, 0), QPoint(width - 1, height - 1));
    if (hasBorder) {
        const int inset = (borderWidth + 1) / 2;
        r.adjust(inset, inset, -inset, -inset);
    }
    return r;
}

QRectF HeaderBand(const QRect& c, int shadow, int height)
{
    return QRectF(c.left(), c.top(), c.width() - 1 - shadow, height);
}

QRectF FooterBand(const QRect& c, int shadow, int height)
{
    return QRectF(c.left(), c.bottom() - height - shadow, c.width() - 1 - shadow, height);
}

QRectF PlaceIn(const QRectF& bounds, QSizeF size, TAdvSmoothImageListBoxLocation location)
{
    const int w = RoundEven(size.width());
    const int h = RoundEven(size.height());
    const int fw = RoundEven(bounds.width()) - w;
    const int fh = RoundEven(bounds.height()) - h;
    int dx = 0;
    int dy = 0;
    switch (location) {
    case cpTopLeft: break;
    case cpTopCenter: dx = fw / 2; break;
    case cpTopRight: dx = fw; break;
    case cpCenterLeft: dy = fh / 2; break;
    case cpCenterCenter: dx = fw / 2; dy = fh / 2; break;
    case cpCenterRight: dx = fw; dy = fh / 2; break;
    case cpBottomLeft: dy = fh; break;
    case cpBottomCenter: dx = fw / 2; dy = fh; break;
    case cpBottomRight: dx = fw; dy = fh; break;
    case cpCustom: break;
    }
    return QRectF(bounds.x() + dx, bounds.y() + dy, size.width(), size.height());
}

QRectF NavigatorStrip(const QRectF& band, int size, TAdvSmoothImageListBoxLocation location, int left, int top)
{
    const QSizeF strip(4 * size + 12, size);
    if (location == cpCustom)
        return QRectF(QPointF(band.x() + left, band.y() + top), strip);
    QRectF r = PlaceIn(band, strip, location);
    switch (location) {
    case cpTopLeft: case cpTopCenter: case cpTopRight: r.translate(0, 3); break;
    case cpBottomLeft: case cpBottomCenter: case cpBottomRight: r.translate(0, -3); break;
    default: break;
    }
    if (location == cpTopLeft || location == cpCenterLeft || location == cpBottomLeft)
        r.translate(3, 0);
    return r;
}

QRectF NavigatorButton(const QRectF& strip, int size, int j)
{
    return QRectF(strip.x() + j * (size + 3), strip.y(), size, size);
}

int NavigatorButtonAt(const QRectF& strip, int size, QPointF p)
{
    for (int j = 0; j < 4; ++j)
        if (NavigatorButton(strip, size, j).contains(p))
            return j;
    return -1;
}

QRectF CaptionRect(const QRectF& band, QSizeF textSize, TAdvSmoothImageListBoxLocation location, int left, int top,
                   const QRectF* strip, TAdvSmoothImageListBoxLocation navigatorLocation)
{
    if (location == cpCustom)
        return QRectF(QPointF(band.x() + left, band.y() + top), textSize);
    QRectF r = PlaceIn(band, textSize, location);
    constexpr double gap = 5;
    if (strip && navigatorLocation == location) {
        const bool leftColumn = location == cpTopLeft || location == cpCenterLeft || location == cpBottomLeft;
        if (leftColumn)
            r.moveLeft(strip->right() + gap);
        else
            r.moveRight(strip->left() - gap);
    } else if (strip && r.top() < strip->bottom() && r.bottom() > strip->top() && r.left() < strip->right() + gap &&
               r.right() > strip->left() - gap) {
        // A caption placed elsewhere that reaches the navigator in its row
        // (a long text, or a font scaled up for the screen while the buttons
        // are not) moves aside, to the side with the band's larger part.
        if (strip->center().x() >= band.center().x())
            r.moveRight(std::max(strip->left() - gap, band.left() + gap + r.width()));
        else
            r.moveLeft(std::min(strip->right() + gap, band.right() - gap - r.width()));
    }
    return r;
}

// ---------------------------------------------------------------- splitter bands

QRectF TextRect(const QRectF& item, const TItemPlacement& s)
{
    QRectF band = item.adjusted(s.textMargin.Left, s.textMargin.Top, -s.textMargin.Right, -s.textMargin.Bottom);
    switch (s.textAlign) {
    case laTop: band.setHeight(s.textHeight); break;
    case laBottom: band.setTop(band.bottom() - s.textHeight); break;
    case laLeft: band.setWidth(s.textWidth); break;
    case laRight: band.setLeft(band.right() - s.textWidth); break;
    default: break;
    }
    return band;
}

QRectF SplitterExpanderRect(const QRectF& band, bool sideways, int size, int spacing)
{
    const double thickness = sideways ? band.width() : band.height();
    const double side = std::max(0.0, std::min(double(size), thickness - 4));
    if (sideways)
        return QRectF(band.x() + (band.width() - side) / 2, band.y() + spacing, side, side);
    return QRectF(band.x() + spacing, band.y() + (band.height() - side) / 2, side, side);
}

QRectF SplitterTextRect(const QRectF& band, bool sideways, const QRectF& expander, int spacing)
{
    QRectF r = band;
    if (sideways)
        r.setTop(std::min(band.bottom(), expander.bottom() + spacing));
    else
        r.setLeft(std::min(band.right(), expander.right() + spacing));
    return r;
}

int SplitterExpanderAt(const std::vector<TDisplayEntry>& entries, const QRectF& itemArea, bool sideways, int size,
                       int spacing, QPointF p)
{
    if (!itemArea.contains(p))
        return -1;
    for (const TDisplayEntry& e : entries)
        if (e.splitter && SplitterExpanderRect(e.rect, sideways, size, spacing).contains(p))
            return e.item;
    return -1;
}

TColor LightenByPercent(TColor c, int percent)
{
    auto up = [&](int ch) { return ch + RoundEven((255 - ch) * percent / 100.0); };
    return RGB(up(GetRValue(c)), up(GetGValue(c)), up(GetBValue(c)));
}

TColor NavigatorButtonColor(const TNavigatorColors& c, int j, int n, int selected, int pressed, int hovered)
{
    const bool active = n > 1 && selected >= 0 && ((j <= 1 && selected > 0) || (j >= 2 && selected < n - 1));
    if (!active)
        return c.DisabledColor;
    if (j == pressed)
        return c.HoverColor;
    if (j == hovered)
        return c.DownColor;
    return c.Color;
}

std::vector<QLineF> NavigatorGlyph(int j, const QRectF& r)
{
    const double X = r.x(), Y = r.y(), W = r.width(), H = r.height();
    auto L = [&](double x1, double y1, double x2, double y2) { return QLineF(X + x1, Y + y1, X + x2, Y + y2); };
    switch (j) {
    case 0:
        return {L(W / 2, H / 3, W / 4, H / 2), L(W / 2, 2 * H / 3, W / 4, H / 2), L(3 * W / 4, H / 3, W / 2, H / 2),
                L(3 * W / 4, 2 * H / 3, W / 2, H / 2)};
    case 1: return {L(2 * W / 3, H / 3, W / 3, H / 2), L(2 * W / 3, 2 * H / 3, W / 3, H / 2)};
    case 2: return {L(W / 3, H / 3, 2 * W / 3, H / 2), L(W / 3, 2 * H / 3, 2 * W / 3, H / 2)};
    default:
        return {L(W / 4, H / 3, W / 2, H / 2), L(W / 4, 2 * H / 3, W / 2, H / 2), L(W / 2, H / 3, 3 * W / 4, H / 2),
                L(W / 2, 2 * H / 3, 3 * W / 4, H / 2)};
    }
}

} // namespace lumora
