#include "tray/SimpleTimer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

using namespace lumora;

namespace {
// Runs the event loop until the condition holds or a generous deadline passes.
template <typename Pred>
bool WaitFor(Pred done, int ms = 2000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}
} // namespace

TEST(SimpleTimer, ZeroPeriodStaysOffAndReportsFailure)
{
    TSimpleTimer timer(0, nullptr);
    EXPECT_FALSE(timer.StartTicking());
    EXPECT_FALSE(timer.Ticking());
    EXPECT_EQ(TSimpleTimerHandler::Instance()->RunningCount(), 0);
}

TEST(SimpleTimer, SharedHandlerLivesWhileAnyTimerExists)
{
    ASSERT_EQ(TSimpleTimerHandler::Instance(), nullptr);
    {
        TSimpleTimer a;
        TSimpleTimer b;
        EXPECT_EQ(TSimpleTimerHandler::Instance()->TimerCount(), 2);
    }
    EXPECT_EQ(TSimpleTimerHandler::Instance(), nullptr);
    TSimpleTimer c;
    EXPECT_NE(TSimpleTimerHandler::Instance(), nullptr);
}

TEST(SimpleTimer, TicksCallHandlerAndOneShotStopsItself)
{
    int ticks = 0;
    TSimpleTimer timer(5, [&](TObject* sender) {
        EXPECT_NE(sender, nullptr);
        ++ticks;
    });
    timer.SetOneShot(true);
    ASSERT_TRUE(timer.StartTicking());
    EXPECT_TRUE(WaitFor([&] { return ticks > 0; }));
    EXPECT_FALSE(timer.Ticking());
    EXPECT_EQ(TSimpleTimerHandler::Instance()->RunningCount(), 0);
    WaitFor([] { return false; }, 30);
    EXPECT_EQ(ticks, 1);
}

TEST(SimpleTimer, StartingTwiceRestartsWithOnePlatformTimer)
{
    TSimpleTimer timer(1000, [](TObject*) {});
    ASSERT_TRUE(timer.StartTicking());
    ASSERT_TRUE(timer.StartTicking());
    EXPECT_EQ(TSimpleTimerHandler::Instance()->RunningCount(), 1);
    EXPECT_TRUE(timer.StopTicking(true));
    EXPECT_FALSE(timer.StopTicking(true)); // nothing left to kill
    EXPECT_EQ(TSimpleTimerHandler::Instance()->RunningCount(), 0);
}

TEST(SimpleTimer, PeriodZeroOrNoHandlerStopsPlatformTimerButKeepsFlag)
{
    TSimpleTimer timer(1000, [](TObject*) {});
    timer.SetTicking(true);
    timer.SetTickPeriod(0);
    EXPECT_TRUE(timer.Ticking());
    EXPECT_EQ(TSimpleTimerHandler::Instance()->RunningCount(), 0);

    timer.SetTickPeriod(500);
    EXPECT_EQ(TSimpleTimerHandler::Instance()->RunningCount(), 1);
    timer.SetOnTick(nullptr);
    EXPECT_TRUE(timer.Ticking());
    EXPECT_EQ(TSimpleTimerHandler::Instance()->RunningCount(), 0);
}
