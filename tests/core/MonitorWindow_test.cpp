// The main window on DDC/CI monitors found in the background: it comes up at
// once, works on the chosen monitor, offers the others in the tray menu and
// remembers the choice.

#include "core/BrightnessUnit.h"

#include "controls/gauge/AdvSmoothGauge.h"
#include "controls/trackbar/AdvSmoothTrackBar.h"
#include "platform/device/DdcBus.h"
#include "platform/device/DdcStandIn.h"
#include "platform/framework/Exception.h"
#include "platform/device/MonitorSetProvider.h"

#include "MonitorSetWindow.h"
#include "support/DdcStandInFolder.h"
#include "support/EventLoop.h"

#include <QAction>
#include <QMenu>

using namespace lumora;
using lumora::testing::DdcStandInFolder;
using lumora::testing::PumpUntil;

namespace {

struct MonitorWindowTest : lumora::testing::MonitorSetWindowTest {
    void AddPanel() { StandInWindowTest::AddPanel("intel_backlight", "raw"); }

    QStringList MenuTexts() const
    {
        QStringList texts;
        for (QAction* a : Seam().TrayMenuItems())
            texts << (a->isSeparator() ? "-" : a->text());
        return texts;
    }

    QAction* MonitorItem(const QString& text) const
    {
        for (QAction* a : form->MonitorMenu()->actions())
            if (a->text() == text)
                return a;
        return nullptr;
    }
};

} // namespace

TEST_F(MonitorWindowTest, WindowComesUpBeforeDetectionAndWorksOnTheFirstMonitor)
{
    ddc.AddMonitor("a", "DELL U2720Q", "1", 40, 100, 300);
    ddc.AddMonitor("b", "LG HDR 4K", "2", 70, 100, 300);
    Create();
    // Created with the slow monitors still being read: nothing known yet,
    // nothing said, and the settings wait.
    EXPECT_FALSE(monitors->Detected());
    EXPECT_FALSE(Seam().StartupPending());
    EXPECT_TRUE(boxes.messages.isEmpty());
    EXPECT_EQ(form->MonitorMenu(), nullptr);

    Started();
    EXPECT_EQ(form->LevelCount(), 11);
    EXPECT_EQ(form->Brightness().MonitorInstanceName, "ddc:a");
    EXPECT_EQ(form->ShownLevel(), 4) << "a first start takes the monitor's own level";
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(ddc.Brightness("a"), 40) << "and writes nothing";
    EXPECT_EQ(ddc.Brightness("b"), 70);

    // Two monitors: the "Monitor" submenu right after "Restore Brightness".
    ASSERT_NE(form->MonitorMenu(), nullptr);
    EXPECT_EQ(MenuTexts(), (QStringList{"Show Window", "Restore Brightness", "Monitor", "-", "Min Brightness",
                                        "Max Brightness", "-", "Turn Off Monitor", "-", "Schedule...", "-", "Exit"}));
    ASSERT_NE(MonitorItem("DELL U2720Q"), nullptr);
    // Two monitors to set: both at once by default, the views on the first.
    ASSERT_NE(MonitorItem("All monitors"), nullptr);
    EXPECT_TRUE(MonitorItem("All monitors")->isChecked());
    EXPECT_FALSE(MonitorItem("DELL U2720Q")->isChecked());
    EXPECT_FALSE(MonitorItem("LG HDR 4K")->isChecked());
    EXPECT_TRUE(boxes.errors.isEmpty()) << boxes.errors.join('\n').toStdString();
}

TEST_F(MonitorWindowTest, SwitchingMonitorsShowsTheNewOneWithoutWritingAndIsRememberedAtTheNextStart)
{
    ddc.AddMonitor("a", "DELL U2720Q", "1", 40, 100);
    ddc.AddMonitor("b", "LG HDR 4K", "2", 70, 100);
    Create();
    Started();
    ASSERT_NE(form->MonitorMenu(), nullptr);

    MonitorItem("LG HDR 4K")->trigger();
    EXPECT_EQ(form->Brightness().MonitorInstanceName, "ddc:b");
    EXPECT_EQ(Seam().Needle(), 7) << "70 % on 11 levels";
    EXPECT_DOUBLE_EQ(Seam().TrackBarPosition(), 70);
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(ddc.Brightness("b"), 70) << "choosing a monitor writes nothing to it";
    EXPECT_TRUE(PumpUntil([&] { return form->MonitorMenu() && MonitorItem("LG HDR 4K")->isChecked(); }));

    // The track bar now drives the chosen monitor only.
    Seam().DropTrackBar(30);
    EXPECT_TRUE(PumpUntil([&] { return ddc.Brightness("b") == 30; })) << ddc.Brightness("b");
    EXPECT_EQ(ddc.Brightness("a"), 40);

    // The next start comes back to it.
    Create();
    Started();
    EXPECT_EQ(form->Brightness().MonitorInstanceName, "ddc:b");
}

TEST_F(MonitorWindowTest, OneMonitorOffersItsRangeAPanelAloneKeepsTheMenuAndNoneSaysNotSupportedAfterDetection)
{
    // One DDC/CI monitor: the submenu holds it, chosen, and "Monitors..."
    // for its range.
    ddc.AddMonitor("a", "DELL U2720Q", "1", 40, 100);
    Create();
    Started();
    ASSERT_NE(form->MonitorMenu(), nullptr);
    QStringList texts;
    for (QAction* a : form->MonitorMenu()->actions())
        texts << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(texts, (QStringList{"DELL U2720Q", "-", "Monitors..."}));
    EXPECT_TRUE(MonitorItem("DELL U2720Q")->isChecked());
    EXPECT_EQ(terminations, 0);

    // A laptop's panel alone: the menu as it always was.
    QDir(ddc.Root() + "/a").removeRecursively();
    AddPanel();
    Create();
    Started();
    ASSERT_TRUE(PumpUntil([&] { return monitors->Detected(); }));
    PumpUntil([] { return false; }, 100);
    EXPECT_EQ(form->MonitorMenu(), nullptr);
    EXPECT_EQ(Seam().TrayMenuItems().size(), 11);
    QDir(dir.filePath("bl")).removeRecursively();

    QDir(ddc.Root() + "/a").removeRecursively();
    Create();
    EXPECT_TRUE(boxes.messages.isEmpty()) << "not before detection has finished";
    ASSERT_TRUE(PumpUntil([&] { return terminations > 0; }));
    ASSERT_EQ(boxes.messages.size(), 1);
    EXPECT_EQ(boxes.messages[0].section(u'\n', 0, 0), "Not supported");
    EXPECT_TRUE(boxes.messages[0].contains("- DDC/CI over I2C: ")) << boxes.messages[0].toStdString();
}

TEST_F(MonitorWindowTest, APanelStartsAtOnceAndTheMonitorsJoinTheMenuLater)
{
    AddPanel();
    ddc.AddMonitor("a", "DELL U2720Q", "1", 40, 100, 200);
    Create();
    EXPECT_TRUE(Seam().StartupPending()) << "the panel does not wait for the monitors";
    EXPECT_EQ(form->Brightness().MonitorInstanceName, "intel_backlight");
    EXPECT_EQ(form->MonitorMenu(), nullptr);
    ASSERT_TRUE(PumpUntil([&] { return form->MonitorMenu() != nullptr; }));
    ASSERT_NE(MonitorItem("Built-in display"), nullptr);
    EXPECT_TRUE(MonitorItem("All monitors")->isChecked()) << "two monitors to set: both at once";
    EXPECT_EQ(form->Brightness().MonitorInstanceName, "intel_backlight") << "the panel stays the one shown";
    EXPECT_NE(MonitorItem("DELL U2720Q"), nullptr);
}

TEST_F(MonitorWindowTest, AMonitorThatStopsAnsweringIsNamedOnceAndShownUnavailable)
{
    ddc.AddMonitor("a", "DELL U2720Q", "1", 40, 100);
    ddc.AddMonitor("b", "LG HDR 4K", "2", 70, 100);
    Create();
    Started();
    ddc.SetFailing("a", true);
    for (double position : {20.0, 40.0, 60.0})
        Seam().DropTrackBar(position);
    ASSERT_TRUE(PumpUntil([&] { return !boxes.errors.isEmpty(); }));
    PumpUntil([] { return false; }, 300);
    ASSERT_EQ(boxes.errors.size(), 1) << boxes.errors.join('\n').toStdString();
    EXPECT_TRUE(boxes.errors[0].contains("DELL U2720Q"));
    EXPECT_TRUE(PumpUntil([&] { return form->MonitorMenu() && MonitorItem("DELL U2720Q - not answering"); }));

    // The other monitor still works.
    MonitorItem("LG HDR 4K")->trigger();
    Seam().DropTrackBar(90);
    EXPECT_TRUE(PumpUntil([&] { return ddc.Brightness("b") == 90; }));
}

TEST_F(MonitorWindowTest, AMonitorSilentAtDetectionIsNamedAndListedButNotChosen)
{
    ddc.AddMonitor("a", "DELL U2720Q", "1", 40, 100);
    ddc.AddMonitor("b", "LG HDR 4K", "2", 70, 100);
    ddc.SetFailing("a", true);
    Create();
    Started();
    EXPECT_EQ(form->Brightness().MonitorInstanceName, "ddc:b");
    ASSERT_TRUE(PumpUntil([&] { return !boxes.errors.isEmpty(); }));
    EXPECT_TRUE(boxes.errors[0].contains("DELL U2720Q")) << boxes.errors[0].toStdString();
    ASSERT_NE(form->MonitorMenu(), nullptr);
    QAction* silent = MonitorItem("DELL U2720Q - not answering");
    ASSERT_NE(silent, nullptr);
    EXPECT_FALSE(silent->isEnabled());
    EXPECT_TRUE(MonitorItem("LG HDR 4K")->isChecked());
}

namespace {

// DDC/CI on a machine with I2C buses but without the library.
class MissingLibraryBus : public DdcBus {
public:
    std::vector<DdcDisplay> Detect() override { return {}; }
    VcpReading Read(const QString& id, std::uint8_t) override { throw EOSError("not detected: " + id); }
    void Write(const QString& id, std::uint8_t, int) override { throw EOSError("not detected: " + id); }
    QString Unavailable() const override { return "libddcutil.so.5 cannot be loaded: no such file"; }
};

} // namespace

TEST_F(MonitorWindowTest, WithoutTheDdcLibraryThePanelWorksAndTheMenuSaysNoDdcWithoutABox)
{
    AddPanel();
    QDir().mkpath(dir.filePath("run"));
    form.reset();
    monitors = std::make_shared<MonitorSetProvider>(
        std::make_shared<BacklightProvider>(BacklightOptions{dir.filePath("bl"), 11}),
        std::make_shared<DdcMonitors>(std::make_shared<MissingLibraryBus>()), 11);
    TForm1Services services;
    services.Brightness = monitors;
    services.Monitors = monitors;
    form = std::make_unique<TForm1>(StandInServices(std::move(services)));
    Started();
    ASSERT_TRUE(PumpUntil([&] { return monitors->Detected() && form->MonitorMenu() != nullptr; }));
    ASSERT_NE(MonitorItem("No DDC/CI"), nullptr);
    EXPECT_FALSE(MonitorItem("No DDC/CI")->isEnabled());
    EXPECT_TRUE(MonitorItem("No DDC/CI")->toolTip().contains("libddcutil.so.5")) << "the reason is there to read";
    EXPECT_EQ(form->Brightness().MonitorInstanceName, "intel_backlight") << "the panel is worked on as before";
    EXPECT_TRUE(boxes.errors.isEmpty()) << boxes.errors.join('\n').toStdString();
}
