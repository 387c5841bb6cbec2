#pragma once

#include <QString>

#include <cstdint>
#include <vector>

namespace lumora {

// The VCP feature of a monitor's luminance (its brightness).
inline constexpr std::uint8_t kVcpLuminance = 0x10;

// One monitor that answers on a DDC/CI channel, as detection found it.
struct DdcDisplay {
    QString Id;        // stable within one run: the I2C bus ("i2c-4") or the stand-in folder
    QString Model;     // the EDID model name
    QString Serial;    // the EDID serial text; may be empty
    QString Connector; // the video output, such as "DP-1"; empty when unknown
};

// A continuous VCP feature's value and the maximum the monitor reports.
struct VcpReading {
    int Current = 0;
    int Maximum = 0;
};

// The DDC/CI calls the program makes: detection of the monitors and the read
// and write of one continuous VCP feature. Each call may take hundreds of
// milliseconds; the caller never makes two calls on one display at once and
// never calls from the user-interface thread. Failures raise EOSError with
// the reason.
class DdcBus {
public:
    virtual ~DdcBus() = default;
    virtual std::vector<DdcDisplay> Detect() = 0;
    virtual VcpReading Read(const QString& displayId, std::uint8_t feature) = 0;
    virtual void Write(const QString& displayId, std::uint8_t feature, int value) = 0;
    // Why DDC/CI cannot be used on this machine at all (its library is not
    // installed, say), once detection has tried; empty when it can. Not a
    // failure to report: a machine without DDC/CI is an ordinary machine.
    virtual QString Unavailable() const { return QString(); }
};

} // namespace lumora
