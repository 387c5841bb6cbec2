// The system services automatic profiles listen to, served by
// python-dbusmock's own templates (upower, timedated, iio-sensors-proxy) on
// a private dbus-daemon that plays the system bus: the power source and its
// switches, UPower starting late, the time zone timedated reports, the
// room's light; and the program's clock as whole-program tests move it.

#include "support/EventLoop.h"

#include "platform/shell/AmbientLightWatch.h"
#include "platform/shell/ClockWatch.h"
#include "platform/shell/PowerSourceWatch.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>
#include <cmath>

#include <gtest/gtest.h>

using namespace lumora;
using lumora::testing::PumpUntil;

namespace {

// A dbus-daemon standing in for the system bus, with dbusmock templates
// served on it as their services.
class PrivateSystemBus {
public:
    PrivateSystemBus()
    {
        daemon_.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        if (!daemon_.waitForStarted(5000) || !daemon_.waitForReadyRead(5000))
            return;
        address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
        bus_ = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address_, kName));
    }
    ~PrivateSystemBus()
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

    // Serves a dbusmock template; true once `name` is owned.
    bool Serve(const QString& templ, const QString& name, const QString& parameters = "{}")
    {
        auto mock = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DBUS_SYSTEM_BUS_ADDRESS", address_);
        mock->setProcessEnvironment(env);
        mock->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        mock->start("/usr/bin/python3", {"-m", "dbusmock", "--system", "--template", templ, "-p", parameters});
        mocks_.push_back(std::move(mock));
        return bus_ && bus_->isConnected() &&
               PumpUntil([&] { return bus_->interface()->isServiceRegistered(name).value(); }, 15000);
    }

    // dbusmock's own control interface: changes properties and emits
    // PropertiesChanged as the real service does.
    void UpdateProperties(const QString& service, const QString& path, const QString& interface, const QVariantMap& props)
    {
        QDBusMessage call = QDBusMessage::createMethodCall(service, path, "org.freedesktop.DBus.Mock", "UpdateProperties");
        call.setArguments({interface, props});
        bus_->call(call);
    }
    QDBusMessage Call(const QString& service, const QString& path, const QString& interface, const QString& method,
                      const QVariantList& args)
    {
        QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, method);
        call.setArguments(args);
        return bus_->call(call);
    }

    QDBusConnection Bus() const { return *bus_; }

private:
    static inline const QString kName = QStringLiteral("lumora-automation-system-bus");
    QProcess daemon_;
    QString address_;
    std::unique_ptr<QDBusConnection> bus_;
    std::vector<std::unique_ptr<QProcess>> mocks_;
};

} // namespace

TEST(AutomationServices, PowerSourceFollowsUPower)
{
    PrivateSystemBus bus;
    ASSERT_TRUE(bus.Serve("upower", "org.freedesktop.UPower", R"({"OnBattery": true})"));
    auto watch = PowerSourceWatch::Open(bus.Bus());
    ASSERT_TRUE(watch);
    std::vector<bool> heard;
    watch->OnChanged = [&](bool onBattery) { heard.push_back(onBattery); };
    ASSERT_TRUE(PumpUntil([&] { return watch->OnBattery().has_value(); }));
    EXPECT_TRUE(*watch->OnBattery());

    // Plugged in, then out again.
    bus.UpdateProperties("org.freedesktop.UPower", "/org/freedesktop/UPower", "org.freedesktop.UPower", {{"OnBattery", false}});
    ASSERT_TRUE(PumpUntil([&] { return watch->OnBattery() == false; }));
    bus.UpdateProperties("org.freedesktop.UPower", "/org/freedesktop/UPower", "org.freedesktop.UPower", {{"OnBattery", true}});
    ASSERT_TRUE(PumpUntil([&] { return heard.size() == 3; }));
    EXPECT_EQ(heard, (std::vector<bool>{true, false, true}));

    // Another property changing says nothing about the power source.
    bus.UpdateProperties("org.freedesktop.UPower", "/org/freedesktop/UPower", "org.freedesktop.UPower", {{"LidIsClosed", true}});
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(heard.size(), 3u);
}

TEST(AutomationServices, UPowerStartingLaterIsHeard)
{
    PrivateSystemBus bus;
    auto watch = PowerSourceWatch::Open(bus.Bus());
    ASSERT_TRUE(watch);
    PumpUntil([] { return false; }, 200);
    EXPECT_FALSE(watch->OnBattery()) << "no answer yet: unknown, not mains";
    ASSERT_TRUE(bus.Serve("upower", "org.freedesktop.UPower", R"({"OnBattery": true})"));
    ASSERT_TRUE(PumpUntil([&] { return watch->OnBattery() == true; }));
}

TEST(AutomationServices, NoBusNoWatch)
{
    EXPECT_FALSE(PowerSourceWatch::Open(QDBusConnection("lumora-no-such-bus")));
}

TEST(AutomationServices, TimeZoneFollowsTimedated)
{
    PrivateSystemBus bus;
    ASSERT_TRUE(bus.Serve("timedated", "org.freedesktop.timedate1", R"({"Timezone": "Europe/Berlin"})"));
    ClockWatch watch(bus.Bus());
    QList<QByteArray> heard;
    watch.OnTimeZoneChanged = [&](const QByteArray& zone) { heard << zone; };
    ASSERT_TRUE(PumpUntil([&] { return watch.TimeZoneId() == "Europe/Berlin"; }));

    // Set as the desktop's settings set it; timedated says so in a signal.
    bus.Call("org.freedesktop.timedate1", "/org/freedesktop/timedate1", "org.freedesktop.timedate1", "SetTimezone",
             {QString("America/New_York"), false});
    ASSERT_TRUE(PumpUntil([&] { return watch.TimeZoneId() == "America/New_York"; }));
    EXPECT_EQ(heard.last(), "America/New_York");

    // A name that is no zone is not taken.
    bus.Call("org.freedesktop.timedate1", "/org/freedesktop/timedate1", "org.freedesktop.timedate1", "SetTimezone",
             {QString("Nowhere/Atlantis"), false});
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(watch.TimeZoneId(), "America/New_York");
}

namespace {
const QString kSensorProxy = "net.hadess.SensorProxy";
const QString kSensorPath = "/net/hadess/SensorProxy";

void SetSensor(PrivateSystemBus& bus, const QString& property, const QVariant& value)
{
    bus.Call(kSensorProxy, kSensorPath, "org.freedesktop.DBus.Mock", "SetInternalProperty",
             {kSensorProxy, property, QVariant::fromValue(QDBusVariant(value))});
}

QStringList LightOwners(PrivateSystemBus& bus)
{
    const QDBusMessage reply =
        bus.Call(kSensorProxy, kSensorPath, "org.freedesktop.DBus.Mock", "GetInternalProperty", {QString("AmbientLightOwners")});
    return reply.arguments().value(0).toStringList();
}
} // namespace

TEST(AutomationServices, LightSensorIsClaimedAndFollowed)
{
    PrivateSystemBus bus;
    ASSERT_TRUE(bus.Serve("iio-sensors-proxy", kSensorProxy, R"({"has_ambient_light": true, "light_level": 120.0})"));
    auto watch = AmbientLightWatch::Open(bus.Bus());
    ASSERT_TRUE(watch);
    std::vector<double> heard;
    watch->OnLux = [&](double lux) { heard.push_back(lux); };
    ASSERT_TRUE(PumpUntil([&] { return watch->Lux() == 120.0; }));
    EXPECT_TRUE(watch->HasSensor());
    ASSERT_TRUE(PumpUntil([&] { return LightOwners(bus).size() == 1; })) << "claimed with ClaimLight";

    SetSensor(bus, "LightLevel", 35.5);
    ASSERT_TRUE(PumpUntil([&] { return watch->Lux() == 35.5; }));
    SetSensor(bus, "LightLevel", 800.0);
    ASSERT_TRUE(PumpUntil([&] { return watch->Lux() == 800.0; }));
    EXPECT_EQ(heard, (std::vector<double>{120.0, 35.5, 800.0}));

    // A vendor's unit is no lux: its readings are reported apart.
    std::vector<double> vendor;
    watch->OnVendorLevel = [&](double value) { vendor.push_back(value); };
    SetSensor(bus, "LightLevelUnit", QString("vendor"));
    SetSensor(bus, "LightLevel", 42.0);
    ASSERT_TRUE(PumpUntil([&] { return watch->VendorLevel() == 42.0; }));
    EXPECT_EQ(watch->Unit(), "vendor");
    EXPECT_FALSE(watch->Lux());
    EXPECT_EQ(heard.size(), 3u);
    EXPECT_EQ(vendor, std::vector<double>{42.0});
    // Neither, in a unit that means nothing here.
    SetSensor(bus, "LightLevelUnit", QString("candela"));
    SetSensor(bus, "LightLevel", 7.0);
    ASSERT_TRUE(PumpUntil([&] { return watch->Unit() == "candela"; }));
    PumpUntil([] { return false; }, 300);
    EXPECT_FALSE(watch->VendorLevel());
    EXPECT_EQ(heard.size(), 3u);
    EXPECT_EQ(vendor.size(), 1u);

    // Gone, it lets go of the sensor.
    watch.reset();
    EXPECT_TRUE(PumpUntil([&] { return LightOwners(bus).isEmpty(); }));
}

TEST(AutomationServices, NoLightSensorNoClaim)
{
    PrivateSystemBus bus;
    ASSERT_TRUE(bus.Serve("iio-sensors-proxy", kSensorProxy, R"({"has_ambient_light": false})"));
    auto watch = AmbientLightWatch::Open(bus.Bus());
    ASSERT_TRUE(watch);
    PumpUntil([] { return false; }, 500);
    EXPECT_FALSE(watch->HasSensor());
    EXPECT_FALSE(watch->Claimed());
    EXPECT_TRUE(LightOwners(bus).isEmpty());
}

// The program's clock as whole-program tests move it: the machine's clock
// unless the variable names a file, then moved by the seconds the file
// holds, with SIGUSR1 as the notice that it was set.
TEST(AutomationServices, TheClockMovesOnlyThroughItsOffsetFile)
{
    EXPECT_EQ(ClockWatch::OffsetSeconds("3600\n"), 3600);
    EXPECT_EQ(ClockWatch::OffsetSeconds(" -90.5 "), -90.5);
    EXPECT_EQ(ClockWatch::OffsetSeconds(""), 0) << "an empty file moves nothing";
    EXPECT_EQ(ClockWatch::OffsetSeconds("soon"), 0);
    EXPECT_EQ(ClockWatch::OffsetSeconds("nan"), 0);
    EXPECT_EQ(ClockWatch::OffsetSeconds("1e300"), 0) << "past any date the clock can hold";

    const auto near = [](const QDateTime& a, const QDateTime& b) { return std::abs(a.msecsTo(b)) < 5000; };
    ASSERT_FALSE(qEnvironmentVariableIsSet(ClockWatch::kOffsetVariable));
    EXPECT_TRUE(near(ClockWatch::Now(), QDateTime::currentDateTimeUtc()));

    QTemporaryDir dir;
    const QString path = dir.filePath("offset");
    qputenv(ClockWatch::kOffsetVariable, path.toLocal8Bit());
    EXPECT_TRUE(near(ClockWatch::Now(), QDateTime::currentDateTimeUtc())) << "no file yet";
    const auto write = [&](const QByteArray& text) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    };
    write("7200");
    EXPECT_TRUE(near(ClockWatch::Now(), QDateTime::currentDateTimeUtc().addSecs(7200))) << "read at each look";

    {
        ClockWatch watch(QDBusConnection(QStringLiteral("lumora-no-such-bus")));
        int notices = 0;
        watch.OnClockSet = [&] { ++notices; };
        write("-3600"); // moved silently, as a sleep moves it
        PumpUntil([] { return false; }, 200);
        EXPECT_EQ(notices, 0);
        EXPECT_TRUE(near(ClockWatch::Now(), QDateTime::currentDateTimeUtc().addSecs(-3600)));
        ::raise(SIGUSR1);
        EXPECT_TRUE(PumpUntil([&] { return notices == 1; }, 2000)) << "the signal is the clock's notice";
        PumpUntil([] { return false; }, 200);
        EXPECT_EQ(notices, 1);
    }
    // A signal after the watch is gone changes nothing (and ends nothing).
    ::raise(SIGUSR1);
    qunsetenv(ClockWatch::kOffsetVariable);
    EXPECT_TRUE(near(ClockWatch::Now(), QDateTime::currentDateTimeUtc()));
}
