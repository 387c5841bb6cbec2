#include "platform/gdiplus/HatchBrush.h"

#include <QImage>

namespace lumora::gdiplus {

namespace {

using Cell = std::array<std::uint8_t, 8>;

// Standard 8 x 8 ordered-dither thresholds: the percent styles are the cells
// below a threshold, so each denser style contains the lighter ones.
constexpr int kBayer[8][8] = {
    {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26}, {12, 44, 4, 36, 14, 46, 6, 38},
    {60, 28, 52, 20, 62, 30, 54, 22}, {3, 35, 11, 43, 1, 33, 9, 41},   {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37},  {63, 31, 55, 23, 61, 29, 53, 21},
};

constexpr Cell Dither(int percent)
{
    Cell c{};
    const int cells = (percent * 64 + 50) / 100;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            if (kBayer[y][x] < cells)
                c[y] |= std::uint8_t(0x80 >> x);
    return c;
}

// Diagonal lines every `period` pixels, `width` pixels thick, going down to
// the right ("\") or up to the right ("/").
constexpr Cell Diagonal(int period, int width, bool down)
{
    Cell c{};
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            int k = down ? (x - y + 64) % period : (x + y) % period;
            if (down ? k < width : (period - 1 - k + period) % period < width)
                c[y] |= std::uint8_t(0x80 >> x);
        }
    return c;
}

constexpr Cell Or(Cell a, Cell b)
{
    for (int i = 0; i < 8; ++i)
        a[i] |= b[i];
    return a;
}

constexpr std::array<Cell, HatchStyleTotal> kPatterns = {{
    {0xFF, 0, 0, 0, 0, 0, 0, 0},                               // Horizontal
    {0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80},          // Vertical
    Diagonal(8, 1, true),                                      // ForwardDiagonal
    Diagonal(8, 1, false),                                     // BackwardDiagonal
    {0xFF, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80},          // Cross
    Or(Diagonal(8, 1, true), Diagonal(8, 1, false)),           // DiagonalCross
    Dither(5),                                                 // 05Percent
    Dither(10),                                                // 10Percent
    Dither(20),                                                // 20Percent
    Dither(25),                                                // 25Percent
    Dither(30),                                                // 30Percent
    Dither(40),                                                // 40Percent
    Dither(50),                                                // 50Percent
    Dither(60),                                                // 60Percent
    Dither(70),                                                // 70Percent
    Dither(75),                                                // 75Percent
    Dither(80),                                                // 80Percent
    Dither(90),                                                // 90Percent
    Diagonal(4, 1, true),                                      // LightDownwardDiagonal
    Diagonal(4, 1, false),                                     // LightUpwardDiagonal
    Diagonal(4, 2, true),                                      // DarkDownwardDiagonal
    Diagonal(4, 2, false),                                     // DarkUpwardDiagonal
    Diagonal(8, 3, true),                                      // WideDownwardDiagonal
    Diagonal(8, 3, false),                                     // WideUpwardDiagonal
    {0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88},          // LightVertical
    {0xFF, 0, 0, 0, 0xFF, 0, 0, 0},                            // LightHorizontal
    {0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA},          // NarrowVertical
    {0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0},                      // NarrowHorizontal
    {0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC},          // DarkVertical
    {0xFF, 0xFF, 0, 0, 0xFF, 0xFF, 0, 0},                      // DarkHorizontal
    {0, 0, 0, 0, 0x88, 0x44, 0x22, 0x11},                      // DashedDownwardDiagonal
    {0, 0, 0, 0, 0x11, 0x22, 0x44, 0x88},                      // DashedUpwardDiagonal
    {0xF0, 0, 0, 0, 0x0F, 0, 0, 0},                            // DashedHorizontal
    {0x80, 0x80, 0x80, 0x80, 0x08, 0x08, 0x08, 0x08},          // DashedVertical
    {0x80, 0x08, 0x40, 0x02, 0x10, 0x01, 0x20, 0x04},          // SmallConfetti
    {0xB1, 0x30, 0x03, 0x1B, 0xD8, 0xC0, 0x0C, 0x8D},          // LargeConfetti
    {0x81, 0x42, 0x24, 0x18, 0x81, 0x42, 0x24, 0x18},          // ZigZag
    {0x00, 0x18, 0xA4, 0x03, 0x00, 0x18, 0xA4, 0x03},          // Wave
    {0x01, 0x02, 0x04, 0x08, 0x18, 0x24, 0x42, 0x81},          // DiagonalBrick
    {0xFF, 0x80, 0x80, 0x80, 0xFF, 0x08, 0x08, 0x08},          // HorizontalBrick
    {0x88, 0x54, 0x22, 0x45, 0x88, 0x14, 0x22, 0x51},          // Weave
    {0xAA, 0x55, 0xAA, 0x55, 0xF0, 0xF0, 0xF0, 0xF0},          // Plaid
    {0x00, 0x10, 0x08, 0x10, 0x00, 0x01, 0x80, 0x01},          // Divot
    {0xAA, 0x00, 0x80, 0x00, 0x80, 0x00, 0x80, 0x00},          // DottedGrid
    {0x80, 0x00, 0x22, 0x00, 0x08, 0x00, 0x22, 0x00},          // DottedDiamond
    {0x03, 0x84, 0x48, 0x30, 0x0C, 0x02, 0x01, 0x01},          // Shingle
    {0xFF, 0x66, 0xFF, 0x99, 0xFF, 0x66, 0xFF, 0x99},          // Trellis
    {0x77, 0x98, 0xF8, 0xF8, 0x77, 0x89, 0x8F, 0x8F},          // Sphere
    {0xFF, 0x88, 0x88, 0x88, 0xFF, 0x88, 0x88, 0x88},          // SmallGrid
    {0xCC, 0xCC, 0x33, 0x33, 0xCC, 0xCC, 0x33, 0x33},          // SmallCheckerBoard
    {0xF0, 0xF0, 0xF0, 0xF0, 0x0F, 0x0F, 0x0F, 0x0F},          // LargeCheckerBoard
    {0x41, 0x22, 0x14, 0x08, 0x14, 0x22, 0x41, 0x80},          // OutlinedDiamond
    {0x10, 0x38, 0x7C, 0xFE, 0x7C, 0x38, 0x10, 0x00},          // SolidDiamond
}};

} // namespace

std::array<std::uint8_t, 8> HatchPattern(HatchStyle style)
{
    if (style < HatchStyleMin || style > HatchStyleMax)
        return kPatterns[HatchStyleHorizontal];
    return kPatterns[size_t(style)];
}

HatchBrush::HatchBrush(HatchStyle style, const Color& foreColor, const Color& backColor)
    : Brush(BrushTypeHatchFill), style_(style), fore_(foreColor), back_(backColor)
{
    if (style < HatchStyleMin || style > HatchStyleMax)
        status_ = InvalidParameter;
}

Status HatchBrush::GetForegroundColor(Color* color) const
{
    if (!color)
        return InvalidParameter;
    *color = fore_;
    return Ok;
}

Status HatchBrush::GetBackgroundColor(Color* color) const
{
    if (!color)
        return InvalidParameter;
    *color = back_;
    return Ok;
}

QBrush HatchBrush::ToQBrush(const QTransform& world) const
{
    const Cell cell = HatchPattern(style_);
    QImage tile(8, 8, QImage::Format_ARGB32_Premultiplied);
    const QRgb fore = qPremultiply(fore_.GetValue());
    const QRgb back = qPremultiply(back_.GetValue());
    for (int y = 0; y < 8; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(tile.scanLine(y));
        for (int x = 0; x < 8; ++x)
            line[x] = (cell[size_t(y)] & (0x80 >> x)) ? fore : back;
    }
    QBrush b(tile);
    // Hatches keep their 8-pixel cell on the device grid whatever the
    // transform, as GDI+ draws them.
    bool invertible = false;
    const QTransform inv = world.inverted(&invertible);
    if (invertible)
        b.setTransform(inv);
    return b;
}

} // namespace lumora::gdiplus
