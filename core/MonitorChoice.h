#pragma once

#include "platform/device/MonitorSetProvider.h"
#include "platform/settings/SettingsStore.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace lumora {

// The screen a window shows on, as the window system names it.
struct ScreenIdentity {
    QString Name;   // the video output ("DP-1")
    QString Model;  // from its EDID
    QString Serial;
};

// A monitor the user chose, kept across starts; or "All monitors".
struct RememberedMonitor {
    QString Model;
    QString Serial;
    bool All = false;
    friend bool operator==(const RememberedMonitor&, const RememberedMonitor&) = default;
};

// The monitor to work on, as an index into `monitors`, among those that
// answer: the remembered one when it is there; else the built-in panel; else
// the DDC/CI monitor showing the window (by video output, then by EDID model
// and serial); else the first. nullopt when none answers.
std::optional<std::size_t> ChooseMonitor(const std::vector<MonitorInfo>& monitors,
                                         const std::optional<RememberedMonitor>& remembered,
                                         const ScreenIdentity& windowScreen);

bool IsRemembered(const MonitorInfo& monitor, const std::optional<RememberedMonitor>& remembered);

// The level index whose value lies nearest to `value` (the lower one on a
// tie); 0 for an empty list.
int NearestLevelIndex(const QStringList& levelList, int value);

// Kept under the settings root as "MonitorModel", "MonitorSerial" and
// "AllMonitors".
std::optional<RememberedMonitor> LoadRememberedMonitor(TSettingsStore& store);
void SaveRememberedMonitor(TSettingsStore& store, const RememberedMonitor& monitor);

} // namespace lumora
