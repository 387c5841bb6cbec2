#pragma once

#include "platform/framework/Timer.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace lumora {

class TBrightnessAccess;

// One brightness value the program wrote, and the monitor it went to.
struct TBrightnessWrite {
    int Value = 0;
    QString InstanceName;
    friend bool operator==(const TBrightnessWrite&, const TBrightnessWrite&) = default;
};

// What to write again after the machine resumed, if anything: the value last
// written when the active monitor is the one it went to and its read-back
// brightness differs. `readBack` is nullopt when the active monitor is not
// listed (it has gone; there is nothing to write to).
//
// The lowest level is written as the panel's lowest visible step, which on a
// panel of few steps reads back as a little more than the level's own value:
// a read-back in the lower half of the way to the next level counts as that
// level.
std::optional<int> ValueToReapply(const std::optional<TBrightnessWrite>& lastWrite, const QString& activeInstance,
                                  std::optional<int> readBack, const QStringList& levelList);

// Puts the level the program last set back on the monitor once the machine
// has resumed from sleep: firmware often resets the backlight on the way.
// The device is given a moment to settle first (a single-shot timer started
// by Resumed, so nothing runs at rest); then its brightness is read back and
// written only when it differs. Idle dimming's level is what was last set
// while dimmed, so that is what stays.
class TResumeReapply {
public:
    static constexpr int kSettleMs = 1000;

    // `writeAgain` puts the level in force back on the monitor; without it
    // the value last written is written again directly.
    explicit TResumeReapply(TBrightnessAccess& brightness, int settleMs = kSettleMs,
                            std::function<void()> writeAgain = nullptr);
    ~TResumeReapply();

    // The machine has resumed. Several notices in a row give one check.
    void Resumed();
    // Whether the settle timer runs (for tests: never at rest).
    bool Waiting() const;
    // Reads back and writes if needed, now. Raises the device's errors.
    void Reapply();
    // Runs first in Reapply: puts the other monitors the level goes to back
    // on their own values.
    std::function<void()> OnReapplyOthers;

private:
    TBrightnessAccess& brightness_;
    std::function<void()> writeAgain_;
    std::unique_ptr<TTimer> settle_;
};

} // namespace lumora
