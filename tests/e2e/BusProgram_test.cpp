// The whole program on a desktop's buses: the login manager's resume signal on
// a private system bus (dbusmock's logind), and the program's own interface on
// a private session bus, driven by dbus-send, watched by dbus-monitor and used
// by the program's own --get-level and --set-level.

#include "Desktop.h"
#include "SessionBus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QTimeZone>

#include <gtest/gtest.h>

using namespace e2e;

namespace {

const QStringList kOurObject{"--dest=org.kestrelo.LumoraBrightness", "/org/kestrelo/LumoraBrightness"};

void StoreSettings(const Sandbox& sandbox, const QByteArray& values)
{
    QDir().mkpath(sandbox.ConfigHome() + "/Kestrelo");
    QFile file(sandbox.ConfigHome() + "/Kestrelo/LumoraBrightness.conf");
    file.open(QIODevice::WriteOnly);
    file.write("[Software\\Kestrelo\\LumoraBrightness]\n" + values);
}

void WriteDeviceFile(const Sandbox& sandbox, const QString& name, int value)
{
    QFile f(sandbox.BacklightRoot() + "/acpi_video0/" + name);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(QByteArray::number(value) + "\n");
}

// What firmware does on the way up: the panel runs at another brightness,
// and the driver reports it.
void FirmwareSets(const Sandbox& sandbox, int raw)
{
    WriteDeviceFile(sandbox, "brightness", raw);
    WriteDeviceFile(sandbox, "actual_brightness", raw);
}

// The stand-in has no driver behind it: after the program's own write the
// test keeps actual_brightness in step, as a driver does.
void DriverFollows(const Sandbox& sandbox) { WriteDeviceFile(sandbox, "actual_brightness", sandbox.Brightness()); }

// The program on its own virtual display with the given buses ("none" for
// a bus that is not there).
class BusRun {
public:
    BusRun(const QString& systemBus, const QString& sessionBus) : systemBus_(systemBus), sessionBus_(sessionBus)
    {
        program_.setProcessEnvironment(Environment());
        program_.setProcessChannelMode(QProcess::MergedChannels);
        program_.setStandardOutputFile(sandbox_.Home() + "/output");
        args_ = QStringList{"--backlight-root", sandbox_.BacklightRoot(), "--levels", "11"};
    }
    ~BusRun()
    {
        program_.kill();
        program_.waitForFinished(3000);
    }
    void Start(const QStringList& extra = {}) { program_.start(LUMORA_PROGRAM, args_ + extra); }
    Sandbox& Box() { return sandbox_; }
    QString Output() const { return ReadText(sandbox_.Home() + "/output"); }
    bool Running() { return !program_.waitForFinished(0) && program_.state() == QProcess::Running; }
    QString Ended() const
    {
        return QString("exit %1 (%2): %3").arg(program_.exitCode()).arg(program_.exitStatus()).arg(Output());
    }

    // Another start of the program beside this one: its exit code, and its
    // standard output and error.
    struct Result {
        int ExitCode = -1;
        QString Out, Err;
    };
    Result Command(const QStringList& args) const
    {
        QProcess p;
        p.setProcessEnvironment(Environment());
        p.start(LUMORA_PROGRAM, args_ + args);
        if (!p.waitForFinished(15000)) {
            p.kill();
            p.waitForFinished(3000);
            return {};
        }
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }

private:
    QProcessEnvironment Environment() const
    {
        QProcessEnvironment env = sandbox_.Environment(display_.Name());
        env.insert("DBUS_SYSTEM_BUS_ADDRESS", systemBus_ == "none" ? "unix:path=/nonexistent" : systemBus_);
        env.insert("DBUS_SESSION_BUS_ADDRESS", sessionBus_ == "none" ? "unix:path=/nonexistent" : sessionBus_);
        return env;
    }

    VirtualDisplay display_;
    Sandbox sandbox_;
    QString systemBus_, sessionBus_;
    QStringList args_;
    QProcess program_;
};

// The login manager, as dbusmock's template serves it, tells of sleep.
void EmitPrepareForSleep(const SessionBus& system, bool start)
{
    const QString name = "lumora-test-system";
    {
        QDBusConnection bus = QDBusConnection::connectToBus(system.Address(), name);
        ASSERT_TRUE(bus.isConnected());
        QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.login1", "/org/freedesktop/login1",
                                                           "org.freedesktop.DBus.Mock", "EmitSignal");
        call << QString("org.freedesktop.login1.Manager") << QString("PrepareForSleep") << QString("b")
             << QVariantList{QVariant(start)};
        const QDBusMessage reply = bus.call(call, QDBus::Block, 5000);
        EXPECT_NE(reply.type(), QDBusMessage::ErrorMessage) << reply.errorMessage().toStdString();
    }
    QDBusConnection::disconnectFromBus(name);
}

QDateTime ModificationTime(const QString& path) { return QFileInfo(path).fileTime(QFileDevice::FileModificationTime); }

void SetOldModificationTime(const QString& path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6), QTimeZone::utc()),
                              QFileDevice::FileModificationTime));
}

// Waits until the program has written `raw` and the needle has come to rest
// (its animation writes the levels on the way).
bool Settles(BusRun& run, int raw)
{
    if (!Eventually([&] { return run.Box().Brightness() == raw; }, 20000))
        return false;
    QThread::msleep(1500);
    return run.Box().Brightness() == raw;
}

} // namespace

TEST(BusProgram, AfterResumeTheLevelLastSetComesBackAndAKeptOneIsNotWritten)
{
    SessionBus system(SessionBus::System);
    ASSERT_TRUE(system.Serve("logind", "org.freedesktop.login1"));
    BusRun run(system.Address(), "none");
    StoreSettings(run.Box(), "Level=7\n");
    run.Start();
    ASSERT_TRUE(Settles(run, 70)) << run.Output().toStdString();
    DriverFollows(run.Box());

    // Going to sleep changes nothing; the firmware resets the panel while
    // the machine sleeps; on the way up the program puts its level back.
    EmitPrepareForSleep(system, true);
    FirmwareSets(run.Box(), 100);
    EmitPrepareForSleep(system, false);
    EXPECT_TRUE(Eventually([&] { return run.Box().Brightness() == 70; }, 2000))
        << "still " << run.Box().Brightness() << ": " << run.Output().toStdString();
    DriverFollows(run.Box());

    // The panel kept the level through this sleep: read, not written.
    const QString file = run.Box().BrightnessFile();
    SetOldModificationTime(file);
    const QDateTime before = ModificationTime(file);
    EmitPrepareForSleep(system, false);
    QThread::msleep(2500);
    EXPECT_EQ(ModificationTime(file), before) << "the program wrote a level the panel already had";
    EXPECT_EQ(run.Box().Brightness(), 70);
    EXPECT_TRUE(run.Running()) << run.Ended().toStdString();
    EXPECT_FALSE(run.Output().contains("session bus")) << "no session bus is no news: " << run.Output().toStdString();
}

TEST(BusProgram, AfterResumeTheDimmedLevelStays)
{
    SessionBus system(SessionBus::System);
    ASSERT_TRUE(system.Serve("logind", "org.freedesktop.login1"));
    BusRun run(system.Address(), "none");
    StoreSettings(run.Box(), "Level=8\nDimInterval=1\n");
    run.Box().SetIdleSeconds(61); // nobody at the keyboard: dimmed at once
    run.Start({"--idle-seconds-file", run.Box().IdleFile(), "--idle-check-interval", "200"});
    ASSERT_TRUE(Settles(run, 1)) << run.Output().toStdString();
    DriverFollows(run.Box());

    FirmwareSets(run.Box(), 100);
    EmitPrepareForSleep(system, false);
    EXPECT_TRUE(Eventually([&] { return run.Box().Brightness() == 1; }, 2000))
        << "the dimmed level must come back, not 80 and not the firmware's: " << run.Box().Brightness();
    QThread::msleep(1000);
    EXPECT_EQ(run.Box().Brightness(), 1);
}

TEST(BusProgram, ScriptsReadAndSetTheLevelOfTheRunningCopy)
{
    SessionBus session;
    BusRun run("none", session.Address());

    // Nobody to ask yet: said, and no window of its own.
    BusRun::Result r = run.Command({"--get-level"});
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_TRUE(r.Err.contains("Lumora Brightness Control is not running")) << r.Err.toStdString();
    r = run.Command({"--set-level", "3"});
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_TRUE(r.Err.contains("Lumora Brightness Control is not running")) << r.Err.toStdString();

    StoreSettings(run.Box(), "Level=7\n");
    run.Start();
    ASSERT_TRUE(Settles(run, 70)) << run.Output().toStdString();
    ASSERT_TRUE(Eventually([&] {
        return session.Send({"--dest=org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner",
                             "string:org.kestrelo.LumoraBrightness"})
            .contains("boolean true");
    })) << run.Output().toStdString();
    const auto owner = [&] {
        return session.Send({"--dest=org.freedesktop.DBus", "/org/freedesktop/DBus",
                             "org.freedesktop.DBus.GetNameOwner", "string:org.kestrelo.LumoraBrightness"})
            .section("string", 1)
            .trimmed();
    };
    const QString firstOwner = owner();

    QProcess monitor;
    monitor.start("dbus-monitor", {"--address", session.Address(),
                                   "type='signal',interface='org.kestrelo.LumoraBrightness',member='LevelChanged'"});
    ASSERT_TRUE(monitor.waitForStarted(5000));
    QThread::msleep(500); // its match rule is in place

    // The last line: a library may print its own notes first.
    const auto lastLine = [](const QString& out) { return out.trimmed().section('\n', -1); };
    r = run.Command({"--get-level"});
    EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    EXPECT_EQ(lastLine(r.Out), "7");

    r = run.Command({"--set-level", "3"});
    EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    EXPECT_TRUE(Eventually([&] { return run.Box().Brightness() == 30; })) << run.Box().Brightness();
    r = run.Command({"--get-level"});
    EXPECT_EQ(lastLine(r.Out), "3");

    // The interface itself, as a script on the bus sees it.
    const auto property = [&](const QString& name) {
        return session.Send(kOurObject + QStringList{"org.freedesktop.DBus.Properties.Get",
                                                     "string:org.kestrelo.LumoraBrightness", "string:" + name})
            .section("int32", 1)
            .trimmed();
    };
    EXPECT_EQ(property("LevelCount"), "11");
    session.Send(kOurObject + QStringList{"org.kestrelo.LumoraBrightness.SetLevel", "int32:5"});
    EXPECT_TRUE(Eventually([&] { return run.Box().Brightness() == 50; })) << run.Box().Brightness();
    EXPECT_EQ(property("Level"), "5");

    // A level that is not there is refused with a reason, and nothing moves.
    r = run.Command({"--set-level", "11"});
    EXPECT_EQ(r.ExitCode, 2);
    EXPECT_TRUE(r.Err.contains("Level 11 is out of range: the levels are 0 to 10.")) << r.Err.toStdString();
    r = run.Command({"--set-level", "bright"});
    EXPECT_EQ(r.ExitCode, 2);
    EXPECT_TRUE(r.Err.contains("--set-level needs a level number")) << r.Err.toStdString();
    QThread::msleep(1500);
    EXPECT_EQ(run.Box().Brightness(), 50);
    EXPECT_EQ(property("Level"), "5");

    // A second copy without these options brings the first forward and
    // ends, never taking the interface.
    r = run.Command({});
    EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    EXPECT_EQ(owner(), firstOwner);
    EXPECT_FALSE(firstOwner.isEmpty());
    EXPECT_TRUE(run.Running()) << run.Ended().toStdString();

    monitor.terminate();
    monitor.waitForFinished(3000);
    const QString watched = QString::fromUtf8(monitor.readAllStandardOutput());
    EXPECT_TRUE(watched.contains("member=LevelChanged")) << watched.toStdString();
    const QStringList levels = [&] {
        QStringList seen;
        for (const QString& line : watched.split('\n'))
            if (line.trimmed().startsWith("int32"))
                seen << line.trimmed().section(' ', 1);
        return seen;
    }();
    EXPECT_EQ(levels, (QStringList{"3", "5"})) << "each new level announced once: " << watched.toStdString();
}
