#include "platform/shell/DesktopTrayHost.h"

#include "platform/shell/StatusNotifierHost.h"

#include <QDBusServiceWatcher>

namespace lumora {

DesktopTrayHost::DesktopTrayHost(QDBusConnection bus) : bus_(std::move(bus))
{
    if (StatusNotifierHost::WatcherPresent(bus_)) {
        sni_ = std::make_unique<StatusNotifierHost>(bus_);
        Adopt(*sni_);
        return;
    }
    x11_ = std::make_unique<SystemTrayHost>();
    Adopt(*x11_);
    if (!bus_.isConnected())
        return;
    watcher_ = new QDBusServiceWatcher(QStringLiteral("org.kde.StatusNotifierWatcher"), bus_,
                                       QDBusServiceWatcher::WatchForRegistration, this);
    connect(watcher_, &QDBusServiceWatcher::serviceRegistered, this, [this] { MoveToStatusNotifierItems(); });
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

void DesktopTrayHost::MoveToStatusNotifierItems()
{
    if (sni_)
        return;
    watcher_->deleteLater();
    watcher_ = nullptr;
    sni_ = std::make_unique<StatusNotifierHost>(bus_);
    Adopt(*sni_);
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

std::unique_ptr<NotifyIconHost> MakeDesktopNotifyIconHost()
{
    return std::make_unique<DesktopTrayHost>(QDBusConnection::sessionBus());
}

} // namespace lumora
