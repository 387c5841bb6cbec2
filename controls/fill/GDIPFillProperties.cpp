// What a form definition stores of a TGDIPFill: its published properties in
// streaming order, each left out while it holds its default, except the five
// that are always written.

#include "controls/fill/GDIPFill.h"

#include <array>

namespace lumora {

namespace {

constexpr std::array<const char*, 11> kGradientTypes = {
    "gtSolid", "gtRadial", "gtVertical", "gtHorizontal", "gtForwardDiagonal", "gtBackwardDiagonal",
    "gtAngle", "gtHatch",  "gtPath",     "gtTexture",    "gtNone"};

constexpr std::array<const char*, 54> kHatchStyles = {
    "HatchStyleHorizontal",           "HatchStyleVertical",
    "HatchStyleForwardDiagonal",      "HatchStyleBackwardDiagonal",
    "HatchStyleCross",                "HatchStyleDiagonalCross",
    "HatchStyle05Percent",            "HatchStyle10Percent",
    "HatchStyle20Percent",            "HatchStyle25Percent",
    "HatchStyle30Percent",            "HatchStyle40Percent",
    "HatchStyle50Percent",            "HatchStyle60Percent",
    "HatchStyle70Percent",            "HatchStyle75Percent",
    "HatchStyle80Percent",            "HatchStyle90Percent",
    "HatchStyleLightDownwardDiagonal", "HatchStyleLightUpwardDiagonal",
    "HatchStyleDarkDownwardDiagonal", "HatchStyleDarkUpwardDiagonal",
    "HatchStyleWideDownwardDiagonal", "HatchStyleWideUpwardDiagonal",
    "HatchStyleLightVertical",        "HatchStyleLightHorizontal",
    "HatchStyleNarrowVertical",       "HatchStyleNarrowHorizontal",
    "HatchStyleDarkVertical",         "HatchStyleDarkHorizontal",
    "HatchStyleDashedDownwardDiagonal", "HatchStyleDashedUpwardDiagonal",
    "HatchStyleDashedHorizontal",     "HatchStyleDashedVertical",
    "HatchStyleSmallConfetti",        "HatchStyleLargeConfetti",
    "HatchStyleZigZag",               "HatchStyleWave",
    "HatchStyleDiagonalBrick",        "HatchStyleHorizontalBrick",
    "HatchStyleWeave",                "HatchStylePlaid",
    "HatchStyleDivot",                "HatchStyleDottedGrid",
    "HatchStyleDottedDiamond",        "HatchStyleShingle",
    "HatchStyleTrellis",              "HatchStyleSphere",
    "HatchStyleSmallGrid",            "HatchStyleSmallCheckerBoard",
    "HatchStyleLargeCheckerBoard",    "HatchStyleOutlinedDiamond",
    "HatchStyleSolidDiamond",         "HatchStyleTotal"};

constexpr std::array<const char*, 2> kPictureModes = {"pmInsideFill", "pmOutsideFill"};

constexpr std::array<const char*, 12> kPicturePositions = {
    "ppTopLeft",  "ppTopCenter",    "ppTopRight",     "ppBottomLeft",    "ppBottomCenter", "ppBottomRight",
    "ppTiled",    "ppStretched",    "ppCenterLeft",   "ppCenterCenter",  "ppCenterRight",  "ppCustom"};

constexpr std::array<const char*, 2> kPictureSizes = {"psOriginal", "psCustom"};

constexpr std::array<const char*, 6> kRoundingTypes = {"rtNone", "rtTop", "rtBottom", "rtBoth", "rtLeft", "rtRight"};

constexpr std::array<const char*, 4> kGlowModes = {"gmNone", "gmGradient", "gmRadial", "gmRadialGradient"};

template <std::size_t N>
QVariant Name(const std::array<const char*, N>& names, int value)
{
    if (value < 0 || std::size_t(value) >= N)
        return QVariant(value);
    return QVariant(QString::fromLatin1(names[std::size_t(value)]));
}

} // namespace

std::vector<std::pair<QString, QVariant>> TGDIPFill::StoredProperties() const
{
    std::vector<std::pair<QString, QVariant>> out;
    const auto always = [&](const char* name, QVariant value) { out.emplace_back(QString::fromLatin1(name), value); };
    const auto unlessDefault = [&](const char* name, auto value, auto defaultValue, QVariant stored) {
        if (value != defaultValue)
            out.emplace_back(QString::fromLatin1(name), stored);
    };
    const auto picture = [&](const char* name, const TAdvGDIPPicture& p) {
        if (!p.Empty())
            out.emplace_back(QString::fromLatin1(name), QVariant(p.Data()));
    };

    unlessDefault("Color", FColor, TColor(0xC0C0C0), FColor);
    unlessDefault("ColorTo", FColorTo, TColor(0x808080), FColorTo);
    always("ColorMirror", FColorMirror);
    always("ColorMirrorTo", FColorMirrorTo);
    unlessDefault("GradientType", FGradientType, gtVertical, Name(kGradientTypes, FGradientType));
    unlessDefault("GradientMirrorType", FGradientMirrorType, gtSolid, Name(kGradientTypes, FGradientMirrorType));
    unlessDefault("HatchStyle", FHatchStyle, HatchStyleHorizontal, Name(kHatchStyles, FHatchStyle));
    unlessDefault("HatchStyleMirror", FHatchStyleMirror, HatchStyleHorizontal, Name(kHatchStyles, FHatchStyleMirror));
    unlessDefault("BackGroundPictureMode", FBackGroundPictureMode, pmOutsideFill,
                  Name(kPictureModes, FBackGroundPictureMode));
    picture("BackGroundPicture", *FBackGroundPicture);
    unlessDefault("BackGroundPicturePosition", FBackGroundPicturePosition, ppTopLeft,
                  Name(kPicturePositions, FBackGroundPicturePosition));
    unlessDefault("BackGroundPictureLeft", FBackGroundPictureLeft, 0, FBackGroundPictureLeft);
    unlessDefault("BackGroundPictureTop", FBackGroundPictureTop, 0, FBackGroundPictureTop);
    picture("Picture", *FPicture);
    unlessDefault("PicturePosition", FPicturePosition, ppTopLeft, Name(kPicturePositions, FPicturePosition));
    unlessDefault("PictureLeft", FPictureLeft, 0, FPictureLeft);
    unlessDefault("PictureTop", FPictureTop, 0, FPictureTop);
    unlessDefault("PictureSize", FPictureSize, psOriginal, Name(kPictureSizes, FPictureSize));
    unlessDefault("PictureWidth", FPictureWidth, 50, FPictureWidth);
    unlessDefault("PictureHeight", FPictureHeight, 50, FPictureHeight);
    unlessDefault("Opacity", FOpacity, 255, FOpacity);
    unlessDefault("OpacityTo", FOpacityTo, 255, FOpacityTo);
    unlessDefault("OpacityMirror", FOpacityMirror, 255, FOpacityMirror);
    unlessDefault("OpacityMirrorTo", FOpacityMirrorTo, 255, FOpacityMirrorTo);
    always("BorderColor", FBorderColor);
    unlessDefault("BorderOpacity", FBorderOpacity, 255, FBorderOpacity);
    unlessDefault("BorderWidth", FBorderWidth, 1, FBorderWidth);
    always("Rounding", FRounding);
    unlessDefault("RoundingType", FRoundingType, rtBoth, Name(kRoundingTypes, FRoundingType));
    unlessDefault("ShadowColor", FShadowColor, TColor(0x808080), FShadowColor);
    always("ShadowOffset", FShadowOffset);
    unlessDefault("Angle", FAngle, 0, FAngle);
    unlessDefault("Glow", FGlow, gmNone, Name(kGlowModes, FGlow));
    unlessDefault("GlowGradientColor", FGlowGradientColor, TColor(0xFFFFFF), FGlowGradientColor);
    unlessDefault("GlowRadialColor", FGlowRadialColor, TColor(0xFFFFFF), FGlowRadialColor);
    return out;
}

} // namespace lumora
