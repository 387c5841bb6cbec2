#include "controls/access/FocusMark.h"

#include <QPalette>
#include <QWidget>

namespace lumora {

gdiplus::Color FocusMarkColor(const QWidget& control)
{
    QColor c = control.palette().color(QPalette::Active, QPalette::Highlight);
    c.setAlpha(255);
    return gdiplus::Color::FromQColor(c);
}

gdiplus::Pen FocusMarkPen(const QWidget& control) { return gdiplus::Pen(FocusMarkColor(control), kFocusMarkWidth); }

} // namespace lumora
