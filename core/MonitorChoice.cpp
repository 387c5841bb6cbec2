#include "core/MonitorChoice.h"

#include "core/Profiles.h"
#include "platform/framework/SysUtils.h"
#include "platform/settings/Registry.h"

#include <cstdlib>

namespace lumora {

namespace {

const QString kModelValue = QStringLiteral("MonitorModel");
const QString kSerialValue = QStringLiteral("MonitorSerial");
const QString kAllValue = QStringLiteral("AllMonitors");

} // namespace

bool IsRemembered(const MonitorInfo& monitor, const std::optional<RememberedMonitor>& remembered)
{
    return remembered && !remembered->Model.isEmpty() && monitor.Model == remembered->Model &&
           monitor.Serial == remembered->Serial;
}

std::optional<std::size_t> ChooseMonitor(const std::vector<MonitorInfo>& monitors,
                                         const std::optional<RememberedMonitor>& remembered,
                                         const ScreenIdentity& windowScreen)
{
    const auto first = [&](auto&& wanted) -> std::optional<std::size_t> {
        for (std::size_t i = 0; i < monitors.size(); ++i) {
            if (monitors[i].Answering && monitors[i].Controllable && wanted(monitors[i]))
                return i;
        }
        return std::nullopt;
    };
    if (auto m = first([&](const MonitorInfo& m) { return IsRemembered(m, remembered); }))
        return m;
    if (auto m = first([](const MonitorInfo& m) { return m.Panel; }))
        return m;
    if (!windowScreen.Name.isEmpty()) {
        if (auto m = first([&](const MonitorInfo& m) { return m.Connector == windowScreen.Name; }))
            return m;
    }
    if (!windowScreen.Model.isEmpty()) {
        if (auto m = first([&](const MonitorInfo& m) {
                return m.Model == windowScreen.Model && m.Serial == windowScreen.Serial;
            }))
            return m;
    }
    return first([](const MonitorInfo&) { return true; });
}

int NearestLevelIndex(const QStringList& levelList, int value)
{
    int best = 0;
    int bestDistance = -1;
    for (int i = 0; i < levelList.size(); ++i) {
        const int distance = std::abs(TextToInt(levelList.at(i)) - value);
        if (bestDistance < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

std::optional<RememberedMonitor> LoadRememberedMonitor(TSettingsStore& store)
{
    TRegistry registry(store);
    if (!registry.OpenKeyReadOnly(ProfileKey(QString())))
        return std::nullopt;
    std::optional<RememberedMonitor> remembered;
    if (registry.ValueExists(kModelValue)) {
        remembered = RememberedMonitor{registry.ReadString(kModelValue),
                                       registry.ValueExists(kSerialValue) ? registry.ReadString(kSerialValue) : QString()};
    }
    if (registry.ValueExists(kAllValue) && registry.ReadBool(kAllValue)) {
        remembered = remembered.value_or(RememberedMonitor{});
        remembered->All = true;
    }
    registry.CloseKey();
    return remembered;
}

void SaveRememberedMonitor(TSettingsStore& store, const RememberedMonitor& monitor)
{
    TRegistry registry(store);
    if (!registry.OpenKey(ProfileKey(QString()), true))
        return;
    registry.WriteString(kModelValue, monitor.Model);
    registry.WriteString(kSerialValue, monitor.Serial);
    registry.WriteBool(kAllValue, monitor.All);
    registry.CloseKey();
}

} // namespace lumora
