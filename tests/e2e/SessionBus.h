#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <vector>

namespace e2e {

// A private session bus (dbus-daemon) for one test, with services served by
// python-dbusmock templates. As the system bus it stands in for the machine's
// (the program finds it through DBUS_SYSTEM_BUS_ADDRESS).
class SessionBus {
public:
    enum Kind { Session, System };
    // Who may join: the test's own user, as on a desktop, or every local
    // user, for services run as the unprivileged test user while the test
    // itself runs as root.
    enum Access { OwnUser, AnyLocalUser };
    explicit SessionBus(Kind kind = Session, Access access = OwnUser);
    Kind BusKind() const { return kind_; }
    ~SessionBus();
    QString Address() const { return address_; }

    // Serves the template (a file or one of dbusmock's own) until the bus
    // ends; false when its name did not appear. With a log file, dbusmock
    // writes every call and property write there. `parameters` are the
    // template's, as JSON.
    bool Serve(const QString& templ, const QString& busName, const QString& logFile = QString(),
               const QString& parameters = QString());
    // Takes the name with `script` (silent_service.py beside the mocks): a
    // service that keeps its name and never answers a call, as a hung one
    // does; false when the name did not appear.
    bool Hold(const QString& script, const QString& busName);
    // Ends every service served so far, or the one of that name.
    void StopServing();
    void StopServing(const QString& busName);
    // dbus-send --print-reply on this bus; its standard output.
    QString Send(const QStringList& args) const;

private:
    QProcessEnvironment ClientEnvironment() const;

    Kind kind_;
    QTemporaryDir configDir_;
    QProcess daemon_;
    QString address_;
    std::vector<std::unique_ptr<QProcess>> mocks_;
    std::vector<QString> names_; // the bus name of each mock
};

} // namespace e2e
