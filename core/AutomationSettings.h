#pragma once

#include "core/LightCurve.h"
#include "core/ProfileScheduler.h"
#include "platform/settings/SettingsStore.h"

#include <optional>
#include <vector>

namespace lumora {

// What makes profiles apply themselves, as the settings keep it. Each
// profile's triggers sit beside its other values ("Triggers", the texts
// joined by "; "); the rest sits at the root key as "Auto..." values.
// Settings from before automation have none of these and read as an empty
// schedule.
struct TAutomationSettings {
    static constexpr int kDefaultFadeMs = 3000;
    static constexpr int kLongestFadeMs = 60000;
    static constexpr int kLongestLightPauseMinutes = 24 * 60;

    std::vector<TScheduledTrigger> Schedule;
    std::optional<TGeoLocation> Location; // as entered; nullopt when never entered
    int FadeMs = kDefaultFadeMs;
    bool Paused = false;
    std::optional<TFiring> LastApplied;
    // The level follows the room's light on a curve the user shifts.
    bool LightCurve = false;
    int LightShift = 0;
    // After a hand change the curve rests this many minutes; 0: until the
    // next timed trigger.
    int LightPauseMinutes = 0;
    // The range a light sensor in a vendor's unit has shown; empty for a
    // sensor in lux or none.
    TVendorLightRange VendorLight;
};

// Reads the automation settings; values of the wrong type or out of range
// read as their defaults, and triggers that cannot be read are left out:
// nothing here raises.
TAutomationSettings ReadAutomation(const TSettingsData& data);

// The location to use: the one entered, else the time zone's main city,
// else nullopt (the sun's triggers then never fire).
inline constexpr int kLongestLightPauseMinutes = TAutomationSettings::kLongestLightPauseMinutes;

std::optional<TGeoLocation> EffectiveLocation(const TAutomationSettings& settings, const QByteArray& zoneId);

// Each writes under the lock between copies; raises EInOutError as
// TSettingsStore::Update does.
void SaveProfileTriggers(TSettingsStore& store, const QString& profile, const std::vector<TProfileTrigger>& triggers);
void SaveAutomationOptions(TSettingsStore& store, const std::optional<TGeoLocation>& location, int fadeMs, bool paused);
void SaveLastApplied(TSettingsStore& store, const TFiring& firing);
void SaveLightCurve(TSettingsStore& store, bool on, int shift, int pauseMinutes);
void SaveVendorLightRange(TSettingsStore& store, const TVendorLightRange& range);

// Every profile the settings hold (the root key's subkeys).
QStringList SavedProfileNames(const TSettingsData& data);

} // namespace lumora
