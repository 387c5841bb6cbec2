#include "platform/gdiplus/Image.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

namespace lumora::gdiplus {

namespace {

// Pictures here are ones the user chose to show. Qt refuses to decode
// anything whose pixels take more than 128 MB, which leaves out an ordinary
// 48-megapixel photograph (8000 x 6000 takes 183 MB); allow up to 1 GB.
constexpr int kPictureAllocationLimitMb = 1024;

} // namespace

Image::Image(const QImage& image) : image_(image.convertToFormat(QImage::Format_ARGB32_Premultiplied))
{
    if (image.isNull())
        status_ = InvalidParameter;
}

void HintImageFormat(QImageReader& reader, const QByteArray& bytes)
{
    struct Signature {
        const char* start;
        const char* format;
    };
    static constexpr Signature kSignatures[] = {
        {"\x89PNG\r\n\x1a\n", "png"}, {"\xff\xd8\xff", "jpeg"}, {"GIF87a", "gif"}, {"GIF89a", "gif"}, {"BM", "bmp"}};
    for (const Signature& s : kSignatures) {
        if (bytes.startsWith(s.start)) {
            // Told the format, the reader would still ask every plugin
            // whether it reads it before it takes its own decoder.
            reader.setFormat(s.format);
            reader.setAutoDetectImageFormat(false);
            return;
        }
    }
}

namespace {

// A reader of the bytes, told their format where their start names it, with
// the allocation limit of a picture the user chose.
struct BytesReader {
    explicit BytesReader(const QByteArray& bytes)
    {
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        reader.setDevice(&buffer);
        HintImageFormat(reader, bytes);
        reader.setAllocationLimit(kPictureAllocationLimitMb);
    }
    QBuffer buffer;
    QImageReader reader;
};

} // namespace

QSize ImageSizeOf(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return {};
    BytesReader source(bytes);
    return source.reader.size();
}

QString PictureSizeRefusal(QSize size)
{
    if (!size.isValid() || qint64(size.width()) * size.height() <= kMaxPicturePixels)
        return {};
    return QStringLiteral("%1 x %2 pixels, more than the %3 megapixels a picture may have")
        .arg(size.width())
        .arg(size.height())
        .arg(kMaxPicturePixels / 1'000'000);
}

std::unique_ptr<Image> Image::FromBytes(const QByteArray& bytes)
{
    auto out = std::make_unique<Image>();
    if (bytes.isEmpty()) {
        out->status_ = InvalidParameter;
        return out;
    }
    BytesReader source(bytes);
    QImageReader& reader = source.reader;
    const QByteArray format = reader.format();  // must be asked before reading
    // The header's size first: a picture over the budget is never decoded.
    if (!PictureSizeRefusal(reader.size()).isEmpty()) {
        out->status_ = ValueOverflow;
        return out;
    }
    QImage decoded = reader.read();
    if (decoded.isNull()) {
        out->status_ = UnknownImageFormat;
        return out;
    }
    out->format_ = format.toLower();
    out->image_ = decoded.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return out;
}

std::unique_ptr<Image> Image::FromBytesScaled(const QByteArray& bytes, QSize size)
{
    if (bytes.isEmpty() || size.isEmpty())
        return nullptr;
    BytesReader source(bytes);
    QImageReader& reader = source.reader;
    if (!reader.supportsOption(QImageIOHandler::ScaledSize))
        return nullptr;
    const QByteArray format = reader.format();
    if (!PictureSizeRefusal(reader.size()).isEmpty())
        return nullptr;
    reader.setScaledSize(size);
    QImage decoded = reader.read();
    if (decoded.isNull())
        return nullptr;
    auto out = std::make_unique<Image>();
    out->format_ = format.toLower();
    out->image_ = decoded.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return out;
}

std::unique_ptr<Image> Image::FromFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        auto out = std::make_unique<Image>();
        out->status_ = FileNotFound;
        return out;
    }
    return FromBytes(file.readAll());
}

PixelFormat Image::GetPixelFormat() const
{
    return image_.hasAlphaChannel() || format_.isEmpty() ? PixelFormat32bppARGB : PixelFormat32bppRGB;
}

Bitmap::Bitmap(INT width, INT height, PixelFormat format)
{
    if (width <= 0 || height <= 0) {
        status_ = InvalidParameter;
        return;
    }
    // Every bitmap of this layer is 32-bit with alpha; the format is noted
    // for callers that ask.
    (void)format;
    image_ = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
    if (image_.isNull()) {
        status_ = OutOfMemory;
        return;
    }
    image_.fill(Qt::transparent);
}

Bitmap::Bitmap(const QImage& image) : Image(image) {}

std::unique_ptr<Bitmap> Bitmap::FromBytes(const QByteArray& bytes)
{
    std::unique_ptr<Image> decoded = Image::FromBytes(bytes);
    auto out = std::make_unique<Bitmap>(decoded->ToQImage());
    out->format_ = decoded->GetRawFormat();
    out->status_ = decoded->GetLastStatus();
    return out;
}

Status Bitmap::GetPixel(INT x, INT y, Color* color) const
{
    if (!color || !image_.valid(x, y))
        return InvalidParameter;
    *color = Color(ARGB(qUnpremultiply(image_.pixel(x, y))));
    return Ok;
}

Status Bitmap::SetPixel(INT x, INT y, const Color& color)
{
    if (!image_.valid(x, y))
        return InvalidParameter;
    image_.setPixel(x, y, qPremultiply(color.GetValue()));
    return Ok;
}

Status ImageAttributes::SetColorKey(const Color& low, const Color& high)
{
    low_ = low;
    high_ = high;
    hasKey_ = true;
    return Ok;
}

Status ImageAttributes::ClearColorKey()
{
    hasKey_ = false;
    return Ok;
}

bool ImageAttributes::IsKeyed(QRgb c) const
{
    if (!hasKey_)
        return false;
    auto within = [](int v, int lo, int hi) { return v >= lo && v <= hi; };
    return within(qRed(c), low_.GetR(), high_.GetR()) && within(qGreen(c), low_.GetG(), high_.GetG())
           && within(qBlue(c), low_.GetB(), high_.GetB());
}

} // namespace lumora::gdiplus
