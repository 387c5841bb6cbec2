#pragma once

#include "platform/gdiplus/Brush.h"
#include "platform/gdiplus/GradientRamp.h"

namespace lumora::gdiplus {

// A linear gradient with GDI+ geometry:
// - from two points: the colours run from p1 to p2, lines of equal colour
//   perpendicular to p1-p2;
// - from a rect and a mode: horizontal runs left to right edge, vertical top
//   to bottom edge, forward diagonal top-left to bottom-right corner,
//   backward diagonal top-right to bottom-left corner;
// - from a rect at an angle (degrees clockwise): the first colour at the rect
//   corner first reached along the angle, the last at the opposite corner.
//   When the angle is scalable it is taken in the rect's unit square, so the
//   lines of equal colour follow the rect's proportions (the diagonal modes
//   are angle 45 and 135 scalable).
// Beyond its rect the gradient repeats (tile, the default) or mirrors (flip).
class LinearGradientBrush : public Brush {
public:
    LinearGradientBrush(const PointF& point1, const PointF& point2, const Color& color1, const Color& color2);
    LinearGradientBrush(const RectF& rect, const Color& color1, const Color& color2, LinearGradientMode mode);
    LinearGradientBrush(const RectF& rect, const Color& color1, const Color& color2, REAL angle,
                        bool isAngleScalable = false);

    Status SetLinearColors(const Color& color1, const Color& color2);
    Status GetLinearColors(Color* colors) const;
    Status GetRectangle(RectF* rect) const;
    Status SetGammaCorrection(bool useGammaCorrection);
    bool GetGammaCorrection() const { return gamma_; }
    Status SetWrapMode(WrapMode wrapMode);
    WrapMode GetWrapMode() const { return wrap_; }
    // Preset blend: colours at positions from 0 (start) to 1 (end); replaces
    // the two linear colours until SetLinearColors is called.
    Status SetInterpolationColors(const Color* presetColors, const REAL* blendPositions, INT count);
    INT GetInterpolationColorCount() const;
    Status SetBlend(const REAL* blendFactors, const REAL* blendPositions, INT count);

    // The colour the brush gives the point p (world coordinates). Pure, for
    // callers that need the value without painting.
    Color ColorAt(PointF p) const;
    // Position 0..1 along the gradient of point p before wrapping.
    double PositionAt(PointF p) const;

    std::unique_ptr<Brush> Clone() const override { return std::make_unique<LinearGradientBrush>(*this); }
    void FillArea(QPainter& painter, const QPainterPath& area) const override;
    QBrush ToQBrush(const QTransform& world) const override;

private:
    void SetupAngle(REAL angle, bool scalable);

    RectF rect_;
    Color color1_;
    Color color2_;
    ColorRamp ramp_;
    bool preset_ = false;
    bool gamma_ = false;
    WrapMode wrap_ = WrapModeTile;
    // Gradient line in brush space, and brush space to world.
    QPointF start_;
    QPointF end_;
    QTransform space_;
};

} // namespace lumora::gdiplus
