#pragma once

#include <QObject>
#include <QTimer>

#include <memory>

namespace lumora {

// Switches the monitors' power off.
class DisplayPower {
public:
    virtual ~DisplayPower() = default;
    virtual void ForceOff() = 0;
};

// X11 display power management (DPMS): force the "off" level, switching DPMS
// on first when it is disabled (force has no effect otherwise).
class X11DisplayPower : public DisplayPower {
public:
    // nullptr when there is no display or it lacks DPMS.
    static std::unique_ptr<X11DisplayPower> Open(const char* displayName = nullptr);
    ~X11DisplayPower() override;
    void ForceOff() override;

private:
    explicit X11DisplayPower(void* display) : display_(display) {}
    void* display_;
};

// "Turn Off Monitor": the power-off is issued about half a second after the
// request, so that the release of the menu click that asked for it does not
// wake the screen at once. Repeated requests within that time give one
// power-off. No timer runs while nothing is pending.
class TMonitorPower : public QObject {
public:
    static constexpr int kDelayMs = 500;

    // A null backend means the display cannot be switched off.
    explicit TMonitorPower(std::unique_ptr<DisplayPower> backend, int delayMs = kDelayMs);
    // The display's power management, found once the window has shown.
    void SetBackend(std::unique_ptr<DisplayPower> backend) { backend_ = std::move(backend); }

    // Raises Exception at once when the display cannot be switched off.
    void TurnOff();
    bool Pending() const { return timer_.isActive(); }

private:
    std::unique_ptr<DisplayPower> backend_;
    QTimer timer_;
};

} // namespace lumora
