#include "platform/shell/StatusNotifierHost.h"

#include "platform/shell/StatusNotifierItem.h"
#include "platform/shell/TrayWheel.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>

namespace lumora {

namespace {
const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
}

StatusNotifierHost::StatusNotifierHost(QDBusConnection bus) : bus_(std::move(bus))
{
    watcherPresent_ = WatcherPresent(bus_);
    watcher_ = new QDBusServiceWatcher(kWatcherService, bus_,
                                       QDBusServiceWatcher::WatchForRegistration |
                                           QDBusServiceWatcher::WatchForUnregistration,
                                       this);
    connect(watcher_, &QDBusServiceWatcher::serviceRegistered, this, [this] {
        watcherPresent_ = true;
        // A new watcher knows no items: each registers again.
        for (auto& [id, item] : items_)
            item->Register();
        if (OnAreaCreated)
            OnAreaCreated();
    });
    connect(watcher_, &QDBusServiceWatcher::serviceUnregistered, this, [this] { watcherPresent_ = false; });
}

StatusNotifierHost::~StatusNotifierHost() = default;

bool StatusNotifierHost::WatcherPresent(const QDBusConnection& bus)
{
    if (!bus.isConnected() || !bus.interface())
        return false;
    return bus.interface()->isServiceRegistered(kWatcherService).value();
}

QString StatusNotifierHost::ItemServiceName(int n)
{
    return QStringLiteral("org.kde.StatusNotifierItem-%1-%2").arg(QCoreApplication::applicationPid()).arg(n);
}

std::unique_ptr<StatusNotifierItem> StatusNotifierHost::MakeItem(quintptr id)
{
    ++itemsMade_;
    // One object path per item: they share the process's connection.
    const QString path = itemsMade_ == 1 ? QStringLiteral("/StatusNotifierItem")
                                         : QStringLiteral("/StatusNotifierItem%1").arg(itemsMade_);
    auto item = std::make_unique<StatusNotifierItem>(bus_, ItemServiceName(itemsMade_), path);
    const auto notify = [this, id](unsigned n, QPoint pos) {
        if (OnNotification)
            OnNotification(id, n, pos);
    };
    item->OnActivate = [notify](QPoint pos) { notify(tnActivate, pos); };
    item->OnContextMenu = [notify](QPoint pos) {
        notify(tnRightDown, pos);
        notify(tnRightUp, pos);
    };
    item->OnSecondaryActivate = [notify](QPoint pos) {
        notify(tnMiddleDown, pos);
        notify(tnMiddleUp, pos);
    };
    item->OnScroll = [this, id](int delta, Qt::Orientation orientation) {
        if (orientation != Qt::Vertical)
            return;
        if (const int steps = StatusNotifierScrollSteps(delta); steps != 0 && OnWheel)
            OnWheel(id, steps);
    };
    return item;
}

void StatusNotifierHost::Update(StatusNotifierItem& item, const NotifyIconData& data)
{
    item.SetIcon(data.icon);
    item.SetToolTip(data.tip);
    item.SetMenu(data.menu);
}

bool StatusNotifierHost::Notify(NotifyIconCommand command, const NotifyIconData& data)
{
    switch (command) {
    case nimAdd: {
        auto& item = items_[data.id];
        const bool fresh = !item;
        if (fresh)
            item = MakeItem(data.id);
        Update(*item, data);
        if (fresh)
            item->Register();
        return item->Published();
    }
    case nimModify: {
        auto it = items_.find(data.id);
        if (it == items_.end())
            return false;
        Update(*it->second, data);
        return true;
    }
    case nimDelete:
        return items_.erase(data.id) > 0;
    case nimSetVersion:
        return items_.count(data.id) > 0;
    }
    return false;
}

} // namespace lumora
