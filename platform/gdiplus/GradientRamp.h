#pragma once

// Colour ramps shared by the gradient brushes: two colours with an optional
// blend, or a preset of colours at positions; evaluated plainly or in linear
// light (gamma correction).

#include "platform/gdiplus/GdiplusTypes.h"

#include <QGradientStops>
#include <QRgb>

#include <vector>

namespace lumora::gdiplus {

struct RampStop {
    double position;
    Color color;
};

class ColorRamp {
public:
    ColorRamp() = default;
    static ColorRamp TwoColor(const Color& from, const Color& to);
    // Blend factors: at each position, the share of `to` in the colour.
    static ColorRamp Blend(const Color& from, const Color& to, const REAL* factors, const REAL* positions, INT count);
    static ColorRamp Preset(const Color* colors, const REAL* positions, INT count);

    // The colour at t in [0, 1] (clamped); with gamma, channels are mixed in
    // linear light (gamma 2.2) and alpha linearly.
    Color At(double t, bool gamma) const;
    // Stops for Qt. Without gamma the stops themselves; with gamma enough
    // intermediate stops that Qt's linear mixing follows the light curve to
    // within a level or two.
    QGradientStops ToQStops(bool gamma) const;
    // n premultiplied colours sampling the ramp evenly from 0 to 1.
    void FillTable(QRgb* table, int n, bool gamma) const;

    const std::vector<RampStop>& Stops() const { return stops_; }

private:
    std::vector<RampStop> stops_;
};

// Blend positions as GDI+ takes them: at least two, rising, from exactly 0
// to exactly 1, none NaN.
bool ValidBlendPositions(const REAL* positions, INT count);

// Mixes two colours channel by channel (unpremultiplied, as GDI+ does);
// f is the share of b.
Color MixColors(const Color& a, const Color& b, double f, bool gamma);

} // namespace lumora::gdiplus
