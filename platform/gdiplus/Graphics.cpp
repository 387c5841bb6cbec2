#include "platform/gdiplus/Graphics.h"

#include "platform/gdiplus/TextLayout.h"

#include <QPaintDevice>

#include <limits>

namespace lumora::gdiplus {

namespace {

QPainterPath RectPath(const RectF& r)
{
    QPainterPath p;
    p.addRect(r.ToQRectF());
    return p;
}

QPainterPath EllipsePath(const RectF& r)
{
    GraphicsPath g;
    g.AddEllipse(r);
    return g.ToQPainterPath();
}

QPainterPath PolygonPath(const PointF* points, INT count, bool close, FillMode mode)
{
    QPainterPath p;
    p.setFillRule(mode == FillModeWinding ? Qt::WindingFill : Qt::OddEvenFill);
    p.moveTo(points[0].ToQPointF());
    for (INT i = 1; i < count; ++i)
        p.lineTo(points[i].ToQPointF());
    if (close)
        p.closeSubpath();
    return p;
}

} // namespace

Graphics::Graphics(QPainter* painter) : painter_(painter)
{
    if (!painter_ || !painter_->isActive()) {
        status_ = InvalidParameter;
        painter_ = nullptr;
        return;
    }
    painter_->save();
    restoreOnExit_ = true;
    InitPainter();
}

Graphics::Graphics(QImage* image)
{
    if (!image || image->isNull()) {
        status_ = InvalidParameter;
        return;
    }
    ownPainter_.emplace(image);
    painter_ = &*ownPainter_;
    InitPainter();
}

Graphics::Graphics(Image* image) : Graphics(image ? &image->ToQImage() : static_cast<QImage*>(nullptr)) {}

Graphics::~Graphics()
{
    if (painter_ && restoreOnExit_)
        painter_->restore();
}

void Graphics::InitPainter()
{
    painter_->setRenderHint(QPainter::Antialiasing, false);
    painter_->setRenderHint(QPainter::TextAntialiasing, true);
    painter_->setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter_->setPen(Qt::NoPen);
    painter_->setBrush(Qt::NoBrush);
}

Status Graphics::SetSmoothingMode(SmoothingMode mode)
{
    if (mode < SmoothingModeDefault || mode > SmoothingModeAntiAlias8x8)
        return InvalidParameter;
    smoothing_ = mode;
    if (painter_) {
        const bool aa = mode == SmoothingModeAntiAlias || mode == SmoothingModeAntiAlias8x8
                        || mode == SmoothingModeHighQuality;
        painter_->setRenderHint(QPainter::Antialiasing, aa);
    }
    return Ok;
}

Status Graphics::SetTextRenderingHint(TextRenderingHint hint)
{
    if (hint < TextRenderingHintSystemDefault || hint > TextRenderingHintClearTypeGridFit)
        return InvalidParameter;
    textHint_ = hint;
    if (painter_) {
        const bool aliased = hint == TextRenderingHintSingleBitPerPixel || hint == TextRenderingHintSingleBitPerPixelGridFit;
        painter_->setRenderHint(QPainter::TextAntialiasing, !aliased);
    }
    return Ok;
}

Status Graphics::SetInterpolationMode(InterpolationMode mode)
{
    interpolation_ = mode;
    if (painter_)
        painter_->setRenderHint(QPainter::SmoothPixmapTransform, mode != InterpolationModeNearestNeighbor);
    return Ok;
}

REAL Graphics::GetDpiX() const
{
    return painter_ && painter_->device() ? REAL(painter_->device()->logicalDpiX()) : 96.0f;
}

REAL Graphics::GetDpiY() const
{
    return painter_ && painter_->device() ? REAL(painter_->device()->logicalDpiY()) : 96.0f;
}

Status Graphics::SetClip(const GraphicsPath* path, CombineMode mode)
{
    if (!painter_ || !path)
        return InvalidParameter;
    const QPainterPath& p = path->ToQPainterPath();
    switch (mode) {
    case CombineModeReplace:
        painter_->setClipPath(p, Qt::ReplaceClip);
        return Ok;
    case CombineModeIntersect:
        painter_->setClipPath(p, painter_->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
        return Ok;
    default:
        break;
    }
    // Qt keeps only replace and intersect; the other modes combine paths.
    QPainterPath everything;
    everything.addRect(painter_->worldTransform().inverted().mapRect(
        QRectF(0, 0, painter_->device()->width(), painter_->device()->height())));
    const QPainterPath current = painter_->hasClipping() ? painter_->clipPath() : everything;
    QPainterPath result;
    switch (mode) {
    case CombineModeUnion:
        if (!painter_->hasClipping())
            return Ok;
        result = current.united(p);
        break;
    case CombineModeXor:
        result = current.united(p).subtracted(current.intersected(p));
        break;
    case CombineModeExclude:
        result = current.subtracted(p);
        break;
    case CombineModeComplement:
        result = p.subtracted(current);
        break;
    default:
        return InvalidParameter;
    }
    painter_->setClipPath(result, Qt::ReplaceClip);
    return Ok;
}

Status Graphics::SetClip(const RectF& rect, CombineMode mode)
{
    GraphicsPath p;
    p.AddRectangle(rect);
    if (p.IsEmpty()) {
        // An empty rect clips everything away.
        if (!painter_)
            return InvalidParameter;
        if (mode == CombineModeReplace || mode == CombineModeIntersect)
            painter_->setClipRect(QRectF(), Qt::ReplaceClip);
        return Ok;
    }
    if (painter_ && (mode == CombineModeReplace || mode == CombineModeIntersect)) {
        painter_->setClipRect(rect.ToQRectF(),
                              mode == CombineModeIntersect && painter_->hasClipping() ? Qt::IntersectClip
                                                                                      : Qt::ReplaceClip);
        return Ok;
    }
    return SetClip(&p, mode);
}

Status Graphics::ResetClip()
{
    if (!painter_)
        return InvalidParameter;
    painter_->setClipping(false);
    return Ok;
}

bool Graphics::IsClipEmpty() const
{
    return painter_ && painter_->hasClipping() && painter_->clipRegion().isEmpty();
}

Status Graphics::TranslateTransform(REAL dx, REAL dy, MatrixOrder order)
{
    if (!painter_)
        return InvalidParameter;
    Matrix m(painter_->worldTransform());
    m.Translate(dx, dy, order);
    painter_->setWorldTransform(m.ToQTransform());
    return Ok;
}

Status Graphics::ScaleTransform(REAL sx, REAL sy, MatrixOrder order)
{
    if (!painter_)
        return InvalidParameter;
    Matrix m(painter_->worldTransform());
    m.Scale(sx, sy, order);
    painter_->setWorldTransform(m.ToQTransform());
    return Ok;
}

Status Graphics::RotateTransform(REAL angle, MatrixOrder order)
{
    if (!painter_)
        return InvalidParameter;
    Matrix m(painter_->worldTransform());
    m.Rotate(angle, order);
    painter_->setWorldTransform(m.ToQTransform());
    return Ok;
}

Status Graphics::SetTransform(const Matrix* matrix)
{
    if (!painter_ || !matrix)
        return InvalidParameter;
    painter_->setWorldTransform(matrix->ToQTransform());
    return Ok;
}

Status Graphics::GetTransform(Matrix* matrix) const
{
    if (!painter_ || !matrix)
        return InvalidParameter;
    *matrix = Matrix(painter_->worldTransform());
    return Ok;
}

Status Graphics::ResetTransform()
{
    if (!painter_)
        return InvalidParameter;
    painter_->resetTransform();
    return Ok;
}

Status Graphics::Clear(const Color& color)
{
    if (!painter_)
        return InvalidParameter;
    painter_->save();
    painter_->setCompositionMode(QPainter::CompositionMode_Source);
    const QTransform world = painter_->worldTransform();
    painter_->resetTransform();
    // The clip was set in world coordinates; keep it in force.
    if (painter_->hasClipping())
        painter_->setClipPath(world.map(painter_->clipPath()), Qt::ReplaceClip);
    painter_->fillRect(QRect(0, 0, painter_->device()->width(), painter_->device()->height()), color.ToQColor());
    painter_->restore();
    return Ok;
}

Status Graphics::Fill(const Brush* brush, const QPainterPath& path)
{
    if (!painter_ || !brush)
        return InvalidParameter;
    if (brush->GetLastStatus() != Ok)
        return brush->GetLastStatus();
    brush->FillArea(*painter_, path);
    return Ok;
}

Status Graphics::Stroke(const Pen* pen, const QPainterPath& path)
{
    if (!painter_ || !pen)
        return InvalidParameter;
    const QPen saved = painter_->pen();
    const QBrush savedBrush = painter_->brush();
    painter_->setPen(pen->ToQPen(painter_->worldTransform()));
    painter_->setBrush(Qt::NoBrush);
    painter_->drawPath(path);
    painter_->setPen(saved);
    painter_->setBrush(savedBrush);
    return Ok;
}

Status Graphics::FillPath(const Brush* brush, const GraphicsPath* path)
{
    if (!path)
        return InvalidParameter;
    return Fill(brush, path->ToQPainterPath());
}

Status Graphics::FillRectangle(const Brush* brush, const RectF& rect)
{
    return Fill(brush, RectPath(rect));
}

Status Graphics::FillRectangle(const Brush* brush, REAL x, REAL y, REAL width, REAL height)
{
    return FillRectangle(brush, RectF(x, y, width, height));
}

Status Graphics::FillEllipse(const Brush* brush, const RectF& rect)
{
    return Fill(brush, EllipsePath(rect));
}

Status Graphics::FillEllipse(const Brush* brush, REAL x, REAL y, REAL width, REAL height)
{
    return FillEllipse(brush, RectF(x, y, width, height));
}

Status Graphics::FillPie(const Brush* brush, const RectF& rect, REAL startAngle, REAL sweepAngle)
{
    GraphicsPath p;
    if (p.AddPie(rect, startAngle, sweepAngle) != Ok)
        return InvalidParameter;
    return Fill(brush, p.ToQPainterPath());
}

Status Graphics::FillPolygon(const Brush* brush, const PointF* points, INT count, FillMode fillMode)
{
    if (!points || count < 3)
        return InvalidParameter;
    return Fill(brush, PolygonPath(points, count, true, fillMode));
}

Status Graphics::DrawPath(const Pen* pen, const GraphicsPath* path)
{
    if (!path)
        return InvalidParameter;
    return Stroke(pen, path->ToQPainterPath());
}

Status Graphics::DrawLine(const Pen* pen, REAL x1, REAL y1, REAL x2, REAL y2)
{
    QPainterPath p;
    p.moveTo(x1, y1);
    p.lineTo(x2, y2);
    return Stroke(pen, p);
}

Status Graphics::DrawLines(const Pen* pen, const PointF* points, INT count)
{
    if (!points || count < 2)
        return InvalidParameter;
    return Stroke(pen, PolygonPath(points, count, false, FillModeAlternate));
}

Status Graphics::DrawRectangle(const Pen* pen, const RectF& rect)
{
    return Stroke(pen, RectPath(rect));
}

Status Graphics::DrawRectangle(const Pen* pen, REAL x, REAL y, REAL width, REAL height)
{
    return DrawRectangle(pen, RectF(x, y, width, height));
}

Status Graphics::DrawEllipse(const Pen* pen, const RectF& rect)
{
    return Stroke(pen, EllipsePath(rect));
}

Status Graphics::DrawEllipse(const Pen* pen, REAL x, REAL y, REAL width, REAL height)
{
    return DrawEllipse(pen, RectF(x, y, width, height));
}

Status Graphics::DrawArc(const Pen* pen, const RectF& rect, REAL startAngle, REAL sweepAngle)
{
    GraphicsPath p;
    if (p.AddArc(rect, startAngle, sweepAngle) != Ok)
        return InvalidParameter;
    return Stroke(pen, p.ToQPainterPath());
}

Status Graphics::DrawArc(const Pen* pen, REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle)
{
    return DrawArc(pen, RectF(x, y, width, height), startAngle, sweepAngle);
}

Status Graphics::DrawPie(const Pen* pen, const RectF& rect, REAL startAngle, REAL sweepAngle)
{
    GraphicsPath p;
    if (p.AddPie(rect, startAngle, sweepAngle) != Ok)
        return InvalidParameter;
    return Stroke(pen, p.ToQPainterPath());
}

Status Graphics::DrawPolygon(const Pen* pen, const PointF* points, INT count)
{
    if (!points || count < 2)
        return InvalidParameter;
    return Stroke(pen, PolygonPath(points, count, true, FillModeAlternate));
}

Status Graphics::DrawImage(const Image* image, REAL x, REAL y)
{
    if (!painter_ || !image || image->IsEmpty())
        return InvalidParameter;
    painter_->drawImage(QPointF(x, y), image->ToQImage());
    return Ok;
}

Status Graphics::DrawImage(const Image* image, const RectF& destRect)
{
    if (!painter_ || !image || image->IsEmpty())
        return InvalidParameter;
    const QImage& source = image->ToQImage();
    const QRectF dest = destRect.ToQRectF();
    // The high-quality modes average every source pixel when shrinking;
    // plain bilinear sampling would alias a large picture drawn small.
    const bool highQuality =
        interpolation_ == InterpolationModeHighQualityBicubic || interpolation_ == InterpolationModeHighQualityBilinear;
    const QTransform& t = painter_->worldTransform();
    if (highQuality && t.type() <= QTransform::TxScale) {
        const QSize device = t.mapRect(dest).size().toSize();
        if (!device.isEmpty() && (device.width() < source.width() || device.height() < source.height())) {
            painter_->drawImage(dest, source.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
            return Ok;
        }
    }
    painter_->drawImage(dest, source);
    return Ok;
}

Status Graphics::DrawImage(const Image* image, REAL x, REAL y, REAL width, REAL height)
{
    return DrawImage(image, RectF(x, y, width, height));
}

Status Graphics::DrawImage(const Image* image, const RectF& destRect, REAL srcX, REAL srcY, REAL srcWidth,
                           REAL srcHeight, Unit srcUnit, const ImageAttributes* attributes)
{
    if (!painter_ || !image || image->IsEmpty())
        return InvalidParameter;
    if (srcUnit != UnitPixel)
        return NotImplemented;
    const QRectF source(srcX, srcY, srcWidth, srcHeight);
    if (!attributes || !attributes->HasColorKey()) {
        painter_->drawImage(destRect.ToQRectF(), image->ToQImage(), source);
        return Ok;
    }
    // Colour key: the keyed pixels of the source part become transparent.
    QImage keyed = image->ToQImage().copy(source.toAlignedRect()).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < keyed.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(keyed.scanLine(y));
        for (int x = 0; x < keyed.width(); ++x)
            if (qAlpha(line[x]) != 0 && attributes->IsKeyed(line[x]))
                line[x] = 0;
    }
    painter_->drawImage(destRect.ToQRectF(), keyed);
    return Ok;
}

QFont Graphics::MakeQFont(const Font& font) const
{
    QFont f = font.ToQFont(GetDpiY(), REAL(painter_->device()->logicalDpiY()));
    switch (textHint_) {
    case TextRenderingHintSingleBitPerPixel:
    case TextRenderingHintSingleBitPerPixelGridFit:
        f.setStyleStrategy(QFont::NoAntialias);
        break;
    case TextRenderingHintAntiAlias:
        // Not fitted to the pixel grid: outlines as designed.
        f.setHintingPreference(QFont::PreferNoHinting);
        f.setStyleStrategy(QFont::PreferAntialias);
        break;
    default:
        // ClearType has no meaning on an image with alpha: plain anti-aliasing.
        f.setStyleStrategy(QFont::PreferAntialias);
        break;
    }
    return f;
}

Status Graphics::DrawString(const QString& text, const Font* font, const RectF& layoutRect,
                            const StringFormat* format, const Brush* brush)
{
    if (!painter_ || !font || !brush)
        return InvalidParameter;
    if (text.isEmpty())
        return Ok;
    const StringFormat fmt = format ? *format : StringFormat();
    const REAL dpi = GetDpiY();
    const QFont qfont = MakeQFont(*font);
    PlacedText placed = PlaceText(text, qfont, painter_->device(), font->GetEmPixels(dpi), layoutRect, fmt);

    painter_->save();
    if (!fmt.NoClip() && (layoutRect.Width > 0 || layoutRect.Height > 0)) {
        constexpr qreal kFar = 1e7;
        QRectF clip(layoutRect.Width > 0 ? layoutRect.X : -kFar, layoutRect.Height > 0 ? layoutRect.Y : -kFar,
                    layoutRect.Width > 0 ? layoutRect.Width : 2 * kFar,
                    layoutRect.Height > 0 ? layoutRect.Height : 2 * kFar);
        painter_->setClipRect(clip, painter_->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    }
    painter_->setPen(QPen(brush->ToQBrush(painter_->worldTransform()), 0));
    painter_->setFont(qfont);
    placed.layout->draw(painter_, QPointF(0, 0));
    painter_->restore();
    return Ok;
}

Status Graphics::DrawString(const QString& text, const Font* font, const PointF& origin, const StringFormat* format,
                            const Brush* brush)
{
    return DrawString(text, font, RectF(origin.X, origin.Y, 0, 0), format, brush);
}

Status Graphics::MeasureString(const QString& text, const Font* font, const RectF& layoutRect,
                               const StringFormat* format, RectF* boundingBox) const
{
    if (!painter_ || !font || !boundingBox)
        return InvalidParameter;
    *boundingBox = MeasureString(text, font, layoutRect, format);
    return Ok;
}

Status Graphics::MeasureString(const QString& text, const Font* font, const PointF& origin,
                               const StringFormat* format, RectF* boundingBox) const
{
    return MeasureString(text, font, RectF(origin.X, origin.Y, 0, 0), format, boundingBox);
}

RectF Graphics::MeasureString(const QString& text, const Font* font, const RectF& layoutRect,
                              const StringFormat* format) const
{
    if (!painter_ || !font)
        return RectF();
    const StringFormat fmt = format ? *format : StringFormat();
    const REAL dpi = GetDpiY();
    const QFont qfont = MakeQFont(*font);
    return PlaceText(text, qfont, painter_->device(), font->GetEmPixels(dpi), layoutRect, fmt).box;
}

} // namespace lumora::gdiplus
