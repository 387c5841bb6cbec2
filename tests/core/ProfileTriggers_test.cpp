// Triggers as text (how the settings keep them and the schedule shows them),
// including what hostile or damaged settings may hold, and the moments timed
// triggers fire on a given day, across the clock changes of summer time.

#include "core/ProfileTriggers.h"

#include <gtest/gtest.h>

using namespace lumora;

namespace {
const TGeoLocation kBerlin{52.52, 13.40};
const QTimeZone kBerlinZone("Europe/Berlin");
} // namespace

TEST(ProfileTriggers, TextRoundTrips)
{
    const char* texts[] = {"07:30", "00:00", "23:59", "sunrise", "sunset - 30 min", "sunrise + 15 min",
                           "on battery", "on mains", "< 50 lx", "> 1000 lx", "50-200 lx", "0.5-2.5 lx"};
    for (const char* text : texts) {
        const auto trigger = ParseTrigger(QString::fromLatin1(text));
        ASSERT_TRUE(trigger) << text;
        EXPECT_EQ(TriggerText(*trigger), QString::fromLatin1(text));
    }
}

TEST(ProfileTriggers, LightLevelsReadBackAsWritten)
{
    // Large and finely written values once came back in exponent form or
    // rounded, so a saved trigger changed or vanished on the next start.
    EXPECT_EQ(TriggerText(*ParseTrigger("0-522222 lx")), "0-522222 lx");
    EXPECT_EQ(TriggerText(*ParseTrigger("< 1234.5678 lx")), "< 1234.57 lx");
    EXPECT_EQ(*ParseTrigger(TriggerText(*ParseTrigger("< 1234.5678 lx"))), *ParseTrigger("< 1234.5678 lx"));
    EXPECT_FALSE(ParseTrigger("0-52222200 lx")) << "beyond any light meter";
}

TEST(ProfileTriggers, ReadsLooseSpellings)
{
    EXPECT_EQ(ParseTrigger(" 7:05 ")->Minutes, 7 * 60 + 5);
    EXPECT_EQ(ParseTrigger("Sunset-30")->Minutes, -30);
    EXPECT_EQ(ParseTrigger("SUNRISE +  90 min")->Minutes, 90);
    EXPECT_EQ(ParseTrigger("<50lx")->LuxBelow, 50.0);
    EXPECT_EQ(ParseTrigger("On  Battery")->Kind, TriggerKind::OnBattery);
}

TEST(ProfileTriggers, RefusesWhatIsNoTrigger)
{
    const char* bad[] = {"", "24:00", "07:60", "7", "-1:00", "sunset - 721 min", "sunset * 3", "noon",
                         "< 0 lx", "200-50 lx", "50-50 lx", "< nan lx", "< inf lx", "> -5 lx", "< 1e400 lx",
                         "on battery please", "07:30; 08:00"};
    for (const char* text : bad)
        EXPECT_FALSE(ParseTrigger(QString::fromLatin1(text))) << text;
}

TEST(ProfileTriggers, ListsKeepWhatCanBeRead)
{
    QStringList rejected;
    const auto triggers = ParseTriggerList("07:30; moonrise;; sunset - 10 min ;", &rejected);
    ASSERT_EQ(triggers.size(), 2u);
    EXPECT_EQ(triggers[0].Kind, TriggerKind::TimeOfDay);
    EXPECT_EQ(triggers[1].Kind, TriggerKind::Sunset);
    EXPECT_EQ(rejected, QStringList{"moonrise"});
    EXPECT_EQ(TriggerListText(triggers), "07:30; sunset - 10 min");
    EXPECT_TRUE(ParseTriggerList(QString(1000, u';')).empty());
}

TEST(ProfileTriggers, TimeOfDayIsTheZonesWallClock)
{
    const auto t = ParseTrigger("07:30");
    EXPECT_EQ(TriggerTimeOn(*t, QDate(2024, 1, 15), kBerlin, kBerlinZone),
              QDateTime(QDate(2024, 1, 15), QTime(6, 30), QTimeZone::utc()))
        << "winter: one hour ahead of UTC";
    EXPECT_EQ(TriggerTimeOn(*t, QDate(2024, 7, 15), kBerlin, kBerlinZone),
              QDateTime(QDate(2024, 7, 15), QTime(5, 30), QTimeZone::utc()))
        << "summer: two hours ahead";
}

TEST(ProfileTriggers, ATimeTheClockSkipsStillFires)
{
    // 31 March 2024: Berlin's clocks go from 02:00 to 03:00.
    const auto at = TriggerTimeOn(*ParseTrigger("02:30"), QDate(2024, 3, 31), kBerlin, kBerlinZone);
    ASSERT_TRUE(at);
    EXPECT_EQ(at->toTimeZone(kBerlinZone).date(), QDate(2024, 3, 31));
    EXPECT_GE(at->toTimeZone(kBerlinZone).time(), QTime(3, 0));
}

TEST(ProfileTriggers, SunTriggersCarryTheirOffset)
{
    const auto sunset = TriggerTimeOn(*ParseTrigger("sunset"), QDate(2024, 6, 21), kBerlin, kBerlinZone);
    const auto before = TriggerTimeOn(*ParseTrigger("sunset - 30 min"), QDate(2024, 6, 21), kBerlin, kBerlinZone);
    ASSERT_TRUE(sunset && before);
    EXPECT_EQ(before->secsTo(*sunset), 30 * 60);
    // No sunrise in Tromsø's polar night: the trigger does not fire that day.
    EXPECT_FALSE(TriggerTimeOn(*ParseTrigger("sunrise"), QDate(2024, 12, 21), {69.65, 18.96}, QTimeZone("Europe/Oslo")));
    EXPECT_FALSE(TriggerTimeOn(*ParseTrigger("on battery"), QDate(2024, 12, 21), kBerlin, kBerlinZone));
}

TEST(ProfileTriggers, LuxRangesWithAndWithoutMargin)
{
    const auto dim = *ParseTrigger("< 50 lx");
    const auto mid = *ParseTrigger("50-500 lx");
    EXPECT_TRUE(LuxInRange(dim, 49.9));
    EXPECT_FALSE(LuxInRange(dim, 50)) << "the upper bound is left out";
    EXPECT_TRUE(LuxInRange(mid, 50)) << "the lower bound is taken in";
    EXPECT_TRUE(LuxInRange(dim, 55, 0.2)) << "a range once entered holds a little past its bound";
    EXPECT_FALSE(LuxInRange(dim, 61, 0.2));
    EXPECT_TRUE(LuxInRange(mid, 41, 0.2));
    EXPECT_FALSE(LuxInRange(mid, 39, 0.2));
    EXPECT_FALSE(LuxInRange(dim, std::nan("")));
    EXPECT_FALSE(LuxInRange(*ParseTrigger("07:30"), 10));
}
