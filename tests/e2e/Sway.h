#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace e2e {

// Runs programs as the account the Wayland tests use: the current user, or,
// when the tests run as root (which sway refuses), an unprivileged account
// the tests create once.
class TestUser {
public:
    static bool IsRoot();
    // The account name when running as root, else empty.
    static QString Name();
    // Makes the path (and all below it) the test user's.
    static void Own(const QString& path);
    // Starts the program as the test user with exactly the environment given.
    static void Start(QProcess& process, const QString& program, const QStringList& args,
                      const QProcessEnvironment& env);
};

// A headless sway with XWayland, started for one test.
class HeadlessSway {
public:
    HeadlessSway();
    ~HeadlessSway();
    bool Started() const { return !waylandDisplay_.isEmpty(); }
    QString Log() const;

    QString RuntimeDir() const { return runtime_.path(); }
    QString WaylandDisplay() const { return waylandDisplay_; }
    // XWayland's display, started on first use by the compositor.
    QString XDisplay() const { return xDisplay_; }
    // What a client of this compositor gets in its environment.
    QProcessEnvironment ClientEnvironment() const;

    // swaymsg with these arguments; its standard output.
    QString Msg(const QStringList& args) const;
    // Types the text through the virtual-keyboard protocol, as a user would.
    void Type(const QString& text) const;
    // The power state the compositor was last asked to put an output in:
    // "on", "off" or empty. wlroots' headless outputs cannot really be
    // powered down (the commit fails and `swaymsg -t get_outputs` keeps
    // saying on), so this is read from sway's own debug log.
    QString OutputPower() const;
    // The app_id or X11 class of the focused window, empty when none.
    QString FocusedWindow() const;
    // Whether the window with this app_id asks for attention.
    bool Urgent(const QString& appId) const;

private:
    QString RunTool(const QString& program, const QStringList& args) const;

    QTemporaryDir runtime_;
    QProcess server_;
    QString waylandDisplay_;
    QString xDisplay_;
};

} // namespace e2e
