#pragma once

#include <QString>

namespace lumora {

// What the program sets: the brightness of a monitor, named by its instance
// name, in percent (0..100). This is the write path; the management classes
// beside it answer queries.
class BrightnessTargets {
public:
    virtual ~BrightnessTargets() = default;

    // Sets the monitor named `instance`. Never waits on a slow device (a
    // monitor over DDC/CI, the login manager, a desktop service): those take
    // the newest value on a worker of their own and raise a failure with the
    // next call. Raises the device's error, and "Not found" for a monitor
    // that is not there.
    virtual void SetPercent(const QString& instance, int percent) = 0;
};

} // namespace lumora
