#include "platform/device/DisplayHotPlug.h"

#include "platform/device/MonitorSetProvider.h"
#include "platform/device/SysfsFile.h"
#include "platform/framework/Exception.h"

#include <QSocketNotifier>

#include <libudev.h>

#include <cerrno>
#include <cstdio>

namespace lumora {

DisplayHotPlug::DisplayHotPlug(int settleMs)
{
    settle_.setSingleShot(true);
    settle_.setInterval(settleMs);
    connect(&settle_, &QTimer::timeout, this, &DisplayHotPlug::Settled);

    udev_ = udev_new();
    if (udev_ != nullptr)
        monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
    const bool ready = monitor_ != nullptr &&
                       udev_monitor_filter_add_match_subsystem_devtype(monitor_, "drm", nullptr) >= 0 &&
                       udev_monitor_enable_receiving(monitor_) >= 0;
    if (!ready) {
        const int error = errno;
        if (monitor_)
            udev_monitor_unref(monitor_);
        if (udev_)
            udev_unref(udev_);
        throw EOSError(QStringLiteral("Cannot listen for monitors plugged in or out: %1").arg(ErrnoText(error)));
    }
    notifier_ = std::make_unique<QSocketNotifier>(udev_monitor_get_fd(monitor_), QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { ReadEvents(); });
}

DisplayHotPlug::~DisplayHotPlug()
{
    notifier_.reset();
    udev_monitor_unref(monitor_);
    udev_unref(udev_);
}

void DisplayHotPlug::Noticed()
{
    // Each event of a burst starts the wait again.
    settle_.start();
}

void DisplayHotPlug::ReadEvents()
{
    // The socket is non-blocking: every queued event is taken now. Any event
    // of the subsystem counts: a connector's "change" (the usual one), a card
    // or connector added or removed.
    bool any = false;
    while (udev_device* device = udev_monitor_receive_device(monitor_)) {
        any = true;
        udev_device_unref(device);
    }
    if (any)
        Noticed();
}

std::unique_ptr<DisplayHotPlug> RedetectOnHotPlug(MonitorSetProvider& monitors)
{
    std::unique_ptr<DisplayHotPlug> hotPlug;
    try {
        hotPlug = std::make_unique<DisplayHotPlug>();
    } catch (const Exception& e) {
        std::fprintf(stderr, "lumora: %s; monitors plugged in later are not found\n", qPrintable(e.Message()));
        return nullptr;
    }
    QObject::connect(hotPlug.get(), &DisplayHotPlug::Settled, &monitors, &MonitorSetProvider::Redetect);
    return hotPlug;
}

} // namespace lumora
