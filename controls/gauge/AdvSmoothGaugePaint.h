#pragma once

#include "platform/gdiplus/GdiplusTypes.h"

#include <QRectF>
#include <QString>

namespace lumora {

namespace gdiplus {
class Brush;
class Graphics;
class StringFormat;
} // namespace gdiplus

class TAdvSmoothGauge;
class TFont;

// Paints a gauge from its state in two layers: the dial (face, circles,
// sections, scale, band, threshold, readout, dial text, focus ring), drawn
// into a bitmap of the control's size and shown shrunk into the dial rect,
// then the needle with its hub and the gloss over it. Layers are made at the
// target's device pixel ratio. PaintGauge keeps nothing between paints (the
// face cache builds on the steps below to keep what does not move). The
// gauge's OnGetValueText and OnDisplayValue are raised here.
class TAdvSmoothGaugePainter {
public:
    explicit TAdvSmoothGaugePainter(TAdvSmoothGauge& gauge) : gauge_(gauge) {}

    void PaintGauge(gdiplus::Graphics& graphics, double pixelRatio = 1);

    void DrawBackgroundLayer(gdiplus::Graphics& target, double pixelRatio = 1);
    void DrawNeedleLayer(gdiplus::Graphics& target, double pixelRatio = 1);

    // The parts of the dial layer that do not move with the value, in order.
    void DrawStaticDial(gdiplus::Graphics& g);
    // The parts of the dial layer drawn after the readout: the readout, the
    // dial text (when withText) and the focus ring. `readout` is ReadoutText().
    void DrawDialOverlay(gdiplus::Graphics& g, const QString& readout, bool withText);
    // The readout's text for the current value (raises OnDisplayValue); empty
    // when no readout is drawn.
    QString ReadoutText();
    // The part of the dial layer (control coordinates) the readout with this
    // text covers: its background and its digits.
    QRectF ReadoutBounds(const QString& readout) const;
    // The dial text's box in the dial layer; empty without text.
    QRectF DialTextBounds(gdiplus::Graphics& g) const;
    // The box the needle and its hub cover at the current value.
    QRectF NeedleBounds() const;
    // The box the gloss covers; empty without a gloss.
    QRectF GlossBounds() const;
    void Prepare(gdiplus::Graphics& g) const;

    void DrawFace(gdiplus::Graphics& g);
    void DrawOuterCircle(gdiplus::Graphics& g);
    void DrawRim(gdiplus::Graphics& g);
    void DrawSections(gdiplus::Graphics& g);
    void DrawTickMarks(gdiplus::Graphics& g);
    void DrawBandArc(gdiplus::Graphics& g);
    void DrawThreshold(gdiplus::Graphics& g);
    void DrawReadoutAndText(gdiplus::Graphics& g, const QString& readout, bool withText);
    void DrawDigitalValue(gdiplus::Graphics& g, const gdiplus::RectF& d, const QString& text);
    void DrawSegmentDigit(gdiplus::Graphics& g, int glyph, int height, bool point, gdiplus::PointF origin);
    void DrawGaugeText(gdiplus::Graphics& g, const QString& text, bool centred, const gdiplus::StringFormat* format,
                       gdiplus::PointF point, const gdiplus::Brush& brush, const TFont& font);
    void DrawFocusRing(gdiplus::Graphics& g);
    void DrawNeedle(gdiplus::Graphics& g);
    void DrawHub(gdiplus::Graphics& g, int x, int y);
    void DrawGloss(gdiplus::Graphics& g);

private:
    gdiplus::RectF ReadoutBackground() const;
    gdiplus::RectF ReadoutDigits(const gdiplus::RectF& background) const;

    TAdvSmoothGauge& gauge_;
};

} // namespace lumora
