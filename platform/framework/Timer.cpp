#include "platform/framework/Timer.h"

namespace lumora {

TTimer::TTimer(TComponent* owner) : TComponent(owner)
{
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Timeout(); });
    Update();
}

TTimer::~TTimer() { timer_.stop(); }

void TTimer::SetEnabled(bool enabled)
{
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    Update();
}

void TTimer::SetInterval(int milliseconds)
{
    if (interval_ == milliseconds)
        return;
    interval_ = milliseconds;
    Update();
}

void TTimer::Loaded()
{
    TComponent::Loaded();
    Update();
}

void TTimer::Update()
{
    timer_.stop();
    // While the form is being built the timer waits for Loaded(), so a timer
    // that the form switches off later never fires in between.
    if (enabled_ && interval_ > 0 && !IsLoading())
        timer_.start(interval_);
}

void TTimer::Timeout()
{
    // The handler may switch the timer off or destroy the form; nothing of
    // this object is touched after the call.
    Fire(OnTimer, this);
}

} // namespace lumora
