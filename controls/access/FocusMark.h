#pragma once

#include "platform/gdiplus/Pen.h"

class QWidget;

namespace lumora {

// The mark a focused control draws around the part that takes the keys: a
// solid line this wide in the desktop's highlight colour, so that it stands
// out on every face the controls paint (a one-pixel dotted line vanished on
// the gauge's rim).
inline constexpr float kFocusMarkWidth = 2.0f;

gdiplus::Color FocusMarkColor(const QWidget& control);
gdiplus::Pen FocusMarkPen(const QWidget& control);

} // namespace lumora
