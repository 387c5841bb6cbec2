// The main window on a DDC/CI monitor that takes 200 ms a call (the stand-in
// folder with a delay): how long the user-interface thread stalls at most
// while the track bar is dragged and while the gauge's needle then animates,
// how many writes one animation costs, and how long after the release the
// monitor holds the final value.
//
// Counters: longest_stall_ms (target under 16), gauge_steps and writes per
// animation, release_to_final_ms against call_ms (target: the final value at
// most one call after the one in flight when the animation ends, so
// release_to_final_ms <= animation_ms + 2 x call_ms).

#include "core/BrightnessUnit.h"
#include "core/WindowSeam.h"
#include "platform/device/BacklightProvider.h"
#include "platform/device/DdcStandIn.h"
#include "platform/device/MonitorSetProvider.h"
#include "platform/settings/SettingsStore.h"
#include "platform/shell/Autostart.h"
#include "platform/shell/IdleTime.h"
#include "platform/shell/NotifyIconHost.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <benchmark/benchmark.h>

#include "bench/support/WindowRig.h"

#include <algorithm>
#include <atomic>

using namespace lumora;
using namespace lumora::bench;

namespace {

constexpr int kCallMs = 200;

class CountingStandIn : public DdcStandIn {
public:
    using DdcStandIn::DdcStandIn;
    void Write(const QString& id, std::uint8_t feature, int value) override
    {
        DdcStandIn::Write(id, feature, value);
        last = value;
        ++writes;
    }
    std::atomic<int> writes = 0;
    std::atomic<int> last = -1;
};

void WriteFile(const QString& path, const QByteArray& text)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(text);
}


struct Rig {
    QTemporaryDir dir;
    std::shared_ptr<CountingStandIn> bus;
    std::unique_ptr<TSettingsStore> settings;
    std::unique_ptr<TAutostart> autostart;
    NoTray tray;
    NoIdle idle;
    std::unique_ptr<TForm1> form;

    Rig()
    {
        QDir().mkpath(dir.filePath("bl"));
        QDir().mkpath(dir.filePath("run"));
        QDir().mkpath(dir.filePath("ddc/a"));
        WriteFile(dir.filePath("ddc/a/model"), "Slow Monitor\n");
        WriteFile(dir.filePath("ddc/a/serial"), "1\n");
        WriteFile(dir.filePath("ddc/a/brightness"), "0\n");
        WriteFile(dir.filePath("ddc/a/max_brightness"), "100\n");
        WriteFile(dir.filePath("ddc/a/delay_ms"), QByteArray::number(kCallMs) + "\n");
        bus = std::make_shared<CountingStandIn>(dir.filePath("ddc"));
        auto monitors = std::make_shared<MonitorSetProvider>(
            std::make_shared<BacklightProvider>(BacklightOptions{dir.filePath("bl"), 21}),
            std::make_shared<DdcMonitors>(bus), 21);
        settings = std::make_unique<TSettingsStore>(dir.filePath("settings.conf"));
        autostart = std::make_unique<TAutostart>(dir.filePath("autostart"));
        TForm1Services services;
        services.Brightness = monitors;
        services.Monitors = monitors;
        services.Settings = settings.get();
        services.Autostart = autostart.get();
        services.Idle = &idle;
        services.TrayHost = &tray;
        services.ExecutablePath = dir.filePath("lumora");
        services.InstanceRecordFolder = dir.filePath("run");
        services.ScreenPixelsPerInch = 120;
        form = std::make_unique<TForm1>(services);
        form->show();
        TWindowSeam seam(*form);
        LongestStallUntil([&] { return seam.StartupPending(); });
        seam.RunStartup(); // nothing saved: the monitor keeps its level
        LongestStallUntil([&] { return !seam.NeedleMoving(); });
    }
};

void BM_DdcSlowMonitorDragAndAnimation(benchmark::State& state)
{
    Rig rig;
    TWindowSeam seam(*rig.form);
    int gaugeSteps = 0;
    const auto previous = seam.Gauge().OnChange;
    double longestHandler = 0;
    seam.Gauge().OnChange = [&](TObject* sender) {
        ++gaugeSteps;
        QElapsedTimer handler;
        handler.start();
        previous(sender);
        longestHandler = std::max(longestHandler, handler.nsecsElapsed() / 1e6);
    };
    double dragStallMax = 0, releaseStallMax = 0, animStallMax = 0;
    double stall = 0, writes = 0, steps = 0, releaseToFinal = 0, animation = 0;
    bool up = true;
    for (auto _ : state) {
        const double from = up ? 0 : 100, to = up ? 100 : 0;
        const int finalRaw = up ? 100 : 1;
        rig.bus->writes = 0;
        gaugeSteps = 0;

        // The drag: the thumb moves in 20 steps, 16 ms apart.
        QElapsedTimer dragClock;
        qint64 dragStall = 0;
        for (int i = 1; i <= 20; ++i) {
            dragClock.start();
            seam.DragTrackBar(from + (to - from) * i / 20);
            dragStall = std::max(dragStall, dragClock.elapsed());
            dragStall = std::max(dragStall, LongestStallUntil([&] { return dragClock.elapsed() >= 16; }));
        }

        // The release: one write, then the needle animates and writes as it goes.
        QElapsedTimer clock;
        clock.start();
        seam.DropTrackBar(to);
        const qint64 releaseStall = clock.elapsed();
        qint64 animationEnd = -1;
        const qint64 animStall = LongestStallUntil([&] {
            if (animationEnd < 0 && !seam.NeedleMoving())
                animationEnd = clock.elapsed();
            return animationEnd >= 0 && rig.bus->last == finalRaw;
        });
        const qint64 finalAt = clock.elapsed();
        LongestStallUntil([&] { return clock.elapsed() > finalAt + 3 * kCallMs; }); // let the worker go idle

        stall = std::max({stall, double(dragStall), double(releaseStall), double(animStall)});
        dragStallMax = std::max(dragStallMax, double(dragStall));
        releaseStallMax = std::max(releaseStallMax, double(releaseStall));
        animStallMax = std::max(animStallMax, double(animStall));
        writes += rig.bus->writes;
        steps += gaugeSteps;
        releaseToFinal += double(finalAt);
        animation += double(animationEnd);
        up = !up;
    }
    const double n = double(state.iterations());
    state.counters["longest_stall_ms"] = stall;
    state.counters["drag_stall_ms"] = dragStallMax;
    state.counters["release_stall_ms"] = releaseStallMax;
    state.counters["animation_stall_ms"] = animStallMax;
    state.counters["gauge_steps"] = steps / n;
    state.counters["writes"] = writes / n;
    state.counters["animation_ms"] = animation / n;
    state.counters["release_to_final_ms"] = releaseToFinal / n;
    state.counters["call_ms"] = kCallMs;
    // The gauge's change handler, which makes the write: what the device path
    // itself costs the user-interface thread.
    state.counters["longest_write_handler_ms"] = longestHandler;
}
// The same measure on an idle event loop for one second: what the machine's
// own scheduling adds to every stall above.
void BM_IdleEventLoopBaseline(benchmark::State& state)
{
    double stall = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        stall = std::max(stall, double(LongestStallUntil([&] { return clock.elapsed() > 1000; })));
    }
    state.counters["longest_stall_ms"] = stall;
}
BENCHMARK(BM_IdleEventLoopBaseline)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK(BM_DdcSlowMonitorDragAndAnimation)->Iterations(4)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
