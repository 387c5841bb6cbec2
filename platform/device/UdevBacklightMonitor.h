#pragma once

#include "platform/device/BacklightEvents.h"
#include "platform/device/UdevSubsystemWatch.h"

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
    UdevSubsystemWatch watch_;
};

} // namespace lumora
