#include "core/MonitorRanges.h"

#include "core/Profiles.h"
#include "platform/settings/Registry.h"

#include <algorithm>

namespace lumora {

namespace {

const QString kRangesKey = QStringLiteral("Monitor ranges\\");
const QString kLowestValue = QStringLiteral("Lowest");
const QString kHighestValue = QStringLiteral("Highest");

QString RangeKey(const QString& model, const QString& serial)
{
    return ProfileKey(QString()) + kRangesKey + MonitorRangeKey(model, serial);
}

} // namespace

MonitorRange ValidRange(MonitorRange range)
{
    range.Lowest = std::clamp(range.Lowest, 0, 100);
    range.Highest = std::clamp(range.Highest, 0, 100);
    if (range.Lowest > range.Highest)
        std::swap(range.Lowest, range.Highest);
    return range;
}

int PercentInRange(int levelPercent, MonitorRange range)
{
    range = ValidRange(range);
    levelPercent = std::clamp(levelPercent, 0, 100);
    const int span = range.Highest - range.Lowest;
    // Rounded half up, in integers: the same level gives the same percent
    // on every call.
    const int percent = range.Lowest + (levelPercent * span + 50) / 100;
    if (percent == 0 && levelPercent > 0 && range.Highest > 0)
        return 1;
    return percent;
}

int LevelPercentOf(int monitorPercent, MonitorRange range)
{
    range = ValidRange(range);
    const int span = range.Highest - range.Lowest;
    if (span == 0)
        return monitorPercent >= range.Highest ? 100 : 0;
    const int offset = std::clamp(monitorPercent, range.Lowest, range.Highest) - range.Lowest;
    return (offset * 100 + span / 2) / span;
}

QString MonitorRangeKey(const QString& model, const QString& serial)
{
    // A backslash would open a deeper key.
    QString key = serial.isEmpty() ? model : model + u' ' + serial;
    key.replace(u'\\', u'/');
    return key.isEmpty() ? QStringLiteral("(unnamed)") : key;
}

std::optional<MonitorRange> LoadMonitorRange(TSettingsStore& store, const QString& model, const QString& serial)
{
    TRegistry registry(store);
    if (!registry.OpenKeyReadOnly(RangeKey(model, serial)))
        return std::nullopt;
    MonitorRange range;
    if (registry.ValueExists(kLowestValue))
        range.Lowest = registry.ReadInteger(kLowestValue);
    if (registry.ValueExists(kHighestValue))
        range.Highest = registry.ReadInteger(kHighestValue);
    registry.CloseKey();
    return ValidRange(range);
}

void SaveMonitorRange(TSettingsStore& store, const QString& model, const QString& serial, MonitorRange range)
{
    range = ValidRange(range);
    TRegistry registry(store);
    if (!registry.OpenKey(RangeKey(model, serial), true))
        return;
    registry.WriteInteger(kLowestValue, range.Lowest);
    registry.WriteInteger(kHighestValue, range.Highest);
    registry.CloseKey();
}

} // namespace lumora
