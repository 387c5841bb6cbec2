#include "controls/AdvSmoothGaugeGeometry.h"

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

} // namespace lumora
