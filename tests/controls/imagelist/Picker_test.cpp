#include "controls/imagelist/AdvSmoothImageListBoxPicker.h"

#include "support/ActiveWindow.h"
#include "support/EventLoop.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>

using namespace lumora;
using lumora::testing::PumpUntil;

namespace {

void Key(QWidget* w, int key, Qt::KeyboardModifiers m = Qt::NoModifier)
{
    QKeyEvent e(QEvent::KeyPress, key, m, key == Qt::Key_Space ? QStringLiteral(" ") : QString());
    QApplication::sendEvent(w, &e);
}

void Deactivate(QWidget* popup)
{
    QEvent e(QEvent::WindowDeactivate);
    QApplication::sendEvent(popup, &e);
}

// A picker on a plain window with six sample pictures, as the main window
// configures it (list 600 x 450, footer navigator).
struct PickerFixture : ::testing::Test {
    QTemporaryDir dir;
    QWidget window;
    TAdvSmoothImageListBoxPicker* picker = nullptr;
    std::vector<int> selected;

    void SetUp() override
    {
        QImage picture(64, 64, QImage::Format_ARGB32);
        picture.fill(Qt::cyan);
        for (const char* name : {"Battery", "Day", "Movie", "Night", "Presentation", "Reading"})
            ASSERT_TRUE(picture.save(dir.filePath(QString(name) + ".png")));
        window.resize(400, 300);
        picker = new TAdvSmoothImageListBoxPicker(&window);
        picker->setGeometry(141, 214, 200, 30);
        picker->SetButtonWidth(16);
        picker->ListBox().resize(600, 450);
        picker->ListBox().Footer().Navigator().SetVisible(true);
        picker->WorkArea = [] { return QRect(0, 0, 1600, 1200); };
        picker->OnSelectImage = [this](TObject* sender, int i) {
            EXPECT_EQ(sender, picker);
            selected.push_back(i);
        };
        window.show();
    }

    void Load() { picker->SetImagesLocation(dir.filePath("*.png")); }
};

} // namespace

TEST(PickerPosition, OpensBelowAboveOrShiftedLeft)
{
    const QRect work(0, 0, 1024, 768);
    // Room below and to the right: at the anchor.
    EXPECT_EQ(PickerPopupPosition(QPoint(100, 100), QSize(600, 450), 200, 30, work), QPoint(100, 100));
    // Near the bottom: above the edit (anchor - list height - edit height + 3).
    EXPECT_EQ(PickerPopupPosition(QPoint(100, 500), QSize(600, 450), 200, 30, work), QPoint(100, 500 - 450 - 27));
    // Exactly touching the bottom still fits.
    EXPECT_EQ(PickerPopupPosition(QPoint(100, 318), QSize(600, 450), 200, 30, work).y(), 318);
    // Near the right edge: the right edges line up.
    EXPECT_EQ(PickerPopupPosition(QPoint(700, 100), QSize(600, 450), 200, 30, work), QPoint(700 + 200 - 600, 100));
    // A work area that does not start at 0.
    EXPECT_EQ(PickerPopupPosition(QPoint(1100, 100), QSize(600, 450), 200, 30, QRect(1024, 0, 1024, 768)).x(), 1100);
}

TEST_F(PickerFixture, SameImagesLocationTwiceAddsThePicturesOnce)
{
    Load();
    EXPECT_EQ(picker->ListBox().Items().Count(), 6);
    Load();
    EXPECT_EQ(picker->ListBox().Items().Count(), 6);
    EXPECT_EQ(picker->ImagesLocation(), dir.filePath("*.png"));
    EXPECT_FALSE(picker->ListBox().ItemAppearance().TextVisible()) << "added without captions";
}

TEST_F(PickerFixture, ButtonClosesAnOpenPopupAndDoesNotReopenIt)
{
    Load();
    int clicks = 0;
    picker->OnClickBtn = [&](TObject*) { ++clicks; };
    picker->Button()->click();
    ASSERT_TRUE(picker->DroppedDown());
    EXPECT_EQ(picker->Popup()->size(), QSize(600, 450));
    EXPECT_TRUE(picker->ListBox().LoaderRunning()) << "the loader starts on the first opening";

    // Clicking the button first deactivates the pop-up, then clicks.
    Deactivate(picker->Popup());
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_TRUE(picker->JustClosed());
    EXPECT_TRUE(picker->ResetTimer().Enabled());
    picker->Button()->click();
    EXPECT_FALSE(picker->DroppedDown()) << "the closing click does not reopen";
    EXPECT_FALSE(picker->JustClosed());
    EXPECT_EQ(clicks, 2);

    // Without deactivation the button closes it itself.
    picker->Button()->click();
    ASSERT_TRUE(picker->DroppedDown());
    picker->Button()->click();
    EXPECT_FALSE(picker->DroppedDown());
}

TEST_F(PickerFixture, AClickElsewhereClosesThePopupLikeADeactivation)
{
    // Qt closes a pop-up window itself when the user clicks outside it; the
    // picker must treat that as the deactivation, so that a click on its own
    // button right after does not reopen the pictures.
    Load();
    picker->Button()->click();
    ASSERT_TRUE(picker->DroppedDown());
    EXPECT_TRUE(picker->Popup()->windowFlags().testFlag(Qt::Popup))
        << "a pop-up never takes the activation from the picker's window";
    picker->Popup()->close();
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_TRUE(picker->JustClosed());
    EXPECT_TRUE(picker->ResetTimer().Enabled());
    picker->Button()->click();
    EXPECT_FALSE(picker->DroppedDown());
}

TEST_F(PickerFixture, ResetTimerClearsTheJustClosedFlag)
{
    Load();
    picker->DropDownToggle();
    Deactivate(picker->Popup());
    ASSERT_TRUE(picker->JustClosed());
    ASSERT_TRUE(PumpUntil([&] { return !picker->JustClosed(); }));
    EXPECT_FALSE(picker->ResetTimer().Enabled());
    picker->DropDownToggle();
    EXPECT_TRUE(picker->DroppedDown()) << "a later click opens again";
}

TEST_F(PickerFixture, PreselectionByCaptionElseTheFirstPicture)
{
    // No pictures: nothing selected.
    picker->DropDownToggle();
    EXPECT_EQ(picker->ListBox().SelectedItemIndex(), -1);
    Key(&picker->ListBox(), Qt::Key_Escape);

    Load();
    picker->ListBox().Items()[3]->Caption().SetText("Evening");
    picker->SetText("no such caption");
    picker->DropDownToggle();
    EXPECT_EQ(picker->ListBox().SelectedItemIndex(), 0);
    Key(&picker->ListBox(), Qt::Key_Escape);
    picker->SetText("Evening");
    picker->DropDownToggle();
    EXPECT_EQ(picker->ListBox().SelectedItemIndex(), 3);
    EXPECT_TRUE(selected.empty()) << "preselection raises no OnSelectImage";
}

TEST_F(PickerFixture, OpensAboveNearTheBottomAndShiftsLeftNearTheRightEdge)
{
    Load();
    const QPoint anchor = picker->mapToGlobal(QPoint(-2, picker->height() - 3));
    picker->WorkArea = [&] { return QRect(0, 0, anchor.x() + 300, anchor.y() + 100); };
    picker->DropDownToggle();
    ASSERT_TRUE(picker->DroppedDown());
    EXPECT_EQ(picker->Popup()->pos(), QPoint(anchor.x() + 200 - 600, anchor.y() - 450 - 30 + 3));
}

TEST_F(PickerFixture, BrowsingWithKeysPicksNothingUntilEnter)
{
    Load();
    picker->SetText("Day");
    picker->DropDownToggle();
    const int opened = picker->SelectedImageIndex();
    ASSERT_GE(opened, 0);
    TAdvSmoothImageListBox* box = &picker->ListBox();

    // Every key that moves the selection only moves it: no pick, the pop-up
    // stays open, the edit keeps its text.
    for (int key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Right, Qt::Key_Up, Qt::Key_Left, Qt::Key_End, Qt::Key_Home,
                    Qt::Key_PageDown})
        Key(box, key);
    QKeyEvent letter(QEvent::KeyPress, Qt::Key_M, Qt::NoModifier, QStringLiteral("m")); // looks "Movie" up
    QApplication::sendEvent(box, &letter);
    EXPECT_TRUE(picker->DroppedDown());
    EXPECT_TRUE(selected.empty()) << "browsing applies no profile";
    EXPECT_EQ(picker->Text(), "Day");

    Key(box, Qt::Key_Home);
    Key(box, Qt::Key_Down);
    const int browsed = picker->SelectedImageIndex();
    Key(box, Qt::Key_Return);
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_EQ(selected, (std::vector<int>{browsed})) << "Enter picks what the selection is on";
    EXPECT_EQ(picker->Text(), box->Items()[browsed]->Caption().Text());
}

TEST_F(PickerFixture, EscapeAfterBrowsingGoesBackUnchanged)
{
    Load();
    picker->SetText("Movie");
    picker->DropDownToggle();
    const int opened = picker->SelectedImageIndex();
    TAdvSmoothImageListBox* box = &picker->ListBox();
    Key(box, Qt::Key_Down);
    Key(box, Qt::Key_Down);
    ASSERT_NE(picker->SelectedImageIndex(), opened);
    Key(box, Qt::Key_Escape);
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_TRUE(selected.empty());
    EXPECT_EQ(picker->SelectedImageIndex(), opened) << "the selection goes back";
    EXPECT_EQ(picker->Text(), "Movie");

    // A click elsewhere after browsing is the same as Escape.
    picker->DropDownToggle();
    Key(box, Qt::Key_Down);
    Deactivate(picker->Popup());
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_EQ(picker->SelectedImageIndex(), opened);
    EXPECT_TRUE(selected.empty());
}

TEST_F(PickerFixture, AltDownOpensAndAltUpCloses)
{
    Load();
    Key(picker, Qt::Key_Down, Qt::AltModifier);
    EXPECT_TRUE(picker->DroppedDown());
    Key(&picker->ListBox(), Qt::Key_Down, Qt::AltModifier);
    EXPECT_FALSE(picker->DroppedDown()) << "Alt+Down in the open list closes it";
    EXPECT_TRUE(selected.empty());
    Key(picker, Qt::Key_Down, Qt::AltModifier);
    Key(&picker->ListBox(), Qt::Key_Up, Qt::AltModifier);
    EXPECT_FALSE(picker->DroppedDown());
    Key(picker, Qt::Key_Down);
    EXPECT_FALSE(picker->DroppedDown()) << "Down alone does not open it";
}

TEST_F(PickerFixture, EnterEscapeAndAClickOnAPicture)
{
    Load();
    int keys = 0;
    picker->OnKeyDown = [&](TObject* sender, int&, TShiftState) {
        EXPECT_EQ(sender, picker);
        ++keys;
    };
    picker->DropDownToggle();
    Key(&picker->ListBox(), Qt::Key_Escape);
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_TRUE(selected.empty());
    EXPECT_EQ(keys, 1) << "the list box's keys reach the picker's handler";

    picker->DropDownToggle();
    Key(&picker->ListBox(), Qt::Key_Return);
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_EQ(selected, (std::vector<int>{0}));

    picker->DropDownToggle();
    picker->ListBox().UpdateLayout();
    const QPointF c = picker->ListBox().DisplayList()[4].rect.center();
    QMouseEvent press(QEvent::MouseButtonPress, c, c, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, c, c, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&picker->ListBox(), &press);
    QApplication::sendEvent(&picker->ListBox(), &release);
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_EQ(selected, (std::vector<int>{0, 4})) << "one event per click";
}

TEST_F(PickerFixture, NavigatorButtonsMoveTheSelectionWithoutPicking)
{
    Load();
    picker->DropDownToggle();
    const std::optional<QRectF> strip = picker->ListBox().NavigatorRect(true);
    ASSERT_TRUE(strip);
    const QPointF c = NavigatorButton(*strip, 20, 2).center();
    QMouseEvent press(QEvent::MouseButtonPress, c, c, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, c, c, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&picker->ListBox(), &press);
    QApplication::sendEvent(&picker->ListBox(), &release);
    EXPECT_TRUE(picker->DroppedDown());
    EXPECT_EQ(picker->SelectedImageIndex(), 1);
    EXPECT_TRUE(selected.empty());
}

TEST_F(PickerFixture, NavigatorPressThatCannotMoveLeavesTheNextPickClosingThePopup)
{
    Load();
    picker->DropDownToggle();
    ASSERT_EQ(picker->SelectedImageIndex(), 0);
    const std::optional<QRectF> strip = picker->ListBox().NavigatorRect(true);
    ASSERT_TRUE(strip);
    const auto click = [&](QPointF c) {
        QMouseEvent press(QEvent::MouseButtonPress, c, c, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, c, c, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&picker->ListBox(), &press);
        QApplication::sendEvent(&picker->ListBox(), &release);
    };
    click(NavigatorButton(*strip, 20, 1).center()); // Previous at the first picture
    EXPECT_TRUE(picker->DroppedDown());
    EXPECT_TRUE(selected.empty());

    picker->ListBox().UpdateLayout();
    click(picker->ListBox().DisplayList()[3].rect.center());
    EXPECT_EQ(selected, (std::vector<int>{3}));
    EXPECT_FALSE(picker->DroppedDown()) << "a pick closes the pop-up";
}

TEST_F(PickerFixture, F4OpensAndCloses)
{
    Load();
    Key(picker, Qt::Key_F4);
    EXPECT_TRUE(picker->DroppedDown());
    Key(&picker->ListBox(), Qt::Key_F4);
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_FALSE(picker->JustClosed());
    Key(picker, Qt::Key_F4, Qt::AltModifier);
    EXPECT_FALSE(picker->DroppedDown()) << "Alt+F4 is not the picker's";
}

TEST_F(PickerFixture, SelectedImageIndexShowsTheFileName)
{
    Load();
    picker->SetSelectedImageIndex(2);
    EXPECT_EQ(picker->SelectedImageIndex(), 2);
    EXPECT_EQ(picker->Text(), picker->ListBox().Items()[2]->FileName());
    picker->SetSelectedImageIndex(-1);
    EXPECT_EQ(picker->Text(), "");
    EXPECT_TRUE(selected.empty());
}

TEST_F(PickerFixture, DestroyingWhileTheLoaderRunsIsSafe)
{
    Load();
    picker->ListBox().SetThreadLoading(tlAll);
    picker->DropDownToggle();
    ASSERT_TRUE(picker->ListBox().LoaderRunning());
    delete picker;
    picker = nullptr;
}

TEST(EditButton, ButtonSitsInsideTheRightEnd)
{
    // A bordered, non-flat edit of 200 x 30 (client 196 x 26) with a 16-pixel button.
    const TEditButtonGeometry g = EditButtonGeometry(200, 30, 196, 26, 16, false, true, true);
    EXPECT_EQ(g.button, QRect(200 - 16 - 4, 0, 16, 26));
    EXPECT_EQ(g.textRight, 196 - 16 - 3);
    EXPECT_EQ(g.textLeft, 1);
    EXPECT_EQ(g.textBottom, 27);
    const TEditButtonGeometry flat = EditButtonGeometry(200, 30, 196, 26, 16, true, true, true);
    EXPECT_EQ(flat.button, QRect(200 - 16 - 3, 2, 16, 27));
    const TEditButtonGeometry bare = EditButtonGeometry(200, 30, 200, 30, 16, false, false, false);
    EXPECT_EQ(bare.button.left(), 200 - 16 - 1 - 2);
    EXPECT_EQ(bare.textTop, 4);
}

TEST(EditButton, EditorDisabledIgnoresTypingButNotEnter)
{
    TAdvSmoothEditBtn edit;
    edit.SetEditorEnabled(false);
    QKeyEvent a(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QApplication::sendEvent(&edit, &a);
    EXPECT_EQ(edit.Text(), "");
    edit.SetEditorEnabled(true);
    QApplication::sendEvent(&edit, &a);
    EXPECT_EQ(edit.Text(), "a");
    int clicks = 0;
    edit.OnClickBtn = [&](TObject*) { ++clicks; };
    edit.Button()->click();
    EXPECT_EQ(clicks, 1);
}

TEST(EditButton, WithoutTheEditorTheButtonTakesTheFocus)
{
    QWidget window;
    auto* before = new QLineEdit(&window);
    auto* edit = new TAdvSmoothEditBtn(&window);
    edit->move(0, 40);
    window.show();
    lumora::testing::MakeActive(window);

    edit->SetEditorEnabled(false);
    edit->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(edit->Button()->hasFocus());
    // Space on the focused button is its click.
    int clicks = 0;
    edit->OnClickBtn = [&](TObject*) { ++clicks; };
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ");
    QKeyEvent up(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, " ");
    QApplication::sendEvent(edit->Button(), &down);
    QApplication::sendEvent(edit->Button(), &up);
    EXPECT_EQ(clicks, 1);

    edit->SetEditorEnabled(true);
    before->setFocus(Qt::TabFocusReason);
    edit->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_FALSE(edit->Button()->hasFocus());
}
