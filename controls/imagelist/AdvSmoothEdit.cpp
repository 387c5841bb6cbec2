#include "controls/imagelist/AdvSmoothEdit.h"

#include "controls/access/FocusMark.h"

#include <QKeyEvent>
#include <QPalette>
#include <QTimer>

namespace lumora {

TShiftState ShiftStateOf(Qt::KeyboardModifiers m, Qt::MouseButtons b)
{
    TShiftState s = 0;
    if (m & Qt::ShiftModifier)
        s |= ssShift;
    if (m & Qt::AltModifier)
        s |= ssAlt;
    if (m & Qt::ControlModifier)
        s |= ssCtrl;
    if (b & Qt::LeftButton)
        s |= ssLeft;
    if (b & Qt::RightButton)
        s |= ssRight;
    if (b & Qt::MiddleButton)
        s |= ssMiddle;
    return s;
}

TAdvSmoothEdit::TAdvSmoothEdit(QWidget* parent) : QLineEdit(parent)
{
    resize(121, 21);
    Font_.OnChange = [this](TObject*) { ApplyFont(); };
    ApplyFont();
    ApplyColor();
    ShowFocusMark(*this);
    connect(this, &QLineEdit::textChanged, this, [this] { Fire(OnChange, this); });
}

void TAdvSmoothEdit::SetText(const QString& v)
{
    if (v != text())
        setText(v);
}

void TAdvSmoothEdit::SetColor(TColor v)
{
    if (v == Color_)
        return;
    Color_ = v;
    ApplyColor();
}

void TAdvSmoothEdit::SetReadOnly(bool v)
{
    if (v == isReadOnly())
        return;
    setReadOnly(v);
    update();
}

void TAdvSmoothEdit::SetBorderStyle(TBorderStyle v)
{
    if (v == BorderStyle_)
        return;
    BorderStyle_ = v;
    setFrame(v == bsSingle);
}

void TAdvSmoothEdit::SetMaxLength(int v)
{
    if (v == MaxLength_ || v < 0)
        return;
    MaxLength_ = v;
    setMaxLength(v == 0 ? 32767 : v);
}

void TAdvSmoothEdit::ApplyFont()
{
    setFont(Font_.ToQFont());
    QPalette p = palette();
    const TColor c = ColorToRGB(Font_.Color());
    p.setColor(QPalette::Text, QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
    setPalette(p);
}

void TAdvSmoothEdit::ApplyColor()
{
    QPalette p = palette();
    const TColor c = ColorToRGB(Color_);
    p.setColor(QPalette::Base, QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
    setPalette(p);
}

bool TAdvSmoothEdit::KeyDown(int&, TShiftState)
{
    return false;
}

bool TAdvSmoothEdit::KeyPress(QChar&)
{
    return false;
}

void TAdvSmoothEdit::keyPressEvent(QKeyEvent* event)
{
    int key = event->key();
    const TShiftState shift = ShiftStateOf(event->modifiers());
    Fire(OnKeyDown, this, key, shift);
    if (key == 0 || KeyDown(key, shift)) {
        event->accept();
        return;
    }
    QChar ch;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        ch = QChar('\r');
    else if (event->key() == Qt::Key_Escape)
        ch = QChar(27);
    else if (!event->text().isEmpty())
        ch = event->text().at(0);
    if (!ch.isNull()) {
        Fire(OnKeyPress, this, ch);
        if (ch.isNull() || KeyPress(ch)) {
            event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void TAdvSmoothEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    if (AutoSelect_)
        QTimer::singleShot(0, this, [this] { selectAll(); });
    Fire(OnEnter, this);
}

void TAdvSmoothEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    Fire(OnExit, this);
}

} // namespace lumora
