#include "controls/picture/PictureData.h"

#include "platform/framework/Exception.h"
#include "platform/gdiplus/Image.h"
#include "platform/shell/FileSystem.h"

#include <QBuffer>
#include <QImageReader>

#include <new>

namespace lumora {

namespace {

// The largest picture file read: far beyond a profile picture (a few hundred
// kilobytes) or a camera photograph (a few tens of megabytes), and small
// enough that a stray huge file costs little memory and time each time the
// pictures are loaded.
constexpr qint64 kMaxFileBytes = qint64(64) * 1024 * 1024;

TPictureFormat FormatFromReader(const QByteArray& name)
{
    if (name == "bmp" || name == "dib")
        return pfBMP;
    if (name == "jpeg" || name == "jpg")
        return pfJPEG;
    if (name == "png")
        return pfPNG;
    if (name == "gif")
        return pfGIF;
    if (name == "tiff" || name == "tif")
        return pfTIFF;
    if (name == "ico" || name == "cur")
        return pfIcon;
    return pfUnknown;
}

} // namespace

TPictureData::TPictureData() = default;
TPictureData::~TPictureData() = default;

void TPictureData::SaveToStream(QIODevice* Stream) const
{
    if (!Stream)
        return;
    Stream->write(FData);
}

bool TPictureData::Measure()
{
    const gdiplus::Image* image = Image();
    if (!image)
        return false;
    SetSize(int(image->GetWidth()), int(image->GetHeight()));
    return true;
}

TPictureFormat TPictureData::ImageFormat() const
{
    return FEmpty ? pfUnknown : Decode().format;
}

QImage::Format TPictureData::FileFormat() const
{
    return FEmpty ? QImage::Format_Invalid : Decode().fileFormat;
}

const gdiplus::Image* TPictureData::Image() const
{
    if (FEmpty)
        return nullptr;
    return Decode().image.get();
}

const TPictureData::Decoded& TPictureData::Decode() const
{
    if (!FDecoded) {
        Decoded decoded;
        if (!FData.isEmpty()) {
            std::unique_ptr<gdiplus::Image> image;
            try {
                image = gdiplus::Image::FromBytes(FData);
            } catch (const std::bad_alloc&) {
                throw Exception(QStringLiteral("Could not allocate memory for image"));
            }
            if (image && image->GetLastStatus() == gdiplus::Ok && !image->IsEmpty()) {
                // The file's format and pixel layout come from its header.
                QBuffer buffer;
                buffer.setData(FData);
                buffer.open(QIODevice::ReadOnly);
                QImageReader reader(&buffer);
                gdiplus::HintImageFormat(reader, FData);
                decoded.format = FormatFromReader(reader.format());
                decoded.fileFormat = reader.imageFormat();
                decoded.image = std::move(image);
            }
        }
        FDecoded = std::move(decoded);
    }
    return *FDecoded;
}

void TPictureData::AssignPicture(const TObject* source, const TPictureData* sameKind)
{
    SetEmpty(true);
    if (!source) {
        SetData(QByteArray());
        Changed();
        Cleared();
        return;
    }
    if (sameKind) {
        SetData(sameKind->Data());
        SetEmpty(Data().isEmpty());
        Changed();
    }
    Measure();
}

void TPictureData::AssignBitmap(const QImage& bitmap)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    bitmap.save(&buffer, "BMP");
    SetData(std::move(bytes));
    SetEmpty(false);
    Changed();
    Measure();
}

void TPictureData::SetData(QByteArray data)
{
    FData = std::move(data);
    FDecoded.reset();
}

void TPictureData::SetSize(int width, int height)
{
    FWidth = width;
    FHeight = height;
}

std::optional<QByteArray> TPictureData::ReadFile(const QString& fileName)
{
    std::optional<QByteArray> bytes = ReadFileBytes(fileName, kMaxFileBytes);
    if (!bytes)
        return bytes;
    // The size from the header, before anything is decoded: a picture a few
    // hundred kilobytes long may unpack to gigabytes.
    if (const QString refusal = gdiplus::PictureSizeRefusal(gdiplus::ImageSizeOf(*bytes)); !refusal.isEmpty()) {
        ReportSkippedFile(fileName, refusal);
        return std::nullopt;
    }
    return bytes;
}

QByteArray TPictureData::ReadStream(QIODevice* stream)
{
    if (!stream->isSequential())
        stream->seek(0);
    return stream->readAll();
}

void TPictureData::LoadFailed()
{
    const bool wasShowing = !FEmpty;
    SetData(QByteArray());
    SetEmpty(true);
    SetSize(0, 0);
    if (wasShowing)
        Changed();
}

QImage ColorKeyed(const QImage& image, QRgb key)
{
    QImage keyed = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb rgbKey = key & 0x00FFFFFFu;
    for (int y = 0; y < keyed.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(keyed.scanLine(y));
        for (int x = 0; x < keyed.width(); ++x)
            if ((line[x] & 0x00FFFFFFu) == rgbKey)
                line[x] = 0;
    }
    return keyed;
}

} // namespace lumora
