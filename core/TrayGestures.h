#pragma once

#include <optional>

class QWidget;

namespace lumora {

class TCoolTrayIcon;
class TLevelModel;

// The level a turn of the wheel over the tray icon asks for: `steps` levels on
// from the level in force, held within the table. None while the levels are
// unknown, and none when the level is at the end the wheel turns toward.
std::optional<int> WheelLevel(int level, int levelCount, int steps);

// A tray host's activation (its left click): the shown window goes into the
// tray as closing it does (saving the settings), a hidden or minimised one
// comes back.
void ToggleWindowFromTray(TCoolTrayIcon& icon, QWidget& window);

// The wheel over the tray icon asks the level model for the level it points
// at, as the tray's commands do.
void StepLevelFromTray(TLevelModel& level, int steps);

} // namespace lumora
