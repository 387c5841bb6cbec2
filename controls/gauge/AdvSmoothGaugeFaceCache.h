#pragma once

#include <QImage>
#include <QRect>
#include <QString>

namespace lumora {

namespace gdiplus {
class Graphics;
} // namespace gdiplus

class TAdvSmoothGauge;

// What a gauge frame does not have to draw again. While the needle glides,
// only the needle, its hub, the readout and what lies above them change; the
// rest is kept as pictures at the device pixel ratio:
//   - the dial layer without the readout (face, circles, rims, sections,
//     ticks and numbers, band, threshold), in the layer's own coordinates;
//   - the whole dial layer, and the same shown shrunk into the dial rect;
//     the readout's part of both is drawn again when the readout changes;
//   - the gloss, which lies over the needle.
// The pictures are made again when the gauge's appearance, size or pixel
// ratio change. A frame gives the same picture as a full paint, within the
// rounding of the blending.
class TAdvSmoothGaugeFaceCache {
public:
    // Something that the kept pictures show changed.
    void Invalidate() { valid_ = false; }
    bool Valid() const { return valid_; }

    // Paints the gauge onto target, whose device pixel ratio is pixelRatio.
    void Paint(TAdvSmoothGauge& gauge, gdiplus::Graphics& target, double pixelRatio);

    // Frees the pictures (a hidden gauge needs none).
    void Release();

private:
    void Build(TAdvSmoothGauge& gauge, double pixelRatio);
    // Draws the dial layer of the rectangle `area` (layer device pixels)
    // again into the shown dial picture.
    void RedrawDialPart(TAdvSmoothGauge& gauge, const QRect& area, const QString& readout);
    // The layer area (device pixels) a readout with this text touches.
    QRect ReadoutArea(TAdvSmoothGauge& gauge, const QString& readout) const;

    bool valid_ = false;
    QSize size_;
    double pixelRatio_ = 0;
    QImage staticLayer_; // the layer without the readout, at the pixel ratio
    QImage layer_;       // the whole layer as last shown, at the pixel ratio
    QImage dial_;        // device pixels, ratio 1
    QImage gloss_;       // device pixels, ratio 1
    QRect glossArea_;    // the gloss's non-transparent part
    QRect readoutArea_;  // what the last frame's readout touched
    QRectF textBounds_;  // the dial text's box, control coordinates
    QString readout_;    // the readout shown in dial_
};

} // namespace lumora
