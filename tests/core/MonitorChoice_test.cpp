// Which monitor the program works on, and how a DDC/CI monitor's values
// reach the level table through the brightness queries.

#include "core/BrightnessAccess.h"
#include "core/MonitorChoice.h"
#include "platform/device/DdcStandIn.h"
#include "platform/device/MonitorSetProvider.h"

#include "support/DdcStandInFolder.h"
#include "support/EventLoop.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lumora;
using lumora::testing::DdcStandInFolder;
using lumora::testing::PumpUntil;

namespace {

MonitorInfo Panel() { return MonitorInfo{"intel_backlight", kBuiltInPanelModel, "", "", true, true, true}; }
MonitorInfo Ddc(const QString& id, const QString& model, const QString& serial, const QString& connector,
                bool answering = true)
{
    return MonitorInfo{"ddc:" + id, model, serial, connector, false, answering, true};
}

} // namespace

TEST(MonitorChoice, PanelFirstThenTheScreenShowingTheWindowThenTheFirstThatAnswers)
{
    const std::vector<MonitorInfo> withPanel{Ddc("a", "DELL", "1", "DP-1"), Panel()};
    EXPECT_EQ(ChooseMonitor(withPanel, std::nullopt, {"DP-1", "DELL", "1"}), 1u) << "the panel wins";

    const std::vector<MonitorInfo> desk{Ddc("a", "DELL", "1", "DP-1"), Ddc("b", "LG", "9", "HDMI-1")};
    EXPECT_EQ(ChooseMonitor(desk, std::nullopt, {"HDMI-1", "", ""}), 1u) << "window on the second screen";
    EXPECT_EQ(ChooseMonitor(desk, std::nullopt, {"HDMI-A-0", "LG", "9"}), 1u) << "by EDID model and serial";
    EXPECT_EQ(ChooseMonitor(desk, std::nullopt, {"HDMI-A-0", "LG", "8"}), 0u) << "another LG: the first";
    EXPECT_EQ(ChooseMonitor(desk, std::nullopt, {}), 0u);

    const std::vector<MonitorInfo> silent{Ddc("a", "DELL", "1", "DP-1", false), Ddc("b", "LG", "9", "HDMI-1")};
    EXPECT_EQ(ChooseMonitor(silent, std::nullopt, {"DP-1", "", ""}), 1u) << "one that does not answer is passed over";
    EXPECT_EQ(ChooseMonitor({Ddc("a", "DELL", "1", "", false)}, std::nullopt, {}), std::nullopt);
    EXPECT_EQ(ChooseMonitor({}, std::nullopt, {}), std::nullopt);
}

TEST(MonitorChoice, TheRememberedMonitorWinsWhilePresentElseTheUsualChoice)
{
    const std::vector<MonitorInfo> monitors{Panel(), Ddc("a", "DELL", "1", "DP-1"), Ddc("b", "DELL", "2", "DP-2")};
    EXPECT_EQ(ChooseMonitor(monitors, RememberedMonitor{"DELL", "2"}, {"DP-1", "", ""}), 2u);
    EXPECT_EQ(ChooseMonitor(monitors, RememberedMonitor{kBuiltInPanelModel, ""}, {}), 0u);
    EXPECT_EQ(ChooseMonitor(monitors, RememberedMonitor{"DELL", "3"}, {}), 0u) << "remembered monitor gone";
    EXPECT_EQ(ChooseMonitor(monitors, RememberedMonitor{"", ""}, {}), 0u);
}

TEST(MonitorChoice, RememberedMonitorRoundTripsThroughTheSettings)
{
    QTemporaryDir dir;
    TSettingsStore store(dir.filePath("settings.conf"));
    EXPECT_EQ(LoadRememberedMonitor(store), std::nullopt);
    SaveRememberedMonitor(store, {"LG HDR 4K", "0x1234"});
    EXPECT_EQ(LoadRememberedMonitor(store), (RememberedMonitor{"LG HDR 4K", "0x1234"}));
}

TEST(MonitorChoice, NearestLevelIndexFindsTheLevelOfACurrentValue)
{
    const QStringList eleven{"0", "10", "20", "30", "40", "50", "60", "70", "80", "90", "100"};
    EXPECT_EQ(NearestLevelIndex(eleven, 0), 0);
    EXPECT_EQ(NearestLevelIndex(eleven, 34), 3);
    EXPECT_EQ(NearestLevelIndex(eleven, 35), 3) << "a tie goes to the lower level";
    EXPECT_EQ(NearestLevelIndex(eleven, 100), 10);
    EXPECT_EQ(NearestLevelIndex({}, 40), 0);
}

TEST(MonitorChoice, DdcMonitorLevelsArePercentsOfItsOwnMaximumWithLevelZeroLit)
{
    DdcStandInFolder folder;
    folder.AddMonitor("a", "Odd Range", "1", 120, 240);
    auto ddc = std::make_shared<DdcMonitors>(std::make_shared<DdcStandIn>(folder.Root()));
    auto provider = std::make_shared<MonitorSetProvider>(nullptr, ddc, 11);
    provider->StartDetection();
    ASSERT_TRUE(PumpUntil([&] { return provider->Detected(); }));

    TBrightnessAccess access(provider);
    access.QueryMonitor();
    EXPECT_EQ(access.MonitorInstanceName, "ddc:a");
    EXPECT_EQ(access.LevelCount, 11);
    EXPECT_EQ(access.RestoreLevel, 50) << "current brightness in percent";
    EXPECT_EQ(access.LevelList.join('|'), "0|10|20|30|40|50|60|70|80|90|100");

    access.SetBrightness(access.LevelValue(0), access.MonitorInstanceName);
    ddc->Flush();
    EXPECT_EQ(folder.Brightness("a"), 2) << "level 0 is one percent of the monitor's maximum, rounded";
    access.SetBrightness(access.LevelValue(7), access.MonitorInstanceName);
    ddc->Flush();
    EXPECT_EQ(folder.Brightness("a"), 168);
    access.SetBrightness(access.LevelValue(10), access.MonitorInstanceName);
    ddc->Flush();
    EXPECT_EQ(folder.Brightness("a"), 240);
}

TEST(MonitorChoice, OnlyTheActiveMonitorAnswersTheActiveQueryAndWritesReachTheNamedOne)
{
    DdcStandInFolder folder;
    folder.AddMonitor("a", "First", "1", 10, 100, 200);
    folder.AddMonitor("b", "Second", "2", 70, 100);
    auto ddc = std::make_shared<DdcMonitors>(std::make_shared<DdcStandIn>(folder.Root()));
    auto provider = std::make_shared<MonitorSetProvider>(nullptr, ddc, 101);
    TBrightnessAccess access(provider);

    // Before detection has finished there is nothing to work on.
    provider->StartDetection();
    access.QueryMonitor();
    EXPECT_EQ(access.LevelCount, 0);
    ASSERT_TRUE(PumpUntil([&] { return provider->Detected(); }));

    access.QueryMonitor();
    EXPECT_EQ(access.MonitorInstanceName, "ddc:a");
    provider->SetActive("ddc:b");
    access.QueryMonitor();
    EXPECT_EQ(access.MonitorInstanceName, "ddc:b");
    EXPECT_EQ(access.RestoreLevel, 70);

    folder.SetDelay("a", 0);
    access.SetBrightness(33, "ddc:b");
    ddc->Flush();
    EXPECT_EQ(folder.Brightness("b"), 33);
    EXPECT_EQ(folder.Brightness("a"), 10);
    EXPECT_ANY_THROW(access.SetBrightness(33, "ddc:zz"));
}
