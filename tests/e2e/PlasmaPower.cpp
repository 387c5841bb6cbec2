#include "PlasmaPower.h"

#include "Desktop.h"
#include "Sway.h"

#include <QFile>
#include <QRegularExpression>

namespace e2e {

namespace {
const char kPowerManager[] = "/usr/lib/x86_64-linux-gnu/libexec/org_kde_powerdevil";
const QString kScreenBrightness = "org.kde.ScreenBrightness";
} // namespace

bool PlasmaPowerManager::Installed() { return QFile::exists(kPowerManager); }

PlasmaPowerManager::PlasmaPowerManager()
{
    if (!kwin_.Started())
        return;
    // What it asks of the system bus at start-up: the power supplies, and the
    // session and its seat.
    if (!system_.Serve("upower", "org.freedesktop.UPower") || !system_.Serve("logind", "org.freedesktop.login1"))
        return;
    // A copy without the file capability the package gives the binary (to
    // wake the machine from suspend): with it, GLib's half of the process
    // (polkit's client) ignores the bus addresses below and asks the
    // machine's own system bus.
    const QString copy = home_.filePath("org_kde_powerdevil");
    if (!QFile::copy(kPowerManager, copy))
        return;
    TestUser::Own(home_.path());
    QProcessEnvironment env;
    env.insert("PATH", qEnvironmentVariable("PATH", "/usr/bin:/bin"));
    env.insert("HOME", home_.path());
    env.insert("LANG", "C.UTF-8");
    env.insert("XDG_RUNTIME_DIR", kwin_.RuntimeDir());
    env.insert("WAYLAND_DISPLAY", kwin_.WaylandDisplay());
    env.insert("QT_QPA_PLATFORM", "wayland");
    env.insert("XDG_SESSION_TYPE", "wayland");
    env.insert("DBUS_SESSION_BUS_ADDRESS", session_.Address());
    env.insert("DBUS_SYSTEM_BUS_ADDRESS", system_.Address());
    env.insert("QT_LOGGING_RULES", "org.kde.powerdevil*=true");
    // Its crash handler would start it again behind the test's back.
    env.insert("KDE_DEBUG", "1");
    daemon_.setProcessChannelMode(QProcess::MergedChannels);
    daemon_.setStandardOutputFile(home_.filePath("powerdevil.log"));
    TestUser::Start(daemon_, copy, {}, env);
    started_ = Eventually([&] { return Serving(); }, 20000);
    monitor_.setStandardOutputFile(home_.filePath("calls.log"));
    monitor_.start("dbus-monitor", {"--address", session_.Address(), "type='method_call'"});
    monitor_.waitForStarted(5000);
}

PlasmaPowerManager::~PlasmaPowerManager()
{
    for (QProcess* p : {&monitor_, &daemon_}) {
        p->terminate();
        if (!p->waitForFinished(5000))
            p->kill();
        p->waitForFinished(2000);
    }
}

QString PlasmaPowerManager::Calls() const { return ReadText(home_.filePath("calls.log")); }

QString PlasmaPowerManager::Log() const
{
    return ReadText(home_.filePath("powerdevil.log")) + "\n--- KWin:\n" + kwin_.Log();
}

bool PlasmaPowerManager::Serving() const
{
    return session_
        .Send({"--dest=org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner",
               "string:" + kScreenBrightness})
        .contains("boolean true");
}

std::optional<QStringList> PlasmaPowerManager::Displays() const
{
    const QString reply =
        session_.Send({"--dest=" + kScreenBrightness, "/org/kde/ScreenBrightness", "org.freedesktop.DBus.Properties.Get",
                       "string:org.kde.ScreenBrightness", "string:DisplaysDBusNames"});
    if (!reply.contains("variant"))
        return std::nullopt;
    QStringList names;
    static const QRegularExpression name(R"re(string "([^"]*)")re");
    for (auto it = name.globalMatch(reply); it.hasNext();)
        names << it.next().captured(1);
    return names;
}

} // namespace e2e
