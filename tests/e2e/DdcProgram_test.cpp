// The whole program on a desktop PC: no backlight, DDC/CI monitors played by
// a stand-in folder, a virtual display with a notification area.

#include "Desktop.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
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
            for (int attempt = 0; attempt < 3; ++attempt) {
                driver.Key(id, "Return");
                if (driver.WaitForWindowGone(id, 1500))
                    break;
            }
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

        // A drag to the top: the panel follows the needle at once; the slow
        // monitors each hold the final value at most a call after the one in
        // flight when the needle lands.
        driver_.Drag(window, TrackBarAt(50), TrackBarAt(100));
        QElapsedTimer clock;
        clock.start();
        ASSERT_TRUE(Eventually([&] { return sandbox.Brightness() == 100; }, 10000)) << sandbox.Brightness();
        const qint64 panelThere = clock.elapsed();
        ASSERT_TRUE(Eventually([&] { return monitors.Brightness("a") == 100 && monitors.Brightness("b") == 60; }, 10000))
            << monitors.Brightness("a") << " " << monitors.Brightness("b");
        const qint64 monitorsThere = clock.elapsed();
        // Two calls of 200 ms, and room for a loaded machine's polling.
        EXPECT_LE(monitorsThere - panelThere, 2 * 200 + 300)
            << "panel at " << panelThere << " ms, the last monitor at " << monitorsThere << " ms";
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
