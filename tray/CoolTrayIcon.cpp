#include "tray/CoolTrayIcon.h"

#include "platform/shell/DesktopTrayHost.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QMenu>
#include <QWidget>

#include <algorithm>

namespace lumora {

namespace {
TTrayIconHandler* gTrayHandler = nullptr;

// The notification area keeps 128 bytes of tip including its terminator.
constexpr int kMaxTipLength = 127;
constexpr int kExitWatchPeriodMs = 20;
} // namespace

// ---------------------------------------------------------------- handler

TTrayIconHandler::TTrayIconHandler(NotifyIconHost* host)
{
    if (!host) {
        ownedHost_ = MakeDesktopNotifyIconHost();
        host = ownedHost_.get();
    }
    host_ = host;
    host_->OnNotification = [this](quintptr id, unsigned n, QPoint pos) { HandleTrayMessage(id, n, pos); };
    host_->OnAreaCreated = [this] { AreaCreated(); };
    host_->OnWheel = [this](quintptr id, int steps) { HandleWheel(id, steps); };
}

TTrayIconHandler* TTrayIconHandler::Instance() { return gTrayHandler; }

TTrayIconHandler* TTrayIconHandler::Acquire(TCoolTrayIcon* icon, NotifyIconHost* host)
{
    if (!gTrayHandler)
        gTrayHandler = new TTrayIconHandler(host);
    gTrayHandler->icons_.push_back(icon);
    return gTrayHandler;
}

void TTrayIconHandler::Release(TCoolTrayIcon* icon)
{
    if (!gTrayHandler)
        return;
    auto& icons = gTrayHandler->icons_;
    icons.erase(std::remove(icons.begin(), icons.end(), icon), icons.end());
    if (icons.empty()) {
        gTrayHandler->host_->OnNotification = nullptr;
        gTrayHandler->host_->OnAreaCreated = nullptr;
        gTrayHandler->host_->OnWheel = nullptr;
        delete gTrayHandler;
        gTrayHandler = nullptr;
    }
}

void TTrayIconHandler::HandleTrayMessage(quintptr id, unsigned notification, QPoint pos)
{
    for (TCoolTrayIcon* icon : icons_)
        if (icon->Id() == id) {
            icon->HandleNotification(notification, pos);
            return;
        }
}

void TTrayIconHandler::HandleWheel(quintptr id, int steps)
{
    for (TCoolTrayIcon* icon : icons_)
        if (icon->Id() == id) {
            icon->HandleWheel(steps);
            return;
        }
}

void TTrayIconHandler::AreaCreated()
{
    const auto icons = icons_;
    for (TCoolTrayIcon* icon : icons)
        icon->AreaCreated();
}

// ---------------------------------------------------------------- icon

TCoolTrayIcon::TCoolTrayIcon(QWidget* owner, NotifyIconHost* host)
    : owner_(owner), cycleTicker_(0, [this](TObject*) { CycleTick(); }),
      clickDelayTimer_(0, [this](TObject*) { ClickDelayTick(); }),
      exitWatchTimer_(kExitWatchPeriodMs, [this](TObject*) { ExitWatchTick(); })
{
    handler_ = TTrayIconHandler::Acquire(this, host);
    if (owner_)
        owner_->installEventFilter(this);
}

TCoolTrayIcon::~TCoolTrayIcon()
{
    HideIcon();
    if (owner_)
        owner_->removeEventFilter(this);
    TTrayIconHandler::Release(this);
}

void TCoolTrayIcon::Loaded()
{
    if (owner_) {
        bool showMainForm = true;
        if (OnStartup)
            OnStartup(this, showMainForm);
        if (!showMainForm) {
            mainFormHidden_ = true;
            HideMainWindow();
        }
    }
    ModifyIcon();
    SetIconVisible(iconVisible_);
    SetCycleIcons(cycleIcons_);
    SetWantEnterExitEvents(wantEnterExit_);
    SetShellBehavior(shellBehavior_);
}

// -------------------------------------------------------------- properties

void TCoolTrayIcon::SetIconList(std::vector<QIcon> list)
{
    iconList_ = std::move(list);
    SetIconIndex(0);
}

void TCoolTrayIcon::SetCycleIcons(bool v)
{
    cycleIcons_ = v;
    if (v) {
        SetIconIndex(0);
        cycleTicker_.SetTickPeriod(cycleInterval_);
        cycleTicker_.SetTicking(true);
    } else {
        cycleTicker_.SetTicking(false);
    }
}

void TCoolTrayIcon::SetCycleInterval(int ms)
{
    if (ms == cycleInterval_)
        return;
    cycleInterval_ = ms;
    SetCycleIcons(cycleIcons_);
}

void TCoolTrayIcon::SetHint(const QString& v)
{
    hint_ = v;
    ModifyIcon();
}

void TCoolTrayIcon::SetShowHint(bool v)
{
    showHint_ = v;
    ModifyIcon();
}

void TCoolTrayIcon::SetIcon(const QIcon& icon)
{
    icon_ = icon;
    ModifyIcon();
}

void TCoolTrayIcon::SetIconVisible(bool v)
{
    if (v)
        ShowIcon();
    else
        HideIcon();
}

void TCoolTrayIcon::SetIconIndex(int index)
{
    if (!iconList_.empty()) {
        iconIndex_ = std::clamp(index, 0, int(iconList_.size()) - 1);
        icon_ = iconList_[std::size_t(iconIndex_)];
    } else {
        iconIndex_ = 0;
    }
    ModifyIcon();
}

void TCoolTrayIcon::SetWantEnterExitEvents(bool v)
{
    wantEnterExit_ = v;
    exitWatchTimer_.SetTicking(v);
}

void TCoolTrayIcon::SetShellBehavior(int behavior)
{
    shellBehavior_ = behavior == 1 ? 1 : 0;
    SendToArea(nimSetVersion);
}

// ---------------------------------------------------- notification area

QString TCoolTrayIcon::TipText() const
{
    if (hint_.isEmpty() || !showHint_)
        return {};
    return hint_.left(kMaxTipLength);
}

NotifyIconData TCoolTrayIcon::Record() const
{
    NotifyIconData data;
    data.id = Id();
    data.icon = icon_;
    data.tip = TipText();
    data.version = shellBehavior_ == 1 ? 3 : 0;
    data.menu = popupMenu_;
    return data;
}

bool TCoolTrayIcon::SendToArea(NotifyIconCommand command) { return handler_->Host().Notify(command, Record()); }

bool TCoolTrayIcon::ShowIcon()
{
    iconVisible_ = true;
    return SendToArea(nimAdd);
}

bool TCoolTrayIcon::HideIcon()
{
    iconVisible_ = false;
    return SendToArea(nimDelete);
}

bool TCoolTrayIcon::ModifyIcon() { return SendToArea(nimModify); }

void TCoolTrayIcon::AreaCreated()
{
    // The notification area was restarted and lost every icon.
    if (iconVisible_)
        ShowIcon();
}

// ---------------------------------------------------------- main window

void TCoolTrayIcon::ShowMainWindow()
{
    if (!owner_)
        return;
    if (owner_->isMinimized())
        owner_->setWindowState(owner_->windowState() & ~Qt::WindowMinimized);
    owner_->show();
    owner_->raise();
    owner_->activateWindow();
}

void TCoolTrayIcon::HideMainWindow()
{
    if (owner_)
        owner_->hide();
}

void TCoolTrayIcon::PopupAtCursor() { PopupAt(QCursor::pos()); }

void TCoolTrayIcon::PopupAt(QPoint pos)
{
    if (!popupMenu_)
        return;
    QApplication::processEvents();
    popupMenu_->popup(pos);
}

bool TCoolTrayIcon::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == owner_ && event->type() == QEvent::WindowStateChange && owner_->isMinimized() &&
        minimizeToTray_) {
        Fire(OnMinimizeToTray, this);
        HideMainWindow();
        ShowIcon();
    }
    return QObject::eventFilter(watched, event);
}

// ---------------------------------------------------------- notifications

TShiftState TCoolTrayIcon::ShiftFor(TMouseButton button) const
{
    const Qt::KeyboardModifiers keys = QGuiApplication::queryKeyboardModifiers();
    TShiftState shift = 0;
    if (keys & Qt::ShiftModifier)
        shift |= ssShift;
    if (keys & Qt::AltModifier)
        shift |= ssAlt;
    if (keys & Qt::ControlModifier)
        shift |= ssCtrl;
    shift |= button == mbLeft ? ssLeft : button == mbRight ? ssRight : ssMiddle;
    return shift;
}

void TCoolTrayIcon::HandleNotification(unsigned notification, QPoint pos)
{
    const auto mouseDown = [&](TMouseButton b) {
        if (OnMouseDown)
            OnMouseDown(this, b, ShiftFor(b), pos.x(), pos.y());
    };
    const auto mouseUp = [&](TMouseButton b) {
        if (OnMouseUp)
            OnMouseUp(this, b, ShiftFor(b), pos.x(), pos.y());
    };
    const bool menuPops = popupMenu_ != nullptr;

    switch (notification) {
    case tnBalloonShow:
        Fire(OnBalloonHintShow, this);
        return;
    case tnBalloonHide:
        Fire(OnBalloonHintHide, this);
        return;
    case tnBalloonTimeout:
        Fire(OnBalloonHintTimeout, this);
        return;
    case tnBalloonClick:
        Fire(OnBalloonHintClick, this);
        return;
    default:
        break;
    }
    if (!enabled_)
        return;

    switch (notification) {
    case tnMouseMove:
        if (wantEnterExit_ && pointerOutside_) {
            Fire(OnMouseEnter, this);
            pointerOutside_ = false;
        }
        if (OnMouseMove)
            OnMouseMove(this, ShiftFor(mbLeft) & ~ssLeft, pos.x(), pos.y());
        lastPointer_ = pos;
        break;
    case tnLeftDown:
        if (OnDblClick) {
            // A single click is reported only once a double click can no
            // longer follow.
            clickDelayTimer_.SetTickPeriod(QApplication::doubleClickInterval());
            clickDelayTimer_.SetTicking(true);
        }
        mouseDown(mbLeft);
        clickArmed_ = true;
        if (leftPopup_ && menuPops)
            PopupAt(pos);
        break;
    case tnLeftUp:
        if (clickArmed_) {
            clickComplete_ = true;
            if (!clickDelayTimer_.Ticking()) {
                clickArmed_ = clickComplete_ = false;
                Fire(OnClick, this);
            }
        }
        clickArmed_ = false;
        mouseUp(mbLeft);
        break;
    case tnLeftDoubleClick:
        clickComplete_ = false;
        doubleClicked_ = true;
        Fire(OnDblClick, this);
        if (menuPops && !leftPopup_)
            if (QAction* item = popupMenu_->defaultAction())
                item->trigger();
        break;
    case tnRightDown:
        mouseDown(mbRight);
        if (menuPops)
            PopupAt(pos);
        break;
    case tnRightUp:
        if (shellBehavior_ == 0)
            mouseUp(mbRight);
        break;
    case tnContextMenu:
    case tnSelect:
    case tnKeySelect:
        if (shellBehavior_ == 1)
            mouseUp(mbRight);
        break;
    case tnActivate:
        if (OnActivate)
            Fire(OnActivate, this);
        else
            HandleNotification(tnLeftDoubleClick, pos);
        break;
    case tnMiddleDown:
        mouseDown(mbMiddle);
        break;
    case tnMiddleUp:
        mouseUp(mbMiddle);
        break;
    default:
        break;
    }
}

void TCoolTrayIcon::HandleWheel(int steps)
{
    if (enabled_ && steps != 0 && OnWheel)
        OnWheel(this, steps);
}

void TCoolTrayIcon::ClickDelayTick()
{
    clickDelayTimer_.SetTicking(false);
    if (!doubleClicked_ && clickComplete_) {
        clickComplete_ = false;
        Fire(OnClick, this);
    }
    doubleClicked_ = false;
}

void TCoolTrayIcon::ExitWatchTick()
{
    if (!pointerOutside_ && QCursor::pos() != lastPointer_) {
        pointerOutside_ = true;
        Fire(OnMouseExit, this);
    }
}

void TCoolTrayIcon::CycleTick()
{
    if (iconList_.empty())
        return;
    icon_ = iconList_[std::size_t(iconIndex_)];
    const int next = iconIndex_ + 1 >= int(iconList_.size()) ? 0 : iconIndex_ + 1;
    if (OnCycle)
        OnCycle(this, next);
    SetIconIndex(next);
}

} // namespace lumora
