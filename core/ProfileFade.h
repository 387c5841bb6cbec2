#pragma once

#include "core/LevelModel.h"
#include "platform/framework/Timer.h"

#include <memory>

namespace lumora {

// A profile's level reached over a set time: one level at a time, each
// asked of the level model (which writes the device and moves the views),
// spread evenly over the fade. The timer runs only while a fade does.
//
// The user wins: when the level is found moved by anyone else between two
// steps, the fade stops where it is.
class TProfileFade {
public:
    explicit TProfileFade(TLevelModel& level);
    ~TProfileFade();

    // Fades to `target` over `durationMs`; 0 (or a level not known yet)
    // sets it at once. A fade already running is replaced.
    void Start(int target, int durationMs);
    void Stop();
    bool Running() const;

private:
    void Step();

    TLevelModel& level_;
    std::unique_ptr<TTimer> timer_;
    int target_ = -1;
    int expected_ = -1; // the level the last step set
};

} // namespace lumora
