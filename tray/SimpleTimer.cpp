#include "tray/SimpleTimer.h"

#include <QTimerEvent>

namespace lumora {

namespace {
TSimpleTimerHandler* gHandler = nullptr;
}

TSimpleTimerHandler* TSimpleTimerHandler::Instance() { return gHandler; }

TSimpleTimerHandler* TSimpleTimerHandler::Acquire()
{
    if (!gHandler)
        gHandler = new TSimpleTimerHandler;
    ++gHandler->timerCount_;
    return gHandler;
}

void TSimpleTimerHandler::Release()
{
    if (!gHandler)
        return;
    if (gHandler->timerCount_ > 0)
        --gHandler->timerCount_;
    if (gHandler->timerCount_ == 0) {
        delete gHandler;
        gHandler = nullptr;
    }
}

int TSimpleTimerHandler::StartPlatformTimer(TSimpleTimer* timer, int periodMs)
{
    const int id = startTimer(periodMs, Qt::PreciseTimer);
    if (id == 0)
        return 0;
    running_[id] = timer;
    ++runningCount_;
    return id;
}

bool TSimpleTimerHandler::KillPlatformTimer(int id)
{
    auto it = running_.find(id);
    if (id == 0 || it == running_.end())
        return false;
    killTimer(id);
    running_.erase(it);
    if (runningCount_ > 0)
        --runningCount_;
    return true;
}

void TSimpleTimerHandler::timerEvent(QTimerEvent* event)
{
    auto it = running_.find(event->timerId());
    if (it == running_.end())
        return;
    it->second->Tick();
}

TSimpleTimer::TSimpleTimer() { TSimpleTimerHandler::Acquire(); }

TSimpleTimer::TSimpleTimer(int tickPeriodMs, TNotifyEvent onTick) : tickPeriod_(tickPeriodMs), onTick_(std::move(onTick))
{
    TSimpleTimerHandler::Acquire();
}

TSimpleTimer::~TSimpleTimer()
{
    if (ticking_)
        StopTicking(true);
    TSimpleTimerHandler::Release();
}

void TSimpleTimer::SetTicking(bool on)
{
    if (on)
        StartTicking();
    else
        StopTicking(true);
}

bool TSimpleTimer::StartTicking()
{
    if (tickPeriod_ == 0)
        return false;
    // A restart begins a new full period.
    if (ticking_)
        StopTicking(true);
    platformId_ = TSimpleTimerHandler::Instance()->StartPlatformTimer(this, tickPeriod_);
    ticking_ = platformId_ != 0;
    return ticking_;
}

bool TSimpleTimer::StopTicking(bool clearFlag)
{
    if (clearFlag)
        ticking_ = false;
    const bool killed = TSimpleTimerHandler::Instance()->KillPlatformTimer(platformId_);
    platformId_ = 0;
    return killed;
}

void TSimpleTimer::SetTickPeriod(int ms)
{
    if (ms == tickPeriod_)
        return;
    tickPeriod_ = ms;
    if (!ticking_)
        return;
    if (ms == 0)
        StopTicking(false);
    else
        StartTicking();
}

void TSimpleTimer::SetOnTick(TNotifyEvent handler)
{
    onTick_ = std::move(handler);
    if (!onTick_ && ticking_)
        StopTicking(false);
}

void TSimpleTimer::Tick()
{
    if (oneShot_)
        StopTicking(true);
    Fire(onTick_, this);
}

} // namespace lumora
