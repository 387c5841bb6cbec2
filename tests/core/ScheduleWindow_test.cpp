// The "Schedule..." window: what it accepts and refuses (and which box it
// sends the user back to), what it saves beside the profiles, and that it
// is driven from the keyboard alone: Tab order, Space on the switch, Return
// to save, Escape to leave.

#include "core/ScheduleWindow.h"

#include "controls/buttons/AdvSmoothButton.h"
#include "controls/slider/AdvSmoothSlider.h"
#include "core/Profiles.h"
#include "platform/framework/Dialogs.h"
#include "platform/settings/SettingsStore.h"
#include "support/EventLoop.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumora;
using lumora::testing::PumpUntil;

namespace {

struct RecordedBoxes : TMessageBoxes {
    void ShowMessage(QWidget*, const QString&, const QString& text) override { messages << text; }
    bool AskYesNo(QWidget*, const QString&, const QString&) override { return false; }
    void ShowError(QWidget*, const QString&, const QString& text) override { messages << text; }
    QStringList messages;
};

void Press(QWidget* target, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, key == Qt::Key_Space ? " " : QString());
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

class ScheduleWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SaveProfile(store, "Day", TProfile{8, "Day", 0, false}, "Day");
        SaveProfile(store, "Evening", TProfile{2, "Evening", 0, false}, "Evening");
        SaveProfileTriggers(store, "Evening", ParseTriggerList("sunset - 30 min"));
    }
    QTemporaryDir dir;
    TSettingsStore store{dir.filePath("LumoraBrightness.conf")};
    RecordedBoxes boxes;
    TMessageBoxesScope scope{boxes};
};

} // namespace

TEST_F(ScheduleWindowTest, DraftChecksNameTheBoxToFix)
{
    TScheduleDraft draft = DraftFromSettings(store.Load());
    ASSERT_EQ(draft.Rows.size(), 2u);
    EXPECT_EQ(draft.Rows[1], (TScheduleDraft::Row{"Evening", "sunset - 30 min"}));
    EXPECT_EQ(draft.FadeSeconds, "3") << "the default fade";
    EXPECT_FALSE(CheckDraft(draft));

    const auto problem = [&](auto change) {
        TScheduleDraft d = draft;
        change(d);
        return CheckDraft(d);
    };
    const auto triggers = problem([](TScheduleDraft& d) { d.Rows[0].Triggers = "07:30; teatime"; });
    ASSERT_TRUE(triggers);
    EXPECT_EQ(triggers->Where, TDraftProblem::Triggers);
    EXPECT_EQ(triggers->Row, 0);
    EXPECT_TRUE(triggers->Message.contains("\"teatime\"")) << triggers->Message.toStdString();
    EXPECT_EQ(problem([](TScheduleDraft& d) { d.Latitude = "52"; })->Where, TDraftProblem::Longitude)
        << "one half of a place is no place";
    EXPECT_EQ(problem([](TScheduleDraft& d) { d.Latitude = "95"; d.Longitude = "0"; })->Where, TDraftProblem::Latitude);
    EXPECT_EQ(problem([](TScheduleDraft& d) { d.Latitude = "0"; d.Longitude = "east"; })->Where, TDraftProblem::Longitude);
    EXPECT_EQ(problem([](TScheduleDraft& d) { d.FadeSeconds = "-1"; })->Where, TDraftProblem::FadeSeconds);
    EXPECT_EQ(problem([](TScheduleDraft& d) { d.FadeSeconds = "nan"; })->Where, TDraftProblem::FadeSeconds);
    EXPECT_EQ(problem([](TScheduleDraft& d) { d.FadeSeconds = "61"; })->Where, TDraftProblem::FadeSeconds);
    EXPECT_EQ(problem([](TScheduleDraft& d) { d.LightShift = "6"; })->Where, TDraftProblem::LightShift);
    EXPECT_EQ(problem([](TScheduleDraft& d) { d.LightPauseMinutes = "-5"; })->Where, TDraftProblem::LightPause);
    EXPECT_EQ(problem([](TScheduleDraft& d) { d.LightPauseMinutes = "1441"; })->Where, TDraftProblem::LightPause);
    EXPECT_FALSE(problem([](TScheduleDraft& d) { d.Latitude = "-33.87"; d.Longitude = "151.21"; d.FadeSeconds = "0.5"; }));
}

TEST_F(ScheduleWindowTest, SavesBesideTheProfiles)
{
    int saved = 0;
    TScheduleWindow window(&store, "Berlin");
    window.OnSaved = [&] { ++saved; };
    window.TriggersBox(0)->setText("07:30; on mains");
    window.LatitudeBox()->setText("48.5");
    window.LongitudeBox()->setText("9");
    window.FadeBox()->setText("1.5");
    window.LightSwitch()->SetState(ssOn);
    window.ShiftBox()->setText("-2");
    window.LightPauseBox()->setText("45");
    ASSERT_TRUE(window.Save());
    EXPECT_EQ(saved, 1);

    const TAutomationSettings s = ReadAutomation(store.Load());
    ASSERT_EQ(s.Schedule.size(), 3u);
    EXPECT_EQ(s.Schedule[0].Profile, "Day");
    EXPECT_EQ(TriggerText(s.Schedule[1].Trigger), "on mains");
    EXPECT_EQ(s.Schedule[2].Profile, "Evening");
    EXPECT_EQ(s.Location, (TGeoLocation{48.5, 9}));
    EXPECT_EQ(s.FadeMs, 1500);
    EXPECT_TRUE(s.LightCurve);
    EXPECT_EQ(s.LightShift, -2);
    EXPECT_EQ(s.LightPauseMinutes, 45);
    TProfile day;
    QString active;
    ASSERT_TRUE(LoadProfile(store, "Day", 11, day, active));
    EXPECT_EQ(day.Level, 8) << "the profile's own values stay";
}

TEST_F(ScheduleWindowTest, ARefusedSaveSaysWhyAndGoesToTheBox)
{
    TScheduleWindow window(&store, "Berlin");
    window.show();
    window.TriggersBox(1)->setText("sunset - 30 min; moonrise");
    EXPECT_FALSE(window.Save());
    ASSERT_EQ(boxes.messages.size(), 1);
    EXPECT_TRUE(boxes.messages[0].contains("moonrise"));
    EXPECT_TRUE(PumpUntil([&] { return window.TriggersBox(1)->hasFocus(); }, 2000));
    EXPECT_EQ(ReadAutomation(store.Load()).Schedule.size(), 1u) << "nothing saved";
}

TEST_F(ScheduleWindowTest, WorksFromTheKeyboardAlone)
{
    TScheduleWindow window(&store, "Berlin");
    window.show();
    window.activateWindow();
    ASSERT_TRUE(PumpUntil([&] { return window.isActiveWindow(); }, 3000));
    ASSERT_TRUE(PumpUntil([&] { return window.TriggersBox(0)->hasFocus(); }, 2000)) << "the first box has the focus";

    // Tab walks the boxes, the switch and the buttons in reading order.
    const std::vector<QWidget*> order{window.TriggersBox(1), window.LatitudeBox(), window.LongitudeBox(),
                                      window.FadeBox(),      window.LightSwitch(), window.ShiftBox(),
                                      window.LightPauseBox(), window.SaveButton(), window.CancelButton()};
    for (QWidget* next : order) {
        Press(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next) << next->objectName().toStdString();
    }

    // Space flips the light switch.
    window.LightSwitch()->setFocus();
    ASSERT_EQ(window.LightSwitch()->State(), ssOff);
    Press(window.LightSwitch(), Qt::Key_Space);
    EXPECT_EQ(window.LightSwitch()->State(), ssOn);

    // Return in a box saves and closes.
    window.FadeBox()->setFocus();
    window.FadeBox()->setText("2");
    Press(window.FadeBox(), Qt::Key_Return);
    EXPECT_FALSE(window.isVisible());
    const TAutomationSettings s = ReadAutomation(store.Load());
    EXPECT_EQ(s.FadeMs, 2000);
    EXPECT_TRUE(s.LightCurve);
}

TEST_F(ScheduleWindowTest, EscapeLeavesWithoutSaving)
{
    TScheduleWindow window(&store, "Berlin");
    window.show();
    window.TriggersBox(0)->setText("07:00");
    Press(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(ReadAutomation(store.Load()).Schedule.size(), 1u);

    // The save button answers Space, as every button of the program does.
    TScheduleWindow again(&store, "Berlin");
    again.show();
    again.TriggersBox(0)->setText("07:00");
    Press(again.SaveButton(), Qt::Key_Space);
    EXPECT_EQ(ReadAutomation(store.Load()).Schedule.size(), 2u);
}

TEST_F(ScheduleWindowTest, WithoutALocationTheZonesCityIsNamed)
{
    TScheduleWindow window(&store, "Berlin");
    EXPECT_TRUE(window.LatitudeBox()->text().isEmpty());
    EXPECT_EQ(window.LatitudeBox()->placeholderText(), "as Berlin");
}
