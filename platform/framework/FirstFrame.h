#pragma once

#include <functional>

class QWidget;

namespace lumora {

// Runs `work` once, on the window's thread, right after the window has
// painted its first frame: what the window does not need in order to show
// starts then, and delays nothing the user sees. When the event loop finds
// the window not shown (it starts hidden in the notification area), or no
// frame comes within `limitMs`, the work runs then instead. Nothing runs if
// the window is destroyed first.
void AfterFirstFrame(QWidget* window, std::function<void()> work, int limitMs = 1000);

} // namespace lumora
