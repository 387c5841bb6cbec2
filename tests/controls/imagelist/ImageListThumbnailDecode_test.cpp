#include "controls/imagelist/AdvSmoothImageListBoxLoader.h"
#include "controls/picture/AdvGDIP.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using namespace lumora;

namespace {

// A photograph-like picture: four coloured quarters.
QImage Quarters(QSize size)
{
    QImage image(size, QImage::Format_RGB888);
    QPainter p(&image);
    const int w = size.width() / 2;
    const int h = size.height() / 2;
    p.fillRect(0, 0, w, h, QColor(200, 40, 40));
    p.fillRect(w, 0, size.width() - w, h, QColor(40, 200, 40));
    p.fillRect(0, h, w, size.height() - h, QColor(40, 40, 200));
    p.fillRect(w, h, size.width() - w, size.height() - h, QColor(230, 230, 60));
    return image;
}

int Distance(QColor a, QColor b)
{
    return std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()), std::abs(a.blue() - b.blue())});
}

} // namespace

TEST(ImageListThumbnailDecode, AJpegIsDecodedAtTheThumbnailSizeWithItsOwnSizeAndLayoutKept)
{
    QTemporaryDir dir;
    const QString jpeg = QDir(dir.path()).filePath("photo.jpg");
    ASSERT_TRUE(Quarters({1600, 1200}).save(jpeg, "JPEG", 90));
    const TThumbnailTarget target{96, 96, true, isAlways};

    const std::optional<TThumbnailData> small = MakeThumbnailFromFile(jpeg, target);
    ASSERT_TRUE(small.has_value());
    EXPECT_EQ(small->thumbnail.size(), QSize(96, 72));
    EXPECT_EQ(small->natural, QSizeF(1600, 1200));
    EXPECT_FALSE(small->hasAlpha);
    EXPECT_FALSE(small->hasPalette);
    EXPECT_EQ(small->largestWidth, 96);

    // The same as from the whole decoded picture, but for the filtering.
    TAdvGDIPPicture whole;
    whole.LoadFromFile(jpeg);
    ASSERT_TRUE(whole.Measure());
    const TThumbnailData reference = MakeThumbnail(whole, target);
    EXPECT_EQ(reference.thumbnail.size(), small->thumbnail.size());
    EXPECT_EQ(reference.pixelFormat, small->pixelFormat);
    EXPECT_EQ(reference.bitsPerPixel, small->bitsPerPixel);
    for (QPoint p : {QPoint(20, 15), QPoint(75, 15), QPoint(20, 55), QPoint(75, 55)})
        EXPECT_LE(Distance(small->thumbnail.pixelColor(p), reference.thumbnail.pixelColor(p)), 6) << p.x() << "," << p.y();

    // Not smaller than the picture: decoded whole, as before.
    const std::optional<TThumbnailData> large = MakeThumbnailFromFile(jpeg, TThumbnailTarget{3200, 2400, true, isAlways});
    ASSERT_TRUE(large.has_value());
    EXPECT_EQ(large->thumbnail.size(), QSize(3200, 2400));
}

TEST(ImageListThumbnailDecode, ALargePhotographShows)
{
    // 8000 x 6000 takes 183 MB decoded: more than the toolkit allows unless
    // told otherwise.
    QTemporaryDir dir;
    const QString jpeg = QDir(dir.path()).filePath("large.jpg");
    ASSERT_TRUE(Quarters({8000, 6000}).save(jpeg, "JPEG", 50));

    TAdvGDIPPicture picture;
    picture.LoadFromFile(jpeg);
    ASSERT_TRUE(picture.Measure());
    EXPECT_EQ(picture.Width(), 8000);
    EXPECT_EQ(picture.Height(), 6000);

    const std::optional<TThumbnailData> thumb = MakeThumbnailFromFile(jpeg, TThumbnailTarget{80, 60, true, isAlways});
    ASSERT_TRUE(thumb.has_value());
    EXPECT_EQ(thumb->thumbnail.size(), QSize(80, 60));
    EXPECT_LE(Distance(thumb->thumbnail.pixelColor(10, 10), QColor(200, 40, 40)), 12);
}
