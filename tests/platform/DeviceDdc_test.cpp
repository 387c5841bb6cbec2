// DDC/CI monitors: the folder stand-in, detection in the background, the
// coalescing of slow writes and what a monitor that stops answering does.

#include "platform/device/DdcMonitors.h"
#include "platform/device/DdcStandIn.h"
#include "platform/framework/Exception.h"

#include "support/DdcStandInFolder.h"
#include "support/EventLoop.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>

using namespace lumora;
using lumora::testing::DdcStandInFolder;
using lumora::testing::PumpUntil;

namespace {

// The stand-in with every write recorded, and a check that no display ever
// sees two calls at once.
class RecordingBus : public DdcStandIn {
public:
    using DdcStandIn::DdcStandIn;

    void Write(const QString& displayId, std::uint8_t feature, int value) override
    {
        if (inside_.fetch_add(1) != 0)
            overlapped = true;
        try {
            DdcStandIn::Write(displayId, feature, value);
        } catch (...) {
            inside_.fetch_sub(1);
            throw;
        }
        inside_.fetch_sub(1);
        std::lock_guard lock(mutex_);
        written[displayId].push_back(value);
    }

    std::vector<int> Written(const QString& id)
    {
        std::lock_guard lock(mutex_);
        return written[id];
    }

    std::atomic<bool> overlapped = false;

private:
    std::atomic<int> inside_ = 0;
    std::mutex mutex_;
    std::map<QString, std::vector<int>> written;
};

std::shared_ptr<DdcMonitors> Detected(std::shared_ptr<DdcBus> bus)
{
    auto monitors = std::make_shared<DdcMonitors>(std::move(bus));
    monitors->StartDetection();
    EXPECT_TRUE(PumpUntil([&] { return monitors->Detected(); }));
    return monitors;
}

} // namespace

TEST(DeviceDdc, StandInFoldersAreMonitorsWithTheirIdentityAndValues)
{
    DdcStandInFolder folder;
    folder.AddMonitor("a", "DELL U2720Q", "7RRJ123", 30, 100, 0, "DP-1");
    folder.AddMonitor("b", "LG HDR 4K", "", 10, 50);
    DdcStandIn bus(folder.Root());

    const std::vector<DdcDisplay> displays = bus.Detect();
    ASSERT_EQ(displays.size(), 2u);
    EXPECT_EQ(displays[0].Id, "a");
    EXPECT_EQ(displays[0].Model, "DELL U2720Q");
    EXPECT_EQ(displays[0].Serial, "7RRJ123");
    EXPECT_EQ(displays[0].Connector, "DP-1");
    EXPECT_EQ(displays[1].Serial, "");

    const VcpReading reading = bus.Read("b", kVcpLuminance);
    EXPECT_EQ(reading.Current, 10);
    EXPECT_EQ(reading.Maximum, 50);
    bus.Write("b", kVcpLuminance, 42);
    EXPECT_EQ(folder.Brightness("b"), 42);

    // Other features, unknown or escaping names and a switched-off monitor fail.
    EXPECT_THROW(bus.Read("b", 0x12), EOSError);
    EXPECT_THROW(bus.Read("../b", kVcpLuminance), EOSError);
    EXPECT_THROW(bus.Write("c", kVcpLuminance, 1), EOSError);
    folder.SetFailing("b", true);
    EXPECT_THROW(bus.Write("b", kVcpLuminance, 5), EOSError);
    EXPECT_EQ(folder.Brightness("b"), 42);
}

TEST(DeviceDdc, DetectionRunsInTheBackgroundAndReadsEachMonitorOnce)
{
    DdcStandInFolder folder;
    folder.AddMonitor("a", "Slow One", "1", 25, 50, 150);
    auto monitors = std::make_shared<DdcMonitors>(std::make_shared<DdcStandIn>(folder.Root()));
    int finished = 0;
    QObject::connect(monitors.get(), &DdcMonitors::DetectionFinished, monitors.get(), [&] { ++finished; });

    monitors->StartDetection(); // returns while the monitor still takes its time
    EXPECT_FALSE(monitors->Detected());
    EXPECT_TRUE(monitors->Monitors().empty());

    ASSERT_TRUE(PumpUntil([&] { return finished == 1; }));
    const std::vector<DdcMonitorState> found = monitors->Monitors();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_TRUE(found[0].Answering);
    EXPECT_EQ(found[0].Maximum, 50);
    EXPECT_EQ(found[0].CurrentPercent, 50);
}

TEST(DeviceDdc, TwentyStepsOnASlowMonitorCostFewWritesAndTheLastIsTheFinalValue)
{
    DdcStandInFolder folder;
    folder.AddMonitor("a", "Slow One", "1", 0, 100, 200);
    auto bus = std::make_shared<RecordingBus>(folder.Root());
    auto monitors = Detected(bus);

    // A needle animating at 16 ms a step from 0 to 100 percent.
    QElapsedTimer clock;
    clock.start();
    for (int step = 1; step <= 20; ++step) {
        monitors->WritePercent("a", step * 5);
        QThread::msleep(16);
    }
    const qint64 animationMs = clock.elapsed();
    monitors->Flush();

    // One call at a time: one per 200 ms while the steps came, and the last.
    const std::vector<int> written = bus->Written("a");
    ASSERT_FALSE(written.empty());
    EXPECT_LE(written.size(), std::size_t(animationMs / 200 + 2)) << "20 steps in " << animationMs << " ms";
    EXPECT_EQ(written.back(), 100);
    EXPECT_EQ(folder.Brightness("a"), 100);
    EXPECT_FALSE(bus->overlapped);
}

TEST(DeviceDdc, PercentZeroKeepsTheMonitorLitOnItsOwnMaximum)
{
    DdcStandInFolder folder;
    folder.AddMonitor("a", "Wide", "1", 0, 400);
    auto monitors = Detected(std::make_shared<DdcStandIn>(folder.Root()));
    monitors->WritePercent("a", 0);
    monitors->Flush();
    EXPECT_EQ(folder.Brightness("a"), 4) << "one percent of the monitor's own maximum";
    monitors->WritePercent("a", 37);
    monitors->Flush();
    EXPECT_EQ(folder.Brightness("a"), 148);
    EXPECT_EQ(monitors->Monitors()[0].CurrentPercent, 37);
}

TEST(DeviceDdc, AFailingMonitorIsReportedOnceAndTheOthersGoOn)
{
    DdcStandInFolder folder;
    folder.AddMonitor("a", "Good One", "1", 10, 100);
    folder.AddMonitor("b", "KVM Behind", "2", 10, 100);
    auto monitors = Detected(std::make_shared<DdcStandIn>(folder.Root()));
    QStringList failed;
    QObject::connect(monitors.get(), &DdcMonitors::MonitorFailed, monitors.get(), [&](const QString& m) { failed << m; });

    folder.SetFailing("b", true);
    for (int percent : {20, 30, 40}) {
        monitors->WritePercent("b", percent);
        monitors->WritePercent("a", percent);
        monitors->Flush();
    }
    PumpUntil([&] { return failed.size() > 0; }, 2000);
    ASSERT_EQ(failed.size(), 1);
    const QString message = failed.at(0);
    EXPECT_TRUE(message.contains("KVM Behind")) << message.toStdString();
    EXPECT_TRUE(message.contains("does not answer")) << message.toStdString();
    EXPECT_EQ(folder.Brightness("a"), 40);
    EXPECT_FALSE(monitors->Monitors()[1].Answering);

    // Back on: the next value gets through and the monitor answers again.
    folder.SetFailing("b", false);
    monitors->WritePercent("b", 50);
    monitors->Flush();
    EXPECT_EQ(folder.Brightness("b"), 50);
    EXPECT_TRUE(monitors->Monitors()[1].Answering);
    EXPECT_EQ(failed.size(), 1);
}

TEST(DeviceDdc, AMonitorSilentAtDetectionIsReportedAndCannotBeWritten)
{
    DdcStandInFolder folder;
    folder.AddMonitor("a", "Good One", "1", 10, 100);
    folder.AddMonitor("b", "Switched Off", "2", 10, 100);
    folder.SetFailing("b", true);
    auto monitors = std::make_shared<DdcMonitors>(std::make_shared<DdcStandIn>(folder.Root()));
    QStringList failed;
    QObject::connect(monitors.get(), &DdcMonitors::MonitorFailed, monitors.get(), [&](const QString& m) { failed << m; });
    monitors->StartDetection();
    ASSERT_TRUE(PumpUntil([&] { return monitors->Detected() && failed.size() == 1; }));
    EXPECT_TRUE(failed.at(0).contains("Switched Off"));
    EXPECT_THROW(monitors->WritePercent("b", 10), EOSError);
    EXPECT_NO_THROW(monitors->WritePercent("a", 10));
}
