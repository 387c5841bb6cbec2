// "All monitors" on DDC/CI monitors that take 200 ms a call (the stand-in
// folder with a delay): the time from one change of the level to the last
// monitor holding it, for one, two and three monitors.
//
// Counters: change_to_last_ms against call_ms (target: at most 1.2 x call_ms
// whatever the count, since each monitor has a worker of its own),
// handoff_ms (what the change costs the calling thread) and monitors.

#include "core/AllMonitors.h"
#include "platform/device/DdcMonitors.h"
#include "platform/device/DdcStandIn.h"
#include "platform/device/MonitorSetProvider.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>

#include <algorithm>

using namespace lumora;

namespace {

constexpr int kCallMs = 200;

void WriteFile(const QString& path, const QByteArray& text)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(text);
}

struct Rig {
    QTemporaryDir dir;
    std::shared_ptr<DdcMonitors> ddc;
    std::shared_ptr<MonitorSetProvider> monitors;
    std::unique_ptr<TAllMonitors> all;

    explicit Rig(int count)
    {
        for (int i = 0; i < count; ++i) {
            const QString folder = dir.filePath(QStringLiteral("ddc/m%1").arg(i));
            QDir().mkpath(folder);
            WriteFile(folder + "/model", "Slow Monitor\n");
            WriteFile(folder + "/serial", QByteArray::number(i) + "\n");
            WriteFile(folder + "/brightness", "50\n");
            WriteFile(folder + "/max_brightness", "100\n");
        }
        ddc = std::make_shared<DdcMonitors>(std::make_shared<DdcStandIn>(dir.filePath("ddc")));
        monitors = std::make_shared<MonitorSetProvider>(nullptr, ddc, 101);
        monitors->StartDetection();
        while (!monitors->Detected())
            QThread::msleep(5);
        // The calls from now on take their time; detection did not need to.
        for (int i = 0; i < count; ++i)
            WriteFile(dir.filePath(QStringLiteral("ddc/m%1/delay_ms").arg(i)), QByteArray::number(kCallMs) + "\n");
        monitors->SetAllMonitors(true);
        all = std::make_unique<TAllMonitors>(monitors.get(), nullptr);
    }
};

void BM_AllMonitorsChangeToLastMonitor(benchmark::State& state)
{
    const int count = int(state.range(0));
    Rig rig(count);
    const QString shown = rig.monitors->ActiveInstance();
    double total = 0, worst = 0, handoff = 0;
    int percent = 20;
    for (auto _ : state) {
        percent = percent == 20 ? 80 : 20;
        QElapsedTimer clock;
        clock.start();
        // What the level owner does for one level: the shown monitor through
        // its range, every other one beside it.
        rig.monitors->SetPercent(shown, rig.all->Spread(percent, shown));
        handoff = std::max(handoff, clock.nsecsElapsed() / 1e6);
        rig.ddc->Flush();
        const double elapsed = clock.nsecsElapsed() / 1e6;
        total += elapsed;
        worst = std::max(worst, elapsed);
    }
    state.counters["monitors"] = count;
    state.counters["call_ms"] = kCallMs;
    state.counters["change_to_last_ms"] = total / double(state.iterations());
    state.counters["worst_change_to_last_ms"] = worst;
    state.counters["handoff_ms"] = handoff;
}
BENCHMARK(BM_AllMonitorsChangeToLastMonitor)->Arg(1)->Arg(2)->Arg(3)->Iterations(6)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
