// The window's side of the level: every control and menu command asks the
// level model, and the gauge, track bar, rating chart and bus property follow
// what the model announces. No view writes the device.

#include "core/BrightnessUnit.h"

#include "controls/gauge/AdvSmoothGauge.h"
#include "controls/gauge/AdvSmoothGaugeGeometry.h"
#include "controls/slider/AdvSmoothSlider.h"
#include "controls/trackbar/AdvSmoothTrackBar.h"
#include "controls/chart/SPBEPC.h"
#include "core/LevelMath.h"
#include "core/MonitorChoice.h"
#include "platform/framework/SysUtils.h"
#include "platform/shell/MonitorPower.h"

#include <QLabel>
#include <QLineEdit>

#include <algorithm>
#include <cmath>

namespace lumora {

void TForm1::WriteLevelToDevice(int index)
{
    int value = brightness_.LevelValue(index);
    // Through the monitor's own range; with "All monitors" every other monitor gets its own value too.
    if (!brightness_.Updating()) {
        const std::optional<int> own = allMonitors_->Spread(value, brightness_.LevelValue(level_->Heading()),
                                                            level_->WritingFadeStep(), brightness_.MonitorInstanceName);
        if (!own)
            return; // a slow monitor, given the move's end already
        value = *own;
    }
    brightness_.SetBrightness(value, brightness_.MonitorInstanceName);
}

// ------------------------------------------------------- views follow

void TForm1::LevelChanged(int level, LevelSource source)
{
    MoveViews(level, source);
    if (OnShownLevelChanged)
        OnShownLevelChanged(level);
    // A hand change pauses the level's following of the room's light.
    automation_->LevelChangedBy(source);
}

void TForm1::MoveViews(int level, LevelSource source)
{
    // Also during start-up, which holds the controls still until the saved
    // settings are shown.
    const bool wasUpdating = updating_;
    SetUpdating(true);
    if (source == LevelSource::Elsewhere || source == LevelSource::Monitor) {
        // Nothing to walk: the monitor is there already. The needle jumps.
        trackBarLeads_ = false;
        const bool animated = gauge_->Animation();
        gauge_->SetAnimation(false);
        gauge_->SetValue(level);
        gauge_->SetAnimation(animated);
        trackBar_->SetPosition(IndexToPosition(level, LevelCount()));
    } else {
        // The needle walks to the level and the track bar follows it, unless
        // the user put the track bar there: then it stays, on the level.
        trackBarLeads_ = source == LevelSource::TrackBar;
        gauge_->SetValue(level);
        trackBar_->SetPosition(trackBarLeads_ ? IndexToPosition(level, LevelCount())
                                             : GaugeValueToPosition(gauge_->Value(), LevelCount()));
    }
    ratingChart_->SetCurrent(RatingValue(trackBar_->Position()));
    SetUpdating(wasUpdating);
}

void TForm1::FollowNeedle()
{
    if (trackBarLeads_) {
        trackBarLeads_ = gauge_->Animating();
        return;
    }
    // The needle lands from its last reported step without another report:
    // that step is within the arrival distance, and the track bar lands.
    double needle = gauge_->Value();
    if (std::abs(needle - gauge_->DestinationValue()) < kNeedleArrival)
        needle = gauge_->DestinationValue();
    SetUpdating(true);
    trackBar_->SetPosition(GaugeValueToPosition(needle, LevelCount()));
    ratingChart_->SetCurrent(RatingValue(trackBar_->Position()));
    SetUpdating(false); // only reached outside the window's own moves
}

void TForm1::ShowModelLevel()
{
    if (level_->Level() >= 0)
        MoveViews(level_->Level(), LevelSource::Monitor);
}

// ---------------------------------------------------- the controls ask

void TForm1::TrackBarPositionChanging(TObject*, double)
{
    // Nothing is written while the thumb moves; the chart shows where it is.
    if (!updating_)
        ratingChart_->SetCurrent(RatingValue(trackBar_->Position()));
}

void TForm1::TrackBarPositionChanged(TObject*, double)
{
    if (updating_ || LevelCount() < 1)
        return;
    const int index = PositionToIndex(trackBar_->Position(), LevelCount());
    try {
        level_->Request(index, LevelSource::TrackBar);
    } catch (...) {
        // The device kept its level: so do the views.
        ShowModelLevel();
        throw;
    }
    // Dropped on the level already in force: the thumb settles on it.
    if (trackBar_->Position() != IndexToPosition(index, LevelCount()) && !gauge_->Animating()) {
        SetUpdating(true);
        trackBar_->SetPosition(IndexToPosition(index, LevelCount()));
        ratingChart_->SetCurrent(RatingValue(trackBar_->Position()));
        SetUpdating(false);
    }
}

void TForm1::GaugeChanged(TObject*)
{
    // The gauge reports every step of its needle and every repaint (the
    // focus coming or going, a resize). A new level is one the needle now
    // heads for that the model does not hold: the user clicked the dial or
    // used its keys.
    if (updating_ || LevelCount() < 1)
        return;
    const int wanted = GaugeValueToIndex(gauge_->DestinationValue(), LevelCount());
    if (wanted != level_->Level()) {
        try {
            level_->Request(wanted, LevelSource::Controls);
        } catch (...) {
            ShowModelLevel();
            throw;
        }
        return;
    }
    FollowNeedle();
}

int TForm1::ShownLevel() const { return LevelCount() < 1 ? -1 : level_->Level(); }

void TForm1::SetLevelByRequest(int index) { level_->Request(index, LevelSource::Bus); }

void TForm1::BrightnessChangedOutside(const QString& instanceName, int percent)
{
    if (instanceName != brightness_.MonitorInstanceName || LevelCount() < 1)
        return;
    percent = allMonitors_->LevelPercentOf(instanceName, percent);
    level_->ChangedElsewhere(NearestLevelIndex(brightness_.LevelList, percent));
}

void TForm1::DeviceResumed()
{
    if (LevelCount() > 0)
        resume_->Resumed();
    // A trigger that passed during sleep fires now.
    automation_->Resumed();
}

// ---------------------------------------------------------- tray menu

void TForm1::MinBrightnessClick(TObject*)
{
    if (LevelCount() >= 1)
        level_->Request(0, LevelSource::Tray);
}

void TForm1::MaxBrightnessClick(TObject*)
{
    if (LevelCount() >= 1)
        level_->Request(LevelCount() - 1, LevelSource::Tray);
}

void TForm1::RestoreBrightnessClick(TObject*)
{
    const int level = RestoreLevel();
    if (level < 0 || level > LevelCount() - 1)
        return;
    level_->Request(level, LevelSource::Restore);
    idle_->Resume();
}

void TForm1::ArmIdleDimming(int minutes)
{
    idle_->Arm(minutes);
    brightness_.RestoreLevel = std::max(level_->Level(), 0);
}

void TForm1::TurnOffMonitorClick(TObject*)
{
    if (services_.MonitorPower)
        services_.MonitorPower->TurnOff();
}

// ------------------------------------------------------ summary lines

void TForm1::ShowSettingsSummary(int level, bool runOnStartup, int interval)
{
    levelSummary_->setText("Brightness Level: " + IntToStr(level));
    levelSummary_->adjustSize();
    startupSummary_->setText(QString("Set on Startup: ") + (runOnStartup ? "ON" : "OFF"));
    startupSummary_->adjustSize();
    startupSwitch_->SetState(runOnStartup ? ssOn : ssOff);
    if (interval < 1) {
        intervalSummary_->setText("Never reduce brightness");
        intervalBox_->setText(QString());
    } else {
        intervalSummary_->setText("Interval: " + IntToStr(interval) + " min");
        intervalBox_->setText(IntToStr(interval));
    }
    intervalSummary_->adjustSize();
}

} // namespace lumora
