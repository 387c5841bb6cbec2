#pragma once

#include "platform/device/DdcBus.h"

#include <map>
#include <mutex>

namespace lumora {

// The DDC/CI calls over libddcutil, which knows the I2C buses, the monitors'
// timing rules and the retries. A thin adapter: it turns the library's
// displays into DdcDisplay records and its status codes into EOSError texts.
// Each read or write opens the display, makes the one call and closes it
// again. The library itself is loaded by the first detection that has an I2C
// device node under `deviceRoot` to look on.
class LibDdcutilBus : public DdcBus {
public:
    explicit LibDdcutilBus(QString deviceRoot = QStringLiteral("/dev"));
    ~LibDdcutilBus() override;

    std::vector<DdcDisplay> Detect() override;
    VcpReading Read(const QString& displayId, std::uint8_t feature) override;
    void Write(const QString& displayId, std::uint8_t feature, int value) override;

private:
    bool HasI2cDevices() const;
    void* Reference(const QString& displayId) const;

    QString deviceRoot_;
    mutable std::mutex mutex_;
    std::map<QString, void*> references_; // display id -> the library's display reference
};

// The video output ("DP-1") of the connector whose DDC channel is the given
// I2C bus, from the kernel's display connectors under `drmRoot`; empty when
// no connector names that bus.
QString ConnectorOfI2cBus(int bus, const QString& drmRoot = QStringLiteral("/sys/class/drm"));

} // namespace lumora
