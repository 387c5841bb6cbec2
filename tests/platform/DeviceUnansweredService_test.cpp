// Desktop services, the login manager and GNOME's idle monitor that own
// their bus names but do not answer: the window's thread is held for a
// bounded read at most, never for a call's full timeout; the panel is then
// set through the backlight file, and the service is used again once it
// answers. Also what a working service costs: its range read once, and one
// call at a time while values come in quick succession.
//
// The services are served on a private dbus-daemon: python-dbusmock with the
// templates the whole-program tests use, and a script that takes names and
// never reads a message.

#include "platform/DeviceStandIn.h"
#include "support/EventLoop.h"

#include "platform/device/DesktopBrightnessWatcher.h"
#include "platform/device/GnomeBrightness.h"
#include "platform/device/KdeBrightness.h"
#include "platform/device/LogindSession.h"
#include "platform/device/PanelProvider.h"
#include "platform/device/SysfsBrightnessWriter.h"
#include "platform/device/WbemLocator.h"
#include "platform/framework/Exception.h"
#include "platform/shell/IdleTime.h"
#include "platform/shell/MutterSession.h"

#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace lumora;
using lumora::test::BacklightStandIn;
using lumora::test::ReadOnlyPanel;
using lumora::testing::PumpUntil;

namespace {

const QString kMocks = LUMORA_SOURCE_DIR "/tests/e2e/";

// Far below a call's own timeout (2 s for a desktop service, 5 s for the
// login manager, 25 s for the bus's default) and far above a bounded read
// (100 ms), so that a loaded machine does not make it fail.
constexpr qint64 kHeldAtMostMs = 1000;

// A dbus-daemon of its own, with services on it.
class PrivateBus {
public:
    PrivateBus()
    {
        daemon_.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        if (!daemon_.waitForStarted(5000) || !daemon_.waitForReadyRead(5000))
            return;
        address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
        bus_ = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address_, kName));
    }
    ~PrivateBus()
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

    // Serves a dbusmock template; with a log, every call it gets is written there.
    bool Serve(const QString& templ, const QString& name, const QString& log = QString())
    {
        QStringList args{"-m", "dbusmock", "--session", "--template", templ};
        if (!log.isEmpty())
            args << "--logfile" << log;
        Start("/usr/bin/python3", args);
        return Owned(name);
    }

    // Takes the names and never answers a call to them.
    bool Hold(const QStringList& names)
    {
        QProcess& script = Start("/usr/bin/python3", QStringList{kMocks + "silent_service.py"} + names);
        if (!script.waitForReadyRead(15000))
            return false;
        for (const QString& name : names) {
            if (!Owned(name))
                return false;
        }
        return true;
    }

    // A call made as another client would, without waiting for its answer.
    void Post(const QString& service, const QString& path, const QString& interface, const QString& method,
              const QVariantList& args)
    {
        QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, method);
        call.setArguments(args);
        bus_->asyncCall(call, 60000);
    }

    // A service's first call is its slowest (the interpreter warms up); this
    // one is not logged, so that a test counting calls makes it first and a
    // loaded machine does not leave the calls it counts unanswered.
    bool Answers(const QString& name, const QString& path)
    {
        const QDBusMessage call =
            QDBusMessage::createMethodCall(name, path, "org.freedesktop.DBus.Introspectable", "Introspect");
        const QDBusMessage reply = bus_->call(call, QDBus::Block, 15000);
        const QDBusError::ErrorType error = QDBusError(reply).type();
        return error != QDBusError::NoReply && error != QDBusError::Timeout;
    }

private:
    QProcess& Start(const QString& program, const QStringList& args)
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DBUS_SESSION_BUS_ADDRESS", address_);
        process->setProcessEnvironment(env);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(program, args);
        services_.push_back(std::move(process));
        return *services_.back();
    }


    bool Owned(const QString& name)
    {
        return bus_ && bus_->isConnected() &&
               PumpUntil([&] { return bus_->interface()->isServiceRegistered(name).value(); }, 15000);
    }

    static inline const QString kName = QStringLiteral("lumora-unanswered-test");
    QProcess daemon_;
    QString address_;
    std::unique_ptr<QDBusConnection> bus_;
    std::vector<std::unique_ptr<QProcess>> services_;
};

// How long `f` held the calling thread.
template <typename F>
qint64 HeldMs(F&& f)
{
    QElapsedTimer clock;
    clock.start();
    f();
    return clock.elapsed();
}

// The panel provider on a stand-in backlight folder.
struct Panel {
    explicit Panel(const BacklightStandIn& s)
        : provider(std::make_shared<PanelProvider>(std::make_shared<BacklightProvider>(
              BacklightOptions{s.Root(), 101}, std::make_shared<SysfsBrightnessWriter>())))
    {
    }

    void Query()
    {
        const WbemServices services = TSWbemLocator(provider).ConnectServer(".", "root\\wmi");
        services.ExecQuery("SELECT * FROM WmiMonitorBrightness WHERE Active = True").NewEnum().Next();
    }

    void Write(int percent)
    {
        auto in = provider->ClassDefinition("WmiMonitorBrightnessMethods")
                      .Methods_()
                      .Item("WmiSetBrightness")
                      .InParameters();
        in->Properties_().Item("Brightness").SetValue(CimValue::Sint32(percent));
        in->Properties_().Item("Timeout").SetValue(CimValue::Uint8(0));
        provider->ExecMethod("WmiMonitorBrightnessMethods", "InstanceName", "panel", "WmiSetBrightness", in.get());
    }

    std::shared_ptr<PanelProvider> provider;
};

QString ReadLog(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

} // namespace

TEST(DeviceUnansweredService, ADesktopServiceThatNeverAnswersCostsOneBoundedReadAndThePanelUsesTheBacklight)
{
    PrivateBus bus;
    ASSERT_TRUE(bus.Hold({kGnomePowerService}));
    BacklightStandIn s;
    s.AddDevice("panel", "firmware", "100\n", "50\n");
    Panel panel(s);
    GnomeBrightness gnome(bus.Bus());
    int stopped = 0;
    QObject::connect(&gnome, &DesktopBrightness::StoppedAnswering, [&] { ++stopped; });
    panel.provider->UseDesktop(&gnome);

    EXPECT_LT(HeldMs([&] { panel.Query(); }), kHeldAtMostMs) << "the start-up query reads the range";
    EXPECT_FALSE(gnome.Answering());
    EXPECT_FALSE(panel.provider->ThroughDesktop());
    EXPECT_LT(HeldMs([&] { panel.Write(60); }), kHeldAtMostMs);
    EXPECT_EQ(s.Read("panel", "brightness"), "60\n") << "the backlight file stands in for the service";

    // From now on the service is not waited for at all.
    const qint64 held = HeldMs([&] {
        for (int level = 61; level <= 80; ++level)
            panel.Write(level);
        gnome.Value();
        gnome.SetValue(10);
    });
    EXPECT_LT(held, kHeldAtMostMs);
    EXPECT_EQ(s.Read("panel", "brightness"), "80\n");
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(stopped, 1) << "said once per silence";
}

TEST(DeviceUnansweredService, APowerManagementThatNeverAnswersIsNotChosenAndHoldsTheWatcherBriefly)
{
    PrivateBus bus;
    ASSERT_TRUE(bus.Hold({kKdePowerService}));
    std::unique_ptr<DesktopBrightnessWatcher> watcher;
    EXPECT_LT(HeldMs([&] { watcher = std::make_unique<DesktopBrightnessWatcher>(bus.Bus()); }), kHeldAtMostMs)
        << "telling Plasma 6 from Plasma 5 is a bounded read";
    EXPECT_EQ(watcher->Current(), nullptr) << "a name nobody answers under is no service";
}

TEST(DeviceUnansweredService, ANewOwnerOfAServicesNameIsAskedAfresh)
{
    PrivateBus bus;
    ASSERT_TRUE(bus.Hold({kGnomePowerService}));
    DesktopBrightnessWatcher watcher(bus.Bus());
    EXPECT_EQ(watcher.Current(), nullptr) << "a service that has not answered is not chosen";

    // A daemon that answers takes the name over from the hung one: the
    // first write after it goes through the new one.
    int changes = 0;
    QObject::connect(&watcher, &DesktopBrightnessWatcher::ServiceChanged, [&] { ++changes; });
    ASSERT_TRUE(bus.Serve(kMocks + "gnome_power_mock.py", kGnomePowerService));
    ASSERT_TRUE(PumpUntil([&] { return changes == 1; }, 15000)) << "the name changed hands";
    ASSERT_NE(watcher.Current(), nullptr);
    EXPECT_EQ(watcher.Current()->Maximum(), 100);
    EXPECT_EQ(watcher.Current()->Value(), 50);
}

TEST(DeviceUnansweredService, AServiceThatStopsAnsweringHandsTheLevelToTheBacklightAndIsUsedAgainWhenItAnswers)
{
    PrivateBus bus;
    QTemporaryDir logs;
    const QString log = logs.path() + "/kde.log";
    ASSERT_TRUE(bus.Serve(kMocks + "kde_brightness_mock.py", kKdePowerService, log));
    BacklightStandIn s;
    s.AddDevice("panel", "firmware", "100\n", "50\n");
    Panel panel(s);
    KdeBrightness kde(bus.Bus());
    panel.provider->UseDesktop(&kde);
    panel.Query();
    ASSERT_TRUE(panel.provider->ThroughDesktop());
    panel.Write(60);
    ASSERT_TRUE(PumpUntil([&] { return ReadLog(log).contains("setBrightnessSilent 600\n"); }));

    // The service hangs for a while; the level asked for meanwhile goes
    // unanswered and reaches the panel through the backlight file.
    const int hangSeconds = 5;
    bus.Post(kKdePowerService, "/org/kde/Solid/PowerManagement/Actions/BrightnessControl",
             "org.kde.Solid.PowerManagement.Test", "Hang", {uint(hangSeconds)});
    PumpUntil([] { return false; }, 200);
    EXPECT_LT(HeldMs([&] { panel.Write(70); }), kHeldAtMostMs);
    EXPECT_TRUE(PumpUntil([&] { return s.Read("panel", "brightness") == "70\n"; }, 4000))
        << s.Read("panel", "brightness").toStdString();
    EXPECT_FALSE(kde.Answering());
    EXPECT_FALSE(panel.provider->ThroughDesktop());
    panel.Write(80);
    EXPECT_EQ(s.Read("panel", "brightness"), "80\n");

    // Answering again: used again.
    EXPECT_TRUE(PumpUntil([&] { return panel.provider->ThroughDesktop(); }, 20000));
    panel.Write(90);
    EXPECT_TRUE(PumpUntil([&] { return ReadLog(log).contains("setBrightnessSilent 900\n"); }));
    EXPECT_EQ(s.Read("panel", "brightness"), "80\n");
}

TEST(DeviceUnansweredService, TheRangeIsReadOnceAndValuesInQuickSuccessionGoOutOneCallAtATime)
{
    PrivateBus bus;
    QTemporaryDir logs;
    const QString log = logs.path() + "/kde.log";
    ASSERT_TRUE(bus.Serve(kMocks + "kde_brightness_mock.py", kKdePowerService, log));
    ASSERT_TRUE(bus.Answers(kKdePowerService, "/org/kde/Solid/PowerManagement/Actions/BrightnessControl"));
    KdeBrightness kde(bus.Bus());
    std::vector<int> reported;
    QObject::connect(&kde, &DesktopBrightness::ValueChanged, [&](int value) { reported.push_back(value); });

    EXPECT_EQ(kde.Maximum(), 1000);
    EXPECT_EQ(kde.Value(), 500);
    // Twenty values while the first is out: it and the newest are sent.
    for (int value = 110; value <= 300; value += 10)
        kde.SetValue(value);
    EXPECT_EQ(kde.Value(), 300) << "the value asked for, until the service reports";
    ASSERT_TRUE(PumpUntil([&] { return !reported.empty() && reported.back() == 300; }));
    EXPECT_EQ(ReadLog(log).count("setBrightnessSilent"), 2) << ReadLog(log).toStdString();
    const QString calls = ReadLog(log);
    EXPECT_TRUE(calls.contains("setBrightnessSilent 110\n")) << calls.toStdString();
    EXPECT_GT(calls.indexOf("setBrightnessSilent 300\n"), calls.indexOf("setBrightnessSilent 110\n"));
    for (int i = 0; i < 5; ++i) {
        kde.Maximum();
        kde.Value();
    }
    EXPECT_EQ(ReadLog(log).count("brightnessMax"), 1) << "the range is kept";
    EXPECT_EQ(ReadLog(log).count(" brightness\n"), 1) << "so is the value";

    // A new range reported by the service is read again (and, should that
    // read go unanswered on a loaded machine, probed with the same call).
    bus.Post(kKdePowerService, "/org/kde/Solid/PowerManagement/Actions/BrightnessControl", "org.freedesktop.DBus.Mock",
             "EmitSignal",
             {"org.kde.Solid.PowerManagement.Actions.BrightnessControl", "brightnessMaxChanged", "i",
              QVariantList{QVariant::fromValue(1000)}});
    ASSERT_TRUE(PumpUntil([&] {
        kde.Maximum();
        return ReadLog(log).count("brightnessMax") >= 2;
    }));
}

TEST(DeviceUnansweredService, IdleTimeFromServicesThatNeverAnswerHoldsTheWindowBriefly)
{
    PrivateBus bus;
    ASSERT_TRUE(bus.Hold({"org.gnome.Mutter.IdleMonitor", "org.freedesktop.login1"}));

    MutterIdleTime mutter(bus.Bus());
    ::testing::internal::CaptureStderr();
    const qint64 held = HeldMs([&] {
        for (int check = 0; check < 10; ++check)
            EXPECT_EQ(mutter.IdleSeconds(), 0u);
    });
    const std::string warnings = ::testing::internal::GetCapturedStderr();
    EXPECT_LT(held, kHeldAtMostMs) << "one bounded read, then none until the monitor answers";
    EXPECT_EQ(std::count(warnings.begin(), warnings.end(), '\n'), 1) << warnings;

    const LogindSession logind(bus.Bus(), "/org/freedesktop/login1/session/auto");
    EXPECT_LT(HeldMs([&] { EXPECT_EQ(logind.IdleMilliseconds(), std::nullopt); }), kHeldAtMostMs);

    // Turning the monitor off asks the idle monitor for a watch first; its
    // answer is not waited for.
    MutterDisplayPower power(bus.Bus());
    EXPECT_LT(HeldMs([&] { power.ForceOff(); }), kHeldAtMostMs);
}

TEST(DeviceUnansweredService, GnomesIdleMonitorIsReadWhileItAnswers)
{
    PrivateBus bus;
    ASSERT_TRUE(bus.Serve(kMocks + "mutter_mock.py", "org.gnome.Mutter.IdleMonitor"));
    bus.Post("org.gnome.Mutter.IdleMonitor", "/org/gnome/Mutter/IdleMonitor/Core", "org.gnome.Mutter.IdleMonitor.Test",
             "SetIdletime", {QVariant::fromValue(qulonglong(42500))});
    MutterIdleTime mutter(bus.Bus());
    EXPECT_TRUE(PumpUntil([&] { return mutter.IdleSeconds() == 42u; }));
}

TEST(DeviceUnansweredService, TheLoginManagerIsAskedFromAWorkerAndItsFailureStillComes)
{
    PrivateBus bus;
    ASSERT_TRUE(bus.Hold({"org.freedesktop.login1"}));
    BacklightStandIn s;
    ReadOnlyPanel panel(s);
    const QString brightness = panel.Brightness();
    if (!panel.Unprivileged())
        GTEST_SKIP() << "cannot act as an unprivileged user here";

    auto writer = std::make_shared<SysfsBrightnessWriter>(std::make_shared<LogindSession>(bus.Bus()));
    const BacklightDevice device = OpenBacklight(s.Root(), "panel");
    // One value: the worker then waits out one call of the login manager.
    const qint64 held = HeldMs([&] { writer->Write(device, 40); });
    QString failure;
    try {
        writer->Flush();
    } catch (const EOSError& e) {
        failure = e.Message();
    }
    panel.Restore();
    EXPECT_LT(held, kHeldAtMostMs) << "the login manager's 5 s are the worker's";
    EXPECT_TRUE(failure.startsWith("Cannot write " + brightness + ": Permission denied\n"
                                   "The login manager could not set the brightness of panel: "))
        << failure.toStdString();
    EXPECT_EQ(s.Read("panel", "brightness"), "3\n");
}
