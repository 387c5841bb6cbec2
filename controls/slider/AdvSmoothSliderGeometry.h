#pragma once

#include "platform/framework/Types.h"
#include "platform/framework/Colors.h"

#include <QPoint>
#include <QRectF>

#include <optional>

namespace lumora {

enum TAdvSmoothSliderState { ssOn, ssOff };

using TAdvSmoothSliderCaptionPosition = TCaptionPosition;

// The slider's geometry for a knob offset o: 0 puts the knob at the right
// end (on), KnobSize - Width at the left end (off).
class TAdvSmoothSliderGeometry {
public:
    TAdvSmoothSliderGeometry(int width, int height, int knobSize, TColor borderColor, int borderWidth);

    const TRect& Inside() const { return inside_; }
    // Offset of the knob at rest in a state.
    double RestOffset(TAdvSmoothSliderState state) const { return state == ssOn ? 0.0 : double(size_ - width_); }

    QRectF Knob(double o) const;
    QRectF OnBody(double o) const;
    QRectF OnCaption(double o) const;
    QRectF OffBody(double o) const;
    QRectF OffCaption(double o) const;

    // The knob offset while dragging from downX to x in a state: an on knob
    // can only be pulled left, an off knob only pushed right.
    double DragOffset(TAdvSmoothSliderState state, int downX, int x) const;
    // The state a dragged knob falls to: off when its centre is at or left
    // of the middle.
    TAdvSmoothSliderState DropState(double o) const;
    // The state a click on the bar asks for; nothing exactly at the knob's
    // left edge.
    std::optional<TAdvSmoothSliderState> ClickState(double o, int x) const;

private:
    int width_;
    int size_;
    TRect inside_;
};

// One animation tick: the new offset moved toward the target by a
// 1/factor of the remaining distance (at least one pixel) and rounded, or
// nothing when the knob has arrived.
std::optional<double> SliderAnimationStep(double o, double target, int factor);

// Where a caption of w x h goes in its rect C for a caption position.
QPoint SliderCaptionOffset(TAdvSmoothSliderCaptionPosition position, const QRectF& C, int w, int h, int customLeft,
                           int customTop);

} // namespace lumora
