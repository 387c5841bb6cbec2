// The main window's handlers against a stand-in backlight folder, a
// temporary settings file and recorded message boxes.

#include "core/BrightnessUnit.h"

#include "controls/gauge/AdvSmoothGauge.h"
#include "controls/imagelist/AdvSmoothImageListBoxPicker.h"
#include "controls/slider/AdvSmoothSlider.h"
#include "controls/trackbar/AdvSmoothTrackBar.h"
#include "controls/chart/SPBEPC.h"
#include "platform/framework/Application.h"
#include "platform/framework/Exception.h"
#include "tray/CoolTrayIcon.h"

#include "MainWindowStandIns.h"
#include "support/EventLoop.h"

#include <QCloseEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>

using namespace lumora;

namespace {

using lumora::testing::ReadAll;
using lumora::testing::WriteFile;

struct MainWindowTest : lumora::testing::StandInWindowTest {
    // A first start on a panel at its lowest level (1 %).
    void Start(int levels = 11)
    {
        AddPanel();
        WriteFile(dir.filePath("bl/acpi_video0/brightness"), "1\n");
        OpenStores();
        form = std::make_unique<TForm1>(StandInServices({}, levels));
        form->OnTerminate = [this] { ++terminations; };
        Seam().RunStartup(); // the deferred start-up, without waiting for it
    }
    // Lets the device walk to the level asked for.
    void Settle()
    {
        ASSERT_TRUE(lumora::testing::PumpUntil([&] { return !form->Level().Fading() && !Seam().NeedleMoving(); }));
    }
};

} // namespace

TEST_F(MainWindowTest, FirstStartShowsDefaultsAndKeepsTheMonitorsOwnLevel)
{
    // No settings yet: the panel stays as it is (73 %, nearest level 7),
    // rather than dropping to the lowest level when the program is tried.
    AddPanel();
    WriteFile(dir.filePath("bl/acpi_video0/brightness"), "73\n");
    OpenStores();
    form = std::make_unique<TForm1>(StandInServices());
    Seam().RunStartup();
    Settle();
    EXPECT_EQ(Brightness(), "73") << "nothing is written";
    EXPECT_EQ(form->ShownLevel(), 7);
    EXPECT_DOUBLE_EQ(Seam().NeedleDestination(), 7);
    EXPECT_EQ(Seam().LevelSummary(), "Brightness Level: 7");
    EXPECT_EQ(Seam().StartupSummary(), "Set on Startup: OFF");
    EXPECT_EQ(Seam().IntervalSummary(), "Never reduce brightness");
    EXPECT_TRUE(Seam().IntervalText().isEmpty());
    EXPECT_FALSE(Seam().StartupSwitchOn());
    EXPECT_EQ(form->IdleDimming().ArmedMinutes(), 0);
    EXPECT_FALSE(form->IdleDimming().Checking());
    EXPECT_EQ(Seam().NeedleFormat(), "00.00");
    EXPECT_TRUE(boxes.messages.isEmpty());

    // Once saved, the saved level is what a start applies.
    form->close();
    form.reset();
    WriteFile(dir.filePath("bl/acpi_video0/brightness"), "20\n");
    OpenStores();
    form = std::make_unique<TForm1>(StandInServices());
    Seam().RunStartup();
    Settle();
    EXPECT_EQ(Brightness(), "70");
}

TEST_F(MainWindowTest, ClosingBeforeTheSavedSettingsAreShownKeepsThem)
{
    AddPanel();
    const QByteArray saved = "[Software\\Kestrelo\\LumoraBrightness]\nProfileIcon=\"\"\nLevel=7\nRunOnStartup=1\n"
                             "DimInterval=15\nProfileDesc=\"Desk\"\n";
    WriteFile(dir.filePath("settings.conf"), saved);
    OpenStores();
    form = std::make_unique<TForm1>(StandInServices());
    form->show();
    // Closed within the half second before the start-up reads the file: the
    // controls still hold presets, which must not replace the user's values.
    form->close();
    EXPECT_EQ(ReadAll(dir.filePath("settings.conf")), saved);
    EXPECT_TRUE(boxes.errors.isEmpty()) << boxes.errors.join('\n').toStdString();
}

TEST_F(MainWindowTest, TheLowestLevelNeverSwitchesThePanelOff)
{
    Start();
    form->MinBrightnessClick(nullptr);
    Settle();
    EXPECT_EQ(Brightness(), "1"); // level 0 is one percent of the panel
}

TEST_F(MainWindowTest, TrackBarChangeWritesRoundedLevelAndGaugeFollows)
{
    Start();
    Seam().DropTrackBar(50);
    Settle();
    EXPECT_EQ(Brightness(), "50"); // round(10 x 50 / 100) = 5
    EXPECT_DOUBLE_EQ(Seam().NeedleDestination(), 5);
    EXPECT_DOUBLE_EQ(Seam().TrackBarPosition(), 50) << "the track bar stays where the user put it";
    EXPECT_EQ(Seam().Rating(), 50);
}

TEST_F(MainWindowTest, IntervalBoxRefusesZeroAndNegativeButAcceptsEmpty)
{
    Start();
    Seam().TypeInterval("0");
    EXPECT_EQ(boxes.messages.value(0), "Invalid value.");
    EXPECT_EQ(Seam().IntervalText(), "60");
    Seam().TypeInterval("");
    EXPECT_EQ(boxes.messages.size(), 1);
}

TEST_F(MainWindowTest, IdleDimmingDimsOnlyWhenStrictlyPastTheIntervalAndOnce)
{
    Start();
    Seam().DropTrackBar(100);
    Settle();
    form->ArmIdleDimming(1);
    idle.seconds = 60;
    form->IdleDimming().Check();
    EXPECT_EQ(Brightness(), "100");
    idle.seconds = 61;
    form->IdleDimming().Check();
    Settle();
    EXPECT_EQ(Brightness(), "1");
    EXPECT_EQ(form->IdleDimming().ArmedMinutes(), 0);
    EXPECT_FALSE(form->IdleDimming().Checking());
}

TEST_F(MainWindowTest, ExitAsksOnlyWhileDimmingIsArmed)
{
    Start();
    form->ExitClick(nullptr);
    EXPECT_TRUE(boxes.questions.isEmpty());
    EXPECT_EQ(terminations, 1);

    form->ArmIdleDimming(5);
    boxes.answer = false;
    form->ExitClick(nullptr);
    ASSERT_EQ(boxes.questions.size(), 1);
    EXPECT_EQ(boxes.questions[0], "Warning: Do you really want to quit? If you quit now, the software would not "
                                  "automaically reduce brighness after 5 minutes.");
    EXPECT_EQ(terminations, 1);
}

TEST_F(MainWindowTest, SaveProfileWithoutPictureAsksForOne)
{
    Start();
    form->SaveProfileClick(nullptr);
    EXPECT_EQ(boxes.messages.value(0), "Please choose a profile icon and specify a profile name before saving");
}

TEST_F(MainWindowTest, ApplySettingsWritesOrRemovesTheLoginEntry)
{
    Start();
    Seam().SetStartupSwitch(true);
    form->ApplySettingsClick(nullptr);
    EXPECT_TRUE(autostart->RunValueExists("Lumora Brightness Control"));
    EXPECT_EQ(boxes.messages.value(0), "Settings saved.");
    Seam().SetStartupSwitch(false);
    form->ApplySettingsClick(nullptr);
    EXPECT_FALSE(autostart->RunValueExists("Lumora Brightness Control"));
}

TEST_F(MainWindowTest, RestoreOutsideTheLevelsDoesNothing)
{
    Start();
    form->Brightness().RestoreLevel = 70; // a brightness value stored as an index
    form->RestoreBrightnessClick(nullptr);
    EXPECT_EQ(Brightness(), "1");
}

TEST_F(MainWindowTest, MissingBacklightSaysNotSupportedAndEnds)
{
    QDir().mkpath(dir.filePath("empty"));
    settings = std::make_unique<TSettingsStore>(dir.filePath("settings.conf"));
    autostart = std::make_unique<TAutostart>(dir.filePath("autostart"));
    TForm1Services services;
    BacklightOptions options;
    options.Root = dir.filePath("empty");
    services.Brightness = std::make_shared<BacklightProvider>(options);
    services.Settings = settings.get();
    services.Autostart = autostart.get();
    services.TrayHost = &tray;
    services.ExecutablePath = dir.filePath("lumora");
    services.InstanceRecordFolder = dir.filePath("empty");
    form = std::make_unique<TForm1>(services);
    // "Not supported" first, then what was tried on the way to a monitor.
    EXPECT_EQ(boxes.messages.value(0).section(u'\n', 0, 0), "Not supported");
    EXPECT_TRUE(boxes.messages.value(0).contains("the backlight in " + dir.filePath("empty") + ": no device there"))
        << boxes.messages.value(0).toStdString();
    EXPECT_TRUE(form->Terminated());
}

TEST_F(MainWindowTest, ALevelSetFromOutsideMovesEveryViewWritesAndIsAnnouncedOnce)
{
    Start();
    QList<int> announced;
    form->OnShownLevelChanged = [&](int level) { announced << level; };
    EXPECT_EQ(form->ShownLevel(), 0);

    form->SetLevelByRequest(7);
    Settle();
    EXPECT_EQ(Brightness(), "70");
    EXPECT_DOUBLE_EQ(Seam().NeedleDestination(), 7);
    EXPECT_DOUBLE_EQ(Seam().TrackBarPosition(), 70);
    EXPECT_EQ(Seam().Rating(), 30);
    EXPECT_EQ(form->ShownLevel(), 7);
    EXPECT_EQ(announced, QList<int>{7}) << "one announcement for one level";

    // The user's own moves are announced too, the same level only once.
    Seam().DropTrackBar(30);
    Seam().DropTrackBar(31);
    EXPECT_EQ(announced, (QList<int>{7, 3}));
    form->MaxBrightnessClick(nullptr);
    EXPECT_EQ(announced, (QList<int>{7, 3, 10}));
}

TEST_F(MainWindowTest, ALevelOutsideTheLevelsIsRefusedAndNothingMoves)
{
    Start();
    form->SetLevelByRequest(4);
    Settle();
    for (int bad : {-1, 11, 1000}) {
        try {
            form->SetLevelByRequest(bad);
            ADD_FAILURE() << bad << " was taken";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), QString("Level %1 is out of range: the levels are 0 to 10.").arg(bad));
        }
    }
    EXPECT_EQ(Brightness(), "40");
    EXPECT_EQ(form->ShownLevel(), 4);
}

TEST_F(MainWindowTest, AfterResumeTheDimmedLevelGoesBackNotTheOneBefore)
{
    Start();
    form->SetLevelByRequest(8);
    Settle();
    form->ArmIdleDimming(1);
    idle.seconds = 61;
    form->IdleDimming().Check();
    Settle();
    ASSERT_EQ(Brightness(), "1");

    WriteFile(dir.filePath("bl/acpi_video0/brightness"), "100\n"); // the firmware's idea
    EXPECT_FALSE(form->ResumeReapply().Waiting());
    form->DeviceResumed();
    EXPECT_TRUE(form->ResumeReapply().Waiting()) << "a single wait, started by the resume";
    form->ResumeReapply().Reapply();
    EXPECT_EQ(Brightness(), "1");
    EXPECT_EQ(form->ShownLevel(), 0) << "the views never moved";
}

TEST_F(MainWindowTest, ClosingWithoutNotificationAreaSavesAndEnds)
{
    Start();
    tray.area = false;
    form->show();
    EXPECT_TRUE(form->close());
    EXPECT_EQ(terminations, 1);
    EXPECT_TRUE(boxes.questions.isEmpty());
    EXPECT_TRUE(QString::fromUtf8(ReadAll(dir.filePath("settings.conf"))).contains("Level=0"));
}

TEST_F(MainWindowTest, ClosingWithoutNotificationAreaAsksWhileDimmingIsArmed)
{
    Start();
    tray.area = false;
    form->ArmIdleDimming(5);
    form->show();
    boxes.answer = false;
    EXPECT_FALSE(form->close());
    ASSERT_EQ(boxes.questions.size(), 1);
    EXPECT_TRUE(boxes.questions[0].startsWith("Warning: Do you really want to quit?"));
    EXPECT_EQ(terminations, 0);
    EXPECT_TRUE(form->isMinimized()) << "No minimises the window";
    EXPECT_TRUE(form->IdleDimming().Checking());

    boxes.answer = true;
    form->close();
    EXPECT_EQ(terminations, 1);
    EXPECT_FALSE(form->IdleDimming().Checking());
}

TEST_F(MainWindowTest, ClosingWhileTheNeedleMovesSavesTheLevelItIsMovingTo)
{
    Start();
    Seam().Gauge().SetAnimation(true);
    Seam().TurnGauge(7);
    ASSERT_LT(Seam().Needle(), 7) << "the needle is still on its way";
    form->close();
    EXPECT_TRUE(QString::fromUtf8(ReadAll(dir.filePath("settings.conf"))).contains("Level=7"));

    // Dimming that starts while the needle moves restores the chosen level too.
    Seam().TurnGauge(4);
    form->ArmIdleDimming(1);
    idle.seconds = 61;
    form->IdleDimming().Check();
    EXPECT_EQ(form->RestoreLevel(), 4);
}

TEST_F(MainWindowTest, ClosingWithANotificationAreaHidesAndKeepsRunning)
{
    Start();
    form->ArmIdleDimming(5);
    form->show();
    EXPECT_FALSE(form->close());
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(terminations, 0);
    EXPECT_TRUE(boxes.questions.isEmpty());
}

TEST_F(MainWindowTest, LoginStartWithoutNotificationAreaMinimises)
{
    Start();
    tray.area = false;
    form->show();
    Seam().RunLoginStart();
    EXPECT_TRUE(form->isMinimized());
    EXPECT_FALSE(Seam().TrayIconShown());
}

TEST_F(MainWindowTest, GaugeFocusChangesWriteNothing)
{
    Start();
    // Every write fails from now on: the device's file is a folder.
    ASSERT_TRUE(QFile::remove(dir.filePath("bl/acpi_video0/brightness")));
    ASSERT_TRUE(QDir().mkdir(dir.filePath("bl/acpi_video0/brightness")));
    Seam().FocusGauge(true, Qt::MouseFocusReason);
    Seam().FocusGauge(false, Qt::ActiveWindowFocusReason);
    EXPECT_TRUE(boxes.errors.isEmpty()) << boxes.errors.join('\n').toStdString();
}

TEST_F(MainWindowTest, PickerHasItsGlyphAndTheNavigatorColours)
{
    Start();
    const QImage glyph = Seam().ProfilePicker().Glyph();
    EXPECT_EQ(glyph.size(), QSize(17, 17));
    EXPECT_NE(glyph.pixelColor(8, 8), glyph.pixelColor(0, 16)) << "a glyph, not a blank";
    const TAdvSmoothImageListBoxNavigator& nav = Seam().ProfilePicker().ListBox().Footer().Navigator();
    EXPECT_EQ(nav.Color(), TColor(0xFFEFE3));
    EXPECT_EQ(nav.HoverColor(), TColor(0xAAD9FF));
    EXPECT_EQ(nav.DownColor(), TColor(0x6EBBFF));
    EXPECT_EQ(nav.DisabledColor(), clGray);
    EXPECT_EQ(nav.BorderColor(), clBlack);
}

TEST_F(MainWindowTest, AWriteThatFailsLeavesEveryViewOnTheLevelTheScreenHas)
{
    Start(); // level 0 on the screen
    QList<int> announced;
    form->OnShownLevelChanged = [&](int level) { announced << level; };
    // Every write fails from now on: the device's file is a folder.
    ASSERT_TRUE(QFile::remove(dir.filePath("bl/acpi_video0/brightness")));
    ASSERT_TRUE(QDir().mkdir(dir.filePath("bl/acpi_video0/brightness")));

    RunGuarded([&] { Seam().DropTrackBar(70); });
    EXPECT_EQ(boxes.errors.size(), 1) << "the failure is shown";
    EXPECT_DOUBLE_EQ(Seam().TrackBarPosition(), 0);
    EXPECT_DOUBLE_EQ(Seam().NeedleDestination(), 0);

    RunGuarded([&] { Seam().TurnGauge(5); });
    EXPECT_DOUBLE_EQ(Seam().NeedleDestination(), 0) << "a click on the dial goes back too";
    EXPECT_EQ(form->ShownLevel(), 0);
    EXPECT_TRUE(announced.isEmpty()) << "nothing changed";
}
