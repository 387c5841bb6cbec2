#include "core/ProfileAutomation.h"

#include "platform/framework/Application.h"
#include "platform/framework/Exception.h"
#include "platform/settings/SettingsStore.h"
#include "platform/shell/AmbientLightWatch.h"
#include "platform/shell/ClockWatch.h"
#include "platform/shell/PowerSourceWatch.h"

#include <QAction>
#include <QDBusConnection>
#include <QMenu>
#include <QTimeZone>

#include <algorithm>

namespace lumora {

TProfileAutomation::TProfileAutomation(TSettingsStore* settings, TLevelModel& level, ShowProfile show,
                                       TAutomationClock clock)
    : settings_(settings), level_(level), show_(std::move(show)), clock_(std::move(clock)),
      scheduler_({[this] { return Now(); }, [this] { return QTimeZone(ZoneId()); }}), fade_(level)
{
    scheduler_.OnApply = [this](const TFiring& firing) { Apply(firing); };
    scheduler_.OnChanged = [this] {
        if (OnStatusChanged)
            OnStatusChanged();
    };
    pauseItem_ = new QAction(QStringLiteral("Pause automation"));
    pauseItem_->setCheckable(true);
    QObject::connect(pauseItem_, &QAction::toggled, pauseItem_, [this](bool checked) { RunGuarded([&] { SetPaused(checked); }); });
}

TProfileAutomation::~TProfileAutomation()
{
    delete pauseItem_;
}

QDateTime TProfileAutomation::Now() const
{
    return clock_.Now ? clock_.Now().toUTC() : ClockWatch::Now();
}

QByteArray TProfileAutomation::ZoneId() const
{
    if (clock_.ZoneId)
        return clock_.ZoneId();
    if (!zoneOverride_.isEmpty())
        return zoneOverride_;
    return QTimeZone::systemTimeZoneId();
}

void TProfileAutomation::Load()
{
    TAutomationSettings read;
    if (settings_) {
        try {
            read = ReadAutomation(settings_->Load());
        } catch (const EInOutError&) {
            // The window reports a settings file it cannot read; without it
            // there is simply no schedule.
        }
    }
    const std::optional<TGeoLocation> location = EffectiveLocation(read, ZoneId());
    // Without a place the sun's triggers cannot be placed: they are left out.
    std::vector<TScheduledTrigger> schedule;
    for (const TScheduledTrigger& entry : read.Schedule)
        if (location || (entry.Trigger.Kind != TriggerKind::Sunrise && entry.Trigger.Kind != TriggerKind::Sunset))
            schedule.push_back(entry);
    scheduler_.SetSchedule(std::move(schedule), location.value_or(TGeoLocation{}));
    fadeMs_ = read.FadeMs;
    curve_.Shift = read.LightShift;
    curveOn_ = read.LightCurve;
    curvePauseMinutes_ = read.LightPauseMinutes;
    // What this run has learned stays; the settings add what earlier runs did.
    if (read.VendorLight.Low)
        vendorRange_.Widen(*read.VendorLight.Low);
    if (read.VendorLight.High)
        vendorRange_.Widen(*read.VendorLight.High);
    if (!started_)
        scheduler_.SetLastApplied(read.LastApplied);
    UpdateLightWatch();
    {
        const QSignalBlocker quiet(pauseItem_);
        pauseItem_->setChecked(read.Paused);
    }
    // Set quietly: the first look at the clock follows.
    if (read.Paused != scheduler_.Paused()) {
        const auto apply = std::exchange(scheduler_.OnApply, nullptr);
        scheduler_.SetPaused(read.Paused);
        scheduler_.OnApply = apply;
    }
    UpdateMenu();
}

void TProfileAutomation::WatchSystem(const QDBusConnection& systemBus)
{
    systemBus_ = std::make_unique<QDBusConnection>(systemBus);
    UpdateLightWatch();
    power_ = PowerSourceWatch::Open(systemBus);
    if (power_)
        power_->OnChanged = [this](bool onBattery) { RunGuarded([&] { PowerSourceChanged(onBattery); }); };
    try {
        clockWatch_ = std::make_unique<ClockWatch>(systemBus);
        clockWatch_->OnClockSet = [this] { RunGuarded([&] { ClockSet(); }); };
        clockWatch_->OnTimeZoneChanged = [this](const QByteArray& zone) { RunGuarded([&] { TimeZoneChanged(zone); }); };
    } catch (const Exception&) {
        // Without the kernel's notice a set clock is noticed at the next
        // firing, resume or restart.
    }
}

void TProfileAutomation::UpdateLightWatch()
{
    const bool wanted = curveOn_ || std::any_of(scheduler_.Schedule().begin(), scheduler_.Schedule().end(),
                                                [](const TScheduledTrigger& e) { return e.Trigger.Kind == TriggerKind::Light; });
    if (!wanted || !systemBus_) {
        light_.reset();
        return;
    }
    if (light_)
        return;
    light_ = AmbientLightWatch::Open(*systemBus_);
    if (light_) {
        light_->OnLux = [this](double lux) { RunGuarded([&] { LightChanged(lux); }); };
        light_->OnVendorLevel = [this](double value) { RunGuarded([&] { VendorLightChanged(value); }); };
    }
}

void TProfileAutomation::Start()
{
    Load();
    started_ = true;
    if (power_ && power_->OnBattery())
        scheduler_.PowerSourceChanged(*power_->OnBattery());
    else
        scheduler_.Recheck();
    if (lastLux_)
        LightChanged(*lastLux_);
    else if (lastVendor_)
        VendorLightChanged(*lastVendor_);
}

void TProfileAutomation::Reload()
{
    if (!started_)
        return;
    Load();
    scheduler_.Recheck();
}

void TProfileAutomation::Resumed()
{
    if (started_)
        scheduler_.Recheck();
}

void TProfileAutomation::ClockSet()
{
    if (started_)
        scheduler_.Recheck();
}

void TProfileAutomation::TimeZoneChanged(const QByteArray& zoneId)
{
    zoneOverride_ = zoneId;
    // The zone's city may be the place the sun is reckoned for.
    Reload();
}

void TProfileAutomation::PowerSourceChanged(bool onBattery)
{
    // Known before the start, the source is handed over when it comes.
    if (started_)
        scheduler_.PowerSourceChanged(onBattery);
}

void TProfileAutomation::LightChanged(double lux)
{
    lastLux_ = lux;
    if (!started_)
        return;
    scheduler_.LightChanged(lux);
    FollowCurve(lux);
}

void TProfileAutomation::VendorLightChanged(double value)
{
    lastVendor_ = value;
    vendorSeen_ = true;
    if (vendorRange_.Widen(value) && settings_) {
        // Kept so that the next start places readings at once; a failure to
        // save only means the range is learned again.
        try {
            SaveVendorLightRange(*settings_, vendorRange_);
        } catch (const EInOutError&) {
        }
    }
    if (!started_)
        return;
    if (const std::optional<double> lux = vendorRange_.EquivalentLux(value))
        FollowCurve(*lux);
}

QString TProfileAutomation::LightNotice() const
{
    if (!LightInVendorUnits())
        return {};
    QString notice = QStringLiteral("This light sensor does not measure in lux: light ranges (lx) never fire. "
                                    "Following the room's light places each reading between the darkest and the "
                                    "brightest the sensor has shown");
    if (vendorRange_.Known())
        notice += QStringLiteral(" (%1 to %2 so far).").arg(*vendorRange_.Low).arg(*vendorRange_.High);
    else
        notice += QStringLiteral("; it has not shown a range yet.");
    return notice;
}

void TProfileAutomation::FollowCurve(double lux)
{
    if (!curveOn_ || scheduler_.Paused() || level_.LevelCount() < 1)
        return;
    if (curvePausedUntil_) {
        if (Now() < *curvePausedUntil_)
            return;
        curvePausedUntil_.reset();
        if (OnStatusChanged)
            OnStatusChanged();
    }
    if (const std::optional<int> next = curve_.NextLevel(level_.Level(), lux, level_.LevelCount())) {
        fade_.Stop();
        level_.Request(*next, LevelSource::Profile);
    }
}

void TProfileAutomation::LevelChangedBy(LevelSource source)
{
    switch (source) {
    case LevelSource::Profile: // this automation's own
    case LevelSource::Start:
    case LevelSource::Monitor:
    case LevelSource::Resume:
        return;
    default:
        break;
    }
    if (!curveOn_ || !started_)
        return;
    if (curvePauseMinutes_ > 0) {
        curvePausedUntil_ = Now().addSecs(qint64(curvePauseMinutes_) * 60);
    } else {
        const std::optional<TFiring> next = scheduler_.Next();
        // With no timed trigger to wait for, an hour.
        curvePausedUntil_ = next ? next->At : Now().addSecs(3600);
    }
    if (OnStatusChanged)
        OnStatusChanged();
}

void TProfileAutomation::SetPaused(bool paused)
{
    if (pauseItem_->isChecked() != paused) {
        const QSignalBlocker quiet(pauseItem_);
        pauseItem_->setChecked(paused);
    }
    if (paused)
        fade_.Stop();
    if (paused == scheduler_.Paused())
        return;
    scheduler_.SetPaused(paused);
    // Kept for the next start; a failure to save is reported, the pause holds.
    if (settings_) {
        const TAutomationSettings read = ReadAutomation(settings_->Load());
        SaveAutomationOptions(*settings_, read.Location, read.FadeMs, paused);
    }
}

void TProfileAutomation::AddMenuItems(QMenu* menu, QAction* before)
{
    menu_ = menu;
    menuBefore_ = before;
    UpdateMenu();
}

void TProfileAutomation::UpdateMenu()
{
    if (!menu_)
        return;
    const bool wanted = curveOn_ || !scheduler_.Schedule().empty() || scheduler_.Paused();
    const bool shown = menu_->actions().contains(pauseItem_);
    if (wanted && !shown)
        menu_->insertAction(menuBefore_, pauseItem_);
    else if (!wanted && shown)
        menu_->removeAction(pauseItem_);
}

void TProfileAutomation::Apply(const TFiring& firing)
{
    // A timed trigger ends the light curve's rest after a hand change.
    if (firing.Trigger.IsTimed())
        curvePausedUntil_.reset();
    const std::optional<int> level = show_ ? show_(firing.Profile) : std::nullopt;
    if (level)
        fade_.Start(*level, fadeMs_);
    // Remembered so that a restart does not apply it over a later hand
    // change. A settings file that cannot be written is reported when the
    // window next saves; the firing has been applied all the same.
    if (settings_) {
        try {
            SaveLastApplied(*settings_, firing);
        } catch (const EInOutError&) {
        }
    }
}

QString TProfileAutomation::StatusText() const
{
    if (scheduler_.Schedule().empty() && !curveOn_)
        return {};
    const QTimeZone zone(ZoneId());
    QStringList lines;
    if (scheduler_.Paused())
        lines << QStringLiteral("Automation paused");
    if (const auto& last = scheduler_.LastApplied())
        lines << QStringLiteral("In force: %1").arg(last->Profile);
    if (!scheduler_.Paused())
        if (const auto next = scheduler_.Next())
            lines << QStringLiteral("Next: %1").arg(FiringText(*next, zone));
    if (curveOn_ && curvePausedUntil_ && !scheduler_.Paused())
        lines << QStringLiteral("Ambient light paused until %1")
                     .arg(curvePausedUntil_->toTimeZone(zone).toString(QStringLiteral("HH:mm")));
    return lines.join(u'\n');
}

} // namespace lumora
