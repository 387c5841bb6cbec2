#include "Desktop.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <stdexcept>

#include <gtest/gtest.h>

#include <X11/Xlib.h>

namespace e2e {

bool Eventually(const std::function<bool()>& condition, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        if (condition())
            return true;
        QThread::msleep(50);
    }
    return condition();
}

QString ReadText(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

QByteArray ReadBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(bytes);
}

static void WriteText(const QString& path, const QString& text)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error(("cannot write " + path).toStdString());
    f.write(text.toUtf8());
}

// ------------------------------------------------------------- display

VirtualDisplay::VirtualDisplay()
{
    // -displayfd lets the server choose a free display number and tell it.
    server_.setProcessChannelMode(QProcess::SeparateChannels);
    server_.start(XVFB_PROGRAM, {"-displayfd", "1", "-noreset", "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-dpi", "96"});
    if (!server_.waitForStarted(5000))
        throw std::runtime_error("Xvfb did not start");
    QByteArray number;
    Eventually([&] {
        server_.waitForReadyRead(100);
        number += server_.readAllStandardOutput();
        return number.contains('\n');
    }, 10000);
    name_ = ":" + QString::fromLatin1(number.trimmed());
    if (name_ == ":")
        throw std::runtime_error("Xvfb did not report its display");
}

VirtualDisplay::~VirtualDisplay()
{
    server_.terminate();
    if (!server_.waitForFinished(3000))
        server_.kill();
}

// -------------------------------------------------------------- sandbox

Sandbox::Sandbox(int maxBrightness, int brightness)
{
    const QString device = backlight_.path() + "/acpi_video0";
    QDir().mkpath(device);
    WriteText(device + "/max_brightness", QString::number(maxBrightness) + "\n");
    WriteText(device + "/brightness", QString::number(brightness) + "\n");
    WriteText(device + "/actual_brightness", QString::number(brightness) + "\n");
    WriteText(device + "/type", "firmware\n");
    QDir().mkpath(ConfigHome() + "/Kestrelo");
    WriteText(SettingsFile(), "[Software\\Kestrelo\\LumoraBrightness]\nProfileIcon=\"\"\nLevel=0\nRunOnStartup=0\n"
                              "DimInterval=0\nProfileDesc=\"\"\n");
    QDir().mkpath(home_.path() + "/runtime");
    QFile::setPermissions(home_.path() + "/runtime", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void Sandbox::ForgetSettings() const { QFile::remove(SettingsFile()); }

int Sandbox::Brightness() const { return ReadText(BrightnessFile()).trimmed().toInt(); }

void Sandbox::SetIdleSeconds(int seconds) const { WriteText(IdleFile(), QString::number(seconds)); }

QProcessEnvironment Sandbox::Environment(const QString& display) const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", Home());
    env.insert("XDG_CONFIG_HOME", ConfigHome());
    env.insert("XDG_DATA_HOME", DataHome());
    env.insert("XDG_RUNTIME_DIR", home_.path() + "/runtime");
    env.insert("DISPLAY", display);
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.remove("WAYLAND_DISPLAY");
    // No session bus but the test's own: the program must not reach the real
    // desktop's services.
    env.insert("DBUS_SESSION_BUS_ADDRESS", sessionBus_.isEmpty() ? "unix:path=/nonexistent" : sessionBus_);
    return env;
}

// -------------------------------------------------------------- program

Program::Program(const Sandbox& sandbox, const VirtualDisplay& display, QStringList args)
{
    process_.setProcessEnvironment(sandbox.Environment(display.Name()));
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.start(LUMORA_PROGRAM, args);
    process_.waitForStarted(5000);
}

Program::~Program()
{
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(3000);
    }
}

bool Program::WaitForExit(int ms) { return process_.waitForFinished(ms); }

QString Program::Output()
{
    output_ += process_.readAll();
    return QString::fromUtf8(output_);
}

// --------------------------------------------------------------- driver

QString Driver::Run(const QStringList& args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display_);
    p.setProcessEnvironment(env);
    p.start(XDOTOOL_PROGRAM, args);
    p.waitForFinished(10000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

QString Driver::WaitForWindow(const QString& title, int ms)
{
    QString id;
    Eventually([&] {
        id = Run({"search", "--onlyvisible", "--name", "^" + title + "$"}).section('\n', 0, 0);
        return !id.isEmpty();
    }, ms);
    if (id.isEmpty()) {
        // Say what the display holds, to tell a missing window from a hidden one.
        const QString all = Run({"search", "--name", "."});
        for (const QString& w : all.split('\n', Qt::SkipEmptyParts))
            fprintf(stderr, "window %s '%s'\n", qPrintable(w), qPrintable(Run({"getwindowname", w})));
    }
    return id;
}

bool Driver::WaitForWindowGone(const QString& windowId, int ms)
{
    return Eventually([&] {
        return !Run({"search", "--onlyvisible", "--name", "."}).split('\n').contains(windowId);
    }, ms);
}

QRect Driver::Geometry(const QString& windowId)
{
    const QString out = Run({"getwindowgeometry", "--shell", windowId});
    int x = 0, y = 0, w = 0, h = 0;
    for (const QString& line : out.split('\n')) {
        const QString key = line.section('=', 0, 0), value = line.section('=', 1);
        if (key == "X") x = value.toInt();
        if (key == "Y") y = value.toInt();
        if (key == "WIDTH") w = value.toInt();
        if (key == "HEIGHT") h = value.toInt();
    }
    return QRect(x, y, w, h);
}

QString Driver::ActiveWindow() { return Run({"getactivewindow"}); }

void Driver::Click(const QString& windowId, QPoint at, int button)
{
    Run({"mousemove", "--window", windowId, "--sync", QString::number(at.x()), QString::number(at.y())});
    Run({"click", QString::number(button)});
}

void Driver::Drag(const QString& windowId, QPoint from, QPoint to)
{
    Run({"mousemove", "--window", windowId, "--sync", QString::number(from.x()), QString::number(from.y())});
    Run({"mousedown", "1"});
    const int steps = 8;
    for (int i = 1; i <= steps; ++i) {
        const QPoint p = from + (to - from) * i / steps;
        Run({"mousemove", "--window", windowId, "--sync", QString::number(p.x()), QString::number(p.y())});
    }
    Run({"mouseup", "1"});
}

void Driver::Key(const QString& windowId, const QString& keys) { Run({"key", "--window", windowId, keys}); }

void Driver::Type(const QString& windowId, const QString& text)
{
    // Typed into the focused widget of the active window, as a user types.
    Run({"windowactivate", "--sync", windowId});
    Run({"type", text});
}

void Driver::Close(const QString& windowId)
{
    // What a window manager's close button sends: WM_DELETE_WINDOW. There is
    // no window manager on the virtual display, so the test sends it itself.
    Display* dpy = XOpenDisplay(display_.toLatin1().constData());
    if (!dpy)
        return;
    const Window window = Window(windowId.toULong());
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    // A window that went meanwhile is no fault: nothing is left to close.
    const auto previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    XSendEvent(dpy, window, False, NoEventMask, &event);
    XSync(dpy, False);
    XSetErrorHandler(previous);
    XCloseDisplay(dpy);
}

bool Driver::DismissBox(const QString& boxId)
{
    // Keys are not used: one sent again to a box that is just going reaches
    // the window under it, where Return presses the focused control. A close
    // request is handled by the box's own window or by no one.
    for (int attempt = 0; attempt < 4; ++attempt) {
        Close(boxId);
        if (WaitForWindowGone(boxId, 2000))
            return true;
    }
    return false;
}

} // namespace e2e
