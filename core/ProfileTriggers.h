#pragma once

#include "core/SunTimes.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace lumora {

// What makes a profile apply itself.
enum class TriggerKind {
    TimeOfDay, // at a wall-clock time, every day
    Sunrise,   // at sunrise, give or take an offset
    Sunset,    // at sunset, give or take an offset
    OnBattery, // when the machine starts running on its battery
    OnMains,   // when it is plugged in again
    Light,     // when the room's light enters a lux range
};

// One trigger of a profile. Written and read as short text, which is also
// how the settings keep it and how the schedule shows it:
//   "07:30"                       TimeOfDay, Minutes = 450
//   "sunrise", "sunset - 30 min"  Sunrise / Sunset, Minutes = the offset
//   "on battery", "on mains"
//   "< 50 lx", "> 1000 lx", "50-200 lx" (from included, to excluded)
struct TProfileTrigger {
    TriggerKind Kind = TriggerKind::TimeOfDay;
    int Minutes = 0;                 // time of day, or the offset from the sun
    std::optional<double> LuxFrom;   // Light: at least this many lux
    std::optional<double> LuxBelow;  // Light: fewer than this many

    bool IsTimed() const { return Kind == TriggerKind::TimeOfDay || Kind == TriggerKind::Sunrise || Kind == TriggerKind::Sunset; }
    friend bool operator==(const TProfileTrigger&, const TProfileTrigger&) = default;
};

// The longest offset from the sun taken: half a day either way.
inline constexpr int kMaxSunOffsetMinutes = 720;

QString TriggerText(const TProfileTrigger& trigger);
// Reads one trigger as TriggerText writes it, with any spacing and case;
// nullopt for anything else (a time past 23:59, an offset beyond half a day,
// an empty or reversed lux range, a number that is not finite).
std::optional<TProfileTrigger> ParseTrigger(const QString& text);

// A profile's triggers as one settings value: the texts joined by "; ".
QString TriggerListText(const std::vector<TProfileTrigger>& triggers);
// Reads a list; parts that are not triggers are left out and, given
// `rejected`, listed there (settings from a newer version keep working).
std::vector<TProfileTrigger> ParseTriggerList(const QString& text, QStringList* rejected = nullptr);

// The moment a timed trigger fires on the local calendar day `date` in
// `zone`; nullopt for untimed triggers and for the sun's triggers on a day
// the sun does not rise (or set) there. A time of day that the clock skips
// (the hour lost to summer time) fires when the clock reaches past it.
std::optional<QDateTime> TriggerTimeOn(const TProfileTrigger& trigger, const QDate& date, const TGeoLocation& location,
                                       const QTimeZone& zone);

// Whether a lux value lies in a Light trigger's range, widened or narrowed
// by `margin` (a fraction of each bound): with margin > 0 the range is
// left only once the value is clearly out, so a value wobbling around a
// bound does not flip the choice back and forth.
bool LuxInRange(const TProfileTrigger& trigger, double lux, double margin = 0);

} // namespace lumora
