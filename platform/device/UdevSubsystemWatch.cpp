#include "platform/device/UdevSubsystemWatch.h"

#include "platform/device/SysfsFile.h"
#include "platform/framework/Exception.h"

#include <QSocketNotifier>

#include <libudev.h>

#include <cerrno>

namespace lumora {

UdevSubsystemWatch::UdevSubsystemWatch(const char* subsystem, const QString& what, EventHandler onEvent,
                                       BatchHandler onBatch)
    : onEvent_(std::move(onEvent)), onBatch_(std::move(onBatch))
{
    udev_ = udev_new();
    if (udev_ != nullptr)
        monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
    const bool ready = monitor_ != nullptr &&
                       udev_monitor_filter_add_match_subsystem_devtype(monitor_, subsystem, nullptr) >= 0 &&
                       udev_monitor_enable_receiving(monitor_) >= 0;
    if (!ready) {
        const int error = errno;
        if (monitor_)
            udev_monitor_unref(monitor_);
        if (udev_)
            udev_unref(udev_);
        throw EOSError(QStringLiteral("%1: %2").arg(what, ErrnoText(error)));
    }
    notifier_ = std::make_unique<QSocketNotifier>(udev_monitor_get_fd(monitor_), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] { ReadEvents(); });
}

UdevSubsystemWatch::~UdevSubsystemWatch()
{
    notifier_.reset();
    udev_monitor_unref(monitor_);
    udev_unref(udev_);
}

void UdevSubsystemWatch::ReadEvents()
{
    // The socket is non-blocking: every queued event is taken now.
    bool any = false;
    while (udev_device* device = udev_monitor_receive_device(monitor_)) {
        any = true;
        const char* action = udev_device_get_action(device);
        const char* name = udev_device_get_sysname(device);
        if (action != nullptr && name != nullptr && onEvent_)
            onEvent_(QString::fromUtf8(action), QString::fromUtf8(name));
        udev_device_unref(device);
    }
    if (any && onBatch_)
        onBatch_();
}

} // namespace lumora
