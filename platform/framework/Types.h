#pragma once

#include <QPoint>
#include <QRect>

namespace lumora {

// Small enumerations shared by many controls. Plain enums so the values keep
// their prefixed names.

// Horizontal placement of text within its box.
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// Vertical placement of text within its box.
enum TVerticalAlignment { taAlignTop, taAlignBottom, taVerticalCenter };

// The mouse button of a press or release.
enum TMouseButton { mbLeft, mbRight, mbMiddle };

// Keys and buttons held during a mouse or key event; combine with |.
enum TShiftStateFlag {
    ssShift = 1 << 0,
    ssAlt = 1 << 1,
    ssCtrl = 1 << 2,
    ssLeft = 1 << 3,
    ssRight = 1 << 4,
    ssMiddle = 1 << 5,
    ssDouble = 1 << 6,
};
using TShiftState = int;

// How text is smoothed. The gauge, label and image list box share these
// names, so they are defined once here.
enum TTextRenderingHint { tAntiAlias, tAntiAliasGridFit, tClearType };

// Where a caption sits in its box (nine places, or Left/Top when custom).
enum TCaptionPosition {
    cpTopLeft,
    cpTopCenter,
    cpTopRight,
    cpCenterLeft,
    cpCenterCenter,
    cpCenterRight,
    cpBottomLeft,
    cpBottomCenter,
    cpBottomRight,
    cpCustom,
};

// What closing a form does; a close handler may change it.
enum TCloseAction { caNone, caHide, caFree, caMinimize };

// Integer rectangle with inclusive left/top and exclusive right/bottom edges,
// the way drawing code measures boxes.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    QRect ToQRect() const { return QRect(Left, Top, Width(), Height()); }
    friend constexpr bool operator==(const TRect&, const TRect&) = default;
};

constexpr TRect Rect(int left, int top, int right, int bottom) { return TRect{left, top, right, bottom}; }

// Integer point.
struct TPoint {
    int X = 0;
    int Y = 0;
    friend constexpr bool operator==(const TPoint&, const TPoint&) = default;
};

} // namespace lumora
