#include "platform/shell/DesktopTrayHost.h"

#include "platform/shell/StatusNotifierHost.h"

#include <QDBusServiceWatcher>

namespace lumora {

DesktopTrayHost::DesktopTrayHost(QDBusConnection bus, std::chrono::milliseconds watcherGrace) : bus_(std::move(bus))
{
    watcherGone_.setSingleShot(true);
    watcherGone_.setInterval(watcherGrace);
    connect(&watcherGone_, &QTimer::timeout, this, [this] { MoveToSystemTray(); });

    if (bus_.isConnected()) {
        watcher_ = new QDBusServiceWatcher(QStringLiteral("org.kde.StatusNotifierWatcher"), bus_,
                                           QDBusServiceWatcher::WatchForRegistration |
                                               QDBusServiceWatcher::WatchForUnregistration,
                                           this);
        connect(watcher_, &QDBusServiceWatcher::serviceRegistered, this, [this] {
            watcherGone_.stop();
            MoveToStatusNotifierItems();
        });
        connect(watcher_, &QDBusServiceWatcher::serviceUnregistered, this, [this] { WatcherLeft(); });
    }
    if (StatusNotifierHost::WatcherPresent(bus_)) {
        sni_ = std::make_unique<StatusNotifierHost>(bus_);
        Adopt(*sni_);
    } else {
        x11_ = std::make_unique<SystemTrayHost>();
        Adopt(*x11_);
    }
}

DesktopTrayHost::~DesktopTrayHost() = default;

void DesktopTrayHost::Adopt(NotifyIconHost& inner)
{
    inner.OnNotification = [this](quintptr id, unsigned n, QPoint pos) {
        if (OnNotification)
            OnNotification(id, n, pos);
    };
    inner.OnWheel = [this](quintptr id, int steps) {
        if (OnWheel)
            OnWheel(id, steps);
    };
    inner.OnAreaCreated = [this] {
        if (OnAreaCreated)
            OnAreaCreated();
    };
}

bool DesktopTrayHost::Notify(NotifyIconCommand command, const NotifyIconData& data)
{
    NotifyIconHost& host = sni_ ? static_cast<NotifyIconHost&>(*sni_) : static_cast<NotifyIconHost&>(*x11_);
    const bool done = host.Notify(command, data);
    if (command == nimAdd || (command == nimModify && shown_.count(data.id)))
        shown_[data.id] = data;
    else if (command == nimDelete)
        shown_.erase(data.id);
    return done;
}

bool DesktopTrayHost::AreaAvailable() const { return sni_ ? sni_->AreaAvailable() : x11_->AreaAvailable(); }

void DesktopTrayHost::WatcherLeft()
{
    if (sni_)
        watcherGone_.start();
}

void DesktopTrayHost::MoveToStatusNotifierItems()
{
    if (sni_)
        return;
    sni_ = std::make_unique<StatusNotifierHost>(bus_);
    Adopt(*sni_);
    // Each icon leaves the X11 area before it registers with the watcher.
    for (const auto& [id, data] : shown_) {
        x11_->Notify(nimDelete, data);
        sni_->Notify(nimAdd, data);
    }
    x11_.reset();
    // The icons' owners learn that there is a notification area now, which
    // there may not have been before.
    if (OnAreaCreated)
        OnAreaCreated();
}

void DesktopTrayHost::MoveToSystemTray()
{
    // A watcher that came back meanwhile keeps the icons.
    if (!sni_ || StatusNotifierHost::WatcherPresent(bus_))
        return;
    // Qt chooses once per process, when its first tray icon is made or the
    // tray is first asked for, whether its icons go over D-Bus. Nothing asks
    // while our own item is in use, so this icon is a real X11 one; code that
    // asked earlier, with a watcher present, would make it an invisible
    // D-Bus icon.
    x11_ = std::make_unique<SystemTrayHost>();
    Adopt(*x11_);
    // Each item leaves the bus before its icon shows in the X11 area.
    for (const auto& [id, data] : shown_)
        sni_->Notify(nimDelete, data);
    sni_.reset();
    for (const auto& [id, data] : shown_)
        x11_->Notify(nimAdd, data);
    if (OnAreaCreated)
        OnAreaCreated();
}

std::unique_ptr<NotifyIconHost> MakeDesktopNotifyIconHost()
{
    return std::make_unique<DesktopTrayHost>(QDBusConnection::sessionBus());
}

} // namespace lumora
