#pragma once

#include "platform/device/BacklightDevice.h"

namespace lumora {

// Puts one raw brightness value into a device. Each call writes, even when the
// device already holds the value: every step of a moving control is a write.
class BrightnessWriter {
public:
    virtual ~BrightnessWriter() = default;
    // Raises EOSError with the device path and the system's text on failure.
    virtual void Write(const BacklightDevice& device, int raw) = 0;
};

} // namespace lumora
