#pragma once

#include "platform/shell/NotifyIconHost.h"

#include <QDBusConnection>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <map>
#include <memory>

class QDBusServiceWatcher;

namespace lumora {

class StatusNotifierHost;

// The desktop's notification area, whichever kind it has: StatusNotifierItems
// when the session bus has a watcher, else Qt's tray icon (the X11
// notification area). At login the panel often comes up after the program:
// when a watcher appears later, every icon moves over to it and the icons'
// owners hear that the area was created. When the watcher leaves and stays
// away (the panel with the StatusNotifierItem host was turned off), the icons
// go back to Qt's tray icon, and move over again when a watcher returns. An
// icon is only ever in one of the two places.
class DesktopTrayHost : public QObject, public NotifyIconHost {
public:
    // How long a watcher may be away before the icons leave it: a panel
    // restarting takes it off the bus for a moment, and its icons should not
    // flicker into the X11 area and back meanwhile.
    static constexpr std::chrono::milliseconds kWatcherGrace{3000};

    explicit DesktopTrayHost(QDBusConnection bus, std::chrono::milliseconds watcherGrace = kWatcherGrace);
    ~DesktopTrayHost() override;

    bool Notify(NotifyIconCommand command, const NotifyIconData& data) override;
    bool AreaAvailable() const override;
    bool UsesStatusNotifierItems() const { return sni_ != nullptr; }

private:
    void Adopt(NotifyIconHost& inner);
    void WatcherLeft();
    void MoveToStatusNotifierItems();
    void MoveToSystemTray();

    QDBusConnection bus_;
    std::unique_ptr<SystemTrayHost> x11_;
    std::unique_ptr<StatusNotifierHost> sni_;
    QDBusServiceWatcher* watcher_ = nullptr;
    QTimer watcherGone_;
    // What each shown icon last showed, to show it again on the new host.
    std::map<quintptr, NotifyIconData> shown_;
};

// The desktop's notification area for the tray icons of this process.
std::unique_ptr<NotifyIconHost> MakeDesktopNotifyIconHost();

} // namespace lumora
