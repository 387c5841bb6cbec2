// How long choosing the desktop's brightness service holds the window's
// thread at start-up, on session buses shaped like each desktop (dbusmock on
// a private dbus-daemon): every candidate name on the bus is asked for the
// interface the program would use before it is chosen, each question a read
// bounded to 100 ms.
//
// Arguments: 0 GNOME 43-46, 1 GNOME 47-48, 2 GNOME 49+, 3 Plasma 6,
// 4 Plasma 5 without the backlight action, 5 a power name that never
// answers. Each iteration builds a watcher afresh (it asks every question
// again), so the time per iteration is the start-up's.

#include "platform/device/DesktopBrightnessWatcher.h"
#include "platform/device/GnomeBrightness.h"
#include "platform/device/KdeBrightness.h"
#include "platform/device/KdeScreenBrightness.h"
#include "platform/device/MutterBacklight.h"

#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

using namespace lumora;

namespace {

const QString kMocks = LUMORA_SOURCE_DIR "/tests/e2e/";
const QString kPanel =
    R"({"backlight": [{"connector": "eDP-1", "active": true, "min": 0, "max": 100, "value": 50}]})";

struct Served {
    QString Script; // a dbusmock template, or the silent service
    QString Name;
    QString Parameters;
};

std::vector<Served> Desktop(int shape)
{
    switch (shape) {
    case 0: return {{"gnome_power_mock.py", kGnomePowerService, "{}"}, {"mutter_mock.py", kMutterDisplayConfigService, "{}"}};
    case 1: return {{"gnome_power_mock.py", kGnomePowerService, "{}"}, {"mutter_mock.py", kMutterDisplayConfigService, kPanel}};
    case 2:
        return {{"gnome_power_mock.py", kGnomePowerService, R"({"screen": false})"},
                {"mutter_mock.py", kMutterDisplayConfigService, kPanel}};
    case 3: return {{"kde6_brightness_mock.py", kScreenBrightnessService, "{}"}};
    case 4: return {{"kde_brightness_mock.py", kKdePowerService, R"({"backlight": false})"}};
    default: return {{"silent_service.py", kKdePowerService, ""}};
    }
}

class DesktopBus {
public:
    explicit DesktopBus(int shape)
    {
        daemon_.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        daemon_.waitForStarted(5000);
        daemon_.waitForReadyRead(5000);
        const QString address = QString::fromUtf8(daemon_.readLine()).trimmed();
        bus_ = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address, kName));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DBUS_SESSION_BUS_ADDRESS", address);
        for (const Served& served : Desktop(shape)) {
            auto service = std::make_unique<QProcess>();
            service->setProcessEnvironment(env);
            service->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            if (served.Parameters.isEmpty())
                service->start("/usr/bin/python3", {kMocks + served.Script, served.Name});
            else
                service->start("/usr/bin/python3", {"-m", "dbusmock", "--session", "--template", kMocks + served.Script,
                                                    "--parameters", served.Parameters});
            QElapsedTimer clock;
            clock.start();
            while (!bus_->interface()->isServiceRegistered(served.Name).value() && clock.elapsed() < 15000)
                QThread::msleep(20);
            services_.push_back(std::move(service));
        }
    }
    ~DesktopBus()
    {
        for (auto& service : services_) {
            service->kill();
            service->waitForFinished(3000);
        }
        bus_.reset();
        QDBusConnection::disconnectFromBus(kName);
        daemon_.terminate();
        daemon_.waitForFinished(3000);
    }
    QDBusConnection Bus() const { return *bus_; }

private:
    static inline const QString kName = QStringLiteral("lumora-bench-choice");
    QProcess daemon_;
    std::unique_ptr<QDBusConnection> bus_;
    std::vector<std::unique_ptr<QProcess>> services_;
};

void BM_ChooseDesktopService(benchmark::State& state)
{
    DesktopBus bus(int(state.range(0)));
    bool chosen = false;
    for (auto _ : state) {
        DesktopBrightnessWatcher watcher(bus.Bus());
        chosen = watcher.Current() != nullptr;
        benchmark::DoNotOptimize(chosen);
    }
    state.counters["chosen"] = chosen ? 1 : 0;
}
BENCHMARK(BM_ChooseDesktopService)->DenseRange(0, 5)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace
