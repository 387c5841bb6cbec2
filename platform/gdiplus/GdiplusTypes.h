#pragma once

// Value types and enumerations of the drawing layer. The controls paint through
// a small API shaped like GDI+; these are its plain data: colours, points,
// rectangles and the mode enumerations with their GDI+ numeric values.

#include <QColor>
#include <QPointF>
#include <QRectF>

#include <cstdint>

namespace lumora::gdiplus {

using ARGB = std::uint32_t;
using REAL = float;
using INT = int;

// Result of a drawing call, with the GDI+ numbers.
enum Status {
    Ok = 0,
    GenericError = 1,
    InvalidParameter = 2,
    OutOfMemory = 3,
    ObjectBusy = 4,
    InsufficientBuffer = 5,
    NotImplemented = 6,
    Win32Error = 7,
    WrongState = 8,
    Aborted = 9,
    FileNotFound = 10,
    ValueOverflow = 11,
    AccessDenied = 12,
    UnknownImageFormat = 13,
    FontFamilyNotFound = 14,
    FontStyleNotFound = 15,
    NotTrueTypeFont = 16,
    UnsupportedGdiplusVersion = 17,
    GdiplusNotInitialized = 18,
    PropertyNotFound = 19,
    PropertyNotSupported = 20,
};

// A 32-bit colour 0xAARRGGBB.
class Color {
public:
    constexpr Color() = default;
    constexpr explicit Color(ARGB argb) : argb_(argb) {}
    constexpr Color(std::uint8_t r, std::uint8_t g, std::uint8_t b) : argb_(MakeARGB(255, r, g, b)) {}
    constexpr Color(std::uint8_t a, std::uint8_t r, std::uint8_t g, std::uint8_t b) : argb_(MakeARGB(a, r, g, b)) {}

    static constexpr ARGB MakeARGB(std::uint8_t a, std::uint8_t r, std::uint8_t g, std::uint8_t b)
    {
        return (ARGB(a) << 24) | (ARGB(r) << 16) | (ARGB(g) << 8) | ARGB(b);
    }
    static Color FromQColor(const QColor& c) { return Color(ARGB(c.rgba())); }

    constexpr std::uint8_t GetA() const { return std::uint8_t(argb_ >> 24); }
    constexpr std::uint8_t GetR() const { return std::uint8_t(argb_ >> 16); }
    constexpr std::uint8_t GetG() const { return std::uint8_t(argb_ >> 8); }
    constexpr std::uint8_t GetB() const { return std::uint8_t(argb_); }
    constexpr std::uint8_t GetAlpha() const { return GetA(); }
    constexpr std::uint8_t GetRed() const { return GetR(); }
    constexpr std::uint8_t GetGreen() const { return GetG(); }
    constexpr std::uint8_t GetBlue() const { return GetB(); }
    constexpr ARGB GetValue() const { return argb_; }
    void SetValue(ARGB argb) { argb_ = argb; }

    QColor ToQColor() const { return QColor::fromRgba(argb_); }

    constexpr bool operator==(const Color&) const = default;

    static constexpr ARGB Black = 0xFF000000;
    static constexpr ARGB White = 0xFFFFFFFF;
    static constexpr ARGB Transparent = 0x00FFFFFF;

private:
    ARGB argb_ = 0xFF000000;
};

struct PointF {
    REAL X = 0;
    REAL Y = 0;
    constexpr PointF() = default;
    constexpr PointF(REAL x, REAL y) : X(x), Y(y) {}
    QPointF ToQPointF() const { return QPointF(X, Y); }
    constexpr bool operator==(const PointF&) const = default;
};

struct Point {
    INT X = 0;
    INT Y = 0;
    constexpr Point() = default;
    constexpr Point(INT x, INT y) : X(x), Y(y) {}
    constexpr bool operator==(const Point&) const = default;
};

struct SizeF {
    REAL Width = 0;
    REAL Height = 0;
    constexpr SizeF() = default;
    constexpr SizeF(REAL w, REAL h) : Width(w), Height(h) {}
    constexpr bool operator==(const SizeF&) const = default;
};

// A float rectangle (X, Y, Width, Height) in device pixels.
struct RectF {
    REAL X = 0;
    REAL Y = 0;
    REAL Width = 0;
    REAL Height = 0;
    constexpr RectF() = default;
    constexpr RectF(REAL x, REAL y, REAL w, REAL h) : X(x), Y(y), Width(w), Height(h) {}
    constexpr REAL GetLeft() const { return X; }
    constexpr REAL GetTop() const { return Y; }
    constexpr REAL GetRight() const { return X + Width; }
    constexpr REAL GetBottom() const { return Y + Height; }
    constexpr bool IsEmptyArea() const { return Width <= 0 || Height <= 0; }
    QRectF ToQRectF() const { return QRectF(X, Y, Width, Height); }
    static RectF FromQRectF(const QRectF& r) { return RectF(REAL(r.x()), REAL(r.y()), REAL(r.width()), REAL(r.height())); }
    constexpr bool operator==(const RectF&) const = default;
};

// An integer rectangle (X, Y, Width, Height).
struct Rect {
    INT X = 0;
    INT Y = 0;
    INT Width = 0;
    INT Height = 0;
    constexpr Rect() = default;
    constexpr Rect(INT x, INT y, INT w, INT h) : X(x), Y(y), Width(w), Height(h) {}
    constexpr INT GetLeft() const { return X; }
    constexpr INT GetTop() const { return Y; }
    constexpr INT GetRight() const { return X + Width; }
    constexpr INT GetBottom() const { return Y + Height; }
    constexpr operator RectF() const { return RectF(REAL(X), REAL(Y), REAL(Width), REAL(Height)); }
    constexpr bool operator==(const Rect&) const = default;
};

enum SmoothingMode {
    SmoothingModeInvalid = -1,
    SmoothingModeDefault = 0,
    SmoothingModeHighSpeed = 1,
    SmoothingModeHighQuality = 2,
    SmoothingModeNone = 3,
    SmoothingModeAntiAlias = 4,
    SmoothingModeAntiAlias8x8 = 5,
};

enum TextRenderingHint {
    TextRenderingHintSystemDefault = 0,
    TextRenderingHintSingleBitPerPixelGridFit = 1,
    TextRenderingHintSingleBitPerPixel = 2,
    TextRenderingHintAntiAliasGridFit = 3,
    TextRenderingHintAntiAlias = 4,
    TextRenderingHintClearTypeGridFit = 5,
};

enum FillMode {
    FillModeAlternate = 0,
    FillModeWinding = 1,
};

enum WrapMode {
    WrapModeTile = 0,
    WrapModeTileFlipX = 1,
    WrapModeTileFlipY = 2,
    WrapModeTileFlipXY = 3,
    WrapModeClamp = 4,
};

enum LinearGradientMode {
    LinearGradientModeHorizontal = 0,
    LinearGradientModeVertical = 1,
    LinearGradientModeForwardDiagonal = 2,
    LinearGradientModeBackwardDiagonal = 3,
};

enum DashStyle {
    DashStyleSolid = 0,
    DashStyleDash = 1,
    DashStyleDot = 2,
    DashStyleDashDot = 3,
    DashStyleDashDotDot = 4,
    DashStyleCustom = 5,
};

enum CombineMode {
    CombineModeReplace = 0,
    CombineModeIntersect = 1,
    CombineModeUnion = 2,
    CombineModeXor = 3,
    CombineModeExclude = 4,
    CombineModeComplement = 5,
};

enum Unit {
    UnitWorld = 0,
    UnitDisplay = 1,
    UnitPixel = 2,
    UnitPoint = 3,
    UnitInch = 4,
    UnitDocument = 5,
    UnitMillimeter = 6,
};

enum FontStyle {
    FontStyleRegular = 0,
    FontStyleBold = 1,
    FontStyleItalic = 2,
    FontStyleBoldItalic = 3,
    FontStyleUnderline = 4,
    FontStyleStrikeout = 8,
};

enum StringAlignment {
    StringAlignmentNear = 0,
    StringAlignmentCenter = 1,
    StringAlignmentFar = 2,
};

enum StringFormatFlags {
    StringFormatFlagsDirectionRightToLeft = 0x0001,
    StringFormatFlagsDirectionVertical = 0x0002,
    StringFormatFlagsNoFitBlackBox = 0x0004,
    StringFormatFlagsDisplayFormatControl = 0x0020,
    StringFormatFlagsNoFontFallback = 0x0400,
    StringFormatFlagsMeasureTrailingSpaces = 0x0800,
    StringFormatFlagsNoWrap = 0x1000,
    StringFormatFlagsLineLimit = 0x2000,
    StringFormatFlagsNoClip = 0x4000,
};

enum HotkeyPrefix {
    HotkeyPrefixNone = 0,
    HotkeyPrefixShow = 1,
    HotkeyPrefixHide = 2,
};

enum MatrixOrder {
    MatrixOrderPrepend = 0,
    MatrixOrderAppend = 1,
};

enum InterpolationMode {
    InterpolationModeDefault = 0,
    InterpolationModeLowQuality = 1,
    InterpolationModeHighQuality = 2,
    InterpolationModeBilinear = 3,
    InterpolationModeBicubic = 4,
    InterpolationModeNearestNeighbor = 5,
    InterpolationModeHighQualityBilinear = 6,
    InterpolationModeHighQualityBicubic = 7,
};

// Pixel format numbers of bitmaps; only 32-bit ARGB is made by this layer.
enum PixelFormat : int {
    PixelFormat24bppRGB = 0x00021808,
    PixelFormat32bppRGB = 0x00022009,
    PixelFormat32bppARGB = 0x0026200A,
    PixelFormat32bppPARGB = 0x000E200B,
};

} // namespace lumora::gdiplus
