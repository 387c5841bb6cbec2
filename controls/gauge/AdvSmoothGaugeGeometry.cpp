#include "controls/gauge/AdvSmoothGaugeGeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lumora {

namespace {

double Radians(double degrees)
{
    return degrees * std::numbers::pi / 180.0;
}

QPointF Polar(double cx, double cy, double radius, double radians)
{
    return {cx + radius * std::cos(radians), cy + radius * std::sin(radians)};
}

} // namespace

double NextNeedleValue(double value, double destination, int factor)
{
    const double distance = std::abs(destination - value);
    if (!(distance >= kNeedleArrival))
        return destination;
    const double d = std::max(distance / std::max(factor, 1), kNeedleArrival);
    return destination <= value ? value - d : value + d;
}

int GaugeNearest(double x)
{
    // The default floating-point rounding mode rounds halves to even.
    return int(std::nearbyint(x));
}

double ValueToAngle(const GaugeScale& scale, double value)
{
    const double range = double(scale.MaximumValue) - double(scale.MinimumValue);
    return scale.StartAngle + (scale.StopAngle - scale.StartAngle) * (value - scale.MinimumValue) / range;
}

QPointF GaugeDial::Center() const
{
    return {DialWidth / 2.0 + DialMarginX, DialHeight / 2.0 + DialMarginY};
}

QPoint GaugeDial::IntegerCenter() const
{
    return {GaugeNearest(DialWidth / 2.0) + DialMarginX, GaugeNearest(DialHeight / 2.0) + DialMarginY};
}

GaugeDial UpdateDialRect(int width, int height, int marginX, int marginY)
{
    GaugeDial dial;
    dial.Width = width;
    dial.Height = height;
    dial.DialMarginX = marginX;
    dial.DialMarginY = marginY;
    dial.DialWidth = width - 2 * marginX;
    dial.DialHeight = height - 2 * marginY;
    dial.DialRect = QRectF(marginX, marginY, dial.DialWidth, dial.DialHeight);
    return dial;
}

GaugeDial DialForSize(int width, int height)
{
    return UpdateDialRect(width, height, width / 50, height / 50);
}

TArrayOfPointF BuildNeedleOutline(const GaugeScale& scale, const GaugeDial& dial, double value)
{
    const double theta = Radians(ValueToAngle(scale, value));
    const QPointF c = dial.Center();
    const double length = dial.Width / 2.0 - 0.12 * dial.Width;
    const double shoulder = 0.09 * dial.Width;
    const double twenty = Radians(20);
    return {
        Polar(c.x(), c.y(), length, theta),
        Polar(c.x(), c.y(), shoulder, theta + twenty),
        c,
        Polar(c.x(), c.y(), shoulder, theta - twenty),
        Polar(c.x(), c.y(), length, theta - 0.02),
    };
}

void BuildTickMarks(TGaugeTickMarks& ticks, const GaugeScale& scale, const GaugeDial& dial,
                    int divisionCount, int subDivisionCount)
{
    for (TGaugeTickMark& tick : ticks)
        tick.Kind = 0;

    const double width = dial.Width;
    const int m = GaugeNearest(width * 0.01);
    const double v = (dial.DialWidth - m) / 2.0 - 5.0 * m;
    const double x0 = GaugeNearest(dial.DialWidth / 2.0) + dial.DialMarginX;
    const double y0 = GaugeNearest(dial.DialHeight / 2.0) + dial.DialMarginY;

    double a = Radians(scale.StartAngle);
    const double u = Radians(double(scale.StopAngle - scale.StartAngle) / (divisionCount * (subDivisionCount + 1)));
    const double valueStep = double(scale.MaximumValue - scale.MinimumValue) / divisionCount;
    double w = scale.MinimumValue;
    std::size_t n = 0;

    for (int j = 0; j <= divisionCount && n < ticks.size(); ++j) {
        TGaugeTickMark& major = ticks[n++];
        major.Kind = 2;
        major.X1 = x0 + v * std::cos(a);
        major.Y1 = y0 + v * std::sin(a);
        major.X2 = x0 + (v - width / 20) * std::cos(a);
        major.Y2 = y0 + (v - width / 20) * std::sin(a);
        major.LabelX = x0 + (v - width / 10) * std::cos(a);
        major.LabelY = y0 - width / 25 + (v - width / 10) * std::sin(a);
        major.Value = w;
        w += valueStep;
        if (j == divisionCount)
            break;
        for (int k = 0; k < subDivisionCount && n < ticks.size(); ++k) {
            a += u;
            TGaugeTickMark& minor = ticks[n++];
            minor.Kind = 1;
            minor.X1 = x0 + v * std::cos(a);
            minor.Y1 = y0 + v * std::sin(a);
            minor.X2 = x0 + (v - width / 50) * std::cos(a);
            minor.Y2 = y0 + (v - width / 50) * std::sin(a);
            minor.LabelX = minor.LabelY = 0;
            minor.Value = 0;
        }
        a += u;
    }
}

GaugeThresholdSpan UpdateThresholdSpan(const GaugeScale& scale, const GaugeDial& dial,
                                       const GaugeThresholdInput& threshold)
{
    GaugeThresholdSpan span;
    const double a = GaugeNearest(dial.Width * threshold.ArcWidth);
    span.ArcRect = QRectF(dial.DialRect.x() + a, dial.DialRect.y() + a,
                          dial.DialRect.width() - 2 * a, dial.DialRect.height() - 2 * a);

    span.ThresholdStart = ValueToAngle(scale, threshold.Center) - threshold.SweepAngle * double(threshold.Span) / 200.0;
    if (scale.StartAngle >= span.ThresholdStart)
        span.ThresholdStart = scale.StartAngle;

    span.ThresholdSweep = threshold.SweepAngle * double(threshold.Span) / 100.0;
    if (scale.StopAngle < span.ThresholdStart + span.ThresholdSweep)
        span.ThresholdSweep = scale.StopAngle - span.ThresholdStart;
    return span;
}

bool PointInPolygon(const std::vector<QPointF>& polygon, QPointF p)
{
    bool inside = false;
    const std::size_t count = polygon.size();
    for (std::size_t i = 0, j = count - 1; i < count; j = i++) {
        const QPointF& pi = polygon[i];
        const QPointF& pj = polygon[j];
        const bool straddles = (pi.y() <= p.y() && p.y() < pj.y()) || (pj.y() <= p.y() && p.y() < pi.y());
        if (straddles && p.x() < pi.x() + (pj.x() - pi.x()) * (p.y() - pi.y()) / (pj.y() - pi.y()))
            inside = !inside;
    }
    return inside;
}

std::optional<double> ValueAtPoint(const GaugeScale& scale, const GaugeDial& dial,
                                   int divisionCount, int subDivisionCount, QPointF point)
{
    const int n = (subDivisionCount + 1) * divisionCount;
    const double step = double(scale.MaximumValue - scale.MinimumValue) / n;
    const QPointF pivot(dial.Width / 2.0, dial.Height / 2.0);
    // Every wedge meets at the pivot and the edge rule would hand that one
    // point to whichever wedge lies along the x axis; the centre names no
    // direction, so it picks nothing.
    if (point == pivot)
        return std::nullopt;
    double v = scale.MinimumValue;
    for (int i = 0; i <= n; ++i) {
        const QPointF t1 = BuildNeedleOutline(scale, dial, v + step / 2)[0];
        const QPointF t2 = BuildNeedleOutline(scale, dial, v - step / 2)[0];
        if (PointInPolygon({t1, pivot, t2}, point))
            return v;
        v += step;
    }
    return std::nullopt;
}

// The seven-segment readout --------------------------------------------------

namespace {

struct DesignPoint {
    double a, b;
};

// Segment outlines on the 12 x 15 design grid, in GaugeSegment order.
const std::vector<DesignPoint> kSegments[kGaugeSegmentCount] = {
    {{2.8, 1}, {10, 1}, {8.8, 2}, {3.8, 2}},
    {{10, 1.4}, {9.3, 6.8}, {8.4, 6.4}, {9, 2.2}},
    {{9.2, 7.2}, {8.7, 12.7}, {7.6, 11.9}, {8.2, 7.7}},
    {{7.4, 12.1}, {8.4, 13}, {1.3, 13}, {2.2, 12.1}},
    {{2.2, 11.8}, {1, 12.7}, {1.7, 7.2}, {2.8, 7.7}},
    {{3, 6.4}, {1.8, 6.8}, {2.6, 1.3}, {3.6, 2.2}},
    {{2, 7}, {3.1, 6.5}, {8.3, 6.5}, {9, 7}, {8.2, 7.5}, {2.9, 7.5}},
};

// Lit segments per glyph as bits in GaugeSegment order; index 0 is the minus.
constexpr std::uint8_t Bits(std::initializer_list<int> segments)
{
    std::uint8_t bits = 0;
    for (int s : segments)
        bits |= std::uint8_t(1u << s);
    return bits;
}

constexpr std::uint8_t kGlyphs[11] = {
    Bits({gsMiddle}),
    Bits({gsTop, gsUpperRight, gsLowerRight, gsBottom, gsLowerLeft, gsUpperLeft}),
    Bits({gsUpperRight, gsLowerRight}),
    Bits({gsTop, gsUpperRight, gsBottom, gsLowerLeft, gsMiddle}),
    Bits({gsTop, gsUpperRight, gsLowerRight, gsBottom, gsMiddle}),
    Bits({gsUpperRight, gsLowerRight, gsUpperLeft, gsMiddle}),
    Bits({gsTop, gsLowerRight, gsBottom, gsUpperLeft, gsMiddle}),
    Bits({gsTop, gsLowerRight, gsBottom, gsLowerLeft, gsUpperLeft, gsMiddle}),
    // The seven carries the upper-left stroke of this typeface.
    Bits({gsTop, gsUpperRight, gsLowerRight, gsUpperLeft}),
    Bits({gsTop, gsUpperRight, gsLowerRight, gsBottom, gsLowerLeft, gsUpperLeft, gsMiddle}),
    Bits({gsTop, gsUpperRight, gsLowerRight, gsBottom, gsUpperLeft, gsMiddle}),
};

} // namespace

bool SegmentLit(int glyph, int segment)
{
    if (glyph < -1 || glyph > 9 || segment < 0 || segment >= kGaugeSegmentCount)
        return false;
    return (kGlyphs[glyph + 1] >> segment) & 1u;
}

std::vector<QPointF> SegmentPolygon(int segment, double h, QPointF origin)
{
    const double w = h / 13 * 10;
    std::vector<QPointF> points;
    for (const DesignPoint& p : kSegments[segment])
        points.emplace_back(origin.x() + p.a * w / 12, origin.y() + p.b * h / 15);
    points.push_back(points.front());
    return points;
}

QRectF SegmentPointRect(double h, QPointF origin)
{
    const double w = h / 13 * 10;
    return {origin.x() + 10 * w / 12, origin.y() + 12 * h / 15, w / 7, w / 7};
}

std::vector<GaugeReadoutGlyph> LayoutReadout(const QString& text, QChar decimalSeparator, const QRectF& d,
                                             int align, const GaugeDial& dial)
{
    const double digitWidth = dial.Width * 15.0 / 250;
    const double separatorWidth = dial.DialWidth * 2.0 / 250;
    auto isDigit = [](QChar c) { return c >= u'0' && c <= u'9'; };

    double total = 0;
    for (QChar c : text) {
        if (c == u',' || c == u'.')
            total += separatorWidth;
        else if (c == u'-' || isDigit(c))
            total += digitWidth;
    }
    double offset = align == 0 ? 0 : align == 1 ? d.width() - total : (d.width() - total) / 2;

    std::vector<GaugeReadoutGlyph> glyphs;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == u',' || c == u'.') {
            offset += separatorWidth;
            continue;
        }
        if (c != u'-' && !isDigit(c))
            continue;
        GaugeReadoutGlyph g;
        g.Glyph = c == u'-' ? -1 : c.unicode() - u'0';
        g.Point = i < n - 2 && text[i + 1] == decimalSeparator;
        g.X = d.x() + offset;
        glyphs.push_back(g);
        offset += digitWidth;
    }
    return glyphs;
}

} // namespace lumora
