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
#include "platform/device/AccessAdvice.h"
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
      resume_(std::make_unique<TResumeReapply>(brightness_, TResumeReapply::kSettleMs, [this] { level_->WriteAgain(); }))
{
    BeginLoading();
    CreateComponents();
    // The device follows a change at the needle's pace.
    level_ = std::make_unique<TLevelModel>([this](int index) { WriteLevelToDevice(index); },
                                           FadePace{TAdvSmoothGauge::kAnimationInterval, Gauge->AnimationFactor()});
    level_->OnChanged = [this](int level, LevelSource source) { LevelChanged(level, source); };
    idle_ = std::make_unique<TIdleDimming>(services_.Idle, services_.IdleCheckIntervalMs, [this] {
        if (LevelCount() >= 1)
            level_->Request(0, LevelSource::IdleDimming);
    });
    ConnectEvents();
    OnCreate = [this](TObject* sender) { FormCreate(sender); };
    OnClose = [this](TObject* sender, TCloseAction& action) { FormClose(sender, action); };
    EndLoading();
    CenterOnScreen();
}

TForm1::~TForm1() = default;

void TForm1::ConnectEvents()
{
    TrackBar->OnPositionChanged = [this](TObject* s, double p) { TrackBarPositionChanged(s, p); };
    TrackBar->OnPositionChanging = [this](TObject* s, double p) { TrackBarPositionChanging(s, p); };
    Gauge->OnChange = [this](TObject* s) { GaugeChanged(s); };
    ProfilePicker->OnSelectImage = [this](TObject* s, int index) {
        ProfilePickerSelectImage(s, index);
    };
    ProfilePicker->ListBox().OnOleDragDrop = [this](TObject* s, QStringList& files) {
        ProfilePicturesDropped(s, files);
    };
    SaveProfileButton->OnClick = [this](TObject* s) { SaveProfileClick(s); };
    ApplySettingsButton->OnClick = [this](TObject* s) { ApplySettingsClick(s); };
    QObject::connect(IntervalBox, &QLineEdit::textChanged, IntervalBox, [this] { RunGuarded([this] { IntervalBoxChange(this); }); });
    StartupTimer->OnTimer = [this](TObject* s) { ApplySavedSettings(s); };
    LoginStartTimer->OnTimer = [this](TObject* s) { HideAtLoginStart(s); };
    TrayIcon->OnDblClick = [this](TObject* s) { TrayIconDblClick(s); };

    const auto onMenu = [this](QAction* item, void (TForm1::*handler)(TObject*)) {
        QObject::connect(item, &QAction::triggered, this, [this, handler] { RunGuarded([&] { (this->*handler)(nullptr); }); });
    };
    onMenu(ShowWindowItem, &TForm1::ShowWindowClick);
    onMenu(RestoreBrightnessItem, &TForm1::RestoreBrightnessClick);
    onMenu(MinBrightnessItem, &TForm1::MinBrightnessClick);
    onMenu(MaxBrightnessItem, &TForm1::MaxBrightnessClick);
    onMenu(TurnOffMonitorItem, &TForm1::TurnOffMonitorClick);
    onMenu(ExitItem, &TForm1::ExitClick);
}

void TForm1::Loaded()
{
    // The single-instance check has run (it is a component of this form);
    // the tray icon registers before the window's creation event.
    TrayIcon->Loaded();
    TForm::Loaded();
}

bool TForm1::SurplusCopy() const { return InstanceControl->SurplusCopy(); }

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
        StartupCaption->Caption().Font().SetSize(10);
        IntervalCaption->Caption().Font().SetSize(10);
        // The smaller caption font leaves its blank run at 368 ... 407.
        IntervalBox->move(371, IntervalBox->y());
    }

    SetUpdating(true);
    // With monitors still being detected the window comes up at once and the
    // device part follows when detection has finished.
    if (WaitForMonitors()) {
        PrepareWindow();
        return;
    }
    if (StartDevice())
        PrepareWindow();
}

bool TForm1::StartDevice()
{
    ChooseActiveMonitor();
    StartupTimer->SetEnabled(true);

    try {
        brightness_.QueryMonitor();
    } catch (...) {
        // Without the level table nothing later can work: report the
        // failure, then end as on a monitor without levels.
        queryFailed_ = true;
        StartupTimer->SetEnabled(false);
        HandleException(std::current_exception());
        ShowMessage(NotSupportedText(LookAtAccess(services_.Brightness.get())), this);
        Terminate();
        return false;
    }

    if (LevelCount() <= 0) {
        ShowMessage(NotSupportedText(LookAtAccess(services_.Brightness.get())), this);
        Terminate();
    }

    Gauge->SetMinimumValue(0);
    Gauge->SetMaximumValue(LevelCount() - 1);
    Gauge->SetValueFormat(GaugeValueFormat(LevelCount()));
    // The level is the saved one, applied when the settings are read; the
    // gauge waits on its first value until then.
    level_->Reset(LevelCount(), -1, LevelSource::Start);
    RebuildMonitorMenu();
    return true;
}

void TForm1::PrepareWindow()
{
    ReloadProfilePictures();

    LevelSummary->clear();
    StartupSummary->clear();
    IntervalSummary->clear();

    TrayIcon->SetEnabled(true);

    if (services_.LaunchOnStartup)
        LoginStartTimer->SetEnabled(true);
}

void TForm1::ApplySavedSettings(TObject*)
{
    StartupTimer->SetEnabled(false);
    if (queryFailed_ || LevelCount() <= 0)
        return;

    // A settings file that cannot be read, wholly or in part, must not stop
    // the start-up half way: what could not be read keeps these presets, the
    // controls come alive as always, and the first problem is reported once
    // at the end. The file itself is left alone.
    std::exception_ptr problem;
    TProfile profile; // level 0, no description, interval 0, run on startup off
    LoadProfile(*services_.Settings, QString(), LevelCount(), profile, ActiveProfileName, &problem);
    if (!ActiveProfileName.isEmpty()) {
        QString ignored = ActiveProfileName;
        LoadProfile(*services_.Settings, ActiveProfileName, LevelCount(), profile, ignored, &problem);
    }

    ShowSettingsSummary(profile.Level, profile.RunOnStartup, profile.Interval);
    ProfilePicker->SetText(!profile.Description.isEmpty() ? profile.Description : ActiveProfileName);

    if (!ActiveProfileName.isEmpty()) {
        const QString picture = ProfilePicturePath(PictureFolders(), ActiveProfileName);
        if (!picture.isEmpty())
            ProfilePicture->Picture()->LoadFromFile(picture);
    }

    SetUpdating(false);
    // The saved level goes on the monitor as it is, no walk to it.
    std::exception_ptr failure;
    try {
        level_->Request(std::clamp(profile.Level, 0, LevelCount() - 1), LevelSource::Start, false);
    } catch (...) {
        failure = std::current_exception();
    }

    const int interval = TextToInt(Trim(IntervalBox->text()));
    if (interval > 0)
        ArmIdleDimming(interval);

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
    LoginStartTimer->SetEnabled(false);
    if (TrayIcon->AreaAvailable()) {
        TrayIcon->HideMainWindow();
        TrayIcon->SetIconVisible(true);
    } else {
        // Hidden with no notification area, the window could never come back.
        showMinimized();
    }
    const int interval = TextToInt(Trim(IntervalBox->text()));
    if (interval > 0)
        ArmIdleDimming(interval);
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
    profile.Interval = TextToInt(IntervalBox->text());
    profile.RunOnStartup = StartupSwitch->State() == ssOn;
    return profile;
}

void TForm1::FormClose(TObject*, TCloseAction& Action)
{
    // The window hides into the notification area. Where the desktop has
    // none (checked now: one may have come or gone since the start) there
    // would be no way back to a hidden window, so closing ends the program.
    // While ending ("Exit" answered Yes) the window just hides.
    const bool toTray = terminated_ || TrayIcon->AreaAvailable();
    const auto hideToTray = [&] {
        TrayIcon->HideMainWindow();
        TrayIcon->SetIconVisible(true);
        Action = caNone;
    };
    // Hide first: a failure to save must not keep the window from closing
    // to the tray, and it is then reported like any other failure. Without
    // a tray the window stays, so the program does not end unsaved.
    try {
        SaveProfile(*services_.Settings, QString(), CurrentControls(), ActiveProfileName);
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
    if (StartupTimer->Enabled())
        StartupTimer->SetEnabled(false);
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

void TForm1::ShowWindowClick(TObject*) { TrayIcon->ShowMainWindow(); }

void TForm1::TrayIconDblClick(TObject*) { TrayIcon->ShowMainWindow(); }

} // namespace lumora
