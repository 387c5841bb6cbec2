#pragma once

#include "core/ProfileTriggers.h"

#include <QDateTime>
#include <QString>
#include <QTimeZone>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QTimer;

namespace lumora {

// A trigger and the profile it applies.
struct TScheduledTrigger {
    QString Profile;
    TProfileTrigger Trigger;
    friend bool operator==(const TScheduledTrigger&, const TScheduledTrigger&) = default;
};

// A trigger that fired (or fires) at a moment, UTC.
struct TFiring {
    QString Profile;
    TProfileTrigger Trigger;
    QDateTime At;
    friend bool operator==(const TFiring&, const TFiring&) = default;
};

// The latest timed firing at or before `now`, and the first one after it,
// looking a few days either way (enough for a daily schedule; a sun trigger
// in the polar night is simply absent). Ties go to the trigger listed first.
std::optional<TFiring> LastTimedFiring(const std::vector<TScheduledTrigger>& schedule, const QDateTime& now,
                                       const TGeoLocation& location, const QTimeZone& zone);
std::optional<TFiring> NextTimedFiring(const std::vector<TScheduledTrigger>& schedule, const QDateTime& now,
                                       const TGeoLocation& location, const QTimeZone& zone);

// Decides which profile should be in force and applies it when a trigger
// fires: the profile in force is the one whose trigger fired last. A timed
// trigger fires at its moment; a power-source trigger when the machine is
// found on that source (at the first word of it, and at every switch); a
// light trigger when the room's light enters its range.
//
// A firing is applied once. What the user then sets by hand holds until
// another trigger fires: looking again (after sleep, a clock or time-zone
// change, a restart with the last firing remembered) finds the same firing
// and leaves the level alone. A change of time zone may make another timed
// trigger the latest one; that one then applies.
//
// At rest exactly one single-shot timer runs, to the next timed firing (a
// day at most); while paused none does. The timer counts on the monotonic
// clock, which stands still while the machine sleeps, so the owner calls
// Recheck after resume and after the wall clock or its zone changed.
class TProfileScheduler {
public:
    struct Clock {
        std::function<QDateTime()> Now;  // the wall clock; UTC
        std::function<QTimeZone()> Zone; // the machine's time zone
    };
    // The longest the timer is set for; after it the schedule is looked at
    // afresh (a sun trigger coming back after the polar night).
    static constexpr qint64 kLongestWaitMs = 24LL * 3600 * 1000;
    // How much the lux must pass a bound before a light trigger lets go.
    static constexpr double kLuxHysteresis = 0.2;

    explicit TProfileScheduler(Clock clock);
    ~TProfileScheduler();

    void SetSchedule(std::vector<TScheduledTrigger> schedule, const TGeoLocation& location);
    const std::vector<TScheduledTrigger>& Schedule() const { return schedule_; }
    const TGeoLocation& Location() const { return location_; }

    // The firing applied last (remembered across restarts by the owner).
    void SetLastApplied(std::optional<TFiring> firing) { lastApplied_ = std::move(firing); }
    const std::optional<TFiring>& LastApplied() const { return lastApplied_; }

    // Looks at the clock now: applies the firing due if it is a new one,
    // then sets the timer to the next one.
    void Recheck();

    // The power source as the system reports it; a switch is a firing.
    void PowerSourceChanged(bool onBattery);
    std::optional<bool> OnBattery() const { return onBattery_; }
    // The room's light in lux; entering a light trigger's range is a firing.
    void LightChanged(double lux);

    // Paused, nothing fires and no timer runs; resuming looks again.
    void SetPaused(bool paused);
    bool Paused() const { return paused_; }

    // The firing that should be in force now, applied or not.
    std::optional<TFiring> Due() const;
    // The next timed firing, as the timer waits for it.
    std::optional<TFiring> Next() const;
    // Whether the timer runs, and in how many milliseconds it fires.
    bool Waiting() const;
    qint64 WaitMs() const;

    // A firing to apply: the owner shows the profile and fades to its level.
    std::function<void(const TFiring& firing)> OnApply;
    // The firing in force or the next one changed (for the tray's tooltip).
    std::function<void()> OnChanged;

private:
    void ApplyIfNew(const std::optional<TFiring>& due);
    void Arm();

    Clock clock_;
    std::vector<TScheduledTrigger> schedule_;
    TGeoLocation location_;
    std::optional<TFiring> lastApplied_;
    std::optional<bool> onBattery_;
    QDateTime powerSince_;
    std::optional<TFiring> light_; // the light trigger whose range the room is in
    bool paused_ = false;
    std::unique_ptr<QTimer> timer_;
};

// "Evening at 18:42 (sunset - 30 min)": a firing as the tray's tooltip
// says it, the time in `zone`.
QString FiringText(const TFiring& firing, const QTimeZone& zone);

} // namespace lumora
