// The real DDC/CI adapter on this machine: detection must finish without
// error, crash or hang, whatever monitors the machine has (often none), and
// say what it found. Reads and writes of a real monitor cannot be checked
// here; the stand-in covers everything above the adapter.

#include "support/EventLoop.h"

#include "platform/device/DdcMonitors.h"
#include "platform/device/LibDdcutilBus.h"
#include "platform/framework/Exception.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <future>

#include <ddcutil_macros.h>

using namespace lumora;
using lumora::testing::PumpUntil;

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

namespace {

// A folder with one I2C device node, so that detection asks the library.
struct I2cFolder {
    I2cFolder()
    {
        QFile node(dev.filePath("i2c-7"));
        node.open(QIODevice::WriteOnly);
    }
    QString Path() const { return dev.path(); }
    QTemporaryDir dev;
};

// The stand-in library reporting `major`.4.0, put in a folder of its own
// under `name`; the path to load.
QString StandIn(const QTemporaryDir& folder, int major, const QString& name)
{
    const QString path = folder.filePath(name);
    QFile::copy(QStringLiteral(LUMORA_DDCUTIL_STANDINS "/libddcutil_standin_%1.so").arg(major), path);
    return path;
}

// How many lines `f` wrote to standard error.
template <typename F>
int StderrLines(F&& f)
{
    ::testing::internal::CaptureStderr();
    f();
    return int(QString::fromStdString(::testing::internal::GetCapturedStderr()).count('\n'));
}

} // namespace

TEST(DeviceLibDdcutil, TheLibraryAskedForIsTheOneOfTheHeadersBuiltWith)
{
    EXPECT_EQ(DdcutilSoname(1), "libddcutil.so.4");
    EXPECT_EQ(DdcutilSoname(2), "libddcutil.so.5") << "libddcutil 2: Debian 13, Fedora, Arch, current Ubuntu";
    EXPECT_EQ(DdcutilSoname(3), "") << "an interface the program does not know is not guessed at";
    EXPECT_EQ(BuiltDdcutilSoname(), DdcutilSoname(DDCUTIL_VMAJOR));
}

TEST(DeviceLibDdcutil, AStandInOfEachSonameIsLoadedAndAskedWhenItIsTheVersionBuiltFor)
{
    I2cFolder dev;
    for (const int major : {1, 2}) {
        SCOPED_TRACE(major);
        QTemporaryDir lib;
        LibDdcutilBus bus(dev.Path(), StandIn(lib, major, DdcutilSoname(major)));
        if (major != DDCUTIL_VMAJOR) {
            // The other interface lays its structures out otherwise: refused
            // at load, before any of them is read.
            int lines = 0;
            lines += StderrLines([&] { EXPECT_TRUE(bus.Detect().empty()); });
            lines += StderrLines([&] { EXPECT_TRUE(bus.Detect().empty()); });
            EXPECT_EQ(lines, 1) << "said once";
            EXPECT_TRUE(bus.Unavailable().contains(QStringLiteral("this program was built for %1.x").arg(DDCUTIL_VMAJOR)))
                << bus.Unavailable().toStdString();
            continue;
        }
        const std::vector<DdcDisplay> displays = bus.Detect();
        ASSERT_EQ(displays.size(), 1u);
        EXPECT_EQ(displays[0].Id, "i2c-7");
        EXPECT_EQ(displays[0].Model, "Stand-in");
        EXPECT_EQ(displays[0].Serial, "SN7");
        const VcpReading reading = bus.Read("i2c-7", kVcpLuminance);
        EXPECT_EQ(reading.Current, 40);
        EXPECT_EQ(reading.Maximum, 100);
        EXPECT_NO_THROW(bus.Write("i2c-7", kVcpLuminance, 55));
        EXPECT_EQ(bus.Unavailable(), "");
    }
}

TEST(DeviceLibDdcutil, AMissingLibraryIsOneLineAndNoMonitorsNotAFailureAtEachDetection)
{
    I2cFolder dev;
    QTemporaryDir lib;
    auto bus = std::make_shared<LibDdcutilBus>(dev.Path(), lib.filePath(BuiltDdcutilSoname()));
    int lines = StderrLines([&] { EXPECT_TRUE(bus->Detect().empty()); });
    EXPECT_TRUE(bus->Unavailable().contains(BuiltDdcutilSoname())) << bus->Unavailable().toStdString();

    // The monitors' detection, as the program runs it: nothing to report.
    DdcMonitors monitors(bus);
    int failures = 0;
    QObject::connect(&monitors, &DdcMonitors::MonitorFailed, [&] { ++failures; });
    lines += StderrLines([&] {
        monitors.StartDetection();
        EXPECT_TRUE(PumpUntil([&] { return monitors.Detected(); }));
        QCoreApplication::processEvents();
    });
    EXPECT_EQ(lines, 1);
    EXPECT_EQ(failures, 0) << "no error box at each start";
    EXPECT_TRUE(monitors.Monitors().empty());
    EXPECT_FALSE(monitors.Unavailable().isEmpty()) << "the menu can say there is no DDC/CI";
}
