#include "Mutter.h"

#include "Desktop.h"
#include "Sway.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QUuid>

namespace e2e {

namespace {

const QString kRemoteDesktop = "org.gnome.Mutter.RemoteDesktop";

} // namespace

bool HeadlessMutter::Installed() { return !QStandardPaths::findExecutable("mutter").isEmpty(); }

HeadlessMutter::HeadlessMutter() : connectionName_("mutter-" + QUuid::createUuid().toString(QUuid::Id128))
{
    // The compositor runs as the test user, the test itself perhaps as root:
    // a bus both may join.
    address_ = bus_.Address();

    const QString dir = runtime_.path();
    TestUser::Own(dir);
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment env;
    env.insert("PATH", qEnvironmentVariable("PATH", "/usr/bin:/bin"));
    env.insert("HOME", dir);
    env.insert("XDG_RUNTIME_DIR", dir);
    env.insert("DBUS_SESSION_BUS_ADDRESS", address_);
    server_.setProcessChannelMode(QProcess::MergedChannels);
    server_.setStandardOutputFile(busDir_.filePath("mutter.log"));
    TestUser::Start(server_, "mutter", {"--headless", "--virtual-monitor", "1280x1024", "--wayland", "--no-x11"}, env);

    QDBusConnection bus = Bus();
    started_ = Eventually([&] {
        for (const QString& name : QDir(dir).entryList({"wayland-*"}, QDir::System))
            if (!name.endsWith(".lock"))
                waylandDisplay_ = name;
        return !waylandDisplay_.isEmpty() && bus.isConnected() &&
               bus.interface()->isServiceRegistered("org.gnome.Mutter.DisplayConfig").value() &&
               bus.interface()->isServiceRegistered(kRemoteDesktop).value();
    }, 20000);
}

HeadlessMutter::~HeadlessMutter()
{
    QDBusConnection::disconnectFromBus(connectionName_);
    server_.terminate();
    if (!server_.waitForFinished(3000))
        server_.kill();
    server_.waitForFinished(1000);
}

QString HeadlessMutter::Log() const { return ReadText(busDir_.filePath("mutter.log")); }

QDBusConnection HeadlessMutter::Bus() const { return QDBusConnection::connectToBus(address_, connectionName_); }

QProcessEnvironment HeadlessMutter::ClientEnvironment() const
{
    QProcessEnvironment env;
    env.insert("PATH", qEnvironmentVariable("PATH", "/usr/bin:/bin"));
    env.insert("XDG_RUNTIME_DIR", runtime_.path());
    env.insert("WAYLAND_DISPLAY", waylandDisplay_);
    env.insert("DBUS_SESSION_BUS_ADDRESS", address_);
    env.insert("XDG_SESSION_TYPE", "wayland");
    env.insert("XDG_CURRENT_DESKTOP", "GNOME");
    return env;
}

bool HeadlessMutter::PressKey()
{
    QDBusConnection bus = Bus();
    if (remoteSession_.isEmpty()) {
        // The session lives as long as this connection: one for the test.
        const QDBusMessage created = bus.call(QDBusMessage::createMethodCall(
            kRemoteDesktop, "/org/gnome/Mutter/RemoteDesktop", kRemoteDesktop, "CreateSession"));
        if (created.type() != QDBusMessage::ReplyMessage)
            return false;
        const QString path = created.arguments().value(0).value<QDBusObjectPath>().path();
        const QDBusMessage started = bus.call(
            QDBusMessage::createMethodCall(kRemoteDesktop, path, kRemoteDesktop + ".Session", "Start"));
        if (started.type() != QDBusMessage::ReplyMessage)
            return false;
        remoteSession_ = path;
    }
    for (const bool pressed : {true, false}) {
        QDBusMessage key =
            QDBusMessage::createMethodCall(kRemoteDesktop, remoteSession_, kRemoteDesktop + ".Session", "NotifyKeyboardKeycode");
        key << uint(30) << pressed; // the "a" key's evdev code
        if (bus.call(key).type() != QDBusMessage::ReplyMessage)
            return false;
    }
    return true;
}

QString HeadlessMutter::PowerSaveMode() const
{
    QDBusMessage get = QDBusMessage::createMethodCall("org.gnome.Mutter.DisplayConfig", "/org/gnome/Mutter/DisplayConfig",
                                                      "org.freedesktop.DBus.Properties", "Get");
    get << QString("org.gnome.Mutter.DisplayConfig") << QString("PowerSaveMode");
    const QDBusMessage reply = Bus().call(get);
    if (reply.type() != QDBusMessage::ReplyMessage)
        return reply.errorMessage();
    return QString::number(reply.arguments().value(0).value<QDBusVariant>().variant().toInt());
}

} // namespace e2e
