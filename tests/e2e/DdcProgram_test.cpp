// The whole program on a desktop PC: no backlight, DDC/CI monitors played by
// a stand-in folder, a virtual display with a notification area.

#include "Desktop.h"
#include "SessionBus.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

#include <gtest/gtest.h>

using namespace e2e;

namespace {

const QString kTitle = "Lumora Brightness Control";

void Write(const QString& path, const QByteArray& text)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error(("cannot write " + path).toStdString());
    f.write(text);
}

// Monitors in a folder of their own, and a machine without a backlight.
class Monitors {
public:
    QString Root() const { return dir_.path(); }
    void Add(const QString& id, const QString& model, const QString& serial, int brightness, int delayMs = 0) const
    {
        QDir(Root()).mkpath(id);
        Write(Root() + "/" + id + "/model", model.toUtf8() + "\n");
        Write(Root() + "/" + id + "/serial", serial.toUtf8() + "\n");
        Write(Root() + "/" + id + "/brightness", QByteArray::number(brightness) + "\n");
        Write(Root() + "/" + id + "/max_brightness", "100\n");
        SetDelay(id, delayMs);
    }
    void SetDelay(const QString& id, int ms) const { Write(Root() + "/" + id + "/delay_ms", QByteArray::number(ms) + "\n"); }
    int Brightness(const QString& id) const { return ReadText(Root() + "/" + id + "/brightness").trimmed().toInt(); }

private:
    QTemporaryDir dir_;
};

class DdcProgramTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { display_ = new VirtualDisplay; }
    static void TearDownTestSuite()
    {
        delete display_;
        display_ = nullptr;
    }

    std::unique_ptr<Program> Start(const Sandbox& sandbox, const Monitors& monitors)
    {
        QDir(sandbox.BacklightRoot() + "/acpi_video0").removeRecursively();
        return std::make_unique<Program>(sandbox, *display_,
                                         QStringList{"--backlight-root", sandbox.BacklightRoot(), "--levels", "11",
                                                     "--ddc-standin", monitors.Root()});
    }

    static VirtualDisplay* display_;
    Driver driver_{*display_};
};

VirtualDisplay* DdcProgramTest::display_ = nullptr;

// A notification area on the virtual display for the length of one test.
class NotificationArea {
public:
    explicit NotificationArea(const VirtualDisplay& display)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", display.Name());
        process_.setProcessEnvironment(env);
        process_.start("trayer", {"--edge", "top", "--align", "right", "--widthtype", "request", "--height", "24",
                                  "--SetDockType", "false", "--SetPartialStrut", "false"});
        process_.waitForStarted(5000);
    }
    ~NotificationArea()
    {
        process_.kill();
        process_.waitForFinished(3000);
    }
    static bool Available() { return !QStandardPaths::findExecutable("trayer").isEmpty(); }

private:
    QProcess process_;
};

void StoreSettings(const Sandbox& sandbox, const QByteArray& text)
{
    QDir().mkpath(sandbox.ConfigHome() + "/Kestrelo");
    Write(sandbox.SettingsFile(), text);
}

// The message boxes shown now: windows titled like the main window.
int ShownBoxes(Driver& driver, const QString& mainWindow)
{
    int boxes = 0;
    for (const QString& id : driver.Run({"search", "--onlyvisible", "--name", "^" + kTitle + "$"}).split('\n'))
        boxes += !id.isEmpty() && id != mainWindow ? 1 : 0;
    return boxes;
}

// Answers every box shown until none comes for a while; how many there were.
int AnswerBoxes(Driver& driver, const QString& mainWindow, int quietMs)
{
    int answered = 0;
    while (Eventually([&] { return ShownBoxes(driver, mainWindow) > 0; }, quietMs)) {
        for (const QString& id : driver.Run({"search", "--onlyvisible", "--name", "^" + kTitle + "$"}).split('\n')) {
            if (id.isEmpty() || id == mainWindow)
                continue;
            driver.DismissBox(id);
            ++answered;
        }
    }
    return answered;
}

} // namespace

TEST_F(DdcProgramTest, WindowShowsBeforeSlowMonitorsAreFoundAndTheTrackBarWritesTheMonitor)
{
    Sandbox sandbox;
    Monitors monitors;
    // Detection alone takes 4 s on this monitor.
    monitors.Add("a", "DELL U2720Q", "7RRJ123", 40, 4000);
    QElapsedTimer clock;
    clock.start();
    auto program = Start(sandbox, monitors);
    const QString window = driver_.WaitForWindow(kTitle, 20000);
    ASSERT_FALSE(window.isEmpty()) << program->Output().toStdString();
    const qint64 shown = clock.elapsed();
    EXPECT_EQ(monitors.Brightness("a"), 40);

    // After detection the lowest level is applied, as on a first start.
    monitors.SetDelay("a", 0);
    ASSERT_TRUE(Eventually([&] { return monitors.Brightness("a") == 1; }, 20000)) << monitors.Brightness("a");
    EXPECT_LT(shown + 1000, clock.elapsed()) << "the window waited for the monitors: shown after " << shown << " ms";

    // 50 on 11 levels is level 5: 50 % of the monitor's maximum.
    driver_.Drag(window, TrackBarAt(0), TrackBarAt(50));
    EXPECT_TRUE(Eventually([&] { return monitors.Brightness("a") == 50; })) << monitors.Brightness("a");
    EXPECT_FALSE(program->Output().contains("Not supported"));
}

TEST_F(DdcProgramTest, TrayMonitorMenuSwitchesMonitorsAndTheNextStartChoosesTheRememberedOne)
{
    if (!NotificationArea::Available())
        GTEST_SKIP() << "needs trayer for a notification area";
    NotificationArea area(*display_);
    Sandbox sandbox;
    Monitors monitors;
    monitors.Add("a", "DELL U2720Q", "1", 40);
    monitors.Add("b", "LG HDR 4K", "2", 70);
    {
        auto program = Start(sandbox, monitors);
        const QString window = driver_.WaitForWindow(kTitle);
        ASSERT_FALSE(window.isEmpty()) << program->Output().toStdString();
        // Both monitors at once, the default with two of them.
        ASSERT_TRUE(Eventually([&] { return monitors.Brightness("a") == 1 && monitors.Brightness("b") == 1; }))
            << monitors.Brightness("a") << " " << monitors.Brightness("b");

        // Closing the window puts the icon into the notification area.
        driver_.Close(window);
        ASSERT_TRUE(driver_.WaitForWindowGone(window));
        QString tray;
        ASSERT_TRUE(Eventually([&] {
            tray = driver_.Run({"search", "--onlyvisible", "--class", "trayer"}).section('\n', 0, 0);
            return !tray.isEmpty() && driver_.Geometry(tray).width() >= 16;
        }, 10000)) << "no icon in the notification area";
        QThread::msleep(300);

        // Right button on the icon; then Show Window, Restore Brightness,
        // Monitor, into the submenu, the second monitor.
        const QRect area = driver_.Geometry(tray);
        driver_.Click(tray, QPoint(area.width() / 2, area.height() / 2), 3);
        QThread::msleep(500);
        // Into the submenu, past "All monitors" and the first monitor.
    for (const char* key : {"Down", "Down", "Down", "Right", "Down", "Down", "Return"}) {
            driver_.Run({"key", key});
            QThread::msleep(150);
        }
        EXPECT_TRUE(Eventually([&] {
            return ReadText(sandbox.ConfigHome() + "/Kestrelo/LumoraBrightness.conf").contains("LG HDR 4K");
        })) << ReadText(sandbox.ConfigHome() + "/Kestrelo/LumoraBrightness.conf").toStdString();
        EXPECT_EQ(monitors.Brightness("b"), 1) << "choosing a monitor writes nothing to it";
    }
    // Elsewhere in the meantime: the next start is seen to write it.
    Write(monitors.Root() + "/b/brightness", "70\n");

    // The next start works on the remembered monitor.
    auto program = Start(sandbox, monitors);
    const QString window = driver_.WaitForWindow(kTitle);
    ASSERT_FALSE(window.isEmpty()) << program->Output().toStdString();
    EXPECT_TRUE(Eventually([&] { return monitors.Brightness("b") == 1; }, 10000)) << monitors.Brightness("b");
    driver_.Drag(window, TrackBarAt(0), TrackBarAt(50));
    EXPECT_TRUE(Eventually([&] { return monitors.Brightness("b") == 50; })) << monitors.Brightness("b");
    EXPECT_EQ(monitors.Brightness("a"), 1);
}

TEST_F(DdcProgramTest, AllMonitorsSetsEveryAnsweringMonitorThroughItsRangeTogetherAndARestartKeepsTheRanges)
{
    Sandbox sandbox; // its panel at 50 of 100
    Monitors monitors;
    monitors.Add("a", "DELL U2720Q", "1", 40, 200);
    monitors.Add("b", "LG HDR 4K", "2", 70, 200);
    monitors.Add("c", "BenQ GW2480", "3", 30, 200);
    Write(monitors.Root() + "/c/fail", "1\n");
    // Level 5 saved; the LG looks brighter and spans 20 .. 60 %.
    StoreSettings(sandbox, "[Software\\Kestrelo\\LumoraBrightness]\nLevel=5\n"
                           "[Software\\Kestrelo\\LumoraBrightness\\Monitor ranges\\LG HDR 4K 2]\n"
                           "Lowest=20\nHighest=60\n");
    const auto startWithPanel = [&] {
        return std::make_unique<Program>(sandbox, *display_,
                                         QStringList{"--backlight-root", sandbox.BacklightRoot(), "--levels", "11",
                                                     "--ddc-standin", monitors.Root()});
    };
    {
        auto program = startWithPanel();
        const QString window = driver_.WaitForWindow(kTitle, 20000);
        ASSERT_FALSE(window.isEmpty()) << program->Output().toStdString();
        // The silent monitor is named once; the others take the saved level
        // through their ranges when they have been found.
        EXPECT_EQ(AnswerBoxes(driver_, window, 4000), 1);
        ASSERT_TRUE(Eventually([&] { return monitors.Brightness("a") == 50 && monitors.Brightness("b") == 40; }, 10000))
            << monitors.Brightness("a") << " " << monitors.Brightness("b");
        EXPECT_EQ(sandbox.Brightness(), 50);
        EXPECT_EQ(monitors.Brightness("c"), 30) << "the silent monitor is passed over";

        // A drag to the top: the panel walks with the needle; each slow
        // monitor is told the end at the release and holds it one call
        // later. Written step by step, the end would wait behind the call in
        // flight: two calls (400 ms) at the least. The 150 ms beyond one call
        // are for the release to reach the program and the worker to wake on
        // a loaded machine; the monitors are looked at every 5 ms.
        driver_.Drag(window, TrackBarAt(50), TrackBarAt(100));
        QElapsedTimer clock;
        clock.start();
        while (!(monitors.Brightness("a") == 100 && monitors.Brightness("b") == 60) && clock.elapsed() < 10000)
            QThread::msleep(5);
        const qint64 monitorsThere = clock.elapsed();
        EXPECT_LE(monitorsThere, 200 + 150) << "the last monitor held the end " << monitorsThere
                                            << " ms after the release: " << monitors.Brightness("a") << " "
                                            << monitors.Brightness("b");
        EXPECT_TRUE(Eventually([&] { return sandbox.Brightness() == 100; }, 10000)) << sandbox.Brightness();
        EXPECT_EQ(ShownBoxes(driver_, window), 0) << "no box for the silent monitor again";
    }

    // The next start: every monitor again, the LG through its kept range.
    auto program = startWithPanel();
    QString window = driver_.WaitForWindow(kTitle, 20000);
    ASSERT_FALSE(window.isEmpty()) << program->Output().toStdString();
    // The silent monitor's box again; the window is found anew, since the
    // first window found with that title may have been the box.
    QThread::msleep(2000);
    AnswerBoxes(driver_, window, 2000);
    window = driver_.WaitForWindow(kTitle, 5000);
    ASSERT_TRUE(Eventually([&] { return monitors.Brightness("a") == 50 && monitors.Brightness("b") == 40; }, 10000))
        << monitors.Brightness("a") << " " << monitors.Brightness("b");
    driver_.Drag(window, TrackBarAt(50), TrackBarAt(0));
    EXPECT_TRUE(Eventually([&] {
        return sandbox.Brightness() == 1 && monitors.Brightness("a") == 1 && monitors.Brightness("b") == 20;
    }, 10000)) << sandbox.Brightness() << " " << monitors.Brightness("a") << " " << monitors.Brightness("b");
}

namespace {

// The id of the entry with that label in a print-out of the exported menu's
// GetLayout (submenus included); 0 when there is none.
int MenuEntryId(const QString& layout, const QString& label)
{
    static const QRegularExpression entry(R"re(struct \{\s*int32 (\d+)\s*array \[((?:\s*dict entry\(\s*string "[^"]*"\s*variant\s*(?:string "[^"]*"|int32 -?\d+|boolean \w+)\s*\))*)\s*\])re");
    auto it = entry.globalMatch(layout);
    while (it.hasNext()) {
        const auto m = it.next();
        if (m.captured(2).contains("string \"label\"") && m.captured(2).contains("string \"" + label + "\""))
            return m.captured(1).toInt();
    }
    return 0;
}

} // namespace

TEST_F(DdcProgramTest, TheMonitorsWindowFromTheTrayMenuSetsARangeLiveAndTheRangeHoldsAfterARestart)
{
    // The tray is a StatusNotifierItem host's, which the test plays: it opens
    // "Monitors..." through the exported menu as a host does on a click.
    SessionBus bus;
    ASSERT_TRUE(bus.Serve(LUMORA_E2E_DIR "/sni_watcher_mock.py", "org.kde.StatusNotifierWatcher"));
    Sandbox sandbox;
    sandbox.UseSessionBus(bus.Address());
    Monitors monitors;
    monitors.Add("a", "DELL U2720Q", "1", 40);
    monitors.Add("b", "LG HDR 4K", "2", 70);
    StoreSettings(sandbox, "[Software\\Kestrelo\\LumoraBrightness]\nLevel=5\n");
    {
        auto program = Start(sandbox, monitors);
        const QString window = driver_.WaitForWindow(kTitle, 20000);
        ASSERT_FALSE(window.isEmpty()) << program->Output().toStdString();
        ASSERT_TRUE(Eventually([&] { return monitors.Brightness("a") == 50 && monitors.Brightness("b") == 50; }, 10000))
            << monitors.Brightness("a") << " " << monitors.Brightness("b");

        // Closed, the window goes into the host's tray: the item registers.
        driver_.Close(window);
        // The item and its menu, once the monitors are in it.
        static const QRegularExpression itemName(R"(org\.kde\.StatusNotifierItem-\d+-\d+)");
        QString item;
        ASSERT_TRUE(Eventually([&] {
            item = itemName.match(bus.Send({"--dest=org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher",
                                            "org.freedesktop.DBus.Properties.Get", "string:org.kde.StatusNotifierWatcher",
                                            "string:RegisteredStatusNotifierItems"}))
                       .captured(0);
            return !item.isEmpty();
        }, 10000)) << program->Output().toStdString();
        static const QRegularExpression pathOf(R"re(object path "([^"]+)")re");
        const QString menuPath = pathOf.match(bus.Send({"--dest=" + item, "/StatusNotifierItem",
                                                        "org.freedesktop.DBus.Properties.Get",
                                                        "string:org.kde.StatusNotifierItem", "string:Menu"}))
                                     .captured(1);
        ASSERT_FALSE(menuPath.isEmpty());
        int rangesId = 0;
        ASSERT_TRUE(Eventually([&] {
            rangesId = MenuEntryId(bus.Send({"--dest=" + item, menuPath, "com.canonical.dbusmenu.GetLayout", "int32:0",
                                             "int32:-1", "array:string:"}),
                                   "Monitors...");
            return rangesId != 0;
        }, 10000));
        bus.Send({"--dest=" + item, menuPath, "com.canonical.dbusmenu.Event", "int32:" + QString::number(rangesId),
                  "string:clicked", "variant:int32:0", "uint32:0"});
        const QString ranges = driver_.WaitForWindow("Monitors", 10000);
        ASSERT_FALSE(ranges.isEmpty()) << "\"Monitors...\" opens the window";

        // The keyboard on the first row's lowest percent (the window gives it
        // the focus): a page up is a tenth of the scale. The DELL shows the
        // level through 10 .. 100 % while the key is down, and keeps it.
        driver_.Run({"windowfocus", "--sync", ranges});
        QThread::msleep(300);
        driver_.Run({"key", "Page_Up"});
        // 50 % of the level over 10 .. 100 %.
        EXPECT_TRUE(Eventually([&] { return monitors.Brightness("a") == 55; })) << monitors.Brightness("a");
        EXPECT_EQ(monitors.Brightness("b"), 50) << "the other monitor keeps its range";
        EXPECT_TRUE(Eventually([&] {
            return ReadText(sandbox.SettingsFile()).contains("Monitor ranges\\DELL U2720Q 1]\nLowest=10\n");
        })) << ReadText(sandbox.SettingsFile()).toStdString();
    }

    // The next start: the DELL takes the level through its kept range.
    Write(monitors.Root() + "/a/brightness", "40\n");
    auto program = Start(sandbox, monitors);
    ASSERT_FALSE(driver_.WaitForWindow(kTitle, 20000).isEmpty()) << program->Output().toStdString();
    EXPECT_TRUE(Eventually([&] { return monitors.Brightness("a") == 55 && monitors.Brightness("b") == 50; }, 10000))
        << monitors.Brightness("a") << " " << monitors.Brightness("b");
}
