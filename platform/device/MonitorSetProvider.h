#pragma once

#include "platform/device/BrightnessTargets.h"
#include "platform/device/DdcMonitors.h"
#include "platform/device/WbemProvider.h"

#include <QObject>
#include <QString>

#include <memory>
#include <vector>

namespace lumora {

// One monitor whose brightness the program can set.
struct MonitorInfo {
    QString InstanceName; // its name in the brightness classes
    QString Model;        // shown to the user
    QString Serial;
    QString Connector;    // the video output, when known
    bool Panel = false;   // the built-in panel of a laptop
    bool Answering = true;
    // False for a monitor that did not answer at detection: its range is
    // unknown, so it is listed but cannot be worked on.
    bool Controllable = true;
};

inline const QString kBuiltInPanelModel = QStringLiteral("Built-in display");

// Every monitor of the machine behind the monitor brightness classes: the
// built-in panel (from the panel provider, which picks its device itself) and
// the DDC/CI monitors, found in the background. Exactly one of them is
// Active, the one the program works on; the query of the active monitor
// therefore answers for it, and a set call reaches whichever monitor its
// instance name names.
class MonitorSetProvider : public BrightnessTargets, public WbemProvider {
    Q_OBJECT
public:
    // Either source may be null. A panel that is a PanelProvider has its
    // outside changes and device changes passed on. Levels: evenly spaced percent levels of the
    // DDC/CI monitors, 2..101.
    MonitorSetProvider(std::shared_ptr<WbemProvider> panel, std::shared_ptr<DdcMonitors> ddc, int levels);

    // Starts the background detection; DetectionFinished follows (queued,
    // also when there is nothing to detect).
    void StartDetection();
    bool Detected() const;
    // Looks for the DDC/CI monitors again, in the background (a monitor was
    // plugged in or out); MonitorsChanged and DetectionFinished follow.
    void Redetect();
    // Why DDC/CI cannot be used on this machine (its library is missing, or
    // of another version), once detection has finished; empty when it can
    // or was not looked for. A state to show, not a failure to report.
    QString DdcUnavailable() const;

    // The panel first, then the DDC/CI monitors in detection order (those
    // only once detection has finished), silent ones included.
    std::vector<MonitorInfo> Monitors() const;

    // The instance the program works on. Until one is set: the panel, else
    // the first DDC/CI monitor that answers. With all monitors worked on at
    // once: the one the views show, the panel, else the first monitor that
    // can be set.
    QString ActiveInstance() const;
    void SetActive(const QString& instanceName);

    // Every monitor is worked on at once; the level owner still reads and
    // follows the active one.
    bool AllMonitors() const { return all_; }
    void SetAllMonitors(bool all);

    QString Namespace() const override;
    const WbemObject& ClassDefinition(const QString& className) const override;
    std::vector<std::shared_ptr<WbemObject>> Instances(const QString& className) override;
    std::shared_ptr<WbemObject> GetInstance(const QString& className, const QString& keyName,
                                            const QString& keyValue) override;
    std::shared_ptr<WbemObject> ExecMethod(const QString& className, const QString& keyName,
                                           const QString& keyValue, const QString& methodName,
                                           const WbemObject* inParameters) override;

    // Sets the panel or the DDC/CI monitor of that name.
    void SetPercent(const QString& instance, int percent) override;
    // Sets it only if it does not show that percent now, as read from the
    // monitor itself (a DDC/CI monitor is read by its worker).
    void EnsurePercent(const QString& instance, int percent);
    // The active monitor as it reads now; nullopt when it is not there (or
    // is a panel that cannot be read in these terms).
    std::optional<BrightnessReading> Active() override;
    // Any monitor's brightness in percent: the panel read now, a DDC/CI
    // monitor as last read or written; nullopt when not known.
    std::optional<int> PercentOf(const QString& instance);

signals:
    void DetectionFinished();
    void MonitorFailed(const QString& message);
    void MonitorsChanged();
    // The panel is now reached under another instance name (another
    // backlight device took its place).
    void PanelReplaced(const QString& from, const QString& to);

private:
    QString PanelInstance() const;
    const DdcMonitorState* FindDdc(const std::vector<DdcMonitorState>& monitors, const QString& instanceName) const;

    std::shared_ptr<WbemProvider> panel_;
    std::shared_ptr<DdcMonitors> ddc_;
    int levels_;
    QString active_;
    bool all_ = false;
    bool noDetection_ = false;
};

// The instance name of a DDC/CI display: "ddc:" and its id. Panel instances
// are backlight driver names ("intel_backlight"), which never start so.
QString DdcInstanceName(const QString& displayId);

} // namespace lumora
