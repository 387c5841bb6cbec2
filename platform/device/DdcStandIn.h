#pragma once

#include "platform/device/DdcBus.h"

namespace lumora {

// A folder that plays a set of DDC/CI monitors, for tests and for machines
// without such monitors. Each subfolder is one monitor holding small text
// files:
//   model, serial, connector   its identity (connector optional)
//   brightness, max_brightness the luminance value and its maximum
//   delay_ms                   how long every call takes (optional, default 0)
//   fail                       when it holds a non-zero number, every call
//                              fails as a monitor that does not answer
//   writes                     when it exists, every value written is added
//                              to it, one a line (what the monitor was told,
//                              in order)
// Reads and writes go to the files at each call, so a test can switch a
// monitor off or look at what was written at any time.
class DdcStandIn : public DdcBus {
public:
    explicit DdcStandIn(QString root) : root_(std::move(root)) {}

    const QString& Root() const { return root_; }

    std::vector<DdcDisplay> Detect() override;
    VcpReading Read(const QString& displayId, std::uint8_t feature) override;
    void Write(const QString& displayId, std::uint8_t feature, int value) override;

private:
    QString Folder(const QString& displayId) const;
    // Waits the monitor's delay, then raises its failure if it is switched on.
    void Answer(const QString& folder) const;

    QString root_;
};

} // namespace lumora
