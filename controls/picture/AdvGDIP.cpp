#include "controls/picture/AdvGDIP.h"

#include "controls/picture/ImageHeader.h"
#include "platform/gdiplus/Graphics.h"

#include <QBuffer>
#include <QImageReader>
#include <QIcon>
#include <QPainter>

#include <algorithm>

namespace lumora {

namespace {

QByteArray Encode(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// The drawing layer's pixel format number of a file's pixel layout.
int GdiplusPixelFormat(QImage::Format format)
{
    constexpr int k1bppIndexed = 0x00030101;
    constexpr int k8bppIndexed = 0x00030803;
    constexpr int k24bppRGB = 0x00021808;
    constexpr int k32bppRGB = 0x00022009;
    constexpr int k32bppARGB = 0x0026200A;
    constexpr int k32bppPARGB = 0x000E200B;
    switch (format) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        return k1bppIndexed;
    case QImage::Format_Indexed8:
        return k8bppIndexed;
    case QImage::Format_RGB888:
    case QImage::Format_BGR888:
        return k24bppRGB;
    case QImage::Format_ARGB32_Premultiplied:
        return k32bppPARGB;
    case QImage::Format_RGB32:
        return k32bppRGB;
    default:
        return QImage::toPixelFormat(format).alphaUsage() == QPixelFormat::UsesAlpha ? k32bppARGB : k32bppRGB;
    }
}

} // namespace

void TAdvGDIPPicture::Assign(const TObject* Source)
{
    AssignPicture(Source, dynamic_cast<const TAdvGDIPPicture*>(Source));
}

void TAdvGDIPPicture::Assign(const QImage& Bitmap) { AssignBitmap(Bitmap); }

void TAdvGDIPPicture::Assign(const QIcon& Icon)
{
    const QList<QSize> sizes = Icon.availableSizes();
    QSize largest(32, 32);
    if (!sizes.isEmpty())
        largest = *std::max_element(sizes.begin(), sizes.end(), [](const QSize& a, const QSize& b) {
            return a.width() * a.height() < b.width() * b.height();
        });
    SetData(Encode(Icon.pixmap(largest).toImage(), "ICO"));
    SetEmpty(false);
    Changed();
    Measure();
}

void TAdvGDIPPicture::LoadFromFile(const QString& FileName)
{
    std::optional<QByteArray> bytes = ReadFile(FileName);
    if (!bytes) {
        LoadFailed();
        return;
    }
    SetData(std::move(*bytes));
    SetEmpty(false);
    Cleared();
    const auto* raw = reinterpret_cast<const std::uint8_t*>(Data().constData());
    const ImageHeaderSize size = ReadImageHeaderSize(ImageHeaderKindFromFileName(FileName.toStdString()),
                                                     std::span(raw, std::size_t(Data().size())));
    SetSize(size.Width, size.Height);
    Changed();
}

void TAdvGDIPPicture::LoadFromStream(QIODevice* Stream)
{
    if (!Stream)
        return;
    QByteArray bytes = ReadStream(Stream);
    if (bytes.isEmpty())
        return;
    SetData(std::move(bytes));
    SetEmpty(false);
    if (!Measure())
        SetSize(0, 0);
    Changed();
}

void TAdvGDIPPicture::ReadData(QIODevice* Stream)
{
    if (!Stream)
        return;
    QByteArray bytes = ReadStream(Stream);
    if (bytes.isEmpty())
        return;
    SetData(std::move(bytes));
    SetEmpty(false);
    if (!Measure())
        SetSize(0, 0);
}

void TAdvGDIPPicture::SetTransparent(bool value)
{
    if (FTransparent == value)
        return;
    FTransparent = value;
    Changed();
}

void TAdvGDIPPicture::Draw(QPainter& Canvas, const QRect& Rect)
{
    const gdiplus::Image* decoded = Image();
    if (!decoded)
        return;
    const QImage& image = decoded->ToQImage();
    if (ImageFormat() == pfBMP) {
        Canvas.drawImage(Rect.topLeft(), ColorKeyed(image, image.pixel(0, image.height() - 1)));
        return;
    }
    SetSize(image.width(), image.height());
    Canvas.save();
    Canvas.setRenderHint(QPainter::SmoothPixmapTransform);
    Canvas.drawImage(Rect, image);
    Canvas.restore();
}

std::unique_ptr<gdiplus::Image> TAdvGDIPPicture::DecodeScaledDown(const std::function<QSize(QSize)>& sizeFor)
{
    if (Empty())
        return nullptr;
    QBuffer buffer;
    buffer.setData(Data());
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    gdiplus::HintImageFormat(reader, Data());
    // JPEG decodes at a half, a quarter or an eighth of its size for the
    // cost of that size; other formats would decode everything anyway.
    if (reader.format() != "jpeg")
        return nullptr;
    const QSize natural = reader.size();
    const QImage::Format layout = reader.imageFormat();
    if (natural.isEmpty())
        return nullptr;
    const QSize size = sizeFor(natural);
    if (size.isEmpty() || size.width() >= natural.width() || size.height() >= natural.height())
        return nullptr;
    std::unique_ptr<gdiplus::Image> image = gdiplus::Image::FromBytesScaled(Data(), size);
    if (!image)
        return nullptr;
    const QPixelFormat pixel = QImage::toPixelFormat(layout);
    FHasAlpha = pixel.alphaUsage() == QPixelFormat::UsesAlpha;
    FHasPalette = layout == QImage::Format_Indexed8 || layout == QImage::Format_Mono ||
                  layout == QImage::Format_MonoLSB;
    FBitsPerPixel = int(pixel.bitsPerPixel());
    FPixelFormat = GdiplusPixelFormat(layout);
    SetSize(natural.width(), natural.height());
    return image;
}

void TAdvGDIPPicture::RecordImageInfo(const QImage& image)
{
    const QImage::Format format = FileFormat();
    const QPixelFormat pixel = QImage::toPixelFormat(format);
    FHasAlpha = pixel.alphaUsage() == QPixelFormat::UsesAlpha;
    FHasPalette = format == QImage::Format_Indexed8 || format == QImage::Format_Mono ||
                  format == QImage::Format_MonoLSB;
    FBitsPerPixel = int(pixel.bitsPerPixel());
    FPixelFormat = GdiplusPixelFormat(format);
    SetSize(image.width(), image.height());
}

void TAdvGDIPPicture::GPDraw(gdiplus::Graphics* Graphics, const QRect& Rect)
{
    const gdiplus::Image* image = Image();
    if (!Graphics || !image)
        return;
    const QImage& pixels = image->ToQImage();
    RecordImageInfo(pixels);
    if (ImageFormat() == pfBMP && FTransparent) {
        const TColor fixed = ColorToRGB(FTransparentColor);
        const gdiplus::Color key = FTransparentMode == tmFixed
                                       ? gdiplus::Color(std::uint8_t(GetRValue(fixed)), std::uint8_t(GetGValue(fixed)),
                                                        std::uint8_t(GetBValue(fixed)))
                                       : gdiplus::Color(pixels.pixel(0, pixels.height() - 1) | 0xFF000000u);
        gdiplus::ImageAttributes attributes;
        attributes.SetColorKey(key, key);
        const auto w = gdiplus::REAL(pixels.width());
        const auto h = gdiplus::REAL(pixels.height());
        Graphics->DrawImage(image, gdiplus::RectF(gdiplus::REAL(Rect.left()), gdiplus::REAL(Rect.top()), w, h), 0, 0,
                            w, h, gdiplus::UnitPixel, &attributes);
        return;
    }
    Graphics->DrawImage(image, gdiplus::RectF(gdiplus::REAL(Rect.left()), gdiplus::REAL(Rect.top()),
                                              gdiplus::REAL(Rect.width()), gdiplus::REAL(Rect.height())));
}

} // namespace lumora
