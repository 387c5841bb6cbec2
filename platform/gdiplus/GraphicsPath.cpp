#include "platform/gdiplus/GraphicsPath.h"

#include <QTransform>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lumora::gdiplus {

namespace {

constexpr double kDegToRad = std::numbers::pi / 180.0;

QString Number(double v)
{
    double r = std::round(v * 1000.0) / 1000.0;
    if (r == 0.0)
        return QStringLiteral("0");
    QString s = QString::number(r, 'f', 3);
    while (s.endsWith(u'0'))
        s.chop(1);
    if (s.endsWith(u'.'))
        s.chop(1);
    return s;
}

QString PointText(QPointF p)
{
    return Number(p.x()) + u',' + Number(p.y());
}

bool SamePoint(QPointF a, QPointF b)
{
    return std::abs(a.x() - b.x()) < 1e-4 && std::abs(a.y() - b.y()) < 1e-4;
}

QPointF EllipsePoint(double cx, double cy, double rx, double ry, double paramDegrees)
{
    double t = paramDegrees * kDegToRad;
    return QPointF(cx + rx * std::cos(t), cy + ry * std::sin(t));
}

} // namespace

double EllipseParameterAngle(double angleDegrees, double rx, double ry)
{
    double a = angleDegrees * kDegToRad;
    double t = std::atan2(rx * std::sin(a), ry * std::cos(a)) / kDegToRad;
    // The parameter stays in the same quadrant as the angle: bring it onto
    // the same turn so sweeps beyond 180 degrees keep their length.
    t += 360.0 * std::round((angleDegrees - t) / 360.0);
    return t;
}

GraphicsPath::GraphicsPath(FillMode fillMode) : fillMode_(fillMode)
{
    path_.setFillRule(fillMode == FillModeWinding ? Qt::WindingFill : Qt::OddEvenFill);
}

void GraphicsPath::AddSegment(char kind, std::initializer_list<REAL> values)
{
    Segment seg{kind, int(values.size()), {}};
    std::copy(values.begin(), values.end(), seg.v);
    segments_.push_back(seg);
}

void GraphicsPath::BeginPart(QPointF first)
{
    if (!figureOpen_) {
        path_.moveTo(first);
        AddSegment('M', {REAL(first.x()), REAL(first.y())});
        figureOpen_ = true;
        return;
    }
    if (!SamePoint(path_.currentPosition(), first)) {
        path_.lineTo(first);
        AddSegment('L', {REAL(first.x()), REAL(first.y())});
    }
}

void GraphicsPath::ArcTo(REAL x, REAL y, REAL w, REAL h, REAL start, REAL sweep)
{
    const double rx = w / 2.0, ry = h / 2.0;
    const double cx = x + rx, cy = y + ry;
    const double sweepClamped = std::clamp(double(sweep), -360.0, 360.0);
    const double t0 = EllipseParameterAngle(start, rx, ry);
    double t1 = EllipseParameterAngle(double(start) + sweepClamped, rx, ry);
    if (std::abs(sweepClamped) >= 360.0)
        t1 = t0 + sweepClamped;

    BeginPart(EllipsePoint(cx, cy, rx, ry, t0));
    // Cubic pieces of at most 90 degrees of parameter each.
    const int pieces = std::max(1, int(std::ceil(std::abs(t1 - t0) / 90.0 - 1e-9)));
    const double step = (t1 - t0) / pieces;
    const double k = 4.0 / 3.0 * std::tan(step * kDegToRad / 4.0);
    for (int i = 0; i < pieces; ++i) {
        double a = (t0 + step * i) * kDegToRad;
        double b = (t0 + step * (i + 1)) * kDegToRad;
        QPointF p0(cx + rx * std::cos(a), cy + ry * std::sin(a));
        QPointF p3(cx + rx * std::cos(b), cy + ry * std::sin(b));
        QPointF c1(p0.x() - k * rx * std::sin(a), p0.y() + k * ry * std::cos(a));
        QPointF c2(p3.x() + k * rx * std::sin(b), p3.y() - k * ry * std::cos(b));
        path_.cubicTo(c1, c2, p3);
    }
    AddSegment('A', {x, y, w, h, start, REAL(sweepClamped)});
}

Status GraphicsPath::AddLine(REAL x1, REAL y1, REAL x2, REAL y2)
{
    commands_.push_back({PathCommand::Line, {x1, y1, x2, y2}});
    BeginPart(QPointF(x1, y1));
    path_.lineTo(x2, y2);
    AddSegment('L', {x2, y2});
    return Ok;
}

Status GraphicsPath::AddLines(const PointF* points, INT count)
{
    if (!points || count < 2)
        return InvalidParameter;
    PathCommand cmd{PathCommand::Lines, {}};
    for (INT i = 0; i < count; ++i) {
        cmd.values.push_back(points[i].X);
        cmd.values.push_back(points[i].Y);
    }
    commands_.push_back(std::move(cmd));
    BeginPart(points[0].ToQPointF());
    for (INT i = 1; i < count; ++i) {
        path_.lineTo(points[i].ToQPointF());
        AddSegment('L', {points[i].X, points[i].Y});
    }
    return Ok;
}

Status GraphicsPath::AddArc(REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle)
{
    // An arc of an empty ellipse is refused and adds nothing, as in GDI+.
    if (!(width > 0 && height > 0))
        return InvalidParameter;
    commands_.push_back({PathCommand::Arc, {x, y, width, height, startAngle, sweepAngle}});
    ArcTo(x, y, width, height, startAngle, sweepAngle);
    return Ok;
}

Status GraphicsPath::AddBezier(REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3, REAL x4, REAL y4)
{
    commands_.push_back({PathCommand::Bezier, {x1, y1, x2, y2, x3, y3, x4, y4}});
    BeginPart(QPointF(x1, y1));
    path_.cubicTo(x2, y2, x3, y3, x4, y4);
    AddSegment('C', {x2, y2, x3, y3, x4, y4});
    return Ok;
}

Status GraphicsPath::AddEllipse(REAL x, REAL y, REAL width, REAL height)
{
    if (!(width > 0 && height > 0))
        return InvalidParameter;
    commands_.push_back({PathCommand::Ellipse, {x, y, width, height}});
    figureOpen_ = false;
    ArcTo(x, y, width, height, 0, 360);
    CloseCurrentFigure();
    return Ok;
}

Status GraphicsPath::AddRectangle(const RectF& r)
{
    if (!(r.Width > 0 && r.Height > 0))
        return InvalidParameter;
    commands_.push_back({PathCommand::Rectangle, {r.X, r.Y, r.Width, r.Height}});
    figureOpen_ = false;
    BeginPart(QPointF(r.X, r.Y));
    const QPointF corners[] = {{r.GetRight(), r.Y}, {r.GetRight(), r.GetBottom()}, {r.X, r.GetBottom()}};
    for (QPointF c : corners) {
        path_.lineTo(c);
        AddSegment('L', {REAL(c.x()), REAL(c.y())});
    }
    CloseCurrentFigure();
    return Ok;
}

Status GraphicsPath::AddPie(REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle)
{
    if (!(width > 0 && height > 0))
        return InvalidParameter;
    commands_.push_back({PathCommand::Pie, {x, y, width, height, startAngle, sweepAngle}});
    figureOpen_ = false;
    BeginPart(QPointF(x + width / 2.0, y + height / 2.0));
    ArcTo(x, y, width, height, startAngle, sweepAngle);
    CloseCurrentFigure();
    return Ok;
}

Status GraphicsPath::AddPolygon(const PointF* points, INT count)
{
    if (!points || count < 3)
        return InvalidParameter;
    PathCommand cmd{PathCommand::Polygon, {}};
    for (INT i = 0; i < count; ++i) {
        cmd.values.push_back(points[i].X);
        cmd.values.push_back(points[i].Y);
    }
    commands_.push_back(std::move(cmd));
    figureOpen_ = false;
    BeginPart(points[0].ToQPointF());
    for (INT i = 1; i < count; ++i) {
        path_.lineTo(points[i].ToQPointF());
        AddSegment('L', {points[i].X, points[i].Y});
    }
    CloseCurrentFigure();
    return Ok;
}

Status GraphicsPath::AddPath(const GraphicsPath& other, bool connect)
{
    if (other.IsEmpty())
        return Ok;
    commands_.insert(commands_.end(), other.commands_.begin(), other.commands_.end());
    if (connect && figureOpen_)
        path_.connectPath(other.path_);
    else
        path_.addPath(other.path_);
    segments_.insert(segments_.end(), other.segments_.begin(), other.segments_.end());
    transformed_ = transformed_ || other.transformed_;
    figureOpen_ = other.figureOpen_;
    return Ok;
}

Status GraphicsPath::StartFigure()
{
    commands_.push_back({PathCommand::StartFigure, {}});
    figureOpen_ = false;
    return Ok;
}

Status GraphicsPath::CloseFigure()
{
    commands_.push_back({PathCommand::CloseFigure, {}});
    CloseCurrentFigure();
    return Ok;
}

void GraphicsPath::CloseCurrentFigure()
{
    if (figureOpen_) {
        path_.closeSubpath();
        AddSegment('Z', {});
        figureOpen_ = false;
    }
}

Status GraphicsPath::CloseAllFigures()
{
    CloseCurrentFigure();
    return Ok;
}

Status GraphicsPath::Reset()
{
    path_ = QPainterPath();
    SetFillMode(fillMode_);
    commands_.clear();
    segments_.clear();
    figureOpen_ = false;
    transformed_ = false;
    return Ok;
}

Status GraphicsPath::SetFillMode(FillMode mode)
{
    fillMode_ = mode;
    path_.setFillRule(mode == FillModeWinding ? Qt::WindingFill : Qt::OddEvenFill);
    return Ok;
}

Status GraphicsPath::GetBounds(RectF* bounds) const
{
    if (!bounds)
        return InvalidParameter;
    *bounds = GetBounds();
    return Ok;
}

RectF GraphicsPath::GetBounds() const
{
    return RectF::FromQRectF(path_.boundingRect());
}

Status GraphicsPath::GetLastPoint(PointF* point) const
{
    if (!point || IsEmpty())
        return InvalidParameter;
    QPointF p = path_.currentPosition();
    *point = PointF(REAL(p.x()), REAL(p.y()));
    return Ok;
}

bool GraphicsPath::IsVisible(REAL x, REAL y) const
{
    return path_.contains(QPointF(x, y));
}

Status GraphicsPath::Transform(const Matrix& matrix)
{
    path_ = matrix.ToQTransform().map(path_);
    transformed_ = true;
    return Ok;
}

bool GraphicsPath::IsSingleEllipse(RectF* ellipse) const
{
    if (transformed_ || commands_.size() != 1 || commands_[0].kind != PathCommand::Ellipse)
        return false;
    if (ellipse) {
        const auto& v = commands_[0].values;
        *ellipse = RectF(v[0], v[1], v[2], v[3]);
    }
    return true;
}

QString GraphicsPath::ToString() const
{
    if (!transformed_) {
        QStringList out;
        for (const Segment& seg : segments_) {
            QString token(QChar::fromLatin1(seg.kind));
            // Points are "x,y" pairs separated by spaces; an arc's six values
            // are one comma-separated group.
            for (int i = 0; i < seg.count; ++i) {
                const bool pairStart = seg.kind == 'A' ? i == 0 : i % 2 == 0;
                token += pairStart ? u' ' : u',';
                token += Number(seg.v[i]);
            }
            out.append(token);
        }
        return out.join(u' ');
    }
    // After a transform the arcs are no longer ellipses of a stated rect:
    // describe the Bezier geometry itself.
    QStringList out;
    for (int i = 0; i < path_.elementCount(); ++i) {
        const QPainterPath::Element e = path_.elementAt(i);
        if (e.isMoveTo()) {
            out.append(QStringLiteral("M ") + PointText(e));
        } else if (e.isLineTo()) {
            out.append(QStringLiteral("L ") + PointText(e));
        } else if (e.isCurveTo()) {
            out.append(QStringLiteral("C ") + PointText(e) + u' ' + PointText(path_.elementAt(i + 1)) + u' '
                       + PointText(path_.elementAt(i + 2)));
            i += 2;
        }
    }
    return out.join(u' ');
}

} // namespace lumora::gdiplus
