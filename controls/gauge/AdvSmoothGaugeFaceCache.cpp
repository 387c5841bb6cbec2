#include "controls/gauge/AdvSmoothGaugeFaceCache.h"

#include "controls/gauge/AdvSmoothGauge.h"
#include "controls/gauge/AdvSmoothGaugePaint.h"
#include "platform/gdiplus/Graphics.h"

#include <QPainter>

#include <cmath>
#include <cstring>

namespace lumora {

using namespace gdiplus;

namespace {

// Layer pixels a readout's anti-aliased edges may reach beyond its outline.
constexpr int kEdgeSpill = 1;
// Extra layer pixels around a redrawn part, so that every shown pixel of it is
// sampled from pixels of the part only.
constexpr int kSampleMargin = 4;

QImage DevicePicture(const QSize& size, double pixelRatio)
{
    QImage image(int(std::ceil(size.width() * pixelRatio)), int(std::ceil(size.height() * pixelRatio)),
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QRect DeviceArea(const QRectF& area, double pixelRatio)
{
    return QRectF(area.x() * pixelRatio, area.y() * pixelRatio, area.width() * pixelRatio,
                  area.height() * pixelRatio)
        .toAlignedRect();
}

// Where the dial layer lands on the control, in device pixels: the layer is
// shown shrunk into the dial rect.
struct DialMapping {
    double x0, y0, kx, ky;

    DialMapping(const TAdvSmoothGauge& gauge, const QImage& layer, double pixelRatio)
    {
        const QRectF dial = gauge.DialRect();
        x0 = dial.x() * pixelRatio;
        y0 = dial.y() * pixelRatio;
        kx = dial.width() * pixelRatio / layer.width();
        ky = dial.height() * pixelRatio / layer.height();
    }
    QRectF Map(const QRect& r) const { return {x0 + r.x() * kx, y0 + r.y() * ky, r.width() * kx, r.height() * ky}; }
};

void PrepareForImages(QPainter& p)
{
    // As a full paint draws the layer: smoothed, anti-aliased edges.
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

// Blends the part `area` of a device-pixel picture onto the same device
// pixels of the target. In bands of rows: the raster engine hands drawings of
// many rows to its worker threads, whose wake-ups cost more than a frame's
// blending here.
void BlendInBands(QPainter& p, const QImage& image, const QRect& area, double pixelRatio)
{
    constexpr int kBand = 64;
    for (int y = area.top(); y <= area.bottom(); y += kBand) {
        const QRect band(area.x(), y, area.width(), std::min(kBand, area.bottom() + 1 - y));
        p.drawImage(QRectF(band.x() / pixelRatio, band.y() / pixelRatio, band.width() / pixelRatio,
                           band.height() / pixelRatio),
                    image, band);
    }
}

} // namespace

void TAdvSmoothGaugeFaceCache::Release()
{
    valid_ = false;
    staticLayer_ = QImage();
    layer_ = QImage();
    dial_ = QImage();
    gloss_ = QImage();
}

void TAdvSmoothGaugeFaceCache::Build(TAdvSmoothGauge& gauge, double pixelRatio)
{
    size_ = gauge.size();
    pixelRatio_ = pixelRatio;
    TAdvSmoothGaugePainter painter(gauge);

    staticLayer_ = DevicePicture(size_, pixelRatio);
    staticLayer_.setDevicePixelRatio(pixelRatio);
    {
        Graphics g(&staticLayer_);
        painter.Prepare(g);
        painter.DrawStaticDial(g);
        textBounds_ = painter.DialTextBounds(g);
    }

    gloss_ = DevicePicture(size_, pixelRatio);
    gloss_.setDevicePixelRatio(pixelRatio);
    {
        Graphics g(&gloss_);
        painter.Prepare(g);
        painter.DrawGloss(g);
    }
    gloss_.setDevicePixelRatio(1);
    glossArea_ = DeviceArea(painter.GlossBounds(), pixelRatio).adjusted(-2, -2, 2, 2).intersected(gloss_.rect());

    dial_ = QImage();
    readout_.clear();
    readoutArea_ = QRect();
    valid_ = true;
}

QRect TAdvSmoothGaugeFaceCache::ReadoutArea(TAdvSmoothGauge& gauge, const QString& readout) const
{
    const QRectF bounds = TAdvSmoothGaugePainter(gauge).ReadoutBounds(readout);
    if (bounds.isEmpty())
        return QRect();
    return DeviceArea(bounds, pixelRatio_)
        .adjusted(-kEdgeSpill, -kEdgeSpill, kEdgeSpill, kEdgeSpill)
        .intersected(staticLayer_.rect());
}

void TAdvSmoothGaugeFaceCache::RedrawDialPart(TAdvSmoothGauge& gauge, const QRect& area, const QString& readout)
{
    // The part of the whole layer whose shown pixels sample it, drawn again:
    // the kept face first (a little more of it than is drawn over, so that
    // no rounding of the clip reaches pixels from the last frame), then what
    // lies over it.
    const QRect part = area.adjusted(-kSampleMargin, -kSampleMargin, kSampleMargin, kSampleMargin)
                           .intersected(staticLayer_.rect());
    const QRect restored = part.adjusted(-2, -2, 2, 2).intersected(staticLayer_.rect());
    for (int y = restored.top(); y <= restored.bottom(); ++y) {
        std::memcpy(layer_.scanLine(y) + restored.x() * 4, staticLayer_.constScanLine(y) + restored.x() * 4,
                    std::size_t(restored.width()) * 4);
    }
    {
        TAdvSmoothGaugePainter painter(gauge);
        Graphics g(&layer_);
        painter.Prepare(g);
        const QRectF partArea(part.x() / pixelRatio_, part.y() / pixelRatio_, part.width() / pixelRatio_,
                              part.height() / pixelRatio_);
        g.Painter()->setClipRect(partArea);
        // The dial text is drawn after the readout; it only matters where it
        // reaches into the part.
        const bool text = !textBounds_.isEmpty() && textBounds_.adjusted(-4, -4, 4, 4).intersects(partArea);
        painter.DrawDialOverlay(g, readout, text);
    }
    // Shown exactly as the whole layer is, limited to the part's rows: the
    // smooth scaling steps along each row from its start, so whole rows give
    // the very pixels a full drawing gives.
    const DialMapping mapping(gauge, layer_, pixelRatio_);
    const QRect rows = mapping.Map(area).toAlignedRect().adjusted(-1, -1, 1, 1);
    QPainter p(&dial_);
    PrepareForImages(p);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.setClipRect(QRect(0, rows.y(), dial_.width(), rows.height()).intersected(dial_.rect()));
    p.drawImage(mapping.Map(layer_.rect()), layer_);
}

void TAdvSmoothGaugeFaceCache::Paint(TAdvSmoothGauge& gauge, Graphics& target, double pixelRatio)
{
    if (!valid_ || size_ != gauge.size() || pixelRatio_ != pixelRatio)
        Build(gauge, pixelRatio);
    TAdvSmoothGaugePainter painter(gauge);
    painter.Prepare(target);

    const QString readout = painter.ReadoutText();
    if (dial_.isNull()) {
        // The whole dial layer once, shown shrunk into the dial rect.
        layer_ = staticLayer_.copy();
        {
            Graphics g(&layer_);
            painter.Prepare(g);
            painter.DrawDialOverlay(g, readout, true);
        }
        dial_ = DevicePicture(size_, pixelRatio);
        QPainter p(&dial_);
        PrepareForImages(p);
        p.drawImage(DialMapping(gauge, layer_, pixelRatio).Map(layer_.rect()), layer_);
        readout_ = readout;
        readoutArea_ = ReadoutArea(gauge, readout);
    } else if (readout != readout_) {
        const QRect area = ReadoutArea(gauge, readout);
        RedrawDialPart(gauge, area.united(readoutArea_), readout);
        readout_ = readout;
        readoutArea_ = area;
    }

    QPainter& p = *target.Painter();
    BlendInBands(p, dial_, dial_.rect(), pixelRatio);

    // The needle layer: needle, hub and the gloss over them, drawn afresh only
    // in the box around needle and hub; the rest of it is the gloss alone.
    const QRect needle = DeviceArea(painter.NeedleBounds(), pixelRatio)
                             .adjusted(-kEdgeSpill - 1, -kEdgeSpill - 1, kEdgeSpill + 1, kEdgeSpill + 1)
                             .intersected(gloss_.rect());
    if (!needle.isEmpty()) {
        QImage layer(needle.size(), QImage::Format_ARGB32_Premultiplied);
        layer.fill(Qt::transparent);
        layer.setDevicePixelRatio(pixelRatio);
        {
            Graphics g(&layer);
            painter.Prepare(g);
            g.Painter()->translate(-needle.x() / pixelRatio, -needle.y() / pixelRatio);
            painter.DrawNeedle(g);
            const QPoint hub = gauge.Dial().IntegerCenter();
            painter.DrawHub(g, hub.x(), hub.y());
            painter.DrawGloss(g);
        }
        p.drawImage(QPointF(needle.x() / pixelRatio, needle.y() / pixelRatio), layer);
    }
    const auto drawGloss = [&](const QRect& piece) {
        if (!piece.isEmpty())
            BlendInBands(p, gloss_, piece, pixelRatio);
    };
    const QRect gloss = glossArea_;
    const QRect hole = needle.intersected(gloss);
    if (hole.isEmpty()) {
        drawGloss(gloss);
        return;
    }
    drawGloss(QRect(QPoint(gloss.left(), gloss.top()), QPoint(gloss.right(), hole.top() - 1)));
    drawGloss(QRect(QPoint(gloss.left(), hole.bottom() + 1), QPoint(gloss.right(), gloss.bottom())));
    drawGloss(QRect(QPoint(gloss.left(), hole.top()), QPoint(hole.left() - 1, hole.bottom())));
    drawGloss(QRect(QPoint(hole.right() + 1, hole.top()), QPoint(gloss.right(), hole.bottom())));
}

} // namespace lumora
