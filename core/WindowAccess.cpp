#include "core/WindowAccess.h"

#include "controls/access/AccessibleControls.h"
#include "controls/access/FocusMark.h"
#include "controls/buttons/AdvSmoothButton.h"
#include "controls/gauge/AdvSmoothGauge.h"
#include "controls/imagelist/AdvSmoothImageListBoxPicker.h"
#include "controls/label/AdvSmoothLabel.h"
#include "controls/picture/AdvGDIPicture.h"
#include "controls/slider/AdvSmoothSlider.h"
#include "controls/trackbar/AdvSmoothTrackBar.h"
#include "controls/chart/SPBEPC.h"
#include "core/BrightnessUnit.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QShortcut>

namespace lumora {

namespace {
const char kSavedSettings[] = "Saved settings";
}

TWindowAccess::TWindowAccess(TForm1& form) : form_(form)
{
    InstallControlAccessibility();
    NameControls();

    // Shift+F10 opens the menu wherever the focus is in the window; the Menu
    // key and a right click arrive as context menu requests that the
    // controls pass on to the window.
    auto* shortcut = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), &form_);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, this, [this] { ShowMenu(KeyboardMenuPosition()); });
    form_.installEventFilter(this);
}

void TWindowAccess::NameControls()
{
    TForm1& f = form_;
    f.trackBar_->setAccessibleName(QStringLiteral("Brightness"));
    f.gauge_->setAccessibleName(QStringLiteral("Brightness Level"));
    f.profilePicker_->setAccessibleName(f.profilePicker_->ListBox().Header().Caption());
    f.ratingChart_->setAccessibleDescription(f.ratingChart_->Title());
    // Read with the name of the picture it shows: "Profile picture: Night".
    f.profilePicture_->setAccessibleName(QStringLiteral("Profile picture"));

    // The switch and the minutes box are named by the captions beside them;
    // the minutes box stands in its caption's run of blanks.
    f.startupSwitch_->setAccessibleName(f.startupCaption_->Caption().Text().simplified());
    SetAccessibleLabelFor(f.startupCaption_, f.startupSwitch_);
    f.intervalBox_->setAccessibleName(f.intervalCaption_->Caption().Text().simplified());
    SetAccessibleLabelFor(f.intervalCaption_, f.intervalBox_);
    // The style's focus frame on an edit box is one faint pixel; the box
    // gets the mark the painted controls draw.
    ShowFocusMark(*f.intervalBox_);

    // The captions stay as painted; Alt and the caption's first letter
    // press a button.
    const auto accessKey = [](TAdvSmoothButton* button, Qt::Key letter) {
        const QKeySequence key(Qt::ALT | letter);
        button->SetAccessKey(key);
        button->setToolTip(QStringLiteral("%1 (%2)").arg(button->Caption(), key.toString(QKeySequence::NativeText)));
    };
    accessKey(f.saveProfileButton_, Qt::Key_S);
    accessKey(f.applySettingsButton_, Qt::Key_A);

    // The summary lines show what is saved, which may differ from what the
    // gauge shows now.
    for (QLabel* summary : {f.levelSummary_, f.startupSummary_, f.intervalSummary_}) {
        summary->setToolTip(QString::fromLatin1(kSavedSettings));
        summary->setAccessibleDescription(QString::fromLatin1(kSavedSettings));
    }
}

void TWindowAccess::ShowMenu(QPoint globalPos)
{
    // The tray's own items, so each command has one action wherever it is
    // chosen; "Show Window" has nothing to do in a shown window.
    if (menu_ == nullptr)
        menu_ = new QMenu(&form_);
    menu_->clear();
    for (QAction* action : form_.trayMenu_->actions())
        if (action != form_.showWindowItem_)
            menu_->addAction(action);
    menu_->popup(globalPos);
}

QPoint TWindowAccess::KeyboardMenuPosition() const
{
    QWidget* focused = QApplication::focusWidget();
    if (focused == nullptr || focused->window() != &form_)
        focused = &form_;
    return focused->mapToGlobal(focused->rect().center());
}

bool TWindowAccess::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &form_ && event->type() == QEvent::ContextMenu) {
        auto* request = static_cast<QContextMenuEvent*>(event);
        ShowMenu(request->reason() == QContextMenuEvent::Mouse ? request->globalPos() : KeyboardMenuPosition());
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace lumora
