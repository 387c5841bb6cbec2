#pragma once

#include <QObject>
#include <QPoint>

class QMenu;

namespace lumora {

class TForm1;

// The window for those who use it with a screen reader or with the keyboard
// alone: the controls' accessible names and the captions that name them,
// the buttons' access keys, what the summary lines stand for, and the
// window's own menu of the tray's commands (Shift+F10, the Menu key, a
// right click), so that nothing needs the tray.
class TWindowAccess : public QObject {
public:
    explicit TWindowAccess(TForm1& form);

    // The menu of the tray's commands, opened at a point on the screen.
    void ShowMenu(QPoint globalPos);
    // The menu as last opened (null before it first opens).
    QMenu* Menu() const { return menu_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void NameControls();
    // Where a menu opened from the keyboard appears: at the focused control.
    QPoint KeyboardMenuPosition() const;

    TForm1& form_;
    QMenu* menu_ = nullptr;
};

} // namespace lumora
