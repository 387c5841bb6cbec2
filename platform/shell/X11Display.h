#pragma once

#include <atomic>
#include <memory>

namespace lumora {

// One Xlib connection of the program's own, beside Qt's: idle time and
// monitor power. Xlib's default handlers end the whole program on any X
// error (a protocol error it was not told to expect, or the server going
// away). On these connections an error is reported on standard error and the
// program goes on; a broken connection is marked lost and its users answer
// as if nothing could be asked (idle time 0, no power-off). Connections
// Xlib made for others keep their handlers.
class X11Display {
public:
    // nullptr when no X server answers.
    static std::unique_ptr<X11Display> Open(const char* displayName = nullptr);
    ~X11Display();
    X11Display(const X11Display&) = delete;
    X11Display& operator=(const X11Display&) = delete;

    // The Xlib Display*, for the calls of its user.
    void* Handle() const { return display_; }
    // The connection broke; nothing is sent on it any more.
    bool Lost() const { return lost_.load(); }

private:
    explicit X11Display(void* display) : display_(display) {}
    static void OnLost(void* display, void* self);

    void* display_;
    std::atomic<bool> lost_{false};
};

} // namespace lumora
