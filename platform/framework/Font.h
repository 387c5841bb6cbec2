#pragma once

#include "platform/framework/Colors.h"
#include "platform/framework/Persistent.h"

#include <QFont>
#include <QString>

namespace lumora {

// Font style bits; the values match the style bits of the drawing layer's
// fonts (bold 1, italic 2, underline 4, strikeout 8), so they pass unchanged.
enum TFontStyle : unsigned {
    fsBold = 1u << 0,
    fsItalic = 1u << 1,
    fsUnderline = 1u << 2,
    fsStrikeOut = 1u << 3,
};
using TFontStyles = unsigned;

// What the drawing layer needs to build its own font: family, size in points
// and style bits.
struct TFontDescription {
    QString Family;
    double SizeInPoints = 0;
    TFontStyles Style = 0;
    friend bool operator==(const TFontDescription&, const TFontDescription&) = default;
};

// A control's font. The size is kept as Height in pixels at PixelsPerInch:
// a negative Height is the character height (without internal leading), the
// way form definitions give fonts ("Tahoma -13"); Size is the same in points.
// Every change fires OnChange once.
class TFont : public TPersistent {
public:
    // Pixels per inch of new fonts: the screen's, set once at start-up.
    static int DefaultPixelsPerInch();
    static void SetDefaultPixelsPerInch(int ppi);

    TFont();
    explicit TFont(int pixelsPerInch);
    TFont(const TFont& other);
    TFont& operator=(const TFont& other);

    void Assign(const TPersistent& source) override;

    const QString& Name() const { return name_; }
    void SetName(const QString& name);

    // Height in pixels; negative is the character height.
    int Height() const { return height_; }
    void SetHeight(int height);

    // Size in points, rounded: -Height * 72 / PixelsPerInch.
    int Size() const;
    void SetSize(int points);

    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles style);
    bool HasStyle(TFontStyle s) const { return (style_ & s) != 0; }

    TColor Color() const { return color_; }
    void SetColor(TColor color);

    int PixelsPerInch() const { return pixelsPerInch_; }
    // Changing the resolution keeps Height (pixels) and so changes Size.
    void SetPixelsPerInch(int ppi);

    // Scales Height by numerator / denominator (form scaling between design
    // and screen resolution), rounded half away from zero.
    void ScaleBy(int numerator, int denominator);

    // A QFont with the character height in pixels, for QPainter on surfaces
    // of this font's resolution.
    QFont ToQFont() const;
    // Family, points and style bits for the drawing layer.
    TFontDescription Description() const;

    friend bool operator==(const TFont& a, const TFont& b);

private:
    QString name_ = QStringLiteral("Tahoma");
    int height_ = 0;
    TFontStyles style_ = 0;
    TColor color_ = clWindowText;
    int pixelsPerInch_ = 96;
};

} // namespace lumora
