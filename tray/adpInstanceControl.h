#pragma once

#include "platform/framework/Component.h"
#include "platform/framework/Exception.h"

#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class QWidget;

namespace lumora {

class TInstanceRecord;
class TRaiseServer;

class EInstanceControl : public Exception {
public:
    using Exception::Exception;
};

using TMaxInstancesReachedEvent = std::function<void(TObject* Sender, quint32 LastInstanceHandle)>;

// Limits the running copies of one executable. When its owner has finished
// loading it counts this copy in a record shared by every copy started from
// the same file; a copy beyond MaxInstances shows nothing, brings the
// registered copy's window forward and ends. Only one may exist per process.
class TadpInstanceControl : public TComponent {
public:
    // `window` is the main window that is shown, hidden and brought forward.
    TadpInstanceControl(TComponent* owner, QWidget* window);
    ~TadpInstanceControl() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v) { enabled_ = v; }
    quint32 MaxInstances() const { return maxInstances_; }
    void SetMaxInstances(quint32 v) { maxInstances_ = v; }
    // The executable the copies are counted for; the running one by default.
    const QString& ExecutablePath() const { return executablePath_; }
    void SetExecutablePath(const QString& path) { executablePath_ = path; }
    // The folder that holds the shared record; the user's runtime folder by default.
    void SetRecordFolder(const QString& folder) { recordFolder_ = folder; }

    // This copy is registered in the count.
    bool Counted() const { return counted_; }
    // This copy is surplus: the main window must not be shown and the
    // program ends as soon as its event loop runs.
    bool SurplusCopy() const { return surplus_; }

    TMaxInstancesReachedEvent OnMaxInstancesReached;
    // Asked to end the program (the surplus path); quits the event loop by default.
    std::function<void()> OnTerminate;

    void Loaded() override;

private:
    void Check();
    void Unregister();

    QPointer<QWidget> window_;
    bool enabled_ = true;
    quint32 maxInstances_ = 1;
    bool counted_ = true;
    bool surplus_ = false;
    QString executablePath_;
    QString recordFolder_;
    std::unique_ptr<TInstanceRecord> record_;
    std::unique_ptr<TRaiseServer> raiseServer_;
};

} // namespace lumora
