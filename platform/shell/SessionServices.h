#pragma once

#include "platform/shell/IdleTime.h"
#include "platform/shell/MonitorPower.h"
#include "platform/shell/SessionChoice.h"

#include <memory>

namespace lumora {

class WaylandConnection;

// The idle time and monitor power of the session the program runs in,
// probed once at start-up.
struct SessionServices {
    std::shared_ptr<WaylandConnection> Wayland; // kept open for both services
    SessionFacts Facts;
    std::unique_ptr<IdleTimeSource> Idle;
    std::unique_ptr<DisplayPower> Power;        // null when the monitors cannot be switched off
};

// Probes the session and builds the preferred services. With wantIdle it
// builds the idle source and says on stderr, once, where the idle time comes
// from; without (another source stands in), Idle stays null.
SessionServices OpenSessionServices(bool wantIdle = true);

} // namespace lumora
