// Sunrise and sunset against almanac times for places from the equator to
// both polar circles, on solstices, equinoxes and the days clocks change;
// and the first guess of the location from the time zone.
//
// The reference rows come from tests/core/sun_reference.py (PyEphem's full
// ephemeris under the almanac's definition), which agree with the times
// national almanac offices publish to the minute.

#include "core/SunTimes.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace lumora;

namespace {

constexpr const char* kUp = "up";     // the sun stays up all day
constexpr const char* kDown = "down"; // it never rises

struct SunRow {
    const char* Place;
    double Latitude;
    double Longitude;
    const char* Zone;
    const char* Date;
    const char* Sunrise; // UTC, or kUp / kDown
    const char* Sunset;
};

const SunRow kRows[] = {
    {"London", 51.5074, -0.1278, "Europe/London", "2024-03-31", "2024-03-31T05:37:14Z", "2024-03-31T18:32:50Z"},
    {"London", 51.5074, -0.1278, "Europe/London", "2024-06-21", "2024-06-21T03:43:14Z", "2024-06-21T20:21:36Z"},
    {"London", 51.5074, -0.1278, "Europe/London", "2024-12-21", "2024-12-21T08:03:57Z", "2024-12-21T15:53:39Z"},
    {"New York", 40.7128, -74.006, "America/New_York", "2024-01-15", "2024-01-15T12:18:05Z", "2024-01-15T21:52:51Z"},
    {"New York", 40.7128, -74.006, "America/New_York", "2024-07-04", "2024-07-04T09:30:33Z", "2024-07-05T00:30:22Z"},
    {"Sydney", -33.8688, 151.2093, "Australia/Sydney", "2024-06-21", "2024-06-20T21:00:05Z", "2024-06-21T06:53:53Z"},
    {"Sydney", -33.8688, 151.2093, "Australia/Sydney", "2024-12-25", "2024-12-24T18:42:58Z", "2024-12-25T09:07:26Z"},
    {"Tokyo", 35.6762, 139.6503, "Asia/Tokyo", "2024-09-22", "2024-09-21T20:29:18Z", "2024-09-22T08:38:15Z"},
    {"Quito", -0.1807, -78.4678, "America/Guayaquil", "2024-03-20", "2024-03-20T11:17:51Z", "2024-03-20T23:24:21Z"},
    {"Honolulu", 21.3069, -157.8583, "Pacific/Honolulu", "2024-11-01", "2024-11-01T16:34:49Z", "2024-11-02T03:54:53Z"},
    {"Auckland", -36.8485, 174.7633, "Pacific/Auckland", "2024-04-07", "2024-04-06T18:39:35Z", "2024-04-07T06:05:59Z"},
    {"Reykjavik", 64.1466, -21.9426, "Atlantic/Reykjavik", "2024-06-21", "2024-06-21T02:55:25Z", "2024-06-22T00:03:52Z"},
    {"Reykjavik", 64.1466, -21.9426, "Atlantic/Reykjavik", "2024-12-21", "2024-12-21T11:22:31Z", "2024-12-21T15:29:39Z"},
    {"Tromso", 69.6492, 18.9553, "Europe/Oslo", "2024-03-20", "2024-03-20T04:41:43Z", "2024-03-20T17:03:28Z"},
    {"Tromso", 69.6492, 18.9553, "Europe/Oslo", "2024-06-21", kUp, kUp},
    {"Tromso", 69.6492, 18.9553, "Europe/Oslo", "2024-12-21", kDown, kDown},
    {"McMurdo", -77.85, 166.67, "Antarctica/McMurdo", "2024-06-21", kDown, kDown},
    {"McMurdo", -77.85, 166.67, "Antarctica/McMurdo", "2024-12-21", kUp, kUp},
};

// The 2 minutes the schedule promises.
constexpr qint64 kToleranceSecs = 120;

void ExpectTime(const std::optional<QDateTime>& got, const char* want, const QString& what)
{
    ASSERT_TRUE(got.has_value()) << what.toStdString();
    const QDateTime expected = QDateTime::fromString(QString::fromLatin1(want), Qt::ISODate);
    ASSERT_TRUE(expected.isValid());
    EXPECT_LE(std::llabs(got->secsTo(expected)), kToleranceSecs)
        << what.toStdString() << ": got " << got->toString(Qt::ISODate).toStdString() << ", almanac " << want;
}

} // namespace

TEST(SunTimes, AgreeWithTheAlmanacWithinTwoMinutes)
{
    for (const SunRow& row : kRows) {
        const QString what = QStringLiteral("%1 %2").arg(QLatin1String(row.Place), QLatin1String(row.Date));
        const QTimeZone zone(row.Zone);
        ASSERT_TRUE(zone.isValid()) << row.Zone;
        const TSunDay day =
            SunTimesOn(QDate::fromString(QLatin1String(row.Date), Qt::ISODate), {row.Latitude, row.Longitude}, zone);
        if (row.Sunrise == kUp || row.Sunrise == kDown) {
            EXPECT_EQ(day.Kind, row.Sunrise == kUp ? SunDayKind::PolarDay : SunDayKind::PolarNight) << what.toStdString();
            EXPECT_FALSE(day.Sunrise) << what.toStdString();
            EXPECT_FALSE(day.Sunset) << what.toStdString();
            continue;
        }
        EXPECT_EQ(day.Kind, SunDayKind::RisesAndSets) << what.toStdString();
        ExpectTime(day.Sunrise, row.Sunrise, what + " sunrise");
        ExpectTime(day.Sunset, row.Sunset, what + " sunset");
    }
}

TEST(SunTimes, TheDayIsTheZonesCalendarDay)
{
    // Sydney's sunrise on the 25th is still the 24th in UTC, and Honolulu's
    // sunset on the 1st is the 2nd: the local day decides which sun is meant.
    const TSunDay sydney = SunTimesOn(QDate(2024, 12, 25), {-33.8688, 151.2093}, QTimeZone("Australia/Sydney"));
    ASSERT_TRUE(sydney.Sunrise);
    EXPECT_EQ(sydney.Sunrise->toTimeZone(QTimeZone("Australia/Sydney")).date(), QDate(2024, 12, 25));
    const TSunDay honolulu = SunTimesOn(QDate(2024, 11, 1), {21.3069, -157.8583}, QTimeZone("Pacific/Honolulu"));
    ASSERT_TRUE(honolulu.Sunset);
    EXPECT_EQ(honolulu.Sunset->toTimeZone(QTimeZone("Pacific/Honolulu")).date(), QDate(2024, 11, 1));
}

TEST(SunTimes, NonsenseInGivesNoTimes)
{
    const TSunDay offTheMap = SunTimesOn(QDate(2024, 6, 21), {91, 0}, QTimeZone::utc());
    EXPECT_FALSE(offTheMap.Sunrise);
    EXPECT_FALSE(offTheMap.Sunset);
    const TSunDay notANumber = SunTimesOn(QDate(2024, 6, 21), {std::nan(""), 0}, QTimeZone::utc());
    EXPECT_FALSE(notANumber.Sunrise);
    EXPECT_FALSE(SunTimesOn(QDate(), {50, 0}, QTimeZone::utc()).Sunrise);
}

TEST(SunTimes, DefaultLocationIsTheZonesCity)
{
    const auto berlin = DefaultLocationForZone("Europe/Berlin");
    ASSERT_TRUE(berlin);
    EXPECT_NEAR(berlin->Latitude, 52.5, 0.1);
    EXPECT_NEAR(berlin->Longitude, 13.4, 0.1);
    const auto sydney = DefaultLocationForZone("Australia/Sydney");
    ASSERT_TRUE(sydney);
    EXPECT_LT(sydney->Latitude, 0) << "south is negative";
    EXPECT_FALSE(DefaultLocationForZone("Etc/UTC")) << "a zone with no city gives no guess";
    EXPECT_FALSE(DefaultLocationForZone(""));
}
