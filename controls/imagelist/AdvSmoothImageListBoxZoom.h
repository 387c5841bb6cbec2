#pragma once

// Zooming an item of the image list box: the rectangle it grows into and the
// animation that carries it there and back. The geometry is plain functions;
// the list box's zoom members live in AdvSmoothImageListBoxZoom.cpp.

#include <QImage>
#include <QRectF>
#include <QSizeF>

namespace lumora {

enum TAdvSmoothImageListBoxZoomMode { zmFullScreen, zmAspectRatio };

enum TZoomPhase { zpNone, zpZoomingIn, zpZoomedIn, zpZoomingOut };

// Milliseconds between two zoom animation steps.
constexpr int kZoomInterval = 10;

// The rectangle a zoomed item fills inside `area`: all of it for
// zmFullScreen; for zmAspectRatio the largest rectangle of the picture's
// proportions, centred. A picture without a size fills the area.
QRectF ZoomTargetRect(const QRectF& area, QSizeF picture, TAdvSmoothImageListBoxZoomMode mode);

struct TZoomStep {
    QRectF rect;
    bool done = false;
};

// One animation step from `current` towards `target`: every edge moves by its
// distance divided by `animationFactor` (at least 1 pixel); once no edge is
// more than a pixel away the rectangle snaps to the target and the step is done.
TZoomStep ZoomStep(const QRectF& current, const QRectF& target, int animationFactor);

// What the list box knows about its zoomed item.
struct TZoomState {
    int item = -1;  // index of the zoomed item, -1 when none
    TZoomPhase phase = zpNone;
    QRectF rect;    // where it is drawn during an animation
    QSizeF natural; // the picture's own size (empty when it could not be read)
    QImage picture; // the picture drawn while zoomed (see MakeZoomPicture)
};

} // namespace lumora
