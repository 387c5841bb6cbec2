#pragma once

#include "platform/device/DdcBus.h"

#include <map>
#include <mutex>

namespace lumora {

// The file name of libddcutil's shared library for a major version of its
// interface (1: "libddcutil.so.4", 2: "libddcutil.so.5"); empty for one the
// program does not know.
QString DdcutilSoname(int majorVersion);
// The one of the headers the program was built with: only that library has
// the structures the program reads.
QString BuiltDdcutilSoname();

// The DDC/CI calls over libddcutil, which knows the I2C buses, the monitors'
// timing rules and the retries. A thin adapter: it turns the library's
// displays into DdcDisplay records and its status codes into EOSError texts.
// Each read or write opens the display, makes the one call and closes it
// again. The library itself is loaded by the first detection that has an I2C
// device node under `deviceRoot` to look on: `library` names it, by soname
// (looked up as the system looks up libraries) or by path. A library that
// cannot be loaded, or whose version is not the one built against, leaves
// DDC/CI unavailable: detection finds nothing and Unavailable() says why,
// once on standard error too.
class LibDdcutilBus : public DdcBus {
public:
    explicit LibDdcutilBus(QString deviceRoot = QStringLiteral("/dev"), QString library = BuiltDdcutilSoname());
    ~LibDdcutilBus() override;

    std::vector<DdcDisplay> Detect() override;
    QString Unavailable() const override;
    VcpReading Read(const QString& displayId, std::uint8_t feature) override;
    void Write(const QString& displayId, std::uint8_t feature, int value) override;

private:
    bool HasI2cDevices() const;
    void* Reference(const QString& displayId) const;

    QString deviceRoot_;
    QString library_;
    mutable std::mutex mutex_;
    QString unavailable_; // why the library cannot be used, once it was tried
    std::map<QString, void*> references_; // display id -> the library's display reference
    bool detectedBefore_ = false;
};

// The video output ("DP-1") of the connector whose DDC channel is the given
// I2C bus, from the kernel's display connectors under `drmRoot`; empty when
// no connector names that bus.
QString ConnectorOfI2cBus(int bus, const QString& drmRoot = QStringLiteral("/sys/class/drm"));

} // namespace lumora
