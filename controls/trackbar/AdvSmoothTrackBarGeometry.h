#pragma once

#include "platform/framework/Types.h"
#include "platform/framework/Colors.h"

#include <QRectF>

#include <array>

namespace lumora {

enum TAdvSmoothTrackBarDirection { dVertical, dHorizontal };

// Everything the track bar's layout depends on, as plain values.
struct TAdvSmoothTrackBarMetrics {
    int Width = 90;
    int Height = 250;
    TAdvSmoothTrackBarDirection Direction = dVertical;
    int ThumbSize = 40;
    // From the background fill: its shadow and border take room at the edges.
    TColor ShadowColor = clNone;
    int ShadowOffset = 0;
    TColor BorderColor = clNone;
    int BorderWidth = 1;
};

// The value range and the snapping rule of a drag.
struct TAdvSmoothTrackBarRange {
    double Minimum = 0;
    double Maximum = 100;
    double Step = 20;
    bool SnapToTickMarks = true;
    double SnapMargin = 10;
};

// The track bar's geometry: inside rect I, scale rect S (float X, Y, W, H;
// W and H are I's right and bottom edges less the thumb, not I's size), the
// thumb, the progress bar, the groove and the scale numbers.
class TAdvSmoothTrackBarGeometry {
public:
    explicit TAdvSmoothTrackBarGeometry(const TAdvSmoothTrackBarMetrics& metrics);

    const TRect& Inside() const { return inside_; }
    const QRectF& Scale() const { return scale_; }
    // Length of the scale along the bar, in pixels.
    double ScaleLength() const;
    bool Vertical() const { return metrics_.Direction == dVertical; }

    double ValueToOffset(double position, const TAdvSmoothTrackBarRange& range) const;
    // The value at a pixel distance x along the scale, snapped to the nearest
    // multiple of Step (ties to even) when within SnapMargin, and held to the
    // range's ends.
    double OffsetToValue(double x, const TAdvSmoothTrackBarRange& range) const;
    // The snapping and range rule of OffsetToValue on an unsnapped value.
    static double SnapValue(double v, const TAdvSmoothTrackBarRange& range);
    // The scale distance of a mouse point, measured from the control's full
    // length as the drag reads it.
    double MouseDistance(int x, int y) const;

    QRectF Thumb(double offset) const;
    QRectF Progress(double offset) const;
    // The two 30-pixel bands around the glow position, the light peaking
    // between them.
    std::array<QRectF, 2> GlowBands(double offset, double glowPosition) const;
    QRectF Groove() const;

    // Number of scale intervals (rounded, ties to even) and the pixel spacing
    // between two scale positions.
    static int Intervals(const TAdvSmoothTrackBarRange& range);
    double Spacing(const TAdvSmoothTrackBarRange& range) const;
    // Where the i-th scale number is centred along the bar: y for a vertical
    // bar, the tick x for a horizontal one.
    double NumberPosition(int i, const TAdvSmoothTrackBarRange& range) const;
    // Top-left corner of the i-th number of size (mw, mh).
    QPointF NumberOrigin(int i, const TAdvSmoothTrackBarRange& range, double mw, double mh) const;
    // Whether a number at that origin lies on the progress side of the thumb.
    bool OnProgressSide(const QPointF& origin, double mw, double mh, double offset) const;

private:
    TAdvSmoothTrackBarMetrics metrics_;
    TRect inside_;
    QRectF scale_;
};

} // namespace lumora
