#include "core/AutomationSettings.h"

#include "core/LightCurve.h"
#include "core/Profiles.h"

#include <algorithm>
#include <cmath>

namespace lumora {

namespace {

const QString kTriggers = QStringLiteral("Triggers");
const QString kLatitude = QStringLiteral("AutoLatitude");
const QString kLongitude = QStringLiteral("AutoLongitude");
const QString kFadeMs = QStringLiteral("AutoFadeMs");
const QString kPaused = QStringLiteral("AutoPaused");
const QString kLastProfile = QStringLiteral("AutoLastProfile");
const QString kLastTrigger = QStringLiteral("AutoLastTrigger");
const QString kLastAt = QStringLiteral("AutoLastAt");
const QString kLightCurve = QStringLiteral("AutoLightCurve");
const QString kLightShift = QStringLiteral("AutoLightShift");
const QString kLightPause = QStringLiteral("AutoLightPauseMin");
const QString kVendorLow = QStringLiteral("AutoVendorLightLow");
const QString kVendorHigh = QStringLiteral("AutoVendorLightHigh");
constexpr int kLongestLightPause = TAutomationSettings::kLongestLightPauseMinutes;

std::optional<QString> Text(const TSettingsData& data, const QString& key, const QString& name)
{
    const auto value = data.Value(key, name);
    if (!value || !std::holds_alternative<QString>(*value))
        return std::nullopt;
    return std::get<QString>(*value);
}

std::optional<int> Integer(const TSettingsData& data, const QString& key, const QString& name)
{
    const auto value = data.Value(key, name);
    if (!value || !std::holds_alternative<std::int32_t>(*value))
        return std::nullopt;
    return std::get<std::int32_t>(*value);
}

std::optional<double> Number(const TSettingsData& data, const QString& name)
{
    const auto text = Text(data, ProfileKey({}), name);
    if (!text)
        return std::nullopt;
    bool ok = false;
    const double value = text->toDouble(&ok);
    return ok && std::isfinite(value) ? std::optional(value) : std::nullopt;
}

} // namespace

QStringList SavedProfileNames(const TSettingsData& data)
{
    // Other settings live in keys beside the profiles (the monitors' ranges,
    // a key of keys); a profile's key holds its values.
    QStringList names = data.SubKeys(ProfileKey({}));
    names.erase(std::remove_if(names.begin(), names.end(),
                               [&](const QString& n) {
                                   return !IsProfileName(n) || data.ValueNames(ProfileKey(n)).isEmpty();
                               }),
                names.end());
    return names;
}

TAutomationSettings ReadAutomation(const TSettingsData& data)
{
    TAutomationSettings s;
    for (const QString& profile : SavedProfileNames(data)) {
        const auto text = Text(data, ProfileKey(profile), kTriggers);
        if (!text)
            continue;
        for (const TProfileTrigger& trigger : ParseTriggerList(*text))
            s.Schedule.push_back({profile, trigger});
    }

    const auto latitude = Number(data, kLatitude);
    const auto longitude = Number(data, kLongitude);
    if (latitude && longitude && IsGeoLocation({*latitude, *longitude}))
        s.Location = TGeoLocation{*latitude, *longitude};

    const QString root = ProfileKey({});
    if (const auto fade = Integer(data, root, kFadeMs); fade && *fade >= 0 && *fade <= TAutomationSettings::kLongestFadeMs)
        s.FadeMs = *fade;
    s.Paused = Integer(data, root, kPaused).value_or(0) != 0;

    s.LightCurve = Integer(data, root, kLightCurve).value_or(0) != 0;
    if (const auto shift = Integer(data, root, kLightShift); shift && std::abs(*shift) <= TLightCurve::kMaxShift)
        s.LightShift = *shift;
    if (const auto pause = Integer(data, root, kLightPause); pause && *pause >= 0 && *pause <= kLongestLightPause)
        s.LightPauseMinutes = *pause;
    // Both ends or neither: half a range places nothing.
    const auto vendorLow = Number(data, kVendorLow);
    const auto vendorHigh = Number(data, kVendorHigh);
    if (vendorLow && vendorHigh && *vendorLow <= *vendorHigh)
        s.VendorLight = TVendorLightRange{vendorLow, vendorHigh};

    const auto lastProfile = Text(data, root, kLastProfile);
    const auto lastTrigger = Text(data, root, kLastTrigger);
    const auto lastAt = Text(data, root, kLastAt);
    if (lastProfile && lastTrigger && lastAt) {
        const auto trigger = ParseTrigger(*lastTrigger);
        const QDateTime at = QDateTime::fromString(*lastAt, Qt::ISODateWithMs);
        if (trigger && at.isValid())
            s.LastApplied = TFiring{*lastProfile, *trigger, at.toUTC()};
    }
    return s;
}

std::optional<TGeoLocation> EffectiveLocation(const TAutomationSettings& settings, const QByteArray& zoneId)
{
    if (settings.Location)
        return settings.Location;
    return DefaultLocationForZone(zoneId);
}

void SaveProfileTriggers(TSettingsStore& store, const QString& profile, const std::vector<TProfileTrigger>& triggers)
{
    if (!IsProfileName(profile))
        return;
    store.Update([&](TSettingsData& data) {
        const QString key = ProfileKey(profile);
        if (triggers.empty()) {
            data.DeleteValue(key, kTriggers);
            return;
        }
        data.SetValue(key, kTriggers, TriggerListText(triggers));
    });
}

void SaveAutomationOptions(TSettingsStore& store, const std::optional<TGeoLocation>& location, int fadeMs, bool paused)
{
    store.Update([&](TSettingsData& data) {
        const QString root = ProfileKey({});
        if (location) {
            data.SetValue(root, kLatitude, QString::number(location->Latitude, 'f', 4));
            data.SetValue(root, kLongitude, QString::number(location->Longitude, 'f', 4));
        } else {
            data.DeleteValue(root, kLatitude);
            data.DeleteValue(root, kLongitude);
        }
        data.SetValue(root, kFadeMs, std::int32_t(std::clamp(fadeMs, 0, TAutomationSettings::kLongestFadeMs)));
        data.SetValue(root, kPaused, std::int32_t(paused ? 1 : 0));
    });
}

void SaveLastApplied(TSettingsStore& store, const TFiring& firing)
{
    store.Update([&](TSettingsData& data) {
        const QString root = ProfileKey({});
        data.SetValue(root, kLastProfile, firing.Profile);
        data.SetValue(root, kLastTrigger, TriggerText(firing.Trigger));
        data.SetValue(root, kLastAt, firing.At.toUTC().toString(Qt::ISODateWithMs));
    });
}

} // namespace lumora

namespace lumora {

void SaveLightCurve(TSettingsStore& store, bool on, int shift, int pauseMinutes)
{
    store.Update([&](TSettingsData& data) {
        const QString root = ProfileKey({});
        data.SetValue(root, kLightCurve, std::int32_t(on ? 1 : 0));
        data.SetValue(root, kLightShift, std::int32_t(std::clamp(shift, -TLightCurve::kMaxShift, TLightCurve::kMaxShift)));
        data.SetValue(root, kLightPause, std::int32_t(std::clamp(pauseMinutes, 0, kLongestLightPause)));
    });
}

void SaveVendorLightRange(TSettingsStore& store, const TVendorLightRange& range)
{
    if (!range.Low || !range.High)
        return;
    store.Update([&](TSettingsData& data) {
        const QString root = ProfileKey({});
        data.SetValue(root, kVendorLow, QString::number(*range.Low, 'g', 10));
        data.SetValue(root, kVendorHigh, QString::number(*range.High, 'g', 10));
    });
}

} // namespace lumora
