#include "platform/device/DdcMonitors.h"

#include "platform/device/BacklightDevice.h"
#include "platform/framework/Exception.h"

#include <algorithm>

namespace lumora {

// The slow half of a monitor's coalescing writer: one DDC/CI write, whose
// outcome goes back to the monitor set rather than up the worker, so that an
// outage is told once and the worker keeps trying the newest value.
class DdcMonitors::LuminanceWriter : public BrightnessWriter {
public:
    LuminanceWriter(std::shared_ptr<DdcBus> bus, DdcMonitors* owner) : bus_(std::move(bus)), owner_(owner) {}

    void Write(const BacklightDevice& device, int raw) override
    {
        QString failure;
        try {
            if (owner_->TakeReadFirst(device.Name) && bus_->Read(device.Name, kVcpLuminance).Current == raw) {
                owner_->WriteFinished(device.Name, raw, QString());
                return;
            }
            bus_->Write(device.Name, kVcpLuminance, raw);
        } catch (const Exception& e) {
            failure = e.Message();
        } catch (const std::exception& e) {
            failure = QString::fromLocal8Bit(e.what());
        }
        owner_->WriteFinished(device.Name, raw, failure);
    }

private:
    std::shared_ptr<DdcBus> bus_;
    DdcMonitors* owner_;
};

DdcMonitors::DdcMonitors(std::shared_ptr<DdcBus> bus) : bus_(std::move(bus)) {}

DdcMonitors::~DdcMonitors()
{
    {
        // No detection asked for now starts another after the one running.
        std::lock_guard lock(detectionMutex_);
        detectAgain_ = false;
        started_ = true;
    }
    if (detection_.joinable())
        detection_.join();
    std::map<QString, std::unique_ptr<CoalescingWriter>> writers;
    {
        std::lock_guard lock(mutex_);
        writers.swap(writers_);
    }
    writers.clear(); // each waits for its value in flight, outside the lock its worker reports under
}

void DdcMonitors::StartDetection()
{
    std::lock_guard lock(detectionMutex_);
    if (started_)
        return;
    started_ = true;
    detecting_ = true;
    detection_ = std::thread([this] { DetectWhileAsked(); });
}

void DdcMonitors::Redetect()
{
    std::unique_lock lock(detectionMutex_);
    if (detecting_) {
        detectAgain_ = true;
        return;
    }
    started_ = true;
    detecting_ = true;
    lock.unlock();
    // The thread of the detection before has finished: it ended detecting_.
    if (detection_.joinable())
        detection_.join();
    detection_ = std::thread([this] { DetectWhileAsked(); });
}

void DdcMonitors::DetectWhileAsked()
{
    for (;;) {
        Detect();
        std::lock_guard lock(detectionMutex_);
        if (!detectAgain_) {
            detecting_ = false;
            return;
        }
        detectAgain_ = false;
    }
}

QString DdcMonitors::FailureMessage(const DdcMonitorState& monitor)
{
    const QString name = monitor.Display.Model.isEmpty() ? monitor.Display.Id : monitor.Display.Model;
    return QStringLiteral("The monitor \"%1\" does not answer over DDC/CI: %2.").arg(name, monitor.Failure);
}

void DdcMonitors::Detect()
{
    // Monitors known to be settable are not read again: their worker may be
    // talking to them, and no monitor sees two calls at once.
    std::map<QString, DdcMonitorState> known;
    for (DdcMonitorState& monitor : Monitors()) {
        if (monitor.Maximum > 0)
            known[monitor.Display.Id] = std::move(monitor);
    }
    std::vector<DdcMonitorState> found;
    std::set<QString> kept;
    QStringList failures;
    try {
        for (DdcDisplay& display : bus_->Detect()) {
            const auto same = known.find(display.Id);
            if (same != known.end() && same->second.Display.Model == display.Model &&
                same->second.Display.Serial == display.Serial) {
                found.push_back(same->second);
                kept.insert(display.Id);
                continue;
            }
            DdcMonitorState monitor;
            monitor.Display = std::move(display);
            try {
                const VcpReading reading = bus_->Read(monitor.Display.Id, kVcpLuminance);
                if (reading.Maximum <= 0)
                    throw EOSError(QStringLiteral("it reports a maximum brightness of %1").arg(reading.Maximum));
                monitor.Maximum = reading.Maximum;
                monitor.CurrentPercent = RawToPercent(reading.Current, reading.Maximum);
                monitor.Answering = true;
            } catch (const Exception& e) {
                monitor.Failure = e.Message();
                failures << FailureMessage(monitor);
            }
            found.push_back(std::move(monitor));
        }
    } catch (const Exception& e) {
        // Said once; the monitors known stay as they were.
        if (!detected_)
            failures << QStringLiteral("DDC/CI monitors cannot be detected: %1").arg(e.Message());
        found.clear();
        for (auto& [id, monitor] : known) {
            found.push_back(monitor);
            kept.insert(id);
        }
    }

    std::vector<std::unique_ptr<CoalescingWriter>> gone;
    {
        std::lock_guard lock(mutex_);
        // A monitor detected again but still silent is not named again.
        if (detected_) {
            for (const DdcMonitorState& before : monitors_) {
                if (before.Answering)
                    continue;
                for (const DdcMonitorState& now : found) {
                    if (now.Display.Id == before.Display.Id && !now.Answering)
                        failures.removeAll(FailureMessage(now));
                }
            }
        }
        // A monitor kept as it was: as its worker left it meanwhile.
        for (DdcMonitorState& monitor : found) {
            if (!kept.contains(monitor.Display.Id))
                continue;
            for (const DdcMonitorState& now : monitors_) {
                if (now.Display.Id == monitor.Display.Id)
                    monitor = now;
            }
        }
        monitors_ = std::move(found);
        for (auto writer = writers_.begin(); writer != writers_.end();) {
            const bool stays = std::any_of(monitors_.begin(), monitors_.end(), [&](const DdcMonitorState& m) {
                return m.Maximum > 0 && m.Display.Id == writer->first;
            });
            if (stays) {
                ++writer;
            } else {
                gone.push_back(std::move(writer->second));
                writer = writers_.erase(writer);
            }
        }
        for (const DdcMonitorState& monitor : monitors_) {
            if (monitor.Maximum > 0 && !writers_.contains(monitor.Display.Id))
                writers_[monitor.Display.Id] = std::make_unique<CoalescingWriter>(std::make_unique<LuminanceWriter>(bus_, this));
        }
    }
    // Each waits for its value in flight, outside the lock its worker reports under.
    gone.clear();
    const bool again = detected_.exchange(true);
    for (const QString& failure : failures)
        emit MonitorFailed(failure);
    if (again)
        emit MonitorsChanged();
    emit DetectionFinished();
}

std::vector<DdcMonitorState> DdcMonitors::Monitors() const
{
    std::lock_guard lock(mutex_);
    return monitors_;
}

void DdcMonitors::WritePercent(const QString& displayId, int percent)
{
    std::lock_guard lock(mutex_);
    const auto writer = writers_.find(displayId);
    if (writer == writers_.end())
        throw EOSError(QStringLiteral("The DDC/CI display %1 is not available.").arg(displayId));
    for (const DdcMonitorState& monitor : monitors_) {
        if (monitor.Display.Id == displayId) {
            // The device record carries what the worker needs: the display and its range.
            writer->second->Write(BacklightDevice{displayId, displayId, btRaw, monitor.Maximum},
                                  PercentToRaw(percent, monitor.Maximum));
            return;
        }
    }
}

void DdcMonitors::EnsurePercent(const QString& displayId, int percent)
{
    {
        std::lock_guard lock(mutex_);
        readFirst_.insert(displayId);
    }
    WritePercent(displayId, percent);
}

bool DdcMonitors::TakeReadFirst(const QString& displayId)
{
    std::lock_guard lock(mutex_);
    return readFirst_.erase(displayId) > 0;
}

void DdcMonitors::Flush()
{
    std::vector<CoalescingWriter*> writers;
    {
        std::lock_guard lock(mutex_);
        for (auto& [id, writer] : writers_)
            writers.push_back(writer.get());
    }
    for (CoalescingWriter* writer : writers)
        writer->Flush();
}

void DdcMonitors::WriteFinished(const QString& displayId, int raw, const QString& failure)
{
    QString message;
    bool changed = false;
    {
        std::lock_guard lock(mutex_);
        for (DdcMonitorState& monitor : monitors_) {
            if (monitor.Display.Id != displayId)
                continue;
            if (failure.isEmpty()) {
                monitor.CurrentPercent = RawToPercent(raw, monitor.Maximum);
                changed = !monitor.Answering;
                monitor.Answering = true;
                monitor.Failure.clear();
            } else if (monitor.Answering) {
                monitor.Answering = false;
                monitor.Failure = failure;
                message = FailureMessage(monitor);
                changed = true;
            }
        }
    }
    if (!message.isEmpty())
        emit MonitorFailed(message);
    if (changed)
        emit MonitorsChanged();
}

} // namespace lumora
