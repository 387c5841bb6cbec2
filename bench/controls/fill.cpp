// Fill costs per call, as the controls pay them on every paint (paths and
// brushes built anew each time), and the cost of reading an image's size from
// its header against decoding the whole image.

#include "controls/fill/GDIPFill.h"
#include "controls/picture/ImageHeader.h"

#include "platform/gdiplus/Graphics.h"
#include "platform/gdiplus/Image.h"

#include <QBuffer>
#include <QImage>

#include <benchmark/benchmark.h>

using namespace lumora;

namespace {

// A push button's face: two parts, rounded, with a border.
void FillPushButton(benchmark::State& state)
{
    QImage image(140, 50, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    gdiplus::Graphics g(&image);
    g.SetSmoothingMode(gdiplus::SmoothingModeAntiAlias);
    TGDIPFill fill;
    fill.SetColor(0xF7F3EE);
    fill.SetColorTo(0xE8DCCF);
    fill.SetColorMirror(0xDDC9B4);
    fill.SetColorMirrorTo(0xF3E9DF);
    fill.SetGradientMirrorType(gtVertical);
    fill.SetBorderColor(0x9C8A78);
    fill.SetRounding(8);
    const gdiplus::RectF r(5, 5, 120, 35);
    for (auto _ : state)
        benchmark::DoNotOptimize(fill.Fill(&g, r));
}
BENCHMARK(FillPushButton);

// The track bar's thumb as the main window has it: white to transparent
// white on the forward diagonal, grey border, rounding 10, 74 x 40.
void FillTrackBarThumb(benchmark::State& state)
{
    QImage image(100, 60, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    gdiplus::Graphics g(&image);
    g.SetSmoothingMode(gdiplus::SmoothingModeAntiAlias);
    TGDIPFill fill;
    fill.SetColor(clWhite);
    fill.SetColorTo(clWhite);
    fill.SetOpacityTo(0);
    fill.SetGradientType(gtForwardDiagonal);
    fill.SetBorderColor(0x808080);
    fill.SetRounding(10);
    const gdiplus::RectF r(8, 10, 74, 40);
    for (auto _ : state)
        benchmark::DoNotOptimize(fill.Fill(&g, r));
}
BENCHMARK(FillTrackBarThumb);

// A 1024 x 1024 PNG with content that does not compress to nothing.
const QByteArray& LargePng()
{
    static const QByteArray bytes = [] {
        QImage image(1024, 1024, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, qRgb((x * 7) & 0xFF, (y * 3) & 0xFF, ((x ^ y) * 5) & 0xFF));
        QByteArray out;
        QBuffer buffer(&out);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return out;
    }();
    return bytes;
}

void PngSizeFromHeader(benchmark::State& state)
{
    const QByteArray& png = LargePng();
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(png.constData()), std::size_t(png.size()));
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadImageHeaderSize(ImageHeaderKind::Png, bytes));
}
BENCHMARK(PngSizeFromHeader);

void PngSizeByFullDecode(benchmark::State& state)
{
    const QByteArray& png = LargePng();
    for (auto _ : state) {
        const auto image = gdiplus::Image::FromBytes(png);
        benchmark::DoNotOptimize(image->GetWidth());
    }
}
BENCHMARK(PngSizeByFullDecode)->Unit(benchmark::kMillisecond);

} // namespace
