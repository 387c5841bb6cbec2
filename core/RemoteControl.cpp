#include "core/RemoteControl.h"

#include "core/BrightnessUnit.h"
#include "core/MonitorChoice.h"
#include "core/ProgramOptions.h"
#include "platform/shell/BrightnessBusClient.h"
#include "platform/shell/BrightnessBusService.h"

#include <cstdio>

namespace lumora {

namespace {
constexpr char kNotRunning[] = "Lumora Brightness Control is not running";
}

void ConnectBrightnessBus(TForm1& form, BrightnessBusService& service)
{
    service.LevelSource = [&form] { return form.ShownLevel(); };
    service.LevelCountSource = [&form] { return form.LevelCount(); };
    service.OnSetLevel = [&form](int level) { form.SetLevelByRequest(level); };
    form.OnShownLevelChanged = [&service](int level) { service.AnnounceLevel(level); };
    service.MonitorsSource = [&form] { return BusMonitors(form); };
    service.OnSetMonitorLevel = [&form](const QString& id, int level) { SetMonitorLevel(form, id, level); };
}

BusMonitorList BusMonitors(TForm1& form)
{
    BusMonitorList list;
    TAllMonitors& all = form.AllMonitors();
    for (const MonitorInfo& m : all.Monitors()) {
        BusMonitor monitor{m.InstanceName, m.Panel ? QStringLiteral("Built-in panel") : m.Model, -1, m.Answering};
        const std::optional<int> percent = m.Controllable ? all.PercentOf(m.InstanceName) : std::nullopt;
        if (percent && form.LevelCount() > 0)
            monitor.Level = NearestLevelIndex(form.Brightness().LevelList, all.LevelPercentOf(m.InstanceName, *percent));
        list << monitor;
    }
    return list;
}

void SetMonitorLevel(TForm1& form, const QString& id, int level)
{
    TAllMonitors& all = form.AllMonitors();
    const bool shown = id == form.Brightness().MonitorInstanceName;
    if (shown && !all.On()) {
        // The monitor the program works on: as the user's choice would.
        form.SetLevelByRequest(level);
        return;
    }
    all.WriteOne(id, form.Brightness().LevelValue(level));
    // The views follow the monitor they show; the others are not touched.
    if (shown)
        form.Level().ChangedElsewhere(level);
}

int RunRemoteCommand(const ProgramOptions& options)
{
    BrightnessBusAnswer answer;
    if (options.ListMonitors)
        answer = ListRunningMonitors();
    else if (options.SetLevel && !options.Monitor.isEmpty())
        answer = SetRunningMonitorLevel(options.Monitor, *options.SetLevel);
    else if (options.SetLevel)
        answer = SetRunningLevel(*options.SetLevel);
    else
        answer = ReadRunningLevel();
    switch (answer.Result) {
    case BrightnessBusAnswer::Done:
        if (options.GetLevel)
            std::printf("%d\n", answer.Level);
        // Tab-separated, the name last since it may hold spaces.
        for (const BusMonitor& m : answer.Monitors) {
            std::printf("%s\t%d\t%s\t%s\n", qPrintable(m.Id), m.Level, m.Answering ? "answering" : "not-answering",
                        qPrintable(m.Name));
        }
        return 0;
    case BrightnessBusAnswer::NotRunning:
        std::fprintf(stderr, "lumora: %s\n", kNotRunning);
        return 1;
    case BrightnessBusAnswer::Refused:
        std::fprintf(stderr, "lumora: %s\n", qPrintable(answer.Message));
        return 2;
    case BrightnessBusAnswer::Failed: break;
    }
    std::fprintf(stderr, "lumora: the running copy did not answer: %s\n", qPrintable(answer.Message));
    return 1;
}

} // namespace lumora
