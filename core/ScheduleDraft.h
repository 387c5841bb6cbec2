#pragma once

#include "core/AutomationSettings.h"

#include <QString>

#include <optional>
#include <vector>

namespace lumora {

// What the "Schedule..." window edits, as the texts its boxes hold: each
// profile's triggers, the location (empty: the time zone's main city), the
// fade length in seconds and the light curve.
struct TScheduleDraft {
    struct Row {
        QString Profile;
        QString Triggers; // "07:30; sunset - 30 min"
        friend bool operator==(const Row&, const Row&) = default;
    };
    std::vector<Row> Rows;
    QString Latitude;
    QString Longitude;
    QString FadeSeconds;
    bool LightCurve = false;
    QString LightShift;
    QString LightPauseMinutes; // 0: until the next timed trigger
};

// Which box a problem is in, and what to tell the user.
struct TDraftProblem {
    enum Field { Triggers, Latitude, Longitude, FadeSeconds, LightShift, LightPause };
    Field Where = Triggers;
    int Row = -1; // for Triggers
    QString Message;
};

// The draft of the settings as they are, for every profile saved.
TScheduleDraft DraftFromSettings(const TSettingsData& data);

// The first thing in the draft that cannot be saved; nullopt when all can.
std::optional<TDraftProblem> CheckDraft(const TScheduleDraft& draft);

// Saves a draft that CheckDraft accepted. Raises as TSettingsStore::Update.
void SaveDraft(TSettingsStore& store, const TScheduleDraft& draft);

} // namespace lumora
