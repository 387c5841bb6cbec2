#include "core/TrayGestures.h"

#include "core/LevelModel.h"
#include "platform/framework/Application.h"
#include "tray/CoolTrayIcon.h"

#include <QWidget>

#include <algorithm>

namespace lumora {

std::optional<int> WheelLevel(int level, int levelCount, int steps)
{
    if (level < 0 || levelCount < 1 || steps == 0)
        return std::nullopt;
    const long wanted = std::clamp(long(level) + steps, 0L, long(levelCount) - 1);
    if (wanted == level)
        return std::nullopt;
    return int(wanted);
}

void ToggleWindowFromTray(TCoolTrayIcon& icon, QWidget& window)
{
    if (window.isVisible() && !window.isMinimized())
        window.close();
    else
        icon.ShowMainWindow();
}

void StepLevelFromTray(TLevelModel& level, int steps)
{
    if (const std::optional<int> wanted = WheelLevel(level.Level(), level.LevelCount(), steps))
        RunGuarded([&] { level.Request(*wanted, LevelSource::Tray); });
}

} // namespace lumora
