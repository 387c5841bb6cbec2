#pragma once

#include "platform/device/BacklightEvents.h"

#include <memory>

struct udev;
struct udev_monitor;
class QSocketNotifier;

namespace lumora {

// The kernel's events for the "backlight" subsystem, as udev passes them on,
// read when the monitor's socket has one (no polling).
class UdevBacklightMonitor : public BacklightEventSource {
    Q_OBJECT
public:
    // Raises EOSError when udev cannot be reached.
    UdevBacklightMonitor();
    ~UdevBacklightMonitor() override;

private:
    void ReadEvents();

    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace lumora
