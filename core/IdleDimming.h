#pragma once

#include "platform/framework/Timer.h"

#include <functional>
#include <memory>

namespace lumora {

class IdleTimeSource;

// Idle dimming: once the user has not touched keyboard or mouse for more than
// the armed number of minutes, `dim` runs, once per arming. The idle time is
// looked at every `checkIntervalMs` while armed; nothing runs otherwise.
class TIdleDimming {
public:
    TIdleDimming(IdleTimeSource* idle, int checkIntervalMs, std::function<void()> dim);
    ~TIdleDimming();

    // Arms for `minutes` (above 0). A check already running keeps its period.
    void Arm(int minutes);
    void Disarm();
    // Checks again while still armed ("Restore Brightness" after the watch
    // was switched off by the window ending its start-up, not by a dim).
    void Resume();

    // The armed minutes; 0 when not armed.
    int ArmedMinutes() const { return minutes_; }
    bool Armed() const { return minutes_ > 0; }
    // Whether the periodic check runs.
    bool Checking() const { return timer_->Enabled(); }
    // Stops the check without disarming (the program is ending).
    void Stop();

    // One check, as the timer makes it: dims when the user has been idle for
    // strictly more than the armed minutes, and disarms first.
    void Check();

private:
    IdleTimeSource* idle_;
    std::function<void()> dim_;
    std::unique_ptr<TTimer> timer_;
    int minutes_ = 0;
};

} // namespace lumora
