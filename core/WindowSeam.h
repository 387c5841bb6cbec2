#pragma once

#include "controls/buttons/AdvSmoothButton.h"
#include "controls/chart/SPBEPC.h"
#include "controls/gauge/AdvSmoothGauge.h"
#include "controls/imagelist/AdvSmoothImageListBoxPicker.h"
#include "controls/label/AdvSmoothLabel.h"
#include "controls/picture/AdvGDIPicture.h"
#include "controls/slider/AdvSmoothSlider.h"
#include "controls/trackbar/AdvSmoothTrackBar.h"
#include "core/BrightnessUnit.h"
#include "core/WindowAccess.h"
#include "tray/CoolTrayIcon.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

namespace lumora {

// The main window as its tests and benchmarks drive it: what it shows, what a
// user does to it, and the steps of its start-up, without reaching into its
// layout. The program itself never goes through here.
class TWindowSeam {
public:
    explicit TWindowSeam(TForm1& form) : f_(form) {}

    // ---- start-up: the deferred steps, run at once instead of on their timers
    bool StartupPending() const { return f_.startupTimer_->Enabled(); }
    void RunStartup() { f_.ApplySavedSettings(f_.startupTimer_); }
    void RunLoginStart() { f_.HideAtLoginStart(f_.loginStartTimer_); }

    // ---- what the window shows
    double Needle() const { return f_.gauge_->Value(); }
    double NeedleDestination() const { return f_.gauge_->DestinationValue(); }
    bool NeedleMoving() const { return f_.gauge_->Animating(); }
    QString NeedleFormat() const { return f_.gauge_->ValueFormat(); }
    double TrackBarPosition() const { return f_.trackBar_->Position(); }
    double Rating() const { return f_.ratingChart_->Current(); }
    QString LevelSummary() const { return f_.levelSummary_->text(); }
    QString StartupSummary() const { return f_.startupSummary_->text(); }
    QString IntervalSummary() const { return f_.intervalSummary_->text(); }
    QString IntervalText() const { return f_.intervalBox_->text(); }
    bool StartupSwitchOn() const { return f_.startupSwitch_->State() == ssOn; }
    const AdvGDIPicture::TAdvGDIPPicture& ProfilePicture() const { return *f_.profilePicture_; }
    bool TrayIconShown() const { return f_.trayIcon_->IconVisible(); }
    QList<QAction*> TrayMenuItems() const { return f_.trayMenu_->actions(); }
    // The window's own menu as last opened (null before it first opens).
    QMenu* WindowMenu() const { return f_.access_->Menu(); }
    // Where the minutes box sits within its caption.
    QRect IntervalBoxInCaption() const
    {
        return f_.intervalBox_->geometry().translated(-f_.intervalCaption_->pos());
    }

    // ---- what a user does
    // Drops the track bar's thumb at a position (0 ... 100).
    void DropTrackBar(double position) { f_.trackBar_->SetPosition(position); }
    // The thumb is being dragged over a position; it has not been let go.
    void DragTrackBar(double position) { f_.TrackBarPositionChanging(f_.trackBar_, position); }
    // Clicks the dial, or turns it with its keys, to a value.
    void TurnGauge(double value) { f_.gauge_->SetValue(value); }
    void FocusGauge(bool in, Qt::FocusReason reason = Qt::TabFocusReason)
    {
        QFocusEvent event(in ? QEvent::FocusIn : QEvent::FocusOut, reason);
        QApplication::sendEvent(f_.gauge_, &event);
    }
    void TypeInterval(const QString& text) { f_.intervalBox_->setText(text); }
    void SetStartupSwitch(bool on) { f_.startupSwitch_->SetState(on ? ssOn : ssOff); }

    // ---- the controls themselves, for what only they can say
    TAdvSmoothGauge& Gauge() { return *f_.gauge_; }
    TAdvSmoothImageListBoxPicker& ProfilePicker() { return *f_.profilePicker_; }
    TAdvSmoothLabel& IntervalCaption() { return *f_.intervalCaption_; }
    TAdvSmoothTrackBar& TrackBar() { return *f_.trackBar_; }
    TAdvSmoothSlider& StartupSwitch() { return *f_.startupSwitch_; }
    TAdvSmoothLabel& StartupCaption() { return *f_.startupCaption_; }
    TSPBEPC& RatingChart() { return *f_.ratingChart_; }
    TAdvSmoothButton& SaveProfileButton() { return *f_.saveProfileButton_; }
    TAdvSmoothButton& ApplySettingsButton() { return *f_.applySettingsButton_; }
    QLineEdit& IntervalBox() { return *f_.intervalBox_; }
    QLabel& LevelSummaryLabel() { return *f_.levelSummary_; }

private:
    TForm1& f_;
};

} // namespace lumora
