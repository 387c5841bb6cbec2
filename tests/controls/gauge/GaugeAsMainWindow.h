#pragma once

// The gauge as the main window configures it, for the painting tests.

#include "controls/gauge/AdvSmoothGauge.h"

#include <QApplication>
#include <QResizeEvent>

namespace lumora::test {

// Style 4, Tahoma, 11 levels.
inline void ConfigureAsMainWindow(TAdvSmoothGauge& gauge)
{
    gauge.ApplyColorStyle(4);
    gauge.OuterCircle().SetWidth(0.03);
    gauge.OuterRim().SetWidth(2);
    gauge.Arc().SetWidth(0.03);
    gauge.Arc().Threshold().SetCenter(25.0);
    gauge.Arc().Threshold().SetEndValue(100.0);
    gauge.Font().SetName("Tahoma");
    gauge.ValueFont().SetName("Tahoma");
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
