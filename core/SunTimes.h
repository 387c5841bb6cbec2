#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTimeZone>

#include <optional>

namespace lumora {

// A place on Earth in degrees: north and east positive.
struct TGeoLocation {
    double Latitude = 0;
    double Longitude = 0;
    friend bool operator==(const TGeoLocation&, const TGeoLocation&) = default;
};

// Whether `location` is a place: both numbers finite and in range.
bool IsGeoLocation(const TGeoLocation& location);

// How the sun behaves on one local day at one place.
enum class SunDayKind {
    RisesAndSets, // both times are given
    PolarDay,     // above the horizon all day: neither time
    PolarNight,   // below it all day: neither time
};

struct TSunDay {
    SunDayKind Kind = SunDayKind::RisesAndSets;
    std::optional<QDateTime> Sunrise; // in UTC
    std::optional<QDateTime> Sunset;  // in UTC
};

// Sunrise and sunset on the local calendar day `date` in `zone` at
// `location`: the moments the sun's upper edge crosses the horizon, with the
// usual allowance for refraction (the centre 0.833 degrees below it). The
// solar position follows the NOAA solar calculator, refined at each event;
// it agrees with published almanac times to about a minute away from the
// poles. On a day when the sun rises but does not set (or the other way
// round), near the polar circles, the missing time is empty and the kind
// stays RisesAndSets.
TSunDay SunTimesOn(const QDate& date, const TGeoLocation& location, const QTimeZone& zone);

// The location of the main city of a time zone ("Europe/Berlin" gives
// Berlin), for a first guess of where the machine is; nullopt for zones not
// in the program's small table.
std::optional<TGeoLocation> DefaultLocationForZone(const QByteArray& ianaId);

} // namespace lumora
