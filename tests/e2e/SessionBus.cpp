#include "SessionBus.h"

#include "Desktop.h"

#include <stdexcept>

namespace e2e {

SessionBus::SessionBus(Kind kind) : kind_(kind)
{
    daemon_.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
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
}

SessionBus::~SessionBus()
{
    StopServing();
    daemon_.terminate();
    if (!daemon_.waitForFinished(3000))
        daemon_.kill();
}

bool SessionBus::Serve(const QString& templ, const QString& busName)
{
    auto mock = std::make_unique<QProcess>();
    mock->setProcessEnvironment(ClientEnvironment());
    mock->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // The system's python, where the distribution installs dbusmock.
    mock->start("/usr/bin/python3", {"-m", "dbusmock", kind_ == System ? "--system" : "--session", "--template", templ});
    mocks_.push_back(std::move(mock));
    return Eventually([&] {
        return Send({"--dest=org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner",
                     "string:" + busName})
            .contains("boolean true");
    }, 15000);
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
