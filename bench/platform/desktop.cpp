// The built-in panel through a desktop brightness service (KDE Plasma 5's
// power management, served by python-dbusmock on a private dbus-daemon): 20
// levels written in quick succession, one every 10 ms as a dragged track bar
// writes them, with a service that answers each call in 50 ms and with one
// that owns its name but never answers.
//
// Counters: query_ms, the start-up query that reads the service's range and
// value (bounded reads: at most 100 ms each); longest_stall_ms, the longest
// time the event loop did not turn while the 20 levels are written and until
// the service has the last (what the user feels as a frozen window; a call
// waited for in full would show here as 50 ms per write, or the 2 s bound),
// and longest_write_ms, the longest of the 20 writes itself; calls, the calls the service received in all (range and value reads,
// probes and writes), and set_calls, the writes among them (at most one in
// flight, the newest value last, so fewer than 20 when the service is slower
// than the writes).

#include "platform/device/BacklightProvider.h"
#include "platform/device/KdeBrightness.h"
#include "platform/device/PanelProvider.h"
#include "platform/device/SysfsBrightnessWriter.h"
#include "platform/device/WbemLocator.h"

#include <QApplication>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>

#include "bench/support/WindowRig.h"

#include <algorithm>

using namespace lumora;
using namespace lumora::bench;

namespace {

const QString kMocks = LUMORA_SOURCE_DIR "/tests/e2e/";

void WriteFile(const QString& path, const QByteArray& text)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(text);
}

// A private bus with the service on it, and a monitor that sees every call
// made to the service.
class ServiceBus {
public:
    // `delay` in seconds for a dbusmock service; negative for one that never
    // answers.
    explicit ServiceBus(double delay)
    {
        daemon_.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        daemon_.waitForStarted(5000);
        daemon_.waitForReadyRead(5000);
        address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
        bus_ = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address_, kName));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DBUS_SESSION_BUS_ADDRESS", address_);
        service_.setProcessEnvironment(env);
        service_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        if (delay >= 0) {
            service_.start("/usr/bin/python3",
                           {"-m", "dbusmock", "--session", "--template", kMocks + "kde_brightness_mock.py",
                            "--parameters", QString("{\"delay\": %1}").arg(delay)});
        } else {
            service_.start("/usr/bin/python3", {kMocks + "silent_service.py", kKdePowerService});
        }
        QElapsedTimer clock;
        clock.start();
        while (!bus_->interface()->isServiceRegistered(kKdePowerService).value() && clock.elapsed() < 15000)
            QThread::msleep(20);
        monitor_.start("dbus-monitor", {"--address", address_,
                                        "type='method_call',destination='" + kKdePowerService + "'"});
        monitor_.waitForStarted(5000);
        QThread::msleep(300); // the monitor becomes one
    }
    ~ServiceBus()
    {
        monitor_.kill();
        monitor_.waitForFinished(3000);
        service_.kill();
        service_.waitForFinished(3000);
        bus_.reset();
        QDBusConnection::disconnectFromBus(kName);
        daemon_.terminate();
        daemon_.waitForFinished(3000);
    }

    QDBusConnection Bus() const { return *bus_; }

    // The calls made to the service since the last count: all, and writes.
    std::pair<int, int> TakeCalls()
    {
        QThread::msleep(200);
        seen_ += QString::fromUtf8(monitor_.readAllStandardOutput());
        const int all = int(seen_.count("method call "));
        const int sets = int(seen_.count("member=setBrightnessSilent"));
        seen_.clear();
        return {all, sets};
    }

private:
    static inline const QString kName = QStringLiteral("lumora-bench-desktop");
    QProcess daemon_;
    QProcess service_;
    QProcess monitor_;
    QString address_;
    QString seen_;
    std::unique_ptr<QDBusConnection> bus_;
};

void WritePercent(PanelProvider& panel, int percent)
{
    auto in = panel.ClassDefinition("WmiMonitorBrightnessMethods").Methods_().Item("WmiSetBrightness").InParameters();
    in->Properties_().Item("Brightness").SetValue(CimValue::Sint32(percent));
    in->Properties_().Item("Timeout").SetValue(CimValue::Uint8(0));
    panel.ExecMethod("WmiMonitorBrightnessMethods", "InstanceName", "panel", "WmiSetBrightness", in.get());
}

void RunTwentyWrites(benchmark::State& state, double delay)
{
    ServiceBus bus(delay);
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath("panel"));
    WriteFile(dir.filePath("panel/max_brightness"), "100\n");
    WriteFile(dir.filePath("panel/brightness"), "50\n");
    WriteFile(dir.filePath("panel/type"), "firmware\n");
    bus.TakeCalls();

    double query = 0, stall = 0, longestWrite = 0, calls = 0, sets = 0;
    int first = 10;
    for (auto _ : state) {
        // A service object of its own each time: its range is read again.
        KdeBrightness kde(bus.Bus());
        auto panel = std::make_shared<PanelProvider>(std::make_shared<BacklightProvider>(
            BacklightOptions{dir.path(), 101}, std::make_shared<SysfsBrightnessWriter>()));
        panel->UseDesktop(&kde);
        int reported = -1;
        QObject::connect(&kde, &DesktopBrightness::ValueChanged, [&](int value) { reported = value; });

        // The start-up query: the range and the value are read, bounded.
        QElapsedTimer clock;
        clock.start();
        TSWbemLocator(panel).ConnectServer(".", "root\\wmi")
            .ExecQuery("SELECT * FROM WmiMonitorBrightness WHERE Active = True")
            .NewEnum()
            .Next();
        query = std::max(query, double(clock.elapsed()));
        clock.start();
        qint64 longest = 0;
        const int last = first + 19;
        for (int percent = first; percent <= last; ++percent) {
            QElapsedTimer write;
            write.start();
            WritePercent(*panel, percent);
            longestWrite = std::max(longestWrite, double(write.elapsed()));
            const qint64 due = clock.elapsed() + 10;
            longest = std::max(longest, LongestStallUntil([&] { return clock.elapsed() >= due; }));
        }
        // Until the service has the last value, or, for one that never
        // answers, until a write would have run out its bound.
        const qint64 end = clock.elapsed() + 2500;
        longest = std::max(longest, LongestStallUntil([&] {
            return delay >= 0 ? reported == last * 10 : clock.elapsed() >= end;
        }));
        const auto [all, writes] = bus.TakeCalls();
        stall = std::max(stall, double(longest));
        calls += all;
        sets += writes;
        first = first == 10 ? 50 : 10;
    }
    const double n = double(state.iterations());
    state.counters["query_ms"] = query;
    state.counters["longest_stall_ms"] = std::max(stall, longestWrite);
    state.counters["longest_write_ms"] = longestWrite;
    state.counters["calls"] = calls / n;
    state.counters["set_calls"] = sets / n;
    state.counters["writes"] = 20;
}

void BM_DesktopServiceAnswersIn50ms(benchmark::State& state) { RunTwentyWrites(state, 0.05); }
void BM_DesktopServiceNeverAnswers(benchmark::State& state) { RunTwentyWrites(state, -1); }

} // namespace

BENCHMARK(BM_DesktopServiceAnswersIn50ms)->Unit(benchmark::kMillisecond)->Iterations(4)->UseRealTime();
BENCHMARK(BM_DesktopServiceNeverAnswers)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
