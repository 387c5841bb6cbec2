#pragma once

#include "core/ResumeReapply.h"
#include "platform/device/BrightnessTargets.h"
#include "platform/device/WbemLocator.h"
#include "platform/device/WbemObjectSet.h"
#include "platform/device/WbemProvider.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace lumora {

// The program's only contact with the display hardware: the start-up query of
// the active monitor's brightness capabilities, the level table every other
// part turns a level index into a brightness value with, and the write of one
// brightness value. The main window owns one; the provider behind the
// management calls is handed in, so the command line (or a test) chooses the
// device.
class TBrightnessAccess {
public:
    explicit TBrightnessAccess(std::shared_ptr<WbemProvider> provider);

    // While set, SetBrightness makes no call at all. The main window sets it
    // while it moves its own controls.
    bool Updating() const { return updating_; }
    void SetUpdating(bool value) { updating_ = value; }

    // Program-wide brightness state, filled by QueryMonitor.
    QString MonitorInstanceName;
    // How many levels the monitor offers; 0 or less means unsupported.
    int LevelCount = 0;
    // The level index "Restore Brightness" returns to. Filled from
    // "CurrentBrightness", which is a brightness value, unconverted.
    int RestoreLevel = 0;
    // The brightness value of each level index, as text.
    QStringList LevelList;

    // The start-up query: fills the four fields above. On a failure the
    // fields keep what they held and the error is raised.
    void QueryMonitor();

    // The value to write for a level index: TextToInt of LevelList[index].
    // Raises "List index out of bounds (%d)" outside the list.
    int LevelValue(int index) const;

    // Writes one brightness value to the monitor unless Updating is set. A
    // provider that is a BrightnessTargets is set directly; any other gets
    // the management method call.
    void SetBrightness(int value, const QString& instanceName);

    // The provider's typed side, where it has one: the monitor's reading,
    // its writes and its changes made elsewhere. Null for a provider that
    // only answers the management calls.
    BrightnessTargets* Targets() const { return targets_; }

    // The last value SetBrightness wrote, and to which monitor; nullopt
    // before the first write.
    const std::optional<TBrightnessWrite>& LastWrite() const { return lastWrite_; }

    // The monitor's brightness as it reads now ("CurrentBrightness" of the
    // active monitor of that name); nullopt when no active monitor has the
    // name. Raises the device's errors.
    std::optional<int> CurrentBrightness(const QString& instanceName) const;

    // Connects to a namespace of this computer and runs a WQL query.
    WbemObjectSet WmiQuery(const QString& wmiNamespace, const QString& query) const;

    // The text of `propertyName` of the first object whose `filterName`
    // property reads `filterText`; "NULL" when there is no such object or
    // property. Names compare exactly, letter case included.
    static QString WmiGetProperty(const WbemObjectSet& set, const QString& filterName, const QString& filterText,
                                  const QString& propertyName);

    // The text form of one property value by its CIM type.
    static QString WmiValueToText(const WbemProperty& property);

    // Splits the level text at "|": a trailing "|" adds no empty entry, a
    // leading one adds an empty first entry, empty text gives one empty entry.
    static QStringList SplitLevelText(QString text);

private:
    TSWbemLocator locator_;
    BrightnessTargets* targets_ = nullptr; // the provider, where it is one
    bool updating_ = false;
    std::optional<TBrightnessWrite> lastWrite_;
};

} // namespace lumora
