// "All monitors": one level for the panel and every DDC/CI monitor, each
// through its own range, chosen from the tray's Monitor submenu, with the
// ranges set in the "Monitors" window and kept across starts.

#include "core/BrightnessUnit.h"

#include "controls/trackbar/AdvSmoothTrackBar.h"
#include "core/MonitorRanges.h"
#include "core/MonitorRangesWindow.h"
#include "core/RemoteControl.h"
#include "platform/device/DdcStandIn.h"
#include "platform/device/MonitorSetProvider.h"

#include "MonitorSetWindow.h"
#include "support/DdcStandInFolder.h"
#include "support/EventLoop.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>

using namespace lumora;
using lumora::testing::DdcStandInFolder;
using lumora::testing::PumpUntil;

namespace {

struct AllMonitorsTest : lumora::testing::MonitorSetWindowTest {
    QAction* MonitorItem(const QString& text) const
    {
        if (!form->MonitorMenu())
            return nullptr;
        for (QAction* a : form->MonitorMenu()->actions())
            if (a->text() == text)
                return a;
        return nullptr;
    }
    QStringList MonitorTexts() const
    {
        QStringList texts;
        for (QAction* a : form->MonitorMenu()->actions())
            texts << (a->isSeparator() ? "-" : a->text());
        return texts;
    }
    // The panel, the DELL on its full range and the LG on 20 ... 60, all set
    // together under "All monitors".
    void StartWithThePanelAndTwoMonitors()
    {
        AddPanel("intel_backlight", "raw");
        ddc.AddMonitor("a", "DELL U2720Q", "1", 40, 100);
        ddc.AddMonitor("b", "LG HDR 4K", "2", 70, 100);
        SaveMonitorRange(*settings, "LG HDR 4K", "2", {20, 60});
        Create();
        Started();
        ASSERT_TRUE(PumpUntil([&] { return MonitorItem("All monitors") && MonitorItem("All monitors")->isChecked(); }));
    }
    int Panel() const
    {
        QFile f(dir.filePath("bl/intel_backlight/brightness"));
        return f.open(QIODevice::ReadOnly) ? f.readAll().trimmed().toInt() : -1;
    }
};

} // namespace

TEST_F(AllMonitorsTest, AllMonitorsIsTheFirstEntryAndTheDefaultAndEveryLevelReachesEveryMonitorThroughItsRange)
{
    ddc.AddMonitor("a", "DELL U2720Q", "1", 40, 100, 50);
    ddc.AddMonitor("b", "LG HDR 4K", "2", 70, 100, 50);
    ddc.AddMonitor("c", "BenQ GW2480", "3", 30, 100, 50);
    ddc.SetFailing("c", true);
    SaveMonitorRange(*settings, "LG HDR 4K", "2", {20, 60});
    Create();
    Started();

    ASSERT_NE(form->MonitorMenu(), nullptr);
    EXPECT_EQ(MonitorTexts(), (QStringList{"All monitors", "DELL U2720Q", "LG HDR 4K", "BenQ GW2480 - not answering",
                                           "-", "Monitors..."}));
    EXPECT_TRUE(MonitorItem("All monitors")->isChecked());
    EXPECT_FALSE(MonitorItem("DELL U2720Q")->isChecked());
    EXPECT_EQ(form->Brightness().MonitorInstanceName, "ddc:a") << "the views show the first monitor";

    Seam().DropTrackBar(50);
    EXPECT_TRUE(PumpUntil([&] { return ddc.Brightness("a") == 50 && ddc.Brightness("b") == 40; }))
        << ddc.Brightness("a") << " " << ddc.Brightness("b");
    EXPECT_EQ(ddc.Brightness("c"), 30) << "the silent monitor is passed over";

    Seam().DropTrackBar(100);
    EXPECT_TRUE(PumpUntil([&] { return ddc.Brightness("a") == 100 && ddc.Brightness("b") == 60; }))
        << ddc.Brightness("a") << " " << ddc.Brightness("b");
    // The lowest level: the range's lowest percent, never black.
    form->MinBrightnessClick(nullptr);
    EXPECT_TRUE(PumpUntil([&] { return ddc.Brightness("a") == 1 && ddc.Brightness("b") == 20; }))
        << ddc.Brightness("a") << " " << ddc.Brightness("b");
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(boxes.errors.size(), 1) << "the silent monitor named once: " << boxes.errors.join('\n').toStdString();
}

TEST_F(AllMonitorsTest, SlowMonitorsChangeTogetherNotOneAfterAnother)
{
    for (const char* id : {"a", "b", "c"})
        ddc.AddMonitor(id, QString("Monitor ") + id, id, 40, 100);
    Create();
    Started();
    for (const char* id : {"a", "b", "c"})
        ddc.SetDelay(id, 300);
    QElapsedTimer clock;
    clock.start();
    form->MaxBrightnessClick(nullptr);
    // The fade's writes merge on each monitor's worker; the last value
    // lands within a few calls of 300 ms, not three times that per step.
    ASSERT_TRUE(PumpUntil([&] {
        return ddc.Brightness("a") == 100 && ddc.Brightness("b") == 100 && ddc.Brightness("c") == 100;
    }, 5000));
    const qint64 allThere = clock.elapsed();
    // One after another, each step of the fade would cost three calls.
    EXPECT_LT(allThere, 5 * 300 + 100) << "written one monitor after another";
}

TEST_F(AllMonitorsTest, ChoosingOneMonitorLeavesTheOthersAloneAndTheChoiceAndRangesSurviveARestart)
{
    ddc.AddMonitor("a", "DELL U2720Q", "1", 40, 100);
    ddc.AddMonitor("b", "LG HDR 4K", "2", 70, 100);
    Create();
    Started();
    MonitorItem("LG HDR 4K")->trigger();
    EXPECT_EQ(form->Brightness().MonitorInstanceName, "ddc:b");
    Seam().DropTrackBar(30);
    EXPECT_TRUE(PumpUntil([&] { return ddc.Brightness("b") == 30; }));
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(ddc.Brightness("a"), 40) << "one monitor chosen: the other keeps its level";

    Create();
    Started();
    EXPECT_EQ(form->Brightness().MonitorInstanceName, "ddc:b");
    EXPECT_FALSE(MonitorItem("All monitors")->isChecked());

    MonitorItem("All monitors")->trigger();
    // "Monitors..." in the submenu opens the window.
    ASSERT_TRUE(PumpUntil([&] { return MonitorItem("Monitors...") != nullptr; }));
    MonitorItem("Monitors...")->trigger();
    const auto shown = [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (dynamic_cast<TMonitorRangesWindow*>(w) && w->isVisible())
                return true;
        return false;
    };
    EXPECT_TRUE(shown());
    // The "Monitors" window: its track bars keep the range and show it on the
    // monitor at once.
    TMonitorRangesWindow* window = ShowMonitorRanges(form->AllMonitors(), form.get());
    ASSERT_EQ(window->Rows().size(), 2u);
    EXPECT_EQ(window->Rows()[1].Name->text(), "LG HDR 4K");
    const int level = form->ShownLevel();
    // While a track bar is on its way the monitor shows the range; nothing is kept yet.
    form->AllMonitors().ShowRange("ddc:b", {0, 30});
    EXPECT_TRUE(PumpUntil([&] { return ddc.Brightness("b") == PercentInRange(level * 10, {0, 30}); }))
        << ddc.Brightness("b");
    EXPECT_EQ(form->AllMonitors().RangeOf(form->AllMonitors().Monitors()[1]), MonitorRange{});
    window->Rows()[1].Highest->SetPosition(50);
    const int expected = PercentInRange(level * 10, {0, 50});
    EXPECT_TRUE(PumpUntil([&] { return ddc.Brightness("b") == expected; }))
        << ddc.Brightness("b") << " wanted " << expected << " at level " << level << " now " << form->ShownLevel();
    window->Rows()[1].Lowest->SetPosition(70);
    EXPECT_EQ(int(window->Rows()[1].Highest->Position()), 70) << "the highest end gives way";
    window->Rows()[1].Lowest->SetPosition(10);
    window->Rows()[1].Highest->SetPosition(50);

    Create();
    Started();
    EXPECT_TRUE(MonitorItem("All monitors")->isChecked()) << "the choice is remembered";
    const MonitorInfo lg = form->AllMonitors().Monitors()[1];
    EXPECT_EQ(form->AllMonitors().RangeOf(lg), (MonitorRange{10, 50})) << "the range is remembered";
    Seam().DropTrackBar(100);
    EXPECT_TRUE(PumpUntil([&] { return ddc.Brightness("a") == 100 && ddc.Brightness("b") == 50; }))
        << ddc.Brightness("a") << " " << ddc.Brightness("b");
}

TEST_F(AllMonitorsTest, APanelStaysShownAndTheMonitorsFoundLaterTakeTheLevelThroughTheirRanges)
{
    AddPanel("intel_backlight", "raw");
    ddc.AddMonitor("a", "DELL U2720Q", "1", 40, 100, 200);
    SaveMonitorRange(*settings, "DELL U2720Q", "1", {20, 80});
    Create();
    Started(); // the panel's saved level is not there yet: a first start writes nothing
    Seam().DropTrackBar(60);
    EXPECT_TRUE(PumpUntil([&] { return Panel() == 60; })) << Panel();
    ASSERT_TRUE(PumpUntil([&] { return MonitorItem("All monitors") != nullptr; }));
    EXPECT_TRUE(MonitorItem("All monitors")->isChecked());
    EXPECT_EQ(form->Brightness().MonitorInstanceName, "intel_backlight");
    EXPECT_TRUE(PumpUntil([&] { return ddc.Brightness("a") == 56; }, 3000))
        << "the late monitor gets the level in force: " << ddc.Brightness("a");

    // The desktop sets the panel: the views follow, no monitor is written.
    form->BrightnessChangedOutside("intel_backlight", 80);
    EXPECT_EQ(form->ShownLevel(), 8);
    PumpUntil([] { return false; }, 500);
    EXPECT_EQ(ddc.Brightness("a"), 56);
}

TEST_F(AllMonitorsTest, TheBusListsEveryMonitorAndSetsOneAlone)
{
    ddc.AddMonitor("a", "DELL U2720Q", "1", 40, 100);
    ddc.AddMonitor("b", "LG HDR 4K", "2", 70, 100);
    ddc.AddMonitor("c", "BenQ GW2480", "3", 30, 100);
    ddc.SetFailing("c", true);
    Create();
    Started();
    const BusMonitorList listed = BusMonitors(*form);
    ASSERT_EQ(listed.size(), 3);
    EXPECT_EQ(listed[0], (BusMonitor{"ddc:a", "DELL U2720Q", 4, true}));
    EXPECT_EQ(listed[1], (BusMonitor{"ddc:b", "LG HDR 4K", 7, true}));
    EXPECT_EQ(listed[2], (BusMonitor{"ddc:c", "BenQ GW2480", -1, false}));

    SetMonitorLevel(*form, "ddc:b", 2);
    EXPECT_TRUE(PumpUntil([&] { return ddc.Brightness("b") == 20; }));
    EXPECT_EQ(form->ShownLevel(), 4) << "not the monitor the views show";
    SetMonitorLevel(*form, "ddc:a", 9);
    EXPECT_TRUE(PumpUntil([&] { return ddc.Brightness("a") == 90; }));
    EXPECT_EQ(form->ShownLevel(), 9) << "the views follow the monitor they show";
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(ddc.Brightness("b"), 20) << "and nothing else is written";
    EXPECT_THROW(SetMonitorLevel(*form, "ddc:c", 3), Exception);
}

TEST_F(AllMonitorsTest, ASlowMonitorIsToldWhereAMoveEndsOnceWhileThePanelFollowsTheNeedle)
{
    // Each step of the fade handed to a monitor that takes a call's time
    // would wait behind the call in flight, and the move's end with it: the
    // last monitor would hold it two calls after the change, not one.
    ASSERT_NO_FATAL_FAILURE(StartWithThePanelAndTwoMonitors());
    Seam().DropTrackBar(20);
    ASSERT_TRUE(PumpUntil([&] { return Panel() == 20 && ddc.Brightness("a") == 20 && ddc.Brightness("b") == 28; }))
        << Panel() << " " << ddc.Brightness("a") << " " << ddc.Brightness("b");
    ASSERT_FALSE(form->Level().Fading());
    ddc.ListWrites("a");
    ddc.ListWrites("b");

    form->MaxBrightnessClick(nullptr);
    ASSERT_TRUE(form->Level().Fading()) << "the panel walks with the needle";
    ASSERT_TRUE(PumpUntil([&] { return !form->Level().Fading() && Panel() == 100; }));
    EXPECT_TRUE(PumpUntil([&] { return ddc.Brightness("a") == 100 && ddc.Brightness("b") == 60; }));
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(ddc.Writes("a"), QList<int>{100});
    EXPECT_EQ(ddc.Writes("b"), QList<int>{60});
}

TEST_F(AllMonitorsTest, WithNoPanelTheShownMonitorIsAlsoToldOnlyWhereAMoveEnds)
{
    ddc.AddMonitor("a", "DELL U2720Q", "1", 40, 100);
    ddc.AddMonitor("b", "LG HDR 4K", "2", 70, 100);
    Create();
    Started();
    ASSERT_EQ(form->Brightness().MonitorInstanceName, "ddc:a");
    ddc.ListWrites("a");
    ddc.ListWrites("b");
    form->MaxBrightnessClick(nullptr);
    ASSERT_TRUE(PumpUntil([&] { return !form->Level().Fading(); }));
    EXPECT_TRUE(PumpUntil([&] { return ddc.Brightness("a") == 100 && ddc.Brightness("b") == 100; }));
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(ddc.Writes("a"), QList<int>{100});
    EXPECT_EQ(ddc.Writes("b"), QList<int>{100});
    EXPECT_EQ(form->ShownLevel(), 10);
}

TEST_F(AllMonitorsTest, TheMonitorsWindowTakesInMonitorsFoundAfterItOpenedAndKeepsTheRowsInUse)
{
    AddPanel("intel_backlight", "raw");
    ddc.AddMonitor("a", "DELL U2720Q", "1", 40, 100, 300);
    Create();
    // Opened before the monitor has been found: the panel alone.
    TMonitorRangesWindow* window = ShowMonitorRanges(form->AllMonitors(), form.get());
    ASSERT_EQ(window->Rows().size(), 1u);
    EXPECT_EQ(window->Rows()[0].Name->text(), "Built-in panel");
    TAdvSmoothTrackBar* panelLowest = window->Rows()[0].Lowest;

    ASSERT_TRUE(PumpUntil([&] { return window->Rows().size() == 2; }));
    EXPECT_EQ(window->Rows()[1].Name->text(), "DELL U2720Q");
    EXPECT_EQ(window->Rows()[0].Lowest, panelLowest) << "the panel's row stays as it was";
    EXPECT_EQ(window->size(), MonitorRangesWindowSize(2));
    EXPECT_TRUE(window->Rows()[1].Highest->isVisible());
    window->close();
}

TEST_F(AllMonitorsTest, AtResumeEveryMonitorThatLostItsValueGetsItBackThroughItsRangeAndNoOtherIsWritten)
{
    ASSERT_NO_FATAL_FAILURE(StartWithThePanelAndTwoMonitors());
    Seam().DropTrackBar(50);
    ASSERT_TRUE(PumpUntil([&] { return Panel() == 50 && ddc.Brightness("a") == 50 && ddc.Brightness("b") == 40; }))
        << Panel() << " " << ddc.Brightness("a") << " " << ddc.Brightness("b");
    PumpUntil([] { return false; }, 100);

    // Asleep, the DELL went back to its own brightness; the LG kept its value.
    ddc.Write("a", "brightness", "100\n");
    ddc.ListWrites("a");
    ddc.ListWrites("b");
    form->ResumeReapply().Reapply();
    EXPECT_TRUE(PumpUntil([&] { return ddc.Brightness("a") == 50; })) << ddc.Brightness("a");
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(ddc.Writes("a"), QList<int>{50});
    EXPECT_TRUE(ddc.Writes("b").isEmpty()) << "it holds its value: nothing to write";
    EXPECT_EQ(Panel(), 50);

    // One monitor chosen: only it is put back.
    MonitorItem("LG HDR 4K")->trigger();
    ASSERT_EQ(form->Brightness().MonitorInstanceName, "ddc:b");
    Seam().DropTrackBar(100);
    ASSERT_TRUE(PumpUntil([&] { return ddc.Brightness("b") == 60; })) << ddc.Brightness("b");
    PumpUntil([] { return false; }, 100);
    ddc.Write("a", "brightness", "10\n");
    ddc.Write("b", "brightness", "100\n");
    form->ResumeReapply().Reapply();
    EXPECT_TRUE(PumpUntil([&] { return ddc.Brightness("b") == 60; })) << ddc.Brightness("b");
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(ddc.Brightness("a"), 10) << "not the monitor worked on";
}

TEST_F(AllMonitorsTest, AMonitorPluggedInTakesTheLevelThroughItsRangeAndOneUnpluggedLeavesTheMenuAndTheWindow)
{
    AddPanel("intel_backlight", "raw");
    ddc.AddMonitor("a", "DELL U2720Q", "1", 40, 100);
    SaveMonitorRange(*settings, "LG HDR 4K", "2", {20, 60});
    Create();
    Started();
    ASSERT_TRUE(PumpUntil([&] { return MonitorItem("All monitors") && MonitorItem("All monitors")->isChecked(); }));
    Seam().DropTrackBar(50);
    ASSERT_TRUE(PumpUntil([&] { return Panel() == 50 && ddc.Brightness("a") == 50; }));
    TMonitorRangesWindow* window = ShowMonitorRanges(form->AllMonitors(), form.get());
    ASSERT_EQ(window->Rows().size(), 2u);

    ddc.AddMonitor("b", "LG HDR 4K", "2", 90, 100);
    monitors->Redetect();
    EXPECT_TRUE(PumpUntil([&] { return ddc.Brightness("b") == 40; })) << "the level through its kept range: "
                                                                       << ddc.Brightness("b");
    EXPECT_TRUE(PumpUntil([&] { return MonitorItem("LG HDR 4K") != nullptr; }));
    EXPECT_TRUE(PumpUntil([&] { return window->Rows().size() == 3; }));
    EXPECT_EQ(form->Brightness().MonitorInstanceName, "intel_backlight") << "the panel stays the one shown";

    QDir(ddc.Root() + "/a").removeRecursively();
    monitors->Redetect();
    EXPECT_TRUE(PumpUntil([&] { return MonitorItem("DELL U2720Q") == nullptr; }));
    EXPECT_TRUE(PumpUntil([&] { return window->Rows().size() == 2; }));
    EXPECT_EQ(window->Rows()[1].Name->text(), "LG HDR 4K");

    // Plugged in again, on its own brightness: the level once more.
    ddc.AddMonitor("a", "DELL U2720Q", "1", 90, 100);
    monitors->Redetect();
    EXPECT_TRUE(PumpUntil([&] { return ddc.Brightness("a") == 50; })) << ddc.Brightness("a");
    EXPECT_TRUE(boxes.errors.isEmpty()) << boxes.errors.join('\n').toStdString();
    window->close();
}

TEST_F(AllMonitorsTest, WhenTheMonitorWorkedOnIsUnpluggedTheViewsGoToAnotherAndBackWhenItReturns)
{
    ddc.AddMonitor("a", "DELL U2720Q", "1", 40, 100);
    ddc.AddMonitor("b", "LG HDR 4K", "2", 70, 100);
    Create();
    Started();
    MonitorItem("LG HDR 4K")->trigger();
    ASSERT_EQ(form->Brightness().MonitorInstanceName, "ddc:b");

    QDir(ddc.Root() + "/b").removeRecursively();
    monitors->Redetect();
    ASSERT_TRUE(PumpUntil([&] { return form->Brightness().MonitorInstanceName == "ddc:a"; }))
        << form->Brightness().MonitorInstanceName.toStdString();
    EXPECT_EQ(form->ShownLevel(), 4) << "the views show that monitor's own level";
    EXPECT_EQ(ddc.Brightness("a"), 40) << "and nothing is written to it";

    ddc.AddMonitor("b", "LG HDR 4K", "2", 70, 100);
    monitors->Redetect();
    EXPECT_TRUE(PumpUntil([&] { return form->Brightness().MonitorInstanceName == "ddc:b"; }))
        << "the remembered choice comes back";
    EXPECT_EQ(form->ShownLevel(), 7);
}
