#include "platform/device/DdcMonitors.h"

#include "platform/device/BacklightDevice.h"
#include "platform/framework/Exception.h"

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
    if (started_)
        return;
    started_ = true;
    detection_ = std::thread([this] { Detect(); });
}

QString DdcMonitors::FailureMessage(const DdcMonitorState& monitor)
{
    const QString name = monitor.Display.Model.isEmpty() ? monitor.Display.Id : monitor.Display.Model;
    return QStringLiteral("The monitor \"%1\" does not answer over DDC/CI: %2.").arg(name, monitor.Failure);
}

void DdcMonitors::Detect()
{
    std::vector<DdcMonitorState> found;
    QStringList failures;
    try {
        for (DdcDisplay& display : bus_->Detect()) {
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
        failures << QStringLiteral("DDC/CI monitors cannot be detected: %1").arg(e.Message());
    }

    {
        std::lock_guard lock(mutex_);
        monitors_ = std::move(found);
        for (const DdcMonitorState& monitor : monitors_) {
            if (monitor.Answering)
                writers_[monitor.Display.Id] = std::make_unique<CoalescingWriter>(std::make_unique<LuminanceWriter>(bus_, this));
        }
    }
    detected_ = true;
    for (const QString& failure : failures)
        emit MonitorFailed(failure);
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
