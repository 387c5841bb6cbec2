#include "controls/slider/AdvSmoothSliderGeometry.h"

#include <algorithm>
#include <cmath>

namespace lumora {

TAdvSmoothSliderGeometry::TAdvSmoothSliderGeometry(int width, int height, int knobSize, TColor borderColor,
                                                   int borderWidth)
    : width_(width), size_(knobSize), inside_{0, 0, width - 1, height - 1}
{
    if (borderColor != clNone) {
        const int k = borderWidth == 1 ? 1 : (borderWidth + 1) / 2;
        inside_ = {k, k, inside_.Right - k, inside_.Bottom - k};
    }
}

QRectF TAdvSmoothSliderGeometry::Knob(double o) const
{
    const TRect& I = inside_;
    // Clamp without std::clamp: a control narrower than its knob has
    // I.Right - size below I.Left, and the left edge wins.
    double x = I.Right - size_ + o;
    x = std::min(x, double(I.Right - size_));
    x = std::max(x, double(I.Left));
    return QRectF(x, I.Top, size_, I.Bottom - I.Top);
}

QRectF TAdvSmoothSliderGeometry::OnBody(double o) const
{
    const QRectF K = Knob(o);
    return QRectF(inside_.Left, inside_.Top, K.x() + size_ / 2.0, inside_.Bottom - inside_.Top);
}

QRectF TAdvSmoothSliderGeometry::OnCaption(double o) const
{
    const QRectF body = OnBody(o);
    return QRectF(o, inside_.Top, body.width() - o - size_ / 2.0, body.height());
}

QRectF TAdvSmoothSliderGeometry::OffBody(double o) const
{
    const QRectF K = Knob(o);
    const double x = K.x() + size_ / 2.0;
    return QRectF(x, inside_.Top, inside_.Right - x, inside_.Bottom - inside_.Top);
}

QRectF TAdvSmoothSliderGeometry::OffCaption(double o) const
{
    const QRectF body = OffBody(o);
    return QRectF(body.x(), inside_.Top, body.width() + body.x(), body.height());
}

double TAdvSmoothSliderGeometry::DragOffset(TAdvSmoothSliderState state, int downX, int x) const
{
    const double low = size_ - width_;
    const double moved = state == ssOn ? x - downX : x + size_ - downX - width_;
    return std::max(low, std::min(0.0, moved));
}

TAdvSmoothSliderState TAdvSmoothSliderGeometry::DropState(double o) const
{
    const QRectF K = Knob(o);
    return width_ / 2.0 >= K.x() + K.width() / 2 ? ssOff : ssOn;
}

std::optional<TAdvSmoothSliderState> TAdvSmoothSliderGeometry::ClickState(double o, int x) const
{
    const QRectF K = Knob(o);
    if (x < K.x())
        return ssOff;
    if (x > K.x())
        return ssOn;
    return std::nullopt;
}

std::optional<double> SliderAnimationStep(double o, double target, int factor)
{
    const double distance = std::abs(o - target);
    if (distance < 0.01)
        return std::nullopt;
    const double step = std::max(distance / std::max(factor, 1), 1.0);
    const double moved = o < target ? std::min(o + step, target) : std::max(o - step, target);
    return std::nearbyint(moved);
}

QPoint SliderCaptionOffset(TAdvSmoothSliderCaptionPosition position, const QRectF& C, int w, int h, int customLeft,
                           int customTop)
{
    const int fw = int(std::nearbyint(C.width())) - w;
    const int fh = int(std::nearbyint(C.height())) - h;
    switch (position) {
    case cpTopLeft: return {0, 0};
    case cpTopCenter: return {fw / 2, 0};
    case cpTopRight: return {fw, 0};
    case cpCenterLeft: return {0, fh / 2};
    case cpCenterCenter: return {fw / 2, fh / 2};
    case cpCenterRight: return {fw, fh / 2};
    case cpBottomLeft: return {0, fh};
    case cpBottomCenter: return {fw / 2, fh};
    case cpBottomRight: return {fw, fh};
    case cpCustom: return {customLeft, customTop};
    }
    return {0, 0};
}

} // namespace lumora
