#pragma once

#include "core/AutomationSettings.h"
#include "core/LevelModel.h"
#include "core/LightCurve.h"
#include "core/ProfileFade.h"
#include "core/ProfileScheduler.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QDBusConnection;
class QMenu;

namespace lumora {

class AmbientLightWatch;
class ClockWatch;
class PowerSourceWatch;
class TSettingsStore;

// The wall clock and its zone as automation sees them. Unset members are
// the program's (ClockWatch::Now, which whole-program tests can move, and
// the machine's zone); unit tests give a clock of their own that they move
// by hand.
struct TAutomationClock {
    std::function<QDateTime()> Now;     // UTC
    std::function<QByteArray()> ZoneId; // IANA name
};

// Profiles that apply themselves: reads the schedule from the settings,
// lets the scheduler decide, and applies a firing by showing its profile
// and fading the level model to its level. Remembers the firing applied
// last, so a restart does not undo what the user set by hand since.
//
// The window feeds it the events the platform reports (resume, clock and
// zone changes, the power source, the room's light) and offers its tray
// item "Pause automation".
class TProfileAutomation {
public:
    // Shows the profile `name` (picture, text, idle setting) and gives its
    // level; nullopt when there is no such profile any more.
    using ShowProfile = std::function<std::optional<int>(const QString& name)>;

    TProfileAutomation(TSettingsStore* settings, TLevelModel& level, ShowProfile show, TAutomationClock clock = {});
    ~TProfileAutomation();

    // Reads the settings and applies what is due (the window's start-up,
    // once the saved level is on the monitor).
    void Start();
    bool Started() const { return started_; }
    // The schedule, location or fade length changed in the settings.
    void Reload();

    // Events that make the scheduler look again.
    void Resumed();
    void ClockSet();
    void TimeZoneChanged(const QByteArray& zoneId);
    void PowerSourceChanged(bool onBattery);
    void LightChanged(double lux);
    // A reading from a sensor in a vendor's unit: it teaches the range the
    // sensor shows (kept in the settings) and, placed within that range,
    // moves the light curve. Light triggers, in lux, cannot use it.
    void VendorLightChanged(double value);
    // Whether the light sensor reports in a vendor's unit (now, or as the
    // settings remember it).
    bool LightInVendorUnits() const { return vendorSeen_ || vendorRange_.Low.has_value(); }
    const TVendorLightRange& VendorLightRange() const { return vendorRange_; }
    // What the schedule window says about the light sensor; empty when
    // there is nothing to say.
    QString LightNotice() const;

    // Follows the power source (UPower), clock changes (the kernel) and the
    // time zone (timedated) on `systemBus`; what cannot be watched is gone
    // without.
    void WatchSystem(const QDBusConnection& systemBus);

    // The level model announced a change from `source`. A change the user
    // made (any control, the tray, the keys, the desktop's slider, another
    // program) pauses the light curve for the chosen time, by default until
    // the next timed trigger.
    void LevelChangedBy(LevelSource source);
    bool LightCurveOn() const { return curveOn_; }
    // When the light curve takes over again; nullopt when it is not resting.
    std::optional<QDateTime> LightCurvePausedUntil() const { return curvePausedUntil_; }

    // "Pause automation": nothing fires while checked; kept in the settings.
    void SetPaused(bool paused);
    bool Paused() const { return scheduler_.Paused(); }
    QAction* PauseItem() const { return pauseItem_; }
    // The tray item goes into `menu` before `before` while any profile has
    // a trigger or the light curve is on; without automation the menu stays
    // as it was.
    void AddMenuItems(QMenu* menu, QAction* before);

    // The tooltip's lines: what is in force and what fires next; empty when
    // no profile has triggers.
    QString StatusText() const;
    std::function<void()> OnStatusChanged;

    QByteArray ZoneId() const;
    int FadeMs() const { return fadeMs_; }
    TProfileScheduler& Scheduler() { return scheduler_; }
    const TProfileFade& Fade() const { return fade_; }

private:
    void Apply(const TFiring& firing);
    void Load();
    // The light sensor is claimed only while a light trigger or the curve
    // wants it: a claimed sensor is read continuously.
    void UpdateLightWatch();
    void UpdateMenu();
    // The light curve takes the room's light, in lux or placed as lux.
    void FollowCurve(double lux);
    QDateTime Now() const;

    TSettingsStore* settings_;
    TLevelModel& level_;
    ShowProfile show_;
    TAutomationClock clock_;
    QByteArray zoneOverride_;
    TProfileScheduler scheduler_;
    TProfileFade fade_;
    int fadeMs_ = TAutomationSettings::kDefaultFadeMs;
    bool started_ = false;
    TLightCurve curve_;
    bool curveOn_ = false;
    int curvePauseMinutes_ = 0;
    std::optional<QDateTime> curvePausedUntil_;
    std::optional<double> lastLux_;
    std::optional<double> lastVendor_;
    bool vendorSeen_ = false;
    TVendorLightRange vendorRange_;
    QAction* pauseItem_ = nullptr;
    QMenu* menu_ = nullptr;
    QAction* menuBefore_ = nullptr;
    std::unique_ptr<PowerSourceWatch> power_;
    std::unique_ptr<ClockWatch> clockWatch_;
    std::unique_ptr<AmbientLightWatch> light_;
    std::unique_ptr<QDBusConnection> systemBus_;
};

} // namespace lumora
