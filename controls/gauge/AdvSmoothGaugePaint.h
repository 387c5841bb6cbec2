#pragma once

#include "platform/gdiplus/GdiplusTypes.h"

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
// then the needle with its hub and the gloss over it. Nothing is kept between
// paints. The gauge's OnGetValueText and OnDisplayValue are raised here.
class TAdvSmoothGaugePainter {
public:
    explicit TAdvSmoothGaugePainter(TAdvSmoothGauge& gauge) : gauge_(gauge) {}

    void PaintGauge(gdiplus::Graphics& graphics);

    void DrawBackgroundLayer(gdiplus::Graphics& target);
    void DrawNeedleLayer(gdiplus::Graphics& target, double cx, double cy);

    void DrawFace(gdiplus::Graphics& g);
    void DrawOuterCircle(gdiplus::Graphics& g);
    void DrawRim(gdiplus::Graphics& g);
    void DrawSections(gdiplus::Graphics& g);
    void DrawTickMarks(gdiplus::Graphics& g);
    void DrawBandArc(gdiplus::Graphics& g);
    void DrawThreshold(gdiplus::Graphics& g);
    void DrawReadoutAndText(gdiplus::Graphics& g);
    void DrawDigitalValue(gdiplus::Graphics& g, const gdiplus::RectF& d, double value);
    void DrawSegmentDigit(gdiplus::Graphics& g, int glyph, int height, bool point, gdiplus::PointF origin);
    void DrawGaugeText(gdiplus::Graphics& g, const QString& text, bool centred, const gdiplus::StringFormat* format,
                       gdiplus::PointF point, const gdiplus::Brush& brush, const TFont& font);
    void DrawFocusRing(gdiplus::Graphics& g);
    void DrawNeedle(gdiplus::Graphics& g);
    void DrawHub(gdiplus::Graphics& g, int x, int y);
    void DrawGloss(gdiplus::Graphics& g);

private:
    void Prepare(gdiplus::Graphics& g) const;

    TAdvSmoothGauge& gauge_;
};

} // namespace lumora
