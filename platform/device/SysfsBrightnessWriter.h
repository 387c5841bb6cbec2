#pragma once

#include "platform/device/BrightnessWriter.h"
#include "platform/device/LogindSession.h"

#include <memory>

namespace lumora {

class CoalescingWriter;

// Writes "brightness" in the device folder directly when the file may be
// written (microseconds, on the caller's thread); when it may not (a desktop
// user without write access), asks the login manager to set it. The login
// manager is asked from one worker thread that keeps only the newest value
// waiting, so the window never waits on the system bus; its failure is
// raised by the next Write (or by Flush). Without a login session the
// permission error is raised as it is.
class SysfsBrightnessWriter : public BrightnessWriter {
public:
    explicit SysfsBrightnessWriter(std::shared_ptr<const LogindSession> logind = nullptr);
    // Lets the login manager take the value handed to it last.
    ~SysfsBrightnessWriter() override;

    void Write(const BacklightDevice& device, int raw) override;
    // Waits until the login manager has taken every value handed to it;
    // raises its failure, if any.
    void Flush();

private:
    class LogindWriter;

    std::shared_ptr<const LogindSession> logind_;
    LogindWriter* viaLogind_ = nullptr;        // owned by worker_
    std::unique_ptr<CoalescingWriter> worker_; // started at the first denied write
};

} // namespace lumora
