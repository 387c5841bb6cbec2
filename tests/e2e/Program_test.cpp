// The whole program on a virtual display, driven like a user, against a
// stand-in backlight folder and a temporary home.

#include "Desktop.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <functional>
#include <gtest/gtest.h>

using namespace e2e;

namespace {

const QString kTitle = "Lumora Brightness Control";

QString SettingsText(const Sandbox& sandbox) { return ReadText(sandbox.ConfigHome() + "/Kestrelo/LumoraBrightness.conf"); }

QString AutostartEntry(const Sandbox& sandbox)
{
    return sandbox.ConfigHome() + "/autostart/lumora-brightness-control.desktop";
}

// Answers the message box that is open, if any, with its default button.
bool DismissMessageBox(Driver& driver, const QString& mainWindow)
{
    QString box;
    const bool found = Eventually([&] {
        const QStringList ids = driver.Run({"search", "--onlyvisible", "--name", "^" + kTitle + "$"}).split('\n');
        for (const QString& id : ids)
            if (!id.isEmpty() && id != mainWindow)
                box = id;
        return !box.isEmpty();
    });
    if (!found)
        return false;
    // The window takes clicks again only once the modal box has gone.
    driver.DismissBox(box);
    return true;
}

class ProgramTest : public ::testing::Test {
protected:
    // A notification area on the display: closing the window hides it there
    // (with none, closing ends the program; the desktop tests cover that).
    static void SetUpTestSuite()
    {
        display_ = new VirtualDisplay;
        tray_ = new QProcess;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", display_->Name());
        tray_->setProcessEnvironment(env);
        tray_->setStandardOutputFile(QProcess::nullDevice());
        tray_->setStandardErrorFile(QProcess::nullDevice());
        tray_->start(TRAYER_PROGRAM, {"--edge", "top", "--align", "right", "--SetDockType", "false"});
        tray_->waitForStarted(5000);
        QThread::msleep(500); // trayer takes the tray selection
    }
    static void TearDownTestSuite()
    {
        tray_->kill();
        tray_->waitForFinished(3000);
        delete tray_;
        tray_ = nullptr;
        delete display_;
        display_ = nullptr;
    }

    std::unique_ptr<Program> Start(const Sandbox& sandbox, QStringList extra = {})
    {
        QStringList args{"--backlight-root", sandbox.BacklightRoot(), "--levels", "11"};
        args += extra;
        return std::make_unique<Program>(sandbox, *display_, args);
    }

    static VirtualDisplay* display_;
    static QProcess* tray_;
    Driver driver_{*display_};
};

VirtualDisplay* ProgramTest::display_ = nullptr;
QProcess* ProgramTest::tray_ = nullptr;

} // namespace

TEST_F(ProgramTest, EmptyBacklightFolderSaysNotSupportedAndEnds)
{
    Sandbox sandbox;
    QDir(sandbox.BacklightRoot() + "/acpi_video0").removeRecursively();
    auto program = Start(sandbox);
    const QString box = driver_.WaitForWindow(kTitle, 20000);
    ASSERT_FALSE(box.isEmpty()) << "running " << (program->Process().state() == QProcess::Running) << " exit "
                                << program->ExitCode() << " " << program->Output().toStdString();
    // The box may be mapped a moment before it takes keys: answer until it goes.
    bool ended = false;
    for (int attempt = 0; attempt < 20 && !ended; ++attempt) {
        driver_.Key(box, "Return");
        ended = program->WaitForExit(500);
    }
    EXPECT_TRUE(ended) << program->Output().toStdString() << " windows: "
                       << driver_.Run({"search", "--onlyvisible", "--name", "."}).toStdString() << " box " << box.toStdString();
}

TEST_F(ProgramTest, FirstStartKeepsTheScreensLevelAndCloseKeepsRunningAndSaves)
{
    Sandbox sandbox(100, 50);
    sandbox.ForgetSettings();
    auto program = Start(sandbox);
    const QString window = driver_.WaitForWindow(kTitle);
    ASSERT_FALSE(window.isEmpty()) << program->Output().toStdString();

    // No settings yet: the panel keeps its 50 %, level 5 of 11, and the
    // window shows that level; nothing is written.
    // The start-up finishes half a second after the window shows.
    Eventually([] { return false; }, 1500);
    driver_.Close(window);
    EXPECT_TRUE(driver_.WaitForWindowGone(window));
    EXPECT_FALSE(program->WaitForExit(500)) << "closing the window must not end the program";
    EXPECT_TRUE(Eventually([&] { return SettingsText(sandbox).contains("Level=5"); })) << SettingsText(sandbox).toStdString();
    EXPECT_TRUE(SettingsText(sandbox).contains("RunOnStartup=0"));
    EXPECT_EQ(sandbox.Brightness(), 50) << "a first start writes nothing";
}

TEST_F(ProgramTest, TrackBarDragWritesTheRoundedLevelAndGaugeClickWritesLevelUnderNeedle)
{
    Sandbox sandbox(100, 50);
    auto program = Start(sandbox);
    const QString window = driver_.WaitForWindow(kTitle);
    ASSERT_FALSE(window.isEmpty()) << program->Output().toStdString();
    ASSERT_TRUE(Eventually([&] { return sandbox.Brightness() == 1; }));

    // A drop at 80 on 11 levels is level round(10 x 80 / 100) = 8: 80, not 90.
    driver_.Drag(window, TrackBarAt(0), TrackBarAt(80));
    EXPECT_TRUE(Eventually([&] { return sandbox.Brightness() == 80; })) << sandbox.Brightness();
    QThread::msleep(300);
    EXPECT_EQ(sandbox.Brightness(), 80) << "the thumb stays on the level it was dropped on";

    // The top of the dial is the middle of the scale: level 5.
    driver_.Click(window, Design(141 + 100, 8 + 30));
    EXPECT_TRUE(Eventually([&] { return sandbox.Brightness() == 50; })) << sandbox.Brightness();
}

TEST_F(ProgramTest, SavedSettingsComeBackAtNextStart)
{
    Sandbox sandbox(100, 50);
    {
        auto program = Start(sandbox);
        const QString window = driver_.WaitForWindow(kTitle);
        ASSERT_FALSE(window.isEmpty()) << program->Output().toStdString();
        ASSERT_TRUE(Eventually([&] { return sandbox.Brightness() == 1; }));
        driver_.Drag(window, TrackBarAt(0), TrackBarAt(70)); // level 7
        ASSERT_TRUE(Eventually([&] { return sandbox.Brightness() == 70; }));
        QThread::msleep(1500); // let the needle settle
        driver_.Close(window);
        ASSERT_TRUE(Eventually([&] { return SettingsText(sandbox).contains("Level=7"); }))
            << SettingsText(sandbox).toStdString();
    }
    auto again = Start(sandbox);
    ASSERT_FALSE(driver_.WaitForWindow(kTitle).isEmpty());
    EXPECT_TRUE(Eventually([&] { return sandbox.Brightness() == 70; })) << sandbox.Brightness();
}

TEST_F(ProgramTest, ApplySettingsWritesAndRemovesTheAutostartEntry)
{
    Sandbox sandbox;
    auto program = Start(sandbox);
    const QString window = driver_.WaitForWindow(kTitle);
    ASSERT_FALSE(window.isEmpty()) << program->Output().toStdString();
    ASSERT_TRUE(Eventually([&] { return sandbox.Brightness() == 1; }));

    // A click on the bar beside the knob sends the knob there.
    const QPoint sliderOnSide = Design(558 + 80, 341 + 15);
    const QPoint sliderOffSide = Design(558 + 8, 341 + 15);
    const QPoint apply = Design(558 + 60, 283 + 17);

    // Without a window manager a click right after a modal box closes can be
    // taken as the window's activation; a user would click again, so do we.
    const auto switchAndApply = [&](QPoint side, const std::function<bool()>& done) {
        for (int attempt = 0; attempt < 5 && !done(); ++attempt) {
            driver_.Click(window, side);
            QThread::msleep(600);
            driver_.Click(window, apply);
            DismissMessageBox(driver_, window);
            Eventually(done, 2000);
        }
        return done();
    };
    EXPECT_TRUE(switchAndApply(sliderOnSide, [&] { return QFile::exists(AutostartEntry(sandbox)); }));
    EXPECT_TRUE(ReadText(AutostartEntry(sandbox)).contains("/LaunchOnStartup"));
    EXPECT_TRUE(switchAndApply(sliderOffSide, [&] { return !QFile::exists(AutostartEntry(sandbox)); }));
}

TEST_F(ProgramTest, ChoosingAPictureAppliesTheProfileSavedUnderIt)
{
    Sandbox sandbox(100, 50);
    auto program = Start(sandbox);
    const QString window = driver_.WaitForWindow(kTitle);
    ASSERT_FALSE(window.isEmpty()) << program->Output().toStdString();
    ASSERT_TRUE(Eventually([&] { return sandbox.Brightness() == 1; }));

    // The picker (design 141, 214, 200 x 30) opens its pictures just below
    // itself; the first picture stands 10 pixels inside the list's corner,
    // below its 50-pixel header, and is 70 pixels square.
    const QPoint dropDown = Design(141 + 200 - 8, 214 + 15);
    const QPoint firstPicture = Design(141, 214) + QPoint(-2, Design(0, 30).y() - 3) + QPoint(10 + 35, 50 + 10 + 35);
    const auto choosePicture = [&] {
        driver_.Click(window, dropDown);
        QThread::msleep(800); // the pop-up maps and its first thumbnails arrive
        driver_.Click(window, firstPicture);
        QThread::msleep(500);
    };
    const auto dragTo = [&](double from, double percent, int expected) {
        for (int attempt = 0; attempt < 3 && sandbox.Brightness() != expected; ++attempt) {
            driver_.Drag(window, TrackBarAt(from), TrackBarAt(percent));
            Eventually([&] { return sandbox.Brightness() == expected; }, 2000);
        }
        return sandbox.Brightness() == expected;
    };

    ASSERT_TRUE(dragTo(0, 60, 60));
    choosePicture();
    EXPECT_EQ(sandbox.Brightness(), 60) << "a picture without a profile leaves the brightness alone";

    // Save the level under the chosen picture, move away, choose it again.
    driver_.Click(window, Design(417 + 60, 283 + 17));
    ASSERT_TRUE(DismissMessageBox(driver_, window)) << "the save is confirmed in a message";
    ASSERT_TRUE(Eventually([&] { return SettingsText(sandbox).contains("Level=6"); }))
        << SettingsText(sandbox).toStdString();
    ASSERT_TRUE(dragTo(60, 20, 20)) << sandbox.Brightness();
    choosePicture();
    EXPECT_TRUE(Eventually([&] { return sandbox.Brightness() == 60; })) << sandbox.Brightness();
}

TEST_F(ProgramTest, SecondCopyEndsAtOnceAndBringsTheFirstForward)
{
    Sandbox sandbox;
    auto first = Start(sandbox);
    const QString window = driver_.WaitForWindow(kTitle);
    ASSERT_FALSE(window.isEmpty()) << first->Output().toStdString();
    driver_.Close(window); // hidden in the tray
    ASSERT_TRUE(driver_.WaitForWindowGone(window));

    QElapsedTimer clock;
    clock.start();
    auto second = Start(sandbox);
    ASSERT_TRUE(second->WaitForExit(3000));
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_EQ(second->ExitCode(), 0);
    EXPECT_FALSE(driver_.WaitForWindow(kTitle, 3000).isEmpty()) << "the first copy's window comes forward";
    EXPECT_EQ(first->Process().state(), QProcess::Running);
}

TEST_F(ProgramTest, KilledCopyDoesNotLockTheNextOneOut)
{
    Sandbox sandbox;
    {
        auto first = Start(sandbox);
        ASSERT_FALSE(driver_.WaitForWindow(kTitle).isEmpty()) << first->Output().toStdString();
        first->Process().kill(); // kill -9
        first->WaitForExit(3000);
    }
    auto next = Start(sandbox);
    EXPECT_FALSE(driver_.WaitForWindow(kTitle).isEmpty()) << next->Output().toStdString();
}

TEST_F(ProgramTest, IdleDimmingDropsToTheLowestLevelOnce)
{
    Sandbox sandbox;
    sandbox.SetIdleSeconds(0);
    auto program = Start(sandbox, {"--idle-seconds-file", sandbox.IdleFile(), "--idle-check-interval", "200"});
    const QString window = driver_.WaitForWindow(kTitle);
    ASSERT_FALSE(window.isEmpty()) << program->Output().toStdString();
    ASSERT_TRUE(Eventually([&] { return sandbox.Brightness() == 1; }));
    driver_.Drag(window, TrackBarAt(0), TrackBarAt(100));
    ASSERT_TRUE(Eventually([&] { return sandbox.Brightness() == 100; }));

    // One minute, armed by "Apply Settings".
    // On a 96 pixels-per-inch screen the box stands at left 371.
    const QPoint interval(371 + 16, Design(0, 380 + 16).y());
    driver_.Click(window, interval);
    driver_.Run({"key", "ctrl+a"});
    driver_.Type(window, "1");
    driver_.Click(window, Design(558 + 60, 283 + 17));
    ASSERT_TRUE(DismissMessageBox(driver_, window));
    QThread::msleep(300);

    sandbox.SetIdleSeconds(60); // exactly the interval: not yet
    QThread::msleep(800);
    EXPECT_EQ(sandbox.Brightness(), 100);
    sandbox.SetIdleSeconds(61);
    EXPECT_TRUE(Eventually([&] { return sandbox.Brightness() == 1; })) << sandbox.Brightness();
}

TEST_F(ProgramTest, UnknownOptionIsRefusedWithExitCode2)
{
    Sandbox sandbox;
    Program program(sandbox, *display_, {"--no-such-option"});
    ASSERT_TRUE(program.WaitForExit(5000));
    EXPECT_EQ(program.ExitCode(), 2);
    EXPECT_TRUE(program.Output().contains("--no-such-option"));
}
