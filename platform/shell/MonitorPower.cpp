#include "platform/shell/MonitorPower.h"

#include "platform/framework/Exception.h"

// X11 last: its macros collide with Qt names.
#include <X11/Xlib.h>
#include <X11/extensions/dpms.h>

namespace lumora {

std::unique_ptr<X11DisplayPower> X11DisplayPower::Open(const char* displayName)
{
    Display* display = XOpenDisplay(displayName);
    if (display == nullptr)
        return nullptr;
    int eventBase = 0;
    int errorBase = 0;
    if (!DPMSQueryExtension(display, &eventBase, &errorBase) || !DPMSCapable(display)) {
        XCloseDisplay(display);
        return nullptr;
    }
    return std::unique_ptr<X11DisplayPower>(new X11DisplayPower(display));
}

X11DisplayPower::~X11DisplayPower() { XCloseDisplay(static_cast<Display*>(display_)); }

void X11DisplayPower::ForceOff()
{
    Display* display = static_cast<Display*>(display_);
    CARD16 level = 0;
    BOOL enabled = False;
    DPMSInfo(display, &level, &enabled);
    if (!enabled)
        DPMSEnable(display);
    DPMSForceLevel(display, DPMSModeOff);
    XFlush(display);
}

TMonitorPower::TMonitorPower(std::unique_ptr<DisplayPower> backend, int delayMs) : backend_(std::move(backend))
{
    timer_.setSingleShot(true);
    timer_.setInterval(delayMs);
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (backend_)
            backend_->ForceOff();
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
