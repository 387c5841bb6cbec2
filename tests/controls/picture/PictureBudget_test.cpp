#include "controls/imagelist/AdvSmoothImageListBoxLoader.h"
#include "controls/picture/AdvGDIP.h"
#include "controls/picture/GDIPicture.h"
#include "platform/gdiplus/Image.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumora;

namespace {

// A picture whose file is small and whose pixels are many: one bit a pixel,
// all white, compresses to a few kilobytes.
QByteArray HugePng(QSize size)
{
    QImage image(size, QImage::Format_Mono);
    image.fill(1);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = QDir(dir.path()).filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path;
}

} // namespace

TEST(PictureBudget, TheLimitLiesAtFiftyMegapixels)
{
    EXPECT_TRUE(gdiplus::PictureSizeRefusal(QSize(10000, 5000)).isEmpty()) << "exactly 50 megapixels";
    EXPECT_EQ(gdiplus::PictureSizeRefusal(QSize(10001, 5000)), "10001 x 5000 pixels, more than the 50 megapixels a picture may have");
    EXPECT_FALSE(gdiplus::PictureSizeRefusal(QSize(65535, 65535)).isEmpty()) << "no overflow in the product";
    EXPECT_TRUE(gdiplus::PictureSizeRefusal(QSize()).isEmpty()) << "an unknown size is left to the decoder";
}

// A file of a few kilobytes whose header states 56 megapixels: neither the
// thumbnail nor the profile picture decodes it, and the reason is given once.
TEST(PictureBudget, AHugePictureIsRefusedFromItsHeaderForThumbnailsAndPicturesAlike)
{
    QTemporaryDir dir;
    const QByteArray bytes = HugePng(QSize(8000, 7000));
    ASSERT_LT(bytes.size(), 1024 * 1024);
    EXPECT_EQ(gdiplus::ImageSizeOf(bytes), QSize(8000, 7000));
    const QString path = WriteFile(dir, "huge.png", bytes);

    ::testing::internal::CaptureStderr();
    const std::optional<TThumbnailData> thumbnail = MakeThumbnailFromFile(path, TThumbnailTarget{96, 96, true, isAlways});
    TAdvGDIPPicture shown;
    shown.LoadFromFile(path);
    TGDIPPicture plain;
    plain.LoadFromFile(path);
    const std::string said = ::testing::internal::GetCapturedStderr();

    EXPECT_FALSE(thumbnail.has_value());
    EXPECT_TRUE(shown.Empty());
    EXPECT_EQ(shown.Image(), nullptr);
    EXPECT_TRUE(plain.Empty());
    const std::string reason = "8000 x 7000 pixels, more than the 50 megapixels a picture may have";
    ASSERT_NE(said.find(reason), std::string::npos) << said;
    EXPECT_EQ(said.find(reason), said.rfind(reason)) << "said more than once:\n" << said;

    // Bytes from anywhere else are held to the same limit.
    EXPECT_EQ(gdiplus::Image::FromBytes(bytes)->GetLastStatus(), gdiplus::ValueOverflow);
    EXPECT_EQ(gdiplus::Image::FromBytesScaled(bytes, QSize(96, 84)), nullptr);
}
