#pragma once

#include "platform/device/BrightnessTargets.h"
#include "platform/device/WbemObject.h"

#include <QString>

#include <optional>

namespace lumora {

// The two monitor brightness classes of "root\wmi", as every brightness
// provider answers them: WmiMonitorBrightness (Active, CurrentBrightness,
// InstanceName, Level, Levels) and WmiMonitorBrightnessMethods with its
// WmiSetBrightness(Brightness, Timeout) method.
inline const QString kMonitorBrightnessClass = QStringLiteral("WmiMonitorBrightness");
inline const QString kMonitorBrightnessMethodsClass = QStringLiteral("WmiMonitorBrightnessMethods");
inline const QString kSetBrightnessMethod = QStringLiteral("WmiSetBrightness");
inline const QString kInstanceNameKey = QStringLiteral("InstanceName");

// The definition of either class (built once); raises "Invalid class" for
// any other name.
const WbemObject& MonitorBrightnessClassDefinition(const QString& className);

// An instance of WmiMonitorBrightness for one monitor with `levels` evenly
// spaced percent levels and its current brightness in percent.
std::shared_ptr<WbemObject> MonitorBrightnessInstance(const QString& instanceName, bool active, int currentPercent,
                                                      int levels);
inline std::shared_ptr<WbemObject> MonitorBrightnessInstance(const BrightnessReading& reading, bool active)
{
    return MonitorBrightnessInstance(reading.Instance, active, reading.Percent, reading.Levels);
}

// An instance of WmiMonitorBrightnessMethods with in-parameters of its own.
std::shared_ptr<WbemObject> MonitorBrightnessMethodsInstance(const QString& instanceName, bool active);

// Checks a WmiSetBrightness call and returns the asked percent (0..100);
// raises the management errors for a wrong class, method, key or parameter.
int RequestedBrightnessPercent(const QString& className, const QString& keyName, const QString& methodName,
                               const WbemObject* inParameters);

} // namespace lumora
