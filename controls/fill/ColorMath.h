#pragma once

#include "platform/framework/Colors.h"

#include <optional>

namespace lumora {

// Adds `amount` (may be negative) to each of R, G and B of the colour after
// mapping system colours, clamping every channel to 0..255.
TColor Lighten(TColor color, int amount);

// A colour in hue, saturation and value. Channels and value are on the 0..255
// scale; saturation is 0..1. A grey has no hue.
struct THSV {
    std::optional<double> Hue; // degrees, 0 <= hue < 360
    double Saturation = 0.0;
    double Value = 0.0;
};

// RGB channels on the 0..255 scale; kept unrounded so a round trip is exact.
struct TRGBValue {
    double R = 0.0;
    double G = 0.0;
    double B = 0.0;
};

THSV RGBtoHSV(const TRGBValue& rgb);

// Raises Exception("HSVtoRGB: S = 0 and H has a value") for a colour without
// saturation that still names a hue: no grey from RGBtoHSV looks like that.
TRGBValue HSVtoRGB(const THSV& hsv);

// The face colour of a pressed button: the value of the colour scaled by 0.8,
// each channel rounded to the nearest integer.
TColor PressedColor(TColor color);

} // namespace lumora
