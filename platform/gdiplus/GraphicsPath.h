#pragma once

#include "platform/gdiplus/GdiplusTypes.h"
#include "platform/gdiplus/Matrix.h"

#include <QPainterPath>
#include <QString>

#include <initializer_list>
#include <vector>

namespace lumora::gdiplus {

// One call made on a path, kept as data so tests can compare what was built.
struct PathCommand {
    enum Kind {
        Line,        // x1, y1, x2, y2
        Lines,       // x0, y0, x1, y1, ...
        Arc,         // x, y, w, h, start, sweep
        Bezier,      // x1, y1, ... x4, y4
        Ellipse,     // x, y, w, h
        Rectangle,   // x, y, w, h
        Pie,         // x, y, w, h, start, sweep
        Polygon,     // x0, y0, x1, y1, ...
        StartFigure, // no values
        CloseFigure, // no values
    };
    Kind kind;
    std::vector<REAL> values;
    bool operator==(const PathCommand&) const = default;
};

// A path with GDI+ semantics:
// - angles are in degrees, clockwise from the x axis (y grows downwards), and
//   measured geometrically on the ellipse (the ray from its centre);
// - within an open figure, each added part is joined to the previous one by
//   a straight line from the last point to its first point;
// - closed shapes (ellipse, rectangle, pie, polygon) are figures of their own;
// - the default fill mode is alternate (even-odd).
class GraphicsPath {
public:
    explicit GraphicsPath(FillMode fillMode = FillModeAlternate);

    Status AddLine(REAL x1, REAL y1, REAL x2, REAL y2);
    Status AddLine(const PointF& a, const PointF& b) { return AddLine(a.X, a.Y, b.X, b.Y); }
    Status AddLines(const PointF* points, INT count);
    Status AddArc(REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle);
    Status AddArc(const RectF& r, REAL startAngle, REAL sweepAngle)
    {
        return AddArc(r.X, r.Y, r.Width, r.Height, startAngle, sweepAngle);
    }
    Status AddBezier(REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3, REAL x4, REAL y4);
    Status AddEllipse(REAL x, REAL y, REAL width, REAL height);
    Status AddEllipse(const RectF& r) { return AddEllipse(r.X, r.Y, r.Width, r.Height); }
    Status AddRectangle(const RectF& r);
    Status AddPie(REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle);
    Status AddPie(const RectF& r, REAL startAngle, REAL sweepAngle)
    {
        return AddPie(r.X, r.Y, r.Width, r.Height, startAngle, sweepAngle);
    }
    Status AddPolygon(const PointF* points, INT count);
    Status AddPath(const GraphicsPath& other, bool connect);
    Status StartFigure();
    Status CloseFigure();
    Status CloseAllFigures();
    Status Reset();

    Status SetFillMode(FillMode mode);
    FillMode GetFillMode() const { return fillMode_; }
    Status GetBounds(RectF* bounds) const;
    RectF GetBounds() const;
    Status GetLastPoint(PointF* point) const;
    bool IsVisible(REAL x, REAL y) const;
    bool IsEmpty() const { return path_.isEmpty(); }
    Status Transform(const Matrix& matrix);

    // The calls made on this path, in order.
    const std::vector<PathCommand>& Commands() const { return commands_; }
    // True when the path is exactly one ellipse (the fast path-gradient case).
    bool IsSingleEllipse(RectF* ellipse = nullptr) const;

    // The geometry as text, one token per segment: "M x,y" starts a figure,
    // "L x,y" is a straight line (including the joins GDI+ inserts between
    // parts), "A x,y,w,h,start,sweep" an elliptic arc of the given bounding
    // rect, "C x1,y1 x2,y2 x3,y3" a Bezier, "Z" closes the figure. Numbers are
    // rounded to 3 decimals and printed without trailing zeros.
    QString ToString() const;

    // The geometry for Qt, in world coordinates.
    const QPainterPath& ToQPainterPath() const { return path_; }

private:
    void BeginPart(QPointF first);
    void CloseCurrentFigure();
    // One serialised segment: its letter and up to six numbers.
    struct Segment {
        char kind;
        int count;
        REAL v[6];
    };
    void AddSegment(char kind, std::initializer_list<REAL> values);
    void ArcTo(REAL x, REAL y, REAL w, REAL h, REAL start, REAL sweep);

    FillMode fillMode_;
    QPainterPath path_;
    std::vector<PathCommand> commands_;
    std::vector<Segment> segments_;  // kept as numbers, printed on demand
    bool figureOpen_ = false;   // the next part continues the current figure
    bool transformed_ = false;  // segment text no longer describes the geometry
};

// GDI+ arc angle (geometric, degrees clockwise) to the ellipse parameter angle
// in degrees, continuous across turns. Exposed for tests.
double EllipseParameterAngle(double angleDegrees, double rx, double ry);

} // namespace lumora::gdiplus
