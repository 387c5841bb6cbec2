#include "core/ProfileScheduler.h"

#include <QTimer>

#include <algorithm>

namespace lumora {

namespace {

// Days looked at before and after today for timed firings.
constexpr int kDaysAround = 2;

template <typename Better>
std::optional<TFiring> BestTimedFiring(const std::vector<TScheduledTrigger>& schedule, const QDateTime& now,
                                       const TGeoLocation& location, const QTimeZone& zone, int firstDay, int lastDay,
                                       Better better)
{
    std::optional<TFiring> best;
    const QDate today = now.toTimeZone(zone).date();
    for (int d = firstDay; d <= lastDay; ++d) {
        const QDate date = today.addDays(d);
        for (const TScheduledTrigger& entry : schedule) {
            const std::optional<QDateTime> at = TriggerTimeOn(entry.Trigger, date, location, zone);
            if (!at)
                continue;
            TFiring candidate{entry.Profile, entry.Trigger, *at};
            if (better(candidate, best))
                best = std::move(candidate);
        }
    }
    return best;
}

bool SameTrigger(const TFiring& a, const TFiring& b) { return a.Profile == b.Profile && a.Trigger == b.Trigger; }

} // namespace

std::optional<TFiring> LastTimedFiring(const std::vector<TScheduledTrigger>& schedule, const QDateTime& now,
                                       const TGeoLocation& location, const QTimeZone& zone)
{
    return BestTimedFiring(schedule, now, location, zone, -kDaysAround, 0,
                           [&](const TFiring& c, const std::optional<TFiring>& best) {
                               return c.At <= now && (!best || c.At > best->At);
                           });
}

std::optional<TFiring> NextTimedFiring(const std::vector<TScheduledTrigger>& schedule, const QDateTime& now,
                                       const TGeoLocation& location, const QTimeZone& zone)
{
    return BestTimedFiring(schedule, now, location, zone, 0, kDaysAround,
                           [&](const TFiring& c, const std::optional<TFiring>& best) {
                               return c.At > now && (!best || c.At < best->At);
                           });
}

TProfileScheduler::TProfileScheduler(Clock clock) : clock_(std::move(clock)), timer_(std::make_unique<QTimer>())
{
    timer_->setSingleShot(true);
    // Precise: a coarse timer may fire a few percent early, and the firing
    // would then wait for one more round.
    timer_->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer_.get(), &QTimer::timeout, timer_.get(), [this] { Recheck(); });
}

TProfileScheduler::~TProfileScheduler() = default;

void TProfileScheduler::SetSchedule(std::vector<TScheduledTrigger> schedule, const TGeoLocation& location)
{
    schedule_ = std::move(schedule);
    location_ = location;
    if (light_ && std::find(schedule_.begin(), schedule_.end(), TScheduledTrigger{light_->Profile, light_->Trigger}) ==
                      schedule_.end())
        light_.reset();
}

std::optional<TFiring> TProfileScheduler::Due() const
{
    const QDateTime now = clock_.Now();
    std::optional<TFiring> due = LastTimedFiring(schedule_, now, location_, clock_.Zone());
    // A power source or the room's light that came later wins over the clock.
    const auto later = [&](const TFiring& f) {
        if (!due || f.At >= due->At)
            due = f;
    };
    if (onBattery_) {
        const TriggerKind kind = *onBattery_ ? TriggerKind::OnBattery : TriggerKind::OnMains;
        for (const TScheduledTrigger& entry : schedule_)
            if (entry.Trigger.Kind == kind) {
                later(TFiring{entry.Profile, entry.Trigger, powerSince_});
                break;
            }
    }
    if (light_)
        later(*light_);
    return due;
}

std::optional<TFiring> TProfileScheduler::Next() const
{
    return NextTimedFiring(schedule_, clock_.Now(), location_, clock_.Zone());
}

void TProfileScheduler::Recheck()
{
    if (!paused_)
        ApplyIfNew(Due());
    Arm();
    if (OnChanged)
        OnChanged();
}

void TProfileScheduler::ApplyIfNew(const std::optional<TFiring>& due)
{
    if (!due)
        return;
    if (lastApplied_ && due->At <= lastApplied_->At && SameTrigger(*due, *lastApplied_))
        return;
    lastApplied_ = due;
    if (OnApply)
        OnApply(*due);
}

void TProfileScheduler::Arm()
{
    timer_->stop();
    if (paused_)
        return;
    const bool timed = std::any_of(schedule_.begin(), schedule_.end(),
                                   [](const TScheduledTrigger& e) { return e.Trigger.IsTimed(); });
    if (!timed)
        return;
    qint64 wait = kLongestWaitMs;
    if (const std::optional<TFiring> next = Next())
        wait = std::clamp<qint64>(clock_.Now().msecsTo(next->At), 0, kLongestWaitMs);
    timer_->start(std::chrono::milliseconds(wait));
}

void TProfileScheduler::PowerSourceChanged(bool onBattery)
{
    if (onBattery_ == onBattery)
        return;
    const bool firstWord = !onBattery_;
    onBattery_ = onBattery;
    powerSince_ = clock_.Now();
    // The first word after a restart finds the source the last applied
    // firing was about: that firing is not a new one.
    const TriggerKind kind = onBattery ? TriggerKind::OnBattery : TriggerKind::OnMains;
    if (firstWord && lastApplied_ && lastApplied_->Trigger.Kind == kind)
        powerSince_ = lastApplied_->At;
    Recheck();
}

void TProfileScheduler::LightChanged(double lux)
{
    // The range the room is in holds until the light is clearly out of it.
    if (light_ && LuxInRange(light_->Trigger, lux, kLuxHysteresis))
        return;
    light_.reset();
    for (const TScheduledTrigger& entry : schedule_)
        if (LuxInRange(entry.Trigger, lux)) {
            light_ = TFiring{entry.Profile, entry.Trigger, clock_.Now()};
            break;
        }
    Recheck();
}

void TProfileScheduler::SetPaused(bool paused)
{
    if (paused_ == paused)
        return;
    paused_ = paused;
    Recheck();
}

bool TProfileScheduler::Waiting() const { return timer_->isActive(); }

qint64 TProfileScheduler::WaitMs() const { return timer_->isActive() ? timer_->interval() : -1; }

QString FiringText(const TFiring& firing, const QTimeZone& zone)
{
    if (!firing.Trigger.IsTimed())
        return QStringLiteral("%1 (%2)").arg(firing.Profile, TriggerText(firing.Trigger));
    const QString time = firing.At.toTimeZone(zone).toString(QStringLiteral("HH:mm"));
    if (firing.Trigger.Kind == TriggerKind::TimeOfDay)
        return QStringLiteral("%1 at %2").arg(firing.Profile, time);
    return QStringLiteral("%1 at %2 (%3)").arg(firing.Profile, time, TriggerText(firing.Trigger));
}

} // namespace lumora
