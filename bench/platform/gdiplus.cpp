// Drawing-layer costs per call, each including the creation of its drawing
// objects as the controls do on every paint.

#include "platform/gdiplus/Graphics.h"
#include "platform/gdiplus/LinearGradientBrush.h"
#include "platform/gdiplus/PathGradientBrush.h"


#include <benchmark/benchmark.h>

using namespace lumora::gdiplus;

namespace {

GraphicsPath RoundedRect(RectF r, REAL radius)
{
    const REAL d = 2 * radius;
    GraphicsPath p;
    p.AddArc(r.X, r.Y, d, d, 180, 90);
    p.AddArc(r.GetRight() - d, r.Y, d, d, 270, 90);
    p.AddArc(r.GetRight() - d, r.GetBottom() - d, d, d, 0, 90);
    p.AddArc(r.X, r.GetBottom() - d, d, d, 90, 90);
    p.CloseFigure();
    return p;
}

void GammaLinearRoundedRect(benchmark::State& state)
{
    QImage img(200, 100, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::white);
    Graphics g(&img);
    g.SetSmoothingMode(SmoothingModeAntiAlias);
    const RectF r(10, 10, 120, 35);
    for (auto _ : state) {
        GraphicsPath path = RoundedRect(r, 8);
        LinearGradientBrush brush(RectF(r.X - 1, r.Y - 1, r.Width + 2, r.Height + 2), Color(255, 192, 192, 192),
                                  Color(255, 128, 128, 128), LinearGradientModeVertical);
        brush.SetWrapMode(WrapModeTile);
        brush.SetGammaCorrection(true);
        g.FillPath(&brush, &path);
    }
}
BENCHMARK(GammaLinearRoundedRect);

void PathGradientRoundedRect(benchmark::State& state)
{
    QImage img(200, 100, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::white);
    Graphics g(&img);
    g.SetSmoothingMode(SmoothingModeAntiAlias);
    const RectF r(10, 10, 100, 40);
    const Color colors[] = {Color(0, 0, 0, 0), Color(180, 0, 0, 0), Color(180, 0, 0, 0)};
    const REAL positions[] = {0.0f, 0.1f, 1.0f};
    for (auto _ : state) {
        GraphicsPath path = RoundedRect(r, 8);
        PathGradientBrush brush(&path);
        brush.SetWrapMode(WrapModeClamp);
        brush.SetInterpolationColors(colors, positions, 3);
        g.FillPath(&brush, &path);
    }
}
BENCHMARK(PathGradientRoundedRect);

void DrawString20(benchmark::State& state)
{
    QImage img(300, 60, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::white);
    Graphics g(&img);
    g.SetTextRenderingHint(TextRenderingHintAntiAliasGridFit);
    const QString text = QStringLiteral("Brightness level 50%");  // 20 characters
    for (auto _ : state) {
        FontFamily family(QStringLiteral("Tahoma"));
        Font font(&family, 10, FontStyleRegular, UnitPoint);
        StringFormat format;
        SolidBrush brush(Color(255, 0, 0, 0));
        g.DrawString(text, &font, RectF(5, 5, 290, 50), &format, &brush);
    }
}
BENCHMARK(DrawString20);

} // namespace
