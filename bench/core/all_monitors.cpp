// "All monitors" on DDC/CI monitors that take 200 ms a call (the stand-in
// folder with a delay): the time from one change of the level to the last
// monitor holding it, for one, two and three monitors.
//
// Counters: change_to_last_ms against call_ms (target: at most 1.2 x call_ms
// whatever the count, since each monitor has a worker of its own),
// handoff_ms (what the change costs the calling thread) and monitors.
//
// BM_AllMonitorsFadeToLastMonitor makes the change as the level owner does,
// a fade in step with the needle (levels 2 -> 10 and back on 11 levels):
// release_to_last_ms is the time from the request (a drag's release) until
// the last monitor holds the end. Its second argument 1 hands the slow
// monitors every step of the fade as well, for comparison: the end then
// waits behind the call in flight.

#include "core/AllMonitors.h"
#include "core/LevelModel.h"
#include "platform/device/DdcMonitors.h"
#include "platform/device/DdcStandIn.h"
#include "platform/device/MonitorSetProvider.h"

#include <QCoreApplication>
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
void BM_AllMonitorsFadeToLastMonitor(benchmark::State& state)
{
    const int count = int(state.range(0));
    const bool everyStep = state.range(1) != 0;
    Rig rig(count);
    const QString shown = rig.monitors->ActiveInstance();
    TLevelModel* model = nullptr;
    TLevelModel level(
        [&](int index) {
            const int step = index * 10;
            const int heading = everyStep ? step : model->Heading() * 10;
            const std::optional<int> own = rig.all->Spread(step, heading, everyStep ? false : model->WritingFadeStep(), shown);
            if (own)
                rig.monitors->SetPercent(shown, *own);
        },
        FadePace{16, 5});
    model = &level;
    level.Reset(11, 5);
    double total = 0, worst = 0;
    int target = 2;
    for (auto _ : state) {
        target = target == 2 ? 10 : 2;
        const int percent = target * 10;
        QElapsedTimer clock;
        clock.start();
        level.Request(target, LevelSource::TrackBar);
        const auto allThere = [&] {
            for (const MonitorInfo& m : rig.monitors->Monitors()) {
                if (rig.monitors->PercentOf(m.InstanceName) != percent)
                    return false;
            }
            return true;
        };
        while (!allThere() || level.Fading()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
            QThread::usleep(500);
        }
        const double elapsed = clock.nsecsElapsed() / 1e6;
        total += elapsed;
        worst = std::max(worst, elapsed);
        // The workers idle again before the next move.
        rig.ddc->Flush();
    }
    state.counters["monitors"] = count;
    state.counters["call_ms"] = kCallMs;
    state.counters["release_to_last_ms"] = total / double(state.iterations());
    state.counters["worst_release_to_last_ms"] = worst;
}
BENCHMARK(BM_AllMonitorsFadeToLastMonitor)
    ->Args({1, 0})->Args({2, 0})->Args({3, 0})->Args({3, 1})
    ->Iterations(6)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK(BM_AllMonitorsChangeToLastMonitor)->Arg(1)->Arg(2)->Arg(3)->Iterations(6)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
