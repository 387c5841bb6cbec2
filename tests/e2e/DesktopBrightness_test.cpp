// The whole program beside the desktop's brightness service (KDE Plasma 5's
// and 6's, and GNOME's, served by dbusmock on a private session bus), beside
// services that own their names but never answer, and with a backlight
// device that goes and comes back.

#include "Desktop.h"
#include "SessionBus.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

using namespace e2e;

namespace {

const QString kTitle = "Lumora Brightness Control";
const QString kKdeName = "org.kde.Solid.PowerManagement";
const QString kKdePath = "/org/kde/Solid/PowerManagement/Actions/BrightnessControl";
const QString kKde6Root = "/org/kde/ScreenBrightness";
const QString kGnomeName = "org.gnome.SettingsDaemon.Power";
const QString kGnomePath = "/org/gnome/SettingsDaemon/Power";

QString SettingsText(const Sandbox& sandbox) { return ReadText(sandbox.ConfigHome() + "/Kestrelo/LumoraBrightness.conf"); }

// What a service was asked since `from` (an offset into its call log).
QString CallsSince(const QString& log, qsizetype from) { return ReadText(log).mid(from); }

// Waits until the service has been asked nothing new for a while: the
// needle follows the track bar and writes each level it passes until it
// settles. The size of the log then.
qsizetype SettledLog(const QString& log)
{
    qsizetype size = ReadText(log).size();
    Eventually([&] {
        QThread::msleep(700);
        const qsizetype now = ReadText(log).size();
        const bool still = now == size;
        size = now;
        return still;
    }, 10000);
    return size;
}

// A Plasma 6 display's Brightness as the service holds it.
QString Kde6Brightness(const SessionBus& bus, const QString& display)
{
    return bus.Send({"--dest=" + kKdeName, kKde6Root + "/" + display, "org.freedesktop.DBus.Properties.Get",
                     "string:org.kde.ScreenBrightness.Display", "string:Brightness"})
        .simplified();
}

class DesktopBrightnessTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { display_ = new VirtualDisplay; }
    static void TearDownTestSuite()
    {
        delete display_;
        display_ = nullptr;
    }

    std::unique_ptr<Program> Start(const Sandbox& sandbox)
    {
        return std::make_unique<Program>(sandbox, *display_,
                                         QStringList{"--backlight-root", sandbox.BacklightRoot(), "--levels", "11"});
    }

    QString Log(const QString& name) const { return logs_.path() + "/" + name + ".log"; }

    // The message boxes shown now: windows titled like the main window.
    int ShownBoxes(const QString& mainWindow)
    {
        int boxes = 0;
        for (const QString& id : driver_.Run({"search", "--onlyvisible", "--name", "^" + kTitle + "$"}).split('\n'))
            boxes += !id.isEmpty() && id != mainWindow ? 1 : 0;
        return boxes;
    }

    // Answers every box shown until none comes for a while; how many there were.
    int AnswerBoxes(const QString& mainWindow, int quietMs)
    {
        int answered = 0;
        while (Eventually([&] { return ShownBoxes(mainWindow) > 0; }, quietMs)) {
            for (const QString& id : driver_.Run({"search", "--onlyvisible", "--name", "^" + kTitle + "$"}).split('\n')) {
                if (id.isEmpty() || id == mainWindow)
                    continue;
                driver_.DismissBox(id);
                ++answered;
            }
        }
        return answered;
    }

    static VirtualDisplay* display_;
    Driver driver_{*display_};
    QTemporaryDir logs_;
};

VirtualDisplay* DesktopBrightnessTest::display_ = nullptr;

} // namespace

TEST_F(DesktopBrightnessTest, KdeSetsThePanelAndItsSignalMovesTheViewsWithoutACallBack)
{
    SessionBus bus;
    ASSERT_TRUE(bus.Serve(LUMORA_E2E_DIR "/kde_brightness_mock.py", kKdeName, Log("kde")));
    Sandbox sandbox(100, 50);
    sandbox.UseSessionBus(bus.Address());
    auto program = Start(sandbox);
    const QString window = driver_.WaitForWindow(kTitle);
    ASSERT_FALSE(window.isEmpty()) << program->Output().toStdString();

    // The first start applies level 0: one percent of the service's range.
    ASSERT_TRUE(Eventually([&] { return ReadText(Log("kde")).contains("setBrightnessSilent 10\n"); }))
        << ReadText(Log("kde")).toStdString();
    // 50 on 11 levels is level 5: 50 percent of 1000.
    driver_.Drag(window, TrackBarAt(0), TrackBarAt(50));
    EXPECT_TRUE(Eventually([&] { return ReadText(Log("kde")).contains("setBrightnessSilent 500\n"); }))
        << ReadText(Log("kde")).toStdString();
    EXPECT_EQ(sandbox.Brightness(), 50) << "the service sets the panel, not the program";

    // Set elsewhere to 30 percent: the views move to level 3, nothing is
    // written back.
    const qsizetype mark = SettledLog(Log("kde"));
    bus.Send({"--dest=" + kKdeName, kKdePath, "org.kde.Solid.PowerManagement.Test.ChangeElsewhere", "int32:300"});
    QThread::msleep(1500);
    EXPECT_FALSE(CallsSince(Log("kde"), mark).contains("setBrightness")) << CallsSince(Log("kde"), mark).toStdString();
    driver_.Close(window);
    EXPECT_TRUE(Eventually([&] { return SettingsText(sandbox).contains("Level=3\n"); }))
        << SettingsText(sandbox).toStdString();
    EXPECT_FALSE(CallsSince(Log("kde"), mark).contains("setBrightness")) << CallsSince(Log("kde"), mark).toStdString();
    EXPECT_EQ(sandbox.Brightness(), 50);
}

TEST_F(DesktopBrightnessTest, Kde6SetsTheInternalDisplayAndItsSignalMovesTheViewsWithoutACallBack)
{
    // Plasma 6 under the power management's name: an external monitor
    // listed first (display0, 80 of 100), the internal panel second
    // (display1, 500 of 1000).
    SessionBus bus;
    ASSERT_TRUE(bus.Serve(LUMORA_E2E_DIR "/kde6_brightness_mock.py", kKdeName, Log("kde6")));
    Sandbox sandbox(100, 50);
    sandbox.UseSessionBus(bus.Address());
    auto program = Start(sandbox);
    const QString window = driver_.WaitForWindow(kTitle);
    ASSERT_FALSE(window.isEmpty()) << program->Output().toStdString();

    // Level 0 at the first start: one percent of the panel's range, without
    // Plasma's on-screen display (flag 1).
    ASSERT_TRUE(Eventually([&] { return ReadText(Log("kde6")).contains("SetBrightness 10 1\n"); }))
        << ReadText(Log("kde6")).toStdString();
    driver_.Drag(window, TrackBarAt(0), TrackBarAt(50));
    EXPECT_TRUE(Eventually([&] { return ReadText(Log("kde6")).contains("SetBrightness 500 1\n"); }))
        << ReadText(Log("kde6")).toStdString();
    const qsizetype mark = SettledLog(Log("kde6"));
    EXPECT_TRUE(Kde6Brightness(bus, "display1").endsWith("int32 500")) << Kde6Brightness(bus, "display1").toStdString();
    EXPECT_TRUE(Kde6Brightness(bus, "display0").endsWith("int32 80")) << "the external monitor is not the panel";
    EXPECT_FALSE(ReadText(Log("kde6")).contains("setBrightness")) << "Plasma 5's action is not asked for";
    EXPECT_EQ(sandbox.Brightness(), 50) << "the service sets the panel, not the program";

    // The panel set elsewhere to 30 percent: the views move to level 3,
    // nothing is written back. The external monitor set after it is not the
    // panel: the views stay.
    bus.Send({"--dest=" + kKdeName, kKde6Root, "org.kde.ScreenBrightness.Test.ChangeElsewhere", "string:display1",
              "int32:300"});
    bus.Send({"--dest=" + kKdeName, kKde6Root, "org.kde.ScreenBrightness.Test.ChangeElsewhere", "string:display0",
              "int32:90"});
    QThread::msleep(1500);
    driver_.Close(window);
    EXPECT_TRUE(Eventually([&] { return SettingsText(sandbox).contains("Level=3\n"); }))
        << SettingsText(sandbox).toStdString();
    EXPECT_FALSE(CallsSince(Log("kde6"), mark).contains("SetBrightness ")) << CallsSince(Log("kde6"), mark).toStdString();
    EXPECT_EQ(sandbox.Brightness(), 50);
}

TEST_F(DesktopBrightnessTest, GnomeSetsThePanelAndItsPropertyChangeMovesTheViewsWithoutACallBack)
{
    SessionBus bus;
    ASSERT_TRUE(bus.Serve(LUMORA_E2E_DIR "/gnome_power_mock.py", kGnomeName, Log("gnome")));
    Sandbox sandbox(100, 50);
    sandbox.UseSessionBus(bus.Address());
    auto program = Start(sandbox);
    const QString window = driver_.WaitForWindow(kTitle);
    ASSERT_FALSE(window.isEmpty()) << program->Output().toStdString();

    const QString set = "Set " + kGnomePath + " org.gnome.SettingsDaemon.Power.Screen.Brightness ";
    ASSERT_TRUE(Eventually([&] { return ReadText(Log("gnome")).contains(set + "1\n"); }))
        << ReadText(Log("gnome")).toStdString();
    driver_.Drag(window, TrackBarAt(0), TrackBarAt(50));
    EXPECT_TRUE(Eventually([&] { return ReadText(Log("gnome")).contains(set + "50\n"); }))
        << ReadText(Log("gnome")).toStdString();
    EXPECT_EQ(sandbox.Brightness(), 50);

    const qsizetype mark = SettledLog(Log("gnome"));
    bus.Send({"--dest=" + kGnomeName, kGnomePath, "org.gnome.SettingsDaemon.Power.Test.ChangeElsewhere", "int32:30"});
    QThread::msleep(1500);
    driver_.Close(window);
    EXPECT_TRUE(Eventually([&] { return SettingsText(sandbox).contains("Level=3\n"); }))
        << SettingsText(sandbox).toStdString();
    EXPECT_FALSE(CallsSince(Log("gnome"), mark).contains("Set ")) << CallsSince(Log("gnome"), mark).toStdString();
    EXPECT_EQ(sandbox.Brightness(), 50);
}

TEST_F(DesktopBrightnessTest, TheServiceLeavingAndComingBackSwitchesBothWays)
{
    SessionBus bus;
    ASSERT_TRUE(bus.Serve(LUMORA_E2E_DIR "/kde_brightness_mock.py", kKdeName, Log("first")));
    Sandbox sandbox(100, 50);
    sandbox.UseSessionBus(bus.Address());
    auto program = Start(sandbox);
    const QString window = driver_.WaitForWindow(kTitle);
    ASSERT_FALSE(window.isEmpty()) << program->Output().toStdString();
    ASSERT_TRUE(Eventually([&] { return ReadText(Log("first")).contains("setBrightnessSilent 10\n"); }));

    // Gone: the backlight file is written again.
    bus.StopServing(kKdeName);
    QThread::msleep(1000);
    driver_.Drag(window, TrackBarAt(0), TrackBarAt(70));
    EXPECT_TRUE(Eventually([&] { return sandbox.Brightness() == 70; })) << sandbox.Brightness();

    // The needle follows the track bar and writes each level it passes
    // until it settles.
    QThread::msleep(1000);
    // Back: the service again, the file left alone.
    ASSERT_TRUE(bus.Serve(LUMORA_E2E_DIR "/kde_brightness_mock.py", kKdeName, Log("second")));
    QThread::msleep(1000);
    driver_.Drag(window, TrackBarAt(70), TrackBarAt(100));
    EXPECT_TRUE(Eventually([&] { return ReadText(Log("second")).contains("setBrightnessSilent 1000\n"); }))
        << ReadText(Log("second")).toStdString();
    EXPECT_EQ(sandbox.Brightness(), 70);
    EXPECT_EQ(ShownBoxes(window), 0);
}

TEST_F(DesktopBrightnessTest, AVanishedDeviceIsReportedOnceAndWrittenAgainWhenBack)
{
    Sandbox sandbox(100, 50);
    auto program = Start(sandbox);
    const QString window = driver_.WaitForWindow(kTitle);
    ASSERT_FALSE(window.isEmpty()) << program->Output().toStdString();
    ASSERT_TRUE(Eventually([&] { return sandbox.Brightness() == 1; }));

    const QString device = sandbox.BacklightRoot() + "/acpi_video0";
    ASSERT_TRUE(QDir(device).removeRecursively());
    // The top of the dial is level 5; the needle sweeps there, writing each
    // level it passes.
    const QPoint dialTop = Design(141 + 100, 8 + 30);
    driver_.Click(window, dialTop);
    EXPECT_EQ(AnswerBoxes(window, 3000), 1) << "one error for the outage";
    driver_.Drag(window, TrackBarAt(50), TrackBarAt(80));
    EXPECT_EQ(AnswerBoxes(window, 2000), 0) << "quiet until the device is back";

    // Back: the next write goes to it.
    QDir().mkpath(device);
    for (const auto& [file, text] : {std::pair{"max_brightness", "100\n"}, {"brightness", "1\n"},
                                     {"actual_brightness", "1\n"}, {"type", "firmware\n"}}) {
        QFile f(device + "/" + file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    driver_.Click(window, dialTop);
    EXPECT_TRUE(Eventually([&] { return sandbox.Brightness() == 50; })) << sandbox.Brightness();
    EXPECT_EQ(AnswerBoxes(window, 1000), 0);
}

namespace {

const QString kSilentService = LUMORA_E2E_DIR "/silent_service.py";

// `lumora --set-level` beside the running copy: how long it took, or -1 when
// it failed or did not end.
qint64 SetLevelTakesMs(const Sandbox& sandbox, const VirtualDisplay& display, int level)
{
    QProcess remote;
    remote.setProcessEnvironment(sandbox.Environment(display.Name()));
    QElapsedTimer clock;
    clock.start();
    remote.start(LUMORA_PROGRAM, {"--set-level", QString::number(level)});
    if (!remote.waitForFinished(15000)) {
        remote.kill();
        remote.waitForFinished(3000);
        return -1;
    }
    return remote.exitCode() == 0 ? clock.elapsed() : -1;
}

void StoreSettings(const Sandbox& sandbox, const QByteArray& values)
{
    QDir().mkpath(sandbox.ConfigHome() + "/Kestrelo");
    QFile file(sandbox.ConfigHome() + "/Kestrelo/LumoraBrightness.conf");
    file.open(QIODevice::WriteOnly);
    file.write("[Software\\Kestrelo\\LumoraBrightness]\n" + values);
}

} // namespace

TEST_F(DesktopBrightnessTest, ServicesThatOwnTheirNamesButNeverAnswerLeaveThePanelToTheBacklightFile)
{
    // KDE's and GNOME's names are taken by services that hang: every call
    // to them goes unanswered.
    SessionBus bus;
    ASSERT_TRUE(bus.Hold(kSilentService, kKdeName));
    ASSERT_TRUE(bus.Hold(kSilentService, kGnomeName));
    Sandbox sandbox(100, 50);
    sandbox.UseSessionBus(bus.Address());
    auto program = Start(sandbox);
    const QString window = driver_.WaitForWindow(kTitle);
    ASSERT_FALSE(window.isEmpty()) << program->Output().toStdString();
    // Level 0 at the first start, through the file.
    ASSERT_TRUE(Eventually([&] { return sandbox.Brightness() == 1; })) << sandbox.Brightness();

    // A script's level is taken at once and reaches the file; a call to a
    // hung service would hold the window (and the script) for seconds.
    const qint64 took = SetLevelTakesMs(sandbox, *display_, 7);
    EXPECT_GE(took, 0) << program->Output().toStdString();
    EXPECT_LT(took, 3000);
    EXPECT_TRUE(Eventually([&] { return sandbox.Brightness() == 70; }, 5000)) << sandbox.Brightness();

    // The window keeps answering: the track bar moves the panel, once the
    // needle has settled.
    QThread::msleep(1000);
    driver_.Drag(window, TrackBarAt(70), TrackBarAt(0));
    EXPECT_TRUE(Eventually([&] { return sandbox.Brightness() == 1; }, 5000)) << sandbox.Brightness();
    EXPECT_EQ(ShownBoxes(window), 0);
}

TEST_F(DesktopBrightnessTest, AnIdleMonitorThatNeverAnswersLeavesTheWindowAnswering)
{
    // GNOME's idle monitor hangs; dimming is armed and idleness is checked
    // five times a second.
    SessionBus bus;
    ASSERT_TRUE(bus.Hold(kSilentService, "org.gnome.Mutter.IdleMonitor"));
    Sandbox sandbox(100, 50);
    sandbox.UseSessionBus(bus.Address());
    StoreSettings(sandbox, "Level=8\nDimInterval=1\n");
    auto program = std::make_unique<Program>(
        sandbox, *display_,
        QStringList{"--backlight-root", sandbox.BacklightRoot(), "--levels", "11", "--idle-check-interval", "200"});
    const QString window = driver_.WaitForWindow(kTitle);
    ASSERT_FALSE(window.isEmpty()) << program->Output().toStdString();
    ASSERT_TRUE(Eventually([&] { return sandbox.Brightness() == 80; })) << sandbox.Brightness();

    // Several idle checks later, scripts and the user are still answered.
    QThread::msleep(1500);
    for (const int level : {4, 6}) {
        const qint64 took = SetLevelTakesMs(sandbox, *display_, level);
        EXPECT_GE(took, 0) << program->Output().toStdString();
        EXPECT_LT(took, 3000);
        EXPECT_TRUE(Eventually([&] { return sandbox.Brightness() == level * 10; }, 5000)) << sandbox.Brightness();
    }
    QThread::msleep(1000);
    driver_.Drag(window, TrackBarAt(60), TrackBarAt(0));
    EXPECT_TRUE(Eventually([&] { return sandbox.Brightness() == 1; }, 5000)) << sandbox.Brightness();
    EXPECT_TRUE(Eventually([&] {
        program->Process().waitForReadyRead(100);
        return program->Output().contains("GNOME's idle monitor does not answer");
    }, 3000)) << program->Output().toStdString();
}

// The desktops of today, each shaped from its real interfaces. On each, the
// level saved last time (7 of 11) reaches the panel through the way that
// desktop offers, a change made with the desktop's own slider moves the
// views and is not written back, and no error box appears.
namespace {

const QString kMutterIdleName = "org.gnome.Mutter.IdleMonitor";
const QString kMutterIdlePath = "/org/gnome/Mutter/IdleMonitor/Core";
const QString kMutterDisplayName = "org.gnome.Mutter.DisplayConfig";
const QString kScreenBrightnessName = "org.kde.ScreenBrightness";
// Mutter 47+: the built-in panel (0..100, at 50) and an external monitor it
// cannot set.
const QString kMutterPanel = R"({"backlight": [{"connector": "eDP-1", "active": true, "min": 0, "max": 100, "value": 50},
                                                {"connector": "HDMI-A-1", "active": true}]})";
const QString kGnome49Power = R"({"screen": false})";

} // namespace

TEST_F(DesktopBrightnessTest, Gnome43To46AppliesTheSavedLevelThroughTheSettingsDaemonBesideMutterWithoutBacklight)
{
    SessionBus bus;
    ASSERT_TRUE(bus.Serve(LUMORA_E2E_DIR "/gnome_power_mock.py", kGnomeName, Log("gnome")));
    ASSERT_TRUE(bus.Serve(LUMORA_E2E_DIR "/mutter_mock.py", kMutterDisplayName, Log("mutter")));
    Sandbox sandbox(100, 50);
    sandbox.UseSessionBus(bus.Address());
    StoreSettings(sandbox, "Level=7\n");
    auto program = Start(sandbox);
    const QString window = driver_.WaitForWindow(kTitle);
    ASSERT_FALSE(window.isEmpty()) << program->Output().toStdString();

    const QString set = "Set " + kGnomePath + " org.gnome.SettingsDaemon.Power.Screen.Brightness ";
    ASSERT_TRUE(Eventually([&] { return ReadText(Log("gnome")).contains(set + "70\n"); }))
        << ReadText(Log("gnome")).toStdString();
    const qsizetype mark = SettledLog(Log("gnome"));
    EXPECT_FALSE(ReadText(Log("mutter")).contains("SetBacklight")) << "Mutter 43 has no backlight to set";
    bus.Send({"--dest=" + kGnomeName, kGnomePath, "org.gnome.SettingsDaemon.Power.Test.ChangeElsewhere", "int32:40"});
    QThread::msleep(1500);
    EXPECT_EQ(ShownBoxes(window), 0);
    driver_.Close(window);
    EXPECT_TRUE(Eventually([&] { return SettingsText(sandbox).contains("Level=4\n"); }))
        << SettingsText(sandbox).toStdString();
    EXPECT_FALSE(CallsSince(Log("gnome"), mark).contains("Set ")) << CallsSince(Log("gnome"), mark).toStdString();
    EXPECT_EQ(sandbox.Brightness(), 50);
}

TEST_F(DesktopBrightnessTest, Gnome47To48SetsThePanelThroughMutterAndFollowsGnomesSlider)
{
    SessionBus bus;
    ASSERT_TRUE(bus.Serve(LUMORA_E2E_DIR "/gnome_power_mock.py", kGnomeName, Log("gnome")));
    ASSERT_TRUE(bus.Serve(LUMORA_E2E_DIR "/mutter_mock.py", kMutterDisplayName, Log("mutter"), kMutterPanel));
    Sandbox sandbox(100, 50);
    sandbox.UseSessionBus(bus.Address());
    StoreSettings(sandbox, "Level=7\n");
    auto program = Start(sandbox);
    const QString window = driver_.WaitForWindow(kTitle);
    ASSERT_FALSE(window.isEmpty()) << program->Output().toStdString();

    ASSERT_TRUE(Eventually([&] { return ReadText(Log("mutter")).contains("SetBacklight 1 \"eDP-1\" 70\n"); }))
        << ReadText(Log("mutter")).toStdString();
    const qsizetype mark = SettledLog(Log("mutter"));
    EXPECT_FALSE(ReadText(Log("gnome")).contains("Set ")) << "the compositor owns the backlight";

    bus.Send({"--dest=" + kMutterIdleName, kMutterIdlePath, "org.gnome.Mutter.IdleMonitor.Test.ChangeBacklight",
              "string:eDP-1", "int32:30"});
    QThread::msleep(1500);
    EXPECT_EQ(ShownBoxes(window), 0);
    driver_.Close(window);
    EXPECT_TRUE(Eventually([&] { return SettingsText(sandbox).contains("Level=3\n"); }))
        << SettingsText(sandbox).toStdString();
    EXPECT_FALSE(CallsSince(Log("mutter"), mark).contains("SetBacklight")) << CallsSince(Log("mutter"), mark).toStdString();
    EXPECT_EQ(sandbox.Brightness(), 50) << "the compositor sets the panel, not the program";
}

TEST_F(DesktopBrightnessTest, Gnome49SetsThePanelThroughMutterWhereThePowerNameServesOnlyTheKeyboard)
{
    SessionBus bus;
    ASSERT_TRUE(bus.Serve(LUMORA_E2E_DIR "/gnome_power_mock.py", kGnomeName, Log("gnome"), kGnome49Power));
    ASSERT_TRUE(bus.Serve(LUMORA_E2E_DIR "/mutter_mock.py", kMutterDisplayName, Log("mutter"), kMutterPanel));
    Sandbox sandbox(100, 50);
    sandbox.UseSessionBus(bus.Address());
    StoreSettings(sandbox, "Level=7\n");
    auto program = Start(sandbox);
    const QString window = driver_.WaitForWindow(kTitle);
    ASSERT_FALSE(window.isEmpty()) << program->Output().toStdString();

    ASSERT_TRUE(Eventually([&] { return ReadText(Log("mutter")).contains("SetBacklight 1 \"eDP-1\" 70\n"); }))
        << ReadText(Log("mutter")).toStdString();
    const qsizetype mark = SettledLog(Log("mutter"));
    bus.Send({"--dest=" + kMutterIdleName, kMutterIdlePath, "org.gnome.Mutter.IdleMonitor.Test.ChangeBacklight",
              "string:eDP-1", "int32:20"});
    QThread::msleep(1500);
    EXPECT_EQ(ShownBoxes(window), 0);
    driver_.Close(window);
    EXPECT_TRUE(Eventually([&] { return SettingsText(sandbox).contains("Level=2\n"); }))
        << SettingsText(sandbox).toStdString();
    EXPECT_FALSE(CallsSince(Log("mutter"), mark).contains("SetBacklight")) << CallsSince(Log("mutter"), mark).toStdString();
    EXPECT_EQ(sandbox.Brightness(), 50);
}

TEST_F(DesktopBrightnessTest, PowerNamesWithoutTheBrightnessInterfaceLeaveThePanelToTheBacklightFileWithoutABox)
{
    struct Case {
        const char* What;
        QString Template;
        QString Name;
        QString Parameters;
    };
    const Case cases[] = {
        {"GNOME 49 with Mutter before 47: the power name serves the keyboard only",
         LUMORA_E2E_DIR "/gnome_power_mock.py", kGnomeName, kGnome49Power},
        {"GNOME <= 48 without a panel, or with it switched off: Brightness -1",
         LUMORA_E2E_DIR "/gnome_power_mock.py", kGnomeName, R"({"brightness": -1})"},
        {"Plasma 5 where the power manager does not handle the backlight",
         LUMORA_E2E_DIR "/kde_brightness_mock.py", kKdeName, R"({"backlight": false})"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        SessionBus bus;
        ASSERT_TRUE(bus.Serve(c.Template, c.Name, Log("service"), c.Parameters));
        Sandbox sandbox(100, 50);
        sandbox.UseSessionBus(bus.Address());
        StoreSettings(sandbox, "Level=7\n");
        auto program = Start(sandbox);
        const QString window = driver_.WaitForWindow(kTitle);
        ASSERT_FALSE(window.isEmpty()) << program->Output().toStdString();
        EXPECT_TRUE(Eventually([&] { return sandbox.Brightness() == 70; })) << sandbox.Brightness();
        QThread::msleep(500);
        EXPECT_EQ(ShownBoxes(window), 0);
        const QString calls = ReadText(Log("service"));
        EXPECT_FALSE(calls.contains("Set ") || calls.contains("setBrightness")) << calls.toStdString();
        driver_.Close(window);
        EXPECT_TRUE(program->WaitForExit(10000));
        QFile::remove(Log("service"));
    }
}

TEST_F(DesktopBrightnessTest, Plasma6UnderScreenBrightnessAppliesTheSavedLevelAndFollowsItsSlider)
{
    SessionBus bus;
    ASSERT_TRUE(bus.Serve(LUMORA_E2E_DIR "/kde6_brightness_mock.py", kScreenBrightnessName, Log("kde6")));
    Sandbox sandbox(100, 50);
    sandbox.UseSessionBus(bus.Address());
    StoreSettings(sandbox, "Level=7\n");
    auto program = Start(sandbox);
    const QString window = driver_.WaitForWindow(kTitle);
    ASSERT_FALSE(window.isEmpty()) << program->Output().toStdString();

    ASSERT_TRUE(Eventually([&] { return ReadText(Log("kde6")).contains("SetBrightness 700 1\n"); }))
        << ReadText(Log("kde6")).toStdString();
    const qsizetype mark = SettledLog(Log("kde6"));
    EXPECT_TRUE(Kde6Brightness(bus, "display0").endsWith("int32 80")) << "the external monitor is not the panel";
    bus.Send({"--dest=" + kScreenBrightnessName, kKde6Root, "org.kde.ScreenBrightness.Test.ChangeElsewhere",
              "string:display1", "int32:400"});
    QThread::msleep(1500);
    EXPECT_EQ(ShownBoxes(window), 0);
    driver_.Close(window);
    EXPECT_TRUE(Eventually([&] { return SettingsText(sandbox).contains("Level=4\n"); }))
        << SettingsText(sandbox).toStdString();
    EXPECT_FALSE(CallsSince(Log("kde6"), mark).contains("SetBrightness ")) << CallsSince(Log("kde6"), mark).toStdString();
    EXPECT_EQ(sandbox.Brightness(), 50);
}
