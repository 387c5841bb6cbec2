#pragma once

#include "platform/shell/TrayWheel.h"

#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QString>

#include <functional>
#include <map>
#include <memory>

class QMenu;
class QSystemTrayIcon;

namespace lumora {

// The mouse and balloon notifications a notification-area icon reports,
// numbered as the tray component expects them.
enum TrayNotification : unsigned {
    tnContextMenu = 0x007B,
    tnMouseMove = 0x0200,
    tnLeftDown = 0x0201,
    tnLeftUp = 0x0202,
    tnLeftDoubleClick = 0x0203,
    tnRightDown = 0x0204,
    tnRightUp = 0x0205,
    tnMiddleDown = 0x0207,
    tnMiddleUp = 0x0208,
    tnSelect = 0x0400,
    tnKeySelect = 0x0401,
    tnBalloonShow = 0x0402,
    tnBalloonHide = 0x0403,
    tnBalloonTimeout = 0x0404,
    tnBalloonClick = 0x0405,
    // The host's own activation of the icon (a StatusNotifierItem host's
    // left click or Enter), where hosts send no double click.
    tnActivate = 0x8001,
};

enum NotifyIconCommand { nimAdd = 0, nimModify = 1, nimDelete = 2, nimSetVersion = 4 };

// What one icon shows: its identity, picture, tip and notification version.
struct NotifyIconData {
    quintptr id = 0;
    QIcon icon;
    QString tip;
    unsigned version = 0;
    // The icon's menu, for hosts that show it themselves; null for none.
    QMenu* menu = nullptr;
};

// The desktop's notification area. One host serves every icon of the process;
// it reports each icon's notifications with the icon's identity, and says
// when the notification area came back after a restart.
class NotifyIconHost {
public:
    virtual ~NotifyIconHost() = default;
    virtual bool Notify(NotifyIconCommand command, const NotifyIconData& data) = 0;
    // Whether the desktop has a notification area now. Without one an icon
    // is nowhere to be seen, so a window hidden "to the tray" is lost.
    virtual bool AreaAvailable() const { return true; }

    std::function<void(quintptr id, unsigned notification, QPoint screenPos)> OnNotification;
    std::function<void()> OnAreaCreated;
    // The wheel over an icon, in whole steps (positive: away from the user).
    std::function<void(quintptr id, int steps)> OnWheel;
};

// The notification area through Qt's system tray icon: a click becomes a left
// press and release, a double click a double-click notification, the context
// request a right press and release, a middle click a middle press and release.
// The menu stays ours to pop up. The wheel over an icon (Qt hands the X11
// tray icon's wheel events to the QSystemTrayIcon) is reported in steps.
class SystemTrayHost : public QObject, public NotifyIconHost {
public:
    SystemTrayHost();
    ~SystemTrayHost() override;
    bool Notify(NotifyIconCommand command, const NotifyIconData& data) override;
    bool AreaAvailable() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Activated(quintptr id, int reason);
    std::map<quintptr, std::unique_ptr<QSystemTrayIcon>> icons_;
    std::map<QObject*, std::pair<quintptr, TrayWheelSteps>> wheels_;
};

} // namespace lumora
