#include "core/IdleDimming.h"

#include "platform/shell/IdleTime.h"

namespace lumora {

TIdleDimming::TIdleDimming(IdleTimeSource* idle, int checkIntervalMs, std::function<void()> dim)
    : idle_(idle), dim_(std::move(dim)), timer_(std::make_unique<TTimer>())
{
    timer_->SetEnabled(false);
    timer_->SetInterval(checkIntervalMs);
    timer_->OnTimer = [this](TObject*) { Check(); };
}

TIdleDimming::~TIdleDimming() = default;

void TIdleDimming::Arm(int minutes)
{
    timer_->SetEnabled(true);
    minutes_ = minutes;
}

void TIdleDimming::Disarm()
{
    timer_->SetEnabled(false);
    minutes_ = 0;
}

void TIdleDimming::Resume()
{
    if (minutes_ > 0)
        timer_->SetEnabled(true);
}

void TIdleDimming::Stop() { timer_->SetEnabled(false); }

void TIdleDimming::Check()
{
    if (minutes_ == 0) {
        timer_->SetEnabled(false);
        return;
    }
    const quint32 idle = idle_ ? idle_->IdleSeconds() : 0;
    if (qint64(idle) <= qint64(minutes_) * 60)
        return;
    Disarm(); // once per arming
    if (dim_)
        dim_();
}

} // namespace lumora
