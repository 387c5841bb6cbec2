#pragma once

#include "platform/gdiplus/Brush.h"
#include "platform/gdiplus/Font.h"
#include "platform/gdiplus/GdiplusTypes.h"
#include "platform/gdiplus/GraphicsPath.h"
#include "platform/gdiplus/Image.h"
#include "platform/gdiplus/Matrix.h"
#include "platform/gdiplus/Pen.h"
#include "platform/gdiplus/StringFormat.h"

#include <QPainter>
#include <QString>

#include <memory>
#include <optional>

class QPaintDevice;

namespace lumora::gdiplus {

// A drawing surface with the GDI+ calls the controls use, over QPainter.
// Made on a painter someone else owns (a widget's paint event: the painter's
// state is restored when the Graphics goes away), on a QImage, or on a
// Bitmap. Coordinates are float device pixels before the world transform.
class Graphics {
public:
    explicit Graphics(QPainter* painter);
    explicit Graphics(QImage* image);
    explicit Graphics(Image* image);
    ~Graphics();
    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;

    static std::unique_ptr<Graphics> FromImage(Image* image) { return std::make_unique<Graphics>(image); }

    Status GetLastStatus() const { return status_; }

    // Modes
    Status SetSmoothingMode(SmoothingMode mode);
    SmoothingMode GetSmoothingMode() const { return smoothing_; }
    Status SetTextRenderingHint(TextRenderingHint hint);
    TextRenderingHint GetTextRenderingHint() const { return textHint_; }
    Status SetInterpolationMode(InterpolationMode mode);
    InterpolationMode GetInterpolationMode() const { return interpolation_; }
    REAL GetDpiX() const;
    REAL GetDpiY() const;

    // Clipping (in world coordinates at the time of the call)
    Status SetClip(const GraphicsPath* path, CombineMode mode = CombineModeReplace);
    Status SetClip(const RectF& rect, CombineMode mode = CombineModeReplace);
    Status IntersectClip(const RectF& rect) { return SetClip(rect, CombineModeIntersect); }
    Status ResetClip();
    bool IsClipEmpty() const;

    // Transforms
    Status TranslateTransform(REAL dx, REAL dy, MatrixOrder order = MatrixOrderPrepend);
    Status ScaleTransform(REAL sx, REAL sy, MatrixOrder order = MatrixOrderPrepend);
    Status RotateTransform(REAL angle, MatrixOrder order = MatrixOrderPrepend);
    Status SetTransform(const Matrix* matrix);
    Status GetTransform(Matrix* matrix) const;
    Status ResetTransform();

    // Whole surface
    Status Clear(const Color& color);

    // Fills
    Status FillPath(const Brush* brush, const GraphicsPath* path);
    Status FillRectangle(const Brush* brush, const RectF& rect);
    Status FillRectangle(const Brush* brush, REAL x, REAL y, REAL width, REAL height);
    Status FillEllipse(const Brush* brush, const RectF& rect);
    Status FillEllipse(const Brush* brush, REAL x, REAL y, REAL width, REAL height);
    Status FillPie(const Brush* brush, const RectF& rect, REAL startAngle, REAL sweepAngle);
    Status FillPolygon(const Brush* brush, const PointF* points, INT count, FillMode fillMode = FillModeAlternate);

    // Strokes
    Status DrawPath(const Pen* pen, const GraphicsPath* path);
    Status DrawLine(const Pen* pen, REAL x1, REAL y1, REAL x2, REAL y2);
    Status DrawLine(const Pen* pen, const PointF& a, const PointF& b) { return DrawLine(pen, a.X, a.Y, b.X, b.Y); }
    Status DrawLines(const Pen* pen, const PointF* points, INT count);
    Status DrawRectangle(const Pen* pen, const RectF& rect);
    Status DrawRectangle(const Pen* pen, REAL x, REAL y, REAL width, REAL height);
    Status DrawEllipse(const Pen* pen, const RectF& rect);
    Status DrawEllipse(const Pen* pen, REAL x, REAL y, REAL width, REAL height);
    Status DrawArc(const Pen* pen, const RectF& rect, REAL startAngle, REAL sweepAngle);
    Status DrawArc(const Pen* pen, REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle);
    Status DrawPie(const Pen* pen, const RectF& rect, REAL startAngle, REAL sweepAngle);
    Status DrawPolygon(const Pen* pen, const PointF* points, INT count);

    // Images: at a point at their own pixel size, or scaled into a rect. With
    // attributes holding a colour key, keyed pixels are left out.
    Status DrawImage(const Image* image, REAL x, REAL y);
    Status DrawImage(const Image* image, const RectF& destRect);
    Status DrawImage(const Image* image, REAL x, REAL y, REAL width, REAL height);
    Status DrawImage(const Image* image, const RectF& destRect, REAL srcX, REAL srcY, REAL srcWidth,
                     REAL srcHeight, Unit srcUnit = UnitPixel, const ImageAttributes* attributes = nullptr);

    // Text. A null format is the default format. The layout rect's width or
    // height of 0 means no limit in that direction.
    Status DrawString(const QString& text, const Font* font, const RectF& layoutRect, const StringFormat* format,
                      const Brush* brush);
    Status DrawString(const QString& text, const Font* font, const PointF& origin, const StringFormat* format,
                      const Brush* brush);
    Status DrawString(const QString& text, const Font* font, const PointF& origin, const Brush* brush)
    {
        return DrawString(text, font, origin, nullptr, brush);
    }
    Status MeasureString(const QString& text, const Font* font, const RectF& layoutRect, const StringFormat* format,
                         RectF* boundingBox) const;
    Status MeasureString(const QString& text, const Font* font, const PointF& origin, const StringFormat* format,
                         RectF* boundingBox) const;
    Status MeasureString(const QString& text, const Font* font, const PointF& origin, RectF* boundingBox) const
    {
        return MeasureString(text, font, origin, nullptr, boundingBox);
    }
    RectF MeasureString(const QString& text, const Font* font, const RectF& layoutRect,
                        const StringFormat* format = nullptr) const;

    // The painter underneath, for the rare drawing this API does not cover.
    QPainter* Painter() { return painter_; }

private:
    void InitPainter();
    QFont MakeQFont(const Font& font) const;
    Status Fill(const Brush* brush, const QPainterPath& path);
    Status Stroke(const Pen* pen, const QPainterPath& path);

    std::optional<QPainter> ownPainter_;
    QPainter* painter_ = nullptr;
    bool restoreOnExit_ = false;
    Status status_ = Ok;
    SmoothingMode smoothing_ = SmoothingModeNone;
    TextRenderingHint textHint_ = TextRenderingHintSystemDefault;
    InterpolationMode interpolation_ = InterpolationModeBilinear;
};

} // namespace lumora::gdiplus
