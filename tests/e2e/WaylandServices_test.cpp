// The session services against the real thing: a headless sway speaking
// org_kde_kwin_idle and wlr-output-power-management, and GNOME's idle monitor
// and display configuration served by dbusmock on a private session bus.

#include "KWin.h"
#include "SessionBus.h"
#include "Sway.h"
#include "support/EventLoop.h"

#include "platform/framework/Application.h"
#include "platform/framework/Exception.h"
#include "platform/shell/MonitorPower.h"
#include "platform/shell/MutterSession.h"
#include "platform/shell/SessionServices.h"
#include "platform/shell/WaylandConnection.h"
#include "platform/shell/WaylandIdleTime.h"
#include "platform/shell/WaylandMonitorPower.h"

#include <QDBusConnection>

#include <gtest/gtest.h>

using namespace lumora;
using lumora::testing::PumpUntil;

namespace {

// One private session bus for this test program, set before anything asks
// for the session bus (Qt keeps the first connection for the process).
class PrivateSessionBus : public ::testing::Environment {
public:
    void SetUp() override
    {
        bus_ = std::make_unique<e2e::SessionBus>();
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus_->Address().toUtf8());
    }
    void TearDown() override { bus_.reset(); }
    static e2e::SessionBus& Bus() { return *bus_; }

private:
    static inline std::unique_ptr<e2e::SessionBus> bus_;
};
[[maybe_unused]] ::testing::Environment* const kBus = ::testing::AddGlobalTestEnvironment(new PrivateSessionBus);

// Points this process's Wayland connections at the compositor.
void UseCompositor(const e2e::HeadlessSway& sway)
{
    qputenv("XDG_RUNTIME_DIR", sway.RuntimeDir().toUtf8());
    qputenv("WAYLAND_DISPLAY", sway.WaylandDisplay().toUtf8());
}

} // namespace

TEST(SwayServices, IdleTimeFollowsTheSeatWithoutPolling)
{
    e2e::HeadlessSway sway;
    ASSERT_TRUE(sway.Started()) << sway.Log().toStdString();
    UseCompositor(sway);
    SessionServices session = OpenSessionServices(false);
    ASSERT_TRUE(session.Wayland);
    EXPECT_TRUE(session.Facts.KdeIdle) << "sway offers org_kde_kwin_idle";
    EXPECT_TRUE(session.Facts.WaylandSession);
    EXPECT_EQ(ChooseIdleSource(session.Facts), IdleSourceKind::KdeIdle);
    EXPECT_EQ(ChooseMonitorPower(session.Facts), MonitorPowerKind::WlrOutputPower);

    WaylandIdleTime idle(session.Wayland);
    EXPECT_EQ(idle.IdleSeconds(), 0u);
    ASSERT_TRUE(PumpUntil([&] { return idle.IdleSeconds() >= 4; }, 15000)) << "no idle notice from the compositor";
    sway.Type("a");
    EXPECT_TRUE(PumpUntil([&] { return idle.IdleSeconds() == 0; }, 5000)) << "typing must count as input";
    EXPECT_TRUE(PumpUntil([&] { return idle.IdleSeconds() >= 3; }, 10000));
}

namespace {

class FixedIdleTime : public IdleTimeSource {
public:
    quint32 IdleSeconds() override { return 42; }
};

} // namespace

// A compositor that goes away while the seat is idle: no "input again" can
// come, so the clock must say active at once rather than stay idle (and dim
// a screen in use later), and the next idle source takes over.
TEST(SwayServices, ALostCompositorReadsActiveAndHandsOverToTheNextSource)
{
    auto sway = std::make_unique<e2e::HeadlessSway>();
    ASSERT_TRUE(sway->Started()) << sway->Log().toStdString();
    UseCompositor(*sway);
    SessionServices session = OpenSessionServices(false);
    ASSERT_TRUE(session.Wayland);
    int made = 0;
    WaylandIdleTime idle(session.Wayland, [&]() -> std::unique_ptr<IdleTimeSource> {
        ++made;
        return std::make_unique<FixedIdleTime>();
    });
    WaylandIdleTime alone(session.Wayland);
    ASSERT_TRUE(PumpUntil([&] { return alone.IdleSeconds() >= 4; }, 15000)) << "no idle notice from the compositor";

    sway.reset();
    ASSERT_TRUE(PumpUntil([&] { return session.Wayland->Closed(); }, 10000)) << "the closed connection goes unnoticed";
    EXPECT_EQ(alone.IdleSeconds(), 0u) << "a lost compositor must read as active";
    EXPECT_EQ(idle.IdleSeconds(), 42u) << "the next idle source takes over";
    EXPECT_EQ(idle.IdleSeconds(), 42u);
    EXPECT_EQ(made, 1);
}

TEST(SwayServices, MonitorOffUntilTheNextInput)
{
    e2e::HeadlessSway sway;
    ASSERT_TRUE(sway.Started()) << sway.Log().toStdString();
    UseCompositor(sway);
    SessionServices session = OpenSessionServices(false);
    ASSERT_TRUE(session.Power);
    TMonitorPower power(std::move(session.Power), 50);
    ASSERT_EQ(sway.OutputPower(), "on");

    power.TurnOff();
    ASSERT_TRUE(PumpUntil([&] { return sway.OutputPower() == "off"; }, 5000)) << "the output stays on";
    // It stays off while nobody touches anything.
    PumpUntil([] { return false; }, 1500);
    EXPECT_EQ(sway.OutputPower(), "off");
    sway.Type("x");
    EXPECT_TRUE(PumpUntil([&] { return sway.OutputPower() == "on"; }, 5000))
        << "the next input must switch it on again";

    // A second time works the same.
    power.TurnOff();
    ASSERT_TRUE(PumpUntil([&] { return sway.OutputPower() == "off"; }, 5000));
    PumpUntil([] { return false; }, 500);
    sway.Type("y");
    EXPECT_TRUE(PumpUntil([&] { return sway.OutputPower() == "on"; }, 5000));
}

TEST(MutterServices, IdleMonitorAndPowerSaveModeOnTheSessionBus)
{
    e2e::SessionBus& bus = PrivateSessionBus::Bus();
    // The template claims the display configuration's name after the idle
    // monitor's: once it has an owner, both services are there.
    ASSERT_TRUE(bus.Serve(LUMORA_MUTTER_MOCK, "org.gnome.Mutter.DisplayConfig"));
    qunsetenv("WAYLAND_DISPLAY");
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected());

    SessionFacts facts = OpenSessionServices(false).Facts;
    EXPECT_TRUE(facts.MutterIdleMonitor);
    EXPECT_TRUE(facts.MutterDisplayConfig);
    EXPECT_EQ(ChooseIdleSource(facts), IdleSourceKind::MutterIdleMonitor);

    const QStringList test{"--dest=org.gnome.Mutter.IdleMonitor", "/org/gnome/Mutter/IdleMonitor/Core"};
    MutterIdleTime idle;
    EXPECT_EQ(idle.IdleSeconds(), 0u);
    bus.Send(test + QStringList{"org.gnome.Mutter.IdleMonitor.Test.SetIdletime", "uint64:61999"});
    EXPECT_EQ(idle.IdleSeconds(), 61u);

    const auto powerSaveMode = [&] {
        return bus.Send({"--dest=org.gnome.Mutter.DisplayConfig", "/org/gnome/Mutter/DisplayConfig",
                         "org.freedesktop.DBus.Properties.Get", "string:org.gnome.Mutter.DisplayConfig",
                         "string:PowerSaveMode"})
            .section("int32", 1)
            .trimmed();
    };
    MutterDisplayPower power;
    power.ForceOff();
    EXPECT_TRUE(PumpUntil([&] { return powerSaveMode() == "3"; }, 5000)) << "after the watch is answered";
    bus.Send(test + QStringList{"org.gnome.Mutter.IdleMonitor.Test.FireUserActive"});
    EXPECT_TRUE(PumpUntil([&] { return powerSaveMode() == "0"; }, 5000)) << "input must switch the monitor on";
    bus.StopServing();
}

TEST(MutterServices, AMissingIdleMonitorReadsZeroAndSaysSoOnce)
{
    MutterIdleTime idle; // nothing served on the bus

    ::testing::internal::CaptureStderr();
    EXPECT_EQ(idle.IdleSeconds(), 0u);
    EXPECT_EQ(idle.IdleSeconds(), 0u);
    const std::string warnings = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(warnings.begin(), warnings.end(), '\n'), 1) << warnings;
    // The failure comes with the answer, through the program's error handler.
    QString failure;
    Application()->OnException = [&](const std::exception& e) { failure = QString::fromUtf8(e.what()); };
    MutterDisplayPower power;
    power.ForceOff();
    EXPECT_TRUE(PumpUntil([&] { return !failure.isEmpty(); }, 5000));
    Application()->OnException = nullptr;
    EXPECT_TRUE(failure.startsWith("The monitor cannot be turned off: GNOME's idle monitor does not answer"))
        << failure.toStdString();
}

TEST(KWinServices, IdleTimeThroughExtIdleNotify)
{
    if (!e2e::HeadlessKWin::Installed())
        GTEST_SKIP() << "kwin_wayland is not installed";
    e2e::HeadlessKWin kwin;
    ASSERT_TRUE(kwin.Started()) << kwin.Log().toStdString();
    qputenv("XDG_RUNTIME_DIR", kwin.RuntimeDir().toUtf8());
    qputenv("WAYLAND_DISPLAY", kwin.WaylandDisplay().toUtf8());
    SessionServices session = OpenSessionServices(false);
    ASSERT_TRUE(session.Wayland);
    EXPECT_EQ(ChooseIdleSource(session.Facts), IdleSourceKind::ExtIdleNotify);
    EXPECT_EQ(ChooseMonitorPower(session.Facts), MonitorPowerKind::KdeDpms);

    WaylandIdleTime idle(session.Wayland);
    ASSERT_TRUE(PumpUntil([&] { return idle.IdleSeconds() >= 4; }, 15000)) << "no idle notice from the compositor";
    kwin.SimulateActivity();
    EXPECT_TRUE(PumpUntil([&] { return idle.IdleSeconds() == 0; }, 5000)) << "activity must end the idle time";
    EXPECT_TRUE(PumpUntil([&] { return idle.IdleSeconds() >= 3; }, 10000));
}

TEST(KWinServices, MonitorOffUntilTheNextActivity)
{
    if (!e2e::HeadlessKWin::Installed())
        GTEST_SKIP() << "kwin_wayland is not installed";
    e2e::HeadlessKWin kwin;
    ASSERT_TRUE(kwin.Started()) << kwin.Log().toStdString();
    if (kwin.OutputDpmsMode() < 0)
        GTEST_SKIP() << "KWin's virtual output does not support DPMS here";
    qputenv("XDG_RUNTIME_DIR", kwin.RuntimeDir().toUtf8());
    qputenv("WAYLAND_DISPLAY", kwin.WaylandDisplay().toUtf8());
    SessionServices session = OpenSessionServices(false);
    ASSERT_TRUE(session.Power);
    TMonitorPower power(std::move(session.Power), 50);
    EXPECT_EQ(kwin.OutputDpmsMode(), 0);
    power.TurnOff();
    EXPECT_TRUE(PumpUntil([&] { return kwin.OutputDpmsMode() == 3; }, 5000));
    kwin.SimulateActivity();
    EXPECT_TRUE(PumpUntil([&] { return kwin.OutputDpmsMode() == 0; }, 5000)) << "KWin wakes the output at input";
}
