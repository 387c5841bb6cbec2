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
        ASSERT_TRUE(Eventually([&] { return monitors.Brightness("a") == 1; })) << monitors.Brightness("a");

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
        for (const char* key : {"Down", "Down", "Down", "Right", "Down", "Return"}) {
            driver_.Run({"key", key});
            QThread::msleep(150);
        }
        EXPECT_TRUE(Eventually([&] {
            return ReadText(sandbox.ConfigHome() + "/Kestrelo/LumoraBrightness.conf").contains("LG HDR 4K");
        })) << ReadText(sandbox.ConfigHome() + "/Kestrelo/LumoraBrightness.conf").toStdString();
        EXPECT_EQ(monitors.Brightness("b"), 70) << "choosing a monitor writes nothing to it";
    }

    // The next start works on the remembered monitor.
    auto program = Start(sandbox, monitors);
    const QString window = driver_.WaitForWindow(kTitle);
    ASSERT_FALSE(window.isEmpty()) << program->Output().toStdString();
    EXPECT_TRUE(Eventually([&] { return monitors.Brightness("b") == 1; })) << monitors.Brightness("b");
    driver_.Drag(window, TrackBarAt(0), TrackBarAt(50));
    EXPECT_TRUE(Eventually([&] { return monitors.Brightness("b") == 50; })) << monitors.Brightness("b");
    EXPECT_EQ(monitors.Brightness("a"), 1);
}
