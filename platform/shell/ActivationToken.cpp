#include "platform/shell/ActivationToken.h"

#include "xdg-activation-v1-client-protocol.h"

#include <QtGlobal>

#include <wayland-client.h>

#include <algorithm>
#include <cstring>

namespace lumora {

namespace {

constexpr int kMaxTokenLength = 256;

struct Request {
    xdg_activation_v1* activation = nullptr;
    QByteArray token;
    bool done = false;
};

void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t)
{
    if (std::strcmp(interface, xdg_activation_v1_interface.name) == 0)
        static_cast<Request*>(data)->activation =
            static_cast<xdg_activation_v1*>(wl_registry_bind(registry, name, &xdg_activation_v1_interface, 1));
}

void OnGlobalRemove(void*, wl_registry*, uint32_t) {}

void OnDone(void* data, xdg_activation_token_v1*, const char* token)
{
    auto* request = static_cast<Request*>(data);
    request->token = QByteArray(token);
    request->done = true;
}

QByteArray TokenFromCompositor()
{
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr)
        return {};
    Request request;
    static const wl_registry_listener registryListener = {OnGlobal, OnGlobalRemove};
    static const xdg_activation_token_v1_listener tokenListener = {OnDone};
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, &request);
    wl_display_roundtrip(display);
    if (request.activation) {
        xdg_activation_token_v1* token = xdg_activation_v1_get_activation_token(request.activation);
        xdg_activation_token_v1_add_listener(token, &tokenListener, &request);
        xdg_activation_token_v1_set_app_id(token, "lumora");
        xdg_activation_token_v1_commit(token);
        // The answer is one event away; a compositor that stops answering
        // ends the connection and the loop with it.
        while (!request.done && wl_display_dispatch(display) >= 0) {
        }
        xdg_activation_token_v1_destroy(token);
        xdg_activation_v1_destroy(request.activation);
    }
    wl_registry_destroy(registry);
    wl_display_flush(display);
    wl_display_disconnect(display);
    return request.token;
}

} // namespace

bool IsActivationToken(const QByteArray& text)
{
    return !text.isEmpty() && text.size() <= kMaxTokenLength &&
           std::all_of(text.begin(), text.end(), [](char c) { return c > ' ' && c <= '~'; });
}

QByteArray LaunchActivationToken()
{
    const QByteArray launcher = qgetenv("XDG_ACTIVATION_TOKEN");
    if (IsActivationToken(launcher))
        return launcher;
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return {};
    const QByteArray fresh = TokenFromCompositor();
    return IsActivationToken(fresh) ? fresh : QByteArray();
}

void UseActivationToken(const QByteArray& token)
{
    // Qt's Wayland shell integration takes the token from here on the next
    // activation request and clears it.
    if (IsActivationToken(token))
        qputenv("XDG_ACTIVATION_TOKEN", token);
}

} // namespace lumora
