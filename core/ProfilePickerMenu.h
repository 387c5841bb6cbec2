#pragma once

#include <QMenu>
#include <QObject>
#include <QPointer>

class QAction;
class QLineEdit;

namespace lumora {

// The profile picker's own menu: the text field's editing commands, and
// "Schedule..." above them, so that the triggers of the profiles are set
// from where the profiles are chosen. Opened by a right click, the Menu key
// and Shift+F10 while the picker has the focus (the window's menu answers
// Shift+F10 everywhere else). The schedule item is the tray's own action, so
// it opens the one "Schedule..." window wherever it is chosen.
//
// Lives as a child of the picker.
class TProfilePickerMenu : public QObject {
    Q_OBJECT

public:
    TProfilePickerMenu(QLineEdit* picker, QAction* schedule);

    // Opens the menu at a point on the screen.
    void Show(QPoint globalPos);
    // The menu while it is open (null when none is).
    QMenu* Menu() const { return menu_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Where a menu opened from the keyboard appears: under the text cursor.
    QPoint KeyboardPosition() const;

    QLineEdit* picker_;
    QAction* schedule_;
    QPointer<QMenu> menu_;
};

} // namespace lumora
