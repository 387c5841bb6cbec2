#include "platform/device/UdevBacklightMonitor.h"

#include "platform/device/SysfsFile.h"
#include "platform/framework/Exception.h"

#include <QSocketNotifier>

#include <libudev.h>

#include <cerrno>

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
{
    udev_ = udev_new();
    if (udev_ != nullptr)
        monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
    const bool ready = monitor_ != nullptr &&
                       udev_monitor_filter_add_match_subsystem_devtype(monitor_, "backlight", nullptr) >= 0 &&
                       udev_monitor_enable_receiving(monitor_) >= 0;
    if (!ready) {
        const int error = errno;
        if (monitor_)
            udev_monitor_unref(monitor_);
        if (udev_)
            udev_unref(udev_);
        throw EOSError(QStringLiteral("Cannot listen for backlight devices: %1").arg(ErrnoText(error)));
    }
    notifier_ = std::make_unique<QSocketNotifier>(udev_monitor_get_fd(monitor_), QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { ReadEvents(); });
}

UdevBacklightMonitor::~UdevBacklightMonitor()
{
    notifier_.reset();
    udev_monitor_unref(monitor_);
    udev_unref(udev_);
}

void UdevBacklightMonitor::ReadEvents()
{
    // The socket is non-blocking: every queued event is taken now.
    while (udev_device* device = udev_monitor_receive_device(monitor_)) {
        const char* action = udev_device_get_action(device);
        const char* name = udev_device_get_sysname(device);
        if (action != nullptr && name != nullptr) {
            if (const std::optional<BacklightAction> kind = BacklightActionOf(QString::fromUtf8(action)))
                emit Arrived(BacklightEvent{*kind, QString::fromUtf8(name)});
        }
        udev_device_unref(device);
    }
}

} // namespace lumora
