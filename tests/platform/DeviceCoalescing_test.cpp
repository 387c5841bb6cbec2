#include "platform/device/CoalescingWriter.h"
#include "platform/framework/Exception.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

using namespace lumora;

namespace {

// A device that takes its time over every call and notices overlapping calls.
class SlowDevice : public BrightnessWriter {
public:
    explicit SlowDevice(std::chrono::milliseconds delay) : delay_(delay) {}

    void Write(const BacklightDevice&, int raw) override
    {
        if (inside_.fetch_add(1) != 0)
            overlapped_ = true;
        std::this_thread::sleep_for(delay_);
        {
            std::lock_guard lock(mutex_);
            written_.push_back(raw);
        }
        inside_.fetch_sub(1);
        if (raw == failOn)
            throw EOSError("Cannot write the monitor: Input/output error");
    }

    std::vector<int> Written()
    {
        std::lock_guard lock(mutex_);
        return written_;
    }

    int failOn = -1;
    std::atomic<bool> overlapped_ = false;

private:
    std::chrono::milliseconds delay_;
    std::atomic<int> inside_ = 0;
    std::mutex mutex_;
    std::vector<int> written_;
};

} // namespace

TEST(DeviceCoalescing, KeepsOnlyTheNewestPendingValueAndNeverOverlaps)
{
    auto slow = std::make_unique<SlowDevice>(std::chrono::milliseconds(20));
    SlowDevice* device = slow.get();
    CoalescingWriter writer(std::move(slow));
    const BacklightDevice monitor{"ddc", "ddc", btRaw, 100};
    for (int v = 1; v <= 100; ++v)
        writer.Write(monitor, v);
    writer.Flush();
    const std::vector<int> written = device->Written();
    ASSERT_FALSE(written.empty());
    EXPECT_EQ(written.back(), 100) << "the last value always arrives";
    EXPECT_LT(written.size(), 10u) << "stale steps are dropped while the device is busy";
    EXPECT_TRUE(std::is_sorted(written.begin(), written.end()));
    EXPECT_FALSE(device->overlapped_);
}

TEST(DeviceCoalescing, AWorkerFailureIsRaisedByTheNextCall)
{
    auto slow = std::make_unique<SlowDevice>(std::chrono::milliseconds(1));
    slow->failOn = 13;
    CoalescingWriter writer(std::move(slow));
    const BacklightDevice monitor{"ddc", "ddc", btRaw, 100};
    writer.Write(monitor, 13);
    EXPECT_THROW(writer.Flush(), EOSError);
    EXPECT_NO_THROW(writer.Flush()) << "reported once";
    writer.Write(monitor, 13);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_THROW(writer.Write(monitor, 20), EOSError);
    writer.Write(monitor, 20);
    EXPECT_NO_THROW(writer.Flush());
}

TEST(DeviceCoalescing, DestructionFinishesThePendingValue)
{
    auto slow = std::make_unique<SlowDevice>(std::chrono::milliseconds(10));
    SlowDevice* device = slow.get();
    std::vector<int> written;
    {
        CoalescingWriter writer(std::move(slow));
        const BacklightDevice monitor{"ddc", "ddc", btRaw, 100};
        writer.Write(monitor, 1);
        writer.Write(monitor, 2);
        writer.Write(monitor, 3);
        // The writer goes; the device object goes with it, so read through a
        // flush first.
        writer.Flush();
        written = device->Written();
    }
    EXPECT_EQ(written.back(), 3);
}
