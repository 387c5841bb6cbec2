#pragma once

#include "KWin.h"
#include "SessionBus.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <optional>

namespace e2e {

// Plasma 6's power manager, the real one, started for one test as the
// unprivileged test user on a session bus of its own that the program may
// join. Beside it: a system bus where dbusmock serves UPower and logind,
// which it reads at start-up, and a KWin of its own on the virtual backend.
// Without a Wayland display it finds no idle-time source and crashes while
// starting; with one it serves org.kde.ScreenBrightness within a second or
// two.
//
// Its panel comes from its backlight helper, a system service that KAuth
// starts through polkit and that reads /sys/class/backlight as root, and its
// monitors from DDC/CI: on a test machine without a panel or a monitor that
// answers DDC/CI it lists no display at all.
class PlasmaPowerManager {
public:
    static bool Installed();
    PlasmaPowerManager();
    ~PlasmaPowerManager();
    // Whether it claimed org.kde.ScreenBrightness.
    bool Started() const { return started_; }
    // What it printed, with KWin's log after it.
    QString Log() const;
    QString BusAddress() const { return session_.Address(); }
    // The displays it offers (DisplaysDBusNames); none when it did not answer.
    std::optional<QStringList> Displays() const;
    // Whether it still owns the name.
    bool Serving() const;
    // The method calls made on its bus since it started, as dbus-monitor
    // prints them.
    QString Calls() const;

private:
    HeadlessKWin kwin_{HeadlessKWin::AsTestUser};
    SessionBus system_{SessionBus::System, SessionBus::AnyLocalUser};
    SessionBus session_{SessionBus::Session, SessionBus::AnyLocalUser};
    QTemporaryDir home_;
    QProcess daemon_;
    QProcess monitor_;
    bool started_ = false;
};

} // namespace e2e
