#pragma once

#include "platform/framework/Component.h"

#include <QTimer>

namespace lumora {

// A repeating timer on the user-interface thread. It runs only while Enabled
// is true and Interval is above 0, so a switched-off timer never wakes the
// process. Changing Interval or switching it on restarts the count.
class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner = nullptr);
    ~TTimer() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    // Milliseconds between two OnTimer calls.
    int Interval() const { return interval_; }
    void SetInterval(int milliseconds);

    // True while the underlying timer is counting (for tests and checks that
    // nothing runs at rest).
    bool IsRunning() const { return timer_.isActive(); }

    TNotifyEvent OnTimer;

protected:
    void Loaded() override;

private:
    void Update();
    void Timeout();

    QTimer timer_;
    bool enabled_ = true;
    int interval_ = 1000;
};

} // namespace lumora
