// Profiles that apply themselves, in the whole program: UPower served by
// dbusmock's own template on a private system bus switches between a mains
// and a battery profile, a level the user sets (here through the program's
// own --set-level) holds across a resume until the power source switches
// again, and a settings file with an unreadable trigger still starts.
// Time triggers run against the program's clock moved through its offset
// file: a trigger fires at its time, a sleep across a trigger (the clock
// moved silently, then logind's resume) brings the right profile, and a
// set clock or a new time zone (timedated's template) recomputes.

#include "Desktop.h"
#include "SessionBus.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimeZone>

#include <csignal>

#include <gtest/gtest.h>

using namespace e2e;

namespace {

// A root key, two profiles with power triggers and a short fade.
void StoreSchedule(const Sandbox& sandbox, const QByteArray& extra = {})
{
    QDir().mkpath(sandbox.ConfigHome() + "/Kestrelo");
    QFile file(sandbox.SettingsFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Software\\Kestrelo\\LumoraBrightness]\n"
               "Level=5\nAutoFadeMs=300\n" +
               extra +
               "[Software\\Kestrelo\\LumoraBrightness\\Mains]\n"
               "ProfileIcon=\"Mains\"\nLevel=9\nTriggers=\"on mains\"\n"
               "[Software\\Kestrelo\\LumoraBrightness\\Battery]\n"
               "ProfileIcon=\"Battery\"\nLevel=2\nTriggers=\"on battery; teatime\"\n");
}

// The program on its own display with a system and a session bus.
class AutomationRun {
public:
    AutomationRun(const SessionBus& system, const SessionBus& session) : system_(system), session_(session)
    {
        QProcessEnvironment env = Environment();
        // The program's clock, moved by the test; its zone is UTC unless
        // timedated says otherwise.
        env.insert("LUMORA_CLOCK_OFFSET_FILE", ClockFile());
        env.insert("TZ", "UTC");
        program_.setProcessEnvironment(env);
        program_.setProcessChannelMode(QProcess::MergedChannels);
        program_.setStandardOutputFile(sandbox_.Home() + "/output");
        args_ = QStringList{"--backlight-root", sandbox_.BacklightRoot(), "--levels", "11"};
    }
    ~AutomationRun()
    {
        program_.kill();
        program_.waitForFinished(3000);
    }
    void Start() { program_.start(LUMORA_PROGRAM, args_); }
    QString ClockFile() const { return sandbox_.Home() + "/clock-offset"; }
    // Moves the program's clock to `utc` today, as a sleep does: nothing
    // tells the program, it sees the new time when it next looks.
    void MoveClockSilently(const QTime& utc)
    {
        const QDateTime target(QDateTime::currentDateTimeUtc().date(), utc, QTimeZone::utc());
        QFile file(ClockFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray::number(QDateTime::currentDateTimeUtc().msecsTo(target) / 1000.0, 'f', 3));
    }
    // Sets the program's clock to `utc` today, as a user or NTP does: the
    // program gets the notice the kernel would give.
    void SetClock(const QTime& utc)
    {
        MoveClockSilently(utc);
        ASSERT_EQ(::kill(pid_t(program_.processId()), SIGUSR1), 0);
    }
    // Waits until the program has done what it does once its window shows:
    // it offers itself on the session bus in the same step as it starts
    // watching the system's services, whose first answers then follow.
    bool WaitUntilSettledIn()
    {
        const bool offered = Eventually([&] {
            return session_.Send({"--dest=org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner",
                                  "string:org.kestrelo.LumoraBrightness"})
                .contains("boolean true");
        }, 20000);
        QThread::msleep(1000);
        return offered;
    }
    Sandbox& Box() { return sandbox_; }
    QString Output() const { return ReadText(sandbox_.Home() + "/output"); }
    int Command(const QStringList& args) const
    {
        QProcess p;
        p.setProcessEnvironment(Environment());
        p.start(LUMORA_PROGRAM, args_ + args);
        if (!p.waitForFinished(15000)) {
            p.kill();
            p.waitForFinished(3000);
            return -1;
        }
        return p.exitCode();
    }

private:
    QProcessEnvironment Environment() const
    {
        QProcessEnvironment env = sandbox_.Environment(display_.Name());
        env.insert("DBUS_SYSTEM_BUS_ADDRESS", system_.Address());
        env.insert("DBUS_SESSION_BUS_ADDRESS", session_.Address());
        return env;
    }

    const SessionBus& system_;
    const SessionBus& session_;
    VirtualDisplay display_;
    Sandbox sandbox_;
    QStringList args_;
    QProcess program_;
};

// UPower's OnBattery set as the daemon sets it: with PropertiesChanged.
void SetOnBattery(const SessionBus& system, bool onBattery)
{
    system.Send({"--dest=org.freedesktop.UPower", "/org/freedesktop/UPower", "org.freedesktop.DBus.Properties.Set",
                 "string:org.freedesktop.UPower", "string:OnBattery",
                 onBattery ? "variant:boolean:true" : "variant:boolean:false"});
}

// logind, as dbusmock's template serves it, says the machine woke up
// (gdbus: dbus-send cannot build the signal's array of variants).
void Resume(const SessionBus& system)
{
    QProcess gdbus;
    gdbus.start("gdbus", {"call", "--address", system.Address(), "--dest", "org.freedesktop.login1", "--object-path",
                          "/org/freedesktop/login1", "--method", "org.freedesktop.DBus.Mock.EmitSignal",
                          "org.freedesktop.login1.Manager", "PrepareForSleep", "b", "[<false>]"});
    ASSERT_TRUE(gdbus.waitForFinished(10000));
    ASSERT_EQ(gdbus.exitCode(), 0) << gdbus.readAllStandardError().toStdString();
}

// The brightness reaches `raw` and stays there a moment (no fade goes on).
bool Settles(AutomationRun& run, int raw)
{
    if (!Eventually([&] { return run.Box().Brightness() == raw; }, 20000))
        return false;
    QThread::msleep(1000);
    return run.Box().Brightness() == raw;
}

} // namespace

TEST(AutomationProgram, PowerSourceSwitchesProfilesAndAHandChangeHolds)
{
    SessionBus system(SessionBus::System);
    ASSERT_TRUE(system.Serve("upower", "org.freedesktop.UPower", QString(), R"({"OnBattery": false})"));
    ASSERT_TRUE(system.Serve("logind", "org.freedesktop.login1"));
    SessionBus session;
    AutomationRun run(system, session);
    StoreSchedule(run.Box());
    run.Start();

    // On mains at the start: the mains profile, not the saved level 5.
    ASSERT_TRUE(Settles(run, 90)) << run.Box().Brightness() << ": " << run.Output().toStdString();
    SetOnBattery(system, true);
    ASSERT_TRUE(Settles(run, 20)) << run.Box().Brightness() << ": " << run.Output().toStdString();

    // The user's level holds through a resume.
    ASSERT_EQ(run.Command({"--set-level", "6"}), 0);
    ASSERT_TRUE(Settles(run, 60));
    Resume(system);
    QThread::msleep(2500);
    EXPECT_EQ(run.Box().Brightness(), 60) << "the battery profile fired once; the hand change stays";

    // Until the next trigger fires.
    SetOnBattery(system, false);
    EXPECT_TRUE(Settles(run, 90)) << run.Box().Brightness();
    // The settings remember which firing was applied last.
    EXPECT_TRUE(ReadText(run.Box().SettingsFile()).contains("AutoLastTrigger=\"on mains\""))
        << ReadText(run.Box().SettingsFile()).toStdString();
}

TEST(AutomationProgram, PausedAutomationLeavesTheSavedLevel)
{
    SessionBus system(SessionBus::System);
    ASSERT_TRUE(system.Serve("upower", "org.freedesktop.UPower", QString(), R"({"OnBattery": true})"));
    SessionBus session;
    AutomationRun run(system, session);
    StoreSchedule(run.Box(), "AutoPaused=1\n");
    run.Start();
    ASSERT_TRUE(Settles(run, 50)) << run.Box().Brightness() << ": " << run.Output().toStdString();
    SetOnBattery(system, false);
    QThread::msleep(2000);
    EXPECT_EQ(run.Box().Brightness(), 50) << "paused, no trigger fires";
}

namespace {

// Two profiles on the clock: Day from 07:00, Evening from 18:00.
void StoreDaySchedule(const Sandbox& sandbox)
{
    QDir().mkpath(sandbox.ConfigHome() + "/Kestrelo");
    QFile file(sandbox.SettingsFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Software\\Kestrelo\\LumoraBrightness]\n"
               "Level=5\nAutoFadeMs=300\n"
               "[Software\\Kestrelo\\LumoraBrightness\\Day]\n"
               "ProfileIcon=\"Day\"\nLevel=9\nTriggers=\"07:00\"\n"
               "[Software\\Kestrelo\\LumoraBrightness\\Evening]\n"
               "ProfileIcon=\"Evening\"\nLevel=2\nTriggers=\"18:00\"\n");
}

// The program started at noon on the two profiles; Day is then in force.
bool StartsAtNoonOnTheDaySchedule(AutomationRun& run)
{
    StoreDaySchedule(run.Box());
    run.MoveClockSilently(QTime(12, 0));
    run.Start();
    return Settles(run, 90);
}

} // namespace

TEST(AutomationProgram, ATimeTriggerFiresAtItsTimeAfterTheClockWasSet)
{
    SessionBus system(SessionBus::System);
    SessionBus session;
    AutomationRun run(system, session);
    ASSERT_TRUE(StartsAtNoonOnTheDaySchedule(run)) << "noon: Day is in force; " << run.Output().toStdString();

    // Set to a few seconds before the evening: the timer is set afresh for
    // them (without the notice it would wait six hours).
    run.SetClock(QTime(17, 59, 56));
    QThread::msleep(1000);
    EXPECT_EQ(run.Box().Brightness(), 90) << "Evening waits for its time";
    QElapsedTimer waited;
    waited.start();
    ASSERT_TRUE(Settles(run, 20)) << run.Box().Brightness() << ": " << run.Output().toStdString();
    EXPECT_LT(waited.elapsed(), 15000);
}

TEST(AutomationProgram, AfterASleepAcrossATriggerItsProfileIsInForceSoonAfterResume)
{
    SessionBus system(SessionBus::System);
    ASSERT_TRUE(system.Serve("logind", "org.freedesktop.login1"));
    SessionBus session;
    AutomationRun run(system, session);
    ASSERT_TRUE(StartsAtNoonOnTheDaySchedule(run)) << run.Output().toStdString();
    // A look at the clock the start-up still makes would see the move below.
    ASSERT_TRUE(run.WaitUntilSettledIn()) << run.Output().toStdString();

    // Asleep from noon to seven in the evening: the program's timer, on the
    // monotonic clock, still waits for six hours to pass.
    run.MoveClockSilently(QTime(19, 0));
    QThread::msleep(1500);
    ASSERT_EQ(run.Box().Brightness(), 90) << "the simulated sleep told the program nothing";
    Resume(system);
    QElapsedTimer sinceResume;
    sinceResume.start();
    ASSERT_TRUE(Eventually([&] { return run.Box().Brightness() == 20; }, 5000)) << run.Box().Brightness();
    EXPECT_LE(sinceResume.elapsed(), 2000) << "Evening in force within 2 s of the resume";
}

TEST(AutomationProgram, ANewTimeZoneRecomputesWhatIsInForce)
{
    SessionBus system(SessionBus::System);
    ASSERT_TRUE(system.Serve("timedated", "org.freedesktop.timedate1", QString(), R"({"Timezone": "UTC"})"));
    SessionBus session;
    AutomationRun run(system, session);
    ASSERT_TRUE(StartsAtNoonOnTheDaySchedule(run)) << run.Output().toStdString();

    // Noon in UTC is nine in the evening in Tokyo.
    system.Send({"--dest=org.freedesktop.timedate1", "/org/freedesktop/timedate1",
                 "org.freedesktop.timedate1.SetTimezone", "string:Asia/Tokyo", "boolean:false"});
    EXPECT_TRUE(Settles(run, 20)) << run.Box().Brightness() << ": " << run.Output().toStdString();
}

// iio-sensor-proxy, as dbusmock's template serves it, reporting a vendor's
// unit: the level follows the light within the range the sensor has shown,
// and the range is kept.
TEST(AutomationProgram, ASensorWithoutLuxMovesTheLevelWithinItsRange)
{
    SessionBus system(SessionBus::System);
    QTemporaryDir logs;
    const QString calls = logs.filePath("sensor-calls.log");
    ASSERT_TRUE(system.Serve("iio-sensors-proxy", "net.hadess.SensorProxy", calls,
                             R"({"has_ambient_light": true, "light_level_unit": "vendor", "light_level": 10.0})"));
    SessionBus session;
    AutomationRun run(system, session);
    QDir().mkpath(run.Box().ConfigHome() + "/Kestrelo");
    {
        QFile file(run.Box().SettingsFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Software\\Kestrelo\\LumoraBrightness]\nLevel=5\nAutoFadeMs=0\nAutoLightCurve=1\n");
    }
    run.Start();
    // The program looks for the sensor once its window shows, and takes the
    // reading it finds as its first: the light changes only after the claim,
    // which comes with that reading.
    ASSERT_TRUE(Eventually([&] { return ReadText(calls).contains("ClaimLight"); }, 20000)) << run.Output().toStdString();
    ASSERT_TRUE(Settles(run, 50)) << "one reading is no range: the saved level stays; " << run.Output().toStdString();

    const auto light = [&](double value) {
        system.Send({"--dest=net.hadess.SensorProxy", "/net/hadess/SensorProxy", "org.freedesktop.DBus.Mock.SetInternalProperty",
                     "string:net.hadess.SensorProxy", "string:LightLevel", "variant:double:" + QString::number(value)});
    };
    light(1010); // the brightest yet: daylight
    EXPECT_TRUE(Settles(run, 100)) << run.Box().Brightness() << ": " << run.Output().toStdString();
    light(10); // the darkest seen: darkness, the lowest level (never black)
    EXPECT_TRUE(Settles(run, 1)) << run.Box().Brightness();
    const QString settings = ReadText(run.Box().SettingsFile());
    EXPECT_TRUE(settings.contains("AutoVendorLightLow=\"10\"") && settings.contains("AutoVendorLightHigh=\"1010\""))
        << settings.toStdString();
}

// "Schedule..." from the profile picker of the running program: its own
// menu, opened with a right click, offers it first, and choosing it opens
// the schedule window. (Choosing it again raises the one window:
// the core tests show that.)
TEST(AutomationProgram, ScheduleOpensFromTheProfilePickersMenu)
{
    VirtualDisplay display;
    Driver driver(display);
    Sandbox sandbox(100, 50);
    Program program(sandbox, display, {"--backlight-root", sandbox.BacklightRoot(), "--levels", "11"});
    const QString window = driver.WaitForWindow("Lumora Brightness Control");
    ASSERT_FALSE(window.isEmpty()) << program.Output().toStdString();
    ASSERT_TRUE(Eventually([&] { return sandbox.Brightness() == 50; })) << sandbox.Brightness();
    driver.Run({"windowfocus", "--sync", window});
    QThread::msleep(200);

    // "Schedule..." is the menu's first item, just below and right of the
    // click. (A click, not Return: a key held a moment too long on a busy
    // machine repeats into the new window and saves it shut.) A busy machine
    // may show the menu late; then once more.
    const QPoint picker = Design(141 + 40, 214 + 15);
    QString schedule;
    for (int attempt = 0; attempt < 3 && schedule.isEmpty(); ++attempt) {
        driver.Click(window, picker, 3);
        QThread::msleep(600 * (attempt + 1));
        driver.Click(window, picker + QPoint(30, 10));
        schedule = driver.WaitForWindow("Schedule", 3000);
    }
    ASSERT_FALSE(schedule.isEmpty()) << program.Output().toStdString();
    QThread::msleep(1000);
    ASSERT_FALSE(driver.Run({"search", "--onlyvisible", "--name", "^Schedule$"}).trimmed().isEmpty()) << "stays open";
}
