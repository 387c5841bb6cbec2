#pragma once

#include <QtGlobal>

namespace lumora {

// Idle seconds from a compositor that only says "no input for the threshold"
// and "input again": while idle, the last input was the threshold before the
// idle notice; while active, the idle time is under the threshold and reads 0.
// Times are milliseconds of a monotonic clock.
class IdleClock {
public:
    explicit IdleClock(qint64 thresholdMs) : thresholdMs_(thresholdMs) {}
    void Idled(qint64 nowMs);
    void Resumed() { idle_ = false; }
    bool Idle() const { return idle_; }
    quint32 Seconds(qint64 nowMs) const;

private:
    qint64 thresholdMs_;
    qint64 lastInputMs_ = 0;
    bool idle_ = false;
};

} // namespace lumora
