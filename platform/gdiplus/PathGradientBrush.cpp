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
    const QRectF box = path.boundingRect();
    if (!(std::isfinite(box.left()) && std::isfinite(box.top()) && std::isfinite(box.right())
          && std::isfinite(box.bottom()))) {
        status_ = InvalidParameter;
        return;
    }
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
    if (!ValidBlendPositions(blendPositions, count) || !presetColors)
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
    if (!ValidBlendPositions(blendPositions, count) || !blendFactors)
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
// span with a constant step. Pixels outside every triangle keep the outline
// colour, which is what anti-aliased edge pixels need.
QImage PathGradientBrush::RasterImage(const QTransform& world, const QRect& limit, QPoint* origin) const
{
    const QPointF centre = world.map(center_.ToQPointF());
    std::vector<QPolygonF> figures;
    figures.reserve(outline_.size());
    QRectF bounds;
    for (const QPolygonF& poly : outline_) {
        figures.push_back(world.isIdentity() ? poly : world.map(poly));
        bounds = bounds.united(figures.back().boundingRect());
    }
    // Only the pixels that can show: the path's box within the limit.
    const QRectF shown = bounds.intersected(QRectF(limit));
    if (shown.isEmpty()) {
        *origin = QPoint();
        return QImage();
    }
    const int x0 = int(std::floor(shown.left())), y0 = int(std::floor(shown.top()));
    const int w = std::max(1, int(std::ceil(shown.right())) - x0);
    const int h = std::max(1, int(std::ceil(shown.bottom())) - y0);
    *origin = QPoint(x0, y0);

    // One entry per level of an 8-bit channel along the blend.
    constexpr int kTable = 256;
    QRgb table[kTable];
    EffectiveRamp().FillTable(table, kTable, gamma_);

    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    if (img.isNull())
        return img;
    img.fill(table[0]);
    // Coordinates relative to the image, pixel centres at +0.5.
    const QPointF shift(x0 + 0.5, y0 + 0.5);
    ForEachTriangle(figures, centre, [&](const FanTriangle& tri) {
        const QPointF c = tri.c - shift, a = tri.a - shift, b = tri.b - shift;
        // s(P) = cross(P - C, B - C) / det,  u(P) = cross(A - C, P - C) / det,
        // and the blend position is 1 - s - u; each as k0 + kx * x + ky * y.
        const QPointF cb = b - c, ca = a - c;
        const double sX = cb.y() / tri.det, sY = -cb.x() / tri.det;
        const double uX = -ca.y() / tri.det, uY = ca.x() / tri.det;
        const double sC = -(c.x() * sX + c.y() * sY);
        const double uC = -(c.x() * uX + c.y() * uY);
        const double k0[3] = {sC, uC, 1.0 - sC - uC};
        const double kx[3] = {sX, uX, -sX - uX};
        const double ky[3] = {sY, uY, -sY - uY};
        // Per condition k0 + kx * x + ky * y >= 0: the x bound on a row is
        // bx + by * y, a lower bound when kx > 0 and an upper one when kx < 0.
        double lowX[3], lowY[3], highX[3], highY[3], flat0[3], flatY[3];
        int lows = 0, highs = 0, flats = 0;
        for (int k = 0; k < 3; ++k) {
            if (kx[k] > 1e-12) {
                lowX[lows] = -k0[k] / kx[k];
                lowY[lows++] = -ky[k] / kx[k];
            } else if (kx[k] < -1e-12) {
                highX[highs] = -k0[k] / kx[k];
                highY[highs++] = -ky[k] / kx[k];
            } else {
                flat0[flats] = k0[k];
                flatY[flats++] = ky[k];
            }
        }
        const double top = std::min({c.y(), a.y(), b.y()});
        const double bottom = std::max({c.y(), a.y(), b.y()});
        const int rowFirst = std::max(0, int(std::ceil(top - 1e-9)));
        const int rowLast = std::min(h - 1, int(std::floor(bottom + 1e-9)));
        const double step = kx[2];
        for (int row = rowFirst; row <= rowLast; ++row) {
            const double y = row;
            bool empty = false;
            for (int k = 0; k < flats; ++k)
                empty = empty || flat0[k] + flatY[k] * y < -1e-9;
            double lo = 0.0, hi = w - 1.0;
            for (int k = 0; k < lows; ++k)
                lo = std::max(lo, lowX[k] + lowY[k] * y - 1e-9);
            for (int k = 0; k < highs; ++k)
                hi = std::min(hi, highX[k] + highY[k] * y + 1e-9);
            if (empty || lo > hi)
                continue;
            int colFirst = int(lo);
            if (colFirst < lo)
                ++colFirst;
            const int colLast = int(hi);
            QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(row));
            double pos = (k0[2] + ky[2] * y + kx[2] * colFirst) * (kTable - 1) + 0.5;
            const double posStep = step * (kTable - 1);
            for (int col = colFirst; col <= colLast; ++col, pos += posStep) {
                const int idx = int(pos);
                line[col] = table[idx < 0 ? 0 : idx >= kTable ? kTable - 1 : idx];
            }
        }
    });
    return img;
}

QBrush PathGradientBrush::RasterBrush(const QTransform& world) const
{
    // A brush for pens and text: the path's box, at most a generous area
    // around the origin.
    QPoint origin;
    QBrush b(RasterImage(world, QRect(-8192, -8192, 16384, 16384), &origin));
    bool invertible = false;
    const QTransform inv = world.inverted(&invertible);
    b.setTransform(QTransform::fromTranslate(origin.x(), origin.y()) * (invertible ? inv : QTransform()));
    return b;
}

void PathGradientBrush::FillArea(QPainter& painter, const QPainterPath& area) const
{
    if (status_ != Ok)
        return;
    if (wrap_ != WrapModeClamp) {
        painter.fillPath(area, ToQBrush(painter.worldTransform()));
        return;
    }
    // Clamp: nothing outside the brush's own path.
    const QPainterPath region = area == path_ ? area : area.intersected(path_);
    if (ellipse_) {
        painter.fillPath(region, EllipseBrush());
        return;
    }
    // Render the gradient over the bounding box, cut it to the region with
    // the painter's edge quality, and draw it untransformed: cheaper than a
    // texture fill, and the edge coverage is applied once.
    const QTransform world = painter.worldTransform();
    QPoint origin;
    QRect limit(0, 0, painter.device()->width(), painter.device()->height());
    if (painter.hasClipping())
        limit &= world.mapRect(painter.clipBoundingRect()).toAlignedRect().adjusted(-1, -1, 1, 1);
    QImage img = RasterImage(world, limit, &origin);
    if (img.isNull())
        return;
    {
        QPainter cut(&img);
        cut.setRenderHint(QPainter::Antialiasing, painter.testRenderHint(QPainter::Antialiasing));
        cut.setCompositionMode(QPainter::CompositionMode_Clear);
        cut.setWorldTransform(world * QTransform::fromTranslate(-origin.x(), -origin.y()));
        // Everything in the box but the region: the box plus the region under
        // the even-odd rule (the region lies inside the box).
        QPainterPath outside;
        if (region.fillRule() == Qt::OddEvenFill) {
            outside = region;
            outside.addRect(world.inverted().mapRect(QRectF(origin, img.size())).adjusted(-1, -1, 1, 1));
        } else {
            QPainterPath box;
            box.addRect(world.inverted().mapRect(QRectF(origin, img.size())).adjusted(-1, -1, 1, 1));
            outside = box.subtracted(region);
        }
        outside.setFillRule(Qt::OddEvenFill);
        cut.fillPath(outside, Qt::black);
    }
    painter.save();
    painter.resetTransform();
    painter.drawImage(origin, img);
    painter.restore();
}

QBrush PathGradientBrush::ToQBrush(const QTransform& world) const
{
    if (status_ != Ok)
        return QBrush(Qt::NoBrush);
    return ellipse_ ? EllipseBrush() : RasterBrush(world);
}

} // namespace lumora::gdiplus
