#pragma once

// Geometry of the image list box as plain functions: the flow layouts, scroll
// limits and animation steps, scroll-into-view, hit testing, keyboard moves,
// band and navigator placement and the thumbnail size rule. Painting, mouse
// handling, the thumbnail loader and the tests all call these.

#include "platform/framework/Colors.h"
#include "platform/framework/Types.h"

#include <QLineF>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QSizeF>

#include <cstdint>
#include <vector>

namespace lumora {

// Nine placements inside a rectangle, plus a free position (cpTopLeft ... cpCustom).
using TAdvSmoothImageListBoxLocation = TCaptionPosition;

enum TImageStretch { isAlways = 0, isShrinkOnly = 1 };

enum TAdvSmoothImageThreadLoading { tlAll = 0, tlOnDemand = 1, tlOnDemandAfterAnimation = 2 };

enum TAdvSmoothImageListBoxNavigationMode { nmNone = 0, nmPrior = 1, nmPriorPage = 2, nmNext = 3, nmNextPage = 4 };

// Where the picture or the caption stands inside an item (the numbering of the
// framework's alignment values: client is 5, bottom is 2).
enum TAdvSmoothImageListBoxAlign { laNone = 0, laTop = 1, laBottom = 2, laLeft = 3, laRight = 4, laClient = 5, laCustom = 6 };

struct TMargins {
    int Left = 3;
    int Top = 3;
    int Right = 3;
    int Bottom = 3;
};

// ---------------------------------------------------------------- rounding

// Nearest integer, halves to the even neighbour (the runtime's rounding).
int RoundEven(double v);

// a * b / c in 64 bits, rounded to the nearest integer with halves away from
// zero. A zero divisor gives 0 instead of a meaningless value.
std::int64_t MulDivRound(std::int64_t a, std::int64_t b, std::int64_t c);

// ---------------------------------------------------------------- thumbnails

// The size a picture of natural size (w, h) gets in a target (tw, th).
QSize ThumbnailSize(double w, double h, double tw, double th, bool aspectRatio, TImageStretch stretch);

// Where the picture of an item stands inside the item's rectangle.
struct TItemPlacement {
    TAdvSmoothImageListBoxAlign imageAlign = laClient;
    TMargins imageMargin;
    QRectF imageCustom{10, 10, 50, 50}; // ImageLeft, ImageTop, ImageWidth, ImageHeight
    bool textVisible = false;
    TAdvSmoothImageListBoxAlign textAlign = laBottom;
    TMargins textMargin;
    double textWidth = 10;
    double textHeight = 10;
};
QRectF ImageRect(const QRectF& item, const TItemPlacement& placement);
// Where the caption of an item stands: the item less the text margins, cut
// to TextHeight (text at the top or bottom) or TextWidth (left or right).
QRectF TextRect(const QRectF& item, const TItemPlacement& placement);

// A thumbnail of size `thumb` fitted again into `imageRect` with the size rule
// and centred in it.
QRectF FitCentred(const QRectF& imageRect, QSize thumb, bool aspectRatio, TImageStretch stretch);

// ---------------------------------------------------------------- layout

enum TFlow { flSideways, flDownwards, flFixedGrid };
TFlow FlowOf(int rows, int columns);

struct TLayoutEntryInput {
    bool visible = true;
    bool splitter = false;
    bool collapsed = false; // a splitter whose group is folded away
};

// Which items take a place: visible ones, except those that follow a
// collapsed splitter up to the next visible splitter.
std::vector<bool> ShownItems(const std::vector<TLayoutEntryInput>& items);

struct TLayoutInput {
    int width = 0;  // control width
    int height = 0; // control height
    int border = 0; // background border inset
    int headerHeight = 0; // 0 when the header is hidden
    int footerHeight = 0; // 0 when the footer is hidden
    int shadow = 0;
    int scrollBar = 0; // thickness taken by a visible scroll bar
    int rows = 3;
    int columns = 0;
    int itemWidth = 70;
    int itemHeight = 70;
    int hSpacing = 10;
    int vSpacing = 10;
    bool autoSize = false;
    int splitterSize = 25;
    int scrollPosition = 0;
    std::vector<TLayoutEntryInput> items;
};

struct TDisplayEntry {
    int item = -1; // index into the collection
    QRectF rect;   // control coordinates, shifted by the scroll position
    bool splitter = false;
};

struct TLayoutResult {
    std::vector<TDisplayEntry> entries;
    QSizeF itemSize;
    QRectF itemArea;
    int largest = 0;        // largest scroll position
    bool scrollable = false; // false holds the position at 0
};

// The rectangle the items live in: the control less border, bands, shadow and scroll bar.
QRectF ItemArea(const TLayoutInput& in);

// The effective item size (AutoSize may narrow it).
QSizeF EffectiveItemSize(const TLayoutInput& in);

TLayoutResult Layout(const TLayoutInput& in);

// ---------------------------------------------------------------- scrolling

constexpr int kOverscroll = 50;

int ClampPosition(int position, int largest);
int ClampTarget(int target, int largest);

struct TAnimationStep {
    int position = 0;
    bool stop = false;
};
// One tick of the scroll animation towards `target`.
TAnimationStep AnimationStep(int position, int target, double speedFactor, int animationFactor);

// The scroll position that brings an entry (control coordinates) into view;
// the result is clamped to [0, largest].
int ScrollIntoView(TFlow flow, const QRectF& entryRect, int position, int largest, int width, int height,
                   int headerHeight, int footerHeight, int hSpacing, int vSpacing);

// True when a display rectangle intersects a control of that size.
bool IntersectsControl(const QRectF& r, int width, int height);

// ---------------------------------------------------------------- hit test and keys

struct TEntryState {
    bool enabled = true;
    bool splitter = false;
};

// The first enabled non-splitter entry whose rectangle (rounded) holds the point,
// provided it lies inside the item area; -1 when none.
int HitTest(const std::vector<TDisplayEntry>& entries, const std::vector<TEntryState>& states,
            const QRectF& itemArea, QPointF p);

enum TNavKey { nkHome, nkEnd, nkPageUp, nkPageDown, nkLeft, nkRight, nkUp, nkDown };

// The entry index a navigation key selects, from `current` among `states`
// (in display order). firstVisible/lastVisible are the first and last visible
// enabled non-splitter entries (-1 when none). Splitters and disabled entries
// are skipped in the direction of travel; with nothing to land on the index
// stays where it was.
int NavigateIndex(TNavKey key, int current, const std::vector<TEntryState>& states, TFlow flow, int rows,
                  int columns, int firstVisible, int lastVisible);

// ---------------------------------------------------------------- bands and navigator

// The control rectangle shrunk by half the border width (rounded up).
QRect ControlRect(int width, int height, int borderWidth, bool hasBorder);
QRectF HeaderBand(const QRect& control, int shadow, int height);
QRectF FooterBand(const QRect& control, int shadow, int height);

// A box of `size` placed in `bounds` by one of the nine locations.
QRectF PlaceIn(const QRectF& bounds, QSizeF size, TAdvSmoothImageListBoxLocation location);

// The four-button strip inside its band.
QRectF NavigatorStrip(const QRectF& band, int size, TAdvSmoothImageListBoxLocation location, int left, int top);
// Button j (0 previous page, 1 previous, 2 next, 3 next page).
QRectF NavigatorButton(const QRectF& strip, int size, int j);
// The button under a point, -1 when none.
int NavigatorButtonAt(const QRectF& strip, int size, QPointF p);

// Where a band's caption of `textSize` stands; beside the navigator when both
// share a location, and moved aside when it would otherwise reach into the
// navigator's buttons.
QRectF CaptionRect(const QRectF& band, QSizeF textSize, TAdvSmoothImageListBoxLocation location, int left, int top,
                   const QRectF* navigatorStrip, TAdvSmoothImageListBoxLocation navigatorLocation);

// ---------------------------------------------------------------- splitter bands

// The expander button of a splitter band: a square of `size` (no larger than
// the band's thickness allows) at the band's start, `spacing` in from its
// edge. Sideways flow stands the band upright with the button at its top;
// downward flow lays it flat with the button at its left end.
QRectF SplitterExpanderRect(const QRectF& band, bool sideways, int size, int spacing);
// Where the splitter's text goes: the rest of the band after the button.
QRectF SplitterTextRect(const QRectF& band, bool sideways, const QRectF& expander, int spacing);
// The item index of the splitter whose expander holds the point (inside the
// item area), -1 when none.
int SplitterExpanderAt(const std::vector<TDisplayEntry>& entries, const QRectF& itemArea, bool sideways, int size,
                       int spacing, QPointF p);

// Each channel moved towards 255 by p percent.
TColor LightenByPercent(TColor c, int percent);

struct TNavigatorColors {
    TColor Color, HoverColor, DownColor, DisabledColor;
};
// The base colour of navigator button j. The pressed button shows HoverColor
// and the merely hovered one DownColor.
TColor NavigatorButtonColor(const TNavigatorColors& c, int j, int nonSplitterCount, int selected, int pressed,
                            int hovered);

// The glyph of button j as line segments inside (x, y, w, h).
std::vector<QLineF> NavigatorGlyph(int j, const QRectF& r);

} // namespace lumora
