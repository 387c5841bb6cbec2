#pragma once

#include <QString>

#include <functional>
#include <memory>

struct udev;
struct udev_monitor;
class QSocketNotifier;

namespace lumora {

// The kernel's events for one device subsystem ("backlight", "drm"), as udev
// passes them on, read when the monitor's socket has one (no polling).
class UdevSubsystemWatch {
public:
    // One event: its action ("add", "remove", "change", ...) and the
    // device's name in the subsystem ("intel_backlight", "card0-HDMI-A-1").
    using EventHandler = std::function<void(const QString& action, const QString& name)>;
    // Called once for each batch of events taken from the socket, after
    // their handlers.
    using BatchHandler = std::function<void()>;

    // Raises EOSError, "<what>: <reason>", when udev cannot be reached.
    UdevSubsystemWatch(const char* subsystem, const QString& what, EventHandler onEvent, BatchHandler onBatch = {});
    ~UdevSubsystemWatch();
    UdevSubsystemWatch(const UdevSubsystemWatch&) = delete;
    UdevSubsystemWatch& operator=(const UdevSubsystemWatch&) = delete;

private:
    void ReadEvents();

    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    std::unique_ptr<QSocketNotifier> notifier_;
    EventHandler onEvent_;
    BatchHandler onBatch_;
};

} // namespace lumora
