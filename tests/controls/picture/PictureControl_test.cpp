// The picture control: its four placement rules as a table, auto-size, and
// what it paints.

#include "controls/picture/AdvGDIPicture.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QMouseEvent>

namespace lumora {
namespace {

using AdvGDIPicture::PictureDrawRect;

TEST(PictureControlPlacement, Table)
{
    struct Row {
        const char* name;
        QSize image;
        QSize client;
        bool stretch, proportional, center;
        QRect expected;
    };
    const Row rows[] = {
        {"wide-proportional-centred", {100, 50}, {72, 72}, true, true, true, QRect(0, 18, 72, 36)},
        {"wide-proportional-top", {100, 50}, {72, 72}, true, true, false, QRect(0, 0, 72, 36)},
        {"tall-proportional-centred", {50, 100}, {72, 72}, true, true, true, QRect(18, 0, 36, 72)},
        {"square-proportional", {10, 10}, {72, 72}, true, true, true, QRect(0, 0, 72, 72)},
        {"small-grows", {10, 5}, {72, 72}, true, true, true, QRect(0, 18, 72, 36)},
        // 72 / 3 * 1 = 24; 72 / 7 * 1 = 10.29 -> 10
        {"rounding", {7, 1}, {72, 72}, true, true, false, QRect(0, 0, 72, 10)},
        // Halves round to even: 10 / 4 * 1 = 2.5 -> 2, 10 / 4 * 3 = 7.5 -> 8.
        {"half-to-even-down", {4, 1}, {10, 10}, true, true, false, QRect(0, 0, 10, 2)},
        {"half-to-even-up", {4, 3}, {10, 10}, true, true, false, QRect(0, 0, 10, 8)},
        // A control that is not square: the image fits, never spills.
        {"fits-wide-control", {100, 60}, {200, 50}, true, true, true, QRect(58, 0, 83, 50)},
        {"fits-tall-control", {60, 100}, {50, 200}, true, true, true, QRect(0, 58, 50, 83)},
        {"no-image", {0, 0}, {72, 72}, true, true, true, QRect(36, 36, 0, 0)},
        {"stretch-any-aspect", {100, 50}, {72, 72}, true, false, true, QRect(0, 0, 72, 72)},
        {"centre-natural", {20, 10}, {72, 72}, false, false, true, QRect(26, 31, 20, 10)},
        {"centre-larger-than-control", {100, 50}, {72, 72}, false, true, true, QRect(0, 11, 100, 50)},
        {"plain", {100, 50}, {72, 72}, false, false, false, QRect(0, 0, 100, 50)},
    };
    for (const Row& row : rows)
        EXPECT_EQ(PictureDrawRect(row.image, row.client, row.stretch, row.proportional, row.center), row.expected)
            << row.name;
}

QByteArray Png(int w, int h, QRgb color)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

void Load(TGDIPPicture& picture, QByteArray bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    picture.LoadFromStream(&buffer);
}

TEST(PictureControl, DefaultsAndVersion)
{
    AdvGDIPicture::TAdvGDIPPicture control;
    EXPECT_EQ(control.size(), QSize(100, 100));
    EXPECT_FALSE(control.AutoSize());
    EXPECT_FALSE(control.Center());
    EXPECT_FALSE(control.Stretch());
    EXPECT_FALSE(control.Proportional());
    EXPECT_TRUE(control.Picture()->Empty());
    EXPECT_EQ(control.Version(), "1.0.2.0");
    control.SetVersion("9.9.9.9");
    EXPECT_EQ(control.Version(), "1.0.2.0");
}

TEST(PictureControl, PaintsAHundredByFiftyImageCentredInSeventyTwo)
{
    AdvGDIPicture::TAdvGDIPPicture control;
    control.resize(72, 72);
    control.SetStretch(true);
    control.SetProportional(true);
    control.SetCenter(true);
    Load(*control.Picture(), Png(100, 50, 0xFFFF0000));
    EXPECT_EQ(control.DrawRect(), QRect(0, 18, 72, 36));

    QImage image(72, 72, QImage::Format_ARGB32);
    image.fill(0xFF0000FF);
    control.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    // Inside the drawn rect the solid image, outside the background; one
    // pixel away from the rect's edges so smoothing cannot matter.
    EXPECT_EQ(image.pixel(36, 19), 0xFFFF0000u);
    EXPECT_EQ(image.pixel(36, 52), 0xFFFF0000u);
    EXPECT_NE(image.pixel(36, 16), 0xFFFF0000u);
    EXPECT_NE(image.pixel(36, 55), 0xFFFF0000u);
}

TEST(PictureControl, AutoSizeFollowsTheImage)
{
    AdvGDIPicture::TAdvGDIPPicture control;
    Load(*control.Picture(), Png(30, 20, 0xFF00FF00));
    EXPECT_EQ(control.size(), QSize(100, 100)); // not without AutoSize
    control.SetAutoSize(true);
    EXPECT_EQ(control.size(), QSize(30, 20));
    Load(*control.Picture(), Png(12, 34, 0xFF00FF00));
    EXPECT_EQ(control.size(), QSize(12, 34));
    control.Picture()->Assign(nullptr); // an empty picture keeps the size
    EXPECT_EQ(control.size(), QSize(12, 34));
}

TEST(PictureControl, SettingThePictureCopiesIt)
{
    AdvGDIPicture::TAdvGDIPPicture control;
    TGDIPPicture source;
    Load(source, Png(5, 6, 0xFF00FF00));
    control.SetPicture(&source);
    EXPECT_EQ(control.Picture()->Data(), source.Data());
    EXPECT_NE(control.Picture(), &source);
    EXPECT_EQ(control.Picture()->Width(), 5);
}

TEST(PictureControl, MouseNotifications)
{
    AdvGDIPicture::TAdvGDIPPicture control;
    std::vector<std::string> seen;
    control.OnMouseDown = [&](TObject*, TMouseButton b, TShiftState s, int x, int y) {
        seen.push_back("down " + std::to_string(b) + " " + std::to_string(s) + " " + std::to_string(x) + "," +
                       std::to_string(y));
    };
    control.OnMouseUp = [&](TObject*, TMouseButton b, TShiftState, int x, int y) {
        seen.push_back("up " + std::to_string(b) + " " + std::to_string(x) + "," + std::to_string(y));
    };
    control.OnClick = [&](TObject* sender) {
        EXPECT_EQ(sender, &control);
        seen.push_back("click");
    };
    const QPointF at(10, 20);
    QMouseEvent press(QEvent::MouseButtonPress, at, control.mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::ShiftModifier);
    QApplication::sendEvent(&control, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, control.mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(&control, &release);
    const std::string down = "down " + std::to_string(mbLeft) + " " + std::to_string(ssShift | ssLeft) + " 10,20";
    EXPECT_EQ(seen, (std::vector<std::string>{down, "up 0 10,20", "click"}));
}

} // namespace
} // namespace lumora
