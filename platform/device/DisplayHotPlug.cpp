#include "platform/device/DisplayHotPlug.h"

#include "platform/device/MonitorSetProvider.h"
#include "platform/framework/Exception.h"

#include <cstdio>

namespace lumora {

DisplayHotPlug::DisplayHotPlug(int settleMs)
    // Any event of the subsystem counts: a connector's "change" (the usual
    // one), a card or connector added or removed.
    : watch_("drm", QStringLiteral("Cannot listen for monitors plugged in or out"),
             [](const QString&, const QString&) {}, [this] { Noticed(); })
{
    settle_.setSingleShot(true);
    settle_.setInterval(settleMs);
    connect(&settle_, &QTimer::timeout, this, &DisplayHotPlug::Settled);
}

DisplayHotPlug::~DisplayHotPlug() = default;

void DisplayHotPlug::Noticed()
{
    // Each event of a burst starts the wait again.
    settle_.start();
}

std::unique_ptr<DisplayHotPlug> RedetectOnHotPlug(MonitorSetProvider& monitors)
{
    std::unique_ptr<DisplayHotPlug> hotPlug;
    try {
        hotPlug = std::make_unique<DisplayHotPlug>();
    } catch (const Exception& e) {
        std::fprintf(stderr, "lumora: %s; monitors plugged in later are not found\n", qPrintable(e.Message()));
        return nullptr;
    }
    QObject::connect(hotPlug.get(), &DisplayHotPlug::Settled, &monitors, &MonitorSetProvider::Redetect);
    return hotPlug;
}

} // namespace lumora
