// Which desktop brightness service the program goes through, on session
// buses shaped like each desktop we support (python-dbusmock serving the
// templates the whole-program tests use, on a private dbus-daemon): GNOME
// 43-46, 47-48 and 49+, Plasma 5 with and without the backlight action,
// Plasma 6 under org.kde.ScreenBrightness. Then GNOME's compositor as a
// service of its own (its Backlight property), and Plasma 5's range changing
// under the program.

#include "platform/DeviceStandIn.h"
#include "support/EventLoop.h"

#include "platform/device/DesktopBrightnessWatcher.h"
#include "platform/device/GnomeBrightness.h"
#include "platform/device/KdeBrightness.h"
#include "platform/device/KdeScreenBrightness.h"
#include "platform/device/MutterBacklight.h"
#include "platform/device/PanelProvider.h"
#include "platform/device/SysfsBrightnessWriter.h"

#include <QDBusConnectionInterface>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumora;
using lumora::test::BacklightStandIn;
using lumora::testing::PumpUntil;

namespace {

const QString kMocks = LUMORA_SOURCE_DIR "/tests/e2e/";
const QString kMutterIdle = QStringLiteral("org.gnome.Mutter.IdleMonitor");

// A built-in panel that Mutter can set, and an external monitor it cannot.
const char kPanelAndMonitor[] = R"({"backlight": [{"connector": "eDP-1", "active": true, "min": 0, "max": 255, "value": 128},
                                                  {"connector": "DP-1", "active": true}]})";

// A dbus-daemon of its own, with dbusmock templates served on it.
class DesktopBus {
public:
    DesktopBus()
    {
        daemon_.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        if (!daemon_.waitForStarted(5000) || !daemon_.waitForReadyRead(5000))
            return;
        address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
        bus_ = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address_, kName));
    }
    ~DesktopBus()
    {
        for (auto& mock : mocks_) {
            mock->terminate();
            mock->waitForFinished(3000);
        }
        bus_.reset();
        QDBusConnection::disconnectFromBus(kName);
        daemon_.terminate();
        daemon_.waitForFinished(3000);
    }

    // Serves `templ` with dbusmock's JSON parameters; true once `name` is owned.
    bool Serve(const QString& templ, const QString& name, const QString& parameters = "{}",
               const QString& log = QString())
    {
        auto mock = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DBUS_SESSION_BUS_ADDRESS", address_);
        mock->setProcessEnvironment(env);
        mock->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QStringList args{"-m", "dbusmock", "--session", "--template", kMocks + templ, "-p", parameters};
        if (!log.isEmpty())
            args << "--logfile" << log;
        mock->start("/usr/bin/python3", args);
        mocks_.push_back(std::move(mock));
        return bus_ && bus_->isConnected() &&
               PumpUntil([&] { return bus_->interface()->isServiceRegistered(name).value(); }, 15000);
    }

    QDBusConnection Bus() const { return *bus_; }

    // A call as another client (the desktop's own slider) makes it.
    void Call(const QString& service, const QString& path, const QString& interface, const QString& method,
              const QVariantList& args = {})
    {
        QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, method);
        call.setArguments(args);
        bus_->call(call);
    }

private:
    static inline const QString kName = QStringLiteral("lumora-desktops-test");
    QProcess daemon_;
    QString address_;
    std::unique_ptr<QDBusConnection> bus_;
    std::vector<std::unique_ptr<QProcess>> mocks_;
};

QString ReadLog(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

template <typename Service>
bool Is(const DesktopBrightnessWatcher& watcher)
{
    return dynamic_cast<Service*>(watcher.Current()) != nullptr;
}

// The panel behind the brightness classes, as the program builds it.
struct Panel {
    explicit Panel(const BacklightStandIn& s)
        : provider(std::make_shared<PanelProvider>(std::make_shared<BacklightProvider>(
              BacklightOptions{s.Root(), 101}, std::make_shared<SysfsBrightnessWriter>())))
    {
    }
    std::shared_ptr<PanelProvider> provider;
};

} // namespace

TEST(DeviceDesktopServices, EachDesktopsSessionBusGetsTheServiceThatServesItsPanel)
{
    {
        SCOPED_TRACE("GNOME 43-46: the settings daemon's screen brightness; Mutter without Backlight");
        DesktopBus bus;
        ASSERT_TRUE(bus.Serve("gnome_power_mock.py", kGnomePowerService));
        ASSERT_TRUE(bus.Serve("mutter_mock.py", kMutterDisplayConfigService));
        DesktopBrightnessWatcher watcher(bus.Bus());
        EXPECT_TRUE(Is<GnomeBrightness>(watcher));
    }
    {
        SCOPED_TRACE("GNOME 47-48: both; the compositor owns the backlight");
        DesktopBus bus;
        ASSERT_TRUE(bus.Serve("gnome_power_mock.py", kGnomePowerService));
        ASSERT_TRUE(bus.Serve("mutter_mock.py", kMutterDisplayConfigService, kPanelAndMonitor));
        DesktopBrightnessWatcher watcher(bus.Bus());
        EXPECT_TRUE(Is<MutterBacklight>(watcher));
    }
    {
        SCOPED_TRACE("GNOME 49+: the power name serves the keyboard only");
        DesktopBus bus;
        ASSERT_TRUE(bus.Serve("gnome_power_mock.py", kGnomePowerService, R"({"screen": false})"));
        ASSERT_TRUE(bus.Serve("mutter_mock.py", kMutterDisplayConfigService, kPanelAndMonitor));
        DesktopBrightnessWatcher watcher(bus.Bus());
        EXPECT_TRUE(Is<MutterBacklight>(watcher));
    }
    {
        SCOPED_TRACE("the power name with the keyboard only and nothing else: no service, the backlight file");
        DesktopBus bus;
        ASSERT_TRUE(bus.Serve("gnome_power_mock.py", kGnomePowerService, R"({"screen": false})"));
        ASSERT_TRUE(bus.Serve("mutter_mock.py", kMutterDisplayConfigService));
        DesktopBrightnessWatcher watcher(bus.Bus());
        EXPECT_EQ(watcher.Current(), nullptr);
    }
    {
        SCOPED_TRACE("a desktop computer on GNOME 47+: Mutter lists no built-in panel");
        DesktopBus bus;
        ASSERT_TRUE(bus.Serve("gnome_power_mock.py", kGnomePowerService, R"({"brightness": -1})"));
        ASSERT_TRUE(bus.Serve("mutter_mock.py", kMutterDisplayConfigService,
                              R"({"backlight": [{"connector": "DP-1", "active": true}]})"));
        DesktopBrightnessWatcher watcher(bus.Bus());
        ASSERT_TRUE(Is<GnomeBrightness>(watcher));
        EXPECT_EQ(watcher.Current()->Maximum(), 0) << "-1: the daemon has no panel either";
    }
    {
        SCOPED_TRACE("Plasma 5 where the power manager does not handle the backlight");
        DesktopBus bus;
        ASSERT_TRUE(bus.Serve("kde_brightness_mock.py", kKdePowerService, R"({"backlight": false})"));
        DesktopBrightnessWatcher watcher(bus.Bus());
        EXPECT_EQ(watcher.Current(), nullptr) << "an owned name without the action is no service";
    }
    {
        SCOPED_TRACE("Plasma 5 with the backlight");
        DesktopBus bus;
        ASSERT_TRUE(bus.Serve("kde_brightness_mock.py", kKdePowerService));
        DesktopBrightnessWatcher watcher(bus.Bus());
        EXPECT_TRUE(Is<KdeBrightness>(watcher));
    }
    {
        SCOPED_TRACE("Plasma 6 under org.kde.ScreenBrightness, GNOME's daemon running beside it");
        DesktopBus bus;
        ASSERT_TRUE(bus.Serve("kde6_brightness_mock.py", kScreenBrightnessService));
        ASSERT_TRUE(bus.Serve("gnome_power_mock.py", kGnomePowerService));
        DesktopBrightnessWatcher watcher(bus.Bus());
        ASSERT_TRUE(Is<KdeScreenBrightness>(watcher));
        EXPECT_EQ(watcher.Current()->Maximum(), 1000) << "the internal display's range";
    }
}

TEST(DeviceDesktopServices, GnomesScreenInterfaceGoingAwayUnderItsNameFallsBackToTheBacklight)
{
    // GNOME 49's daemon takes the name over from GNOME 48's (an upgrade
    // within the session): the name stays owned, the screen is gone.
    DesktopBus bus;
    ASSERT_TRUE(bus.Serve("gnome_power_mock.py", kGnomePowerService));
    DesktopBrightnessWatcher watcher(bus.Bus());
    ASSERT_TRUE(Is<GnomeBrightness>(watcher));
    int changes = 0;
    QObject::connect(&watcher, &DesktopBrightnessWatcher::ServiceChanged, [&] { ++changes; });
    // dbusmock replaces the owner of a name it claims.
    ASSERT_TRUE(bus.Serve("gnome_power_mock.py", kGnomePowerService, R"({"screen": false})"));
    EXPECT_TRUE(PumpUntil([&] { return watcher.Current() == nullptr; }, 15000));
    EXPECT_GE(changes, 1);
}

TEST(DeviceDesktopServices, ThePanelIsFoundAmongMuttersMonitorsByItsConnector)
{
    for (const char* connector : {"eDP-1", "eDP-2", "LVDS-1", "DSI-1"})
        EXPECT_TRUE(IsBuiltInConnector(connector)) << connector;
    for (const char* connector : {"DP-1", "HDMI-A-1", "DVI-D-1", "VGA-1", "Virtual-1", ""})
        EXPECT_FALSE(IsBuiltInConnector(connector)) << connector;

    MutterBacklightState state;
    state.Entries = {{"DP-1", true, 0, 100, 50}, {"eDP-1", true, std::nullopt, std::nullopt, std::nullopt}};
    ASSERT_NE(PanelEntryOf(state), nullptr);
    EXPECT_EQ(PanelEntryOf(state)->Connector, "eDP-1");
    EXPECT_FALSE(PanelEntryOf(state)->Settable()) << "a panel switched off has no value";
    EXPECT_TRUE(state.Entries[0].Settable());
    state.Entries.erase(state.Entries.begin() + 1);
    EXPECT_EQ(PanelEntryOf(state), nullptr) << "an external monitor is never the panel";
    EXPECT_FALSE((MutterBacklightEntry{"eDP-1", true, 10, 10, 10}.Settable())) << "an empty range";
}

TEST(DeviceDesktopServices, MutterSetsThePanelWithTheSerialItLastAnnouncedAndFollowsItsOwnSlider)
{
    DesktopBus bus;
    QTemporaryDir logs;
    const QString log = logs.path() + "/mutter.log";
    ASSERT_TRUE(bus.Serve("mutter_mock.py", kMutterDisplayConfigService,
                          R"({"backlight": [{"connector": "DP-1", "active": true},
                                            {"connector": "eDP-1", "active": true, "min": 5, "max": 105, "value": 55}]})",
                          log));
    MutterBacklight mutter(bus.Bus());
    std::vector<int> reported;
    QObject::connect(&mutter, &DesktopBrightness::ValueChanged, [&](int value) { reported.push_back(value); });
    EXPECT_EQ(mutter.Maximum(), 100) << "the range runs from min to max";
    EXPECT_EQ(mutter.Value(), 50);

    mutter.SetValue(30);
    EXPECT_TRUE(PumpUntil([&] { return ReadLog(log).contains("SetBacklight 1 \"eDP-1\" 35\n"); }))
        << ReadLog(log).toStdString();
    EXPECT_TRUE(PumpUntil([&] { return !reported.empty() && reported.back() == 30; }));

    // GNOME's slider, then a new monitor configuration: the next value names
    // the new serial.
    const QString test = QStringLiteral("org.gnome.Mutter.IdleMonitor.Test");
    bus.Call(kMutterIdle, "/org/gnome/Mutter/IdleMonitor/Core", test, "ChangeBacklight", {"eDP-1", 85});
    EXPECT_TRUE(PumpUntil([&] { return reported.back() == 80; }));
    bus.Call(kMutterIdle, "/org/gnome/Mutter/IdleMonitor/Core", test, "NewSerial");
    PumpUntil([] { return false; }, 300);
    mutter.SetValue(10);
    EXPECT_TRUE(PumpUntil([&] { return ReadLog(log).contains("SetBacklight 2 \"eDP-1\" 15\n"); }))
        << ReadLog(log).toStdString();
    PumpUntil([] { return false; }, 300);
    EXPECT_NO_THROW(mutter.SetValue(12)) << "no refusal came back";
}

TEST(DeviceDesktopServices, APanelSwitchedOffUnderMutterIsNeitherLevelZeroNorWritten)
{
    DesktopBus bus;
    QTemporaryDir logs;
    const QString log = logs.path() + "/mutter.log";
    ASSERT_TRUE(bus.Serve("mutter_mock.py", kMutterDisplayConfigService, kPanelAndMonitor, log));
    BacklightStandIn s;
    s.AddDevice("intel_backlight", "raw", "255\n", "128\n");
    Panel panel(s);
    MutterBacklight mutter(bus.Bus());
    panel.provider->UseDesktop(&mutter);
    std::vector<int> outside;
    QObject::connect(panel.provider.get(), &PanelProvider::ChangedElsewhere,
                     [&](const QString&, int percent) { outside.push_back(percent); });
    panel.provider->Instances("WmiMonitorBrightness");
    ASSERT_TRUE(panel.provider->ThroughDesktop());

    bus.Call(kMutterIdle, "/org/gnome/Mutter/IdleMonitor/Core", "org.gnome.Mutter.IdleMonitor.Test", "PanelOff",
             {"eDP-1"});
    EXPECT_TRUE(PumpUntil([&] { return mutter.Maximum() == 0; }));
    PumpUntil([] { return false; }, 300);
    EXPECT_TRUE(outside.empty()) << "the views keep their level: the panel is off, not dark";
    EXPECT_FALSE(panel.provider->ThroughDesktop());
    EXPECT_FALSE(ReadLog(log).contains("SetBacklight")) << ReadLog(log).toStdString();
}

TEST(DeviceDesktopServices, Plasma5sRangeChangingMovesTheViewsWithoutAWriteBack)
{
    DesktopBus bus;
    QTemporaryDir logs;
    const QString log = logs.path() + "/kde.log";
    ASSERT_TRUE(bus.Serve("kde_brightness_mock.py", kKdePowerService, "{}", log));
    BacklightStandIn s;
    s.AddDevice("panel", "firmware", "100\n", "50\n");
    Panel panel(s);
    KdeBrightness kde(bus.Bus());
    panel.provider->UseDesktop(&kde);
    panel.provider->Instances("WmiMonitorBrightness");
    ASSERT_TRUE(panel.provider->ThroughDesktop());
    std::vector<int> outside;
    QObject::connect(panel.provider.get(), &PanelProvider::ChangedElsewhere,
                     [&](const QString&, int percent) { outside.push_back(percent); });

    // 500 of 1000, then another device with 2000 steps: 500 is 25 percent.
    bus.Call(kKdePowerService, "/org/kde/Solid/PowerManagement/Actions/BrightnessControl",
             "org.kde.Solid.PowerManagement.Test", "ChangeMaximum", {2000});
    ASSERT_TRUE(PumpUntil([&] { return !outside.empty(); })) << "brightnessMaxChanged is followed";
    EXPECT_EQ(outside.back(), 25);
    EXPECT_EQ(kde.Maximum(), 2000);
    PumpUntil([] { return false; }, 300);
    EXPECT_FALSE(ReadLog(log).contains("setBrightness")) << ReadLog(log).toStdString();
}
