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
                                           FadePace{TAdvSmoothGauge::kAnimationInterval, BG->AnimationFactor()});
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
    AdvSmoothTrackBar1->OnPositionChanged = [this](TObject* s, double p) { AdvSmoothTrackBar1PositionChanged(s, p); };
    AdvSmoothTrackBar1->OnPositionChanging = [this](TObject* s, double p) { AdvSmoothTrackBar1PositionChanging(s, p); };
    BG->OnChange = [this](TObject* s) { BGChange(s); };
    AdvSmoothImageListBoxPicker1->OnSelectImage = [this](TObject* s, int index) {
        AdvSmoothImageListBoxPicker1SelectImage(s, index);
    };
    AdvSmoothImageListBoxPicker1->ListBox().OnOleDragDrop = [this](TObject* s, QStringList& files) {
        ProfilePicturesDropped(s, files);
    };
    btnSaveProfile->OnClick = [this](TObject* s) { btnSaveProfileClick(s); };
    btnApplySettings->OnClick = [this](TObject* s) { btnApplySettingsClick(s); };
    QObject::connect(edtInterval, &QLineEdit::textChanged, edtInterval, [this] { RunGuarded([this] { edtIntervalChange(this); }); });
    Timer1->OnTimer = [this](TObject* s) { Timer1Timer(s); };
    Timer3->OnTimer = [this](TObject* s) { Timer3Timer(s); };
    CoolTrayIcon1->OnDblClick = [this](TObject* s) { CoolTrayIcon1DblClick(s); };

    const auto onMenu = [this](QAction* item, void (TForm1::*handler)(TObject*)) {
        QObject::connect(item, &QAction::triggered, this, [this, handler] { RunGuarded([&] { (this->*handler)(nullptr); }); });
    };
    onMenu(ShowWindow1, &TForm1::ShowWindow1Click);
    onMenu(RestoreBrightness1, &TForm1::RestoreBrightness1Click);
    onMenu(MinBrightness1, &TForm1::MinBrightness1Click);
    onMenu(MaxBrightness1, &TForm1::MaxBrightness1Click);
    onMenu(urnOffMonitor1, &TForm1::urnOffMonitor1Click);
    onMenu(Exit1, &TForm1::Exit1Click);
}

void TForm1::Loaded()
{
    // The single-instance check has run (it is a component of this form);
    // the tray icon registers before the window's creation event.
    CoolTrayIcon1->Loaded();
    TForm::Loaded();
}

bool TForm1::SurplusCopy() const { return adpInstanceControl1->SurplusCopy(); }

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
        AdvSmoothLabel1->Caption().Font().SetSize(10);
        AdvSmoothLabel2->Caption().Font().SetSize(10);
        // The smaller caption font leaves its blank run at 368 ... 407.
        edtInterval->move(371, edtInterval->y());
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
    Timer1->SetEnabled(true);

    try {
        brightness_.QueryMonitor();
    } catch (...) {
        // Without the level table nothing later can work: report the
        // failure, then end as on a monitor without levels.
        queryFailed_ = true;
        Timer1->SetEnabled(false);
        HandleException(std::current_exception());
        ShowMessage("Not supported", this);
        Terminate();
        return false;
    }

    if (LevelCount() <= 0) {
        ShowMessage("Not supported", this);
        Terminate();
    }

    BG->SetMinimumValue(0);
    BG->SetMaximumValue(LevelCount() - 1);
    BG->SetValueFormat(GaugeValueFormat(LevelCount()));
    // The level is the saved one, applied when the settings are read; the
    // gauge waits on its first value until then.
    level_->Reset(LevelCount(), -1, LevelSource::Start);
    RebuildMonitorMenu();
    return true;
}

void TForm1::PrepareWindow()
{
    ReloadProfilePictures();

    Label1->clear();
    Label2->clear();
    Label3->clear();

    CoolTrayIcon1->SetEnabled(true);

    if (services_.LaunchOnStartup)
        Timer3->SetEnabled(true);
}

void TForm1::Timer1Timer(TObject*)
{
    Timer1->SetEnabled(false);
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
    AdvSmoothImageListBoxPicker1->SetText(!profile.Description.isEmpty() ? profile.Description : ActiveProfileName);

    if (!ActiveProfileName.isEmpty()) {
        const QString picture = ProfilePicturePath(PictureFolders(), ActiveProfileName);
        if (!picture.isEmpty())
            AdvGDIPPicture1->Picture()->LoadFromFile(picture);
    }

    SetUpdating(false);
    // The saved level goes on the monitor as it is, no walk to it.
    std::exception_ptr failure;
    try {
        level_->Request(std::clamp(profile.Level, 0, LevelCount() - 1), LevelSource::Start, false);
    } catch (...) {
        failure = std::current_exception();
    }

    const int interval = TextToInt(Trim(edtInterval->text()));
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

void TForm1::Timer3Timer(TObject*)
{
    Timer3->SetEnabled(false);
    if (CoolTrayIcon1->AreaAvailable()) {
        CoolTrayIcon1->HideMainWindow();
        CoolTrayIcon1->SetIconVisible(true);
    } else {
        // Hidden with no notification area, the window could never come back.
        showMinimized();
    }
    const int interval = TextToInt(Trim(edtInterval->text()));
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
    profile.Interval = TextToInt(edtInterval->text());
    profile.RunOnStartup = AdvSmoothSlider1->State() == ssOn;
    return profile;
}

void TForm1::FormClose(TObject*, TCloseAction& Action)
{
    // The window hides into the notification area. Where the desktop has
    // none (checked now: one may have come or gone since the start) there
    // would be no way back to a hidden window, so closing ends the program.
    // While ending ("Exit" answered Yes) the window just hides.
    const bool toTray = terminated_ || CoolTrayIcon1->AreaAvailable();
    const auto hideToTray = [&] {
        CoolTrayIcon1->HideMainWindow();
        CoolTrayIcon1->SetIconVisible(true);
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
    if (Timer1->Enabled())
        Timer1->SetEnabled(false);
    idle_->Stop();
    Terminate();
}

void TForm1::Exit1Click(TObject*)
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

void TForm1::ShowWindow1Click(TObject*) { CoolTrayIcon1->ShowMainWindow(); }

void TForm1::CoolTrayIcon1DblClick(TObject*) { CoolTrayIcon1->ShowMainWindow(); }

} // namespace lumora
