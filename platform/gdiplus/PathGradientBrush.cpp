#include "platform/gdiplus/PathGradientBrush.h"

#include <QPainter>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

namespace lumora::gdiplus {

namespace {

double Cross(QPointF a, QPointF b)
{
    return a.x() * b.y() - a.y() * b.x();
}

// Area centroid of the figures; the bounding box centre when they enclose
// no area.
QPointF Centroid(const std::vector<QPolygonF>& figures, const QRectF& bounds)
{
    double area = 0, cx = 0, cy = 0;
    for (const QPolygonF& poly : figures) {
        const int n = int(poly.size());
        for (int i = 0; i < n; ++i) {
            QPointF a = poly[i];
            QPointF b = poly[(i + 1) % n];
            double c = Cross(a, b);
            area += c;
            cx += (a.x() + b.x()) * c;
            cy += (a.y() + b.y()) * c;
        }
    }
    if (std::abs(area) < 1e-9)
        return bounds.center();
    return QPointF(cx / (3.0 * area), cy / (3.0 * area));
}

// One triangle centre-A-B of the fan: the blend position is the affine
// function w = 1 - s - u of the triangle's barycentric coordinates, 1 at the
// centre and 0 on the edge A-B.
struct FanTriangle {
    QPointF c, a, b;
    double det;
};

template <typename Visit>
void ForEachTriangle(const std::vector<QPolygonF>& figures, QPointF centre, Visit visit)
{
    for (const QPolygonF& poly : figures) {
        const int n = int(poly.size());
        for (int i = 0; i < n; ++i) {
            QPointF a = poly[i];
            QPointF b = poly[(i + 1) % n];
            double det = Cross(a - centre, b - centre);
            if (std::abs(det) < 1e-12)
                continue;
            visit(FanTriangle{centre, a, b, det});
        }
    }
}

} // namespace

PathGradientBrush::PathGradientBrush(const GraphicsPath* path) : Brush(BrushTypePathGradient)
{
    if (!path || path->IsEmpty()) {
        status_ = InvalidParameter;
        return;
    }
    ellipse_ = path->IsSingleEllipse(&ellipseRect_);
    Init(path->ToQPainterPath());
}

PathGradientBrush::PathGradientBrush(const PointF* points, INT count, WrapMode wrapMode)
    : Brush(BrushTypePathGradient), wrap_(wrapMode)
{
    if (!points || count < 2) {
        status_ = InvalidParameter;
        return;
    }
    QPainterPath p;
    p.moveTo(points[0].ToQPointF());
    for (INT i = 1; i < count; ++i)
        p.lineTo(points[i].ToQPointF());
    p.closeSubpath();
    Init(p);
}

void PathGradientBrush::Init(const QPainterPath& path)
{
    path_ = path;
    const QList<QPolygonF> polys = path.toSubpathPolygons();
    outline_.assign(polys.begin(), polys.end());
    for (QPolygonF& poly : outline_) {
        if (poly.size() > 1 && poly.first() == poly.last())
            poly.removeLast();
    }
    const QRectF bounds = path.boundingRect();
    const QPointF c = ellipse_ ? ellipseRect_.ToQRectF().center() : Centroid(outline_, bounds);
    center_ = PointF(REAL(c.x()), REAL(c.y()));
}

Status PathGradientBrush::SetCenterPoint(const PointF& point)
{
    center_ = point;
    return Ok;
}

Status PathGradientBrush::GetCenterPoint(PointF* point) const
{
    if (!point)
        return InvalidParameter;
    *point = center_;
    return Ok;
}

Status PathGradientBrush::SetCenterColor(const Color& color)
{
    centerColor_ = color;
    return Ok;
}

Status PathGradientBrush::GetCenterColor(Color* color) const
{
    if (!color)
        return InvalidParameter;
    *color = centerColor_;
    return Ok;
}

Status PathGradientBrush::SetSurroundColors(const Color* colors, INT* count)
{
    if (!colors || !count || *count < 1)
        return InvalidParameter;
    surround_.assign(colors, colors + *count);
    return Ok;
}

Status PathGradientBrush::SetInterpolationColors(const Color* presetColors, const REAL* blendPositions, INT count)
{
    if (!presetColors || !blendPositions || count < 2)
        return InvalidParameter;
    customRamp_ = ColorRamp::Preset(presetColors, blendPositions, count);
    rampKind_ = RampKind::Preset;
    return Ok;
}

INT PathGradientBrush::GetInterpolationColorCount() const
{
    return rampKind_ == RampKind::Preset ? INT(customRamp_.Stops().size()) : 0;
}

Status PathGradientBrush::SetBlend(const REAL* blendFactors, const REAL* blendPositions, INT count)
{
    if (!blendFactors || !blendPositions || count < 2)
        return InvalidParameter;
    blendFactors_.assign(blendFactors, blendFactors + count);
    blendPositions_.assign(blendPositions, blendPositions + count);
    rampKind_ = RampKind::Blend;
    return Ok;
}

Status PathGradientBrush::SetWrapMode(WrapMode wrapMode)
{
    if (wrapMode < WrapModeTile || wrapMode > WrapModeClamp)
        return InvalidParameter;
    wrap_ = wrapMode;
    return Ok;
}

Status PathGradientBrush::SetGammaCorrection(bool useGammaCorrection)
{
    gamma_ = useGammaCorrection;
    return Ok;
}

Status PathGradientBrush::GetRectangle(RectF* rect) const
{
    if (!rect)
        return InvalidParameter;
    *rect = RectF::FromQRectF(path_.boundingRect());
    return Ok;
}

ColorRamp PathGradientBrush::EffectiveRamp() const
{
    const Color outline = surround_.front();
    switch (rampKind_) {
    case RampKind::Preset:
        return customRamp_;
    case RampKind::Blend:
        return ColorRamp::Blend(outline, centerColor_, blendFactors_.data(), blendPositions_.data(),
                                INT(blendFactors_.size()));
    case RampKind::Linear:
        break;
    }
    return ColorRamp::TwoColor(outline, centerColor_);
}

double PathGradientBrush::PositionAt(PointF p) const
{
    const QPointF q = p.ToQPointF();
    if (status_ != Ok || !path_.contains(q))
        return 0;
    double best = 0;
    ForEachTriangle(outline_, center_.ToQPointF(), [&](const FanTriangle& t) {
        double s = Cross(q - t.c, t.b - t.c) / t.det;
        double u = Cross(t.a - t.c, q - t.c) / t.det;
        if (s >= -1e-9 && u >= -1e-9 && s + u <= 1 + 1e-9)
            best = std::clamp(1.0 - s - u, 0.0, 1.0);
    });
    return best;
}

Color PathGradientBrush::ColorAtPosition(double position) const
{
    return EffectiveRamp().At(position, gamma_);
}

QBrush PathGradientBrush::EllipseBrush() const
{
    const QRectF e = ellipseRect_.ToQRectF();
    const double rx = e.width() / 2, ry = e.height() / 2;
    QPointF focal((center_.X - e.center().x()) / rx, (center_.Y - e.center().y()) / ry);
    // Qt pulls a focal point on the circle inward itself; keep it strictly
    // inside so the ray rule stays defined.
    const double len = std::hypot(focal.x(), focal.y());
    if (len > 0.999)
        focal *= 0.999 / len;
    QRadialGradient g(QPointF(0, 0), 1.0, focal);
    // Qt runs from the focal point (0) to the circle (1); blend positions run
    // from the outline (0) to the centre (1).
    QGradientStops stops = EffectiveRamp().ToQStops(gamma_);
    QGradientStops flipped;
    for (auto it = stops.crbegin(); it != stops.crend(); ++it)
        flipped.append({1.0 - it->first, it->second});
    g.setStops(flipped);
    g.setSpread(QGradient::PadSpread);
    g.setInterpolationMode(QGradient::ComponentInterpolation);
    QBrush b(g);
    b.setTransform(QTransform(rx, 0, 0, ry, e.center().x(), e.center().y()));
    return b;
}

// Rasterises the fan of triangles over the path's bounding box in device
// pixels: each triangle's blend position is affine, so every row of it is a
// span with a constant step.
QBrush PathGradientBrush::RasterBrush(const QTransform& world) const
{
    const QPointF centre = world.map(center_.ToQPointF());
    std::vector<QPolygonF> figures;
    figures.reserve(outline_.size());
    for (const QPolygonF& poly : outline_)
        figures.push_back(world.map(poly));
    QRectF bounds;
    for (const QPolygonF& poly : figures)
        bounds = bounds.united(poly.boundingRect());
    const int x0 = int(std::floor(bounds.left())), y0 = int(std::floor(bounds.top()));
    const int w = std::max(1, int(std::ceil(bounds.right())) - x0);
    const int h = std::max(1, int(std::ceil(bounds.bottom())) - y0);

    constexpr int kTable = 1024;
    QRgb table[kTable];
    EffectiveRamp().FillTable(table, kTable, gamma_);

    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(table[0]);
    const double sx0 = x0 + 0.5, sy0 = y0 + 0.5;  // pixel centres
    ForEachTriangle(figures, centre, [&](const FanTriangle& t) {
        // s(P) = cross(P - C, B - C) / det,  u(P) = cross(A - C, P - C) / det
        const QPointF cb = t.b - t.c, ca = t.a - t.c;
        const double sX = cb.y() / t.det, sY = -cb.x() / t.det;
        const double uX = -ca.y() / t.det, uY = ca.x() / t.det;
        const double sC = -(t.c.x() * sX + t.c.y() * sY);
        const double uC = -(t.c.x() * uX + t.c.y() * uY);
        const double top = std::min({t.c.y(), t.a.y(), t.b.y()});
        const double bottom = std::max({t.c.y(), t.a.y(), t.b.y()});
        const int rowFirst = std::max(0, int(std::ceil(top - sy0 - 1e-9)));
        const int rowLast = std::min(h - 1, int(std::floor(bottom - sy0 + 1e-9)));
        for (int row = rowFirst; row <= rowLast; ++row) {
            const double py = sy0 + row;
            // The three conditions s >= 0, u >= 0, 1 - s - u >= 0 along the row
            // as f0 + fx * x >= 0.
            const double f0[3] = {sC + sY * py, uC + uY * py, 1.0 - (sC + sY * py) - (uC + uY * py)};
            const double fx[3] = {sX, uX, -sX - uX};
            double lo = -1e300, hi = 1e300;
            bool empty = false;
            for (int k = 0; k < 3; ++k) {
                if (fx[k] > 1e-15)
                    lo = std::max(lo, -f0[k] / fx[k]);
                else if (fx[k] < -1e-15)
                    hi = std::min(hi, -f0[k] / fx[k]);
                else if (f0[k] < -1e-9)
                    empty = true;
            }
            if (empty || lo > hi)
                continue;
            const int colFirst = std::max(0, int(std::ceil(lo - sx0 - 1e-9)));
            const int colLast = std::min(w - 1, int(std::floor(hi - sx0 + 1e-9)));
            if (colFirst > colLast)
                continue;
            QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(row));
            double pos = f0[2] + fx[2] * (sx0 + colFirst);
            const double step = fx[2];
            for (int col = colFirst; col <= colLast; ++col, pos += step) {
                int idx = int(pos * (kTable - 1) + 0.5);
                line[col] = table[std::clamp(idx, 0, kTable - 1)];
            }
        }
    });

    QBrush b(img);
    bool invertible = false;
    const QTransform inv = world.inverted(&invertible);
    b.setTransform(QTransform::fromTranslate(x0, y0) * (invertible ? inv : QTransform()));
    return b;
}

void PathGradientBrush::FillArea(QPainter& painter, const QPainterPath& area) const
{
    if (status_ != Ok)
        return;
    const QBrush brush = ToQBrush(painter.worldTransform());
    if (wrap_ != WrapModeClamp) {
        painter.fillPath(area, brush);
        return;
    }
    // Clamp: nothing outside the brush's own path.
    if (area == path_)
        painter.fillPath(area, brush);
    else
        painter.fillPath(area.intersected(path_), brush);
}

QBrush PathGradientBrush::ToQBrush(const QTransform& world) const
{
    if (status_ != Ok)
        return QBrush(Qt::NoBrush);
    return ellipse_ ? EllipseBrush() : RasterBrush(world);
}

} // namespace lumora::gdiplus
