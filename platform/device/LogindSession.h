#pragma once

#include <QDBusConnection>
#include <QString>

#include <optional>

namespace lumora {

// The caller's session in the login manager, over the system bus: the way an
// unprivileged desktop user may set the backlight, and a source of idle time.
class LogindSession {
public:
    explicit LogindSession(QDBusConnection bus = QDBusConnection::systemBus(),
                           QString sessionPath = QStringLiteral("/org/freedesktop/login1/session/auto"));

    // Session.SetBrightness(subsystem, name, value); waits up to 5 s for the
    // answer, so it belongs on a worker thread. Raises EOSError carrying the
    // bus's error text.
    void SetBrightness(const QString& subsystem, const QString& name, quint32 value) const;

    // Milliseconds since the session went idle (0 while it is not idle), or
    // nullopt when the login manager does not answer within 100 ms.
    std::optional<quint64> IdleMilliseconds() const;

private:
    QDBusConnection bus_;
    QString sessionPath_;
};

} // namespace lumora
