#include "core/ProfileFade.h"

#include <cstdlib>

namespace lumora {

TProfileFade::TProfileFade(TLevelModel& level) : level_(level), timer_(std::make_unique<TTimer>())
{
    // The framework's timer reports a failing write under its error guard.
    timer_->SetEnabled(false);
    timer_->OnTimer = [this](TObject*) { Step(); };
}

TProfileFade::~TProfileFade() = default;

void TProfileFade::Start(int target, int durationMs)
{
    timer_->SetEnabled(false);
    const int from = level_.Level();
    const int steps = std::abs(target - from);
    if (from < 0 || durationMs <= 0 || steps <= 1) {
        level_.Request(target, LevelSource::Profile, false);
        return;
    }
    target_ = target;
    expected_ = from;
    timer_->SetInterval(std::max(1, durationMs / steps));
    timer_->SetEnabled(true);
    Step();
}

void TProfileFade::Stop() { timer_->SetEnabled(false); }

bool TProfileFade::Running() const { return timer_->Enabled(); }

void TProfileFade::Step()
{
    if (level_.Level() != expected_) {
        // Moved by hand (or by anything else) since the last step.
        timer_->SetEnabled(false);
        return;
    }
    const int next = expected_ + (target_ > expected_ ? 1 : -1);
    expected_ = next;
    if (next == target_)
        timer_->SetEnabled(false);
    try {
        level_.Request(next, LevelSource::Profile, false);
    } catch (...) {
        timer_->SetEnabled(false);
        throw;
    }
}

} // namespace lumora
