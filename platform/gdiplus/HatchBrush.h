#pragma once

#include "platform/gdiplus/Brush.h"

#include <array>
#include <cstdint>

namespace lumora::gdiplus {

// The 53 hatch styles in GDI+ order and numbering.
enum HatchStyle {
    HatchStyleHorizontal = 0,
    HatchStyleVertical = 1,
    HatchStyleForwardDiagonal = 2,
    HatchStyleBackwardDiagonal = 3,
    HatchStyleCross = 4,
    HatchStyleDiagonalCross = 5,
    HatchStyle05Percent = 6,
    HatchStyle10Percent = 7,
    HatchStyle20Percent = 8,
    HatchStyle25Percent = 9,
    HatchStyle30Percent = 10,
    HatchStyle40Percent = 11,
    HatchStyle50Percent = 12,
    HatchStyle60Percent = 13,
    HatchStyle70Percent = 14,
    HatchStyle75Percent = 15,
    HatchStyle80Percent = 16,
    HatchStyle90Percent = 17,
    HatchStyleLightDownwardDiagonal = 18,
    HatchStyleLightUpwardDiagonal = 19,
    HatchStyleDarkDownwardDiagonal = 20,
    HatchStyleDarkUpwardDiagonal = 21,
    HatchStyleWideDownwardDiagonal = 22,
    HatchStyleWideUpwardDiagonal = 23,
    HatchStyleLightVertical = 24,
    HatchStyleLightHorizontal = 25,
    HatchStyleNarrowVertical = 26,
    HatchStyleNarrowHorizontal = 27,
    HatchStyleDarkVertical = 28,
    HatchStyleDarkHorizontal = 29,
    HatchStyleDashedDownwardDiagonal = 30,
    HatchStyleDashedUpwardDiagonal = 31,
    HatchStyleDashedHorizontal = 32,
    HatchStyleDashedVertical = 33,
    HatchStyleSmallConfetti = 34,
    HatchStyleLargeConfetti = 35,
    HatchStyleZigZag = 36,
    HatchStyleWave = 37,
    HatchStyleDiagonalBrick = 38,
    HatchStyleHorizontalBrick = 39,
    HatchStyleWeave = 40,
    HatchStylePlaid = 41,
    HatchStyleDivot = 42,
    HatchStyleDottedGrid = 43,
    HatchStyleDottedDiamond = 44,
    HatchStyleShingle = 45,
    HatchStyleTrellis = 46,
    HatchStyleSphere = 47,
    HatchStyleSmallGrid = 48,
    HatchStyleSmallCheckerBoard = 49,
    HatchStyleLargeCheckerBoard = 50,
    HatchStyleOutlinedDiamond = 51,
    HatchStyleSolidDiamond = 52,
    HatchStyleTotal = 53,
    HatchStyleLargeGrid = HatchStyleCross,
    HatchStyleMin = HatchStyleHorizontal,
    HatchStyleMax = HatchStyleSolidDiamond,
};

// The 8 x 8 cell of a style: one byte per row, top row first, bit 7 the
// leftmost pixel; a set bit takes the foreground colour. Styles out of range
// give the horizontal pattern.
std::array<std::uint8_t, 8> HatchPattern(HatchStyle style);

// A two-colour 8 x 8 pattern repeated from the device origin, unscaled by
// the graphics' transform, as GDI+ draws hatches.
class HatchBrush : public Brush {
public:
    HatchBrush(HatchStyle style, const Color& foreColor, const Color& backColor = Color());

    HatchStyle GetHatchStyle() const { return style_; }
    Status GetForegroundColor(Color* color) const;
    Status GetBackgroundColor(Color* color) const;
    Color GetForegroundColor() const { return fore_; }
    Color GetBackgroundColor() const { return back_; }

    std::unique_ptr<Brush> Clone() const override { return std::make_unique<HatchBrush>(*this); }
    QBrush ToQBrush(const QTransform& world) const override;

private:
    HatchStyle style_;
    Color fore_;
    Color back_;
};

} // namespace lumora::gdiplus
