#pragma once

#include "SessionBus.h"

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace e2e {

// The real GNOME compositor, headless with one virtual monitor and a Wayland
// display, started for one test as the unprivileged test user, on a session
// bus of its own that the test (root or not) may use too. It serves
// org.gnome.Mutter.IdleMonitor, DisplayConfig (PowerSaveMode) and
// RemoteDesktop, through which the test presses keys as a user would.
class HeadlessMutter {
public:
    static bool Installed();
    HeadlessMutter();
    ~HeadlessMutter();
    bool Started() const { return started_; }
    QString Log() const;
    QString RuntimeDir() const { return runtime_.path(); }
    QString WaylandDisplay() const { return waylandDisplay_; }
    QString BusAddress() const { return address_; }
    // The test's own connection to that bus.
    QDBusConnection Bus() const;
    // What a client of this compositor gets in its environment.
    QProcessEnvironment ClientEnvironment() const;

    // Presses and releases a key through a remote-desktop session.
    bool PressKey();
    // DisplayConfig's PowerSaveMode, or a text saying why it cannot be read.
    QString PowerSaveMode() const;

private:
    QTemporaryDir runtime_;
    QTemporaryDir busDir_; // the compositor's log
    SessionBus bus_{SessionBus::Session, SessionBus::AnyLocalUser};
    QProcess server_;
    QString address_;
    QString waylandDisplay_;
    QString connectionName_;
    QString remoteSession_; // the remote-desktop session's object path, once started
    bool started_ = false;
};

} // namespace e2e
