// The window's side of profiles and settings: choosing a picture selects
// and applies its profile, "Save Profile" stores the controls under it,
// "Apply Settings" writes or removes the start-at-login entry and arms idle
// dimming. The profiles themselves live in the profile book.

#include "core/BrightnessUnit.h"

#include "controls/picture/AdvGDIPicture.h"
#include "controls/gauge/AdvSmoothGauge.h"
#include "controls/imagelist/AdvSmoothImageListBoxPicker.h"
#include "controls/slider/AdvSmoothSlider.h"
#include "platform/framework/Dialogs.h"
#include "platform/framework/SysUtils.h"
#include "platform/shell/FileSystem.h"

#include <QLabel>
#include <QLineEdit>

#include <algorithm>

namespace lumora {

QString TForm1::PickerText() const { return ProfilePicker->Text(); }

void TForm1::ProfilePickerSelectImage(TObject*, int ItemIndex)
{
    const QString file = ProfilePicker->ListBox().Items()[ItemIndex]->Location();
    const std::optional<TProfile> saved = profiles_.Choose(file, LevelCount());
    const TProfile profile = saved.value_or(TProfile{});

    ShowSettingsSummary(profile.Level, profile.RunOnStartup, profile.Interval);
    ProfilePicker->SetText(!profile.Description.isEmpty() ? profile.Description : profiles_.ActiveName());
    if (FileExists(file))
        ProfilePicture->Picture()->LoadFromFile(file);

    if (saved) {
        level_->Request(std::clamp(profile.Level, 0, LevelCount() - 1), LevelSource::Profile);
    } else {
        LevelSummary->clear();
        StartupSummary->clear();
        IntervalSummary->clear();
    }
}

void TForm1::SaveProfileClick(TObject*)
{
    if (profiles_.ActiveName().isEmpty()) {
        ShowMessage("Please choose a profile icon and specify a profile name before saving", this);
        return;
    }
    const TProfile profile = CurrentControls();
    profiles_.SaveActive(profile);
    ShowMessage("Your current settings are saved to Profile [" + PickerText() + "]", this);
    ShowSettingsSummary(profile.Level, profile.RunOnStartup, profile.Interval);
}

void TForm1::ApplySettingsClick(TObject*)
{
    loginStart_.Apply(StartupSwitch->State() == ssOn);
    const int interval = TextToInt(Trim(IntervalBox->text()));
    if (interval < 1)
        idle_->Disarm();
    else
        ArmIdleDimming(interval);
    ShowMessage("Settings saved.", this);
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
