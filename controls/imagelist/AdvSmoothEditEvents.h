#pragma once

// Key events of the control kit's windowed controls. Key codes are Qt's
// (Qt::Key); a handler may change the key, and 0 swallows it.

#include "platform/framework/Events.h"
#include "platform/framework/Types.h"

#include <QChar>

#include <functional>

namespace lumora {

using TKeyEvent = std::function<void(TObject* Sender, int& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, QChar& Key)>;

// The modifier part of a Qt key or mouse event as a shift state.
TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons = Qt::NoButton);

} // namespace lumora
