#include "platform/shell/IdleTime.h"

#include "platform/device/LogindSession.h"

#include <algorithm>
#include <cstdio>

// X11 last: its macros (Bool, Status, None) collide with Qt names.
#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

namespace lumora {

std::unique_ptr<X11IdleTime> X11IdleTime::Open(const char* displayName)
{
    Display* display = XOpenDisplay(displayName);
    if (display == nullptr)
        return nullptr;
    int eventBase = 0;
    int errorBase = 0;
    if (!XScreenSaverQueryExtension(display, &eventBase, &errorBase)) {
        XCloseDisplay(display);
        return nullptr;
    }
    return std::unique_ptr<X11IdleTime>(new X11IdleTime(display));
}

X11IdleTime::~X11IdleTime() { XCloseDisplay(static_cast<Display*>(display_)); }

quint32 X11IdleTime::IdleSeconds()
{
    Display* display = static_cast<Display*>(display_);
    XScreenSaverInfo info{};
    if (!XScreenSaverQueryInfo(display, DefaultRootWindow(display), &info))
        return 0;
    return quint32(std::min<unsigned long>(info.idle / 1000u, 0xFFFFFFFFu));
}

quint32 LogindIdleTime::IdleSeconds()
{
    const std::optional<quint64> ms = session_->IdleMilliseconds();
    if (!ms) {
        if (!warned_)
            std::fputs("lumora: the login manager does not report idle time; idle dimming is off\n", stderr);
        warned_ = true;
        return 0;
    }
    return quint32(std::min<quint64>(*ms / 1000u, 0xFFFFFFFFu));
}

NoIdleTime::NoIdleTime()
{
    std::fputs("lumora: this session reports no idle time (no Wayland idle protocol, GNOME idle monitor, X11 "
               "screen saver outside Wayland or login manager idle hint); idle dimming is off\n",
               stderr);
}

} // namespace lumora
