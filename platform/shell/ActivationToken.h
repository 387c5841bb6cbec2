#pragma once

#include <QByteArray>

namespace lumora {

// The token a surplus copy hands to the first copy so that a Wayland
// compositor lets that one come forward: the launcher's own
// (XDG_ACTIVATION_TOKEN) when it gave one, else a fresh one from the
// compositor (xdg-activation-v1). Empty outside Wayland or when the
// compositor has none to give.
QByteArray LaunchActivationToken();

// Whether the text can be an activation token: 1 to 256 printable ASCII
// characters without spaces.
bool IsActivationToken(const QByteArray& text);

// Hands a received token to the window system for the next activation.
void UseActivationToken(const QByteArray& token);

} // namespace lumora
