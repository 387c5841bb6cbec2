#pragma once

#include "platform/gdiplus/Brush.h"
#include "platform/gdiplus/Image.h"

namespace lumora::gdiplus {

// An image repeated from the world origin (tile) or drawn once (clamp).
class TextureBrush : public Brush {
public:
    explicit TextureBrush(const Image* image, WrapMode wrapMode = WrapModeTile);
    TextureBrush(const Image* image, WrapMode wrapMode, const RectF& sourceRect);

    Status SetWrapMode(WrapMode wrapMode);
    WrapMode GetWrapMode() const { return wrap_; }
    Status TranslateTransform(REAL dx, REAL dy, MatrixOrder order = MatrixOrderPrepend);
    Status ScaleTransform(REAL sx, REAL sy, MatrixOrder order = MatrixOrderPrepend);
    Status ResetTransform();
    const QImage& GetImage() const { return image_; }

    std::unique_ptr<Brush> Clone() const override { return std::make_unique<TextureBrush>(*this); }
    void FillArea(QPainter& painter, const QPainterPath& area) const override;
    QBrush ToQBrush(const QTransform& world) const override;

private:
    QImage image_;  // already mirrored for the flip modes
    WrapMode wrap_ = WrapModeTile;
    QTransform transform_;
};

} // namespace lumora::gdiplus
