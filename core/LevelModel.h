#pragma once

#include "platform/framework/Timer.h"

#include <functional>
#include <memory>
#include <vector>

namespace lumora {

// Where a change of the level came from.
enum class LevelSource {
    Start,       // the saved level, applied at start-up
    Controls,    // the gauge or the track bar
    TrackBar,    // the track bar in particular: it stays where the user put it
    Tray,        // "Min Brightness", "Max Brightness"
    Restore,     // "Restore Brightness"
    Bus,         // another program, over the session bus
    IdleDimming, // the user has been away
    Profile,     // a profile was chosen
    Resume,      // the machine woke up and the monitor lost its level
    Elsewhere,   // the desktop's slider, the brightness keys, another program
    Monitor,     // another monitor (or level table) is now the one worked on
};

// The pace at which the device follows a change: the gauge's needle rule
// (NextNeedleValue) at the needle's interval and factor, so that the screen
// moves in step with the needle.
struct FadePace {
    int IntervalMs = 16;
    int Factor = 5;
};

// The levels a fade from `from` to `to` writes, in order: each level it
// passes once, ending on `to` (nothing when they are equal).
std::vector<int> FadeLevels(int from, int to, int factor);

// The one owner of the brightness level of the monitor worked on. Every source
// (the controls, the tray, the bus, idle dimming and its restore, resume, a
// profile, a change made elsewhere) asks it; it writes the device and
// announces each change once, and the views follow the announcement.
//
// A change from level a to level b reaches the device as a fade that stays
// within [a, b], never turns back and ends on b, or as b alone. A request
// during a fade continues from the level the device was last given. A change
// made elsewhere moves the views and writes nothing.
//
// The write is handed in; it must not wait on a slow device (slow devices sit
// behind a worker that keeps the newest value). A write that fails ends the
// fade where the device is and raises the device's error: from Request for the
// first level of a move (so nothing is announced), else from the fade's timer
// under the framework's error guard.
class TLevelModel {
public:
    using Write = std::function<void(int level)>;

    explicit TLevelModel(Write write, FadePace pace = {});
    ~TLevelModel();

    // A new table of `levelCount` levels with the device at `deviceLevel`
    // (clamped to the table): a fade in progress stops, nothing is written,
    // and the level is announced as coming from `source`. With a device level
    // below 0 the level is not known yet: nothing is announced, and the first
    // request gives the device its level alone.
    void Reset(int levelCount, int deviceLevel, LevelSource source = LevelSource::Monitor);

    int LevelCount() const { return levelCount_; }
    // The level the views show at rest: where a fade is heading. -1 while the
    // levels are unknown.
    int Level() const { return target_; }
    // The level the device was last given (or found at). -1 while unknown.
    int DeviceLevel() const { return device_; }
    bool Fading() const;
    LevelSource LastSource() const { return source_; }

    // Moves to `level`. With `fade` the device walks to it in step with the
    // needle; without, it gets the level alone. Asking for the level already
    // in force writes it once more and announces nothing: the user asked for
    // it, and the device may have been changed without word. Raises for a
    // level outside the table, and the device's error for the first write.
    void Request(int level, LevelSource source, bool fade = true);

    // The device was set elsewhere and now shows `level`: a fade stops, the
    // views follow, nothing is written.
    void ChangedElsewhere(int level);

    // Gives the device the level in force again, alone (after resume).
    void WriteAgain();

    // Called once per change with the new level and its source.
    std::function<void(int level, LevelSource source)> OnChanged;

    // While a write is being made: the level its move heads for, and whether
    // it is a later step of a fade rather than the move's first (or only)
    // write. A slow device can then take the move's end once instead of
    // steps that would queue behind its call in flight.
    int Heading() const { return heading_; }
    bool WritingFadeStep() const { return fadeStep_; }

private:
    void Step();
    void WriteLevel(int level, int heading, bool fadeStep);
    void Announce();

    Write write_;
    FadePace pace_;
    std::unique_ptr<TTimer> fadeTimer_;
    int levelCount_ = 0;
    int target_ = -1;
    int device_ = -1;
    double fadeValue_ = 0; // where the fade is, between device_ and target_
    LevelSource source_ = LevelSource::Start;
    int heading_ = -1;
    bool fadeStep_ = false;
};

} // namespace lumora
