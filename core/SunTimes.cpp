#include "core/SunTimes.h"

#include <QHash>

#include <cmath>
#include <numbers>

namespace lumora {

namespace {

constexpr double kRefractedHorizon = 90.833; // zenith of the sun's centre at rise and set
constexpr qint64 kMsPerDay = 86400000;

double Rad(double deg) { return deg * std::numbers::pi / 180.0; }
double Deg(double rad) { return rad * 180.0 / std::numbers::pi; }

// The sun's declination and the equation of time (minutes) at a moment.
struct SolarPosition {
    double Declination = 0;
    double EquationOfTime = 0;
};

SolarPosition SolarPositionAt(qint64 utcMs)
{
    const double julianDay = 2440587.5 + double(utcMs) / double(kMsPerDay);
    const double t = (julianDay - 2451545.0) / 36525.0; // Julian centuries since J2000
    const double meanLong = std::fmod(280.46646 + t * (36000.76983 + t * 0.0003032), 360.0);
    const double meanAnom = 357.52911 + t * (35999.05029 - 0.0001537 * t);
    const double eccent = 0.016708634 - t * (0.000042037 + 0.0000001267 * t);
    const double centre = std::sin(Rad(meanAnom)) * (1.914602 - t * (0.004817 + 0.000014 * t)) +
                          std::sin(Rad(2 * meanAnom)) * (0.019993 - 0.000101 * t) +
                          std::sin(Rad(3 * meanAnom)) * 0.000289;
    const double omega = 125.04 - 1934.136 * t;
    const double apparentLong = meanLong + centre - 0.00569 - 0.00478 * std::sin(Rad(omega));
    const double meanObliquity = 23 + (26 + (21.448 - t * (46.815 + t * (0.00059 - t * 0.001813))) / 60) / 60;
    const double obliquity = meanObliquity + 0.00256 * std::cos(Rad(omega));
    const double y = std::pow(std::tan(Rad(obliquity / 2)), 2);

    SolarPosition p;
    p.Declination = Deg(std::asin(std::sin(Rad(obliquity)) * std::sin(Rad(apparentLong))));
    p.EquationOfTime = 4 * Deg(y * std::sin(2 * Rad(meanLong)) - 2 * eccent * std::sin(Rad(meanAnom)) +
                               4 * eccent * y * std::sin(Rad(meanAnom)) * std::cos(2 * Rad(meanLong)) -
                               0.5 * y * y * std::sin(4 * Rad(meanLong)) -
                               1.25 * eccent * eccent * std::sin(2 * Rad(meanAnom)));
    return p;
}

// cos of the hour angle at which the sun's centre reaches the refracted
// horizon; outside [-1, 1] it never does that day.
double CosHourAngle(double latitude, double declination)
{
    return std::cos(Rad(kRefractedHorizon)) / (std::cos(Rad(latitude)) * std::cos(Rad(declination))) -
           std::tan(Rad(latitude)) * std::tan(Rad(declination));
}

// Solar noon of the solar day that starts at `dayStartMs` (UTC midnight).
qint64 SolarNoonMs(qint64 dayStartMs, double longitude)
{
    qint64 noon = dayStartMs + qint64((720 - 4 * longitude) * 60000);
    // The equation of time barely moves in a day: once is enough.
    noon = dayStartMs + qint64((720 - 4 * longitude - SolarPositionAt(noon).EquationOfTime) * 60000);
    return noon;
}

// The moment of rise (sign -1) or set (+1) of the solar day starting at
// dayStartMs, refined by evaluating the sun at the moment found; nullopt
// when the sun does not cross the horizon.
std::optional<qint64> SunEventMs(qint64 dayStartMs, const TGeoLocation& at, int sign)
{
    qint64 estimate = SolarNoonMs(dayStartMs, at.Longitude);
    for (int i = 0; i < 4; ++i) {
        const SolarPosition p = SolarPositionAt(estimate);
        const double cosH = CosHourAngle(at.Latitude, p.Declination);
        if (!(cosH >= -1 && cosH <= 1))
            return std::nullopt;
        const double hourAngle = Deg(std::acos(cosH));
        estimate = dayStartMs + qint64((720 - 4 * (at.Longitude - sign * hourAngle) - p.EquationOfTime) * 60000);
    }
    return estimate;
}

} // namespace

bool IsGeoLocation(const TGeoLocation& l)
{
    return l.Latitude >= -90 && l.Latitude <= 90 && l.Longitude >= -180 && l.Longitude <= 180;
}

TSunDay SunTimesOn(const QDate& date, const TGeoLocation& location, const QTimeZone& zone)
{
    TSunDay day;
    if (!date.isValid() || !IsGeoLocation(location))
        return day;
    // The solar day whose noon falls on `date` in the zone: with the zone's
    // offset far from the longitude's, that is the UTC day before or after.
    qint64 dayStart = QDateTime(date, QTime(0, 0), QTimeZone::utc()).toMSecsSinceEpoch();
    for (int i = 0; i < 2; ++i) {
        const QDate noonDate = QDateTime::fromMSecsSinceEpoch(SolarNoonMs(dayStart, location.Longitude), zone).date();
        dayStart += noonDate.daysTo(date) * kMsPerDay;
    }

    const auto rise = SunEventMs(dayStart, location, -1);
    const auto set = SunEventMs(dayStart, location, +1);
    if (rise)
        day.Sunrise = QDateTime::fromMSecsSinceEpoch(*rise, QTimeZone::utc());
    if (set)
        day.Sunset = QDateTime::fromMSecsSinceEpoch(*set, QTimeZone::utc());
    if (!rise && !set) {
        const double cosH = CosHourAngle(location.Latitude,
                                         SolarPositionAt(SolarNoonMs(dayStart, location.Longitude)).Declination);
        day.Kind = cosH < -1 ? SunDayKind::PolarDay : SunDayKind::PolarNight;
    }
    return day;
}

std::optional<TGeoLocation> DefaultLocationForZone(const QByteArray& ianaId)
{
    // One city per zone, the one the zone is named after (or the capital
    // where the zone bears a region's name); a best guess, which the user
    // corrects in the schedule.
    static const QHash<QByteArray, TGeoLocation> kCities = {
        {"Africa/Cairo", {30.04, 31.24}},          {"Africa/Johannesburg", {-26.20, 28.05}},
        {"Africa/Lagos", {6.52, 3.38}},            {"Africa/Nairobi", {-1.29, 36.82}},
        {"America/Anchorage", {61.22, -149.90}},   {"America/Argentina/Buenos_Aires", {-34.60, -58.38}},
        {"America/Bogota", {4.71, -74.07}},        {"America/Chicago", {41.88, -87.63}},
        {"America/Denver", {39.74, -104.99}},      {"America/Halifax", {44.65, -63.58}},
        {"America/Los_Angeles", {34.05, -118.24}}, {"America/Mexico_City", {19.43, -99.13}},
        {"America/New_York", {40.71, -74.01}},     {"America/Phoenix", {33.45, -112.07}},
        {"America/Sao_Paulo", {-23.55, -46.63}},   {"America/Toronto", {43.65, -79.38}},
        {"America/Vancouver", {49.28, -123.12}},   {"Asia/Bangkok", {13.76, 100.50}},
        {"Asia/Dubai", {25.20, 55.27}},            {"Asia/Hong_Kong", {22.32, 114.17}},
        {"Asia/Jakarta", {-6.21, 106.85}},         {"Asia/Jerusalem", {31.77, 35.21}},
        {"Asia/Kolkata", {22.57, 88.36}},          {"Asia/Seoul", {37.57, 126.98}},
        {"Asia/Shanghai", {31.23, 121.47}},        {"Asia/Singapore", {1.35, 103.82}},
        {"Asia/Tehran", {35.69, 51.39}},           {"Asia/Tokyo", {35.68, 139.69}},
        {"Atlantic/Reykjavik", {64.15, -21.94}},   {"Australia/Adelaide", {-34.93, 138.60}},
        {"Australia/Brisbane", {-27.47, 153.03}},  {"Australia/Melbourne", {-37.81, 144.96}},
        {"Australia/Perth", {-31.95, 115.86}},     {"Australia/Sydney", {-33.87, 151.21}},
        {"Europe/Amsterdam", {52.37, 4.90}},       {"Europe/Athens", {37.98, 23.73}},
        {"Europe/Berlin", {52.52, 13.40}},         {"Europe/Brussels", {50.85, 4.35}},
        {"Europe/Dublin", {53.35, -6.26}},         {"Europe/Helsinki", {60.17, 24.94}},
        {"Europe/Istanbul", {41.01, 28.98}},       {"Europe/Kyiv", {50.45, 30.52}},
        {"Europe/Lisbon", {38.72, -9.14}},         {"Europe/London", {51.51, -0.13}},
        {"Europe/Madrid", {40.42, -3.70}},         {"Europe/Moscow", {55.76, 37.62}},
        {"Europe/Oslo", {59.91, 10.75}},           {"Europe/Paris", {48.86, 2.35}},
        {"Europe/Prague", {50.08, 14.44}},         {"Europe/Rome", {41.90, 12.50}},
        {"Europe/Stockholm", {59.33, 18.07}},      {"Europe/Vienna", {48.21, 16.37}},
        {"Europe/Warsaw", {52.23, 21.01}},         {"Europe/Zurich", {47.38, 8.54}},
        {"Pacific/Auckland", {-36.85, 174.76}},    {"Pacific/Honolulu", {21.31, -157.86}},
    };
    const auto it = kCities.constFind(ianaId);
    if (it == kCities.constEnd())
        return std::nullopt;
    return *it;
}

} // namespace lumora
