// The schedule against a test clock: which profile is in force, when the one
// timer fires, what happens after sleep across a trigger and after a change
// of time zone, the power source and the room's light (with hysteresis), and
// pausing. The clock is a value the tests move; the scheduler's timer is the
// real one.

#include "core/ProfileScheduler.h"

#include "support/EventLoop.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

using namespace lumora;
using lumora::testing::PumpUntil;

namespace {

const TGeoLocation kBerlin{52.52, 13.40};

TScheduledTrigger Entry(const char* profile, const char* trigger)
{
    return {QString::fromLatin1(profile), *ParseTrigger(QString::fromLatin1(trigger))};
}

// A wall clock the test sets, in a zone the test chooses.
struct TestClock {
    QDateTime Now;
    QByteArray Zone = "Europe/Berlin";
    void SetLocal(const QDate& date, const QTime& time) { Now = QDateTime(date, time, QTimeZone(Zone)).toUTC(); }
    void Advance(qint64 secs) { Now = Now.addSecs(secs); }
    TProfileScheduler::Clock Seam()
    {
        return {[this] { return Now; }, [this] { return QTimeZone(Zone); }};
    }
};

// A scheduler whose firings are recorded by profile name.
struct Recorded {
    TestClock clock;
    TProfileScheduler scheduler{clock.Seam()};
    QStringList applied;
    Recorded(std::vector<TScheduledTrigger> schedule)
    {
        scheduler.SetSchedule(std::move(schedule), kBerlin);
        scheduler.OnApply = [this](const TFiring& f) { applied << f.Profile; };
    }
};

const QDate kJune10(2024, 6, 10);

} // namespace

TEST(ProfileScheduler, TheLatestTimedTriggerIsInForceAtStart)
{
    Recorded r({Entry("Morning", "07:00"), Entry("Evening", "18:00")});
    r.clock.SetLocal(kJune10, QTime(12, 0));
    r.scheduler.Recheck();
    EXPECT_EQ(r.applied, QStringList{"Morning"});

    Recorded early({Entry("Morning", "07:00"), Entry("Evening", "18:00")});
    early.clock.SetLocal(kJune10, QTime(3, 0));
    early.scheduler.Recheck();
    EXPECT_EQ(early.applied, QStringList{"Evening"}) << "before the morning, yesterday evening's trigger holds";
}

TEST(ProfileScheduler, OneTimerWaitsForTheNextTrigger)
{
    Recorded r({Entry("Morning", "07:00"), Entry("Evening", "18:00")});
    r.clock.SetLocal(kJune10, QTime(12, 0));
    r.scheduler.Recheck();
    ASSERT_TRUE(r.scheduler.Waiting());
    EXPECT_EQ(r.scheduler.WaitMs(), 6LL * 3600 * 1000);
    ASSERT_TRUE(r.scheduler.Next());
    EXPECT_EQ(r.scheduler.Next()->Profile, "Evening");

    // The timer's look at 18:00 applies the evening and waits for tomorrow.
    r.clock.SetLocal(kJune10, QTime(18, 0));
    r.scheduler.Recheck();
    EXPECT_EQ(r.applied, (QStringList{"Morning", "Evening"}));
    EXPECT_EQ(r.scheduler.WaitMs(), 13LL * 3600 * 1000);
}

TEST(ProfileScheduler, TheTimerFiresAtTheTriggersMoment)
{
    // The test clock runs with real time from 250 ms before the evening.
    QElapsedTimer since;
    const QDateTime start = QDateTime(kJune10, QTime(17, 59, 59, 750), QTimeZone("Europe/Berlin")).toUTC();
    since.start();
    TProfileScheduler scheduler({[&] { return start.addMSecs(since.elapsed()); }, [] { return QTimeZone("Europe/Berlin"); }});
    scheduler.SetSchedule({Entry("Morning", "07:00"), Entry("Evening", "18:00")}, kBerlin);
    QStringList applied;
    scheduler.OnApply = [&](const TFiring& f) { applied << f.Profile; };
    scheduler.Recheck();
    ASSERT_EQ(applied, QStringList{"Morning"});
    EXPECT_LE(scheduler.WaitMs(), 250);
    ASSERT_TRUE(PumpUntil([&] { return applied.size() == 2; }, 5000));
    EXPECT_EQ(applied.last(), "Evening");
    EXPECT_GE(since.elapsed(), 240) << "not before its time";
}

TEST(ProfileScheduler, SleepAcrossATriggerAppliesItOnResume)
{
    Recorded r({Entry("Morning", "07:00"), Entry("Evening", "18:00")});
    r.clock.SetLocal(kJune10, QTime(12, 0));
    r.scheduler.Recheck();
    // Asleep from 12:00 to 19:30: the monotonic timer stood still with the
    // machine and has not fired. The resume notice looks again.
    r.clock.SetLocal(kJune10, QTime(19, 30));
    r.scheduler.Recheck();
    EXPECT_EQ(r.applied, (QStringList{"Morning", "Evening"}));
    EXPECT_EQ(r.scheduler.WaitMs(), (11LL * 3600 + 30 * 60) * 1000) << "and waits for tomorrow's morning";

    // A night's sleep across both triggers: the latest one is in force.
    r.clock.SetLocal(kJune10.addDays(1), QTime(8, 0));
    r.scheduler.Recheck();
    EXPECT_EQ(r.applied.last(), "Morning");
    EXPECT_EQ(r.applied.size(), 3);
}

TEST(ProfileScheduler, ATimeZoneChangeRecomputes)
{
    Recorded r({Entry("Morning", "07:00"), Entry("Evening", "18:00")});
    r.clock.Now = QDateTime(kJune10, QTime(10, 30), QTimeZone::utc()); // 12:30 in Berlin
    r.scheduler.Recheck();
    ASSERT_EQ(r.applied, QStringList{"Morning"});

    // Flown to New York: it is 06:30 there, still yesterday evening's time.
    r.clock.Zone = "America/New_York";
    r.scheduler.Recheck();
    EXPECT_EQ(r.applied, (QStringList{"Morning", "Evening"}));
    EXPECT_EQ(r.scheduler.WaitMs(), 30LL * 60 * 1000) << "New York's morning is half an hour away";

    // And back: Berlin's morning applies again, being a different firing.
    r.clock.Zone = "Europe/Berlin";
    r.scheduler.Recheck();
    EXPECT_EQ(r.applied.last(), "Morning");
}

TEST(ProfileScheduler, AFiringAppliesOnceSoAHandChangeHolds)
{
    Recorded r({Entry("Morning", "07:00"), Entry("Evening", "18:00")});
    r.clock.SetLocal(kJune10, QTime(12, 0));
    r.scheduler.Recheck();
    // Looks at resume, at a clock change, at a restart that remembered the
    // last firing: the morning has been applied, nothing happens.
    r.clock.Advance(3600);
    r.scheduler.Recheck();
    r.scheduler.Recheck();
    Recorded restarted({Entry("Morning", "07:00"), Entry("Evening", "18:00")});
    restarted.clock = r.clock;
    restarted.scheduler.SetLastApplied(r.scheduler.LastApplied());
    restarted.scheduler.Recheck();
    EXPECT_EQ(r.applied, QStringList{"Morning"});
    EXPECT_TRUE(restarted.applied.isEmpty());
}

TEST(ProfileScheduler, PauseHoldsEverything)
{
    Recorded r({Entry("Morning", "07:00"), Entry("Evening", "18:00"), Entry("Battery", "on battery")});
    r.clock.SetLocal(kJune10, QTime(12, 0));
    r.scheduler.Recheck();
    r.scheduler.SetPaused(true);
    EXPECT_FALSE(r.scheduler.Waiting()) << "no timer while paused";
    r.clock.SetLocal(kJune10, QTime(19, 0));
    r.scheduler.Recheck();
    r.scheduler.PowerSourceChanged(true);
    r.scheduler.LightChanged(3);
    EXPECT_EQ(r.applied, QStringList{"Morning"});

    // Unpaused, what is due now applies: the battery, the latest news.
    r.scheduler.SetPaused(false);
    EXPECT_EQ(r.applied, (QStringList{"Morning", "Battery"}));
    EXPECT_TRUE(r.scheduler.Waiting());
}

TEST(ProfileScheduler, PowerSourceSwitchesProfiles)
{
    Recorded r({Entry("Day", "08:00"), Entry("Battery", "on battery"), Entry("Mains", "on mains")});
    r.clock.SetLocal(kJune10, QTime(12, 0));
    r.scheduler.Recheck();
    ASSERT_EQ(r.applied, QStringList{"Day"});
    r.clock.Advance(60);
    r.scheduler.PowerSourceChanged(true);
    r.scheduler.PowerSourceChanged(true); // said twice: one firing
    r.clock.Advance(60);
    r.scheduler.Recheck();
    EXPECT_EQ(r.applied, (QStringList{"Day", "Battery"}));
    r.clock.Advance(60);
    r.scheduler.PowerSourceChanged(false);
    EXPECT_EQ(r.applied.last(), "Mains");

    // The next day's time trigger comes later and wins.
    r.clock.SetLocal(kJune10.addDays(1), QTime(8, 0));
    r.scheduler.Recheck();
    EXPECT_EQ(r.applied.last(), "Day");
}

TEST(ProfileScheduler, PowerSourceAtRestartKeepsTheLastFiring)
{
    Recorded r({Entry("Day", "08:00"), Entry("Battery", "on battery")});
    r.clock.SetLocal(kJune10, QTime(12, 0));
    r.scheduler.PowerSourceChanged(true);
    ASSERT_EQ(r.applied.last(), "Battery");

    // Restarted still on battery: the battery firing is the one remembered.
    Recorded restarted({Entry("Day", "08:00"), Entry("Battery", "on battery")});
    restarted.clock = r.clock;
    restarted.clock.Advance(600);
    restarted.scheduler.SetLastApplied(r.scheduler.LastApplied());
    restarted.scheduler.PowerSourceChanged(true);
    EXPECT_TRUE(restarted.applied.isEmpty()) << "what the user set since is kept";
}

TEST(ProfileScheduler, LightWobblingAroundABoundDoesNotFlicker)
{
    Recorded r({Entry("Dim", "< 50 lx"), Entry("Bright", "> 50 lx")});
    r.clock.SetLocal(kJune10, QTime(12, 0));
    r.scheduler.LightChanged(40);
    ASSERT_EQ(r.applied, QStringList{"Dim"});
    for (double lux : {52.0, 48.0, 53.0, 47.0, 55.0, 49.0})
        r.scheduler.LightChanged(lux);
    EXPECT_EQ(r.applied, QStringList{"Dim"}) << "values wobbling around 50 lx keep the profile";
    r.scheduler.LightChanged(70);
    EXPECT_EQ(r.applied, (QStringList{"Dim", "Bright"}));
    for (double lux : {48.0, 45.0, 52.0, 41.0})
        r.scheduler.LightChanged(lux);
    EXPECT_EQ(r.applied.size(), 2);
    r.scheduler.LightChanged(30);
    EXPECT_EQ(r.applied.last(), "Dim");
}

TEST(ProfileScheduler, QuietAtRest)
{
    Recorded untimed({Entry("Battery", "on battery")});
    untimed.clock.SetLocal(kJune10, QTime(12, 0));
    untimed.scheduler.Recheck();
    EXPECT_FALSE(untimed.scheduler.Waiting()) << "nothing timed, no timer";

    // Tromsø in the polar night: no sunrise for weeks; one look a day.
    TestClock clock;
    clock.Zone = "Europe/Oslo";
    clock.SetLocal(QDate(2024, 12, 21), QTime(12, 0));
    TProfileScheduler polar(clock.Seam());
    polar.SetSchedule({Entry("Day", "sunrise")}, {69.65, 18.96});
    polar.Recheck();
    EXPECT_TRUE(polar.Waiting());
    EXPECT_EQ(polar.WaitMs(), TProfileScheduler::kLongestWaitMs);
}

TEST(ProfileScheduler, SunTriggersFollowTheSeason)
{
    Recorded r({Entry("Day", "sunrise"), Entry("Evening", "sunset - 30 min")});
    r.clock.SetLocal(kJune10, QTime(12, 0));
    r.scheduler.Recheck();
    ASSERT_TRUE(r.scheduler.Next());
    const QTime june = r.scheduler.Next()->At.toTimeZone(QTimeZone("Europe/Berlin")).time();
    r.clock.SetLocal(QDate(2024, 12, 10), QTime(12, 0));
    r.scheduler.Recheck();
    const QTime december = r.scheduler.Next()->At.toTimeZone(QTimeZone("Europe/Berlin")).time();
    // Berlin's sunset: about 21:28 in June, 15:53 in December.
    EXPECT_NEAR(QTime(20, 58).secsTo(june), 0, 5 * 60);
    EXPECT_NEAR(QTime(15, 23).secsTo(december), 0, 5 * 60);
}

TEST(ProfileScheduler, TooltipText)
{
    const QTimeZone berlin("Europe/Berlin");
    const TFiring evening{"Evening", *ParseTrigger("sunset - 30 min"),
                          QDateTime(kJune10, QTime(18, 42), berlin).toUTC()};
    EXPECT_EQ(FiringText(evening, berlin), "Evening at 18:42 (sunset - 30 min)");
    const TFiring morning{"Morning", *ParseTrigger("07:30"), QDateTime(kJune10, QTime(7, 30), berlin).toUTC()};
    EXPECT_EQ(FiringText(morning, berlin), "Morning at 07:30");
}
