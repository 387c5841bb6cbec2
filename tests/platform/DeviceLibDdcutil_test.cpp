// The real DDC/CI adapter on this machine: detection must finish without
// error, crash or hang, whatever monitors the machine has (often none), and
// say what it found. Reads and writes of a real monitor cannot be checked
// here; the stand-in covers everything above the adapter.

#include "platform/device/LibDdcutilBus.h"
#include "platform/framework/Exception.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <future>

using namespace lumora;

namespace {

bool LibraryLoaded()
{
    QFile maps("/proc/self/maps");
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libddcutil.so");
}

} // namespace

// Runs first in this file: nothing before it may have loaded the library.
TEST(DeviceLibDdcutil, WithoutAnI2cDeviceNodeTheLibraryIsNotEvenLoaded)
{
    QTemporaryDir dev;
    LibDdcutilBus bus(dev.path());
    EXPECT_TRUE(bus.Detect().empty());
    EXPECT_FALSE(LibraryLoaded()) << "there was no bus to look on";
    EXPECT_THROW(bus.Read("i2c-3", 0x10), EOSError);
}

TEST(DeviceLibDdcutil, DetectionOnThisMachineFinishesQuicklyAndReportsWhatItFound)
{
    // The library looks on the machine's own buses whatever the folder holds;
    // a node here only makes sure it is loaded and asked, also on a machine
    // without any.
    QTemporaryDir dev;
    QFile node(dev.filePath("i2c-0"));
    ASSERT_TRUE(node.open(QIODevice::WriteOnly));
    node.close();
    LibDdcutilBus bus(dev.path());
    QElapsedTimer clock;
    clock.start();
    auto detection = std::async(std::launch::async, [&] { return bus.Detect(); });
    ASSERT_EQ(detection.wait_for(std::chrono::seconds(5)), std::future_status::ready) << "detection hangs";
    const std::vector<DdcDisplay> displays = detection.get();
    std::printf("DDC/CI detection took %lld ms and found %zu display(s)\n", static_cast<long long>(clock.elapsed()),
                displays.size());
    for (const DdcDisplay& d : displays)
        std::printf("  %s: \"%s\" serial \"%s\" on %s\n", qPrintable(d.Id), qPrintable(d.Model), qPrintable(d.Serial),
                    d.Connector.isEmpty() ? "an unknown output" : qPrintable(d.Connector));
    RecordProperty("displays", int(displays.size()));
    EXPECT_TRUE(LibraryLoaded());

    // A display the library did not report is refused by name, not by a crash.
    EXPECT_THROW(bus.Read("i2c-999", 0x10), EOSError);
    EXPECT_THROW(bus.Write("i2c-999", 0x10, 50), EOSError);
}

TEST(DeviceLibDdcutil, ConnectorOfABusComesFromTheDdcLinkOrTheDisplayPortChannel)
{
    QTemporaryDir sys;
    const QString drm = sys.filePath("drm");
    QDir().mkpath(sys.filePath("i2c/i2c-4"));
    QDir().mkpath(drm + "/card0-HDMI-A-1");
    ASSERT_TRUE(QFile::link(sys.filePath("i2c/i2c-4"), drm + "/card0-HDMI-A-1/ddc"));
    QDir().mkpath(drm + "/card1-DP-2/i2c-7");
    QDir().mkpath(drm + "/card0"); // the card itself names no bus

    EXPECT_EQ(ConnectorOfI2cBus(4, drm), "HDMI-A-1");
    EXPECT_EQ(ConnectorOfI2cBus(7, drm), "DP-2");
    EXPECT_EQ(ConnectorOfI2cBus(5, drm), "");
    EXPECT_EQ(ConnectorOfI2cBus(4, sys.filePath("missing")), "");
}
