#pragma once

#include "platform/shell/NotifyIconHost.h"

#include <QDBusConnection>
#include <QObject>

#include <map>
#include <memory>

class QDBusServiceWatcher;

namespace lumora {

class StatusNotifierItem;

// The notification area of desktops that host StatusNotifierItems (Plasma,
// GNOME with its AppIndicator extension, waybar, ...): each icon is an item
// of our own on the session bus with its menu exported, so the host shows the
// menu itself. The host's activation (a left click or Enter) is reported as
// tnActivate, its context-menu request as a right press and release at the
// host's position, its secondary activation as a middle click, and its
// vertical scrolling through OnWheel. When the watcher comes back after a
// restart, the icons register again.
class StatusNotifierHost : public QObject, public NotifyIconHost {
public:
    explicit StatusNotifierHost(QDBusConnection bus);
    ~StatusNotifierHost() override;

    bool Notify(NotifyIconCommand command, const NotifyIconData& data) override;
    bool AreaAvailable() const override { return watcherPresent_; }

    // Whether a StatusNotifierWatcher is on the bus now.
    static bool WatcherPresent(const QDBusConnection& bus);
    // The bus name each icon takes: "org.kde.StatusNotifierItem-<pid>-<n>".
    static QString ItemServiceName(int n);

private:
    void Update(StatusNotifierItem& item, const NotifyIconData& data);
    std::unique_ptr<StatusNotifierItem> MakeItem(quintptr id);

    QDBusConnection bus_;
    QDBusServiceWatcher* watcher_ = nullptr;
    bool watcherPresent_ = false;
    int itemsMade_ = 0;
    std::map<quintptr, std::unique_ptr<StatusNotifierItem>> items_;
};

} // namespace lumora
