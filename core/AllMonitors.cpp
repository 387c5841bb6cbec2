#include "core/AllMonitors.h"

#include "platform/framework/Exception.h"

#include <algorithm>

namespace lumora {

TAllMonitors::TAllMonitors(MonitorSetProvider* monitors, TSettingsStore* settings)
    : monitors_(monitors), settings_(settings)
{
    if (monitors_) {
        QObject::connect(monitors_, &MonitorSetProvider::MonitorsChanged, this, [this] { CatchUp(); });
        // Queued: after the choice of monitors has been made for what was found.
        QObject::connect(monitors_, &MonitorSetProvider::DetectionFinished, this, [this] { CatchUp(); },
                         Qt::QueuedConnection);
    }
}

bool TAllMonitors::On() const { return monitors_ && monitors_->AllMonitors(); }

std::vector<MonitorInfo> TAllMonitors::Monitors() const
{
    return monitors_ ? monitors_->Monitors() : std::vector<MonitorInfo>{};
}

std::optional<int> TAllMonitors::PercentOf(const QString& instanceName) const
{
    return monitors_ ? monitors_->PercentOf(instanceName) : std::nullopt;
}

bool TAllMonitors::Possible() const
{
    const std::vector<MonitorInfo> known = Monitors();
    return std::count_if(known.begin(), known.end(), [](const MonitorInfo& m) { return m.Controllable; }) > 1;
}

std::optional<MonitorInfo> TAllMonitors::Find(const QString& instanceName) const
{
    for (const MonitorInfo& m : Monitors()) {
        if (m.InstanceName == instanceName)
            return m;
    }
    return std::nullopt;
}

MonitorRange TAllMonitors::RangeOf(const MonitorInfo& monitor) const
{
    const QString key = MonitorRangeKey(monitor.Model, monitor.Serial);
    if (const auto known = ranges_.find(key); known != ranges_.end())
        return known->second;
    MonitorRange range;
    if (settings_) {
        try {
            range = LoadMonitorRange(*settings_, monitor.Model, monitor.Serial).value_or(MonitorRange{});
        } catch (const Exception&) {
            // A damaged range costs only that range: the full one is used.
            if (OnSettingsProblem)
                OnSettingsProblem(std::current_exception());
        }
    }
    ranges_[key] = range;
    return range;
}

void TAllMonitors::SetRange(const QString& instanceName, MonitorRange range)
{
    const std::optional<MonitorInfo> monitor = Find(instanceName);
    if (!monitor)
        return;
    range = ValidRange(range);
    ranges_[MonitorRangeKey(monitor->Model, monitor->Serial)] = range;
    if (settings_)
        SaveMonitorRange(*settings_, monitor->Model, monitor->Serial, range);
    ShowRange(instanceName, range);
}

void TAllMonitors::ShowRange(const QString& instanceName, MonitorRange range)
{
    const std::optional<MonitorInfo> monitor = Find(instanceName);
    const std::optional<int> level = LevelInForce();
    if (!monitor || !monitor->Controllable || !level)
        return;
    try {
        monitors_->SetPercent(instanceName, PercentInRange(*level, range));
    } catch (const Exception&) {
        // A monitor that does not answer is named by the monitor set.
    }
}

std::optional<int> TAllMonitors::Spread(int stepPercent, int headingPercent, bool fadeStep, const QString& shown)
{
    written_ = headingPercent;
    if (!fadeStep)
        holding_.clear();
    holding_.insert(shown);
    std::optional<MonitorInfo> shownMonitor;
    for (const MonitorInfo& m : Monitors()) {
        if (m.InstanceName == shown) {
            shownMonitor = m;
        } else if (On() && m.Controllable) {
            if (TakesSteps(m))
                Write(m, stepPercent);
            else if (!fadeStep)
                Write(m, headingPercent);
        }
    }
    if (!shownMonitor)
        return stepPercent;
    if (!TakesSteps(*shownMonitor)) {
        if (fadeStep)
            return std::nullopt;
        return PercentInRange(headingPercent, RangeOf(*shownMonitor));
    }
    return PercentInRange(stepPercent, RangeOf(*shownMonitor));
}

bool TAllMonitors::TakesSteps(const MonitorInfo& monitor)
{
    // The panel is written in microseconds (or by a service that keeps only
    // the newest value): it follows the needle.
    return monitor.Panel;
}

int TAllMonitors::LevelPercentOf(const QString& instanceName, int monitorPercent) const
{
    const std::optional<MonitorInfo> monitor = Find(instanceName);
    return monitor ? lumora::LevelPercentOf(monitorPercent, RangeOf(*monitor)) : monitorPercent;
}

void TAllMonitors::WriteOne(const QString& instanceName, int levelPercent)
{
    const std::optional<MonitorInfo> monitor = Find(instanceName);
    if (!monitor || !monitor->Controllable)
        throw Exception(QStringLiteral("The monitor \"%1\" cannot be set: it did not answer when the monitors were found.").arg(instanceName));
    monitors_->SetPercent(instanceName, PercentInRange(levelPercent, RangeOf(*monitor)));
}

void TAllMonitors::Write(const MonitorInfo& monitor, int levelPercent)
{
    try {
        monitors_->SetPercent(monitor.InstanceName, PercentInRange(levelPercent, RangeOf(monitor)));
        holding_.insert(monitor.InstanceName);
    } catch (const Exception&) {
        // Passed over: the monitor set names a monitor that stops answering
        // once, and the others must not wait for it.
    }
}

void TAllMonitors::Reapply(const QString& shown)
{
    const std::optional<int> level = LevelInForce();
    if (!written_ || !level)
        return;
    for (const MonitorInfo& m : Monitors()) {
        if (!m.Controllable)
            continue;
        if (m.InstanceName == shown ? TakesSteps(m) : !On())
            continue;
        try {
            monitors_->EnsurePercent(m.InstanceName, PercentInRange(*level, RangeOf(m)));
        } catch (const Exception&) {
            // Gone while asleep: the monitor set hears of it and says so.
        }
    }
}

std::optional<int> TAllMonitors::LevelInForce() const
{
    // The level owner's own level: after a switch of monitors it is the new
    // monitor's, not the one last spread.
    return LevelPercentSource ? LevelPercentSource() : written_;
}

void TAllMonitors::CatchUp()
{
    // Nothing written yet (a first start keeps every monitor as it is).
    const std::optional<int> level = LevelInForce();
    if (!written_ || !level)
        return;
    const std::vector<MonitorInfo> known = Monitors();
    // A monitor unplugged has lost the level: plugged in again, it gets it.
    std::erase_if(holding_, [&](const QString& instance) {
        return std::none_of(known.begin(), known.end(), [&](const MonitorInfo& m) { return m.InstanceName == instance; });
    });
    for (const MonitorInfo& m : known) {
        if (!m.Answering) {
            holding_.erase(m.InstanceName);
            continue;
        }
        if (On() && m.Controllable && !holding_.contains(m.InstanceName))
            Write(m, *level);
    }
}

} // namespace lumora
