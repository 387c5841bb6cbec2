#pragma once

#include "platform/framework/Events.h"

#include <QObject>

#include <unordered_map>

namespace lumora {

class TSimpleTimer;

// One hidden object per process on which every TSimpleTimer's platform timer
// runs; it turns each timer tick back into a call of its timer's handler. It
// exists while at least one TSimpleTimer exists.
class TSimpleTimerHandler : public QObject {
public:
    static TSimpleTimerHandler* Instance(); // nullptr while no timer exists
    int TimerCount() const { return timerCount_; }
    int RunningCount() const { return runningCount_; }

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    friend class TSimpleTimer;
    static TSimpleTimerHandler* Acquire();
    static void Release();

    int StartPlatformTimer(TSimpleTimer* timer, int periodMs); // 0 on failure
    bool KillPlatformTimer(int id);

    int timerCount_ = 0;
    int runningCount_ = 0;
    std::unordered_map<int, TSimpleTimer*> running_;
};

// A light-weight timer without a component owner.
class TSimpleTimer : public TObject {
public:
    TSimpleTimer();
    TSimpleTimer(int tickPeriodMs, TNotifyEvent onTick);
    ~TSimpleTimer() override;
    TSimpleTimer(const TSimpleTimer&) = delete;
    TSimpleTimer& operator=(const TSimpleTimer&) = delete;

    bool Ticking() const { return ticking_; }
    void SetTicking(bool on);

    int TickPeriod() const { return tickPeriod_; }
    void SetTickPeriod(int ms);

    bool OneShot() const { return oneShot_; }
    void SetOneShot(bool oneShot) { oneShot_ = oneShot; }

    const TNotifyEvent& OnTick() const { return onTick_; }
    void SetOnTick(TNotifyEvent handler);

    bool StartTicking();
    bool StopTicking(bool clearFlag);

private:
    friend class TSimpleTimerHandler;
    void Tick();

    int tickPeriod_ = 1000;
    bool ticking_ = false;
    bool oneShot_ = false;
    int platformId_ = 0;
    TNotifyEvent onTick_;
};

} // namespace lumora
