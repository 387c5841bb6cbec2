#include "platform/shell/NotifyIconHost.h"

#include <QCursor>
#include <QEvent>
#include <QWheelEvent>
#include <QSystemTrayIcon>

namespace lumora {

SystemTrayHost::SystemTrayHost() = default;

SystemTrayHost::~SystemTrayHost() = default;

bool SystemTrayHost::Notify(NotifyIconCommand command, const NotifyIconData& data)
{
    switch (command) {
    case nimAdd: {
        auto& icon = icons_[data.id];
        if (!icon) {
            icon = std::make_unique<QSystemTrayIcon>();
            const quintptr id = data.id;
            wheels_[icon.get()] = {id, TrayWheelSteps{}};
            icon->installEventFilter(this);
            QObject::connect(icon.get(), &QSystemTrayIcon::activated, this,
                             [this, id](QSystemTrayIcon::ActivationReason r) { Activated(id, int(r)); });
            QObject::connect(icon.get(), &QSystemTrayIcon::messageClicked, this, [this, id] {
                if (OnNotification)
                    OnNotification(id, tnBalloonClick, QCursor::pos());
            });
        }
        icon->setIcon(data.icon);
        icon->setToolTip(data.tip);
        icon->show();
        return true;
    }
    case nimModify: {
        auto it = icons_.find(data.id);
        if (it == icons_.end())
            return false;
        it->second->setIcon(data.icon);
        it->second->setToolTip(data.tip);
        return true;
    }
    case nimDelete: {
        auto it = icons_.find(data.id);
        if (it == icons_.end())
            return false;
        wheels_.erase(it->second.get());
        icons_.erase(it);
        return true;
    }
    case nimSetVersion:
        return icons_.count(data.id) > 0;
    }
    return false;
}

bool SystemTrayHost::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Wheel) {
        auto it = wheels_.find(watched);
        if (it != wheels_.end()) {
            auto* wheel = static_cast<QWheelEvent*>(event);
            const int steps = it->second.second.Add(wheel->angleDelta().y());
            if (steps != 0 && OnWheel)
                OnWheel(it->second.first, steps);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

bool SystemTrayHost::AreaAvailable() const { return QSystemTrayIcon::isSystemTrayAvailable(); }

void SystemTrayHost::Activated(quintptr id, int reason)
{
    if (!OnNotification)
        return;
    const QPoint pos = QCursor::pos();
    switch (QSystemTrayIcon::ActivationReason(reason)) {
    case QSystemTrayIcon::Trigger:
        OnNotification(id, tnLeftDown, pos);
        OnNotification(id, tnLeftUp, pos);
        break;
    case QSystemTrayIcon::DoubleClick:
        OnNotification(id, tnLeftDoubleClick, pos);
        OnNotification(id, tnLeftUp, pos);
        break;
    case QSystemTrayIcon::Context:
        OnNotification(id, tnRightDown, pos);
        OnNotification(id, tnRightUp, pos);
        break;
    case QSystemTrayIcon::MiddleClick:
        OnNotification(id, tnMiddleDown, pos);
        OnNotification(id, tnMiddleUp, pos);
        break;
    default:
        break;
    }
}

} // namespace lumora
