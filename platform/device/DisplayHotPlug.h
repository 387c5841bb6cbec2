#pragma once

#include "platform/device/UdevSubsystemWatch.h"

#include <QObject>
#include <QTimer>

#include <memory>

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
    UdevSubsystemWatch watch_;
    QTimer settle_;
};

// Has the monitors looked for again whenever one was plugged in or out; null
// (said on standard error) where udev cannot be reached.
std::unique_ptr<DisplayHotPlug> RedetectOnHotPlug(MonitorSetProvider& monitors);

} // namespace lumora
