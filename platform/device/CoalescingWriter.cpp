#include "platform/device/CoalescingWriter.h"

#include <cstdio>

namespace lumora {

CoalescingWriter::CoalescingWriter(std::unique_ptr<BrightnessWriter> slow)
    : slow_(std::move(slow)), worker_([this] { Run(); })
{
}

CoalescingWriter::~CoalescingWriter()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    worker_.join();
    // Nobody is left to raise a last failure to; say it rather than lose it.
    if (failure_) {
        try {
            std::rethrow_exception(failure_);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "lumora: the last brightness write failed: %s\n", e.what());
        } catch (...) {
            std::fputs("lumora: the last brightness write failed\n", stderr);
        }
    }
}

void CoalescingWriter::RaisePendingFailure(std::unique_lock<std::mutex>&)
{
    if (failure_) {
        std::exception_ptr failure = std::exchange(failure_, nullptr);
        std::rethrow_exception(failure);
    }
}

void CoalescingWriter::Write(const BacklightDevice& device, int raw)
{
    std::unique_lock lock(mutex_);
    RaisePendingFailure(lock);
    pending_ = Pending{device, raw};
    lock.unlock();
    wake_.notify_one();
}

void CoalescingWriter::Flush()
{
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return !pending_ && !busy_; });
    RaisePendingFailure(lock);
}

void CoalescingWriter::Run()
{
    std::unique_lock lock(mutex_);
    while (true) {
        wake_.wait(lock, [this] { return pending_ || stopping_; });
        if (!pending_)
            return;
        Pending next = std::move(*pending_);
        pending_.reset();
        busy_ = true;
        lock.unlock();
        std::exception_ptr failure;
        try {
            slow_->Write(next.device, next.raw);
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        busy_ = false;
        if (failure)
            failure_ = failure;
        idle_.notify_all();
    }
}

} // namespace lumora
