#include "platform/device/DesktopBrightnessWatcher.h"

#include "platform/device/GnomeBrightness.h"
#include "platform/device/KdeBrightness.h"

#include <QDBusConnectionInterface>

namespace lumora {

DesktopBrightnessWatcher::DesktopBrightnessWatcher() : DesktopBrightnessWatcher(QDBusConnection::sessionBus()) {}

DesktopBrightnessWatcher::DesktopBrightnessWatcher(QDBusConnection bus)
    : bus_(std::move(bus)),
      watcher_(QString(), bus_, QDBusServiceWatcher::WatchForOwnerChange)
{
    if (!bus_.isConnected())
        return; // no session bus: the panel is set as the system allows
    watcher_.setWatchedServices({kKdePowerService, kGnomePowerService});
    connect(&watcher_, &QDBusServiceWatcher::serviceOwnerChanged, this, [this] { Choose(); });
    Choose();
}

DesktopBrightnessWatcher::~DesktopBrightnessWatcher() = default;

void DesktopBrightnessWatcher::Choose()
{
    const QDBusConnectionInterface* names = bus_.interface();
    QString name;
    if (names != nullptr) {
        for (const QString& candidate : {kKdePowerService, kGnomePowerService}) {
            if (names->isServiceRegistered(candidate)) {
                name = candidate;
                break;
            }
        }
    }
    if (name == currentName_ && (current_ != nullptr) == !name.isEmpty())
        return;
    currentName_ = name;
    if (name == kKdePowerService)
        current_ = std::make_unique<KdeBrightness>(bus_);
    else if (name == kGnomePowerService)
        current_ = std::make_unique<GnomeBrightness>(bus_);
    else
        current_.reset();
    emit ServiceChanged();
}

} // namespace lumora
