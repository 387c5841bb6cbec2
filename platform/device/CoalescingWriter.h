#pragma once

#include "platform/device/BrightnessWriter.h"

#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace lumora {

// Puts a slow device (a monitor over DDC/CI takes 50 to 500 ms per call and
// must never see two calls at once) behind one worker thread. Write returns at
// once; while the device is busy only the newest pending value is kept, so a
// moving needle never queues up stale steps. A failure of the worker is raised
// by the next Write (or by Flush), so it reaches the user all the same.
class CoalescingWriter : public BrightnessWriter {
public:
    explicit CoalescingWriter(std::unique_ptr<BrightnessWriter> slow);
    // Lets the value being written finish, drops nothing that was pending and
    // stops the worker. A failure nobody collected goes to stderr.
    ~CoalescingWriter() override;

    void Write(const BacklightDevice& device, int raw) override;
    // Waits until every accepted value has reached the device; raises a
    // pending failure.
    void Flush();

private:
    struct Pending {
        BacklightDevice device;
        int raw;
    };

    void Run();
    void RaisePendingFailure(std::unique_lock<std::mutex>& lock);

    std::unique_ptr<BrightnessWriter> slow_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::optional<Pending> pending_;
    bool busy_ = false;
    bool stopping_ = false;
    std::exception_ptr failure_;
    std::thread worker_;
};

} // namespace lumora
