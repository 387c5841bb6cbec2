#include "platform/shell/IdleClock.h"
#include "platform/shell/SessionChoice.h"

#include <gtest/gtest.h>

using namespace lumora;

TEST(SessionChoice, IdleSourcesInOrderOfPreference)
{
    SessionFacts all;
    all.ExtIdleNotify = all.KdeIdle = all.MutterIdleMonitor = all.X11ScreenSaver = all.LogindIdle = true;
    EXPECT_EQ(ChooseIdleSource(all), IdleSourceKind::ExtIdleNotify);
    all.ExtIdleNotify = false;
    EXPECT_EQ(ChooseIdleSource(all), IdleSourceKind::KdeIdle);
    all.KdeIdle = false;
    EXPECT_EQ(ChooseIdleSource(all), IdleSourceKind::MutterIdleMonitor);
    all.MutterIdleMonitor = false;
    EXPECT_EQ(ChooseIdleSource(all), IdleSourceKind::X11ScreenSaver);
    all.X11ScreenSaver = false;
    EXPECT_EQ(ChooseIdleSource(all), IdleSourceKind::Logind);
    all.LogindIdle = false;
    EXPECT_EQ(ChooseIdleSource(all), IdleSourceKind::None);
    EXPECT_STREQ(IdleSourceName(IdleSourceKind::None), "none");
}

TEST(SessionChoice, AWaylandSessionNeverTakesX11IdleTimeOrPower)
{
    // Under XWayland the X server sees only input to X11 windows: a user
    // typing in a native window would look idle.
    SessionFacts xwayland;
    xwayland.WaylandSession = true;
    xwayland.X11ScreenSaver = xwayland.X11Dpms = true;
    EXPECT_EQ(ChooseIdleSource(xwayland), IdleSourceKind::None);
    EXPECT_EQ(ChooseMonitorPower(xwayland), MonitorPowerKind::None);
    xwayland.LogindIdle = true;
    EXPECT_EQ(ChooseIdleSource(xwayland), IdleSourceKind::Logind);
    xwayland.KdeIdle = true;
    EXPECT_EQ(ChooseIdleSource(xwayland), IdleSourceKind::KdeIdle);

    SessionFacts x11 = xwayland;
    x11.WaylandSession = false;
    x11.KdeIdle = false;
    EXPECT_EQ(ChooseIdleSource(x11), IdleSourceKind::X11ScreenSaver);
    EXPECT_EQ(ChooseMonitorPower(x11), MonitorPowerKind::X11Dpms);
}

TEST(SessionChoice, MonitorPowerInOrderOfPreference)
{
    SessionFacts all;
    all.WlrOutputPower = all.KdeDpms = all.MutterDisplayConfig = all.X11Dpms = true;
    EXPECT_EQ(ChooseMonitorPower(all), MonitorPowerKind::WlrOutputPower);
    all.WlrOutputPower = false;
    EXPECT_EQ(ChooseMonitorPower(all), MonitorPowerKind::KdeDpms);
    all.KdeDpms = false;
    EXPECT_EQ(ChooseMonitorPower(all), MonitorPowerKind::MutterDisplayConfig);
    all.MutterDisplayConfig = false;
    EXPECT_EQ(ChooseMonitorPower(all), MonitorPowerKind::X11Dpms);
    all.X11Dpms = false;
    EXPECT_EQ(ChooseMonitorPower(all), MonitorPowerKind::None);
}

TEST(IdleClock, DatesTheLastInputTheThresholdBeforeTheIdleNotice)
{
    IdleClock clock(3000);
    EXPECT_EQ(clock.Seconds(100000), 0u) << "active until the compositor says otherwise";
    clock.Idled(10000);                  // no input since 7000
    EXPECT_EQ(clock.Seconds(10000), 3u);
    EXPECT_EQ(clock.Seconds(67999), 60u);
    EXPECT_EQ(clock.Seconds(68000), 61u);
    clock.Idled(50000); // a repeated notice does not move the last input
    EXPECT_EQ(clock.Seconds(68000), 61u);
    clock.Resumed();
    EXPECT_FALSE(clock.Idle());
    EXPECT_EQ(clock.Seconds(70000), 0u);
    clock.Idled(90000);
    EXPECT_EQ(clock.Seconds(90500), 3u);
}

TEST(IdleClock, NeverNegativeNorWrapped)
{
    IdleClock clock(3000);
    clock.Idled(1000); // notice earlier than the threshold after the clock's start
    EXPECT_EQ(clock.Seconds(-5000), 0u) << "a time before the last input";
    EXPECT_EQ(clock.Seconds(1000), 3u);
    EXPECT_EQ(clock.Seconds(qint64(0x1'0000'0000) * 1000 + 10000), 0xFFFFFFFFu);
}
