#include "platform/gdiplus/LinearGradientBrush.h"

#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lumora::gdiplus {

LinearGradientBrush::LinearGradientBrush(const PointF& point1, const PointF& point2, const Color& color1,
                                         const Color& color2)
    : Brush(BrushTypeLinearGradient), color1_(color1), color2_(color2), ramp_(ColorRamp::TwoColor(color1, color2))
{
    rect_ = RectF(std::min(point1.X, point2.X), std::min(point1.Y, point2.Y), std::abs(point2.X - point1.X),
                  std::abs(point2.Y - point1.Y));
    start_ = point1.ToQPointF();
    end_ = point2.ToQPointF();
    if (point1 == point2)
        status_ = OutOfMemory;  // GDI+ refuses a gradient of no length
}

LinearGradientBrush::LinearGradientBrush(const RectF& rect, const Color& color1, const Color& color2,
                                         LinearGradientMode mode)
    : Brush(BrushTypeLinearGradient), rect_(rect), color1_(color1), color2_(color2),
      ramp_(ColorRamp::TwoColor(color1, color2))
{
    static constexpr REAL kModeAngle[] = {0.0f, 90.0f, 45.0f, 135.0f};
    const int m = std::clamp(int(mode), 0, 3);
    if (int(mode) != m)
        status_ = InvalidParameter;
    SetupAngle(kModeAngle[m], true);
}

LinearGradientBrush::LinearGradientBrush(const RectF& rect, const Color& color1, const Color& color2, REAL angle,
                                         bool isAngleScalable)
    : Brush(BrushTypeLinearGradient), rect_(rect), color1_(color1), color2_(color2),
      ramp_(ColorRamp::TwoColor(color1, color2))
{
    SetupAngle(angle, isAngleScalable);
}

void LinearGradientBrush::SetupAngle(REAL angle, bool scalable)
{
    if (!(rect_.Width > 0 && rect_.Height > 0)) {
        status_ = OutOfMemory;  // GDI+ refuses an empty rect
        return;
    }
    const double a = double(angle) * std::numbers::pi / 180.0;
    const QPointF dir(std::cos(a), std::sin(a));
    // Work in the unit square when the angle scales with the rect, else in
    // world space directly.
    QRectF box = scalable ? QRectF(0, 0, 1, 1) : rect_.ToQRectF();
    space_ = scalable ? QTransform(rect_.Width, 0, 0, rect_.Height, rect_.X, rect_.Y) : QTransform();
    const QPointF corners[] = {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()};
    double lo = 1e300, hi = -1e300;
    QPointF first;
    for (QPointF c : corners) {
        double p = QPointF::dotProduct(c, dir);
        if (p < lo - 1e-12) {
            lo = p;
            first = c;
        }
        hi = std::max(hi, p);
    }
    start_ = first;
    end_ = first + dir * (hi - lo);
}

Status LinearGradientBrush::SetLinearColors(const Color& color1, const Color& color2)
{
    color1_ = color1;
    color2_ = color2;
    ramp_ = ColorRamp::TwoColor(color1, color2);
    preset_ = false;
    return Ok;
}

Status LinearGradientBrush::GetLinearColors(Color* colors) const
{
    if (!colors)
        return InvalidParameter;
    colors[0] = color1_;
    colors[1] = color2_;
    return Ok;
}

Status LinearGradientBrush::GetRectangle(RectF* rect) const
{
    if (!rect)
        return InvalidParameter;
    *rect = rect_;
    return Ok;
}

Status LinearGradientBrush::SetGammaCorrection(bool useGammaCorrection)
{
    gamma_ = useGammaCorrection;
    return Ok;
}

Status LinearGradientBrush::SetWrapMode(WrapMode wrapMode)
{
    // A linear gradient cannot clamp in GDI+ either.
    if (wrapMode == WrapModeClamp || wrapMode < WrapModeTile || wrapMode > WrapModeClamp)
        return InvalidParameter;
    wrap_ = wrapMode;
    return Ok;
}

Status LinearGradientBrush::SetInterpolationColors(const Color* presetColors, const REAL* blendPositions, INT count)
{
    if (!ValidBlendPositions(blendPositions, count) || !presetColors)
        return InvalidParameter;
    ramp_ = ColorRamp::Preset(presetColors, blendPositions, count);
    preset_ = true;
    return Ok;
}

INT LinearGradientBrush::GetInterpolationColorCount() const
{
    return preset_ ? INT(ramp_.Stops().size()) : 0;
}

Status LinearGradientBrush::SetBlend(const REAL* blendFactors, const REAL* blendPositions, INT count)
{
    if (!ValidBlendPositions(blendPositions, count) || !blendFactors)
        return InvalidParameter;
    ramp_ = ColorRamp::Blend(color1_, color2_, blendFactors, blendPositions, count);
    preset_ = false;
    return Ok;
}

double LinearGradientBrush::PositionAt(PointF p) const
{
    bool invertible = false;
    const QPointF q = space_.inverted(&invertible).map(p.ToQPointF());
    const QPointF d = end_ - start_;
    const double len2 = QPointF::dotProduct(d, d);
    if (!invertible || len2 <= 0)
        return 0;
    return QPointF::dotProduct(q - start_, d) / len2;
}

Color LinearGradientBrush::ColorAt(PointF p) const
{
    double t = PositionAt(p);
    if (wrap_ == WrapModeTile) {
        t -= std::floor(t);
    } else {
        // Mirrored tiles: every other repeat runs backwards.
        double m = std::fmod(std::abs(t), 2.0);
        t = m > 1.0 ? 2.0 - m : m;
    }
    return ramp_.At(t, gamma_);
}

void LinearGradientBrush::FillArea(QPainter& painter, const QPainterPath& area) const
{
    if (status_ != Ok)
        return;
    Brush::FillArea(painter, area);
}

QBrush LinearGradientBrush::ToQBrush(const QTransform&) const
{
    if (status_ != Ok)
        return QBrush(Qt::NoBrush);
    QLinearGradient g(start_, end_);
    g.setStops(ramp_.ToQStops(gamma_));
    g.setSpread(wrap_ == WrapModeTile ? QGradient::RepeatSpread : QGradient::ReflectSpread);
    // GDI+ mixes the channels of unpremultiplied colours.
    g.setInterpolationMode(QGradient::ComponentInterpolation);
    QBrush b(g);
    b.setTransform(space_);
    return b;
}

} // namespace lumora::gdiplus
