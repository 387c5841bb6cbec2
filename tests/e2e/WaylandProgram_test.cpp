// Idle dimming of the whole program in the sessions users meet today: on a
// headless sway, natively and through XWayland, and on GNOME's idle monitor.

#include "Desktop.h"
#include "KWin.h"
#include "Mutter.h"
#include "SessionBus.h"
#include "Sway.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>

using namespace e2e;

namespace {

// Stored settings that arm dimming at one minute from start-up, at full
// brightness.
void ArmAtOneMinute(const Sandbox& sandbox)
{
    QDir().mkpath(sandbox.ConfigHome() + "/Kestrelo");
    QFile file(sandbox.ConfigHome() + "/Kestrelo/LumoraBrightness.conf");
    file.open(QIODevice::WriteOnly);
    file.write("[Software\\Kestrelo\\LumoraBrightness]\nLevel=10\nDimInterval=1\n");
}

QStringList Arguments(const Sandbox& sandbox)
{
    // The 55 s watch, every second here, so the drop comes soon after the minute.
    return {"--backlight-root", sandbox.BacklightRoot(), "--levels", "11", "--idle-check-interval", "1000"};
}

// The program as the test user on the compositor, natively ("wayland") or
// through XWayland ("xcb").
class SwayRun {
public:
    explicit SwayRun(const QString& platform)
    {
        ArmAtOneMinute(sandbox_);
        TestUser::Own(sandbox_.Home());
        TestUser::Own(sandbox_.BacklightRoot());
        QProcessEnvironment env = sway_.ClientEnvironment();
        env.insert("HOME", sandbox_.Home());
        env.insert("XDG_CONFIG_HOME", sandbox_.ConfigHome());
        env.insert("QT_QPA_PLATFORM", platform);
        program_.setProcessChannelMode(QProcess::MergedChannels);
        program_.setStandardOutputFile(sandbox_.Home() + "/output");
        TestUser::Start(program_, LUMORA_PROGRAM, Arguments(sandbox_), env);
    }
    ~SwayRun()
    {
        for (QProcess* p : {&program_, &other_}) {
            p->terminate();
            if (!p->waitForFinished(3000))
                p->kill();
            p->waitForFinished(1000);
        }
    }
    // A native Wayland window to type into, which takes the focus.
    void OpenNativeWindow()
    {
        QProcessEnvironment env = sway_.ClientEnvironment();
        env.insert("HOME", sandbox_.Home());
        env.insert("QT_QPA_PLATFORM", "wayland");
        TestUser::Start(other_, LUMORA_GALLERY, {}, env);
    }
    QString Output() const { return ReadText(sandbox_.Home() + "/output"); }
    HeadlessSway& Sway() { return sway_; }
    const Sandbox& Box() const { return sandbox_; }

private:
    HeadlessSway sway_;
    Sandbox sandbox_;
    QProcess program_;
    QProcess other_;
};

// The program natively on KWin's virtual backend.
class KWinRun {
public:
    KWinRun()
    {
        ArmAtOneMinute(sandbox_);
        QProcessEnvironment env = kwin_.ClientEnvironment();
        env.insert("HOME", sandbox_.Home());
        env.insert("XDG_CONFIG_HOME", sandbox_.ConfigHome());
        env.insert("QT_QPA_PLATFORM", "wayland");
        program_.setProcessEnvironment(env);
        program_.setProcessChannelMode(QProcess::MergedChannels);
        program_.setStandardOutputFile(sandbox_.Home() + "/output");
        if (kwin_.Started())
            program_.start(LUMORA_PROGRAM, Arguments(sandbox_));
    }
    ~KWinRun()
    {
        program_.kill();
        program_.waitForFinished(3000);
    }
    QString Output() const { return ReadText(sandbox_.Home() + "/output"); }
    const HeadlessKWin& KWin() const { return kwin_; }
    const Sandbox& Box() const { return sandbox_; }

private:
    HeadlessKWin kwin_;
    Sandbox sandbox_;
    QProcess program_;
};

} // namespace

// Three sessions side by side, so the minute's wait is paid once: nobody at
// the keyboard; someone typing; someone typing in a native window while the
// program runs through XWayland (where the X server sees none of it).
TEST(SwayProgram, DimsAfterTheIntervalOnlyWhenNobodyTypes)
{
    SwayRun quiet("wayland"), typing("wayland"), xwayland("xcb");
    for (SwayRun* run : {&quiet, &typing, &xwayland})
        ASSERT_TRUE(run->Sway().Started()) << run->Sway().Log().toStdString();
    for (SwayRun* run : {&quiet, &typing, &xwayland})
        ASSERT_TRUE(Eventually([&] { return run->Box().Brightness() == 100; }, 20000))
            << run->Output().toStdString();
    xwayland.OpenNativeWindow();
    ASSERT_TRUE(Eventually([&] { return xwayland.Sway().FocusedWindow().contains("gallery"); }, 10000))
        << "focused: " << xwayland.Sway().FocusedWindow().toStdString();

    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 75000 && quiet.Box().Brightness() != 1) {
        typing.Sway().Type("k");
        xwayland.Sway().Type("k");
        QThread::msleep(4000);
    }
    EXPECT_EQ(quiet.Box().Brightness(), 1) << "no drop after the minute: " << quiet.Output().toStdString();
    EXPECT_GT(clock.elapsed(), 50000) << "dimmed before the minute was up";
    // The others keep typing a little past the point where the quiet one dimmed.
    for (int i = 0; i < 3; ++i) {
        typing.Sway().Type("k");
        xwayland.Sway().Type("k");
        QThread::msleep(3000);
    }
    EXPECT_EQ(typing.Box().Brightness(), 100) << typing.Output().toStdString();
    EXPECT_EQ(xwayland.Box().Brightness(), 100) << xwayland.Output().toStdString();

    EXPECT_TRUE(quiet.Output().contains("idle time from the Wayland compositor (org_kde_kwin_idle)"))
        << quiet.Output().toStdString();
    EXPECT_TRUE(xwayland.Output().contains("idle time from the Wayland compositor (org_kde_kwin_idle)"))
        << xwayland.Output().toStdString();
    EXPECT_EQ(quiet.Output().count("idle time from"), 1) << "the choice is said once";
}

// GNOME (here on an X display): the idle monitor on the session bus wins over
// the X screen saver extension.
TEST(MutterProgram, DimsOnTheIdleMonitorsCount)
{
    SessionBus bus;
    // The template claims the display configuration's name after the idle
    // monitor's: once it has an owner, both services are there.
    ASSERT_TRUE(bus.Serve(LUMORA_MUTTER_MOCK, "org.gnome.Mutter.DisplayConfig"));
    VirtualDisplay display;
    Sandbox sandbox;
    ArmAtOneMinute(sandbox);
    QProcess program;
    QProcessEnvironment env = sandbox.Environment(display.Name());
    env.insert("DBUS_SESSION_BUS_ADDRESS", bus.Address());
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.setStandardOutputFile(sandbox.Home() + "/output");
    program.start(LUMORA_PROGRAM, Arguments(sandbox));
    const auto output = [&] { return ReadText(sandbox.Home() + "/output"); };
    QString seen;

    ASSERT_TRUE(Eventually([&] { return sandbox.Brightness() == 100; }, 20000)) << output().toStdString();
    const QStringList setIdle{"--dest=org.gnome.Mutter.IdleMonitor", "/org/gnome/Mutter/IdleMonitor/Core",
                              "org.gnome.Mutter.IdleMonitor.Test.SetIdletime"};
    bus.Send(setIdle + QStringList{"uint64:60999"});
    QThread::msleep(2500);
    EXPECT_EQ(sandbox.Brightness(), 100) << "not yet past the minute";
    bus.Send(setIdle + QStringList{"uint64:61000"});
    EXPECT_TRUE(Eventually([&] { return sandbox.Brightness() == 1; }, 5000));
    seen = output();
    EXPECT_TRUE(seen.contains("idle time from GNOME's idle monitor")) << seen.toStdString();
    program.kill();
    program.waitForFinished(3000);
}

// The program natively on the real Mutter 43 (a GNOME Wayland session), as
// the test user; with `typing`, a key is pressed through Mutter's remote
// desktop every few seconds.
class MutterRun {
public:
    MutterRun()
    {
        ArmAtOneMinute(sandbox_);
        TestUser::Own(sandbox_.Home());
        TestUser::Own(sandbox_.BacklightRoot());
        QProcessEnvironment env = mutter_.ClientEnvironment();
        env.insert("HOME", sandbox_.Home());
        env.insert("XDG_CONFIG_HOME", sandbox_.ConfigHome());
        env.insert("QT_QPA_PLATFORM", "wayland");
        program_.setProcessChannelMode(QProcess::MergedChannels);
        program_.setStandardOutputFile(sandbox_.Home() + "/output");
        if (mutter_.Started())
            TestUser::Start(program_, LUMORA_PROGRAM, Arguments(sandbox_), env);
    }
    ~MutterRun()
    {
        program_.terminate();
        if (!program_.waitForFinished(3000))
            program_.kill();
        program_.waitForFinished(1000);
    }
    QString Output() const { return ReadText(sandbox_.Home() + "/output"); }
    HeadlessMutter& Mutter() { return mutter_; }
    const Sandbox& Box() const { return sandbox_; }

private:
    HeadlessMutter mutter_;
    Sandbox sandbox_;
    QProcess program_;
};

TEST(MutterProgram, OnTheRealMutterDimsAfterTheIntervalOnlyWhenNobodyTypes)
{
    if (!HeadlessMutter::Installed())
        GTEST_SKIP() << "mutter is not installed";
    MutterRun quiet, typing;
    for (MutterRun* run : {&quiet, &typing}) {
        ASSERT_TRUE(run->Mutter().Started()) << run->Mutter().Log().toStdString();
        ASSERT_TRUE(Eventually([&] { return run->Box().Brightness() == 100; }, 20000)) << run->Output().toStdString();
    }
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 75000 && quiet.Box().Brightness() != 1) {
        typing.Mutter().PressKey();
        QThread::msleep(4000);
    }
    EXPECT_EQ(quiet.Box().Brightness(), 1) << "no drop after the minute: " << quiet.Output().toStdString();
    EXPECT_GT(clock.elapsed(), 45000) << "dimmed before the minute was up";
    for (int i = 0; i < 3; ++i) {
        typing.Mutter().PressKey();
        QThread::msleep(3000);
    }
    EXPECT_EQ(typing.Box().Brightness(), 100) << typing.Output().toStdString();
    EXPECT_TRUE(quiet.Output().contains("idle time from GNOME's idle monitor")) << quiet.Output().toStdString();
}

// KWin 5.27 offers ext-idle-notify-v1, which wins; it has no virtual keyboard,
// so the active user is played by its idle protocol's simulated activity.
TEST(KWinProgram, DimsAfterTheIntervalOnlyWithoutActivity)
{
    if (!HeadlessKWin::Installed())
        GTEST_SKIP() << "kwin_wayland is not installed";
    KWinRun quiet, active;
    for (KWinRun* run : {&quiet, &active}) {
        ASSERT_TRUE(run->KWin().Started()) << run->KWin().Log().toStdString();
        ASSERT_TRUE(Eventually([&] { return run->Box().Brightness() == 100; }, 30000)) << run->Output().toStdString();
    }
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 75000 && quiet.Box().Brightness() != 1) {
        active.KWin().SimulateActivity();
        QThread::msleep(4000);
    }
    EXPECT_EQ(quiet.Box().Brightness(), 1) << "no drop after the minute: " << quiet.Output().toStdString();
    EXPECT_GT(clock.elapsed(), 50000) << "dimmed before the minute was up";
    for (int i = 0; i < 3; ++i) {
        active.KWin().SimulateActivity();
        QThread::msleep(3000);
    }
    EXPECT_EQ(active.Box().Brightness(), 100) << active.Output().toStdString();
    EXPECT_TRUE(quiet.Output().contains("idle time from the Wayland compositor (ext-idle-notify-v1)"))
        << quiet.Output().toStdString();
}

// The program's Wayland application id: its menu entry's name.
constexpr char kAppId[] = "org.kestrelo.LumoraBrightness";

// A second copy started on sway brings the first one's window forward, in
// front of the native window that had the focus.
TEST(SwayProgram, ASecondCopyBringsTheFirstForward)
{
    SwayRun first("wayland");
    ASSERT_TRUE(first.Sway().Started()) << first.Sway().Log().toStdString();
    ASSERT_TRUE(Eventually([&] { return first.Box().Brightness() == 100; }, 20000)) << first.Output().toStdString();
    ASSERT_TRUE(Eventually([&] { return first.Sway().FocusedWindow() == kAppId; }, 10000))
        << "focused: " << first.Sway().FocusedWindow().toStdString();
    first.OpenNativeWindow();
    ASSERT_TRUE(Eventually([&] { return first.Sway().FocusedWindow().contains("gallery"); }, 10000));

    QProcess second;
    QProcessEnvironment env = first.Sway().ClientEnvironment();
    env.insert("HOME", first.Box().Home());
    env.insert("XDG_CONFIG_HOME", first.Box().ConfigHome());
    env.insert("QT_QPA_PLATFORM", "wayland");
    TestUser::Start(second, LUMORA_PROGRAM, Arguments(first.Box()), env);
    ASSERT_TRUE(second.waitForFinished(15000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(Eventually([&] { return first.Sway().FocusedWindow() == kAppId; }, 5000))
        << "focused: " << first.Sway().FocusedWindow().toStdString()
        << " urgent: " << first.Sway().Urgent(kAppId);
}
