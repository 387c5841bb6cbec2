#pragma once

#include "platform/shell/BrightnessBusService.h"

#include <QDBusConnection>
#include <QString>

namespace lumora {

// What the running copy answered over the session bus.
struct BrightnessBusAnswer {
    enum Outcome {
        Done,       // Level holds the level (after a set: the level set)
        NotRunning, // no copy has the interface (or there is no session bus)
        Refused,    // the copy refused the request: Message says why
        Failed,     // the call failed otherwise: Message says why
    };
    Outcome Result = Failed;
    int Level = -1;
    QString Message;
    BusMonitorList Monitors; // after ListRunningMonitors
};

// The running copy's Level property.
BrightnessBusAnswer ReadRunningLevel(QDBusConnection bus = QDBusConnection::sessionBus());
// Calls the running copy's SetLevel.
BrightnessBusAnswer SetRunningLevel(int level, QDBusConnection bus = QDBusConnection::sessionBus());
// Calls the running copy's Monitors.
BrightnessBusAnswer ListRunningMonitors(QDBusConnection bus = QDBusConnection::sessionBus());
// Calls the running copy's SetMonitorLevel.
BrightnessBusAnswer SetRunningMonitorLevel(const QString& id, int level,
                                           QDBusConnection bus = QDBusConnection::sessionBus());

} // namespace lumora
