#pragma once

#include "Desktop.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace e2e {

// The program's settings file in the sandbox.
QString SettingsPath(const Sandbox& sandbox);

// The items of the program's tray menu, in menu order.
enum class TrayItem { ShowWindow, RestoreBrightness, MinBrightness, MaxBrightness, TurnOffMonitor, Schedule, Exit };

// A desktop as a user has it, on its own virtual display: the openbox window
// manager and, unless asked otherwise, the trayer notification area (an X11
// system tray: with no StatusNotifier watcher on the session bus, Qt embeds
// its icon there). The session ends with the object.
//
// Windows are found by the process that owns them (_NET_WM_PID), so several
// copies of the program can be told apart: the window manager's client list
// holds the main window and message boxes; the tray icon is the XEmbed client
// window the notification area took in.
class DesktopSession {
public:
    explicit DesktopSession(bool withNotificationArea = true);
    ~DesktopSession();
    DesktopSession(const DesktopSession&) = delete;
    DesktopSession& operator=(const DesktopSession&) = delete;

    const VirtualDisplay& Display() const { return display_; }
    Driver& Drive() { return driver_; }
    bool HasNotificationArea() const { return withNotificationArea_; }

    // Starts the program on this desktop with the sandbox's backlight and 11
    // levels, then the extra arguments (all of them first, when asked, as a
    // login start gives them).
    std::unique_ptr<Program> Launch(const Sandbox& sandbox, const QStringList& extra = {});
    std::unique_ptr<Program> LaunchWith(const Sandbox& sandbox, const QStringList& arguments);

    // Top-level windows of the process that the window manager shows (mapped,
    // not minimised), in the window manager's order.
    QStringList ShownWindows(qint64 pid);
    // The process's shown window that is not a dialog (the main window), or
    // empty after the timeout.
    QString WaitForMainWindow(qint64 pid, int ms = 10000);
    bool WaitForNoMainWindow(qint64 pid, int ms = 5000);
    // The process's first window the window manager looks after, shown or
    // minimised (a window minimised at once may never be seen shown), or
    // empty after the timeout.
    QString WaitForManagedWindow(qint64 pid, int ms = 10000);
    // A message box of the process (a shown dialog window), or empty.
    QString WaitForMessageBox(qint64 pid, int ms = 5000);
    QStringList MessageBoxes(qint64 pid);
    QString WindowTitle(const QString& windowId);
    // Presses a key in the message box until it goes (a box mapped a moment
    // before it takes keys gets the key again); false when it stays.
    bool AnswerMessageBox(const QString& box, const QString& key = "Return");
    // Whether the window is minimised (iconic).
    bool Minimised(const QString& windowId);

    // The process's icon in the notification area, or empty after the timeout.
    QString WaitForTrayIcon(qint64 pid, int ms = 5000);
    QString TrayIcon(qint64 pid);
    // Right click on the icon, then the item: the menu takes the keyboard
    // while open, so the item is reached with the arrow keys and Return.
    bool ChooseFromTrayMenu(qint64 pid, TrayItem item);
    // Right click on the icon; the menu it opened, or empty.
    QString OpenTrayMenu(qint64 pid);
    // The process's menu shown on screen, or empty.
    QString TrayMenu(qint64 pid);
    bool DoubleClickTrayIcon(qint64 pid);

private:
    bool WaitForWindowManager(int ms);
    bool WaitForNotificationArea(int ms);
    void PointAt(const QString& windowId);

    VirtualDisplay display_;
    Driver driver_;
    QTemporaryDir home_;
    QProcess windowManager_;
    QProcess notificationArea_;
    bool withNotificationArea_;
};

// Tests that share one desktop for their whole suite (starting openbox and
// trayer takes seconds). A suite starts it from its SetUpTestSuite with
// StartDesktop; it ends after the suite's last test.
class SharedDesktopTest : public ::testing::Test {
protected:
    static void StartDesktop(bool withNotificationArea) { desktop_ = new DesktopSession(withNotificationArea); }
    static void TearDownTestSuite()
    {
        delete desktop_;
        desktop_ = nullptr;
    }

    static inline DesktopSession* desktop_ = nullptr;
};

} // namespace e2e
