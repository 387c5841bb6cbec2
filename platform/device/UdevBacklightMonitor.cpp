#include "platform/device/UdevBacklightMonitor.h"

namespace lumora {

std::optional<BacklightAction> BacklightActionOf(const QString& action)
{
    if (action == u"add")
        return BacklightAction::Added;
    if (action == u"remove")
        return BacklightAction::Removed;
    if (action == u"change")
        return BacklightAction::Changed;
    return std::nullopt;
}

UdevBacklightMonitor::UdevBacklightMonitor()
    : watch_("backlight", QStringLiteral("Cannot listen for backlight devices"),
             [this](const QString& action, const QString& name) {
                 if (const std::optional<BacklightAction> kind = BacklightActionOf(action))
                     emit Arrived(BacklightEvent{*kind, name});
             })
{
}

UdevBacklightMonitor::~UdevBacklightMonitor() = default;

} // namespace lumora
