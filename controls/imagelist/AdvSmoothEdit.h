#pragma once

// TAdvSmoothEdit: the control kit's plain single-line edit box, with the
// kit's key events (key-down before the edit acts, then key press).

#include "controls/imagelist/AdvSmoothEditEvents.h"
#include "platform/framework/Colors.h"
#include "platform/framework/Component.h"
#include "platform/framework/Font.h"

#include <QLineEdit>
#include <QString>

namespace lumora {

enum TBorderStyle { bsNone, bsSingle };

class TAdvSmoothEdit : public QLineEdit, public TComponent {
public:
    explicit TAdvSmoothEdit(QWidget* parent = nullptr);

    QString Text() const { return text(); }
    void SetText(const QString& v);
    TFont& Font() { return Font_; }
    TColor Color() const { return Color_; }
    void SetColor(TColor v);
    bool ReadOnly() const { return isReadOnly(); }
    void SetReadOnly(bool v);
    bool AutoSelect() const { return AutoSelect_; }
    void SetAutoSelect(bool v) { AutoSelect_ = v; }
    TBorderStyle BorderStyle() const { return BorderStyle_; }
    void SetBorderStyle(TBorderStyle v);
    // 0 is no limit.
    int MaxLength() const { return MaxLength_; }
    void SetMaxLength(int v);

    TNotifyEvent OnChange;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;

protected:
    // Hooks for derived controls, called after the events: return true when
    // the key was handled and the edit must not see it.
    virtual bool KeyDown(int& key, TShiftState shift);
    virtual bool KeyPress(QChar& key);

    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void ApplyFont();
    void ApplyColor();

    TFont Font_;
    TColor Color_ = clWindow;
    bool AutoSelect_ = true;
    TBorderStyle BorderStyle_ = bsSingle;
    int MaxLength_ = 0;
};

} // namespace lumora
