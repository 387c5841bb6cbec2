#pragma once

#include "platform/device/CoalescingWriter.h"
#include "platform/device/DdcBus.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace lumora {

// What the program knows of one DDC/CI monitor.
struct DdcMonitorState {
    DdcDisplay Display;
    int Maximum = 0;        // the monitor's maximum luminance value; 0 when it never answered
    int CurrentPercent = 0; // the last value read or written, in percent of Maximum
    bool Answering = false;
    QString Failure;        // why it does not answer
};

// The DDC/CI monitors of the machine. Detection runs on a thread of its own
// (a monitor takes up to half a second per call); the luminance values go
// through one coalescing worker per monitor, so no bus ever sees two calls at
// once and the user-interface thread never waits for a monitor. Signals are
// sent from those threads; receivers on the user-interface thread get them
// queued.
class DdcMonitors : public QObject {
    Q_OBJECT
public:
    explicit DdcMonitors(std::shared_ptr<DdcBus> bus);
    // Lets the detection and the values in flight finish.
    ~DdcMonitors() override;

    // Starts the detection once; further calls do nothing.
    void StartDetection();
    // Looks for the monitors again (one was plugged in or out), in the
    // background as at start-up; a call while a detection runs gives one
    // more after it. Monitors still there keep their state and worker,
    // those found anew are read and get one; those gone leave the list.
    // MonitorsChanged and DetectionFinished follow.
    void Redetect();
    bool Detected() const { return detected_; }
    // Why DDC/CI cannot be used on this machine at all, after detection;
    // empty when it can.
    QString Unavailable() const { return bus_->Unavailable(); }
    // A snapshot, in detection order; empty before detection has finished.
    std::vector<DdcMonitorState> Monitors() const;

    // Hands a luminance value in percent (0 keeps the monitor lit) to the
    // monitor's worker and returns at once. Raises EOSError for a display
    // that detection did not find or that never answered.
    void WritePercent(const QString& displayId, int percent);
    // As WritePercent, but the worker first reads the monitor and writes
    // only when it shows another value (after resume, when the monitor may
    // or may not have lost its value).
    void EnsurePercent(const QString& displayId, int percent);
    // Waits until every value handed in has reached its monitor (or failed).
    void Flush();

    // "The monitor "X" does not answer over DDC/CI: <reason>."
    static QString FailureMessage(const DdcMonitorState& monitor);

signals:
    void DetectionFinished();
    // Once per outage of a monitor, with FailureMessage's text.
    void MonitorFailed(const QString& message);
    // A monitor stopped or started answering.
    void MonitorsChanged();

private:
    class LuminanceWriter;

    void Detect();
    // Detections, one after another while more are asked for.
    void DetectWhileAsked();
    void WriteFinished(const QString& displayId, int raw, const QString& failure);
    // Whether the next call to that monitor is to read it first; clears it.
    bool TakeReadFirst(const QString& displayId);

    std::shared_ptr<DdcBus> bus_;
    mutable std::mutex mutex_;
    std::vector<DdcMonitorState> monitors_;
    std::map<QString, std::unique_ptr<CoalescingWriter>> writers_;
    std::set<QString> readFirst_;
    std::atomic<bool> detected_ = false;
    std::mutex detectionMutex_;
    bool started_ = false;
    bool detecting_ = false;
    bool detectAgain_ = false;
    std::thread detection_;
};

} // namespace lumora
