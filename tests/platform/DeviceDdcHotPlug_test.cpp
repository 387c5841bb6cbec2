// DDC/CI monitors plugged in or out while the program runs, and monitors put
// back on their value after resume only where they lost it.

#include "platform/device/DdcMonitors.h"
#include "platform/device/DdcStandIn.h"
#include "platform/device/DisplayHotPlug.h"
#include "platform/framework/Exception.h"

#include "support/DdcStandInFolder.h"
#include "support/EventLoop.h"

#include <QDir>
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <mutex>

using namespace lumora;
using lumora::testing::DdcStandInFolder;
using lumora::testing::PumpUntil;

namespace {

// The stand-in counting the reads and writes of each monitor.
class CountingBus : public DdcStandIn {
public:
    using DdcStandIn::DdcStandIn;

    VcpReading Read(const QString& displayId, std::uint8_t feature) override
    {
        Count(reads_, displayId);
        return DdcStandIn::Read(displayId, feature);
    }
    void Write(const QString& displayId, std::uint8_t feature, int value) override
    {
        DdcStandIn::Write(displayId, feature, value);
        Count(writes_, displayId);
    }
    int Reads(const QString& id) { return Get(reads_, id); }
    int Writes(const QString& id) { return Get(writes_, id); }

private:
    void Count(std::map<QString, int>& counts, const QString& id)
    {
        std::lock_guard lock(mutex_);
        ++counts[id];
    }
    int Get(std::map<QString, int>& counts, const QString& id)
    {
        std::lock_guard lock(mutex_);
        return counts[id];
    }
    std::mutex mutex_;
    std::map<QString, int> reads_, writes_;
};

struct Watched {
    int finished = 0;
    int changed = 0;
    QStringList failures;
    void Watch(DdcMonitors& monitors)
    {
        QObject::connect(&monitors, &DdcMonitors::DetectionFinished, &monitors, [this] { ++finished; });
        QObject::connect(&monitors, &DdcMonitors::MonitorsChanged, &monitors, [this] { ++changed; });
        QObject::connect(&monitors, &DdcMonitors::MonitorFailed, &monitors,
                         [this](const QString& message) { failures << message; });
    }
};

QStringList Ids(const DdcMonitors& monitors)
{
    QStringList ids;
    for (const DdcMonitorState& m : monitors.Monitors())
        ids << m.Display.Id;
    return ids;
}

} // namespace

TEST(DeviceDdcHotPlug, AMonitorPluggedInIsFoundAndOneUnpluggedLeavesWhileTheOthersKeepTheirWorker)
{
    DdcStandInFolder folder;
    folder.AddMonitor("a", "DELL U2720Q", "1", 40, 100);
    auto bus = std::make_shared<CountingBus>(folder.Root());
    DdcMonitors monitors(bus);
    Watched watched;
    watched.Watch(monitors);
    monitors.StartDetection();
    ASSERT_TRUE(PumpUntil([&] { return watched.finished == 1; }));
    EXPECT_EQ(watched.changed, 0) << "the first detection is no change";
    monitors.WritePercent("a", 70);
    monitors.Flush();

    // Plugged in.
    folder.AddMonitor("b", "LG HDR 4K", "2", 30, 100);
    monitors.Redetect();
    ASSERT_TRUE(PumpUntil([&] { return watched.finished == 2; }));
    EXPECT_EQ(watched.changed, 1);
    EXPECT_EQ(Ids(monitors), (QStringList{"a", "b"}));
    EXPECT_EQ(monitors.Monitors()[0].CurrentPercent, 70) << "the monitor still there keeps what it was given";
    EXPECT_EQ(bus->Reads("a"), 1) << "and is not read again beside its worker";
    EXPECT_EQ(monitors.Monitors()[1].CurrentPercent, 30);
    monitors.WritePercent("b", 60);
    monitors.Flush();
    EXPECT_EQ(folder.Brightness("b"), 60);

    // Unplugged.
    QDir(folder.Root() + "/a").removeRecursively();
    monitors.Redetect();
    ASSERT_TRUE(PumpUntil([&] { return watched.finished == 3; }));
    EXPECT_EQ(Ids(monitors), QStringList{"b"});
    EXPECT_THROW(monitors.WritePercent("a", 50), EOSError);
    EXPECT_TRUE(watched.failures.isEmpty()) << watched.failures.join('\n').toStdString();

    // Another monitor on the same output: read as a new one.
    folder.AddMonitor("b", "BenQ GW2480", "3", 90, 100);
    monitors.Redetect();
    ASSERT_TRUE(PumpUntil([&] { return watched.finished == 4; }));
    ASSERT_EQ(monitors.Monitors().size(), 1u);
    EXPECT_EQ(monitors.Monitors()[0].Display.Model, "BenQ GW2480");
    EXPECT_EQ(monitors.Monitors()[0].CurrentPercent, 90);
}

TEST(DeviceDdcHotPlug, AskingWhileADetectionRunsGivesOneMoreAfterItAndASilentMonitorIsNamedOnce)
{
    DdcStandInFolder folder;
    folder.AddMonitor("a", "Slow One", "1", 25, 100, 200);
    folder.AddMonitor("s", "Silent One", "2", 25, 100);
    folder.SetFailing("s", true);
    DdcMonitors monitors(std::make_shared<DdcStandIn>(folder.Root()));
    Watched watched;
    watched.Watch(monitors);
    monitors.StartDetection();
    folder.AddMonitor("b", "Late One", "3", 80, 100);
    monitors.Redetect(); // while the first one runs
    monitors.Redetect(); // the two make one more
    ASSERT_TRUE(PumpUntil([&] { return watched.finished == 2; }, 5000));
    PumpUntil([] { return false; }, 600);
    EXPECT_EQ(watched.finished, 2);
    EXPECT_EQ(Ids(monitors), (QStringList{"a", "b", "s"}));
    EXPECT_EQ(watched.failures.size(), 1) << watched.failures.join('\n').toStdString();
}

TEST(DeviceDdcHotPlug, EnsuringAValueWritesOnlyAMonitorThatShowsAnother)
{
    DdcStandInFolder folder;
    folder.AddMonitor("a", "DELL U2720Q", "1", 40, 100);
    auto bus = std::make_shared<CountingBus>(folder.Root());
    DdcMonitors monitors(bus);
    monitors.StartDetection();
    ASSERT_TRUE(PumpUntil([&] { return monitors.Detected(); }));

    monitors.EnsurePercent("a", 40);
    monitors.Flush();
    EXPECT_EQ(bus->Writes("a"), 0) << "it holds the value";
    EXPECT_EQ(bus->Reads("a"), 2) << "read at detection and now";

    // The monitor came back from sleep on its own value.
    folder.Write("a", "brightness", "100\n");
    monitors.EnsurePercent("a", 40);
    monitors.Flush();
    EXPECT_EQ(bus->Writes("a"), 1);
    EXPECT_EQ(folder.Brightness("a"), 40);

    // A plain write afterwards is not read first.
    monitors.WritePercent("a", 60);
    monitors.Flush();
    EXPECT_EQ(bus->Reads("a"), 3);
    EXPECT_EQ(folder.Brightness("a"), 60);
}

TEST(DeviceDdcHotPlug, ABurstOfDisplayEventsSettlesOnce)
{
    std::unique_ptr<DisplayHotPlug> hotPlug;
    try {
        hotPlug = std::make_unique<DisplayHotPlug>(150);
    } catch (const Exception& e) {
        GTEST_SKIP() << "udev cannot be reached here: " << e.Message().toStdString();
    }
    int settled = 0;
    QObject::connect(hotPlug.get(), &DisplayHotPlug::Settled, hotPlug.get(), [&] { ++settled; });
    EXPECT_FALSE(hotPlug->Settling()) << "nothing runs at rest";
    for (int i = 0; i < 4; ++i) {
        hotPlug->Noticed();
        PumpUntil([] { return false; }, 40);
    }
    EXPECT_EQ(settled, 0) << "still in the burst";
    ASSERT_TRUE(PumpUntil([&] { return settled == 1; }, 2000));
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(settled, 1);
    EXPECT_FALSE(hotPlug->Settling());
}
