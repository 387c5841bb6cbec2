#pragma once

#include <QObject>
#include <QTimer>

#include <memory>

struct udev;
struct udev_monitor;
class QSocketNotifier;

namespace lumora {

class MonitorSetProvider;

// Monitors plugged in or out: the kernel's events for the "drm" subsystem (a
// connector's state changes), as udev passes them on, read when its socket
// has one. A plug comes as a burst of events, and a monitor answers over
// DDC/CI only a moment after it lights up, so Settled comes once the events
// have been quiet for a while.
class DisplayHotPlug : public QObject {
    Q_OBJECT
public:
    static constexpr int kSettleMs = 2000;

    // Raises EOSError when udev cannot be reached.
    explicit DisplayHotPlug(int settleMs = kSettleMs);
    ~DisplayHotPlug() override;

    // A display event came: Settled follows when none has come for the
    // settle time.
    void Noticed();
    bool Settling() const { return settle_.isActive(); }

signals:
    void Settled();

private:
    void ReadEvents();

    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    std::unique_ptr<QSocketNotifier> notifier_;
    QTimer settle_;
};

// Has the monitors looked for again whenever one was plugged in or out; null
// (said on standard error) where udev cannot be reached.
std::unique_ptr<DisplayHotPlug> RedetectOnHotPlug(MonitorSetProvider& monitors);

} // namespace lumora
