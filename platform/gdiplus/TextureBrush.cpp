#include "platform/gdiplus/TextureBrush.h"

#include <QPainter>

namespace lumora::gdiplus {

namespace {

// The flip modes repeat a 2 x 2 (or 2 x 1, 1 x 2) block of mirrored copies.
QImage MirroredTile(const QImage& src, WrapMode mode)
{
    const bool flipX = mode == WrapModeTileFlipX || mode == WrapModeTileFlipXY;
    const bool flipY = mode == WrapModeTileFlipY || mode == WrapModeTileFlipXY;
    if (!flipX && !flipY)
        return src;
    const int w = src.width(), h = src.height();
    QImage out(flipX ? 2 * w : w, flipY ? 2 * h : h, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    QPainter p(&out);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(0, 0, src);
    if (flipX)
        p.drawImage(w, 0, src.mirrored(true, false));
    if (flipY)
        p.drawImage(0, h, src.mirrored(false, true));
    if (flipX && flipY)
        p.drawImage(w, h, src.mirrored(true, true));
    return out;
}

} // namespace

TextureBrush::TextureBrush(const Image* image, WrapMode wrapMode) : Brush(BrushTypeTextureFill)
{
    if (!image || image->IsEmpty()) {
        status_ = InvalidParameter;
        return;
    }
    image_ = image->ToQImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    SetWrapMode(wrapMode);
}

TextureBrush::TextureBrush(const Image* image, WrapMode wrapMode, const RectF& sourceRect)
    : Brush(BrushTypeTextureFill)
{
    if (!image || image->IsEmpty()) {
        status_ = InvalidParameter;
        return;
    }
    image_ = image->ToQImage()
                 .copy(sourceRect.ToQRectF().toAlignedRect())
                 .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    SetWrapMode(wrapMode);
}

Status TextureBrush::SetWrapMode(WrapMode wrapMode)
{
    if (wrapMode < WrapModeTile || wrapMode > WrapModeClamp)
        return InvalidParameter;
    wrap_ = wrapMode;
    return Ok;
}

Status TextureBrush::TranslateTransform(REAL dx, REAL dy, MatrixOrder order)
{
    QTransform op = QTransform::fromTranslate(dx, dy);
    transform_ = order == MatrixOrderPrepend ? op * transform_ : transform_ * op;
    return Ok;
}

Status TextureBrush::ScaleTransform(REAL sx, REAL sy, MatrixOrder order)
{
    QTransform op = QTransform::fromScale(sx, sy);
    transform_ = order == MatrixOrderPrepend ? op * transform_ : transform_ * op;
    return Ok;
}

Status TextureBrush::ResetTransform()
{
    transform_.reset();
    return Ok;
}

void TextureBrush::FillArea(QPainter& painter, const QPainterPath& area) const
{
    if (status_ != Ok)
        return;
    if (wrap_ != WrapModeClamp) {
        Brush::FillArea(painter, area);
        return;
    }
    // Clamp: one copy of the image, nothing around it.
    QPainterPath once;
    once.addRect(transform_.mapRect(QRectF(image_.rect())));
    painter.fillPath(area.intersected(once), ToQBrush(painter.worldTransform()));
}

QBrush TextureBrush::ToQBrush(const QTransform&) const
{
    if (status_ != Ok)
        return QBrush(Qt::NoBrush);
    QBrush b(wrap_ == WrapModeClamp ? image_ : MirroredTile(image_, wrap_));
    b.setTransform(transform_);
    return b;
}

} // namespace lumora::gdiplus
