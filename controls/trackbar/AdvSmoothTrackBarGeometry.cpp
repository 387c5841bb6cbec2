#include "controls/trackbar/AdvSmoothTrackBarGeometry.h"

#include <algorithm>
#include <cmath>

namespace lumora {

TAdvSmoothTrackBarGeometry::TAdvSmoothTrackBarGeometry(const TAdvSmoothTrackBarMetrics& m) : metrics_(m)
{
    const int shadow = m.ShadowColor != clNone ? m.ShadowOffset : 0;
    inside_ = {0, 0, m.Width - shadow - 1, m.Height - shadow - 1};
    if (m.BorderColor != clNone) {
        const int k = m.BorderWidth == 1 ? 1 : (m.BorderWidth + 1) / 2;
        inside_ = {inside_.Left + k, inside_.Top + k, inside_.Right - k, inside_.Bottom - k};
    }
    const double half = m.ThumbSize / 2.0;
    const TRect& I = inside_;
    if (Vertical())
        scale_ = QRectF(I.Left, I.Top + half, I.Right, I.Bottom - m.ThumbSize);
    else
        scale_ = QRectF(I.Left + half, I.Top, I.Right - m.ThumbSize, I.Bottom);
}

double TAdvSmoothTrackBarGeometry::ScaleLength() const
{
    return Vertical() ? scale_.height() : scale_.width();
}

double TAdvSmoothTrackBarGeometry::ValueToOffset(double position, const TAdvSmoothTrackBarRange& r) const
{
    if (r.Maximum - r.Minimum <= 0)
        return 0;
    const double L = ScaleLength();
    return std::min(L, (position - r.Minimum) / (r.Maximum - r.Minimum) * L);
}

double TAdvSmoothTrackBarGeometry::OffsetToValue(double x, const TAdvSmoothTrackBarRange& r) const
{
    const double L = ScaleLength();
    if (r.Maximum - r.Minimum <= 0 || L <= 0)
        return 0;
    return SnapValue(r.Minimum + x / L * (r.Maximum - r.Minimum), r);
}

double TAdvSmoothTrackBarGeometry::SnapValue(double v, const TAdvSmoothTrackBarRange& r)
{
    if (r.SnapToTickMarks && r.Step > 0) {
        // Multiples of Step counted from 0, not from Minimum.
        const double g = r.Step * std::nearbyint(v / r.Step);
        if (g - r.SnapMargin <= v && v <= g + r.SnapMargin)
            v = g;
    }
    if (v >= r.Maximum)
        v = r.Maximum;
    if (v <= r.Minimum)
        v = r.Minimum;
    return v;
}

double TAdvSmoothTrackBarGeometry::MouseDistance(int x, int y) const
{
    const double half = metrics_.ThumbSize / 2.0;
    return Vertical() ? metrics_.Height - half - y : x - half;
}

QRectF TAdvSmoothTrackBarGeometry::Thumb(double offset) const
{
    const TRect& I = inside_;
    const double t = metrics_.ThumbSize;
    if (Vertical())
        return QRectF(I.Left + 7, scale_.y() + scale_.height() - offset - t / 2, I.Right - 14, t);
    return QRectF(scale_.x() + offset - t / 2, I.Top + 7, t, I.Bottom - 14);
}

QRectF TAdvSmoothTrackBarGeometry::Progress(double offset) const
{
    const TRect& I = inside_;
    const double half = metrics_.ThumbSize / 2.0;
    if (Vertical())
        return QRectF(I.Left, I.Bottom - offset - half, I.Right, offset + half);
    return QRectF(I.Left, I.Top, offset + half, I.Bottom);
}

std::array<QRectF, 2> TAdvSmoothTrackBarGeometry::GlowBands(double offset, double p) const
{
    const QRectF P = Progress(offset);
    const TRect& I = inside_;
    if (Vertical())
        return {QRectF(P.x(), I.Bottom - p - 30, P.width(), 30), QRectF(P.x(), I.Bottom - p, P.width(), 30)};
    return {QRectF(p - 30, P.y(), 30, P.height()), QRectF(p, P.y(), 30, P.height())};
}

QRectF TAdvSmoothTrackBarGeometry::Groove() const
{
    const TRect& I = inside_;
    return QRectF(I.Left + 7, I.Top + 7, I.Right - 14, I.Bottom - 14);
}

int TAdvSmoothTrackBarGeometry::Intervals(const TAdvSmoothTrackBarRange& r)
{
    if (!(r.Step > 0))
        return 0;
    const double n = std::nearbyint((r.Maximum - r.Minimum) / r.Step);
    // A range far larger than its step would draw an unreadable smear of
    // numbers and take forever; a few thousand is already more than pixels.
    return int(std::clamp(n, 0.0, 10000.0));
}

double TAdvSmoothTrackBarGeometry::Spacing(const TAdvSmoothTrackBarRange& r) const
{
    const int n = Intervals(r);
    return n > 0 ? ScaleLength() / n : 0;
}

double TAdvSmoothTrackBarGeometry::NumberPosition(int i, const TAdvSmoothTrackBarRange& r) const
{
    if (Vertical())
        return scale_.y() + scale_.height() - i * Spacing(r);
    return scale_.x() + scale_.width() - i * Spacing(r);
}

QPointF TAdvSmoothTrackBarGeometry::NumberOrigin(int i, const TAdvSmoothTrackBarRange& r, double mw, double mh) const
{
    if (Vertical())
        return QPointF((scale_.width() - mw) / 2, NumberPosition(i, r) - mh / 2);
    return QPointF(metrics_.ThumbSize / 2.0 - mw / 2 + i * Spacing(r), (scale_.height() - mh) / 2);
}

bool TAdvSmoothTrackBarGeometry::OnProgressSide(const QPointF& origin, double mw, double mh, double offset) const
{
    const double half = metrics_.ThumbSize / 2.0;
    if (Vertical())
        return origin.y() >= inside_.Bottom - offset - half - mh / 2;
    return origin.x() <= offset + half - mw / 2;
}

} // namespace lumora
