#include "SessionBus.h"

#include "Desktop.h"

#include <stdexcept>

namespace e2e {

namespace {

// The session bus's own rules, but for any local user. Abstract sockets
// carry no file permissions.
const char kAnyUserConfig[] = R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:tmpdir=/tmp</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";

} // namespace

SessionBus::SessionBus(Kind kind, Access access) : kind_(kind)
{
    QStringList args{"--session", "--nofork", "--print-address=1"};
    if (access == AnyLocalUser) {
        const QString config = configDir_.filePath("bus.conf");
        WriteFile(config, kAnyUserConfig);
        args[0] = "--config-file=" + config;
    }
    daemon_.start("dbus-daemon", args);
    if (!daemon_.waitForStarted(5000))
        throw std::runtime_error("dbus-daemon did not start");
    QByteArray out;
    Eventually([&] {
        daemon_.waitForReadyRead(100);
        out += daemon_.readAllStandardOutput();
        return out.contains('\n');
    }, 10000);
    address_ = QString::fromUtf8(out).trimmed();
    if (address_.isEmpty())
        throw std::runtime_error("dbus-daemon did not report its address");
}

void SessionBus::StopServing()
{
    for (auto& mock : mocks_) {
        mock->terminate();
        mock->waitForFinished(3000);
    }
    mocks_.clear();
    names_.clear();
}

void SessionBus::StopServing(const QString& busName)
{
    for (std::size_t i = 0; i < mocks_.size(); ++i) {
        if (names_[i] != busName)
            continue;
        mocks_[i]->terminate();
        mocks_[i]->waitForFinished(3000);
        mocks_.erase(mocks_.begin() + std::ptrdiff_t(i));
        names_.erase(names_.begin() + std::ptrdiff_t(i));
        break;
    }
    Eventually([&] {
        return Send({"--dest=org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner",
                     "string:" + busName})
            .contains("boolean false");
    }, 5000);
}

SessionBus::~SessionBus()
{
    StopServing();
    daemon_.terminate();
    if (!daemon_.waitForFinished(3000))
        daemon_.kill();
}

bool SessionBus::Serve(const QString& templ, const QString& busName, const QString& logFile, const QString& parameters)
{
    auto mock = std::make_unique<QProcess>();
    mock->setProcessEnvironment(ClientEnvironment());
    mock->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // The system's python, where the distribution installs dbusmock.
    QStringList args{"-m", "dbusmock", kind_ == System ? "--system" : "--session", "--template", templ};
    if (!logFile.isEmpty())
        args << "--logfile" << logFile;
    if (!parameters.isEmpty())
        args << "--parameters" << parameters;
    mock->start("/usr/bin/python3", args);
    mocks_.push_back(std::move(mock));
    names_.push_back(busName);
    return Eventually([&] {
        return Send({"--dest=org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner",
                     "string:" + busName})
            .contains("boolean true");
    }, 15000);
}

bool SessionBus::Hold(const QString& script, const QString& busName)
{
    auto service = std::make_unique<QProcess>();
    service->setProcessEnvironment(ClientEnvironment());
    service->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QStringList args{script};
    if (kind_ == System)
        args << "--system";
    service->start("/usr/bin/python3", args << busName);
    const bool ready = service->waitForReadyRead(15000);
    mocks_.push_back(std::move(service));
    names_.push_back(busName);
    return ready;
}

QString SessionBus::Send(const QStringList& args) const
{
    QProcess p;
    p.setProcessEnvironment(ClientEnvironment());
    p.start("dbus-send", QStringList{kind_ == System ? "--system" : "--session", "--print-reply"} + args);
    p.waitForFinished(10000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

QProcessEnvironment SessionBus::ClientEnvironment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(kind_ == System ? "DBUS_SYSTEM_BUS_ADDRESS" : "DBUS_SESSION_BUS_ADDRESS", address_);
    return env;
}

} // namespace e2e
