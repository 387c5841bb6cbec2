#include "Session.h"

#include <QThread>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace e2e {

namespace {

// One connection to the display for the length of one query. Errors (a
// window that vanished between listing and asking) are expected while a
// program maps and unmaps windows; they only make that window not count.
class XConnection {
public:
    explicit XConnection(const QString& display)
        : dpy_(XOpenDisplay(display.toLatin1().constData()))
    {
        if (!dpy_)
            throw std::runtime_error("cannot open display " + display.toStdString());
        previous_ = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    }
    ~XConnection()
    {
        XSync(dpy_, False);
        XSetErrorHandler(previous_);
        XCloseDisplay(dpy_);
    }
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;

    Display* dpy() const { return dpy_; }
    Window Root() const { return DefaultRootWindow(dpy_); }
    Atom Intern(const char* name) const { return XInternAtom(dpy_, name, False); }

    // The 32-bit items of a property (windows, atoms, cardinals).
    std::vector<unsigned long> Longs(Window w, const char* property) const
    {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        std::vector<unsigned long> out;
        if (XGetWindowProperty(dpy_, w, Intern(property), 0, 1024, False, AnyPropertyType, &type, &format, &count,
                               &after, &data) == Success &&
            data) {
            if (format == 32)
                out.assign(reinterpret_cast<unsigned long*>(data), reinterpret_cast<unsigned long*>(data) + count);
            XFree(data);
        }
        return out;
    }
    bool HasProperty(Window w, const char* property) const
    {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        const bool found = XGetWindowProperty(dpy_, w, Intern(property), 0, 1, False, AnyPropertyType, &type, &format,
                                              &count, &after, &data) == Success &&
                           type != None;
        if (data)
            XFree(data);
        return found;
    }
    qint64 Pid(Window w) const
    {
        const auto pid = Longs(w, "_NET_WM_PID");
        return pid.empty() ? -1 : qint64(pid.front());
    }
    bool Viewable(Window w, XWindowAttributes* attributes = nullptr) const
    {
        XWindowAttributes a{};
        if (!XGetWindowAttributes(dpy_, w, &a))
            return false;
        if (attributes)
            *attributes = a;
        return a.map_state == IsViewable;
    }
    std::vector<Window> Children(Window w) const
    {
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        std::vector<Window> out;
        if (XQueryTree(dpy_, w, &root, &parent, &children, &count) && children) {
            out.assign(children, children + count);
            XFree(children);
        }
        return out;
    }
    Window Parent(Window w) const
    {
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (XQueryTree(dpy_, w, &root, &parent, &children, &count) && children)
            XFree(children);
        return parent;
    }

private:
    Display* dpy_;
    XErrorHandler previous_ = nullptr;
};

QString Id(Window w) { return QString::number(w); }

void VisitTree(const XConnection& x, Window w, const std::function<void(Window)>& visit)
{
    for (Window child : x.Children(w)) {
        visit(child);
        VisitTree(x, child, visit);
    }
}

void StopProcess(QProcess& process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(3000);
    }
}

} // namespace

DesktopSession::DesktopSession(bool withNotificationArea)
    : driver_(display_), withNotificationArea_(withNotificationArea)
{
    if (QString(OPENBOX_PROGRAM).isEmpty() || (withNotificationArea && QString(TRAYER_PROGRAM).isEmpty()))
        throw std::runtime_error("the desktop needs openbox and trayer (scripts/setup installs them)");

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display_.Name());
    // The desktop's own settings stay out of the user's home.
    env.insert("HOME", home_.path());
    env.insert("XDG_CONFIG_HOME", home_.path() + "/.config");
    env.insert("XDG_CACHE_HOME", home_.path() + "/.cache");
    env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");

    windowManager_.setProcessEnvironment(env);
    windowManager_.setStandardOutputFile(QProcess::nullDevice());
    windowManager_.setStandardErrorFile(QProcess::nullDevice());
    windowManager_.start(OPENBOX_PROGRAM, {"--sm-disable"});
    if (!windowManager_.waitForStarted(5000) || !WaitForWindowManager(10000))
        throw std::runtime_error("openbox did not take the display");

    if (withNotificationArea_) {
        notificationArea_.setProcessEnvironment(env);
        notificationArea_.setStandardOutputFile(QProcess::nullDevice());
        notificationArea_.setStandardErrorFile(QProcess::nullDevice());
        notificationArea_.start(TRAYER_PROGRAM, {"--edge", "top", "--align", "right", "--widthtype", "pixel", "--width",
                                                 "120", "--heighttype", "pixel", "--height", "24", "--SetDockType",
                                                 "true", "--SetPartialStrut", "true", "--expand", "false"});
        if (!notificationArea_.waitForStarted(5000) || !WaitForNotificationArea(10000))
            throw std::runtime_error("trayer did not take the system tray selection");
    }
}

DesktopSession::~DesktopSession()
{
    StopProcess(notificationArea_);
    StopProcess(windowManager_);
}

bool DesktopSession::WaitForWindowManager(int ms)
{
    return Eventually([&] {
        XConnection x(display_.Name());
        return !x.Longs(x.Root(), "_NET_SUPPORTING_WM_CHECK").empty();
    }, ms);
}

bool DesktopSession::WaitForNotificationArea(int ms)
{
    return Eventually([&] {
        XConnection x(display_.Name());
        const Atom selection = x.Intern(("_NET_SYSTEM_TRAY_S" + std::to_string(DefaultScreen(x.dpy()))).c_str());
        return XGetSelectionOwner(x.dpy(), selection) != None;
    }, ms);
}

QString SettingsPath(const Sandbox& sandbox) { return sandbox.ConfigHome() + "/Kestrelo/LumoraBrightness.conf"; }

std::unique_ptr<Program> DesktopSession::Launch(const Sandbox& sandbox, const QStringList& extra)
{
    return LaunchWith(sandbox, QStringList{"--backlight-root", sandbox.BacklightRoot(), "--levels", "11"} + extra);
}

std::unique_ptr<Program> DesktopSession::LaunchWith(const Sandbox& sandbox, const QStringList& arguments)
{
    return std::make_unique<Program>(sandbox, display_, arguments);
}

// --------------------------------------------------------------- windows

QStringList DesktopSession::ShownWindows(qint64 pid)
{
    XConnection x(display_.Name());
    const Atom hidden = x.Intern("_NET_WM_STATE_HIDDEN");
    QStringList out;
    for (unsigned long w : x.Longs(x.Root(), "_NET_CLIENT_LIST")) {
        if (x.Pid(w) != pid || !x.Viewable(w))
            continue;
        const auto state = x.Longs(w, "_NET_WM_STATE");
        if (std::find(state.begin(), state.end(), hidden) != state.end())
            continue;
        out << Id(w);
    }
    return out;
}

QStringList DesktopSession::MessageBoxes(qint64 pid)
{
    const QStringList shown = ShownWindows(pid);
    XConnection x(display_.Name());
    QStringList out;
    for (const QString& w : shown) {
        Window owner = None;
        if (XGetTransientForHint(x.dpy(), w.toULong(), &owner) && owner != None)
            out << w;
    }
    return out;
}

QString DesktopSession::WaitForMainWindow(qint64 pid, int ms)
{
    QString found;
    Eventually([&] {
        const QStringList boxes = MessageBoxes(pid);
        for (const QString& w : ShownWindows(pid))
            if (!boxes.contains(w)) {
                found = w;
                return true;
            }
        return false;
    }, ms);
    return found;
}

QString DesktopSession::WaitForManagedWindow(qint64 pid, int ms)
{
    QString found;
    Eventually([&] {
        XConnection x(display_.Name());
        for (unsigned long w : x.Longs(x.Root(), "_NET_CLIENT_LIST")) {
            if (x.Pid(w) == pid) {
                found = Id(w);
                return true;
            }
        }
        return false;
    }, ms);
    return found;
}

bool DesktopSession::WaitForNoMainWindow(qint64 pid, int ms)
{
    return Eventually([&] {
        const QStringList boxes = MessageBoxes(pid);
        for (const QString& w : ShownWindows(pid))
            if (!boxes.contains(w))
                return false;
        return true;
    }, ms);
}

QString DesktopSession::WaitForMessageBox(qint64 pid, int ms)
{
    QString found;
    Eventually([&] {
        const QStringList boxes = MessageBoxes(pid);
        found = boxes.value(0);
        return !found.isEmpty();
    }, ms);
    return found;
}

QString DesktopSession::WindowTitle(const QString& windowId) { return driver_.Run({"getwindowname", windowId}); }

bool DesktopSession::AnswerMessageBox(const QString& box, const QString& key)
{
    for (int attempt = 0; attempt < 4; ++attempt) {
        driver_.Run({"windowactivate", "--sync", box});
        driver_.Key(box, key);
        // A box that goes at the press leaves no window for the release: the
        // key would stay down and repeat into the next menu or box.
        driver_.Run({"keyup", key});
        if (driver_.WaitForWindowGone(box, 1500))
            return true;
    }
    return false;
}

bool DesktopSession::Minimised(const QString& windowId)
{
    XConnection x(display_.Name());
    const auto state = x.Longs(windowId.toULong(), "WM_STATE");
    return !state.empty() && state.front() == IconicState;
}

// ------------------------------------------------------------------ tray

QString DesktopSession::TrayIcon(qint64 pid)
{
    // The icon is an XEmbed client window that the notification area has
    // taken in: mapped below the area's own windows, not at the top, and not
    // a window the window manager framed (Qt marks every window for XEmbed).
    XConnection x(display_.Name());
    const auto clients = x.Longs(x.Root(), "_NET_CLIENT_LIST");
    QString found;
    VisitTree(x, x.Root(), [&](Window w) {
        XWindowAttributes a{};
        if (found.isEmpty() && x.Parent(w) != x.Root() && x.HasProperty(w, "_XEMBED_INFO") && x.Pid(w) == pid &&
            x.Viewable(w, &a) && a.width <= 64 && a.height <= 64 &&
            std::find(clients.begin(), clients.end(), w) == clients.end())
            found = Id(w);
    });
    return found;
}

QString DesktopSession::WaitForTrayIcon(qint64 pid, int ms)
{
    QString icon;
    Eventually([&] {
        icon = TrayIcon(pid);
        return !icon.isEmpty();
    }, ms);
    return icon;
}

QString DesktopSession::TrayMenu(qint64 pid)
{
    // A menu is an override-redirect window of the process, on the top level.
    XConnection x(display_.Name());
    for (Window w : x.Children(x.Root())) {
        XWindowAttributes a{};
        if (x.Viewable(w, &a) && a.override_redirect && a.width > 40 && a.height > 40 && x.Pid(w) == pid)
            return Id(w);
    }
    return {};
}

bool DesktopSession::ChooseFromTrayMenu(qint64 pid, TrayItem item)
{
    if (WaitForTrayIcon(pid).isEmpty())
        return false;
    // The first Down selects the first item; separators are stepped over.
    QStringList keys{"key", "--delay", "60"};
    for (int i = 0; i <= int(item); ++i)
        keys << "Down";
    keys << "Return";
    // A right click right after a menu closed can be taken as the end of
    // that menu rather than a new press; a user clicks again, so do we.
    for (int attempt = 0; attempt < 4; ++attempt) {
        const QString menu = OpenTrayMenu(pid);
        if (menu.isEmpty())
            continue;
        // The menu takes the keyboard a moment after it is mapped.
        QThread::msleep(250);
        driver_.Run(keys);
        if (Eventually([&] { return TrayMenu(pid).isEmpty(); }, 1500))
            return true;
        driver_.Run({"key", "Escape"});
    }
    return false;
}

QString DesktopSession::OpenTrayMenu(qint64 pid)
{
    const QString icon = TrayIcon(pid);
    if (icon.isEmpty())
        return {};
    PointAt(icon);
    driver_.Run({"click", "3"});
    QString menu;
    Eventually([&] {
        menu = TrayMenu(pid);
        return !menu.isEmpty();
    }, 1500);
    return menu;
}

void DesktopSession::PointAt(const QString& windowId)
{
    // "mousemove --sync" waits for the pointer to move, for ever when it is
    // already there: step off the icon first.
    driver_.Run({"mousemove", "--sync", "0", "500"});
    driver_.Run({"mousemove", "--window", windowId, "--sync", "8", "8"});
}

bool DesktopSession::DoubleClickTrayIcon(qint64 pid)
{
    const QString icon = WaitForTrayIcon(pid);
    if (icon.isEmpty())
        return false;
    PointAt(icon);
    driver_.Run({"click", "--repeat", "2", "--delay", "80", "1"});
    return true;
}

} // namespace e2e
