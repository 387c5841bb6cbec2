#pragma once

#include "platform/device/BrightnessWriter.h"
#include "platform/device/LogindSession.h"

#include <memory>

namespace lumora {

// Writes "brightness" in the device folder directly when the file may be
// written; when it may not (a desktop user without write access), asks the
// login manager to set it. Without a login session the permission error is
// raised as it is.
class SysfsBrightnessWriter : public BrightnessWriter {
public:
    explicit SysfsBrightnessWriter(std::shared_ptr<const LogindSession> logind = nullptr)
        : logind_(std::move(logind))
    {
    }

    void Write(const BacklightDevice& device, int raw) override;

private:
    std::shared_ptr<const LogindSession> logind_;
};

} // namespace lumora
