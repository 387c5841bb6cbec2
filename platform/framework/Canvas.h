#pragma once

#include "platform/framework/Colors.h"

#include <QFont>
#include <QImage>
#include <QString>

#include <vector>

namespace lumora {

// An integer rectangle as the plain canvas uses it: Right and Bottom are
// exclusive, so (0, 0, 10, 5) covers 10 x 5 pixels.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

struct TPoint {
    int X = 0;
    int Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

enum TBrushStyle { bsSolid, bsClear };

// Where text sits in its rectangle; always a single line, vertically centred.
enum TCanvasTextAlign { taLeftJustify, taCenter, taRightJustify };

// The font of a canvas in the terms of the plain graphics interface: a
// positive Height is the cell height (ascent plus descent) in pixels, a
// negative one the character (em) height.
struct TCanvasFont {
    QString Name = QStringLiteral("Tahoma");
    int Height = -11;
    TColor Color = clBlack;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;

    // The Qt font that draws this description.
    QFont ToQFont() const;
};

// A non-anti-aliased drawing surface over a 32-bit image, shaped like the
// plain graphics device interface: filled rectangles, pen lines, border flood
// fill, single-line text, the inverting focus rectangle and bitmaps.
// The canvas draws straight into the image it is given; the image must
// outlive the canvas.
class TCanvas {
public:
    explicit TCanvas(QImage& image);

    QImage& Image() { return *image_; }

    TColor PenColor = clBlack;
    int PenWidth = 1;
    TColor BrushColor = clWhite;
    TBrushStyle BrushStyle = bsSolid;
    TCanvasFont Font;

    // Fills the rectangle with the brush (nothing for a clear brush).
    void FillRect(const TRect& rect);
    // Lines with the pen; like the device interface, LineTo leaves out the
    // end point, so joined lines never paint a pixel twice.
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Polyline(const std::vector<TPoint>& points);
    // Fills with the brush colour every pixel reachable from (x, y) through
    // pixels that are not of the border colour (four-way connected).
    void FloodFill(int x, int y, TColor borderColor);

    int TextWidth(const QString& text) const;
    int TextHeight(const QString& text) const;
    // One line of text, vertically centred in the rectangle and clipped to it.
    // The background is filled with the brush unless the brush is clear.
    void TextRect(const TRect& rect, const QString& text, TCanvasTextAlign align);

    // The dotted focus frame: every other pixel of the rectangle's outline is
    // inverted, so drawing it twice restores the image.
    void DrawFocusRect(const TRect& rect);

    void Draw(int x, int y, const QImage& image);
    void StretchDraw(const TRect& rect, const QImage& image);

    TColor Pixel(int x, int y) const;

private:
    void PlotSpan(int x0, int x1, int y, QRgb colour);

    QImage* image_;
    TPoint penPos_;
};

} // namespace lumora
