#include "platform/shell/WaylandBuffers.h"

#include <QList>
#include <QString>
#include <QtGlobal>

#include <wayland-client.h>

#include <cstring>

namespace lumora {

namespace {

constexpr char kIntegrationVariable[] = "QT_WAYLAND_CLIENT_BUFFER_INTEGRATION";
// Not the name of any integration: Qt finds none and uses shared memory.
constexpr char kNoIntegration[] = "none";

QtMessageHandler g_previousHandler = nullptr;

// Qt says twice that the integration named was not found; that is what was
// asked for. Everything else goes on to the handler that was there before.
void DropMissingIntegrationNotes(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && context.category && std::strcmp(context.category, "qt.qpa.wayland") == 0 &&
        (message.startsWith(QLatin1String("Failed to load client buffer integration")) ||
         message.startsWith(QLatin1String("Available client buffer integrations"))))
        return;
    g_previousHandler(type, context, message);
}

void OnGlobal(void* data, wl_registry*, uint32_t, const char* interface, uint32_t)
{
    if (std::strcmp(interface, "zxdg_decoration_manager_v1") == 0)
        *static_cast<bool*>(data) = true;
}

void OnGlobalRemove(void*, wl_registry*, uint32_t) {}

} // namespace

bool MayKeepGraphicsDriverOut(const WaylandBufferFacts& facts)
{
    // Qt 6.8 and later no longer load the integration to decide on title bars.
    if (facts.QtVersion >= QT_VERSION_CHECK(6, 8, 0) || facts.UserChoseIntegration)
        return false;
    if (facts.Platform.isEmpty())
        return true;
    // A list ("wayland;xcb") is tried in order; "wayland-egl" asks for EGL by name.
    for (const QByteArray& entry : facts.Platform.split(';')) {
        if (entry.split(':').first().trimmed() == "wayland")
            return true;
    }
    return false;
}

CompositorDecorations AskCompositorDecorations()
{
    wl_display* display = wl_display_connect(nullptr);
    if (!display)
        return CompositorDecorations::Unreachable;
    bool decorationManager = false;
    static const wl_registry_listener listener = {OnGlobal, OnGlobalRemove};
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &listener, &decorationManager);
    const bool answered = wl_display_roundtrip(display) >= 0;
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    if (!answered)
        return CompositorDecorations::Unreachable;
    return decorationManager ? CompositorDecorations::CompositorDraws : CompositorDecorations::ClientDraws;
}

bool KeepGraphicsDriverOutOfWayland()
{
    WaylandBufferFacts facts;
    const QByteArray running(qVersion());
    const QList<QByteArray> parts = running.split('.');
    facts.QtVersion = QT_VERSION_CHECK(parts.value(0).toInt(), parts.value(1).toInt(), parts.value(2).toInt());
    facts.UserChoseIntegration = qEnvironmentVariableIsSet(kIntegrationVariable);
    facts.Platform = qgetenv("QT_QPA_PLATFORM");
    if (!MayKeepGraphicsDriverOut(facts))
        return false;
    // Where the program would have to draw its own title bars (GNOME's
    // Mutter offers no server-side ones), Qt needs the integration for them.
    if (AskCompositorDecorations() != CompositorDecorations::CompositorDraws)
        return false;
    qputenv(kIntegrationVariable, kNoIntegration);
    // Qt hands back its own default handler when none was installed.
    g_previousHandler = qInstallMessageHandler(DropMissingIntegrationNotes);
    return true;
}

} // namespace lumora
