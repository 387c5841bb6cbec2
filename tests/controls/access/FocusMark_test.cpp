// The focus mark on the edit boxes Qt's style paints: the same 2 px frame in
// the highlight colour that the painted controls draw, there while the box
// has the focus and gone when it leaves.

#include "controls/access/FocusMark.h"
#include "controls/imagelist/AdvSmoothImageListBoxPicker.h"

#include "support/ActiveWindow.h"

#include <QLineEdit>
#include <QPainter>

#include <cstdlib>

#include <gtest/gtest.h>

using namespace lumora;

namespace {

QImage Rendered(QWidget& w)
{
    QImage image(w.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    w.render(&image);
    return image;
}

// Anti-aliasing plays no part (the mark is whole pixels); 2 per channel
// covers the premultiplied round trip.
bool Near(QRgb a, QColor b)
{
    return std::abs(qRed(a) - b.red()) <= 2 && std::abs(qGreen(a) - b.green()) <= 2 &&
           std::abs(qBlue(a) - b.blue()) <= 2;
}

// Both pixel rows of the mark on every side, at the side's middle.
std::vector<QPoint> MarkPoints(QSize s)
{
    const int w = s.width();
    const int h = s.height();
    return {{0, h / 2}, {1, h / 2}, {w - 1, h / 2}, {w - 2, h / 2},
            {w / 2, 0}, {w / 2, 1}, {w / 2, h - 1}, {w / 2, h - 2}};
}

} // namespace

TEST(FocusMark, PaintsATwoPixelFrameInsideTheBounds)
{
    QImage image(10, 8, QImage::Format_ARGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        PaintFocusMark(p, image.rect(), Qt::red);
    }
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool onMark = x < 2 || x > 7 || y < 2 || y > 5;
            EXPECT_EQ(image.pixel(x, y), onMark ? qRgb(255, 0, 0) : qRgb(255, 255, 255)) << x << "," << y;
        }

    QImage tiny(3, 3, QImage::Format_ARGB32);
    tiny.fill(Qt::white);
    QPainter p(&tiny);
    PaintFocusMark(p, tiny.rect(), Qt::red);
    EXPECT_EQ(tiny.pixel(1, 1), qRgb(255, 255, 255)) << "too small for a mark: none";
}

TEST(FocusMark, EditBoxesShowTheMarkOnlyWhileFocused)
{
    QWidget window;
    window.resize(300, 120);
    auto* minutes = new QLineEdit(&window);
    minutes->setGeometry(10, 10, 41, 32);
    minutes->setText("60");
    ShowFocusMark(*minutes);
    ShowFocusMark(*minutes); // once is enough; twice changes nothing
    auto* picker = new TAdvSmoothImageListBoxPicker(&window);
    picker->setGeometry(10, 60, 200, 30);
    auto* elsewhere = new QLineEdit(&window);
    elsewhere->setGeometry(220, 10, 60, 30);
    window.show();
    lumora::testing::MakeActive(window);

    for (QWidget* box : std::initializer_list<QWidget*>{minutes, picker}) {
        const QColor highlight = box->palette().color(QPalette::Active, QPalette::Highlight);
        box->setFocus();
        ASSERT_TRUE(box->hasFocus());
        const QImage focused = Rendered(*box);
        for (QPoint at : MarkPoints(box->size()))
            EXPECT_TRUE(Near(focused.pixel(at), highlight))
                << box->metaObject()->className() << " at " << at.x() << "," << at.y() << ": "
                << std::hex << focused.pixel(at);

        elsewhere->setFocus();
        const QImage plain = Rendered(*box);
        EXPECT_FALSE(Near(plain.pixel(box->width() / 2, 1), highlight)) << "no mark without the focus";
    }
}
