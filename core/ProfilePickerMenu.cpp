#include "core/ProfilePickerMenu.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QVariant>

namespace lumora {

namespace {
bool IsShiftF10(const QKeyEvent* key)
{
    return key->key() == Qt::Key_F10 && (key->modifiers() & ~Qt::KeypadModifier) == Qt::ShiftModifier;
}
} // namespace

TProfilePickerMenu::TProfilePickerMenu(QLineEdit* picker, QAction* schedule)
    : QObject(picker), picker_(picker), schedule_(schedule)
{
    picker_->installEventFilter(this);
}

void TProfilePickerMenu::Show(QPoint globalPos)
{
    if (menu_)
        menu_->close();
    // The text field's own commands, built afresh as they depend on the
    // selection and the clipboard.
    menu_ = picker_->createStandardContextMenu();
    menu_->setAttribute(Qt::WA_DeleteOnClose);
    const QList<QAction*> editing = menu_->actions();
    QAction* first = editing.isEmpty() ? nullptr : editing.first();
    menu_->insertAction(first, schedule_);
    if (first)
        menu_->insertSeparator(first);
    menu_->setActiveAction(schedule_);
    menu_->popup(globalPos);
}

QPoint TProfilePickerMenu::KeyboardPosition() const
{
    // The text cursor's rectangle, as the field tells input methods.
    const QRect cursor = picker_->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    return picker_->mapToGlobal(cursor.isValid() ? cursor.bottomLeft() : picker_->rect().center());
}

bool TProfilePickerMenu::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != picker_)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::ContextMenu: {
        auto* request = static_cast<QContextMenuEvent*>(event);
        Show(request->reason() == QContextMenuEvent::Mouse ? request->globalPos() : KeyboardPosition());
        return true;
    }
    case QEvent::ShortcutOverride:
        // Shift+F10 is the window's shortcut for its own menu; in the picker
        // it opens the picker's menu, as the Menu key does.
        if (IsShiftF10(static_cast<QKeyEvent*>(event))) {
            event->accept();
            return true;
        }
        break;
    case QEvent::KeyPress:
        if (IsShiftF10(static_cast<QKeyEvent*>(event))) {
            Show(KeyboardPosition());
            return true;
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace lumora
