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

QString TForm1::PickerText() const { return profilePicker_->Text(); }

void TForm1::ProfilePickerSelectImage(TObject*, int ItemIndex)
{
    const QString file = profilePicker_->ListBox().Items()[ItemIndex]->Location();
    const std::optional<TProfile> saved = profiles_.Choose(file, LevelCount());
    const TProfile profile = saved.value_or(TProfile{});

    ShowSettingsSummary(profile.Level, profile.RunOnStartup, profile.Interval);
    profilePicker_->SetText(!profile.Description.isEmpty() ? profile.Description : profiles_.ActiveName());
    if (FileExists(file))
        profilePicture_->Picture()->LoadFromFile(file);

    if (saved) {
        level_->Request(std::clamp(profile.Level, 0, LevelCount() - 1), LevelSource::Profile);
    } else {
        levelSummary_->clear();
        startupSummary_->clear();
        intervalSummary_->clear();
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
    loginStart_.Apply(startupSwitch_->State() == ssOn);
    const int interval = TextToInt(Trim(intervalBox_->text()));
    if (interval < 1)
        idle_->Disarm();
    else
        ArmIdleDimming(interval);
    ShowMessage("Settings saved.", this);
}

void TForm1::IntervalBoxChange(TObject*)
{
    const QString text = Trim(intervalBox_->text());
    if (!text.isEmpty() && TextToInt(intervalBox_->text()) <= 0) {
        ShowMessage("Invalid value.", this);
        intervalBox_->setText("60");
    }
}

} // namespace lumora
