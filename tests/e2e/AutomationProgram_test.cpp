// Profiles that apply themselves, in the whole program: UPower served by
// dbusmock's own template on a private system bus switches between a mains
// and a battery profile, a level the user sets (here through the program's
// own --set-level) holds across a resume until the power source switches
// again, and a settings file with an unreadable trigger still starts.

#include "Desktop.h"
#include "SessionBus.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>

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
        program_.setProcessEnvironment(Environment());
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
