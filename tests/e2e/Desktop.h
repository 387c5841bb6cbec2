#pragma once

#include <QByteArray>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace e2e {

// A virtual X display for the length of a test program.
class VirtualDisplay {
public:
    VirtualDisplay();
    ~VirtualDisplay();
    QString Name() const { return name_; }

private:
    QProcess server_;
    QString name_;
};

// A world for one program run: temporary home, config and runtime folders,
// and a stand-in backlight device.
class Sandbox {
public:
    // A returning user: the settings file holds the lowest level, the
    // login start off and no dimming, so every start writes one known level.
    explicit Sandbox(int maxBrightness = 100, int brightness = 50);
    // The settings file goes: the next start is the program's first.
    void ForgetSettings() const;
    QString SettingsFile() const { return ConfigHome() + "/Kestrelo/LumoraBrightness.conf"; }
    QString Home() const { return home_.path(); }
    QString ConfigHome() const { return home_.path() + "/.config"; }
    QString DataHome() const { return home_.path() + "/.local/share"; }
    // Where the user's own profile pictures go.
    QString UserPictures() const { return DataHome() + "/lumora-brightness/profiles"; }
    QString BacklightRoot() const { return backlight_.path(); }
    QString BrightnessFile() const { return backlight_.path() + "/acpi_video0/brightness"; }
    int Brightness() const;
    void SetIdleSeconds(int seconds) const;
    QString IdleFile() const { return home_.path() + "/idle-seconds"; }
    QProcessEnvironment Environment(const QString& display) const;
    // The session bus the program is given; none unless set.
    void UseSessionBus(const QString& address) { sessionBus_ = address; }

private:
    QTemporaryDir home_;
    QTemporaryDir backlight_;
    QString sessionBus_;
};

// The program under test.
class Program {
public:
    Program(const Sandbox& sandbox, const VirtualDisplay& display, QStringList args);
    ~Program();
    QProcess& Process() { return process_; }
    bool WaitForExit(int ms);
    int ExitCode() const { return process_.exitCode(); }
    QString Output();

private:
    QProcess process_;
    QByteArray output_;
};

// xdotool on the virtual display.
class Driver {
public:
    explicit Driver(const VirtualDisplay& display) : display_(display.Name()) {}
    // The id of the first visible window with the title, or empty after the timeout.
    QString WaitForWindow(const QString& title, int ms = 10000);
    bool WaitForWindowGone(const QString& windowId, int ms = 5000);
    QRect Geometry(const QString& windowId);
    QString ActiveWindow();
    void Click(const QString& windowId, QPoint at, int button = 1);
    void Drag(const QString& windowId, QPoint from, QPoint to);
    void Key(const QString& windowId, const QString& keys);
    void Type(const QString& windowId, const QString& text);
    void Close(const QString& windowId);
    // Closes a message box with a single button, as its button would; false
    // while it stays.
    bool DismissBox(const QString& boxId);
    QString Run(const QStringList& args);

private:
    QString display_;
};

// Polls until the condition holds or the time is up.
bool Eventually(const std::function<bool()>& condition, int ms = 5000);
QString ReadText(const QString& path);
// The file's bytes; none when it cannot be read.
QByteArray ReadBytes(const QString& path);
// Writes the whole file, its folder made first; a failure fails the test.
void WriteFile(const QString& path, const QByteArray& bytes);

// The main window is designed at 120 pixels per inch; the virtual display has 96.
inline QPoint Design(int x, int y) { return QPoint(x * 96 / 120, y * 96 / 120); }

// The track bar (design 24, 8, 90 x 403): its scale runs from 100 at design
// y 8 + 21 down to 0 at design y 8 + 361.
inline QPoint TrackBarAt(double percent)
{
    const double top = 8 + 21, bottom = 8 + 361;
    return Design(24 + 45, int(bottom - (bottom - top) * percent / 100.0));
}

} // namespace e2e
