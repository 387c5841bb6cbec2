#include "platform/framework/Canvas.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace lumora {

namespace {

QRgb ToRgb(TColor color)
{
    const TColor c = ColorToRGB(color);
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

QRect ToQRectOf(const TRect& r)
{
    return QRect(r.Left, r.Top, r.Width(), r.Height());
}

} // namespace

QFont CanvasQFont(const TFont& source)
{
    QFont font = source.ToQFont();
    font.setStyleStrategy(QFont::NoAntialias);
    const int Height = source.Height();
    if (Height < 0) {
        font.setPixelSize(-Height);
    } else if (Height > 0) {
        // A cell height: scale the em size by the family's cell-to-em ratio.
        QFont probe(font);
        probe.setPixelSize(100);
        const QFontMetricsF metrics(probe);
        const double cell = metrics.ascent() + metrics.descent();
        const int em = cell > 0 ? int(std::floor(Height * 100.0 / cell)) : Height;
        font.setPixelSize(std::max(1, em));
    } else {
        font.setPixelSize(11);
    }
    return font;
}

TCanvas::TCanvas(QImage& image) : image_(&image)
{
    if (image_->format() != QImage::Format_RGB32 && image_->format() != QImage::Format_ARGB32)
        *image_ = image_->convertToFormat(QImage::Format_RGB32);
}

void TCanvas::FillRect(const TRect& rect)
{
    if (BrushStyle == bsClear)
        return;
    const QRect r = ToQRectOf(rect).intersected(image_->rect());
    if (r.isEmpty())
        return;
    const QRgb colour = ToRgb(BrushColor);
    for (int y = r.top(); y <= r.bottom(); ++y)
        PlotSpan(r.left(), r.right(), y, colour);
}

void TCanvas::PlotSpan(int x0, int x1, int y, QRgb colour)
{
    auto* line = reinterpret_cast<QRgb*>(image_->scanLine(y));
    std::fill(line + x0, line + x1 + 1, colour);
}

void TCanvas::MoveTo(int x, int y)
{
    penPos_ = {x, y};
}

void TCanvas::LineTo(int x, int y)
{
    const TPoint from = penPos_;
    penPos_ = {x, y};
    if (PenWidth > 1) {
        QPainter painter(image_);
        QPen pen(QColor(ToRgb(PenColor)), PenWidth);
        pen.setCapStyle(Qt::FlatCap);
        painter.setPen(pen);
        painter.drawLine(from.X, from.Y, x, y);
        return;
    }
    // Bresenham, end point excluded.
    const QRgb colour = ToRgb(PenColor);
    const int dx = std::abs(x - from.X), sx = from.X < x ? 1 : -1;
    const int dy = -std::abs(y - from.Y), sy = from.Y < y ? 1 : -1;
    int err = dx + dy;
    int cx = from.X, cy = from.Y;
    const QRect bounds = image_->rect();
    while (cx != x || cy != y) {
        if (bounds.contains(cx, cy))
            reinterpret_cast<QRgb*>(image_->scanLine(cy))[cx] = colour;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            cx += sx;
        }
        if (e2 <= dx) {
            err += dx;
            cy += sy;
        }
    }
}

void TCanvas::Polyline(const std::vector<TPoint>& points)
{
    if (points.empty())
        return;
    MoveTo(points.front().X, points.front().Y);
    for (std::size_t i = 1; i < points.size(); ++i)
        LineTo(points[i].X, points[i].Y);
}

void TCanvas::FloodFill(int x, int y, TColor borderColor)
{
    const QRect bounds = image_->rect();
    if (!bounds.contains(x, y) || BrushStyle == bsClear)
        return;
    const QRgb border = ToRgb(borderColor) | 0xFF000000u;
    const QRgb fill = ToRgb(BrushColor);
    auto at = [&](int px, int py) -> QRgb& { return reinterpret_cast<QRgb*>(image_->scanLine(py))[px]; };
    // Pixels that already have the fill colour are crossed like any other, so
    // filled pixels are tracked separately.
    std::vector<bool> done(std::size_t(bounds.width()) * std::size_t(bounds.height()), false);
    auto open = [&](int px, int py) {
        return !done[std::size_t(py) * std::size_t(bounds.width()) + std::size_t(px)]
               && (at(px, py) | 0xFF000000u) != border;
    };
    if (!open(x, y))
        return;
    // Scan-line fill: each stack entry is a seed; fill its whole run, then
    // seed the runs above and below.
    std::vector<TPoint> stack{{x, y}};
    while (!stack.empty()) {
        const TPoint seed = stack.back();
        stack.pop_back();
        if (!open(seed.X, seed.Y))
            continue;
        int left = seed.X, right = seed.X;
        while (left > bounds.left() && open(left - 1, seed.Y))
            --left;
        while (right < bounds.right() && open(right + 1, seed.Y))
            ++right;
        PlotSpan(left, right, seed.Y, fill);
        std::fill_n(done.begin() + std::ptrdiff_t(std::size_t(seed.Y) * std::size_t(bounds.width()) + std::size_t(left)),
                    right - left + 1, true);
        for (int ny : {seed.Y - 1, seed.Y + 1}) {
            if (ny < bounds.top() || ny > bounds.bottom())
                continue;
            bool inRun = false;
            for (int px = left; px <= right; ++px) {
                const bool o = open(px, ny);
                if (o && !inRun)
                    stack.push_back({px, ny});
                inRun = o;
            }
        }
    }
}

int TCanvas::TextWidth(const QString& text) const
{
    return QFontMetrics(CanvasQFont(Font)).horizontalAdvance(text);
}

int TCanvas::TextHeight(const QString&) const
{
    return QFontMetrics(CanvasQFont(Font)).height();
}

void TCanvas::TextRect(const TRect& rect, const QString& text, TAlignment align)
{
    FillRect(rect);
    QPainter painter(image_);
    painter.setFont(CanvasQFont(Font));
    painter.setPen(QColor(ToRgb(Font.Color())));
    painter.setClipRect(ToQRectOf(rect));
    int flags = Qt::AlignVCenter | Qt::TextSingleLine;
    flags |= align == taCenter ? Qt::AlignHCenter : align == taRightJustify ? Qt::AlignRight : Qt::AlignLeft;
    painter.drawText(ToQRectOf(rect), flags, text);
}

void TCanvas::DrawFocusRect(const TRect& rect)
{
    const QRect bounds = image_->rect();
    auto invert = [&](int x, int y) {
        if (bounds.contains(x, y)) {
            QRgb& p = reinterpret_cast<QRgb*>(image_->scanLine(y))[x];
            p = (p & 0xFF000000u) | (~p & 0x00FFFFFFu);
        }
    };
    if (rect.Width() <= 0 || rect.Height() <= 0)
        return;
    // Walk the outline once, clockwise, inverting every second pixel.
    int n = 0;
    auto visit = [&](int x, int y) {
        if (n++ % 2 == 0)
            invert(x, y);
    };
    const int r = rect.Right - 1, b = rect.Bottom - 1;
    for (int x = rect.Left; x <= r; ++x)
        visit(x, rect.Top);
    for (int y = rect.Top + 1; y <= b; ++y)
        visit(r, y);
    if (b > rect.Top)
        for (int x = r - 1; x >= rect.Left; --x)
            visit(x, b);
    if (r > rect.Left)
        for (int y = b - 1; y > rect.Top; --y)
            visit(rect.Left, y);
}

void TCanvas::Draw(int x, int y, const QImage& image)
{
    QPainter painter(image_);
    painter.drawImage(x, y, image);
}

void TCanvas::StretchDraw(const TRect& rect, const QImage& image)
{
    QPainter painter(image_);
    painter.drawImage(ToQRectOf(rect), image);
}

TColor TCanvas::Pixel(int x, int y) const
{
    if (!image_->rect().contains(x, y))
        return clNone;
    const QRgb p = image_->pixel(x, y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}

} // namespace lumora
