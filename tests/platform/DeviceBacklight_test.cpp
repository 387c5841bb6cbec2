#include "platform/DeviceStandIn.h"

#include "platform/device/BacklightDevice.h"
#include "platform/device/BacklightProvider.h"
#include "platform/device/LogindSession.h"
#include "platform/device/SysfsBrightnessWriter.h"
#include "platform/device/SysfsFile.h"
#include "platform/device/WbemError.h"
#include "platform/device/WbemLocator.h"

#include <QDBusConnection>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

using namespace lumora;
using lumora::test::BacklightStandIn;
using lumora::test::ReadOnlyPanel;

namespace {

QString ErrorText(const std::function<void()>& f)
{
    try {
        f();
    } catch (const Exception& e) {
        return e.Message();
    }
    return "<no error>";
}

int ParseOrErrno(const char* text)
{
    const SysfsNumber n = ParseSysfsInteger(text, std::strlen(text));
    return n.error != 0 ? -n.error : n.value;
}

std::shared_ptr<BacklightProvider> Provider(const BacklightStandIn& standIn, int levels = 101)
{
    return std::make_shared<BacklightProvider>(BacklightOptions{standIn.Root(), levels},
                                               std::make_shared<SysfsBrightnessWriter>());
}

void SetBrightness(WbemProvider& provider, const QString& name, int percent)
{
    auto in = provider.ClassDefinition("WmiMonitorBrightnessMethods")
                  .Methods_()
                  .Item("WmiSetBrightness")
                  .InParameters();
    in->Properties_().Item("Brightness").SetValue(CimValue::Sint32(percent));
    in->Properties_().Item("Timeout").SetValue(CimValue::Uint8(0));
    provider.ExecMethod("WmiMonitorBrightnessMethods", "InstanceName", name, "WmiSetBrightness", in.get());
}

} // namespace

TEST(DeviceSysfs, NumbersAreDigitsWithAtMostOneTrailingNewLine)
{
    EXPECT_EQ(ParseOrErrno("0"), 0);
    EXPECT_EQ(ParseOrErrno("937\n"), 937);
    EXPECT_EQ(ParseOrErrno("2147483647"), 2147483647);
    EXPECT_EQ(ParseOrErrno(""), -EINVAL);
    EXPECT_EQ(ParseOrErrno("\n"), -EINVAL);
    EXPECT_EQ(ParseOrErrno("abc"), -EINVAL);
    EXPECT_EQ(ParseOrErrno("-5"), -EINVAL);
    EXPECT_EQ(ParseOrErrno("+5"), -EINVAL);
    EXPECT_EQ(ParseOrErrno(" 5"), -EINVAL);
    EXPECT_EQ(ParseOrErrno("5\n\n"), -EINVAL);
    EXPECT_EQ(ParseOrErrno("5 6"), -EINVAL);
    EXPECT_EQ(ParseOrErrno("0x10"), -EINVAL);
    EXPECT_EQ(ParseOrErrno("9999999999"), -ERANGE);
    EXPECT_EQ(ParseOrErrno("2147483648"), -ERANGE);
    const char nul[] = {'1', '\0', '2'};
    EXPECT_EQ(ParseSysfsInteger(nul, 3).error, EINVAL);
}

TEST(DeviceSysfs, BadValuesRaiseWithThePathAndTheSystemText)
{
    BacklightStandIn s;
    s.AddDevice("panel", "raw", "9999999999\n", "10\n");
    const QString path = s.DevicePath("panel") + "/max_brightness";
    EXPECT_EQ(ErrorText([&] { ReadSysfsInteger(path); }),
              "Cannot read " + path + ": Numerical result out of range");
    s.Write("panel", "max_brightness", "");
    EXPECT_EQ(ErrorText([&] { ReadSysfsInteger(path); }), "Cannot read " + path + ": Invalid argument");
    s.Write("panel", "max_brightness", QByteArray(5000, '1'));
    EXPECT_EQ(ErrorText([&] { ReadSysfsInteger(path); }), "Cannot read " + path + ": Invalid argument");
    EXPECT_EQ(ErrorText([&] { ReadSysfsInteger(s.Root() + "/none"); }),
              "Cannot read " + s.Root() + "/none: No such file or directory");
}

TEST(DeviceSysfs, AStandInFileEndsWithTheValueAndAnAttributeIsOnlyWritten)
{
    BacklightStandIn s;
    s.AddDevice("panel", "raw", "100000\n", "100000\n");
    const QByteArray file = QFile::encodeName(s.DevicePath("panel") + "/brightness");
    EXPECT_EQ(SysfsFileKindOf(file), sfStandIn);
    EXPECT_EQ(SysfsFileKindOf(file + ".none"), sfUnknown);
    EXPECT_EQ(SysfsFileKindOf(QFile::encodeName(s.DevicePath("panel"))), sfNotAFile);
    const QByteArray sysfs = "/sys/kernel/mm/transparent_hugepage/enabled";
    if (QFileInfo::exists(QString::fromLatin1(sysfs))) {
        EXPECT_EQ(SysfsFileKindOf(sysfs), sfAttribute);
    }

    // A shorter value after a longer one: the tail goes, whether the kind
    // was found with the device or is looked at by the write.
    EXPECT_EQ(TryWriteSysfsInteger(file, 7, sfStandIn), 0);
    EXPECT_EQ(s.Read("panel", "brightness"), "7\n");
    s.Write("panel", "brightness", "100000\n");
    EXPECT_EQ(TryWriteSysfsInteger(file, 42, sfUnknown), 0);
    EXPECT_EQ(s.Read("panel", "brightness"), "42\n");
    s.Write("panel", "brightness", "100000\n");
    EXPECT_EQ(TryWriteSysfsInteger(s.DevicePath("panel") + "/brightness", 9), 0);
    EXPECT_EQ(s.Read("panel", "brightness"), "9\n");

    // An attribute gets the one write and nothing after it.
    s.Write("panel", "brightness", "100000\n");
    EXPECT_EQ(TryWriteSysfsInteger(file, 7, sfAttribute), 0);
    EXPECT_EQ(s.Read("panel", "brightness"), "7\n0000\n");

    EXPECT_EQ(TryWriteSysfsInteger(file + ".none", 7, sfStandIn), ENOENT);
}

// A stand-in folder whose brightness is a named pipe: writing neither waits
// for a reader nor feeds one.
TEST(DeviceSysfs, ANamedPipeIsRefusedWithoutWaiting)
{
    BacklightStandIn s;
    s.AddDevice("panel", "raw", "100\n", "50\n");
    const QString path = s.DevicePath("panel") + "/brightness";
    const QByteArray file = QFile::encodeName(path);
    ASSERT_EQ(::unlink(file.constData()), 0);
    ASSERT_EQ(::mkfifo(file.constData(), 0600), 0);
    EXPECT_EQ(SysfsFileKindOf(file), sfNotAFile);
    // Without a reader: the open itself must not wait (it would, for ever).
    auto write = std::async(std::launch::async, [&] { return TryWriteSysfsInteger(file, 7, sfUnknown); });
    if (write.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        const int reader = ::open(file.constData(), O_RDONLY | O_NONBLOCK);
        write.wait();
        ::close(reader);
        FAIL() << "the write waits for a reader of the named pipe";
    }
    EXPECT_NE(write.get(), 0);
    // With a reader: refused all the same, whatever kind was found before.
    const int reader = ::open(file.constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_EQ(TryWriteSysfsInteger(file, 7, sfUnknown), EINVAL);
    EXPECT_EQ(TryWriteSysfsInteger(file, 7, sfNotAFile), EINVAL);
    EXPECT_EQ(TryWriteSysfsInteger(path, 7), EINVAL);
    char buffer[16];
    EXPECT_LE(::read(reader, buffer, sizeof buffer), 0);
    ::close(reader);
}

TEST(DeviceBacklight, ChoosesFirmwareThenPlatformThenRawAndSkipsAZeroMaximum)
{
    BacklightStandIn s;
    EXPECT_FALSE(FindActiveBacklight(s.Root()).has_value());
    EXPECT_FALSE(FindActiveBacklight(s.Root() + "/missing").has_value());

    s.AddDevice("a_raw", "raw", "255\n", "1\n");
    s.AddDevice("b_untyped", "", "100\n", "1\n");
    EXPECT_EQ(FindActiveBacklight(s.Root())->Name, "a_raw");
    s.AddDevice("c_platform", "platform", "15\n", "1\n");
    EXPECT_EQ(FindActiveBacklight(s.Root())->Name, "c_platform");
    s.AddDevice("d_firmware", "firmware", "0\n", "0\n");
    EXPECT_EQ(FindActiveBacklight(s.Root())->Name, "c_platform") << "a maximum of 0 is no device";
    s.Write("d_firmware", "max_brightness", "100\n");
    const auto active = FindActiveBacklight(s.Root());
    EXPECT_EQ(active->Name, "d_firmware");
    EXPECT_EQ(active->Type, btFirmware);
    EXPECT_EQ(active->MaxBrightness, 100);
}

TEST(DeviceBacklight, ABrokenDeviceIsPassedOverButReportedWhenItIsTheOnlyOne)
{
    BacklightStandIn s;
    s.AddDevice("broken", "firmware", "lots\n", "1\n");
    EXPECT_EQ(ErrorText([&] { FindActiveBacklight(s.Root()); }),
              "Cannot read " + s.DevicePath("broken") + "/max_brightness: Invalid argument");
    s.AddDevice("fine", "raw", "10\n", "1\n");
    EXPECT_EQ(FindActiveBacklight(s.Root())->Name, "fine");
}

TEST(DeviceBacklight, PercentsMapToRawValuesWithLevelZeroStillLit)
{
    // Level 0 is one percent of the maximum, at least raw 1: visible on
    // panels whose raw range is in the tens of thousands.
    EXPECT_EQ(PercentToRaw(0, 937), 9);
    EXPECT_EQ(PercentToRaw(0, 96000), 960);
    EXPECT_EQ(PercentToRaw(0, 120000), 1200);
    EXPECT_EQ(PercentToRaw(0, 100), 1);
    EXPECT_EQ(PercentToRaw(0, 49), 1);
    EXPECT_EQ(PercentToRaw(0, 150), 2); // 1.5 rounds up
    EXPECT_EQ(PercentToRaw(0, 1), 1);
    EXPECT_EQ(PercentToRaw(1, 96000), 960);
    EXPECT_EQ(PercentToRaw(10, 96000), 9600) << "other levels keep their percents";
    EXPECT_EQ(PercentToRaw(1, 15), 1);
    EXPECT_EQ(PercentToRaw(50, 937), 469);
    EXPECT_EQ(PercentToRaw(100, 937), 937);
    EXPECT_EQ(PercentToRaw(100, 1), 1);
    EXPECT_EQ(PercentToRaw(100, 2147483647), 2147483647);
    EXPECT_EQ(RawToPercent(469, 937), 50);
    EXPECT_EQ(RawToPercent(5000, 937), 100) << "a driver reporting more than its maximum";
    for (int p = 1; p <= 100; ++p)
        EXPECT_EQ(RawToPercent(PercentToRaw(p, 255), 255), p) << p;
    EXPECT_EQ(RawToPercent(PercentToRaw(0, 255), 255), 1) << "level 0 reads back as the one percent it writes";
    EXPECT_EQ(LevelPercents(11), std::vector<int>({0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}));
    EXPECT_EQ(LevelPercents(2), std::vector<int>({0, 100}));
    EXPECT_EQ(LevelPercents(7), std::vector<int>({0, 17, 33, 50, 67, 83, 100}));
    EXPECT_EQ(LevelPercents(101).size(), 101u);
    EXPECT_EQ(LevelPercents(101)[37], 37);
}

TEST(DeviceBacklightProvider, AnswersTheQueryForTheActiveDevice)
{
    BacklightStandIn s;
    s.AddDevice("intel_backlight", "raw", "1000\n", "300\n", QByteArray("700\n"));
    auto provider = Provider(s, 11);
    const WbemServices services = TSWbemLocator(provider).ConnectServer(".", "ROOT\\WMI");
    const WbemObjectSet set = services.ExecQuery("SELECT * FROM WmiMonitorBrightness WHERE Active = True");
    ASSERT_EQ(set.Count(), 1);
    const WbemPropertySet& p = set.ItemIndex(0)->Properties_();
    EXPECT_EQ(p.Item("Active").Value(), CimValue::Boolean(true));
    EXPECT_EQ(p.Item("InstanceName").Value(), CimValue::String("intel_backlight"));
    EXPECT_EQ(p.Item("Levels").Value(), CimValue::Uint32(11));
    EXPECT_EQ(p.Item("CurrentBrightness").Value(), CimValue::Uint8(70)) << "actual_brightness wins";
    EXPECT_EQ(p.Item("Level").CIMType(), wbemCimtypeUint8);
    ASSERT_TRUE(p.Item("Level").IsArray());
    EXPECT_EQ(p.Item("Level").Value().Elements().size(), 11u);

    EXPECT_EQ(services.ExecQuery("SELECT * FROM WmiMonitorBrightness WHERE Active = False").Count(), 0);
    const WbemObjectSet some = services.ExecQuery("select Levels from WmiMonitorBrightness");
    ASSERT_EQ(some.Count(), 1);
    EXPECT_EQ(some.ItemIndex(0)->Properties_().Count(), 1);
    EXPECT_EQ(ErrorText([&] { services.ExecQuery("SELECT Nope FROM WmiMonitorBrightness"); }), "Invalid query");
    EXPECT_EQ(ErrorText([&] { services.ExecQuery("SELECT * FROM WmiMonitorBrightness WHERE Level = 1"); }),
              "Invalid query");
    EXPECT_EQ(ErrorText([&] { services.ExecQuery("SELECT * FROM Win32_Process"); }), "Invalid class");
    EXPECT_EQ(ErrorText([&] { services.ExecQuery("SELECT * FROM WmiMonitorBrightness", "SQL"); }),
              "Invalid query language");
}

TEST(DeviceBacklightProvider, ConnectsOnlyToThisComputersWmiNamespace)
{
    BacklightStandIn s;
    const TSWbemLocator locator(Provider(s));
    EXPECT_NO_THROW(locator.ConnectServer(".", "root\\wmi"));
    EXPECT_NO_THROW(locator.ConnectServer("", "root\\wmi"));
    EXPECT_EQ(ErrorText([&] { locator.ConnectServer(".", "root\\cimv2"); }), "Invalid namespace");
    EXPECT_EQ(ErrorText([&] { locator.ConnectServer("far-away", "root\\wmi"); }), "The RPC server is unavailable.");
}

TEST(DeviceBacklightProvider, NoDeviceMeansNoActiveObject)
{
    BacklightStandIn s;
    s.AddDevice("dead", "firmware", "0\n", "0\n");
    const WbemServices services = TSWbemLocator(Provider(s)).ConnectServer(".", "root\\wmi");
    EXPECT_EQ(services.ExecQuery("SELECT * FROM WmiMonitorBrightness WHERE Active = True").Count(), 0);
    EXPECT_EQ(services.ExecQuery("SELECT * FROM WmiMonitorBrightnessMethods").Count(), 0);
}

TEST(DeviceBacklightProvider, WritesEveryValueEvenWhenUnchanged)
{
    BacklightStandIn s;
    s.AddDevice("acpi_video0", "firmware", "15\n", "3\n");
    auto provider = Provider(s, 101);
    SetBrightness(*provider, "acpi_video0", 100);
    EXPECT_EQ(s.Read("acpi_video0", "brightness"), "15\n");
    SetBrightness(*provider, "acpi_video0", 0);
    EXPECT_EQ(s.Read("acpi_video0", "brightness"), "1\n") << "level 0 keeps the panel lit";
    s.Write("acpi_video0", "brightness", "garbage");
    SetBrightness(*provider, "acpi_video0", 0);
    EXPECT_EQ(s.Read("acpi_video0", "brightness"), "1\n") << "an unchanged value is written again";
}

TEST(DeviceBacklightProvider, RefusesBadParametersAndUnsafeNames)
{
    BacklightStandIn s;
    s.AddDevice("panel", "raw", "100\n", "3\n");
    auto provider = Provider(s);
    EXPECT_EQ(ErrorText([&] { SetBrightness(*provider, "panel", 101); }), "Invalid parameter");
    EXPECT_EQ(ErrorText([&] { SetBrightness(*provider, "panel", 300); }), "Type mismatch");
    EXPECT_EQ(ErrorText([&] { SetBrightness(*provider, "panel", -1); }), "Type mismatch");
    // Names that would reach folders that exist, outside or above the root.
    const QString back = "../" + QFileInfo(s.Root()).fileName() + "/panel";
    EXPECT_EQ(ErrorText([&] { SetBrightness(*provider, back, 50); }),
              "Cannot read " + s.Root() + "/" + back + ": No such file or directory");
    EXPECT_EQ(ErrorText([&] { SetBrightness(*provider, "..", 50); }),
              "Cannot read " + s.Root() + "/..: No such file or directory");
    EXPECT_EQ(s.Read("panel", "brightness"), "3\n");
    EXPECT_THROW(BacklightProvider(BacklightOptions{s.Root(), 1}), Exception);
    EXPECT_THROW(BacklightProvider(BacklightOptions{s.Root(), 102}), Exception);
}

TEST(DeviceBacklightProvider, ADeviceThatVanishesAfterTheQueryFailsTheWriteByPath)
{
    BacklightStandIn s;
    s.AddDevice("panel", "raw", "100\n", "3\n");
    auto provider = Provider(s);
    const WbemServices services = TSWbemLocator(provider).ConnectServer(".", "root\\wmi");
    ASSERT_EQ(services.ExecQuery("SELECT * FROM WmiMonitorBrightness WHERE Active = True").Count(), 1);
    ASSERT_TRUE(QDir(s.DevicePath("panel")).removeRecursively());
    EXPECT_EQ(ErrorText([&] { SetBrightness(*provider, "panel", 50); }),
              "Cannot read " + s.DevicePath("panel") + "/max_brightness: No such file or directory");
    EXPECT_FALSE(QFile::exists(s.DevicePath("panel")));
}

TEST(DeviceBacklightProvider, KeepsTheMaximumUntilTheDeviceChanges)
{
    BacklightStandIn s;
    s.AddDevice("panel", "raw", "100\n", "3\n");
    auto provider = Provider(s);
    SetBrightness(*provider, "panel", 50);
    EXPECT_EQ(s.Read("panel", "brightness"), "50\n");

    // The maximum read with the first write serves the later ones.
    s.Write("panel", "max_brightness", "unreadable");
    SetBrightness(*provider, "panel", 40);
    EXPECT_EQ(s.Read("panel", "brightness"), "40\n");

    // A hot-plug event makes the next write read the device again.
    s.Write("panel", "max_brightness", "200\n");
    provider->ForgetDevices();
    SetBrightness(*provider, "panel", 40);
    EXPECT_EQ(s.Read("panel", "brightness"), "80\n");

    // A query reads the device afresh, and so do the writes after it.
    s.Write("panel", "max_brightness", "1000\n");
    const WbemServices services = TSWbemLocator(provider).ConnectServer(".", "root\\wmi");
    ASSERT_EQ(services.ExecQuery("SELECT * FROM WmiMonitorBrightness").Count(), 1);
    SetBrightness(*provider, "panel", 40);
    EXPECT_EQ(s.Read("panel", "brightness"), "400\n");
}

TEST(DeviceBacklightProvider, AVanishedDeviceIsNoticedFromTheFailingWrite)
{
    BacklightStandIn s;
    s.AddDevice("panel", "raw", "100\n", "3\n");
    auto provider = Provider(s);
    SetBrightness(*provider, "panel", 50);
    // Gone while nobody was told: the failing write reads the device again.
    ASSERT_TRUE(QDir(s.DevicePath("panel")).removeRecursively());
    EXPECT_EQ(ErrorText([&] { SetBrightness(*provider, "panel", 50); }),
              "Cannot read " + s.DevicePath("panel") + "/max_brightness: No such file or directory");
    s.AddDevice("panel", "raw", "1000\n", "3\n");
    SetBrightness(*provider, "panel", 50);
    EXPECT_EQ(s.Read("panel", "brightness"), "500\n");

    // A write that fails on a device still there keeps its own text.
    ASSERT_TRUE(QFile::remove(s.DevicePath("panel") + "/brightness"));
    EXPECT_EQ(ErrorText([&] { SetBrightness(*provider, "panel", 50); }),
              "Cannot write " + s.DevicePath("panel") + "/brightness: No such file or directory");
}

TEST(DeviceBacklightProvider, ABrightnessFileMissingWhenTheDeviceWasFoundIsCutWhenItComes)
{
    BacklightStandIn s;
    s.AddDevice("panel", "raw", "100\n", "3\n", QByteArray("3\n"));
    ASSERT_TRUE(QFile::remove(s.DevicePath("panel") + "/brightness"));
    auto provider = Provider(s);
    const WbemServices services = TSWbemLocator(provider).ConnectServer(".", "root\\wmi");
    ASSERT_EQ(services.ExecQuery("SELECT * FROM WmiMonitorBrightness WHERE Active = True").Count(), 1);
    s.Write("panel", "brightness", "100000\n");
    SetBrightness(*provider, "panel", 50);
    EXPECT_EQ(s.Read("panel", "brightness"), "50\n");
}

TEST(DeviceBacklightProvider, EveryGetOfTheMethodsObjectHandsOutAnObjectOfItsOwn)
{
    BacklightStandIn s;
    s.AddDevice("panel", "raw", "100\n", "3\n");
    s.AddDevice("other", "raw", "100\n", "3\n");
    auto provider = Provider(s);
    const WbemServices services = TSWbemLocator(provider).ConnectServer(".", "root\\wmi");
    const auto first = services.Get("WmiMonitorBrightnessMethods.InstanceName='panel'");
    const auto in = first->Methods_().Item("WmiSetBrightness").InParameters();
    in->Properties_().Item("Brightness").SetValue(CimValue::Sint32(70));
    first->Properties_().Item("Active").SetValue(CimValue::Boolean(false));

    const auto second = services.Get("WmiMonitorBrightnessMethods.InstanceName='panel'");
    ASSERT_NE(second, first);
    const auto secondIn = second->Methods_().Item("WmiSetBrightness").InParameters();
    ASSERT_NE(secondIn, in);
    secondIn->Properties_().Item("Brightness").SetValue(CimValue::Sint32(20));
    EXPECT_EQ(in->Properties_().Item("Brightness").Value(), CimValue(wbemCimtypeUint8, CimScalar(std::uint64_t(70))));
    EXPECT_EQ(second->Properties_().Item("Active").Value(), CimValue::Boolean(true));

    const auto other = services.Get("WmiMonitorBrightnessMethods.InstanceName='other'");
    EXPECT_EQ(other->Properties_().Item("InstanceName").Value(), CimValue::String("other"));
    EXPECT_EQ(other->RelPath(), "WmiMonitorBrightnessMethods.InstanceName=\"other\"");
    const auto again = services.Get("WmiMonitorBrightnessMethods.InstanceName='panel'");
    EXPECT_EQ(again->Properties_().Item("InstanceName").Value(), CimValue::String("panel"));
}

TEST(DeviceBacklightProvider, AReadOnlyBrightnessWithoutTheLoginManagerChangesNothing)
{
    BacklightStandIn s;
    ReadOnlyPanel panel(s);
    const QString brightness = panel.Brightness();
    if (!panel.Unprivileged())
        GTEST_SKIP() << "cannot act as an unprivileged user here";

    auto deadBus = std::make_shared<LogindSession>(
        QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("lumora-dead")));
    auto viaLogind = std::make_shared<SysfsBrightnessWriter>(deadBus);
    BacklightProvider withDeadBus(BacklightOptions{s.Root(), 101}, viaLogind);
    // The login manager is asked from a worker: its failure comes at the
    // next write, or when its writes are waited for.
    const QString viaBus = ErrorText([&] {
        SetBrightness(withDeadBus, "panel", 50);
        viaLogind->Flush();
    });
    BacklightProvider noBus(BacklightOptions{s.Root(), 101}, std::make_shared<SysfsBrightnessWriter>());
    const QString direct = ErrorText([&] { SetBrightness(noBus, "panel", 50); });

    panel.Restore();
    QDBusConnection::disconnectFromBus(QStringLiteral("lumora-dead"));
    EXPECT_EQ(direct, "Cannot write " + brightness + ": Permission denied");
    EXPECT_TRUE(viaBus.startsWith("Cannot write " + brightness + ": Permission denied\n"
                                  "The login manager could not set the brightness of panel: "))
        << viaBus.toStdString();
    EXPECT_EQ(s.Read("panel", "brightness"), "3\n");
}
