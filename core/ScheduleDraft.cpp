#include "core/ScheduleDraft.h"

#include "core/LightCurve.h"
#include "core/Profiles.h"

#include <cmath>

namespace lumora {

namespace {

std::optional<double> Number(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(value) ? std::optional(value) : std::nullopt;
}

std::optional<int> WholeNumber(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? std::optional(value) : std::nullopt;
}

QString Degrees(double value) { return QString::number(value, 'f', 4); }

} // namespace

TScheduleDraft DraftFromSettings(const TSettingsData& data)
{
    const TAutomationSettings settings = ReadAutomation(data);
    TScheduleDraft draft;
    for (const QString& profile : SavedProfileNames(data)) {
        std::vector<TProfileTrigger> triggers;
        for (const TScheduledTrigger& entry : settings.Schedule)
            if (entry.Profile == profile)
                triggers.push_back(entry.Trigger);
        draft.Rows.push_back({profile, TriggerListText(triggers)});
    }
    if (settings.Location) {
        draft.Latitude = Degrees(settings.Location->Latitude);
        draft.Longitude = Degrees(settings.Location->Longitude);
    }
    draft.FadeSeconds = QString::number(settings.FadeMs / 1000.0, 'g', 4);
    draft.LightCurve = settings.LightCurve;
    draft.LightShift = QString::number(settings.LightShift);
    draft.LightPauseMinutes = QString::number(settings.LightPauseMinutes);
    return draft;
}

std::optional<TDraftProblem> CheckDraft(const TScheduleDraft& draft)
{
    for (int i = 0; i < int(draft.Rows.size()); ++i) {
        QStringList rejected;
        ParseTriggerList(draft.Rows[i].Triggers, &rejected);
        if (!rejected.isEmpty())
            return TDraftProblem{TDraftProblem::Triggers, i,
                                 QStringLiteral("\"%1\" is not a trigger of the profile %2. Write for example 07:30, "
                                                "sunset - 30 min, on battery, on mains or < 50 lx, separated by ;")
                                     .arg(rejected.first(), draft.Rows[i].Profile)};
    }
    const bool noLatitude = draft.Latitude.trimmed().isEmpty();
    const bool noLongitude = draft.Longitude.trimmed().isEmpty();
    if (noLatitude != noLongitude)
        return TDraftProblem{noLatitude ? TDraftProblem::Latitude : TDraftProblem::Longitude, -1,
                             QStringLiteral("Enter both latitude and longitude, or neither to use the time zone's city.")};
    if (!noLatitude) {
        const auto lat = Number(draft.Latitude);
        if (!lat || *lat < -90 || *lat > 90)
            return TDraftProblem{TDraftProblem::Latitude, -1,
                                 QStringLiteral("The latitude is a number of degrees from -90 (south) to 90 (north).")};
        const auto lon = Number(draft.Longitude);
        if (!lon || *lon < -180 || *lon > 180)
            return TDraftProblem{TDraftProblem::Longitude, -1,
                                 QStringLiteral("The longitude is a number of degrees from -180 (west) to 180 (east).")};
    }
    const auto fade = Number(draft.FadeSeconds);
    if (!fade || *fade < 0 || *fade * 1000 > TAutomationSettings::kLongestFadeMs)
        return TDraftProblem{TDraftProblem::FadeSeconds, -1,
                             QStringLiteral("The fade lasts from 0 to %1 seconds.").arg(TAutomationSettings::kLongestFadeMs / 1000)};
    const auto shift = WholeNumber(draft.LightShift.isEmpty() ? QStringLiteral("0") : draft.LightShift);
    if (!shift || std::abs(*shift) > TLightCurve::kMaxShift)
        return TDraftProblem{TDraftProblem::LightShift, -1,
                             QStringLiteral("The light curve's shift is a whole number from -%1 (darker) to %1 (brighter).")
                                 .arg(TLightCurve::kMaxShift)};
    const auto rest = WholeNumber(draft.LightPauseMinutes.isEmpty() ? QStringLiteral("0") : draft.LightPauseMinutes);
    if (!rest || *rest < 0 || *rest > kLongestLightPauseMinutes)
        return TDraftProblem{TDraftProblem::LightPause, -1,
                             QStringLiteral("The light curve rests after a hand change for 0 (until the next timed "
                                            "trigger) to %1 minutes.")
                                 .arg(kLongestLightPauseMinutes)};
    return std::nullopt;
}

void SaveDraft(TSettingsStore& store, const TScheduleDraft& draft)
{
    for (const TScheduleDraft::Row& row : draft.Rows)
        SaveProfileTriggers(store, row.Profile, ParseTriggerList(row.Triggers));
    std::optional<TGeoLocation> location;
    if (!draft.Latitude.trimmed().isEmpty())
        location = TGeoLocation{Number(draft.Latitude).value_or(0), Number(draft.Longitude).value_or(0)};
    const bool paused = ReadAutomation(store.Load()).Paused;
    SaveAutomationOptions(store, location, int(std::lround(Number(draft.FadeSeconds).value_or(0) * 1000)), paused);
    SaveLightCurve(store, draft.LightCurve, WholeNumber(draft.LightShift).value_or(0),
                   WholeNumber(draft.LightPauseMinutes).value_or(0));
}

} // namespace lumora
