#include "controls/fill/ColorMath.h"

#include "platform/framework/Exception.h"

#include <algorithm>
#include <cmath>

namespace lumora {

namespace {

int ClampChannel(int value) { return std::clamp(value, 0, 255); }

constexpr double kPressedValueFactor = 0.8;

} // namespace

TColor Lighten(TColor color, int amount)
{
    const TColor rgb = ColorToRGB(color);
    return RGB(ClampChannel(GetRValue(rgb) + amount), ClampChannel(GetGValue(rgb) + amount),
               ClampChannel(GetBValue(rgb) + amount));
}

THSV RGBtoHSV(const TRGBValue& rgb)
{
    const double max = std::max({rgb.R, rgb.G, rgb.B});
    const double min = std::min({rgb.R, rgb.G, rgb.B});
    const double delta = max - min;

    THSV hsv;
    hsv.Value = max;
    hsv.Saturation = max > 0.0 ? delta / max : 0.0;
    if (hsv.Saturation == 0.0)
        return hsv; // a grey: hue stays undefined

    // Sector of the largest channel, 60 degrees each.
    double hue;
    if (rgb.R == max)
        hue = (rgb.G - rgb.B) / delta;
    else if (rgb.G == max)
        hue = 2.0 + (rgb.B - rgb.R) / delta;
    else
        hue = 4.0 + (rgb.R - rgb.G) / delta;
    hue *= 60.0;
    if (hue < 0.0)
        hue += 360.0;
    hsv.Hue = hue;
    return hsv;
}

TRGBValue HSVtoRGB(const THSV& hsv)
{
    const double v = hsv.Value;
    if (hsv.Saturation == 0.0) {
        if (hsv.Hue.has_value())
            throw Exception("HSVtoRGB: S = 0 and H has a value");
        return {v, v, v};
    }
    // A chromatic colour always has a hue; treat a missing one as red.
    double h = hsv.Hue.value_or(0.0);
    if (h >= 360.0)
        h = 0.0;
    h /= 60.0;
    const int sector = int(std::floor(h));
    const double f = h - sector;
    const double p = v * (1.0 - hsv.Saturation);
    const double q = v * (1.0 - hsv.Saturation * f);
    const double t = v * (1.0 - hsv.Saturation * (1.0 - f));
    switch (sector) {
    case 0: return {v, t, p};
    case 1: return {q, v, p};
    case 2: return {p, v, t};
    case 3: return {p, q, v};
    case 4: return {t, p, v};
    default: return {v, p, q};
    }
}

TColor PressedColor(TColor color)
{
    const TColor rgb = ColorToRGB(color);
    THSV hsv = RGBtoHSV({double(GetRValue(rgb)), double(GetGValue(rgb)), double(GetBValue(rgb))});
    hsv.Value *= kPressedValueFactor;
    const TRGBValue back = HSVtoRGB(hsv);
    return RGB(ClampChannel(int(std::lround(back.R))), ClampChannel(int(std::lround(back.G))),
               ClampChannel(int(std::lround(back.B))));
}

} // namespace lumora
