// KDE Plasma 6's per-display brightness: which display is the panel, how the
// program's levels map onto its range, and the service itself as
// python-dbusmock serves it on a private bus (the template the whole-program
// tests use): the internal display is set and followed, the external one
// left alone, and the watcher tells Plasma 6 from Plasma 5 under one name.

#include "support/EventLoop.h"

#include "platform/device/BacklightDevice.h"
#include "platform/device/DesktopBrightnessWatcher.h"
#include "platform/device/KdeBrightness.h"
#include "platform/device/KdeScreenBrightness.h"

#include <QDBusConnectionInterface>
#include <QProcess>

#include <gtest/gtest.h>

using namespace lumora;
using lumora::testing::PumpUntil;

namespace {

// A dbus-daemon of its own with one dbusmock template served on it.
class MockBus {
public:
    explicit MockBus(const QString& templ)
    {
        daemon_.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        if (!daemon_.waitForStarted(5000) || !daemon_.waitForReadyRead(5000))
            return;
        address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
        bus_ = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address_, kName));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DBUS_SESSION_BUS_ADDRESS", address_);
        mock_.setProcessEnvironment(env);
        mock_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        mock_.start("/usr/bin/python3", {"-m", "dbusmock", "--session", "--template", templ});
    }
    ~MockBus()
    {
        mock_.terminate();
        mock_.waitForFinished(3000);
        bus_.reset();
        QDBusConnection::disconnectFromBus(kName);
        daemon_.terminate();
        daemon_.waitForFinished(3000);
    }

    // Whether the template's name appeared.
    bool Serves(const QString& name)
    {
        return bus_ && bus_->isConnected() &&
               PumpUntil([&] { return bus_->interface()->isServiceRegistered(name).value(); }, 15000);
    }
    QDBusConnection Bus() const { return *bus_; }

    // A call to the served objects, as another client would make it.
    QVariant Call(const QString& path, const QString& interface, const QString& method, const QVariantList& args)
    {
        QDBusMessage call = QDBusMessage::createMethodCall(kKdePowerService, path, interface, method);
        call.setArguments(args);
        return bus_->call(call).arguments().value(0);
    }
    int DisplayBrightness(const QString& display)
    {
        const QVariant value = Call("/org/kde/ScreenBrightness/" + display, "org.freedesktop.DBus.Properties", "Get",
                                    {"org.kde.ScreenBrightness.Display", "Brightness"});
        return value.value<QDBusVariant>().variant().toInt();
    }

private:
    static inline const QString kName = QStringLiteral("lumora-kde6-test");
    QProcess daemon_;
    QProcess mock_;
    QString address_;
    std::unique_ptr<QDBusConnection> bus_;
};

const QString kPlasma6 = LUMORA_SOURCE_DIR "/tests/e2e/kde6_brightness_mock.py";
const QString kPlasma5 = LUMORA_SOURCE_DIR "/tests/e2e/kde_brightness_mock.py";

} // namespace

TEST(DeviceKdeScreenBrightness, ThePanelIsTheFirstInternalDisplay)
{
    EXPECT_EQ(PanelDisplayOf({{"display0", false}, {"display1", true}}), "display1")
        << "an external monitor listed first is not the panel";
    EXPECT_EQ(PanelDisplayOf({{"display0", true}, {"display1", true}}), "display0");
    EXPECT_EQ(PanelDisplayOf({{"display0", false}, {"display1", false}}), "") << "no panel: the backlight file stays";
    EXPECT_EQ(PanelDisplayOf({}), "");
}

TEST(DeviceKdeScreenBrightness, LevelsMapOntoTheDisplaysOwnRange)
{
    // Plasma 6 on KWin reports 0..10000; older drivers their own steps.
    EXPECT_EQ(PercentToRaw(0, 10000), 100) << "level 0 is one percent of the range, not a black panel";
    EXPECT_EQ(PercentToRaw(50, 10000), 5000);
    EXPECT_EQ(PercentToRaw(0, 1000), 10);
    EXPECT_EQ(PercentToRaw(0, 20), 1) << "never 0 on a short range";
    EXPECT_EQ(PercentToRaw(100, 20), 20);
}

TEST(DeviceKdeScreenBrightness, SetsAndFollowsTheInternalDisplayOnly)
{
    MockBus bus(kPlasma6);
    ASSERT_TRUE(bus.Serves(kKdePowerService));
    ASSERT_EQ(KdeScreenBrightness::IsServedBy(bus.Bus(), kKdePowerService), true);
    KdeScreenBrightness kde(bus.Bus(), kKdePowerService);
    std::vector<int> reported;
    QObject::connect(&kde, &DesktopBrightness::ValueChanged, [&](int value) { reported.push_back(value); });

    EXPECT_EQ(kde.Maximum(), 1000);
    EXPECT_EQ(kde.Value(), 500);
    kde.SetValue(250);
    ASSERT_TRUE(PumpUntil([&] { return bus.DisplayBrightness("display1") == 250; }));
    EXPECT_EQ(bus.DisplayBrightness("display0"), 80) << "the external monitor is left alone";
    ASSERT_TRUE(PumpUntil([&] { return !reported.empty(); }));
    EXPECT_EQ(reported, std::vector<int>{250}) << "our own write is reported like any other";

    // A change of the external monitor is not the panel's.
    const QString root = "/org/kde/ScreenBrightness";
    bus.Call(root, "org.kde.ScreenBrightness.Test", "ChangeElsewhere", {"display0", 40});
    bus.Call(root, "org.kde.ScreenBrightness.Test", "ChangeElsewhere", {"display1", 700});
    // The reports come in order: the panel's last means the monitor's was seen.
    ASSERT_TRUE(PumpUntil([&] { return reported.size() >= 2; }));
    EXPECT_EQ(reported, (std::vector<int>{250, 700}));
}

TEST(DeviceKdeScreenBrightness, TheWatcherTellsPlasma6FromPlasma5UnderOneName)
{
    {
        MockBus bus(kPlasma6);
        ASSERT_TRUE(bus.Serves(kKdePowerService));
        DesktopBrightnessWatcher watcher(bus.Bus());
        EXPECT_NE(dynamic_cast<KdeScreenBrightness*>(watcher.Current()), nullptr);
    }
    {
        MockBus bus(kPlasma5);
        ASSERT_TRUE(bus.Serves(kKdePowerService));
        EXPECT_EQ(KdeScreenBrightness::IsServedBy(bus.Bus(), kKdePowerService), false);
        DesktopBrightnessWatcher watcher(bus.Bus());
        EXPECT_NE(dynamic_cast<KdeBrightness*>(watcher.Current()), nullptr);
    }
}
