// The program's monitors on its own session bus interface: Monitors() lists
// the panel and the DDC/CI monitors with the level each shows, and
// SetMonitorLevel sets one alone; `lumora --list-monitors` and
// `lumora --set-level N --monitor ID` ask the running copy the same.

#include "Desktop.h"
#include "SessionBus.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

using namespace e2e;

namespace {

const QString kTitle = "Lumora Brightness Control";

void WriteMonitorFile(const QString& root, const QString& id, const QString& name, const QByteArray& text)
{
    QDir(root).mkpath(id);
    QFile f(root + "/" + id + "/" + name);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(text);
}

void AddMonitor(const QString& root, const QString& id, const QString& model, int brightness)
{
    WriteMonitorFile(root, id, "model", model.toUtf8() + "\n");
    WriteMonitorFile(root, id, "serial", id.toUtf8() + "\n");
    WriteMonitorFile(root, id, "brightness", QByteArray::number(brightness) + "\n");
    WriteMonitorFile(root, id, "max_brightness", "100\n");
}

int MonitorBrightness(const QString& root, const QString& id)
{
    return ReadText(root + "/" + id + "/brightness").trimmed().toInt();
}

struct Result {
    int ExitCode = -1;
    QString Out, Err;
};

Result Command(const Sandbox& sandbox, const VirtualDisplay& display, const QStringList& args)
{
    QProcess p;
    p.setProcessEnvironment(sandbox.Environment(display.Name()));
    p.start(LUMORA_PROGRAM, args);
    if (!p.waitForFinished(15000)) {
        p.kill();
        p.waitForFinished(3000);
        return {};
    }
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

} // namespace

TEST(BusMonitors, TheRunningCopyListsEveryMonitorAndSetsOneAloneThroughItsRange)
{
    SessionBus bus;
    VirtualDisplay display;
    Driver driver(display);
    Sandbox sandbox; // its panel at 50, the lowest level saved
    sandbox.UseSessionBus(bus.Address());
    QTemporaryDir ddc;
    AddMonitor(ddc.path(), "a", "DELL U2720Q", 40);
    AddMonitor(ddc.path(), "b", "LG HDR 4K", 70);
    AddMonitor(ddc.path(), "c", "BenQ GW2480", 30);
    WriteMonitorFile(ddc.path(), "c", "fail", "1\n");
    QFile settings(sandbox.SettingsFile());
    ASSERT_TRUE(settings.open(QIODevice::Append));
    settings.write("[Software\\Kestrelo\\LumoraBrightness\\Monitor ranges\\LG HDR 4K b]\nLowest=20\nHighest=60\n");
    settings.close();

    Program program(sandbox, display,
                    {"--backlight-root", sandbox.BacklightRoot(), "--levels", "11", "--ddc-standin", ddc.path()});
    ASSERT_FALSE(driver.WaitForWindow(kTitle, 20000).isEmpty()) << program.Output().toStdString();
    // Level 0 on every monitor that answers, through its range.
    ASSERT_TRUE(Eventually([&] { return MonitorBrightness(ddc.path(), "a") == 1 && MonitorBrightness(ddc.path(), "b") == 20; }, 10000))
        << MonitorBrightness(ddc.path(), "a") << " " << MonitorBrightness(ddc.path(), "b");

    // The stand-in panel has no driver behind it: its read-back follows the
    // program's write as a driver's would.
    QFile actual(sandbox.BacklightRoot() + "/acpi_video0/actual_brightness");
    ASSERT_TRUE(actual.open(QIODevice::WriteOnly | QIODevice::Truncate));
    actual.write(QByteArray::number(sandbox.Brightness()) + "\n");
    actual.close();

    const Result listed = Command(sandbox, display, {"--list-monitors"});
    ASSERT_EQ(listed.ExitCode, 0) << listed.Err.toStdString();
    const QStringList lines = listed.Out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 4) << listed.Out.toStdString();
    EXPECT_EQ(lines[0].toStdString(), "acpi_video0\t0\tanswering\tBuilt-in panel");
    EXPECT_EQ(lines[1].toStdString(), "ddc:a\t0\tanswering\tDELL U2720Q");
    EXPECT_EQ(lines[2].toStdString(), "ddc:b\t0\tanswering\tLG HDR 4K") << "20 % on 20 .. 60 is the lowest level";
    EXPECT_EQ(lines[3].toStdString(), "ddc:c\t-1\tnot-answering\tBenQ GW2480");

    // One monitor alone, through its range; the others keep theirs.
    const Result set = Command(sandbox, display, {"--set-level", "5", "--monitor", "ddc:b"});
    EXPECT_EQ(set.ExitCode, 0) << set.Err.toStdString();
    EXPECT_TRUE(Eventually([&] { return MonitorBrightness(ddc.path(), "b") == 40; })) << MonitorBrightness(ddc.path(), "b");
    EXPECT_EQ(MonitorBrightness(ddc.path(), "a"), 1);
    EXPECT_EQ(sandbox.Brightness(), 1);

    // The bus's own answer, as a script reads it.
    const QString reply = bus.Send({"--dest=org.kestrelo.LumoraBrightness", "/org/kestrelo/LumoraBrightness",
                                    "org.kestrelo.LumoraBrightness.Monitors"});
    EXPECT_TRUE(reply.contains("\"ddc:b\"")) << reply.toStdString();
    EXPECT_TRUE(reply.contains("int32 5")) << reply.toStdString();

    // Refused: a monitor that is not there, one that never answered, a level outside the levels.
    EXPECT_EQ(Command(sandbox, display, {"--set-level", "5", "--monitor", "ddc:z"}).ExitCode, 2);
    const Result silent = Command(sandbox, display, {"--set-level", "5", "--monitor", "ddc:c"});
    EXPECT_NE(silent.ExitCode, 0);
    EXPECT_TRUE(silent.Err.contains("ddc:c")) << silent.Err.toStdString();
    EXPECT_EQ(Command(sandbox, display, {"--set-level", "11", "--monitor", "ddc:a"}).ExitCode, 2);
    EXPECT_EQ(MonitorBrightness(ddc.path(), "a"), 1);

    // --set-level alone follows the choice: every monitor.
    EXPECT_EQ(Command(sandbox, display, {"--set-level", "10"}).ExitCode, 0);
    EXPECT_TRUE(Eventually([&] {
        return sandbox.Brightness() == 100 && MonitorBrightness(ddc.path(), "a") == 100 &&
               MonitorBrightness(ddc.path(), "b") == 60;
    }, 10000)) << sandbox.Brightness() << " " << MonitorBrightness(ddc.path(), "a") << " "
               << MonitorBrightness(ddc.path(), "b");
}
