#pragma once

// The gauge as the main window configures it, for the painting tests.

#include "controls/gauge/AdvSmoothGauge.h"
#include "core/MainWindowLook.h"

#include <QApplication>
#include <QResizeEvent>

namespace lumora::test {

// The main window's look, with the range and value format the window gives
// the gauge for 11 levels.
inline void ConfigureAsMainWindow(TAdvSmoothGauge& gauge)
{
    ApplyMainWindowGaugeLook(gauge);
    gauge.SetMinimumValue(0);
    gauge.SetMaximumValue(10);
    gauge.SetValueFormat("00.00");
}

// Tells the gauge its size as a window resize would.
inline void SendResize(TAdvSmoothGauge& gauge)
{
    QResizeEvent event(gauge.size(), gauge.size());
    QApplication::sendEvent(&gauge, &event);
}

} // namespace lumora::test
