// The two image classes: assignment and its notifications, loading and
// saving, the format test, and the colour-keyed drawing of bitmaps.

#include "controls/picture/AdvGDIP.h"
#include "controls/picture/GDIPicture.h"

#include "platform/gdiplus/Graphics.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QTemporaryDir>

namespace lumora {
namespace {

QByteArray Encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format));
    return bytes;
}

QImage Solid(int w, int h, QRgb color)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

// Counts both notifications of a picture.
struct Counter {
    int changes = 0;
    int clears = 0;
    template <typename Picture>
    explicit Counter(Picture& p)
    {
        p.OnChange = [this](TObject*) { ++changes; };
        p.OnClear = [this](TObject*) { ++clears; };
    }
};

template <typename Picture>
class PictureImage : public ::testing::Test {};
using PictureTypes = ::testing::Types<TGDIPPicture, TAdvGDIPPicture>;
TYPED_TEST_SUITE(PictureImage, PictureTypes);

TYPED_TEST(PictureImage, AssignFromEachKindOfSource)
{
    TypeParam picture;
    Counter count(picture);
    EXPECT_TRUE(picture.Empty());

    picture.Assign(Solid(7, 5, 0xFF102030));
    EXPECT_FALSE(picture.Empty());
    EXPECT_TRUE(picture.Data().startsWith("BM")); // a bitmap is kept in BMP form
    EXPECT_EQ(picture.Width(), 7);
    EXPECT_EQ(picture.Height(), 5);
    EXPECT_EQ(count.changes, 1);

    TypeParam copy;
    Counter copyCount(copy);
    copy.Assign(&picture);
    EXPECT_EQ(copy.Data(), picture.Data());
    EXPECT_FALSE(copy.Empty());
    EXPECT_EQ(copy.Width(), 7);
    EXPECT_EQ(copyCount.changes, 1);

    // An empty picture copies as empty.
    TypeParam blank;
    copy.Assign(&blank);
    EXPECT_TRUE(copy.Empty());
    EXPECT_EQ(copyCount.changes, 2);

    // Nothing: empty, both notifications.
    picture.Assign(nullptr);
    EXPECT_TRUE(picture.Empty());
    EXPECT_TRUE(picture.Data().isEmpty());
    EXPECT_EQ(count.changes, 2);
    EXPECT_EQ(count.clears, 1);

    // Any other object: the bytes stay, the image counts as empty, silently.
    picture.Assign(Solid(2, 2, 0xFFFFFFFF));
    const QByteArray before = picture.Data();
    TObject other;
    picture.Assign(&other);
    EXPECT_TRUE(picture.Empty());
    EXPECT_EQ(picture.Data(), before);
    EXPECT_EQ(count.changes, 3);
}

TYPED_TEST(PictureImage, StreamsRoundTripTheBytesUnchanged)
{
    QByteArray png = Encoded(Solid(9, 4, 0xFF00FF00), "PNG");
    png.append("trailing bytes are kept too");
    QBuffer in(&png);
    in.open(QIODevice::ReadOnly);
    in.seek(5); // the whole stream is copied, not the rest of it

    TypeParam picture;
    Counter count(picture);
    picture.LoadFromStream(&in);
    EXPECT_FALSE(picture.Empty());
    EXPECT_EQ(picture.Width(), 9);
    EXPECT_EQ(picture.Height(), 4);
    EXPECT_EQ(count.changes, 1);
    EXPECT_EQ(count.clears, 0);

    QByteArray out;
    QBuffer saved(&out);
    saved.open(QIODevice::WriteOnly);
    picture.SaveToStream(&saved);
    EXPECT_EQ(out, png);

    picture.LoadFromStream(nullptr);
    picture.SaveToStream(nullptr);
    EXPECT_EQ(count.changes, 1);
}

TYPED_TEST(PictureImage, UndecodableDataMeasuresNothing)
{
    QByteArray junk("definitely not an image");
    QBuffer in(&junk);
    in.open(QIODevice::ReadOnly);
    TypeParam picture;
    picture.LoadFromStream(&in);
    EXPECT_FALSE(picture.Measure());
    EXPECT_EQ(picture.Width(), 0);
    EXPECT_EQ(picture.ImageFormat(), pfUnknown);
    QImage canvas(10, 10, QImage::Format_ARGB32);
    canvas.fill(0xFFFFFFFF);
    QPainter painter(&canvas);
    picture.Draw(painter, QRect(0, 0, 10, 10)); // draws nothing, fails nothing
    painter.end();
    EXPECT_EQ(canvas.pixel(5, 5), 0xFFFFFFFFu);
}

TYPED_TEST(PictureImage, LoadFromFileAndMissingFiles)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("p.png");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(Encoded(Solid(12, 3, 0xFF0000FF), "PNG"));
    }
    TypeParam picture;
    Counter count(picture);
    picture.LoadFromFile(path);
    EXPECT_FALSE(picture.Empty());
    EXPECT_EQ(picture.Width(), 12);
    EXPECT_EQ(picture.Height(), 3);
    EXPECT_EQ(count.clears, 1);
    EXPECT_EQ(count.changes, 1);

    // A missing file empties the image without a message; the owner hears
    // of it, since the image it showed is gone.
    picture.LoadFromFile(dir.filePath("missing.png"));
    EXPECT_TRUE(picture.Empty());
    EXPECT_TRUE(picture.Data().isEmpty());
    EXPECT_EQ(count.changes, 2);
    picture.LoadFromFile(dir.path()); // a folder is no file either
    EXPECT_TRUE(picture.Empty());
    EXPECT_EQ(count.changes, 2);
}

TEST(PictureImage, FormatTest)
{
    struct Row {
        QByteArray bytes;
        TPictureFormat format;
    };
    const QImage image = Solid(4, 4, 0xFF808080);
    const Row rows[] = {
        {Encoded(image, "BMP"), pfBMP},   {Encoded(image, "JPEG"), pfJPEG}, {Encoded(image, "PNG"), pfPNG},
        {Encoded(image, "TIFF"), pfTIFF}, {Encoded(image, "ICO"), pfIcon},  {QByteArray("GIF89a"), pfUnknown},
    };
    for (const Row& row : rows) {
        QByteArray bytes = row.bytes;
        QBuffer in(&bytes);
        in.open(QIODevice::ReadOnly);
        TAdvGDIPPicture picture;
        picture.LoadFromStream(&in);
        EXPECT_EQ(picture.ImageFormat(), row.format) << row.bytes.left(4).toHex().toStdString();
    }
}

TEST(PictureImage, IconSourceIsKeptInIconForm)
{
    TAdvGDIPPicture picture;
    picture.Assign(QIcon(QPixmap::fromImage(Solid(16, 16, 0xFFFF0000))));
    EXPECT_FALSE(picture.Empty());
    EXPECT_EQ(picture.ImageFormat(), pfIcon);
    EXPECT_EQ(picture.Width(), 16);
}

// A 4 x 3 bitmap: white, with a red pixel at (1, 0) and a green bottom-left.
QImage KeyedBitmap()
{
    QImage image = Solid(4, 3, 0xFFFFFFFF);
    image.setPixel(1, 0, 0xFFFF0000);
    image.setPixel(0, 2, 0xFF00FF00);
    return image;
}

TEST(PictureImage, BitmapsOnACanvasLoseTheirBottomLeftColour)
{
    TAdvGDIPPicture adv;
    adv.Assign(KeyedBitmap());
    TGDIPPicture plain;
    plain.Assign(KeyedBitmap());

    QImage canvas(20, 20, QImage::Format_ARGB32);
    canvas.fill(0xFF000000);
    {
        QPainter painter(&canvas);
        adv.Draw(painter, QRect(2, 2, 10, 10));    // unscaled at the top-left
        plain.Draw(painter, QRect(10, 10, 8, 6)); // stretched, twice the size
    }
    EXPECT_EQ(canvas.pixel(3, 2), 0xFFFF0000u);
    EXPECT_EQ(canvas.pixel(2, 4), 0xFF000000u); // green was the key
    EXPECT_EQ(canvas.pixel(2, 2), 0xFFFFFFFFu);
    EXPECT_EQ(canvas.pixel(6, 2), 0xFF000000u); // nothing beyond the bitmap's own size
    EXPECT_EQ(canvas.pixel(12, 10), 0xFFFF0000u);
    EXPECT_EQ(canvas.pixel(10, 15), 0xFF000000u);
}

TEST(PictureImage, GPDrawKeysBitmapsOnlyWhenTransparent)
{
    TAdvGDIPPicture picture;
    picture.Assign(KeyedBitmap());
    const auto draw = [&] {
        QImage canvas(10, 10, QImage::Format_ARGB32);
        canvas.fill(0xFF000000);
        gdiplus::Graphics g(&canvas);
        picture.GPDraw(&g, QRect(1, 1, 8, 6));
        return canvas;
    };
    // Not transparent: scaled into the rect (twice the size), green kept.
    QImage canvas = draw();
    EXPECT_EQ(canvas.pixel(1, 6), 0xFF00FF00u);

    // Automatic key: the bottom-left colour, drawn at its own size.
    picture.SetTransparent(true);
    canvas = draw();
    EXPECT_EQ(canvas.pixel(2, 1), 0xFFFF0000u);
    EXPECT_EQ(canvas.pixel(1, 3), 0xFF000000u);
    EXPECT_EQ(canvas.pixel(6, 1), 0xFF000000u);

    // Fixed key: white goes, green stays.
    picture.SetTransparentMode(tmFixed);
    canvas = draw();
    EXPECT_EQ(canvas.pixel(1, 1), 0xFF000000u);
    EXPECT_EQ(canvas.pixel(1, 3), 0xFF00FF00u);
    EXPECT_FALSE(picture.HasAlpha());
    EXPECT_EQ(picture.Width(), 4);

    picture.GPDraw(nullptr, QRect(0, 0, 4, 3)); // no surface: nothing
}

} // namespace
} // namespace lumora
