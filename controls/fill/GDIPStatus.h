#pragma once

#include "controls/fill/GDIPFill.h"
#include "platform/framework/Font.h"
#include "platform/framework/Persistent.h"

#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QString>

namespace lumora {

namespace gdiplus {
class Graphics;
}

// Badge size from the measured caption (empty size for no caption), the extra
// spacing on each side and the size of the fill's picture (empty for none).
// A badge is never narrower than it is high, so one character gives a circle-
// ended pill.
QSize StatusBadgeSize(QSizeF measuredCaption, int spacing, QSize picture);

// The badge body: (x, y, w - 2b, h - 2b) where b is half the border width
// when the border shows, so the border stays inside the measured size.
QRectF StatusBadgeRect(int x, int y, int width, int height, double borderInset);

// Top-left of the caption text inside a badge of the given size at (x, y).
QPointF StatusCaptionOrigin(int x, int y, int width, int height, int spacing, QSizeF measuredCaption);

// A small pill-shaped status badge: its fill, font, spacing and gloss, and the
// operations that measure and paint it.
class TGDIPStatus : public TPersistent {
public:
    static constexpr int kGlossOpacity = 170;
    static constexpr int kGlossOpacityTo = 30;

    TGDIPStatus();
    TGDIPStatus(const TGDIPStatus&) = delete;
    TGDIPStatus& operator=(const TGDIPStatus&) = delete;

    void Assign(const TPersistent& source) override;

    TGDIPFill& Fill() { return fill_; }
    const TGDIPFill& Fill() const { return fill_; }
    void SetFill(const TGDIPFill& value);

    TFont& Font() { return font_; }
    const TFont& Font() const { return font_; }
    void SetFont(const TFont& value);

    int Spacing() const { return spacing_; }
    void SetSpacing(int value);

    bool Glow() const { return glow_; }
    void SetGlow(bool value);

    // The size found by the last Measure.
    int Width() const { return width_; }
    int Height() const { return height_; }

    // Measures the badge for `caption` (and the fill's picture) into Width
    // and Height.
    void Measure(gdiplus::Graphics& graphics, const QString& caption);

    // Paints the badge with its top-left corner at (x, y), at the measured
    // size when useMeasuredSize, else at width x height.
    void DrawBadge(gdiplus::Graphics& graphics, int x, const QString& caption, bool useMeasuredSize, int height,
                   int width, int y);

    // Whether the fill holds a picture, and its size as the badge measures
    // it (empty when none).
    bool HasFillPicture() const;
    QSize FillPictureSize() const;

private:
    QSizeF MeasureCaption(gdiplus::Graphics& graphics, const QString& caption) const;
    void DrawBody(gdiplus::Graphics& graphics, const QRectF& body);
    void DrawCaption(gdiplus::Graphics& graphics, const QString& caption, int x, int y, int w, int h) const;
    void DrawGloss(gdiplus::Graphics& graphics, const QRectF& body) const;

    TGDIPFill fill_;
    TFont font_;
    int spacing_ = 0;
    bool glow_ = true;
    int width_ = 0;
    int height_ = 0;
};

} // namespace lumora
