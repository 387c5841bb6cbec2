#pragma once

#include "platform/device/DdcBus.h"

#include <map>
#include <mutex>

namespace lumora {

// The DDC/CI calls over libddcutil, which knows the I2C buses, the monitors'
// timing rules and the retries. A thin adapter: it turns the library's
// displays into DdcDisplay records and its status codes into EOSError texts.
// Each read or write opens the display, makes the one call and closes it
// again.
class LibDdcutilBus : public DdcBus {
public:
    LibDdcutilBus();
    ~LibDdcutilBus() override;

    std::vector<DdcDisplay> Detect() override;
    VcpReading Read(const QString& displayId, std::uint8_t feature) override;
    void Write(const QString& displayId, std::uint8_t feature, int value) override;

private:
    void* Reference(const QString& displayId) const;

    mutable std::mutex mutex_;
    std::map<QString, void*> references_; // display id -> the library's display reference
};

// The video output ("DP-1") of the connector whose DDC channel is the given
// I2C bus, from the kernel's display connectors under `drmRoot`; empty when
// no connector names that bus.
QString ConnectorOfI2cBus(int bus, const QString& drmRoot = QStringLiteral("/sys/class/drm"));

} // namespace lumora
