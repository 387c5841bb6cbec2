#include "controls/imagelist/AdvSmoothImageListBox.h"

#include "support/EventLoop.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>

using namespace lumora;
using lumora::testing::PumpUntil;

namespace {

void Mouse(QWidget* w, QEvent::Type type, QPointF p, Qt::MouseButtons buttons = Qt::LeftButton)
{
    QMouseEvent e(type, p, w->mapToGlobal(p), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void Key(QWidget* w, int key)
{
    QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// The list box as the picker's pop-up shows it (600 x 450, header and footer
// of 50, footer navigator), with `count` directly given pictures.
std::unique_ptr<TAdvSmoothImageListBox> PickerListBox(int count)
{
    auto box = std::make_unique<TAdvSmoothImageListBox>();
    box->resize(600, 450);
    box->Fill().SetColor(0xDCB698);
    box->Fill().SetColorTo(0xDCB698);
    box->Fill().SetBorderColor(clNone);
    box->Footer().Navigator().SetVisible(true);
    box->Footer().Navigator().SetColor(0xFFEFE3);
    box->Footer().Navigator().SetHoverColor(0xAAD9FF);
    box->Footer().Navigator().SetDownColor(0x6EBBFF);
    box->Footer().Navigator().SetBorderColor(clBlack);
    QImage picture(200, 100, QImage::Format_ARGB32);
    picture.fill(Qt::darkGreen);
    box->Items().BeginUpdate();
    for (int i = 0; i < count; ++i)
        box->Items().Add()->Image().Assign(picture);
    box->Items().EndUpdate();
    return box;
}

QPointF CentreOf(const TAdvSmoothImageListBox& box, int item)
{
    for (const TDisplayEntry& e : box.DisplayList())
        if (e.item == item)
            return e.rect.center();
    return {};
}

} // namespace

TEST(ImageListBox, TenItemsFlowIntoFourColumnsAndKeysMoveByRows)
{
    auto box = PickerListBox(10);
    ASSERT_EQ(box->DisplayList().size(), 10u);
    EXPECT_EQ(box->DisplayList()[9].rect.x(), box->DisplayList()[6].rect.x() + 80);

    std::vector<int> selects;
    box->OnItemSelect = [&](TObject*, int i) { selects.push_back(i); };
    box->SetSelectedItemIndex(8);
    EXPECT_TRUE(selects.empty()) << "the setter raises no OnItemSelect";
    Key(box.get(), Qt::Key_Right);
    EXPECT_EQ(box->SelectedItemIndex(), 8);
    box->SetSelectedItemIndex(6);
    Key(box.get(), Qt::Key_Right);
    EXPECT_EQ(box->SelectedItemIndex(), 9);
    Key(box.get(), Qt::Key_Up);
    EXPECT_EQ(box->SelectedItemIndex(), 8);
    EXPECT_EQ(selects, (std::vector<int>{8, 9, 8})) << "raised also when the key leaves the index";
    EXPECT_TRUE(box->Items()[8]->Selected());
    EXPECT_FALSE(box->Items()[9]->Selected());
}

TEST(ImageListBox, DirectlyGivenImagesGetTheirThumbnailAtOnce)
{
    auto box = PickerListBox(1);
    EXPECT_EQ(box->Items()[0]->LoadState(), lsReady);
    EXPECT_EQ(box->Items()[0]->Thumbnail().thumbnail.size(), QSize(63, 32));
    EXPECT_FALSE(box->LoaderRunning()) << "no loader before the window exists";
    EXPECT_EQ(box->Items()[0]->Thumbnail().thumbnail.pixelColor(31, 16), QColor(Qt::darkGreen));

    // The item keeps its own copy: changing the source changes nothing.
    TAdvGDIPPicture source;
    QImage red(10, 40, QImage::Format_RGB32);
    red.fill(Qt::red);
    source.Assign(red);
    box->Items()[0]->SetImage(source);
    EXPECT_EQ(box->Items()[0]->Thumbnail().thumbnail.size(), QSize(16, 63)) << "made again for the new picture";
    source.Assign(static_cast<const TObject*>(nullptr));
    EXPECT_FALSE(box->Items()[0]->Image().Empty());

    // Clearing the image drops the thumbnail; an item without a file has nothing to load.
    box->Items()[0]->Image().Assign(static_cast<const TObject*>(nullptr));
    EXPECT_EQ(box->Items()[0]->LoadState(), lsNone);
    EXPECT_TRUE(box->Items()[0]->Thumbnail().thumbnail.isNull());
}

TEST(ImageListBox, ClickSelectsButAThreePixelMoveOnlyScrolls)
{
    auto box = PickerListBox(40); // 14 columns: scrollable
    ASSERT_GT(box->LargestScroll(), 0);
    int selects = 0;
    int clicks = 0;
    box->OnItemSelect = [&](TObject*, int) { ++selects; };
    box->OnItemClick = [&](TObject*, int, TShiftState, TMouseButton) { ++clicks; };

    const QPointF p = CentreOf(*box, 4);
    Mouse(box.get(), QEvent::MouseButtonPress, p);
    Mouse(box.get(), QEvent::MouseButtonRelease, p + QPointF(1, 0), Qt::NoButton);
    EXPECT_EQ(box->SelectedItemIndex(), 4);
    EXPECT_EQ(selects, 1);
    EXPECT_EQ(clicks, 1);

    const int before = box->ScrollPosition();
    const QPointF q = CentreOf(*box, 7);
    Mouse(box.get(), QEvent::MouseButtonPress, q);
    Mouse(box.get(), QEvent::MouseMove, q - QPointF(3, 0));
    Mouse(box.get(), QEvent::MouseButtonRelease, q - QPointF(3, 0), Qt::NoButton);
    EXPECT_EQ(box->SelectedItemIndex(), 4) << "a drag selects nothing";
    EXPECT_EQ(selects, 1);
    EXPECT_EQ(box->ScrollPosition(), before + 3) << "dragging left by 3 scrolls forward by 3";
}

TEST(ImageListBox, DragOverscrollsAtMostFiftyAndSpringsBack)
{
    auto box = PickerListBox(40);
    const int largest = box->LargestScroll();
    // Dragging left across the whole control pulls past the end.
    ASSERT_LT(largest + 50, 590);
    Mouse(box.get(), QEvent::MouseButtonPress, QPointF(595, 100));
    for (int x = 585; x >= 5; x -= 10)
        Mouse(box.get(), QEvent::MouseMove, QPointF(x, 100));
    const QPointF p(5, 100);
    EXPECT_EQ(box->ScrollPosition(), largest + 50);
    EXPECT_EQ(box->ScrollTarget(), largest);
    QThread::msleep(2); // a press that lasted a moment turns the animation on
    Mouse(box.get(), QEvent::MouseButtonRelease, p, Qt::NoButton);
    ASSERT_TRUE(box->Animating());
    ASSERT_TRUE(PumpUntil([&] { return !box->Animating(); }));
    EXPECT_EQ(box->ScrollPosition(), largest);
    EXPECT_FALSE(box->AnimationTimerRunning()) << "no timer at rest";

    // The other end: dragging right past the start.
    Mouse(box.get(), QEvent::MouseButtonPress, QPointF(10, 100));
    for (int x = 10; x < 400; x += 10)
        Mouse(box.get(), QEvent::MouseMove, QPointF(x, 100));
    Mouse(box.get(), QEvent::MouseMove, QPointF(400, 100));
    EXPECT_GE(box->ScrollPosition(), -50);
}

TEST(ImageListBox, WheelAndScrollIntoView)
{
    auto box = PickerListBox(40);
    box->SetSelectedItemIndex(39);
    const QRectF last = box->DisplayList().back().rect;
    EXPECT_LE(last.right(), 600) << "the selected item is scrolled into view";
    EXPECT_EQ(box->ScrollPosition(), box->LargestScroll());

    QWheelEvent wheel(QPointF(100, 100), QPointF(100, 100), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(box.get(), &wheel);
    EXPECT_EQ(box->ScrollTarget(), box->LargestScroll() - 70) << "one item width back";
    ASSERT_TRUE(PumpUntil([&] { return !box->Animating(); }));
    EXPECT_EQ(box->ScrollPosition(), box->LargestScroll() - 70);
}

TEST(ImageListBox, NavigatorButtonsNavigateUnlessDisallowed)
{
    auto box = PickerListBox(10);
    box->SetSelectedItemIndex(3);
    const std::optional<QRectF> strip = box->NavigatorRect(true);
    ASSERT_TRUE(strip);
    std::vector<TAdvSmoothImageListBoxNavigationMode> modes;
    bool allow = true;
    box->OnNavigate = [&](TObject*, TAdvSmoothImageListBoxNavigationMode m, bool& a) {
        modes.push_back(m);
        a = allow;
    };
    auto click = [&](int j) {
        const QPointF c = NavigatorButton(*strip, 20, j).center();
        Mouse(box.get(), QEvent::MouseButtonPress, c);
        Mouse(box.get(), QEvent::MouseButtonRelease, c, Qt::NoButton);
    };
    click(2);
    EXPECT_EQ(box->SelectedItemIndex(), 4);
    click(1);
    EXPECT_EQ(box->SelectedItemIndex(), 3);
    allow = false;
    click(2);
    EXPECT_EQ(box->SelectedItemIndex(), 3);
    EXPECT_EQ(modes, (std::vector<TAdvSmoothImageListBoxNavigationMode>{nmNext, nmPrior, nmNext}));
}

TEST(ImageListBox, PaintsFillsFromBitmapsRenderedOnce)
{
    auto box = PickerListBox(10);
    box->ItemAppearance().Fill().SetColor(clRed);
    box->ItemAppearance().Fill().SetColorTo(clRed);
    box->ItemAppearance().Fill().SetGradientType(gtSolid);
    box->ItemAppearance().Fill().SetBorderColor(clNone);
    box->ItemAppearance().SelectedFill().SetColor(clBlue);
    box->ItemAppearance().SelectedFill().SetColorTo(clBlue);
    box->ItemAppearance().SelectedFill().SetGradientType(gtSolid);
    box->ItemAppearance().SelectedFill().SetBorderColor(clNone);
    box->SetSelectedItemIndex(1);

    QImage frame(600, 450, QImage::Format_ARGB32);
    box->render(&frame);
    const int renders = box->ItemBackgroundRenders();
    box->render(&frame);
    EXPECT_EQ(box->ItemBackgroundRenders(), renders) << "item backgrounds are not rendered per paint";

    // Exact colours away from any edge: a solid fill has no anti-aliasing there.
    // Item 0's top-left corner (inside the picture margin) shows its fill.
    const QRectF r0 = box->DisplayList()[0].rect;
    const QRectF r1 = box->DisplayList()[1].rect;
    EXPECT_EQ(frame.pixelColor(int(r0.x()) + 1, int(r0.y()) + 1), QColor(255, 0, 0));
    EXPECT_EQ(frame.pixelColor(int(r1.x()) + 1, int(r1.y()) + 1), QColor(0, 0, 255));
    // The thumbnail (dark green) stands in the middle of the item.
    EXPECT_EQ(frame.pixelColor(r0.center().toPoint()), QColor(Qt::darkGreen));
    // The control background between the items.
    EXPECT_EQ(frame.pixelColor(int(r0.right()) + 5, int(r0.center().y())), QColor(0x98, 0xB6, 0xDC));
}

TEST(ImageListBox, AddImagesFromLocation)
{
    QTemporaryDir dir;
    QImage picture(32, 16, QImage::Format_ARGB32);
    picture.fill(Qt::blue);
    ASSERT_TRUE(picture.save(dir.filePath("Day.png")));
    ASSERT_TRUE(picture.save(dir.filePath("Night.png")));
    QFile other(dir.filePath("notes.txt"));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));

    TAdvSmoothImageListBox box;
    box.Items().Add()->Caption().SetText("kept");
    box.AddImagesFromLocation(dir.filePath("*.jpg"), false);
    EXPECT_EQ(box.Items().Count(), 1) << "nothing matches: existing items stay";

    box.AddImagesFromLocation(dir.path() + "\\*.png", false);
    ASSERT_EQ(box.Items().Count(), 3) << "a backslash separates the folder as well";
    QStringList names;
    for (int i = 1; i < 3; ++i) {
        const TAdvSmoothImageListBoxItem& item = *box.Items()[i];
        names << item.FileName();
        EXPECT_EQ(item.Location(), dir.filePath(item.FileName()));
        EXPECT_GT(item.FileSize(), 0);
        EXPECT_EQ(item.LoadState(), lsWaiting);
        EXPECT_TRUE(item.Caption().Text().isEmpty());
    }
    names.sort();
    EXPECT_EQ(names, (QStringList{"Day.png", "Night.png"}));
    EXPECT_FALSE(box.ItemAppearance().TextVisible());

    box.AddImagesFromLocation(dir.filePath("*.png"), true);
    EXPECT_EQ(box.Items().Count(), 5) << "the same folder twice adds every picture twice";
    EXPECT_FALSE(box.Items()[4]->Caption().Text().isEmpty());
    EXPECT_TRUE(box.ItemAppearance().TextVisible());
}

TEST(ImageListBox, LoaderFillsInVisiblePicturesAndSurvivesBrokenFilesAndDestruction)
{
    QTemporaryDir dir;
    QImage picture(400, 200, QImage::Format_ARGB32);
    picture.fill(Qt::yellow);
    const QString first = dir.filePath("a0000.png");
    ASSERT_TRUE(picture.save(first));
    // A large folder: 2000 entries (links to one picture), one of them not a picture.
    for (int i = 1; i < 2000; ++i)
        QFile::link(first, dir.filePath(QString("a%1.png").arg(i, 4, 10, QChar('0'))));
    {
        QFile::remove(dir.filePath("a0001.png")); // a link to the first picture: replace, not overwrite
        QFile broken(dir.filePath("a0001.png"));
        ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
        broken.write("no picture here");
    }

    auto box = std::make_unique<TAdvSmoothImageListBox>();
    box->resize(600, 450);
    box->show();
    EXPECT_TRUE(box->LoaderRunning());
    box->AddImagesFromLocation(dir.filePath("*.png"), false);
    ASSERT_EQ(box->Items().Count(), 2000);
    EXPECT_TRUE(box->LoaderRunning()) << "restarted after the folder was added";

    // Everything in view gets its thumbnail; the broken file keeps the default.
    auto visibleDone = [&] {
        for (const TDisplayEntry& e : box->DisplayList()) {
            if (!IntersectsControl(e.rect, 600, 450))
                continue;
            const TImageLoadState s = box->Items()[e.item]->LoadState();
            if (s == lsWaiting)
                return false;
        }
        return true;
    };
    ASSERT_TRUE(PumpUntil(visibleDone, 60000));
    int waiting = 0;
    int broken = -1;
    for (int i = 0; i < box->Items().Count(); ++i) {
        waiting += box->Items()[i]->LoadState() == lsWaiting ? 1 : 0;
        if (box->Items()[i]->FileName() == "a0001.png")
            broken = i;
    }
    EXPECT_GT(waiting, 1900) << "pictures out of view wait until they scroll in";
    ASSERT_GE(broken, 0);
    box->SetSelectedItemIndex(broken); // scrolls it into view: the loader turns to it
    ASSERT_TRUE(PumpUntil([&] { return box->Items()[broken]->LoadState() != lsWaiting; }, 60000));
    ASSERT_TRUE(PumpUntil(visibleDone, 60000)) << "the broken file never stops the loader";
    EXPECT_EQ(box->Items()[broken]->LoadState(), lsLoading) << "never ready: drawn with the default image";

    // Scroll far and destroy the box while the loader works on the new view.
    box->SetSelectedItemIndex(1500);
    EXPECT_TRUE(box->LoaderRunning());
    box.reset();
}

TEST(ImageListBox, UpdatesStopTheLoaderAndPaintNothing)
{
    auto box = PickerListBox(5);
    box->show();
    EXPECT_TRUE(box->LoaderRunning());
    box->Items().BeginUpdate();
    EXPECT_FALSE(box->LoaderRunning());
    box->Items().BeginUpdate();
    box->Items().Add();
    box->Items().EndUpdate();
    EXPECT_FALSE(box->LoaderRunning()) << "an inner EndUpdate starts nothing while the outer update is open";
    EXPECT_EQ(box->DisplayList().size(), 5u) << "no layout inside an update";
    box->Items().EndUpdate();
    EXPECT_TRUE(box->LoaderRunning());
    EXPECT_EQ(box->DisplayList().size(), 6u);
}
