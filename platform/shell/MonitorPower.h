#pragma once

#include <QObject>
#include <QTimer>

#include <memory>

namespace lumora {

class X11Display;

// Switches the monitors' power off.
class DisplayPower {
public:
    virtual ~DisplayPower() = default;
    virtual void ForceOff() = 0;
    // Asked about once a second after ForceOff until it answers true: a
    // chance to undo, once the monitor is on again, what switching it off
    // needed. True when nothing is left to undo.
    virtual bool Settle() { return true; }
};

// The DPMS calls behind "Turn Off Monitor", apart from the X connection.
class DpmsCalls {
public:
    virtual ~DpmsCalls() = default;
    virtual bool Enabled() = 0;
    virtual bool MonitorOn() = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual void ForceOff() = 0;
};

// Forcing the "off" level works only with DPMS enabled. A user who had it
// disabled (no blanking after idle minutes) gets it disabled again once the
// monitor is on again, which the next input does: disabling it at once
// would switch the monitor straight back on.
class DpmsPowerOff {
public:
    void TurnOff(DpmsCalls& dpms);
    // Disables DPMS again when this switched it on and the monitor is on
    // again; true when nothing is left to undo.
    bool RestoreIfOn(DpmsCalls& dpms);
    // Disables DPMS again whatever the monitor's state (at the end).
    void Restore(DpmsCalls& dpms);
    bool RestorePending() const { return restore_; }

private:
    bool restore_ = false;
};

// X11 display power management (DPMS): force the "off" level, leaving DPMS
// enabled or disabled as the user had it (see DpmsPowerOff). X errors on the
// connection are reported, not fatal (X11Display).
class X11DisplayPower : public DisplayPower {
public:
    // nullptr when there is no display or it lacks DPMS.
    static std::unique_ptr<X11DisplayPower> Open(const char* displayName = nullptr);
    ~X11DisplayPower() override;
    void ForceOff() override;
    bool Settle() override;

private:
    class Calls;
    explicit X11DisplayPower(std::unique_ptr<X11Display> connection);
    std::unique_ptr<X11Display> connection_;
    std::unique_ptr<Calls> calls_;
    DpmsPowerOff off_;
};

// "Turn Off Monitor": the power-off is issued about half a second after the
// request, so that the release of the menu click that asked for it does not
// wake the screen at once. Repeated requests within that time give one
// power-off. No timer runs while nothing is pending.
class TMonitorPower : public QObject {
public:
    static constexpr int kDelayMs = 500;
    static constexpr int kSettleIntervalMs = 1000;

    // A null backend means the display cannot be switched off.
    explicit TMonitorPower(std::unique_ptr<DisplayPower> backend, int delayMs = kDelayMs,
                           int settleIntervalMs = kSettleIntervalMs);
    // The display's power management, found once the window has shown.
    void SetBackend(std::unique_ptr<DisplayPower> backend) { backend_ = std::move(backend); }

    // Raises Exception at once when the display cannot be switched off.
    void TurnOff();
    bool Pending() const { return timer_.isActive(); }
    // The backend has something to undo once the monitor is on again; a
    // timer asks it once a second until then, and runs at no other time.
    bool Settling() const { return settleTimer_.isActive(); }

private:
    std::unique_ptr<DisplayPower> backend_;
    QTimer timer_;
    QTimer settleTimer_;
};

} // namespace lumora
