// The program's own X connections against a real X server (Xvfb) that the
// test starts and stops: X errors are reported, and a server that goes away
// leaves the program running with idle time reading "active". And what
// "Turn Off Monitor" does to the user's DPMS setting.

#include "platform/shell/IdleTime.h"
#include "platform/shell/MonitorPower.h"
#include "platform/shell/X11Display.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include <gtest/gtest.h>

// X11 last: its macros collide with Qt and test names.
#include <X11/Xlib.h>

using namespace lumora;

namespace {

// An Xvfb of the test's own; its display name once it is ready.
class Xvfb {
public:
    Xvfb()
    {
        const QString program = QStandardPaths::findExecutable("Xvfb");
        if (program.isEmpty())
            return;
        // -displayfd 1: the server picks a free display and writes its
        // number on standard output once it accepts clients.
        server_.start(program, {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "320x240x24"});
        if (!server_.waitForStarted(5000))
            return;
        QElapsedTimer clock;
        clock.start();
        while (!server_.canReadLine() && clock.elapsed() < 10000)
            server_.waitForReadyRead(200);
        const QByteArray number = server_.readLine().trimmed();
        if (!number.isEmpty())
            name_ = ":" + number;
    }
    ~Xvfb() { Stop(); }
    void Stop()
    {
        if (server_.state() == QProcess::NotRunning)
            return;
        server_.kill();
        server_.waitForFinished(5000);
    }
    bool Started() const { return !name_.isEmpty(); }
    const QByteArray& Name() const { return name_; }

private:
    QProcess server_;
    QByteArray name_;
};

// DPMS as a server keeps it: enabled or not, and the monitor's level.
class RecordedDpms : public DpmsCalls {
public:
    bool enabled = false;
    bool on = true;
    int enables = 0;
    int disables = 0;
    bool Enabled() override { return enabled; }
    bool MonitorOn() override { return on; }
    void SetEnabled(bool value) override
    {
        enabled = value;
        ++(value ? enables : disables);
        // Disabling DPMS switches the monitor on, as an X server does.
        if (!value)
            on = true;
    }
    void ForceOff() override
    {
        if (enabled)
            on = false;
    }
};

} // namespace

TEST(ShellX11, AnXErrorIsReportedAndTheProgramGoesOn)
{
    Xvfb server;
    if (!server.Started())
        GTEST_SKIP() << "Xvfb is not available";
    std::unique_ptr<X11Display> connection = X11Display::Open(server.Name().constData());
    ASSERT_TRUE(connection);
    Display* display = static_cast<Display*>(connection->Handle());
    ::testing::internal::CaptureStderr();
    // A window that does not exist: BadWindow, which Xlib's default handler
    // answers with exit().
    XDestroyWindow(display, 0x1fffffff);
    XSync(display, False);
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("X error on the idle time or monitor power connection"), std::string::npos) << said;
    EXPECT_FALSE(connection->Lost());
}

TEST(ShellX11, AServerThatGoesAwayLeavesIdleTimeActiveAndTheProgramRunning)
{
    Xvfb server;
    if (!server.Started())
        GTEST_SKIP() << "Xvfb is not available";
    std::unique_ptr<X11IdleTime> idle = X11IdleTime::Open(server.Name().constData());
    ASSERT_TRUE(idle) << "Xvfb has the screen saver extension";
    idle->IdleSeconds();

    server.Stop();
    ::testing::internal::CaptureStderr();
    // Before, Xlib ended the whole program here.
    EXPECT_EQ(idle->IdleSeconds(), 0u);
    EXPECT_EQ(idle->IdleSeconds(), 0u);
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("closed the connection; idle time reads as active"), std::string::npos) << said;
    idle.reset(); // closing a broken connection is safe
}

TEST(ShellDpms, TurningOffLeavesDpmsAsTheUserHadIt)
{
    // Disabled by the user: enabled for the power-off, disabled again once
    // the next input has switched the monitor on, and not before.
    RecordedDpms dpms;
    DpmsPowerOff off;
    off.TurnOff(dpms);
    EXPECT_FALSE(dpms.on);
    EXPECT_TRUE(off.RestorePending());
    EXPECT_FALSE(off.RestoreIfOn(dpms)) << "still off: disabling now would wake it";
    EXPECT_FALSE(dpms.on);
    dpms.on = true; // input
    EXPECT_TRUE(off.RestoreIfOn(dpms));
    EXPECT_FALSE(dpms.enabled);
    EXPECT_EQ(dpms.disables, 1);

    // Enabled by the user: left enabled, nothing to undo.
    RecordedDpms user;
    user.enabled = true;
    DpmsPowerOff again;
    again.TurnOff(user);
    EXPECT_FALSE(user.on);
    EXPECT_TRUE(again.RestoreIfOn(user));
    EXPECT_TRUE(user.enabled);
    EXPECT_EQ(user.enables + user.disables, 0);
}

namespace {

// A display power that has something to undo until told the monitor is on.
class SettlingPower : public DisplayPower {
public:
    int offs = 0;
    int asks = 0;
    bool monitorOn = false;
    void ForceOff() override { ++offs; }
    bool Settle() override
    {
        ++asks;
        return monitorOn;
    }
};

void Wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

TEST(ShellDpms, TheSettleTimerRunsOnlyUntilTheMonitorIsOnAgain)
{
    auto backend = std::make_unique<SettlingPower>();
    SettlingPower& power = *backend;
    EXPECT_EQ(TMonitorPower::kSettleIntervalMs, 1000);
    TMonitorPower monitor(std::move(backend), 10, 20);
    EXPECT_FALSE(monitor.Settling());
    monitor.TurnOff();
    Wait(100);
    EXPECT_EQ(power.offs, 1);
    EXPECT_TRUE(monitor.Settling()) << "the monitor is still off";
    EXPECT_GT(power.asks, 1);
    power.monitorOn = true;
    Wait(100);
    EXPECT_FALSE(monitor.Settling()) << "no timer once nothing is left to undo";
    const int asks = power.asks;
    Wait(100);
    EXPECT_EQ(power.asks, asks);
}
