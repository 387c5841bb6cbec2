#pragma once

#include "core/MonitorChoice.h"

#include <QObject>
#include <QString>

#include <exception>
#include <functional>
#include <optional>

class QAction;
class QMenu;
class QScreen;

namespace lumora {

class MonitorSetProvider;
class TSettingsStore;

// Which monitor the window works on: waiting for the monitors found in the
// background, choosing the active one at start-up, the tray menu's "Monitor"
// submenu and the user's switch to another monitor, remembered in the
// settings. Works only where the brightness provider is a monitor set; with
// none every call does nothing.
class TMonitorSelection : public QObject {
public:
    // The submenu goes into `trayMenu` right after `menuAfter`.
    TMonitorSelection(MonitorSetProvider* monitors, TSettingsStore* settings, QMenu* trayMenu, QAction* menuAfter);

    // The monitors the window waited for have been found.
    std::function<void()> OnDetected;
    // The user chose another monitor; it is the active one now.
    std::function<void()> OnSwitched;
    // The remembered choice could not be read (the usual choice is made).
    std::function<void(std::exception_ptr)> OnSettingsProblem;
    // "Monitors..." was chosen: the monitors' ranges are to be shown.
    std::function<void()> OnEditRanges;

    // Starts finding the monitors in the background; true when the window
    // must wait for them before it can work on one (OnDetected follows). A
    // laptop starts on its panel at once, unless the user chose another
    // monitor last time, which may still be on its way.
    bool StartDetection();

    // Works on all monitors at once when that was chosen last time, or when
    // nothing was chosen and more than one monitor can be set; else makes
    // the remembered monitor active, else the panel, else the one showing the
    // window.
    void ChooseActive(const QScreen* shown);

    // The submenu, built anew for the monitors known now; null with a
    // laptop's panel alone.
    QMenu* Menu() const { return menu_; }
    void RebuildMenu();

    // Makes the named monitor active and remembers it; a monitor not known or
    // not controllable is ignored.
    void Select(const QString& instanceName);
    // Works on every monitor at once and remembers it; ignored while fewer
    // than two monitors can be set.
    void SelectAll();

private:
    std::optional<RememberedMonitor> Remembered() const;
    bool AllPossible() const;
    // After monitors were found again: the one worked on went (another is
    // chosen as at start-up), or the remembered one came back (it is worked
    // on again); the views switch when the monitor shown is another now.
    void FollowShownMonitor();
    // With nothing remembered, or "All monitors" remembered, and more than one
    // monitor to set: all of them.
    bool AllByDefault(const std::optional<RememberedMonitor>& remembered) const;

    MonitorSetProvider* monitors_;
    TSettingsStore* settings_;
    QMenu* trayMenu_;
    QAction* menuAfter_;
    QMenu* menu_ = nullptr;
    bool waiting_ = false;
    QString shown_; // the monitor the views were last switched to
};

} // namespace lumora
