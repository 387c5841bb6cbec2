// Image sizes read from file headers: real files written by Qt (and a GIF
// encoded here, Qt has no GIF writer), extension rules, and hostile bytes.

#include "controls/picture/AdvGDIP.h"
#include "controls/picture/ImageHeader.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>

#include <vector>

namespace lumora {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ToBytes(const QByteArray& a)
{
    return Bytes(a.begin(), a.end());
}

std::span<const std::uint8_t> Span(const Bytes& b)
{
    return std::span(b.data(), b.size());
}

QByteArray Encoded(int width, int height, const char* format)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(qRgb(200, 40, 90));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format)) << format;
    return bytes;
}

// A GIF of one colour, LZW-coded with a clear code before every second pixel
// so that every code stays 3 bits wide.
QByteArray EncodedGif(int width, int height, bool withExtension = false)
{
    QByteArray gif("GIF89a");
    auto le16 = [&](int v) {
        gif.append(char(v & 0xFF));
        gif.append(char(v >> 8 & 0xFF));
    };
    le16(width);
    le16(height);
    gif.append(char(0x81)); // global colour table of 4 entries
    gif.append('\0');
    gif.append('\0');
    gif.append(QByteArray("\xC8\x28\x5A\0\0\0\0\0\0\0\0\0", 12));
    if (withExtension) {
        // A comment extension whose text holds the descriptor's ',' byte.
        gif.append("\x21\xFE\x04,,,,", 7);
        gif.append('\0');
    }
    gif.append(',');
    le16(0);
    le16(0);
    le16(width);
    le16(height);
    gif.append('\0');
    gif.append(char(2)); // minimum code size

    std::vector<int> codes;
    const int pixels = width * height;
    for (int i = 0; i < pixels; ++i) {
        if (i % 2 == 0)
            codes.push_back(4); // clear
        codes.push_back(0);
    }
    codes.push_back(5); // end of information
    QByteArray data;
    unsigned acc = 0;
    int bits = 0;
    for (int code : codes) {
        acc |= unsigned(code) << bits;
        bits += 3;
        while (bits >= 8) {
            data.append(char(acc & 0xFF));
            acc >>= 8;
            bits -= 8;
        }
    }
    if (bits > 0)
        data.append(char(acc & 0xFF));
    for (qsizetype at = 0; at < data.size(); at += 255) {
        const QByteArray block = data.mid(at, 255);
        gif.append(char(block.size()));
        gif.append(block);
    }
    gif.append('\0');
    gif.append(';');
    return gif;
}

class PictureHeaderFiles : public ::testing::Test {
protected:
    QString Write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    static QSize SizeByFile(const QString& path)
    {
        TAdvGDIPPicture picture;
        picture.LoadFromFile(path);
        return QSize(picture.Width(), picture.Height());
    }

    QTemporaryDir dir;
};

TEST(PictureHeader, EncodedGifIsARealGif)
{
    // The test's own encoder must write what a decoder accepts, or the GIF
    // cases below prove nothing.
    QByteArray bytes = EncodedGif(13, 7);
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, "gif");
    const QImage image = reader.read();
    ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
    EXPECT_EQ(image.size(), QSize(13, 7));
    EXPECT_EQ(image.pixel(12, 6), qRgb(0xC8, 0x28, 0x5A));
}

TEST_F(PictureHeaderFiles, RealFilesOfEveryKind)
{
    EXPECT_EQ(SizeByFile(Write("a.png", Encoded(37, 23, "PNG"))), QSize(37, 23));
    EXPECT_EQ(SizeByFile(Write("a.jpg", Encoded(41, 19, "JPEG"))), QSize(41, 19));
    EXPECT_EQ(SizeByFile(Write("b.jpeg", Encoded(3, 300, "JPEG"))), QSize(3, 300));
    EXPECT_EQ(SizeByFile(Write("a.bmp", Encoded(29, 31, "BMP"))), QSize(29, 31));
    EXPECT_EQ(SizeByFile(Write("a.tiff", Encoded(300, 2, "TIFF"))), QSize(300, 2));
    EXPECT_EQ(SizeByFile(Write("b.tif", Encoded(17, 18, "TIFF"))), QSize(17, 18));
    EXPECT_EQ(SizeByFile(Write("a.gif", EncodedGif(13, 7))), QSize(13, 7));
}

TEST_F(PictureHeaderFiles, ExtensionsIgnoreCaseAndDecideTheReader)
{
    EXPECT_EQ(SizeByFile(Write("UP.PNG", Encoded(5, 6, "PNG"))), QSize(5, 6));
    EXPECT_EQ(SizeByFile(Write("Mixed.JpEg", Encoded(7, 8, "JPEG"))), QSize(7, 8));
    EXPECT_EQ(SizeByFile(Write("lower.gif", EncodedGif(9, 10))), QSize(9, 10));
    EXPECT_EQ(SizeByFile(Write("UPPER.GIF", EncodedGif(9, 10))), QSize(9, 10));
    // A GIF under any other name is not read as one.
    EXPECT_EQ(SizeByFile(Write("gif.png", EncodedGif(9, 10))), QSize(0, 0));
    EXPECT_EQ(SizeByFile(Write("gif.dat", EncodedGif(9, 10))), QSize(0, 0));
    EXPECT_EQ(SizeByFile(Write("noextension", EncodedGif(9, 10))), QSize(0, 0));

    EXPECT_EQ(ImageHeaderKindFromFileName("dir.png/file"), ImageHeaderKind::None);
    EXPECT_EQ(ImageHeaderKindFromFileName("C:\\x.GIF"), ImageHeaderKind::Gif);
}

TEST_F(PictureHeaderFiles, LoadingByFileDoesNotDecode)
{
    // A PNG signature and header followed by garbage: the size comes from the
    // header alone; the bytes would not decode.
    QByteArray bytes = Encoded(64, 48, "PNG").left(33);
    bytes.append(QByteArray(100, 'x'));
    TAdvGDIPPicture picture;
    picture.LoadFromFile(Write("broken.png", bytes));
    EXPECT_FALSE(picture.Empty());
    EXPECT_EQ(QSize(picture.Width(), picture.Height()), QSize(64, 48));
    EXPECT_EQ(picture.Image(), nullptr);
}

TEST(PictureHeader, EveryTruncationOfARealFileGivesTheSizeOrNothing)
{
    struct Case {
        ImageHeaderKind kind;
        QByteArray bytes;
    };
    const Case cases[] = {
        {ImageHeaderKind::Png, Encoded(11, 12, "PNG")},   {ImageHeaderKind::Jpeg, Encoded(11, 12, "JPEG")},
        {ImageHeaderKind::Bmp, Encoded(11, 12, "BMP")},   {ImageHeaderKind::Tiff, Encoded(11, 12, "TIFF")},
        {ImageHeaderKind::Gif, EncodedGif(11, 12, true)},
    };
    for (const Case& c : cases) {
        const Bytes full = ToBytes(c.bytes);
        EXPECT_EQ(ReadImageHeaderSize(c.kind, Span(full)), (ImageHeaderSize{11, 12}));
        for (std::size_t n = 0; n < full.size(); ++n) {
            // A copy of exactly n bytes, so the sanitizer build catches any
            // read past the end.
            const Bytes prefix(full.begin(), full.begin() + std::ptrdiff_t(n));
            const ImageHeaderSize size = ReadImageHeaderSize(c.kind, Span(prefix));
            EXPECT_TRUE(size == (ImageHeaderSize{}) || size == (ImageHeaderSize{11, 12}))
                << int(c.kind) << " at " << n;
        }
    }
}

TEST(PictureHeader, HostileJpeg)
{
    // Segment lengths of 0 and 1 would step backwards.
    EXPECT_EQ(ReadJpegHeaderSize(Span(Bytes{0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x00, 0xFF, 0xC0})), ImageHeaderSize{});
    EXPECT_EQ(ReadJpegHeaderSize(Span(Bytes{0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x01, 0xFF, 0xC0})), ImageHeaderSize{});
    // A segment length pointing far past the end.
    EXPECT_EQ(ReadJpegHeaderSize(Span(Bytes{0xFF, 0xD8, 0xFF, 0xE0, 0xFF, 0xFF, 0x00})), ImageHeaderSize{});
    // A frame header cut short.
    EXPECT_EQ(ReadJpegHeaderSize(Span(Bytes{0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x11, 0x08, 0x00})), ImageHeaderSize{});
    // Nothing but fill bytes, and no start marker at all.
    EXPECT_EQ(ReadJpegHeaderSize(Span(Bytes(4096, 0xFF))), ImageHeaderSize{});
    EXPECT_EQ(ReadJpegHeaderSize(Span(Bytes{0xFF})), ImageHeaderSize{});
    EXPECT_EQ(ReadJpegHeaderSize({}), ImageHeaderSize{});
    // Fill bytes before a frame header are legal.
    const Bytes filled{0xFF, 0xD8, 0xFF, 0xFF, 0xFF, 0xC0, 0x00, 0x11, 0x08, 0x00, 0x20, 0x00, 0x40};
    EXPECT_EQ(ReadJpegHeaderSize(Span(filled)), (ImageHeaderSize{64, 32}));
    // A zero-sized frame is no size.
    const Bytes zero{0xFF, 0xD8, 0xFF, 0xC2, 0x00, 0x11, 0x08, 0x00, 0x00, 0x00, 0x40};
    EXPECT_EQ(ReadJpegHeaderSize(Span(zero)), ImageHeaderSize{});
}

TEST(PictureHeader, HostilePng)
{
    const Bytes real = ToBytes(Encoded(70, 3, "PNG"));
    EXPECT_EQ(ReadPngHeaderSize(Span(Bytes(real.begin(), real.begin() + 8))), ImageHeaderSize{});
    EXPECT_EQ(ReadPngHeaderSize(Span(Bytes(real.begin(), real.begin() + 23))), ImageHeaderSize{});
    EXPECT_EQ(ReadPngHeaderSize(Span(Bytes(real.begin(), real.begin() + 24))), (ImageHeaderSize{70, 3}));

    Bytes notHeader = real;
    notHeader[12] = 'X'; // first chunk is not "IHDR"
    EXPECT_EQ(ReadPngHeaderSize(Span(notHeader)), ImageHeaderSize{});
    Bytes huge = real;
    huge[16] = 0x80; // width 2^31 + 70 is no int
    EXPECT_EQ(ReadPngHeaderSize(Span(huge)), ImageHeaderSize{});
    Bytes wide = real;
    wide[17] = 0x01; // 65536 + 70: the whole 32-bit width is read
    EXPECT_EQ(ReadPngHeaderSize(Span(wide)), (ImageHeaderSize{65606, 3}));
}

TEST(PictureHeader, HostileBmp)
{
    Bytes bmp = ToBytes(Encoded(10, 20, "BMP"));
    EXPECT_EQ(ReadBmpHeaderSize(Span(Bytes(bmp.begin(), bmp.begin() + 25))), ImageHeaderSize{});
    // A top-down bitmap stores a negative height.
    const std::int32_t negative = -20;
    for (int i = 0; i < 4; ++i)
        bmp[22 + std::size_t(i)] = std::uint8_t(std::uint32_t(negative) >> (8 * i));
    EXPECT_EQ(ReadBmpHeaderSize(Span(bmp)), (ImageHeaderSize{10, 20}));
    bmp[21] = 0x80; // negative width
    EXPECT_EQ(ReadBmpHeaderSize(Span(bmp)), ImageHeaderSize{});
    // The old core header: 16-bit width and height.
    Bytes core(26, 0);
    core[0] = 'B';
    core[1] = 'M';
    core[14] = 12;
    core[18] = 9;
    core[20] = 4;
    EXPECT_EQ(ReadBmpHeaderSize(Span(core)), (ImageHeaderSize{9, 4}));
}

TEST(PictureHeader, HostileTiff)
{
    // Directory offset beyond the file, and at the very last byte.
    EXPECT_EQ(ReadTiffHeaderSize(Span(Bytes{'I', 'I', 42, 0, 0xFF, 0xFF, 0xFF, 0xFF})), ImageHeaderSize{});
    EXPECT_EQ(ReadTiffHeaderSize(Span(Bytes{'I', 'I', 42, 0, 8, 0, 0, 0, 1})), ImageHeaderSize{});
    // An entry count larger than the entries present.
    Bytes lying{'I', 'I', 42, 0, 8, 0, 0, 0, 0xFF, 0xFF};
    const Bytes widthEntry{0x00, 0x01, 3, 0, 1, 0, 0, 0, 5, 0, 0, 0};
    lying.insert(lying.end(), widthEntry.begin(), widthEntry.end());
    EXPECT_EQ(ReadTiffHeaderSize(Span(lying)), ImageHeaderSize{});
    // Big-endian order: SHORT width, LONG height.
    const Bytes motorola{'M', 'M', 0, 42, 0, 0, 0, 8, 0, 2,         //
                         0x01, 0x00, 0, 3, 0, 0, 0, 1, 0, 7, 0, 0, //
                         0x01, 0x01, 0, 4, 0, 0, 0, 1, 0, 0, 0, 9};
    EXPECT_EQ(ReadTiffHeaderSize(Span(motorola)), (ImageHeaderSize{7, 9}));
    // A directory that points at itself is read once, not for ever.
    const Bytes self{'I', 'I', 42, 0, 8, 0, 0, 0, 0, 0, 8, 0, 0, 0};
    EXPECT_EQ(ReadTiffHeaderSize(Span(self)), ImageHeaderSize{});
}

TEST(PictureHeader, HostileGif)
{
    // The global colour table (256 entries) runs past the end.
    const Bytes table{'G', 'I', 'F', '8', '9', 'a', 10, 0, 10, 0, 0x87, 0, 0, 0, 0, 0, ',', 0, 0, 0, 0, 10, 0, 10, 0, 0};
    EXPECT_EQ(ReadGifHeaderSize(Span(table)), ImageHeaderSize{});
    // An extension sub-block longer than the file.
    const Bytes ext{'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, '!', 0xF9, 200, 1, 2};
    EXPECT_EQ(ReadGifHeaderSize(Span(ext)), ImageHeaderSize{});
    // A ',' inside extension data is not the image descriptor.
    const Bytes real = ToBytes(EncodedGif(3, 4, true));
    EXPECT_EQ(ReadGifHeaderSize(Span(real)), (ImageHeaderSize{3, 4}));
    // The trailer before any image.
    const Bytes empty{'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, ';'};
    EXPECT_EQ(ReadGifHeaderSize(Span(empty)), ImageHeaderSize{});
    EXPECT_EQ(ReadGifHeaderSize(Span(Bytes{'G', 'I', 'F'})), ImageHeaderSize{});
}

TEST_F(PictureHeaderFiles, EmptyAndMissingFiles)
{
    TAdvGDIPPicture picture;
    picture.LoadFromFile(Write("empty.png", QByteArray()));
    EXPECT_EQ(QSize(picture.Width(), picture.Height()), QSize(0, 0));

    int changes = 0;
    picture.OnChange = [&](TObject*) { ++changes; };
    picture.LoadFromFile(dir.filePath("missing.png"));
    EXPECT_TRUE(picture.Empty());
    EXPECT_EQ(picture.Data().size(), 0);
    EXPECT_EQ(changes, 1); // it was showing (empty) data before
}

} // namespace
} // namespace lumora
