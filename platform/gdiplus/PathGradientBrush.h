#pragma once

#include "platform/gdiplus/Brush.h"
#include "platform/gdiplus/GradientRamp.h"
#include "platform/gdiplus/GraphicsPath.h"

#include <vector>

namespace lumora::gdiplus {

// A gradient from a centre point out to the outline of a path. A point's
// blend position is its place on the ray from the centre through it to the
// outline: 1 at the centre, 0 on the outline. With clamp wrap (the default)
// nothing is painted outside the path.
//
// An ellipse path is drawn as a focal radial gradient under a scale
// transform; any other path is evaluated per pixel over its bounding box.
class PathGradientBrush : public Brush {
public:
    explicit PathGradientBrush(const GraphicsPath* path);
    PathGradientBrush(const PointF* points, INT count, WrapMode wrapMode = WrapModeClamp);

    Status SetCenterPoint(const PointF& point);
    Status GetCenterPoint(PointF* point) const;
    PointF GetCenterPoint() const { return center_; }
    Status SetCenterColor(const Color& color);
    Status GetCenterColor(Color* color) const;
    // GDI+ gives one colour per outline point; this layer paints the whole
    // outline in the first colour given (every caller passes one).
    Status SetSurroundColors(const Color* colors, INT* count);
    INT GetSurroundColorCount() const { return INT(surround_.size()); }
    Status SetInterpolationColors(const Color* presetColors, const REAL* blendPositions, INT count);
    INT GetInterpolationColorCount() const;
    Status SetBlend(const REAL* blendFactors, const REAL* blendPositions, INT count);
    Status SetWrapMode(WrapMode wrapMode);
    WrapMode GetWrapMode() const { return wrap_; }
    Status SetGammaCorrection(bool useGammaCorrection);
    bool GetGammaCorrection() const { return gamma_; }
    Status GetRectangle(RectF* rect) const;

    // Blend position (1 centre .. 0 outline) of a point, by the centre-ray
    // rule; points outside the path give 0. Pure geometry, for tests.
    double PositionAt(PointF p) const;
    // The colour at a blend position.
    Color ColorAtPosition(double position) const;

    std::unique_ptr<Brush> Clone() const override { return std::make_unique<PathGradientBrush>(*this); }
    void FillArea(QPainter& painter, const QPainterPath& area) const override;
    QBrush ToQBrush(const QTransform& world) const override;

private:
    void Init(const QPainterPath& path);
    ColorRamp EffectiveRamp() const;
    QBrush EllipseBrush() const;
    // The gradient over the path's device box cut to `limit`; `origin` gets
    // the device position of the image's top-left pixel.
    QImage RasterImage(const QTransform& world, const QRect& limit, QPoint* origin) const;
    QBrush RasterBrush(const QTransform& world) const;

    QPainterPath path_;
    std::vector<QPolygonF> outline_;  // flattened figures of the path
    bool ellipse_ = false;
    RectF ellipseRect_;
    PointF center_;
    Color centerColor_{0xFFFFFFFF};
    std::vector<Color> surround_{Color(0xFFFFFFFF)};
    enum class RampKind { Linear, Blend, Preset } rampKind_ = RampKind::Linear;
    ColorRamp customRamp_;  // blend (surround to centre) or preset
    std::vector<REAL> blendFactors_;
    std::vector<REAL> blendPositions_;
    WrapMode wrap_ = WrapModeClamp;
    bool gamma_ = false;
};

} // namespace lumora::gdiplus
