#include "platform/shell/X11Display.h"

#include "platform/shell/FileSystem.h"

#include <QString>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <vector>

// X11 last: its macros collide with Qt names.
#include <X11/Xlib.h>

namespace lumora {

namespace {

// The displays of this class. Xlib's handlers are per process, so they
// look up whether a failing display is one of ours.
std::mutex& OursLock()
{
    static std::mutex lock;
    return lock;
}
std::vector<Display*>& Ours()
{
    static std::vector<Display*> displays;
    return displays;
}
bool IsOurs(Display* display)
{
    std::lock_guard guard(OursLock());
    const auto& ours = Ours();
    return std::find(ours.begin(), ours.end(), display) != ours.end();
}

XErrorHandler previousError = nullptr;
XIOErrorHandler previousIoError = nullptr;

int ReportError(Display* display, XErrorEvent* error)
{
    if (!IsOurs(display))
        return previousError != nullptr ? previousError(display, error) : 0;
    char text[160] = {};
    XGetErrorText(display, error->error_code, text, sizeof text);
    std::fprintf(stderr, "lumora: X error on the idle time or monitor power connection: %s (request %d.%d); going on\n",
                 text, int(error->request_code), int(error->minor_code));
    return 0;
}

// Called first on a broken connection; for ours the per-display exit
// handler (OnLost) follows, in place of Xlib's exit().
int ReportIoError(Display* display)
{
    if (!IsOurs(display))
        return previousIoError != nullptr ? previousIoError(display) : 0;
    std::fprintf(stderr, "lumora: the X server %s closed the connection; idle time reads as active and the "
                         "monitor cannot be turned off from now on\n",
                 qPrintable(PrintableName(QString::fromLocal8Bit(DisplayString(display)))));
    return 0;
}

void InstallHandlersOnce()
{
    static std::once_flag once;
    std::call_once(once, [] {
        previousError = XSetErrorHandler(ReportError);
        previousIoError = XSetIOErrorHandler(ReportIoError);
    });
}

} // namespace

std::unique_ptr<X11Display> X11Display::Open(const char* displayName)
{
    InstallHandlersOnce();
    Display* display = XOpenDisplay(displayName);
    if (display == nullptr)
        return nullptr;
    std::unique_ptr<X11Display> out(new X11Display(display));
    {
        std::lock_guard guard(OursLock());
        Ours().push_back(display);
    }
    XSetIOErrorExitHandler(
        display, [](Display* d, void* self) { OnLost(d, self); }, out.get());
    return out;
}

void X11Display::OnLost(void*, void* self) { static_cast<X11Display*>(self)->lost_.store(true); }

X11Display::~X11Display()
{
    Display* display = static_cast<Display*>(display_);
    // Closing a broken connection sends nothing: Xlib knows it broke.
    XCloseDisplay(display);
    std::lock_guard guard(OursLock());
    auto& ours = Ours();
    ours.erase(std::remove(ours.begin(), ours.end(), display), ours.end());
}

} // namespace lumora
