// The main window moving the level from one end to the other and back, as
// `lumora --set-level` asks it, on a panel written through the file (inline,
// microseconds) and on one behind a worker whose every call takes 50 ms (as
// the login manager's SetBrightness is reached when the file is not
// writable).
//
// Counters: writes per change (the walk in step with the needle, a few
// levels; behind a slow worker fewer, the newest value kept), turns (a write
// going back against the move: must be 0), longest_stall_ms (the longest time
// the event loop did not turn from the request until the device holds the
// target; target under 16) and to_target_ms.

#include "core/BrightnessUnit.h"
#include "core/WindowSeam.h"
#include "platform/device/BacklightProvider.h"
#include "platform/device/CoalescingWriter.h"
#include "platform/device/SysfsBrightnessWriter.h"
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

#include <benchmark/benchmark.h>

#include "bench/support/WindowRig.h"

#include <atomic>
#include <mutex>
#include <vector>

using namespace lumora;
using namespace lumora::bench;

namespace {

// Writes through to the stand-in file and keeps each raw value, after an
// optional delay per call.
class RecordingWriter : public BrightnessWriter {
public:
    explicit RecordingWriter(int delayMs) : delayMs_(delayMs) {}
    void Write(const BacklightDevice& device, int raw) override
    {
        if (delayMs_ > 0)
            QThread::msleep(delayMs_);
        file_.Write(device, raw);
        std::lock_guard lock(mutex_);
        values_.push_back(raw);
    }
    std::vector<int> Take()
    {
        std::lock_guard lock(mutex_);
        return std::exchange(values_, {});
    }
    int Last()
    {
        std::lock_guard lock(mutex_);
        return values_.empty() ? -1 : values_.back();
    }

private:
    int delayMs_;
    SysfsBrightnessWriter file_{nullptr};
    std::mutex mutex_;
    std::vector<int> values_;
};

// Hands the worker's writes to the recorder the benchmark keeps.
class SharedWriter : public BrightnessWriter {
public:
    explicit SharedWriter(std::shared_ptr<BrightnessWriter> to) : to_(std::move(to)) {}
    void Write(const BacklightDevice& device, int raw) override { to_->Write(device, raw); }

private:
    std::shared_ptr<BrightnessWriter> to_;
};

void WriteFile(const QString& path, const QByteArray& text)
{
    QDir().mkpath(path.section('/', 0, -2));
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(text);
}


void BM_LevelChange(benchmark::State& state)
{
    const int delayMs = int(state.range(0));
    QTemporaryDir dir;
    WriteFile(dir.filePath("bl/panel/max_brightness"), "100\n");
    WriteFile(dir.filePath("bl/panel/brightness"), "0\n");
    WriteFile(dir.filePath("bl/panel/type"), "firmware\n");
    auto recorder = std::make_shared<RecordingWriter>(delayMs);
    std::shared_ptr<BrightnessWriter> writer = recorder;
    if (delayMs > 0)
        writer = std::make_shared<CoalescingWriter>(std::make_unique<SharedWriter>(recorder));
    TSettingsStore settings(dir.filePath("settings.conf"));
    TAutostart autostart(dir.filePath("autostart"));
    NoTray tray;
    NoIdle idle;
    TForm1Services services;
    services.Brightness = std::make_shared<BacklightProvider>(BacklightOptions{dir.filePath("bl"), 11}, writer);
    services.Settings = &settings;
    services.Autostart = &autostart;
    services.Idle = &idle;
    services.TrayHost = &tray;
    services.ExecutablePath = dir.filePath("lumora");
    services.InstanceRecordFolder = dir.filePath("run");
    services.ScreenPixelsPerInch = 120;
    QDir().mkpath(dir.filePath("run"));
    TForm1 form(services);
    TWindowSeam(form).RunStartup(); // nothing saved: the panel keeps its level
    form.SetLevelByRequest(0);
    LongestStallUntil([&] { return recorder->Last() == 1 && !form.Level().Fading(); });
    recorder->Take();

    double writes = 0, turns = 0, stall = 0, toTarget = 0, changes = 0;
    int target = 10;
    for (auto _ : state) {
        const int from = target == 10 ? 1 : 100, to = target == 10 ? 100 : 1;
        QElapsedTimer clock;
        clock.start();
        form.SetLevelByRequest(target);
        stall = std::max<double>(stall, LongestStallUntil([&] { return recorder->Last() == to && !form.Level().Fading(); }));
        toTarget += clock.elapsed();
        const std::vector<int> seen = recorder->Take();
        writes += seen.size();
        int last = from;
        for (int v : seen) {
            turns += (to > from ? v < last : v > last) ? 1 : 0;
            last = v;
        }
        ++changes;
        target = 10 - target;
    }
    state.counters["writes"] = writes / changes;
    state.counters["turns"] = turns;
    state.counters["longest_stall_ms"] = stall;
    state.counters["to_target_ms"] = toTarget / changes;
}

} // namespace

BENCHMARK(BM_LevelChange)->Arg(0)->Arg(50)->ArgNames({"call_ms"})->Iterations(10)->Unit(benchmark::kMillisecond);
