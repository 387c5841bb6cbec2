// The main window for a screen reader and for the keyboard alone: every
// control named and of its kind, the level reachable through the value
// interfaces, the buttons pressed through their actions and access keys,
// and the window's own menu of the tray's commands.

#include "MainWindowStandIns.h"

#include "controls/access/AccessibleControls.h"
#include "support/ActiveWindow.h"
#include "support/EventLoop.h"

#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>

using namespace lumora;
using namespace lumora::testing;

namespace {

std::vector<std::pair<QObject*, QVariant>>& ValueEvents()
{
    static std::vector<std::pair<QObject*, QVariant>> events;
    return events;
}

void RecordValues(QAccessibleEvent* event)
{
    if (event->type() == QAccessible::ValueChanged)
        ValueEvents().emplace_back(event->object(), static_cast<QAccessibleValueChangeEvent*>(event)->value());
}

struct WindowAccessTest : StandInWindowTest {
    void SetUp() override
    {
        AddPanel();
        OpenStores();
        form = std::make_unique<TForm1>(StandInServices());
        form->OnTerminate = [this] { ++terminations; };
        Seam().RunStartup();
        Settle();
    }
    void Settle()
    {
        ASSERT_TRUE(PumpUntil([&] { return !form->Level().Fading() && !Seam().NeedleMoving(); }));
    }
    // The window shown and active, as keys need it.
    void ShowActive()
    {
        form->show();
        lumora::testing::MakeActive(*form);
        ASSERT_TRUE(PumpUntil([&] { return QApplication::activeWindow() == form.get(); }, 2000));
    }
    static QAccessibleInterface* Of(QObject* o) { return QAccessible::queryAccessibleInterface(o); }
};

} // namespace

TEST_F(WindowAccessTest, EveryControlHasTheRoleOfItsKindAndTheWindowsText)
{
    TWindowSeam seam = Seam();
    struct Expected {
        QObject* control;
        QAccessible::Role role;
        QString name;
    };
    const Expected expected[] = {
        {&seam.TrackBar(), QAccessible::Slider, "Brightness"},
        {&seam.Gauge(), QAccessible::Dial, "Brightness Level"},
        {&seam.RatingChart(), QAccessible::Graphic, seam.RatingChart().Current() == 50 ? "Rating E, 50" : ""},
        {&seam.ProfilePicker(), QAccessible::ComboBox, "Choose a profile icon"},
        {&seam.SaveProfileButton(), QAccessible::Button, "Save Profile"},
        {&seam.ApplySettingsButton(), QAccessible::Button, "Apply Settings"},
        {&seam.StartupCaption(), QAccessible::StaticText, "Set brightness settings on system startup"},
        {&seam.StartupSwitch(), QAccessible::CheckBox, "Set brightness settings on system startup"},
        {&seam.IntervalCaption(), QAccessible::StaticText, "Reduce brightness when idle is over minutes"},
        {&seam.IntervalBox(), QAccessible::EditableText, "Reduce brightness when idle is over minutes"},
        {const_cast<AdvGDIPicture::TAdvGDIPPicture*>(&seam.ProfilePicture()), QAccessible::Graphic, ""},
    };
    QAccessibleInterface* window = Of(form.get());
    for (const Expected& e : expected) {
        QAccessibleInterface* a = Of(e.control);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->role(), e.role) << e.name.toStdString();
        if (!e.name.isEmpty()) {
            EXPECT_EQ(a->text(QAccessible::Name), e.name);
        }
        EXPECT_FALSE(a->text(QAccessible::Name).isEmpty());
        EXPECT_EQ(a->parent(), window) << "in the window's tree: " << e.name.toStdString();
        EXPECT_GE(window->indexOfChild(a), 0);
    }
    // The captions name the controls beside them.
    const auto switchLabel = Of(&seam.StartupSwitch())->relations(QAccessible::Label);
    ASSERT_EQ(switchLabel.size(), 1);
    EXPECT_EQ(switchLabel[0].first->object(), &seam.StartupCaption());
    const auto boxLabel = Of(&seam.IntervalCaption())->relations(QAccessible::Labelled);
    ASSERT_EQ(boxLabel.size(), 1);
    EXPECT_EQ(boxLabel[0].first->object(), &seam.IntervalBox());
}

TEST_F(WindowAccessTest, TheProfilePictureIsNamedByTheProfileItShows)
{
    auto* picture = const_cast<AdvGDIPicture::TAdvGDIPPicture*>(&Seam().ProfilePicture());
    const QString file = picture->Picture()->FileName();
    const QString expected = picture->Picture()->Empty() || file.isEmpty()
                                 ? QStringLiteral("Profile picture")
                                 : "Profile picture: " + QFileInfo(file).completeBaseName();
    EXPECT_EQ(Of(picture)->text(QAccessible::Name), expected);
}

TEST_F(WindowAccessTest, TheMinutesBoxShowsTheTwoPixelFocusMark)
{
    ShowActive();
    QLineEdit& box = Seam().IntervalBox();
    box.setFocus();
    ASSERT_TRUE(box.hasFocus());
    QImage image(box.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    box.render(&image);
    const QColor highlight = box.palette().color(QPalette::Active, QPalette::Highlight);
    for (QPoint at : {QPoint(0, box.height() / 2), QPoint(1, box.height() / 2), QPoint(box.width() / 2, 1),
                      QPoint(box.width() - 2, box.height() / 2), QPoint(box.width() / 2, box.height() - 2)})
        EXPECT_EQ(QColor(image.pixel(at)).rgb(), highlight.rgb()) << at.x() << "," << at.y();
}

TEST_F(WindowAccessTest, TheChartReadsTheRatingTheWindowShows)
{
    Seam().DropTrackBar(0);
    Settle();
    EXPECT_EQ(Of(&Seam().RatingChart())->text(QAccessible::Name), "Rating A, 100");
    EXPECT_EQ(Of(&Seam().RatingChart())->text(QAccessible::Description),
              "Energy Efficiency Rating: Current Rating A, 100");
}

TEST_F(WindowAccessTest, SettingTheTrackBarThroughItsValueWritesTheDevice)
{
    Of(&Seam().TrackBar())->valueInterface()->setCurrentValue(100);
    Settle();
    EXPECT_EQ(Brightness(), "100");
    EXPECT_EQ(form->ShownLevel(), 10);
    EXPECT_EQ(Of(&Seam().Gauge())->valueInterface()->currentValue().toInt(), 10);

    Of(&Seam().Gauge())->valueInterface()->setCurrentValue(0);
    Settle();
    EXPECT_EQ(Brightness(), "1") << "level 0 is never black";
    EXPECT_EQ(Seam().TrackBarPosition(), 0);
}

TEST_F(WindowAccessTest, ALevelChangeRaisesValueEventsOnTheTrackBarAndTheGauge)
{
    ValueEvents().clear();
    ObserveControlAnnouncements(RecordValues);
    form->SetLevelByRequest(8);
    Settle();
    ObserveControlAnnouncements(nullptr);
    bool trackBar = false;
    bool gauge = false;
    for (const auto& [object, value] : ValueEvents()) {
        trackBar |= object == &Seam().TrackBar() && value.toDouble() == 80;
        gauge |= object == &Seam().Gauge() && value.toInt() == 8;
    }
    EXPECT_TRUE(trackBar);
    EXPECT_TRUE(gauge);
}

TEST_F(WindowAccessTest, PressingApplySettingsThroughItsActionSaves)
{
    Seam().SetStartupSwitch(true);
    Of(&Seam().ApplySettingsButton())->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_TRUE(PumpUntil([&] { return !boxes.messages.isEmpty(); }, 2000));
    EXPECT_EQ(boxes.messages, QStringList{"Settings saved."});
    EXPECT_FALSE(QDir(dir.filePath("autostart")).entryList(QDir::Files).isEmpty()) << "the login entry is written";
}

TEST_F(WindowAccessTest, AccessKeysPressTheButtons)
{
    ShowActive();
    QKeyEvent altA(QEvent::KeyPress, Qt::Key_A, Qt::AltModifier, "a");
    QApplication::sendEvent(QApplication::focusWidget() ? QApplication::focusWidget() : form.get(), &altA);
    EXPECT_EQ(boxes.messages, QStringList{"Settings saved."});
    EXPECT_EQ(Of(&Seam().SaveProfileButton())->text(QAccessible::Accelerator),
              QKeySequence("Alt+S").toString(QKeySequence::NativeText));
    EXPECT_TRUE(Seam().SaveProfileButton().toolTip().contains("Alt+S"));
}

TEST_F(WindowAccessTest, ShiftF10AndTheMenuKeyOpenTheTraysCommands)
{
    ShowActive();
    Seam().Gauge().setFocus();
    QKeyEvent shiftF10(QEvent::KeyPress, Qt::Key_F10, Qt::ShiftModifier);
    QApplication::sendEvent(&Seam().Gauge(), &shiftF10);
    QMenu* menu = Seam().WindowMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->isVisible());

    // The tray's own actions, so a command chosen here is the tray's command.
    QList<QAction*> tray = Seam().TrayMenuItems();
    QStringList trayTexts;
    for (QAction* a : tray)
        if (!a->isSeparator() && a->text() != "Show Window")
            trayTexts << a->text();
    QStringList menuTexts;
    for (QAction* a : menu->actions()) {
        EXPECT_TRUE(tray.contains(a)) << a->text().toStdString();
        if (!a->isSeparator())
            menuTexts << a->text();
    }
    EXPECT_EQ(menuTexts, trayTexts);
    for (const char* needed : {"Restore Brightness", "Turn Off Monitor", "Exit"})
        EXPECT_TRUE(menuTexts.contains(needed)) << needed;
    menu->hide();

    // The Menu key reaches the window as a keyboard context menu request
    // that the focused painted control does not take.
    QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(5, 5), Seam().Gauge().mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&Seam().Gauge(), &request);
    EXPECT_TRUE(Seam().WindowMenu()->isVisible());
    EXPECT_EQ(Seam().WindowMenu()->actions().size(), menu->actions().size()) << "built afresh, not doubled";
    Seam().WindowMenu()->hide();
}

TEST_F(WindowAccessTest, TheSummaryLinesSayTheyShowTheSavedSettings)
{
    EXPECT_EQ(Seam().LevelSummaryLabel().toolTip(), "Saved settings");
    EXPECT_EQ(Of(&Seam().LevelSummaryLabel())->text(QAccessible::Description), "Saved settings");
    EXPECT_TRUE(Seam().LevelSummary().startsWith("Brightness Level: ")) << "the painted text stays";
}
