#pragma once

#include "platform/framework/Colors.h"
#include "platform/framework/Font.h"
#include "platform/framework/Types.h"

#include <QFont>
#include <QImage>
#include <QString>

#include <vector>

namespace lumora {

enum TBrushStyle { bsSolid, bsClear };

// Text on the canvas is always a single line, vertically centred; the
// alignment (TAlignment) places it horizontally.

// The Qt font that draws a font on the plain canvas, without anti-aliasing.
// A positive Height is the cell height (ascent plus descent) in pixels, a
// negative one the character (em) height.
QFont CanvasQFont(const TFont& font);

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
    TFont Font;

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
    void TextRect(const TRect& rect, const QString& text, TAlignment align);

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
