// Keeping the gauge, track bar and rating chart in step, writing the chosen
// level to the monitor, the tray menu's brightness commands and the summary
// lines.
//
// The gauge and the track bar move each other. SyncSource tells a handler
// whether the change it sees is the echo of one it caused itself: 1 while
// the track bar follows the gauge, 2 while the gauge follows the track bar.

#include "core/BrightnessUnit.h"

#include "controls/gauge/AdvSmoothGauge.h"
#include "controls/slider/AdvSmoothSlider.h"
#include "controls/trackbar/AdvSmoothTrackBar.h"
#include "controls/chart/SPBEPC.h"
#include "core/LevelMath.h"
#include "core/MonitorChoice.h"
#include "platform/framework/Exception.h"
#include "platform/framework/SysUtils.h"
#include "platform/shell/MonitorPower.h"

#include <QLabel>
#include <QLineEdit>

namespace lumora {

void TForm1::SetBrightnessAtIndex(int index)
{
    brightness_.SetBrightness(brightness_.LevelValue(index), brightness_.MonitorInstanceName);
}

void TForm1::ShowLevel(int index)
{
    SetUpdating(true);
    BG->SetValue(index);
    AdvSmoothTrackBar1->SetPosition(IndexToPosition(index, LevelCount()));
    SetUpdating(false);
}

void TForm1::BrightnessChangedOutside(const QString& instanceName, int percent)
{
    if (instanceName != brightness_.MonitorInstanceName || LevelCount() < 1 || updating_)
        return;
    const int index = NearestLevelIndex(brightness_.LevelList, percent);
    // As ShowLevel moves them, with the needle jumping: an animated one
    // reports every step it passes once the window stops updating, and each
    // report would be written back.
    SetUpdating(true);
    const bool animated = BG->Animation();
    BG->SetAnimation(false);
    BG->SetValue(index);
    AdvSmoothTrackBar1->SetPosition(IndexToPosition(index, LevelCount()));
    SPBEPC1->SetCurrent(RatingValue(AdvSmoothTrackBar1->Position()));
    BG->SetAnimation(animated);
    SetUpdating(false);
}

void TForm1::AdvSmoothTrackBar1PositionChanging(TObject*, double)
{
    if (!updating_)
        SPBEPC1->SetCurrent(RatingValue(AdvSmoothTrackBar1->Position()));
}

void TForm1::AdvSmoothTrackBar1PositionChanged(TObject*, double)
{
    if (updating_)
        return;
    if (SyncSource == 1) {
        // The track bar moved because it follows the gauge.
        AdvSmoothTrackBar1->SetPosition(GaugeValueToPosition(BG->Value(), LevelCount()));
        SyncSource = 0;
        return;
    }
    const int index = PositionToIndex(AdvSmoothTrackBar1->Position(), LevelCount());
    SetBrightnessAtIndex(index);
    SyncSource = 2;
    BG->SetValue(index);
    SPBEPC1->SetCurrent(RatingValue(AdvSmoothTrackBar1->Position()));
}

void TForm1::BGChange(TObject*)
{
    NoteShownLevel();
    // The gauge reports every repaint as a change, also one where the needle
    // did not move (the focus coming or going, a resize): only a move is a
    // level to write. Otherwise an error box, which takes the focus from the
    // gauge, would make the gauge report again and write again.
    const double value = BG->Value();
    const bool moved = value != reportedGaugeValue_;
    reportedGaugeValue_ = value;
    if (updating_)
        return;
    if (SyncSource == 2) {
        // The first report of the change the track bar just made.
        SyncSource = 0;
        return;
    }
    if (!moved)
        return;
    const int index = GaugeValueToIndex(BG->Value(), LevelCount());
    SPBEPC1->SetCurrent(RatingValue(AdvSmoothTrackBar1->Position()));
    SetBrightnessAtIndex(index);
    SyncSource = 1;
    AdvSmoothTrackBar1->SetPosition(GaugeValueToPosition(BG->Value(), LevelCount()));
}

int TForm1::ShownLevel() const
{
    if (LevelCount() < 1)
        return -1;
    return GaugeValueToIndex(BG->DestinationValue(), LevelCount());
}

void TForm1::NoteShownLevel()
{
    // The gauge reports every change, the needle's animation steps and its
    // other properties included; only a new level is news.
    const int level = ShownLevel();
    if (level < 0 || level == announcedLevel_)
        return;
    announcedLevel_ = level;
    if (OnShownLevelChanged)
        OnShownLevelChanged(level);
}

void TForm1::SetLevelByRequest(int index)
{
    if (LevelCount() < 1)
        throw Exception("The brightness levels are not known yet.");
    if (index < 0 || index > LevelCount() - 1)
        throw Exception(QString("Level %1 is out of range: the levels are 0 to %2.").arg(index).arg(LevelCount() - 1));
    // As a menu command: the write first, so a failure leaves the views alone.
    SetBrightnessAtIndex(index);
    ShowLevel(index);
    SPBEPC1->SetCurrent(RatingValue(AdvSmoothTrackBar1->Position()));
}

void TForm1::DeviceResumed()
{
    if (LevelCount() > 0)
        resume_->Resumed();
}

void TForm1::MinBrightness1Click(TObject*)
{
    if (LevelCount() < 1)
        return;
    SetBrightnessAtIndex(0);
    ShowLevel(0);
}

void TForm1::MaxBrightness1Click(TObject*)
{
    if (LevelCount() < 1)
        return;
    SetBrightnessAtIndex(LevelCount() - 1);
    ShowLevel(LevelCount() - 1);
}

void TForm1::RestoreBrightness1Click(TObject*)
{
    const int level = RestoreLevel();
    if (level < 0 || level > LevelCount() - 1)
        return;
    SetBrightnessAtIndex(level);
    ShowLevel(level);
    if (Timer2->Tag() > 0)
        Timer2->SetEnabled(true);
}

void TForm1::urnOffMonitor1Click(TObject*)
{
    if (services_.MonitorPower)
        services_.MonitorPower->TurnOff();
}

void TForm1::ShowSettingsSummary(int level, bool runOnStartup, int interval)
{
    Label1->setText("Brightness Level: " + IntToStr(level));
    Label1->adjustSize();
    Label2->setText(QString("Set on Startup: ") + (runOnStartup ? "ON" : "OFF"));
    Label2->adjustSize();
    AdvSmoothSlider1->SetState(runOnStartup ? ssOn : ssOff);
    if (interval < 1) {
        Label3->setText("Never reduce brightness");
        edtInterval->setText(QString());
    } else {
        Label3->setText("Interval: " + IntToStr(interval) + " min");
        edtInterval->setText(IntToStr(interval));
    }
    Label3->adjustSize();
}

} // namespace lumora
