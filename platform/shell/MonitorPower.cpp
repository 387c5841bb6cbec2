#include "platform/shell/MonitorPower.h"

#include "platform/framework/Exception.h"
#include "platform/shell/X11Display.h"

// X11 last: its macros collide with Qt names.
#include <X11/Xlib.h>
#include <X11/extensions/dpms.h>

namespace lumora {

void DpmsPowerOff::TurnOff(DpmsCalls& dpms)
{
    if (!dpms.Enabled()) {
        dpms.SetEnabled(true);
        restore_ = true;
    }
    dpms.ForceOff();
}

bool DpmsPowerOff::RestoreIfOn(DpmsCalls& dpms)
{
    if (restore_ && dpms.MonitorOn())
        Restore(dpms);
    return !restore_;
}

void DpmsPowerOff::Restore(DpmsCalls& dpms)
{
    if (!restore_)
        return;
    dpms.SetEnabled(false);
    restore_ = false;
}

class X11DisplayPower::Calls : public DpmsCalls {
public:
    explicit Calls(X11Display& connection) : connection_(connection) {}
    bool Enabled() override { return Info().enabled; }
    bool MonitorOn() override { return Info().level == DPMSModeOn; }
    void SetEnabled(bool enabled) override
    {
        if (connection_.Lost())
            return;
        enabled ? DPMSEnable(Dpy()) : DPMSDisable(Dpy());
        XFlush(Dpy());
    }
    void ForceOff() override
    {
        if (connection_.Lost())
            return;
        DPMSForceLevel(Dpy(), DPMSModeOff);
        XFlush(Dpy());
    }

private:
    struct State {
        CARD16 level = DPMSModeOn;
        bool enabled = false;
    };
    Display* Dpy() const { return static_cast<Display*>(connection_.Handle()); }
    State Info()
    {
        State state;
        BOOL enabled = False;
        if (!connection_.Lost() && DPMSInfo(Dpy(), &state.level, &enabled))
            state.enabled = enabled != False;
        return state;
    }
    X11Display& connection_;
};

std::unique_ptr<X11DisplayPower> X11DisplayPower::Open(const char* displayName)
{
    std::unique_ptr<X11Display> connection = X11Display::Open(displayName);
    if (!connection)
        return nullptr;
    Display* display = static_cast<Display*>(connection->Handle());
    int eventBase = 0;
    int errorBase = 0;
    if (!DPMSQueryExtension(display, &eventBase, &errorBase) || !DPMSCapable(display))
        return nullptr;
    return std::unique_ptr<X11DisplayPower>(new X11DisplayPower(std::move(connection)));
}

X11DisplayPower::X11DisplayPower(std::unique_ptr<X11Display> connection)
    : connection_(std::move(connection)), calls_(std::make_unique<Calls>(*connection_))
{
}

X11DisplayPower::~X11DisplayPower()
{
    // Ending while the monitor is off: DPMS goes back as the user had it.
    off_.Restore(*calls_);
}

void X11DisplayPower::ForceOff() { off_.TurnOff(*calls_); }

bool X11DisplayPower::Settle() { return off_.RestoreIfOn(*calls_); }

TMonitorPower::TMonitorPower(std::unique_ptr<DisplayPower> backend, int delayMs, int settleIntervalMs)
    : backend_(std::move(backend))
{
    timer_.setSingleShot(true);
    timer_.setInterval(delayMs);
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (!backend_)
            return;
        backend_->ForceOff();
        if (!backend_->Settle())
            settleTimer_.start();
    });
    settleTimer_.setInterval(settleIntervalMs);
    connect(&settleTimer_, &QTimer::timeout, this, [this] {
        if (backend_->Settle())
            settleTimer_.stop();
    });
}

void TMonitorPower::TurnOff()
{
    if (!backend_)
        throw Exception(QStringLiteral("The monitor cannot be turned off: the display has no power management."));
    if (!timer_.isActive())
        timer_.start();
}

} // namespace lumora
