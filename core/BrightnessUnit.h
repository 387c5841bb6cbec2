#pragma once

#include "core/AllMonitors.h"
#include "core/BrightnessAccess.h"
#include "core/IdleDimming.h"
#include "core/LevelModel.h"
#include "core/LoginStart.h"
#include "core/MonitorSelection.h"
#include "core/ProfileAutomation.h"
#include "core/ProfileBook.h"
#include "core/Profiles.h"
#include "platform/framework/Form.h"
#include "platform/framework/Timer.h"
#include "platform/shell/PictureFolders.h"

#include <QString>
#include <QStringList>

#include <exception>
#include <memory>
#include <vector>

class QAction;
class QIcon;
class QImage;
class QLabel;
class QLineEdit;
class QMenu;

namespace lumora {

class IdleTimeSource;
class NotifyIconHost;
namespace AdvGDIPicture {
class TAdvGDIPPicture;
}
class TAdvSmoothButton;
class TAdvSmoothGauge;
class TAdvSmoothImageListBoxPicker;
class TAdvSmoothLabel;
class TAdvSmoothSlider;
class TAdvSmoothTrackBar;
class TAutostart;
class TCoolTrayIcon;
class TMonitorPower;
class TSPBEPC;
class TSettingsStore;
class TadpInstanceControl;
class TWindowAccess;
class WbemProvider;
class MonitorSetProvider;

// The program's icon, for the tray, the window and the desktop's task list.
QIcon ProgramIcon();
// The profile picker's 17 x 17 drop-down glyph, built into the program.
QImage PickerGlyph();

// The platform services the main window works with. The program entry
// fills them from the command line; tests put stand-ins in place.
struct TForm1Services {
    std::shared_ptr<WbemProvider> Brightness;
    // When set (the same object as Brightness), the monitors are found in the
    // background and the user may choose among them.
    std::shared_ptr<MonitorSetProvider> Monitors;
    TSettingsStore* Settings = nullptr;
    TAutostart* Autostart = nullptr;
    IdleTimeSource* Idle = nullptr;
    TMonitorPower* MonitorPower = nullptr;
    NotifyIconHost* TrayHost = nullptr; // the desktop's notification area when null
    QString ExecutablePath;
    // Given again to a start at login, after its switch (see LoginStartOptions).
    QStringList LoginStartOptions;
    // Where the profile pictures come from. With no shipped folder given the
    // pictures are those beside the executable, and there is no user folder.
    TPictureFolders Pictures;
    QString InstanceRecordFolder;       // the user's runtime folder when empty
    bool LaunchOnStartup = false;
    int IdleCheckIntervalMs = 55000;
    int ScreenPixelsPerInch = 0;        // the primary screen's when 0
    TAutomationClock AutomationClock;   // the machine's clock when unset
};

// The program's one window: the gauge, track bar and rating chart that show
// the brightness, the profile picker and picture, the start-up switch, the
// idle interval, the tray icon and its menu.
class TForm1 : public TForm {
    friend class TWindowSeam;
    friend class TWindowAccess;

public:
    explicit TForm1(TForm1Services services);
    ~TForm1() override;

    // Window state.
    bool Updating() const { return updating_; }
    void SetUpdating(bool v) { updating_ = v; }
    // The profile chosen last; empty when none is.
    const QString& ActiveProfileName() const { return profiles_.ActiveName(); }

    // The rooms of the window: the one owner of the level, and idle dimming.
    TLevelModel& Level() { return *level_; }
    TIdleDimming& IdleDimming() { return *idle_; }
    // Profiles that apply themselves.
    TProfileAutomation& Automation() { return *automation_; }

    // The brightness device and the level table.
    TBrightnessAccess& Brightness() { return brightness_; }
    int LevelCount() const { return brightness_.LevelCount; }
    int RestoreLevel() const { return brightness_.RestoreLevel; }

    // This copy found another one running and ends without showing anything.
    bool SurplusCopy() const;
    // Asked to end the program; the event loop ends when it next runs.
    bool Terminated() const { return terminated_; }
    std::function<void()> OnTerminate;

    // Start-up and the window's life.
    void FormCreate(TObject* Sender);
    void ApplySavedSettings(TObject* Sender);
    void HideAtLoginStart(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    // The session is ending: saves the settings as closing the window does,
    // asking nothing; before the saved settings are applied there is nothing
    // of the user's to save.
    void SaveAtSessionEnd();
    void ExitClick(TObject* Sender);
    void ShowWindowClick(TObject* Sender);
    void TrayIconDblClick(TObject* Sender);

    // The controls and the tray's brightness commands ask the level model;
    // the views follow what it announces.
    void TrackBarPositionChanging(TObject* Sender, double Position);
    void TrackBarPositionChanged(TObject* Sender, double Position);
    void GaugeChanged(TObject* Sender);
    void MinBrightnessClick(TObject* Sender);
    void MaxBrightnessClick(TObject* Sender);
    void RestoreBrightnessClick(TObject* Sender);
    void TurnOffMonitorClick(TObject* Sender);
    void ShowSettingsSummary(int level, bool runOnStartup, int interval);
    // The monitor was set elsewhere: the level model takes the nearest
    // level and the views move to it; nothing is written back.
    void BrightnessChangedOutside(const QString& instanceName, int percent);

    // Driving the window from outside (the session bus): the level in force
    // or being moved to, as an index (-1 while the levels are unknown);
    // setting a level as the user's choice would (raises for an index
    // outside the levels); and a call whenever the level changes.
    int ShownLevel() const;
    void SetLevelByRequest(int index);
    std::function<void(int level)> OnShownLevelChanged;

    // The machine has resumed from sleep: the level last set goes back on the
    // monitor once it has settled, if it lost it.
    void DeviceResumed();
    TResumeReapply& ResumeReapply() { return *resume_; }

    // Arms idle dimming for `minutes` and remembers the level in force for
    // "Restore Brightness".
    void ArmIdleDimming(int minutes);

    // Profiles and settings.
    void ProfilePickerSelectImage(TObject* Sender, int ItemIndex);
    void SaveProfileClick(TObject* Sender);
    void ApplySettingsClick(TObject* Sender);
    void IntervalBoxChange(TObject* Sender);

    // Profile pictures: the shipped and the user's, listed in the picker;
    // files dropped on the picker's list are copied into the user's folder.
    TPictureFolders PictureFolders() const;
    void ReloadProfilePictures();
    QStringList OfferedProfilePictures() const; // the picker's list, as paths
    void ProfilePicturesDropped(TObject* Sender, QStringList& Files);

    // Shows the window at the end of start-up unless this copy is surplus.
    void ShowAtStart();

    // Choosing the monitor: the tray menu's "Monitor" submenu (null with
    // fewer than two monitors) and the switch to another monitor.
    QMenu* MonitorMenu() const { return monitorSelection_->Menu(); }
    void SelectMonitor(const QString& instanceName) { monitorSelection_->Select(instanceName); }
    // Every monitor at once, each through its own range.
    TAllMonitors& AllMonitors() { return *allMonitors_; }

protected:
    void Loaded() override;

private:
    void CreateComponents();
    void ConnectEvents();
    void Terminate();
    // The question "Exit" asks while idle dimming is armed; true on Yes and
    // when nothing is armed.
    bool ConfirmQuit();
    // Stops the start-up and idle timers and ends the program.
    void EndAfterConfirming();
    // The level model's one way to the device.
    void WriteLevelToDevice(int index);
    // The level model announced a change: the views follow, and the bus
    // hears of it.
    void LevelChanged(int level, LevelSource source);
    // The gauge, track bar and chart go to the level: the needle walks, or
    // jumps where the monitor is there already.
    void MoveViews(int level, LevelSource source);
    // The needle moved a step: the track bar and chart go with it.
    void FollowNeedle();
    // The views go back to the level in force (a write failed).
    void ShowModelLevel();
    // Follows the device: changes made elsewhere, and the panel reached
    // under another name.
    void FollowDevice();
    bool StartDevice();
    void PrepareWindow();
    // Another monitor is the active one: the levels are its own, and the
    // views jump to its brightness.
    void MonitorSwitched();
    QString ProgramFolder() const;
    // Reports a failure to read the settings, unless the same failure was
    // reported before: several parts of the start-up read the one file.
    void ReportSettingsProblem(std::exception_ptr problem);
    QString PickerText() const;
    TProfile CurrentControls() const;
    // Automatic profiles: built with the window; a firing shows its profile
    // and gives the level to fade to; the tray's tooltip says what is next.
    void CreateAutomation();
    std::optional<int> ShowScheduledProfile(const QString& name);
    void ShowAutomationStatus();
public:
    // "Schedule...": the window where triggers are set; one at a time.
    void ScheduleClick(TObject* Sender);
private:

    // Controls, named for what they are; each keeps its design name as its
    // component name (the gauge is "BG", the start-up timer "Timer1", ...).
    // Tests and benchmarks reach them through TWindowSeam only.
    TAdvSmoothTrackBar* trackBar_ = nullptr;
    TAdvSmoothGauge* gauge_ = nullptr;
    TAdvSmoothImageListBoxPicker* profilePicker_ = nullptr;
    AdvGDIPicture::TAdvGDIPPicture* profilePicture_ = nullptr;
    QLabel* levelSummary_ = nullptr;
    QLabel* startupSummary_ = nullptr;
    QLabel* intervalSummary_ = nullptr;
    TSPBEPC* ratingChart_ = nullptr;
    TAdvSmoothButton* saveProfileButton_ = nullptr;
    TAdvSmoothButton* applySettingsButton_ = nullptr;
    TAdvSmoothLabel* startupCaption_ = nullptr;
    TAdvSmoothSlider* startupSwitch_ = nullptr;
    TAdvSmoothLabel* intervalCaption_ = nullptr;
    QLineEdit* intervalBox_ = nullptr;
    TTimer* startupTimer_ = nullptr;
    TTimer* loginStartTimer_ = nullptr;
    QMenu* trayMenu_ = nullptr;
    QAction* showWindowItem_ = nullptr;
    QAction* restoreBrightnessItem_ = nullptr;
    QAction* minBrightnessItem_ = nullptr;
    QAction* maxBrightnessItem_ = nullptr;
    QAction* turnOffMonitorItem_ = nullptr;
    QAction* scheduleItem_ = nullptr;
    QAction* exitItem_ = nullptr;
    TadpInstanceControl* instanceControl_ = nullptr;

    // Components that are not widgets live as long as the window.
    std::vector<std::unique_ptr<TComponent>> ownedComponents_;
    std::unique_ptr<TCoolTrayIcon> trayIcon_;

    TForm1Services services_;
    TBrightnessAccess brightness_;
    bool updating_ = false;
    bool terminated_ = false;
    bool queryFailed_ = false;
    // The user put the track bar on the level being moved to: it stays
    // there instead of following the needle.
    bool trackBarLeads_ = false;
    QStringList reportedSettingsProblems_;
    TProfileBook profiles_;
    TLoginStart loginStart_;
    // The idle minutes of the settings the window started with.
    int savedInterval_ = 0;
    // The saved settings have been read and shown: until then the controls
    // hold presets, and closing must not save them over the user's.
    bool settingsShown_ = false;
    std::unique_ptr<TMonitorSelection> monitorSelection_;
    std::unique_ptr<TAllMonitors> allMonitors_;
    std::unique_ptr<TLevelModel> level_;
    std::unique_ptr<TIdleDimming> idle_;
    std::unique_ptr<TResumeReapply> resume_;
    std::unique_ptr<TProfileAutomation> automation_;
    // Screen reader and keyboard use of the window.
    std::unique_ptr<TWindowAccess> access_;
};

} // namespace lumora
