#pragma once

#include "platform/gdiplus/GdiplusTypes.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <memory>

class QImageReader;

namespace lumora::gdiplus {

// Tells the reader the file format that the first bytes of `bytes` name
// (PNG, JPEG, GIF, BMP), so that it goes straight to that decoder. Without a
// format, the reader loads every image format plugin to ask each whether it
// can read the data, and they stay loaded for the life of the program. An
// unknown start leaves the reader to find the format itself.
void HintImageFormat(QImageReader& reader, const QByteArray& bytes);

// The most pixels a picture file may have to be decoded: 50 megapixels
// (200 MB decoded) takes an ordinary camera photograph, while a small file
// with a huge size in its header (a 16000 x 16000 PNG compresses to under
// 1 MB) is refused before any pixel memory is taken.
inline constexpr qint64 kMaxPicturePixels = 50'000'000;

// The size that the header of an image file in memory states, read without
// decoding; an invalid size when the format or its header is not known.
QSize ImageSizeOf(const QByteArray& bytes);

// Why a picture of `size` is not decoded ("16000 x 16000 pixels, more than
// the 50 megapixels a picture may have"); empty when it may be.
QString PictureSizeRefusal(QSize size);

// A decoded image. Pixels are held premultiplied 32-bit for fast drawing.
class Image {
public:
    Image() = default;
    explicit Image(const QImage& image);
    virtual ~Image() = default;

    // Decodes a whole image file held in memory (PNG, JPEG, BMP, GIF, TIFF,
    // ICO...). A failed decode gives an image with status UnknownImageFormat
    // (or InvalidParameter for no bytes, ValueOverflow for a picture whose
    // header states more than kMaxPicturePixels) and size 0 x 0.
    static std::unique_ptr<Image> FromBytes(const QByteArray& bytes);
    static std::unique_ptr<Image> FromFile(const QString& fileName);
    // Decodes straight to `size` where the file format can (a JPEG decodes
    // a fraction of its pixels); nullptr where it cannot or the decode fails.
    static std::unique_ptr<Image> FromBytesScaled(const QByteArray& bytes, QSize size);

    Status GetLastStatus() const { return status_; }
    unsigned GetWidth() const { return unsigned(image_.width()); }
    unsigned GetHeight() const { return unsigned(image_.height()); }
    PixelFormat GetPixelFormat() const;
    // Lower-case name of the file format decoded ("png", "bmp", ...), empty
    // for images made in memory.
    const QByteArray& GetRawFormat() const { return format_; }
    bool IsEmpty() const { return image_.isNull(); }

    const QImage& ToQImage() const { return image_; }
    QImage& ToQImage() { return image_; }

protected:
    QImage image_;
    QByteArray format_;
    Status status_ = Ok;
};

// A 32-bit ARGB bitmap to draw into; new bitmaps are fully transparent.
class Bitmap : public Image {
public:
    Bitmap(INT width, INT height, PixelFormat format = PixelFormat32bppARGB);
    explicit Bitmap(const QImage& image);
    static std::unique_ptr<Bitmap> FromBytes(const QByteArray& bytes);

    // Unpremultiplied ARGB of one pixel.
    Status GetPixel(INT x, INT y, Color* color) const;
    Status SetPixel(INT x, INT y, const Color& color);
};

// Drawing options for images: a colour key range whose pixels are drawn
// transparent.
class ImageAttributes {
public:
    Status SetColorKey(const Color& low, const Color& high);
    Status ClearColorKey();
    bool HasColorKey() const { return hasKey_; }
    // True when c (alpha ignored) lies within the key range on every channel.
    bool IsKeyed(QRgb c) const;

private:
    bool hasKey_ = false;
    Color low_;
    Color high_;
};

} // namespace lumora::gdiplus
