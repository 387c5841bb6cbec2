#include "controls/imagelist/AdvSmoothImageListBox.h"

#include "support/EventLoop.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace lumora;
using lumora::testing::PumpUntil;

namespace {

void Mouse(QWidget* w, QEvent::Type type, QPointF p, Qt::KeyboardModifiers mods = Qt::NoModifier,
           Qt::MouseButtons buttons = Qt::LeftButton)
{
    QMouseEvent e(type, p, w->mapToGlobal(p), Qt::LeftButton, buttons, mods);
    QApplication::sendEvent(w, &e);
}

void Click(QWidget* w, QPointF p, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    Mouse(w, QEvent::MouseButtonPress, p, mods);
    Mouse(w, QEvent::MouseButtonRelease, p, mods, Qt::NoButton);
}

void DoubleClick(QWidget* w, QPointF p)
{
    Click(w, p);
    Mouse(w, QEvent::MouseButtonDblClick, p);
    Mouse(w, QEvent::MouseButtonRelease, p, Qt::NoModifier, Qt::NoButton);
}

void Key(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {})
{
    QKeyEvent e(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(w, &e);
}

// The picker's list box: 600 x 450, header and footer 50, `count` pictures
// of 200 x 100 given directly.
std::unique_ptr<TAdvSmoothImageListBox> ListBox(int count)
{
    auto box = std::make_unique<TAdvSmoothImageListBox>();
    box->resize(600, 450);
    box->Fill().SetBorderColor(clNone);
    QImage picture(200, 100, QImage::Format_ARGB32);
    picture.fill(Qt::darkGreen);
    box->Items().BeginUpdate();
    for (int i = 0; i < count; ++i)
        box->Items().Add()->SetImage(picture);
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

std::vector<int> Marked(const TAdvSmoothImageListBox& box)
{
    std::vector<int> v;
    for (int i = 0; i < box.Items().Count(); ++i)
        if (box.Items()[i]->Selected())
            v.push_back(i);
    return v;
}

} // namespace

// ---------------------------------------------------------------- zoom

TEST(ImageListZoom, TargetRectangleFillsOrKeepsTheProportions)
{
    const QRectF area(0, 50, 600, 300);
    EXPECT_EQ(ZoomTargetRect(area, QSizeF(100, 100), zmFullScreen), area);
    EXPECT_EQ(ZoomTargetRect(area, QSizeF(100, 100), zmAspectRatio), QRectF(150, 50, 300, 300));
    EXPECT_EQ(ZoomTargetRect(area, QSizeF(1200, 300), zmAspectRatio), QRectF(0, 125, 600, 150));
    // a small picture grows to the area too
    EXPECT_EQ(ZoomTargetRect(area, QSizeF(20, 10), zmAspectRatio), area);
    // an unreadable picture has no proportions: it fills the area
    EXPECT_EQ(ZoomTargetRect(area, QSizeF(), zmAspectRatio), area);
}

TEST(ImageListZoom, StepsEaseTowardsTheTargetAndEndExactlyOnIt)
{
    const QRectF from(10, 60, 70, 70);
    const QRectF to(0, 50, 600, 300);
    TZoomStep s = ZoomStep(from, to, 4);
    EXPECT_FALSE(s.done);
    EXPECT_DOUBLE_EQ(s.rect.right(), 80 + (600 - 80) / 4.0);
    EXPECT_DOUBLE_EQ(s.rect.left(), 10 - 10 / 4.0);
    int steps = 1;
    while (!s.done && steps < 1000) {
        s = ZoomStep(s.rect, to, 4);
        ++steps;
    }
    EXPECT_TRUE(s.done);
    EXPECT_EQ(s.rect, to);
    EXPECT_LT(steps, 40);
    // within a pixel on every edge snaps at once; a factor below 1 counts as 1
    EXPECT_TRUE(ZoomStep(QRectF(0.5, 50, 600, 299.5), to, 4).done);
    EXPECT_EQ(ZoomStep(from, to, 0).rect, to);
}

TEST(ImageListZoom, DoubleClickZoomsInAndEscapeZoomsOutWithEventsInOrder)
{
    auto box = ListBox(10);
    std::vector<std::string> events;
    box->OnItemZoomIn = [&](TObject*, int i) { events.push_back("in " + std::to_string(i)); };
    box->OnItemZoomedIn = [&](TObject*, int i) { events.push_back("zoomed in " + std::to_string(i)); };
    box->OnItemZoomOut = [&](TObject*, int i) { events.push_back("out " + std::to_string(i)); };
    box->OnItemZoomedOut = [&](TObject*, int i) { events.push_back("zoomed out " + std::to_string(i)); };
    const QRectF home = box->DisplayList()[4].rect;

    DoubleClick(box.get(), CentreOf(*box, 4));
    EXPECT_EQ(box->ZoomPhase(), zpZoomingIn);
    EXPECT_TRUE(box->ZoomTimerRunning());
    EXPECT_EQ(box->LoaderZoomedItem(), 4);
    // made at the picture's own size, not the 63 x 32 thumbnail
    EXPECT_EQ(box->ZoomPicture().size(), QSize(200, 100));
    ASSERT_TRUE(PumpUntil([&] { return box->ZoomPhase() == zpZoomedIn; }));
    EXPECT_EQ(box->ZoomRect(), box->ItemAreaRect());
    EXPECT_FALSE(box->ZoomTimerRunning());
    // the release that ended the double click selected nothing else
    EXPECT_EQ(box->SelectedItemIndex(), 4);

    // at rest, keys other than Escape and Space do nothing
    Key(box.get(), Qt::Key_Right);
    EXPECT_EQ(box->SelectedItemIndex(), 4);
    Key(box.get(), Qt::Key_Escape);
    EXPECT_EQ(box->ZoomPhase(), zpZoomingOut);
    ASSERT_TRUE(PumpUntil([&] { return box->ZoomPhase() == zpNone; }));
    EXPECT_FALSE(box->ZoomTimerRunning());
    EXPECT_EQ(box->ZoomedItem(), -1);
    EXPECT_EQ(box->LoaderZoomedItem(), -1);
    EXPECT_TRUE(box->ZoomPicture().isNull());
    EXPECT_EQ(box->DisplayList()[4].rect, home);
    EXPECT_EQ(events, (std::vector<std::string>{"in 4", "zoomed in 4", "out 4", "zoomed out 4"}));
}

TEST(ImageListZoom, SpaceZoomsTheSelectedItemKeepingItsProportionsAndAReversalEndsOut)
{
    auto box = ListBox(10);
    box->SetZoomMode(zmAspectRatio);
    std::vector<std::string> events;
    box->OnItemZoomedIn = [&](TObject*, int) { events.push_back("zoomed in"); };
    box->OnItemZoomedOut = [&](TObject*, int) { events.push_back("zoomed out"); };
    Key(box.get(), Qt::Key_Space); // nothing selected: nothing to zoom
    EXPECT_EQ(box->ZoomedItem(), -1);

    box->SetSelectedItemIndex(2);
    Key(box.get(), Qt::Key_Space);
    ASSERT_TRUE(PumpUntil([&] { return box->ZoomPhase() == zpZoomedIn; }));
    const QRectF area = box->ItemAreaRect();
    const QRectF r = box->ZoomRect();
    EXPECT_DOUBLE_EQ(r.width(), std::min(area.width(), area.height() * 2));
    EXPECT_DOUBLE_EQ(r.width(), 2 * r.height());
    EXPECT_DOUBLE_EQ(r.center().x(), area.center().x());
    EXPECT_DOUBLE_EQ(r.center().y(), area.center().y());

    // zooming out and straight back in mid-way, then out for good
    Key(box.get(), Qt::Key_Space);
    box->ZoomIn(2);
    box->ZoomOut();
    ASSERT_TRUE(PumpUntil([&] { return box->ZoomPhase() == zpNone; }));
    EXPECT_EQ(events, (std::vector<std::string>{"zoomed in", "zoomed out"}));

    // off: neither a double click nor Space zooms
    box->SetZoomOnDblClick(false);
    DoubleClick(box.get(), CentreOf(*box, 1));
    Key(box.get(), Qt::Key_Space);
    EXPECT_EQ(box->ZoomedItem(), -1);
}

TEST(ImageListZoom, OnTopCoversTheHeaderOtherwiseTheHeaderStaysAbove)
{
    auto box = ListBox(10);
    box->Header().SetCaption(QString());
    box->Header().Fill().SetColor(clRed);
    box->Header().Fill().SetColorTo(clRed);
    const QPoint inHeader(300, 25);
    const QRgb header = box->grab().toImage().pixel(inHeader);
    for (bool onTop : {false, true}) {
        box->SetZoomOnTop(onTop);
        box->ZoomIn(0);
        ASSERT_TRUE(PumpUntil([&] { return box->ZoomPhase() == zpZoomedIn; }));
        const QImage shot = box->grab().toImage();
        // the middle of the control shows the picture (exact colour: a flat fill scaled)
        EXPECT_EQ(QColor(shot.pixel(300, 225)), QColor(Qt::darkGreen)) << onTop;
        if (onTop)
            EXPECT_NE(shot.pixel(inHeader), header);
        else
            EXPECT_EQ(shot.pixel(inHeader), header);
        box->ZoomOut();
        ASSERT_TRUE(PumpUntil([&] { return box->ZoomPhase() == zpNone; }));
    }
}

TEST(ImageListZoom, HidingTheListBoxEndsAZoomAtOnce)
{
    // The picker's pop-up closes on the Space that also zooms its selected item.
    QWidget window;
    auto box = ListBox(3);
    box->setParent(&window);
    box->show();
    window.show();
    box->SetSelectedItemIndex(1);
    Key(box.get(), Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    EXPECT_EQ(box->ZoomedItem(), 1);
    window.hide();
    EXPECT_EQ(box->ZoomedItem(), -1);
    EXPECT_FALSE(box->ZoomTimerRunning());
    box->setParent(nullptr);
}

TEST(ImageListZoom, ChangingTheItemsEndsAZoomAtOnce)
{
    auto box = ListBox(3);
    int zoomedOut = 0;
    box->OnItemZoomedOut = [&](TObject*, int) { ++zoomedOut; };
    box->ZoomIn(2);
    box->Items().Delete(2);
    EXPECT_EQ(box->ZoomedItem(), -1);
    EXPECT_FALSE(box->ZoomTimerRunning());
    EXPECT_EQ(zoomedOut, 1);
    box->repaint(); // paints without the deleted item
}

// ---------------------------------------------------------------- multi-selection

TEST(ImageListSelection, ClicksWithCtrlAndShift)
{
    auto box = ListBox(10);
    box->SetMultiSelect(true);
    int selects = 0;
    box->OnItemSelect = [&](TObject*, int) { ++selects; };

    Click(box.get(), CentreOf(*box, 1));
    EXPECT_EQ(Marked(*box), (std::vector<int>{1}));
    Click(box.get(), CentreOf(*box, 3), Qt::ControlModifier);
    EXPECT_EQ(Marked(*box), (std::vector<int>{1, 3}));
    EXPECT_EQ(box->SelectedItemIndex(), 3);
    Click(box.get(), CentreOf(*box, 6), Qt::ShiftModifier); // from the anchor 3, others dropped
    EXPECT_EQ(Marked(*box), (std::vector<int>{3, 4, 5, 6}));
    EXPECT_EQ(box->SelectedItemIndex(), 6);
    EXPECT_EQ(box->SelectionAnchor(), 3);
    Click(box.get(), CentreOf(*box, 0), Qt::ShiftModifier | Qt::ControlModifier); // added to the marks
    EXPECT_EQ(Marked(*box), (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
    Click(box.get(), CentreOf(*box, 0), Qt::ControlModifier); // toggled off
    EXPECT_EQ(Marked(*box), (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(box->SelectedItemIndex(), -1);
    EXPECT_EQ(selects, 4);

    // marked items paint with the selected fill
    const QImage shot = box->grab().toImage();
    const QImage selected = box->ItemBackgrounds()[1];
    // a point of the background beside the picture, drawn 1:1 from the bitmap
    const QPointF at = box->DisplayList()[5].rect.topLeft() + QPointF(5, 5);
    EXPECT_EQ(QColor(shot.pixel(at.toPoint())), QColor(selected.pixel(5, 5)));

    Click(box.get(), CentreOf(*box, 8));
    EXPECT_EQ(Marked(*box), (std::vector<int>{8}));
    box->SetMultiSelect(false);
    EXPECT_EQ(Marked(*box), (std::vector<int>{8}));
}

TEST(ImageListSelection, KeysExtendMoveTheFocusAndToggle)
{
    auto box = ListBox(10);
    box->SetMultiSelect(true);
    Click(box.get(), CentreOf(*box, 0));
    Key(box.get(), Qt::Key_Down, Qt::ShiftModifier);
    Key(box.get(), Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(Marked(*box), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(box->FocusItem(), 2);
    Key(box.get(), Qt::Key_Right, Qt::ControlModifier); // focus to 5, marks stay
    EXPECT_EQ(box->FocusItem(), 5);
    EXPECT_EQ(Marked(*box), (std::vector<int>{0, 1, 2}));
    Key(box.get(), Qt::Key_Space, Qt::ControlModifier, QStringLiteral(" "));
    EXPECT_EQ(Marked(*box), (std::vector<int>{0, 1, 2, 5}));
    EXPECT_EQ(box->SelectedItemIndex(), 5);
    Key(box.get(), Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    EXPECT_EQ(Marked(*box), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(box->ZoomedItem(), -1); // Space toggles instead of zooming
    Key(box.get(), Qt::Key_Down);      // a plain key selects one again
    EXPECT_EQ(Marked(*box), (std::vector<int>{6}));

    // The navigator's buttons move like the plain keys: one item marked.
    Key(box.get(), Qt::Key_Down, Qt::ShiftModifier);
    ASSERT_EQ(Marked(*box), (std::vector<int>{6, 7}));
    box->Navigate(nmNext);
    EXPECT_EQ(Marked(*box), (std::vector<int>{8}));
    EXPECT_EQ(box->SelectedItemIndex(), 8);
}

// ---------------------------------------------------------------- keyboard look-up

TEST(ImageListLookUp, TextAccumulatesAndResetsAfterAPause)
{
    TLookUp l;
    EXPECT_EQ(l.Type('n', 10000), QStringLiteral("n"));
    EXPECT_EQ(l.Type('i', 10500), QStringLiteral("ni"));
    EXPECT_EQ(l.Type('g', 11500), QStringLiteral("nig"));
    EXPECT_TRUE(l.Typing(12500));
    EXPECT_FALSE(l.Typing(12501));
    EXPECT_EQ(l.Type('d', 12501), QStringLiteral("d"));

    const std::vector<TLookUpEntry> names{{"Battery", true}, {"day", false}, {"Dawn", true}, {"Day", true}};
    EXPECT_EQ(FindByPrefix(names, QStringLiteral("D")), 2); // "day" cannot be selected
    EXPECT_EQ(FindByPrefix(names, QStringLiteral("DAY")), 3);
    EXPECT_EQ(FindByPrefix(names, QStringLiteral("x")), -1);
    EXPECT_EQ(FindByPrefix(names, QString()), -1);
}

TEST(ImageListLookUp, TypingSelectsTheFirstMatchAndRaisesOnItemSelect)
{
    auto box = std::make_unique<TAdvSmoothImageListBox>();
    box->resize(300, 250);
    box->SetKeyBoardLookUp(true);
    box->Items().BeginUpdate();
    for (const char* name : {"Battery", "Day", "Dawn", "", "Night"})
        box->Items().Add()->Caption().SetText(QString::fromLatin1(name));
    box->Items()[3]->SetFileName(QStringLiteral("movie.png"));
    for (int i = 0; i < 30; ++i)
        box->Items().Add()->Caption().SetText(QStringLiteral("Z%1").arg(i));
    box->Items().EndUpdate();
    std::vector<int> selected;
    box->OnItemSelect = [&](TObject*, int i) { selected.push_back(i); };

    for (QChar c : QStringLiteral("daw"))
        Key(box.get(), Qt::Key_unknown, Qt::NoModifier, QString(c));
    EXPECT_EQ(box->SelectedItemIndex(), 2);
    EXPECT_EQ(selected, (std::vector<int>{1, 1, 2}));
    EXPECT_EQ(box->LookUpText(), QStringLiteral("daw"));
    Key(box.get(), Qt::Key_unknown, Qt::NoModifier, QStringLiteral("q")); // "dawq" matches nothing
    EXPECT_EQ(box->SelectedItemIndex(), 2);

    // after a pause a new text begins; a far item is scrolled into view
    QThread::msleep(kLookUpResetMs + 50);
    for (QChar c : QStringLiteral("z29"))
        Key(box.get(), Qt::Key_unknown, Qt::NoModifier, QString(c));
    EXPECT_EQ(box->SelectedItemIndex(), 34);
    EXPECT_GT(box->ScrollPosition(), 0);
    QThread::msleep(kLookUpResetMs + 50);
    Key(box.get(), Qt::Key_unknown, Qt::NoModifier, QStringLiteral("M")); // the file name stands in
    EXPECT_EQ(box->SelectedItemIndex(), 3);
}

TEST(ImageListLookUp, ItemsOfAFoldedGroupAreNeitherFoundNorRangedNorZoomed)
{
    auto box = std::make_unique<TAdvSmoothImageListBox>();
    box->resize(600, 450);
    box->SetKeyBoardLookUp(true);
    box->Items().BeginUpdate();
    for (const char* name : {"Fruit", "Apple", "Avocado", "More", "Apricot"})
        box->Items().Add()->Caption().SetText(QString::fromLatin1(name));
    box->Items()[0]->SetSplitter(true);
    box->Items()[0]->SetSplitterState(stCollapsed);
    box->Items()[3]->SetSplitter(true);
    box->Items().EndUpdate();

    Key(box.get(), Qt::Key_unknown, Qt::NoModifier, QStringLiteral("a"));
    EXPECT_EQ(box->SelectedItemIndex(), 4);
    box->ZoomIn(1);
    EXPECT_EQ(box->ZoomedItem(), -1);
    box->ZoomIn(3); // a splitter band
    EXPECT_EQ(box->ZoomedItem(), -1);
    // a range from a folded item (selected by index) takes in only what is shown
    box->SetSelectedItemIndex(1);
    box->SetMultiSelect(true);
    Click(box.get(), CentreOf(*box, 4), Qt::ShiftModifier);
    EXPECT_EQ(Marked(*box), (std::vector<int>{4}));
}

// ---------------------------------------------------------------- drag and drop

TEST(ImageListDrag, OnlyASelectedItemStartsADragAndOnlyWhenAllowed)
{
    auto box = ListBox(30); // ten columns: the content scrolls
    ASSERT_GT(box->LargestScroll(), 0);
    std::vector<int> asked;
    bool allow = true;
    box->OnItemStartDrag = [&](TObject*, int item, bool& a) {
        asked.push_back(item);
        a = allow;
    };
    auto dragFrom = [&](int item) {
        const QPointF p = CentreOf(*box, item);
        Mouse(box.get(), QEvent::MouseButtonPress, p);
        Mouse(box.get(), QEvent::MouseMove, p - QPointF(20, 0));
        const bool dragging = box->Dragging();
        Mouse(box.get(), QEvent::MouseButtonRelease, p - QPointF(20, 0), Qt::NoModifier, Qt::NoButton);
        PumpUntil([&] { return !box->Animating(); });
        return dragging;
    };

    EXPECT_FALSE(dragFrom(1)); // not selected: scrolls
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(box->ScrollPosition(), 20);

    box->SetSelectedItemIndex(3);
    const int before = box->ScrollPosition();
    EXPECT_TRUE(dragFrom(3));
    EXPECT_EQ(asked, (std::vector<int>{3}));
    EXPECT_EQ(box->ScrollPosition(), before); // the drag does not scroll
    EXPECT_FALSE(box->Dragging());
    EXPECT_EQ(box->SelectedItemIndex(), 3);

    allow = false;
    EXPECT_FALSE(dragFrom(3)); // refused: scrolls like any drag
    EXPECT_EQ(box->ScrollPosition(), before + 20);

    box->OnItemStartDrag = nullptr; // without a handler only OleDragDrop drags
    EXPECT_FALSE(dragFrom(3));
}

TEST(ImageListDrag, DragDataCarriesTheFileAndThePicture)
{
    auto box = ListBox(1);
    box->Items()[0]->SetLocation(QStringLiteral("/tmp/pictures/Day.png"));
    std::unique_ptr<QMimeData> data(box->MakeDragData(0));
    EXPECT_EQ(data->urls(), (QList<QUrl>{QUrl::fromLocalFile(QStringLiteral("/tmp/pictures/Day.png"))}));
    ASSERT_TRUE(data->hasImage());
    EXPECT_EQ(qvariant_cast<QImage>(data->imageData()).size(), QSize(200, 100));
}

TEST(ImageListDrag, DroppedPictureFilesBecomeItemsUnlessTheHandlerSaysOtherwise)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage picture(8, 8, QImage::Format_ARGB32);
    picture.fill(Qt::red);
    const QString a = dir.filePath(QStringLiteral("a.png"));
    const QString b = dir.filePath(QStringLiteral("b.png"));
    ASSERT_TRUE(picture.save(a) && picture.save(b));
    QFile text(dir.filePath(QStringLiteral("notes.txt")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a picture");
    text.close();

    auto box = ListBox(0);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(a), QUrl::fromLocalFile(text.fileName()), QUrl::fromLocalFile(b)});
    auto drop = [&] {
        QDropEvent e(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box.get(), &e);
        return e.isAccepted();
    };
    auto enter = [&] {
        QDragEnterEvent e(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box.get(), &e);
        return e.isAccepted();
    };

    EXPECT_FALSE(enter()); // OleDragDrop off
    box->SetOleDragDrop(true);
    EXPECT_TRUE(box->acceptDrops());
    bool allowOver = false;
    box->OnOleDragOver = [&](TObject*, bool& allow) { allow = allowOver; };
    EXPECT_FALSE(enter());
    allowOver = true;
    EXPECT_TRUE(enter());

    QStringList seen;
    box->OnOleDragDrop = [&](TObject*, QStringList& files) { seen = files; };
    EXPECT_TRUE(drop());
    EXPECT_EQ(seen.size(), 3);
    ASSERT_EQ(box->Items().Count(), 2);
    EXPECT_EQ(box->Items()[0]->Location(), a);
    EXPECT_EQ(box->Items()[1]->FileName(), QStringLiteral("b.png"));
    EXPECT_EQ(box->Items()[1]->LoadState(), lsWaiting);
    EXPECT_EQ(box->Items()[1]->FileSize(), QFileInfo(b).size());

    box->OnOleDragDrop = [&](TObject*, QStringList& files) { files.clear(); };
    drop();
    EXPECT_EQ(box->Items().Count(), 2);
}

// ---------------------------------------------------------------- scroll bar

TEST(ImageListScrollBar, ShowsOnlyWithSomethingToScrollAndLeavesRoomForItself)
{
    auto box = ListBox(10); // four columns fit: nothing to scroll
    QScrollBar* bar = box->ScrollBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isHidden());
    const QRectF fullArea = box->ItemAreaRect();

    QImage small(10, 10, QImage::Format_RGB32);
    small.fill(Qt::blue);
    box->Items().BeginUpdate();
    for (int i = 0; i < 20; ++i)
        box->Items().Add()->SetImage(small);
    box->Items().EndUpdate();
    ASSERT_GT(box->LargestScroll(), 0);
    EXPECT_FALSE(bar->isHidden());
    EXPECT_EQ(bar->orientation(), Qt::Horizontal);
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), box->LargestScroll());
    EXPECT_EQ(bar->pageStep(), 40);
    EXPECT_EQ(bar->singleStep(), 20);
    // the bar sits under the items, above the footer, and the items keep clear of it
    EXPECT_DOUBLE_EQ(box->ItemAreaRect().height(), fullArea.height() - bar->height());
    EXPECT_EQ(bar->geometry().top(), qRound(box->ItemAreaRect().bottom()));
    EXPECT_LE(bar->geometry().bottom(), box->FooterRect().top());
    for (const TDisplayEntry& e : box->DisplayList())
        EXPECT_LE(e.rect.bottom(), bar->geometry().top());

    box->SetShowScrollBar(false);
    EXPECT_TRUE(bar->isHidden());
    EXPECT_EQ(box->ItemAreaRect(), fullArea);
    box->SetShowScrollBar(true);
    EXPECT_FALSE(bar->isHidden());

    // downward flow: a vertical bar at the right
    box->SetRows(0);
    box->SetColumns(3);
    ASSERT_GT(box->LargestScroll(), 0);
    EXPECT_EQ(bar->orientation(), Qt::Vertical);
    EXPECT_EQ(bar->geometry().left(), qRound(box->ItemAreaRect().right()));
    EXPECT_EQ(bar->maximum(), box->LargestScroll());
}

TEST(ImageListScrollBar, MovingTheBarMovesTheContentAndTheContentMovesTheBar)
{
    auto box = ListBox(30);
    QScrollBar* bar = box->ScrollBar();
    std::vector<int> scrolled;
    box->OnScroll = [&](TObject*, int p) { scrolled.push_back(p); };
    const double x0 = box->DisplayList()[0].rect.x();

    bar->setValue(100);
    EXPECT_EQ(box->ScrollPosition(), 100);
    EXPECT_EQ(box->ScrollTarget(), 100);
    EXPECT_DOUBLE_EQ(box->DisplayList()[0].rect.x(), x0 - 100);
    EXPECT_EQ(scrolled, (std::vector<int>{100}));

    box->SetSelectedItemIndex(29); // scrolled into view
    EXPECT_EQ(bar->value(), box->ScrollPosition());
    EXPECT_EQ(box->ScrollPosition(), box->LargestScroll());
    EXPECT_FALSE(box->AnimationTimerRunning());

    // an item zoomed on top of everything is not covered by the bar
    box->SetZoomOnTop(true);
    box->ZoomIn(29);
    EXPECT_TRUE(bar->isHidden());
    box->ZoomOut();
    ASSERT_TRUE(PumpUntil([&] { return box->ZoomPhase() == zpNone; }));
    EXPECT_FALSE(bar->isHidden());
}
