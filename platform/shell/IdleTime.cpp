#include "platform/shell/IdleTime.h"

#include "platform/device/LogindSession.h"
#include "platform/shell/X11Display.h"

#include <algorithm>
#include <cstdio>

// X11 last: its macros (Bool, Status, None) collide with Qt names.
#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

namespace lumora {

std::unique_ptr<X11IdleTime> X11IdleTime::Open(const char* displayName)
{
    std::unique_ptr<X11Display> connection = X11Display::Open(displayName);
    if (!connection)
        return nullptr;
    int eventBase = 0;
    int errorBase = 0;
    if (!XScreenSaverQueryExtension(static_cast<Display*>(connection->Handle()), &eventBase, &errorBase))
        return nullptr;
    return std::unique_ptr<X11IdleTime>(new X11IdleTime(std::move(connection)));
}

X11IdleTime::X11IdleTime(std::unique_ptr<X11Display> connection) : connection_(std::move(connection)) {}

X11IdleTime::~X11IdleTime() = default;

quint32 X11IdleTime::IdleSeconds()
{
    // A lost server reads as input just now: dimming must never follow
    // from a clock that stopped.
    if (connection_->Lost())
        return 0;
    Display* display = static_cast<Display*>(connection_->Handle());
    XScreenSaverInfo info{};
    if (!XScreenSaverQueryInfo(display, DefaultRootWindow(display), &info) || connection_->Lost())
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
