#pragma once

#include <QByteArray>

namespace lumora {

// Every widget of this program paints in software into shared memory. Qt's
// Wayland platform before 6.8 still loads its EGL client-buffer integration,
// and with it the system's GL driver (some 50 MB resident), the first time a
// window asks whether it may draw its own title bar. Naming no integration
// keeps the driver out; the price is that Qt then draws no title bars itself,
// so it is paid only where the compositor draws them.

// What the choice rests on, read from the environment and the Qt in use.
struct WaylandBufferFacts {
    int QtVersion = 0;                 // QT_VERSION_CHECK form of the Qt loaded at run time
    bool UserChoseIntegration = false; // QT_WAYLAND_CLIENT_BUFFER_INTEGRATION is set, even empty
    QByteArray Platform;               // QT_QPA_PLATFORM
};

// Whether Qt might load the integration needlessly here: a Qt before 6.8
// that may pick its plain Wayland platform, and a user who named no
// integration of their own. The compositor is asked only when this holds.
bool MayKeepGraphicsDriverOut(const WaylandBufferFacts& facts);

// The compositor's answer: whether it draws title bars for the windows that
// let it (the xdg-decoration global), or is not there at all.
enum class CompositorDecorations { Unreachable, ClientDraws, CompositorDraws };
CompositorDecorations AskCompositorDecorations();

// Called once before the application object: when Qt would load the GL
// driver for nothing and the compositor draws the title bars, names no
// client-buffer integration for this process and silences the two warnings
// Qt gives for it. Returns whether it did.
bool KeepGraphicsDriverOutOfWayland();

} // namespace lumora
