#pragma once

#include "core/MonitorRanges.h"
#include "platform/device/MonitorSetProvider.h"

#include <QObject>
#include <QString>

#include <exception>
#include <functional>
#include <map>
#include <optional>
#include <set>

namespace lumora {

class TSettingsStore;

// Every monitor at one level, each through its own range. The level owner
// writes the monitor the views show; this room turns the level's percent
// into that monitor's percent and, with "All monitors" chosen, hands every
// other monitor that can be set its own percent at the same moment. Each
// DDC/CI monitor has a worker of its own, so they all change together; a
// monitor that does not answer is told once by the monitor set and passed
// over here. A monitor that comes (back) later gets the level last written.
class TAllMonitors : public QObject {
public:
    // Either may be null: then every monitor keeps the full range, and
    // nothing is spread.
    TAllMonitors(MonitorSetProvider* monitors, TSettingsStore* settings);

    // "All monitors" is chosen.
    bool On() const;
    // More than one monitor can be set, so "All monitors" means something.
    bool Possible() const;

    // The level in force in percent, which a moved range and a monitor that
    // comes later are given; nullopt while there is none. Without it, the
    // level last spread.
    std::function<std::optional<int>()> LevelPercentSource;
    // A range could not be read or kept.
    std::function<void(std::exception_ptr)> OnSettingsProblem;

    MonitorRange RangeOf(const MonitorInfo& monitor) const;
    // Keeps the range of the monitor of that instance name and shows it at
    // once: the monitor gets the level in force through its new range.
    void SetRange(const QString& instanceName, MonitorRange range);
    // Shows a range on its monitor without keeping it (a track bar on its
    // way); SetRange follows when it is let go.
    void ShowRange(const QString& instanceName, MonitorRange range);

    // A step of the level (its percent `stepPercent`) is being written to
    // `shown`, the monitor the views show, on a move heading for
    // `headingPercent`: returns what that monitor is to be given, in its own
    // percent, and with "All monitors" gives every other monitor its own
    // percent first. A DDC/CI monitor takes a call of up to half a second:
    // it is given the move's end once, at the move's first write, and
    // nothing at the fade's later steps (`fadeStep`), which would queue
    // behind the call in flight and hold the end back by another call. So
    // nullopt: nothing for the shown monitor at this step.
    std::optional<int> Spread(int stepPercent, int headingPercent, bool fadeStep, const QString& shown);
    int Spread(int levelPercent, const QString& shown) { return *Spread(levelPercent, levelPercent, false, shown); }
    // The level's percent that `monitorPercent` on that monitor stands for.
    int LevelPercentOf(const QString& instanceName, int monitorPercent) const;
    // Sets that monitor alone to the level's percent, through its range.
    void WriteOne(const QString& instanceName, int levelPercent);

    // After resume: each monitor the level goes to that does not show its
    // own percent for the level in force gets it, read from the monitor
    // itself (a DDC/CI monitor by its worker, off this thread). Those are the
    // shown monitor when it is a DDC/CI one (the level owner checks a panel
    // itself) and, with "All monitors", every other one that can be set.
    // Nothing before a level has been written.
    void Reapply(const QString& shown);

    std::vector<MonitorInfo> Monitors() const;
    // The monitors behind this room, for those who follow their changes;
    // null without.
    MonitorSetProvider* MonitorSet() const { return monitors_; }
    // That monitor's own percent now; nullopt when not known.
    std::optional<int> PercentOf(const QString& instanceName) const;

private:
    // The monitor follows a fade step by step; else it takes the move's end.
    static bool TakesSteps(const MonitorInfo& monitor);
    std::optional<MonitorInfo> Find(const QString& instanceName) const;
    void Write(const MonitorInfo& monitor, int levelPercent);
    // Monitors that answer now but have not had the level in force, once a
    // level has been written at all.
    void CatchUp();
    std::optional<int> LevelInForce() const;

    MonitorSetProvider* monitors_;
    TSettingsStore* settings_;
    mutable std::map<QString, MonitorRange> ranges_; // by MonitorRangeKey, as read
    std::optional<int> written_;                     // the level's percent last spread
    std::set<QString> holding_;                      // instances given it
};

} // namespace lumora
