// Profiles tied to pictures: choosing a picture selects and applies its
// profile, "Save Profile" stores the controls under it, "Apply Settings"
// writes or removes the start-at-login entry and arms idle dimming.

#include "core/BrightnessUnit.h"

#include "controls/picture/AdvGDIPicture.h"
#include "controls/gauge/AdvSmoothGauge.h"
#include "controls/imagelist/AdvSmoothImageListBoxPicker.h"
#include "controls/slider/AdvSmoothSlider.h"
#include "core/ProgramOptions.h"
#include "platform/framework/Dialogs.h"
#include "platform/framework/SysUtils.h"
#include "platform/shell/Autostart.h"
#include "platform/shell/FileSystem.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>

#include <algorithm>

namespace lumora {

namespace {
constexpr char kRunValueName[] = "Lumora Brightness Control";
}

QString TForm1::PickerText() const { return ProfilePicker->Text(); }

void TForm1::ProfilePickerSelectImage(TObject*, int ItemIndex)
{
    const QString file = ProfilePicker->ListBox().Items()[ItemIndex]->Location();
    const QString name = ProfileNameForPicture(*services_.Settings, file);
    ActiveProfileName = name;

    TProfile profile;
    QString ignored = ActiveProfileName;
    const bool found = LoadProfile(*services_.Settings, name, LevelCount(), profile, ignored);

    ShowSettingsSummary(profile.Level, profile.RunOnStartup, profile.Interval);
    ProfilePicker->SetText(!profile.Description.isEmpty() ? profile.Description : name);
    if (FileExists(file))
        ProfilePicture->Picture()->LoadFromFile(file);

    if (found) {
        level_->Request(std::clamp(profile.Level, 0, LevelCount() - 1), LevelSource::Profile);
    } else {
        LevelSummary->clear();
        StartupSummary->clear();
        IntervalSummary->clear();
    }
}

void TForm1::SaveProfileClick(TObject*)
{
    if (ActiveProfileName.isEmpty()) {
        ShowMessage("Please choose a profile icon and specify a profile name before saving", this);
        return;
    }
    const TProfile profile = CurrentControls();
    SaveProfile(*services_.Settings, ActiveProfileName, profile, ActiveProfileName);
    ShowMessage("Your current settings are saved to Profile [" + PickerText() + "]", this);
    ShowSettingsSummary(profile.Level, StartupSwitch->State() == ssOn, TextToInt(IntervalBox->text()));
}

void TForm1::ApplySettingsClick(TObject*)
{
    ApplyStartupSetting();
    const int interval = TextToInt(Trim(IntervalBox->text()));
    if (interval < 1)
        idle_->Disarm();
    else
        ArmIdleDimming(interval);
    ShowMessage("Settings saved.", this);
}

QString TForm1::ShortPath(const QString& path) const { return lumora::ShortPath(path); }

void TForm1::ApplyStartupSetting()
{
    // Option names and values alternate; each value is quoted as the path
    // is, since a folder may hold blanks or quotes.
    QString command = ShortPath(services_.ExecutablePath) + " " + kLaunchOnStartupSwitch;
    const QStringList& options = services_.LoginStartOptions;
    for (qsizetype i = 0; i < options.size(); ++i)
        command += " " + (i % 2 == 0 ? options[i] : ShortPath(options[i]));
    if (StartupSwitch->State() == ssOn)
        services_.Autostart->WriteRunValue(kRunValueName, command);
    else if (services_.Autostart->RunValueExists(kRunValueName))
        services_.Autostart->DeleteRunValue(kRunValueName);
}

void TForm1::IntervalBoxChange(TObject*)
{
    const QString text = Trim(IntervalBox->text());
    if (!text.isEmpty() && TextToInt(IntervalBox->text()) <= 0) {
        ShowMessage("Invalid value.", this);
        IntervalBox->setText("60");
    }
}

} // namespace lumora
