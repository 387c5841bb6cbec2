#pragma once

#include <QString>

#include <optional>

namespace lumora {

class TSettingsStore;

// The part of a monitor's brightness the level spans: the level's lowest
// percent lands on Lowest, its highest on Highest, linearly between. Monitors
// differ in how bright a percent looks; narrowing one's range makes it match
// the others.
struct MonitorRange {
    int Lowest = 0;
    int Highest = 100;
    friend bool operator==(const MonitorRange&, const MonitorRange&) = default;
};

// Both ends inside 0..100 and in order; a range given the wrong way round
// (from a hand-edited file) is turned the right way.
MonitorRange ValidRange(MonitorRange range);

// The monitor's percent for a level's percent (both 0..100, clamped). A level
// above the lowest never lands on 0 even where rounding would put it there,
// so only the lowest level can reach the device's "never black" floor.
int PercentInRange(int levelPercent, MonitorRange range);

// The level's percent a monitor's percent stands for: the inverse of
// PercentInRange, clamped to 0..100. A range of one point gives its level
// percent for everything at or above it as 100, below as 0.
int LevelPercentOf(int monitorPercent, MonitorRange range);

// A monitor is known by model and serial, as the remembered choice is;
// two of one model without serials share a range.
QString MonitorRangeKey(const QString& model, const QString& serial);

// Kept as "Lowest" and "Highest" under the settings root's
// "Monitor ranges\<model> <serial>". nullopt when none is kept; a damaged
// value raises the store's error.
std::optional<MonitorRange> LoadMonitorRange(TSettingsStore& store, const QString& model, const QString& serial);
void SaveMonitorRange(TSettingsStore& store, const QString& model, const QString& serial, MonitorRange range);

} // namespace lumora
