#pragma once

#include <QDBusConnection>
#include <QObject>

#include <functional>
#include <memory>

namespace lumora {

// The login manager's word that the machine has come back from sleep: its
// PrepareForSleep(false) signal on the system bus. Listening costs nothing
// at rest (the bus connection's socket wakes the program only for a signal).
class LogindSleepWatch : public QObject {
    Q_OBJECT
public:
    // Listens on the bus; nullptr when there is no such bus. The login
    // manager need not be running yet: the signal is matched by its name.
    static std::unique_ptr<LogindSleepWatch> Open(QDBusConnection bus = QDBusConnection::systemBus());

    // Called on the user-interface thread after each resume.
    std::function<void()> OnResumed;

private slots:
    void PrepareForSleep(bool start);

private:
    LogindSleepWatch() = default;
};

} // namespace lumora
