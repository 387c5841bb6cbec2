#pragma once

#include <QPointF>
#include <QRectF>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace lumora {

// The gauge's geometry as plain functions: painting, hit-testing and the tests
// all ask these, so what is drawn is what is clicked.
//
// Angles are degrees clockwise from the positive x axis in window coordinates
// (y grows downwards): 90 is straight down, 270 straight up.

// Nearest integer, a tie going to the even neighbour.
int GaugeNearest(double x);

// Closer than this to where it is going, the needle is there.
inline constexpr double kNeedleArrival = 0.001;

// Where the needle is one animation step later, on its way from `value` to
// `destination`: 1/factor of the distance left, at least kNeedleArrival; within
// that distance it lands. A factor below 1 steps as 1.
double NextNeedleValue(double value, double destination, int factor);

// The scale: which value sits at which angle.
struct GaugeScale {
    int MinimumValue = 0;
    int MaximumValue = 100;
    int StartAngle = 135;
    int StopAngle = 405;
};

double ValueToAngle(const GaugeScale& scale, double value);

// Dial placement inside the control. The margins are Width div 50 and
// Height div 50 after every resize (5 and 5 before the first one).
struct GaugeDial {
    int Width = 200;
    int Height = 200;
    int DialMarginX = 5;
    int DialMarginY = 5;
    int DialWidth = 190;
    int DialHeight = 190;
    QRectF DialRect{5, 5, 190, 190};

    // The needle's pivot, in floating point: (Width/2, Height/2).
    QPointF Center() const;
    // The pivot snapped to whole pixels, as the tick table and the hub use it.
    QPoint IntegerCenter() const;
};

// Recomputes DialWidth, DialHeight and DialRect from the size and margins.
GaugeDial UpdateDialRect(int width, int height, int marginX, int marginY);
// The margins a resize gives, then UpdateDialRect.
GaugeDial DialForSize(int width, int height);

// The five points of the needle at a value: tip, +20 degree shoulder, pivot,
// -20 degree shoulder, second tip corner. Length and width follow the
// control's Width only, also on a non-square control.
using TArrayOfPointF = std::array<QPointF, 5>;
TArrayOfPointF BuildNeedleOutline(const GaugeScale& scale, const GaugeDial& dial, double value);

// One entry of the tick table; kind 0 empty, 1 minor, 2 major.
struct TGaugeTickMark {
    double X1 = 0, Y1 = 0;         // line start (on the outer circle)
    double X2 = 0, Y2 = 0;         // line end (inwards)
    double LabelX = 0, LabelY = 0; // top centre of a major tick's number
    std::uint8_t Kind = 0;
    double Value = 0;              // majors only
};

inline constexpr int kGaugeTickMarkCount = 1001;
using TGaugeTickMarks = std::array<TGaugeTickMark, kGaugeTickMarkCount>;

// Refills the table: DivisionCount + 1 majors with SubDivisionCount minors
// between each pair.
void BuildTickMarks(TGaugeTickMarks& ticks, const GaugeScale& scale, const GaugeDial& dial,
                    int divisionCount, int subDivisionCount);

// The band arc's ellipse and the threshold highlight, centred on the
// threshold's Center value and cut at both ends of the scale.
struct GaugeThresholdInput {
    double ArcWidth = 0.03;  // inset as a fraction of the control width
    double Center = 25.0;
    int Span = 25;           // percent of SweepAngle
    int SweepAngle = 270;
};

struct GaugeThresholdSpan {
    QRectF ArcRect;
    double ThresholdStart = 0;
    double ThresholdSweep = 0;
};

GaugeThresholdSpan UpdateThresholdSpan(const GaugeScale& scale, const GaugeDial& dial,
                                       const GaugeThresholdInput& threshold);

// Even-odd rule point-in-polygon test.
bool PointInPolygon(const std::vector<QPointF>& polygon, QPointF p);

// The minor-step value whose wedge (from the pivot out to the chord between
// the needle tips half a step either side) holds the point, or nothing.
std::optional<double> ValueAtPoint(const GaugeScale& scale, const GaugeDial& dial,
                                   int divisionCount, int subDivisionCount, QPointF point);

// The seven-segment readout --------------------------------------------------

// Segments in drawing order.
enum GaugeSegment { gsTop, gsUpperRight, gsLowerRight, gsBottom, gsLowerLeft, gsUpperLeft, gsMiddle };
inline constexpr int kGaugeSegmentCount = 7;

// Glyph -1 is the minus sign, 0 ... 9 the digits.
bool SegmentLit(int glyph, int segment);

// The outline of a segment of a glyph h pixels high with its top left at
// origin; the glyph is designed slanted on a 12 x 15 grid, w = h / 13 * 10.
std::vector<QPointF> SegmentPolygon(int segment, double h, QPointF origin);
// The decimal point drawn after a digit: (x, y, size, size).
QRectF SegmentPointRect(double h, QPointF origin);

// One glyph of the readout and where it goes.
struct GaugeReadoutGlyph {
    int Glyph = 0;        // -1 minus, 0 ... 9
    bool Point = false;   // a decimal point follows this glyph
    double X = 0;         // left edge
};

// Places the characters of a formatted value in the readout rect D: digits
// and "-" are Width * 15/250 wide, "," and "." DialWidth * 2/250; others
// take no room and are skipped. A digit directly before the decimal
// separator carries the point (a separator at the very end gets none).
// align: 0 left, 1 right, 2 centre.
std::vector<GaugeReadoutGlyph> LayoutReadout(const QString& text, QChar decimalSeparator, const QRectF& d,
                                             int align, const GaugeDial& dial);

} // namespace lumora
