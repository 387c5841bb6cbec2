#pragma once

#include "platform/gdiplus/Pen.h"

#include <QColor>
#include <QRect>

class QPainter;
class QWidget;

namespace lumora {

// The mark a focused control draws around the part that takes the keys: a
// solid line this wide in the desktop's highlight colour, so that it stands
// out on every face the controls paint (a one-pixel dotted line vanished on
// the gauge's rim).
inline constexpr float kFocusMarkWidth = 2.0f;

gdiplus::Color FocusMarkColor(const QWidget& control);
gdiplus::Pen FocusMarkPen(const QWidget& control);

// The mark along the inside of `bounds`, as whole pixels: a frame
// kFocusMarkWidth wide. Nothing for a rect too small to hold it.
void PaintFocusMark(QPainter& painter, const QRect& bounds, const QColor& color);

// Gives a control that Qt's style paints (an edit box) the same mark while
// it has the focus, drawn over the style's own thinner focus frame once the
// control has painted. The mark lives as long as the control.
void ShowFocusMark(QWidget& control);

} // namespace lumora
