#include "Sway.h"

#include "Desktop.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <functional>
#include <stdexcept>

#include <unistd.h>

namespace e2e {

namespace {

const QString kAccount = "lumora-wl";

bool Run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// The window in the tree that has the focus.
QJsonObject Focused(const QJsonObject& node)
{
    if (node.value("focused").toBool())
        return node;
    for (const char* list : {"nodes", "floating_nodes"})
        for (const QJsonValue& child : node.value(list).toArray()) {
            const QJsonObject found = Focused(child.toObject());
            if (!found.isEmpty())
                return found;
        }
    return {};
}

// The window in the tree with the app_id.
QJsonObject WithAppId(const QJsonObject& node, const QString& appId)
{
    if (node.value("app_id").toString() == appId)
        return node;
    for (const char* list : {"nodes", "floating_nodes"})
        for (const QJsonValue& child : node.value(list).toArray()) {
            const QJsonObject found = WithAppId(child.toObject(), appId);
            if (!found.isEmpty())
                return found;
        }
    return {};
}

} // namespace

// ---------------------------------------------------------------- user

bool TestUser::IsRoot() { return geteuid() == 0; }

QString TestUser::Name()
{
    if (!IsRoot())
        return {};
    static const bool created = [] {
        if (Run("id", {"-u", kAccount}))
            return true;
        // Test programs that run side by side may both create it: the
        // account being there afterwards is what counts.
        return Run("useradd", {"--system", "--no-create-home", "--shell", "/usr/sbin/nologin", kAccount}) ||
               Run("id", {"-u", kAccount});
    }();
    if (!created)
        throw std::runtime_error("cannot create the unprivileged test account");
    return kAccount;
}

void TestUser::Own(const QString& path)
{
    if (IsRoot() && !Run("chown", {"-R", Name() + ":", path}))
        throw std::runtime_error(("cannot hand over " + path).toStdString());
}

void TestUser::Start(QProcess& process, const QString& program, const QStringList& args,
                     const QProcessEnvironment& env)
{
    process.setProcessEnvironment(env);
    if (IsRoot()) {
        // setpriv executes the program in place: the process is the program,
        // so stopping it stops the program.
        process.start("setpriv", QStringList{"--reuid", Name(), "--regid", Name(), "--clear-groups", program} + args);
    } else {
        process.start(program, args);
    }
    process.waitForStarted(5000);
}

// ---------------------------------------------------------------- sway

HeadlessSway::HeadlessSway()
{
    const QString dir = runtime_.path();
    QFile config(dir + "/config");
    config.open(QIODevice::WriteOnly);
    config.write("xwayland enable\n"
                 "output * mode 1280x1024\n"
                 "focus_on_window_activation focus\n"
                 "exec sh -c 'echo \"$DISPLAY\" > \"$XDG_RUNTIME_DIR/xdisplay\"'\n");
    config.close();
    TestUser::Own(dir);
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QProcessEnvironment env;
    env.insert("PATH", qEnvironmentVariable("PATH", "/usr/bin:/bin"));
    env.insert("HOME", dir);
    env.insert("XDG_RUNTIME_DIR", dir);
    env.insert("WLR_BACKENDS", "headless");
    env.insert("WLR_RENDERER", "pixman");
    env.insert("WLR_LIBINPUT_NO_DEVICES", "1");
    env.insert("WLR_HEADLESS_OUTPUTS", "1");
    server_.setProcessChannelMode(QProcess::MergedChannels);
    server_.setStandardOutputFile(dir + "/sway.log");
    TestUser::Start(server_, "sway", {"--debug", "--config", dir + "/config"}, env);

    Eventually([&] {
        for (const QString& name : QDir(dir).entryList({"wayland-*"}, QDir::System))
            if (!name.endsWith(".lock"))
                waylandDisplay_ = name;
        return !waylandDisplay_.isEmpty() && !QDir(dir).entryList({"sway-ipc.*"}, QDir::System).isEmpty() &&
               !ReadText(dir + "/xdisplay").trimmed().isEmpty();
    }, 15000);
    xDisplay_ = ReadText(dir + "/xdisplay").trimmed();
}

HeadlessSway::~HeadlessSway()
{
    server_.terminate();
    if (!server_.waitForFinished(5000))
        server_.kill();
    server_.waitForFinished(2000);
}

QString HeadlessSway::Log() const { return ReadText(runtime_.path() + "/sway.log"); }

QProcessEnvironment HeadlessSway::ClientEnvironment() const
{
    QProcessEnvironment env;
    env.insert("PATH", qEnvironmentVariable("PATH", "/usr/bin:/bin"));
    env.insert("XDG_RUNTIME_DIR", runtime_.path());
    env.insert("WAYLAND_DISPLAY", waylandDisplay_);
    env.insert("XDG_SESSION_TYPE", "wayland");
    env.insert("DISPLAY", xDisplay_);
    const QStringList sockets = QDir(runtime_.path()).entryList({"sway-ipc.*"}, QDir::System);
    if (!sockets.isEmpty())
        env.insert("SWAYSOCK", runtime_.path() + "/" + sockets.first());
    // No session bus: the program must not reach the real desktop's services.
    env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");
    return env;
}

QString HeadlessSway::RunTool(const QString& program, const QStringList& args) const
{
    QProcess p;
    TestUser::Start(p, program, args, ClientEnvironment());
    p.waitForFinished(10000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString HeadlessSway::Msg(const QStringList& args) const { return RunTool("swaymsg", args); }

void HeadlessSway::Type(const QString& text) const { RunTool("wtype", {text}); }

QString HeadlessSway::OutputPower() const
{
    static const QRegularExpression turning("Turning (on|off) output");
    QString last;
    for (const QRegularExpressionMatch& m : turning.globalMatch(Log()))
        last = m.captured(1);
    return last;
}

QString HeadlessSway::FocusedWindow() const
{
    const QJsonObject focused = Focused(QJsonDocument::fromJson(Msg({"-r", "-t", "get_tree"}).toUtf8()).object());
    if (focused.value("type").toString() != "con" && focused.value("type").toString() != "floating_con")
        return {};
    const QString appId = focused.value("app_id").toString();
    if (!appId.isEmpty())
        return appId;
    return focused.value("window_properties").toObject().value("class").toString();
}

bool HeadlessSway::Urgent(const QString& appId) const
{
    const QJsonObject tree = QJsonDocument::fromJson(Msg({"-r", "-t", "get_tree"}).toUtf8()).object();
    return WithAppId(tree, appId).value("urgent").toBool();
}

} // namespace e2e
