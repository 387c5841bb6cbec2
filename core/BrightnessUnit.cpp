// The main window's life: building it, the start-up sequence, hiding to the
// tray on close, and quitting.

#include "core/BrightnessUnit.h"

#include "controls/picture/AdvGDIPicture.h"
#include "controls/buttons/AdvSmoothButton.h"
#include "controls/gauge/AdvSmoothGauge.h"
#include "controls/imagelist/AdvSmoothImageListBoxPicker.h"
#include "controls/label/AdvSmoothLabel.h"
#include "controls/slider/AdvSmoothSlider.h"
#include "controls/trackbar/AdvSmoothTrackBar.h"
#include "controls/chart/SPBEPC.h"
#include "core/LevelMath.h"
#include "core/MonitorRangesWindow.h"
#include "core/TrayGestures.h"
#include "core/WindowAccess.h"
#include "platform/device/AccessAdvice.h"
#include "platform/device/MonitorSetProvider.h"
#include "platform/framework/Application.h"
#include "platform/framework/Dialogs.h"
#include "platform/framework/Exception.h"
#include "platform/framework/SysUtils.h"
#include "platform/shell/FileSystem.h"
#include "tray/CoolTrayIcon.h"
#include "tray/adpInstanceControl.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

#include <algorithm>

namespace lumora {

namespace {
constexpr char kApplicationTitle[] = "Lumora Brightness Control";
}

TForm1::TForm1(TForm1Services services)
    : TForm(nullptr, services.ScreenPixelsPerInch), services_(std::move(services)), brightness_(services_.Brightness),
      profiles_(services_.Settings),
      loginStart_(services_.Autostart, services_.ExecutablePath, services_.LoginStartOptions),
      resume_(std::make_unique<TResumeReapply>(brightness_, TResumeReapply::kSettleMs, [this] { level_->WriteAgain(); }))
{
    BeginLoading();
    CreateComponents();
    monitorSelection_ = std::make_unique<TMonitorSelection>(services_.Monitors.get(), services_.Settings, trayMenu_,
                                                            restoreBrightnessItem_);
    monitorSelection_->OnDetected = [this] {
        if (!terminated_)
            StartDevice();
    };
    monitorSelection_->OnSwitched = [this] { MonitorSwitched(); };
    monitorSelection_->OnSettingsProblem = [this](std::exception_ptr e) { ReportSettingsProblem(e); };
    // The device follows a change at the needle's pace.
    level_ = std::make_unique<TLevelModel>([this](int index) { WriteLevelToDevice(index); },
                                           FadePace{TAdvSmoothGauge::kAnimationInterval, gauge_->AnimationFactor()});
    level_->OnChanged = [this](int level, LevelSource source) { LevelChanged(level, source); };
    allMonitors_ = std::make_unique<TAllMonitors>(services_.Monitors.get(), services_.Settings);
    allMonitors_->LevelPercentSource = [this]() -> std::optional<int> {
        if (LevelCount() < 1 || level_->Level() < 0)
            return std::nullopt;
        return brightness_.LevelValue(level_->Level());
    };
    allMonitors_->OnSettingsProblem = [this](std::exception_ptr e) { ReportSettingsProblem(e); };
    resume_->OnReapplyOthers = [this] { allMonitors_->Reapply(brightness_.MonitorInstanceName); };
    monitorSelection_->OnEditRanges = [this] { ShowMonitorRanges(*allMonitors_, this); };
    idle_ = std::make_unique<TIdleDimming>(services_.Idle, services_.IdleCheckIntervalMs, [this] {
        if (LevelCount() >= 1)
            level_->Request(0, LevelSource::IdleDimming);
    });
    CreateAutomation();
    ConnectEvents();
    access_ = std::make_unique<TWindowAccess>(*this);
    FollowDevice();
    OnCreate = [this](TObject* sender) { FormCreate(sender); };
    OnClose = [this](TObject* sender, TCloseAction& action) { FormClose(sender, action); };
    EndLoading();
    CenterOnScreen();
}

TForm1::~TForm1()
{
    // Taking the shown window down moves the focus off the dial, which reports
    // it; by then this form's members are gone. The controls outlive this
    // body, so they are told to report nothing more.
    gauge_->OnChange = nullptr;
    trackBar_->OnPositionChanged = nullptr;
    trackBar_->OnPositionChanging = nullptr;
}

void TForm1::ConnectEvents()
{
    trackBar_->OnPositionChanged = [this](TObject* s, double p) { TrackBarPositionChanged(s, p); };
    trackBar_->OnPositionChanging = [this](TObject* s, double p) { TrackBarPositionChanging(s, p); };
    gauge_->OnChange = [this](TObject* s) { GaugeChanged(s); };
    profilePicker_->OnSelectImage = [this](TObject* s, int index) {
        ProfilePickerSelectImage(s, index);
    };
    profilePicker_->ListBox().OnOleDragDrop = [this](TObject* s, QStringList& files) {
        ProfilePicturesDropped(s, files);
    };
    saveProfileButton_->OnClick = [this](TObject* s) { SaveProfileClick(s); };
    applySettingsButton_->OnClick = [this](TObject* s) { ApplySettingsClick(s); };
    QObject::connect(intervalBox_, &QLineEdit::textChanged, intervalBox_, [this] { RunGuarded([this] { IntervalBoxChange(this); }); });
    startupTimer_->OnTimer = [this](TObject* s) { ApplySavedSettings(s); };
    loginStartTimer_->OnTimer = [this](TObject* s) { HideAtLoginStart(s); };
    trayIcon_->OnDblClick = [this](TObject* s) { TrayIconDblClick(s); };
    // Tray hosts that send no double click activate the icon instead; the
    // wheel over the icon steps the level.
    trayIcon_->OnActivate = [this](TObject*) { ToggleWindowFromTray(*trayIcon_, *this); };
    trayIcon_->OnWheel = [this](TObject*, int steps) { StepLevelFromTray(*level_, steps); };

    const auto onMenu = [this](QAction* item, void (TForm1::*handler)(TObject*)) {
        QObject::connect(item, &QAction::triggered, this, [this, handler] { RunGuarded([&] { (this->*handler)(nullptr); }); });
    };
    onMenu(showWindowItem_, &TForm1::ShowWindowClick);
    onMenu(restoreBrightnessItem_, &TForm1::RestoreBrightnessClick);
    onMenu(minBrightnessItem_, &TForm1::MinBrightnessClick);
    onMenu(maxBrightnessItem_, &TForm1::MaxBrightnessClick);
    onMenu(turnOffMonitorItem_, &TForm1::TurnOffMonitorClick);
    onMenu(exitItem_, &TForm1::ExitClick);
}

void TForm1::Loaded()
{
    // The single-instance check has run (it is a component of this form);
    // the tray icon registers before the window's creation event.
    trayIcon_->Loaded();
    TForm::Loaded();
}

bool TForm1::SurplusCopy() const { return instanceControl_->SurplusCopy(); }

void TForm1::Terminate()
{
    terminated_ = true;
    if (OnTerminate)
        OnTerminate();
    else if (TApplication* app = Application())
        app->Terminate();
    else
        QMetaObject::invokeMethod(QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

void TForm1::ShowAtStart()
{
    if (!SurplusCopy() && !terminated_)
        show();
}

QString TForm1::ProgramFolder() const { return QFileInfo(services_.ExecutablePath).absolutePath(); }

// ------------------------------------------------------------ start-up

void TForm1::FormCreate(TObject*)
{
    if (PixelsPerInch() == 96) {
        startupCaption_->Caption().Font().SetSize(10);
        intervalCaption_->Caption().Font().SetSize(10);
        // The smaller caption font leaves its blank run at 368 ... 407.
        intervalBox_->move(371, intervalBox_->y());
    }

    SetUpdating(true);
    // With monitors still being detected the window comes up at once and the
    // device part follows when detection has finished.
    if (monitorSelection_->StartDetection()) {
        PrepareWindow();
        return;
    }
    if (StartDevice())
        PrepareWindow();
}

bool TForm1::StartDevice()
{
    monitorSelection_->ChooseActive(screen());
    startupTimer_->SetEnabled(true);

    try {
        brightness_.QueryMonitor();
    } catch (...) {
        // Without the level table nothing later can work: report the
        // failure, then end as on a monitor without levels.
        queryFailed_ = true;
        startupTimer_->SetEnabled(false);
        HandleException(std::current_exception());
        ShowMessage(NotSupportedText(LookAtAccess(services_.Brightness.get())), this);
        Terminate();
        return false;
    }

    if (LevelCount() <= 0) {
        ShowMessage(NotSupportedText(LookAtAccess(services_.Brightness.get())), this);
        Terminate();
    }

    gauge_->SetMinimumValue(0);
    gauge_->SetMaximumValue(LevelCount() - 1);
    gauge_->SetValueFormat(GaugeValueFormat(LevelCount()));
    // The level is the saved one, applied when the settings are read; the
    // gauge waits on its first value until then.
    level_->Reset(LevelCount(), -1, LevelSource::Start);
    monitorSelection_->RebuildMenu();
    return true;
}

void TForm1::FollowDevice()
{
    if (BrightnessTargets* targets = brightness_.Targets()) {
        QObject::connect(targets, &BrightnessTargets::ChangedElsewhere, this,
                         [this](const QString& instanceName, int percent) {
                             RunGuarded([&] { BrightnessChangedOutside(instanceName, percent); });
                         });
    }
    if (MonitorSetProvider* monitors = services_.Monitors.get()) {
        QObject::connect(monitors, &MonitorSetProvider::PanelReplaced, this,
                         [this](const QString& from, const QString& to) {
                             if (brightness_.MonitorInstanceName == from)
                                 brightness_.MonitorInstanceName = to;
                         });
    }
}

void TForm1::MonitorSwitched()
{
    brightness_.QueryMonitor();
    // The level model starts on the new monitor's own brightness and the
    // views jump there; nothing is written to it, so switching never changes
    // what a monitor shows.
    const bool wasUpdating = updating_;
    SetUpdating(true);
    gauge_->SetMaximumValue(LevelCount() - 1);
    gauge_->SetValueFormat(GaugeValueFormat(LevelCount()));
    SetUpdating(wasUpdating);
    level_->Reset(LevelCount(), NearestLevelIndex(brightness_.LevelList, brightness_.RestoreLevel), LevelSource::Monitor);
}

void TForm1::PrepareWindow()
{
    ReloadProfilePictures();

    levelSummary_->clear();
    startupSummary_->clear();
    intervalSummary_->clear();

    trayIcon_->SetEnabled(true);

    if (services_.LaunchOnStartup)
        loginStartTimer_->SetEnabled(true);
}

void TForm1::ApplySavedSettings(TObject*)
{
    startupTimer_->SetEnabled(false);
    if (queryFailed_ || LevelCount() <= 0)
        return;

    // A settings file that cannot be read, wholly or in part, must not stop
    // the start-up half way: what could not be read keeps these presets, the
    // controls come alive as always, and the first problem is reported once
    // at the end. The file itself is left alone.
    std::exception_ptr problem;
    const std::optional<TProfile> saved = profiles_.LoadSaved(LevelCount(), &problem);
    TProfile profile = saved.value_or(TProfile{});
    // Nothing saved yet (the first start): the level is the one the monitor
    // has, and nothing is written, so trying the program never darkens the
    // screen.
    if (!saved)
        profile.Level = NearestLevelIndex(brightness_.LevelList, brightness_.RestoreLevel);
    savedInterval_ = std::max(profile.Interval, 0);

    ShowSettingsSummary(profile.Level, profile.RunOnStartup, profile.Interval);
    profilePicker_->SetText(!profile.Description.isEmpty() ? profile.Description : ActiveProfileName());

    if (!ActiveProfileName().isEmpty()) {
        const QString picture = ProfilePicturePath(PictureFolders(), ActiveProfileName());
        if (!picture.isEmpty())
            profilePicture_->Picture()->LoadFromFile(picture);
    }

    SetUpdating(false);
    settingsShown_ = true;
    // The saved level goes on the monitor as it is, no walk to it.
    std::exception_ptr failure;
    try {
        if (saved)
            level_->Request(std::clamp(profile.Level, 0, LevelCount() - 1), LevelSource::Start, false);
        else
            level_->Reset(LevelCount(), profile.Level, LevelSource::Start);
    } catch (...) {
        failure = std::current_exception();
    }

    if (savedInterval_ > 0)
        ArmIdleDimming(savedInterval_);
    // With the saved level in place, the profile due now (if another) fades in.
    if (!failure)
        automation_->Start();

    if (problem)
        ReportSettingsProblem(problem);
    if (failure)
        std::rethrow_exception(failure);
}

void TForm1::ReportSettingsProblem(std::exception_ptr problem)
{
    QString text;
    try {
        std::rethrow_exception(problem);
    } catch (const Exception& e) {
        text = e.Message();
    } catch (...) {
        HandleException(problem);
        return;
    }
    if (reportedSettingsProblems_.contains(text))
        return;
    reportedSettingsProblems_ << text;
    HandleException(problem);
}

void TForm1::HideAtLoginStart(TObject*)
{
    loginStartTimer_->SetEnabled(false);
    if (trayIcon_->AreaAvailable()) {
        trayIcon_->HideMainWindow();
        trayIcon_->SetIconVisible(true);
    } else {
        // Hidden with no notification area, the window could never come back.
        showMinimized();
    }
    if (savedInterval_ > 0)
        ArmIdleDimming(savedInterval_);
    else
        idle_->Disarm();
}

// ------------------------------------------------------- close and exit

TProfile TForm1::CurrentControls() const
{
    TProfile profile;
    // The level the user chose, also while the needle is still on its way.
    profile.Level = std::max(level_->Level(), 0);
    profile.Description = Trim(PickerText());
    profile.Interval = TextToInt(intervalBox_->text());
    profile.RunOnStartup = startupSwitch_->State() == ssOn;
    return profile;
}

void TForm1::FormClose(TObject*, TCloseAction& Action)
{
    // The window hides into the notification area. Where the desktop has
    // none (checked now: one may have come or gone since the start) there
    // would be no way back to a hidden window, so closing ends the program.
    // While ending ("Exit" answered Yes) the window just hides.
    const bool toTray = terminated_ || trayIcon_->AreaAvailable();
    const auto hideToTray = [&] {
        trayIcon_->HideMainWindow();
        trayIcon_->SetIconVisible(true);
        Action = caNone;
    };
    // Hide first: a failure to save must not keep the window from closing
    // to the tray, and it is then reported like any other failure. Without
    // a tray the window stays, so the program does not end unsaved.
    try {
        if (settingsShown_)
            profiles_.SaveCurrent(CurrentControls());
    } catch (...) {
        if (toTray)
            hideToTray();
        else
            Action = caNone;
        throw;
    }
    if (toTray) {
        hideToTray();
        return;
    }
    if (!ConfirmQuit()) {
        Action = caMinimize;
        return;
    }
    EndAfterConfirming();
    Action = caHide;
}

void TForm1::SaveAtSessionEnd()
{
    if (!settingsShown_ || level_->Level() < 0)
        return;
    profiles_.SaveCurrent(CurrentControls());
}

bool TForm1::ConfirmQuit()
{
    if (!idle_->Armed())
        return true;
    const QString question = "Do you really want to quit? If you quit now, the software would not automaically "
                             "reduce brighness after " +
                             IntToStr(idle_->ArmedMinutes()) + " minutes.";
    return AskYesNo("Warning", question, this);
}

void TForm1::EndAfterConfirming()
{
    if (startupTimer_->Enabled())
        startupTimer_->SetEnabled(false);
    idle_->Stop();
    Terminate();
}

void TForm1::ExitClick(TObject*)
{
    if (!idle_->Armed()) {
        Terminate();
        return;
    }
    if (!ConfirmQuit())
        return;
    EndAfterConfirming();
    close();
}

void TForm1::ShowWindowClick(TObject*) { trayIcon_->ShowMainWindow(); }

void TForm1::TrayIconDblClick(TObject*) { trayIcon_->ShowMainWindow(); }

} // namespace lumora
