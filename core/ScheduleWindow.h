#pragma once

#include "core/ScheduleDraft.h"
#include "platform/framework/Form.h"

#include <QString>

#include <functional>
#include <vector>

class QGridLayout;
class QLabel;
class QLineEdit;

namespace lumora {

class TAdvSmoothButton;
class TAdvSmoothSlider;
class TSettingsStore;

// The "Schedule..." window: per profile its triggers, the location, the fade
// length and the light curve, built from the program's controls. It works
// from the keyboard alone: Tab walks the boxes, the switch and the buttons
// in reading order, Space flips the switch, Return saves from any box and
// Escape closes without saving.
class TScheduleWindow : public TForm {
    Q_OBJECT

public:
    // `zoneCity` names the place used while no location is entered.
    TScheduleWindow(TSettingsStore* settings, const QString& zoneCity, int screenPixelsPerInch = 0);

    // Checks and saves; on a problem says so, puts the focus on its box and
    // returns false.
    bool Save();
    // The boxes' texts as they stand.
    TScheduleDraft Draft() const;

    // What the window says about the light sensor under the light's boxes
    // (a sensor that gives no lux); hidden when empty.
    void SetLightNotice(const QString& text);
    QString LightNotice() const;

    // Called after a save, so automation reads the settings again.
    std::function<void()> OnSaved;

    // For tests: the boxes, in the order Tab visits them.
    QLineEdit* TriggersBox(int row) const { return triggerBoxes_.at(row); }
    QLineEdit* LatitudeBox() const { return latitude_; }
    QLineEdit* LongitudeBox() const { return longitude_; }
    QLineEdit* FadeBox() const { return fade_; }
    QLineEdit* ShiftBox() const { return shift_; }
    QLineEdit* LightPauseBox() const { return lightPause_; }
    TAdvSmoothSlider* LightSwitch() const { return lightSwitch_; }
    TAdvSmoothButton* SaveButton() const { return saveButton_; }
    TAdvSmoothButton* CancelButton() const { return cancelButton_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* AddBox(const QString& caption, const QString& text, const QString& name);

    TSettingsStore* settings_;
    TScheduleDraft loaded_;
    std::vector<QLineEdit*> triggerBoxes_;
    QLineEdit* latitude_ = nullptr;
    QLineEdit* longitude_ = nullptr;
    QLineEdit* fade_ = nullptr;
    QLineEdit* shift_ = nullptr;
    QLineEdit* lightPause_ = nullptr;
    TAdvSmoothSlider* lightSwitch_ = nullptr;
    QLabel* lightNotice_ = nullptr;
    TAdvSmoothButton* saveButton_ = nullptr;
    TAdvSmoothButton* cancelButton_ = nullptr;
    QGridLayout* grid_ = nullptr;
};

} // namespace lumora
