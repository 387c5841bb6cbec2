#pragma once

#include "platform/framework/Events.h"
#include "platform/framework/Types.h"
#include "platform/shell/NotifyIconHost.h"
#include "tray/SimpleTimer.h"

#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QPointer>

#include <functional>
#include <memory>
#include <vector>

class QMenu;
class QWidget;

namespace lumora {

class TCoolTrayIcon;


using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TCycleEvent = std::function<void(TObject* Sender, int NextIndex)>;
using TStartupEvent = std::function<void(TObject* Sender, bool& ShowMainForm)>;
using TWheelEvent = std::function<void(TObject* Sender, int Steps)>;

// The one object that receives the notification area's callbacks for every
// tray icon of the process and hands each to its icon. It lives while at
// least one icon exists.
class TTrayIconHandler {
public:
    // Registers an icon; the first registration creates the handler on the
    // given host (the desktop's notification area when none is given).
    static TTrayIconHandler* Acquire(TCoolTrayIcon* icon, NotifyIconHost* host);
    static void Release(TCoolTrayIcon* icon);
    static TTrayIconHandler* Instance();

    NotifyIconHost& Host() { return *host_; }

private:
    explicit TTrayIconHandler(NotifyIconHost* host);
    void HandleTrayMessage(quintptr id, unsigned notification, QPoint pos);
    void HandleWheel(quintptr id, int steps);
    void AreaCreated();

    std::unique_ptr<NotifyIconHost> ownedHost_;
    NotifyIconHost* host_ = nullptr;
    std::vector<TCoolTrayIcon*> icons_;
};

// A notification-area icon: turns the area's mouse notifications into events,
// shows a popup menu, hides and restores the main window, and comes back when
// the notification area is re-created.
class TCoolTrayIcon : public QObject, public TObject {
public:
    // The owner is the main window the icon shows and hides.
    explicit TCoolTrayIcon(QWidget* owner, NotifyIconHost* host = nullptr);
    ~TCoolTrayIcon() override;

    // Called once the owning window is completely built.
    void Loaded();

    bool DesignPreview() const { return designPreview_; }
    void SetDesignPreview(bool v) { designPreview_ = v; }
    const std::vector<QIcon>& IconList() const { return iconList_; }
    void SetIconList(std::vector<QIcon> list);
    bool CycleIcons() const { return cycleIcons_; }
    void SetCycleIcons(bool v);
    int CycleInterval() const { return cycleInterval_; }
    void SetCycleInterval(int ms);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v) { enabled_ = v; }
    const QString& Hint() const { return hint_; }
    void SetHint(const QString& v);
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool v);
    const QIcon& Icon() const { return icon_; }
    void SetIcon(const QIcon& icon);
    bool IconVisible() const { return iconVisible_; }
    void SetIconVisible(bool v);
    int IconIndex() const { return iconIndex_; }
    void SetIconIndex(int index);
    QMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(QMenu* menu) { popupMenu_ = menu; }
    bool LeftPopup() const { return leftPopup_; }
    void SetLeftPopup(bool v) { leftPopup_ = v; }
    bool WantEnterExitEvents() const { return wantEnterExit_; }
    void SetWantEnterExitEvents(bool v);
    bool MinimizeToTray() const { return minimizeToTray_; }
    void SetMinimizeToTray(bool v) { minimizeToTray_ = v; }
    int ShellBehavior() const { return shellBehavior_; }
    void SetShellBehavior(int behavior);

    // Whether the desktop has a notification area to show the icon in now.
    bool AreaAvailable() const { return handler_->Host().AreaAvailable(); }
    bool ShowIcon();
    bool HideIcon();
    bool ModifyIcon();
    void ShowMainWindow();
    void HideMainWindow();
    void PopupAtCursor();
    // Pops the menu up at a screen position (where a tray host asks for it).
    void PopupAt(QPoint pos);

    // The tip as the notification area receives it: empty when hidden,
    // otherwise at most 127 characters.
    QString TipText() const;
    // Whether the startup handler asked for the main window to stay hidden.
    bool MainFormHidden() const { return mainFormHidden_; }

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseExit;
    TCycleEvent OnCycle;
    TNotifyEvent OnBalloonHintShow;
    TNotifyEvent OnBalloonHintHide;
    TNotifyEvent OnBalloonHintTimeout;
    TNotifyEvent OnBalloonHintClick;
    TNotifyEvent OnMinimizeToTray;
    TStartupEvent OnStartup;
    // The host's own activation (a left click or Enter on hosts that send no
    // double click). Unset, it counts as a double click.
    TNotifyEvent OnActivate;
    // The wheel over the icon, in whole steps, positive away from the user.
    TWheelEvent OnWheel;

    quintptr Id() const { return quintptr(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class TTrayIconHandler;
    void HandleNotification(unsigned notification, QPoint pos);
    void HandleWheel(int steps);
    void AreaCreated();
    NotifyIconData Record() const;
    bool SendToArea(NotifyIconCommand command);
    TShiftState ShiftFor(TMouseButton button) const;
    void ClickDelayTick();
    void ExitWatchTick();
    void CycleTick();

    QPointer<QWidget> owner_;
    TTrayIconHandler* handler_ = nullptr;

    bool designPreview_ = false;
    std::vector<QIcon> iconList_;
    bool cycleIcons_ = false;
    int cycleInterval_ = 0;
    bool enabled_ = true;
    QString hint_;
    bool showHint_ = true;
    QIcon icon_;
    bool iconVisible_ = false;
    int iconIndex_ = 0;
    QMenu* popupMenu_ = nullptr;
    bool leftPopup_ = false;
    bool wantEnterExit_ = false;
    bool minimizeToTray_ = false;
    int shellBehavior_ = 0;

    bool clickArmed_ = false;
    bool clickComplete_ = false;
    bool doubleClicked_ = false;
    bool pointerOutside_ = true;
    QPoint lastPointer_;
    bool mainFormHidden_ = false;

    TSimpleTimer cycleTicker_;
    TSimpleTimer clickDelayTimer_;
    TSimpleTimer exitWatchTimer_;
};

} // namespace lumora
