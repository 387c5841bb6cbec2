#pragma once

#include "platform/shell/NotifyIconHost.h"

#include <QDBusConnection>
#include <QObject>

#include <map>
#include <memory>

class QDBusServiceWatcher;

namespace lumora {

class StatusNotifierHost;

// The desktop's notification area, whichever kind it has: StatusNotifierItems
// when the session bus has a watcher, else Qt's tray icon (the X11
// notification area). At login the panel often comes up after the program:
// when a watcher appears later, every icon moves over to it and the icons'
// owners hear that the area was created.
class DesktopTrayHost : public QObject, public NotifyIconHost {
public:
    explicit DesktopTrayHost(QDBusConnection bus);
    ~DesktopTrayHost() override;

    bool Notify(NotifyIconCommand command, const NotifyIconData& data) override;
    bool AreaAvailable() const override;
    bool UsesStatusNotifierItems() const { return sni_ != nullptr; }

private:
    void Adopt(NotifyIconHost& inner);
    void MoveToStatusNotifierItems();

    QDBusConnection bus_;
    std::unique_ptr<SystemTrayHost> x11_;
    std::unique_ptr<StatusNotifierHost> sni_;
    QDBusServiceWatcher* watcher_ = nullptr;
    // What each shown icon last showed, to show it again on the new host.
    std::map<quintptr, NotifyIconData> shown_;
};

// The desktop's notification area for the tray icons of this process.
std::unique_ptr<NotifyIconHost> MakeDesktopNotifyIconHost();

} // namespace lumora
