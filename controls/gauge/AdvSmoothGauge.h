#pragma once

#include "platform/framework/Types.h"

#include "controls/gauge/AdvSmoothGaugeFaceCache.h"
#include "controls/gauge/AdvSmoothGaugeGeometry.h"
#include "controls/gauge/AdvSmoothGaugeParts.h"
#include "platform/framework/Component.h"
#include "platform/framework/Events.h"
#include "platform/framework/Font.h"
#include "platform/framework/Timer.h"

#include <QString>
#include <QWidget>

#include <functional>

class QPainter;

namespace lumora {

using TAdvSmoothGaugeTextRenderingHint = TTextRenderingHint;
enum TAdvSmoothGaugeNeedleType { ntPointer, ntSelector };

using TAdvSmoothGaugeValueChanged = std::function<void(TObject* Sender, double Value)>;
using TAdvSmoothGaugeDisplayValue = std::function<void(TObject* Sender, double& Value)>;
using TAdvSmoothGaugeGetValueText = std::function<void(TObject* Sender, double Value, QString& Str)>;

// A round dial showing a value between two integer limits: scale with ticks
// and numbers, band arc and threshold highlight, sections, a needle that
// glides to each new value, a seven-segment readout and a line of dial text.
// The value can be picked by clicking a tick step on the dial or with keys.
//
// The animation timer runs only while the needle is moving; at rest nothing
// wakes the process.
class TAdvSmoothGauge : public QWidget, public TComponent, private TAdvSmoothGaugeScaleOwner {
public:
    static constexpr int kAnimationInterval = 16; // ms per animation step

    explicit TAdvSmoothGauge(QWidget* parent = nullptr, TComponent* owner = nullptr);
    ~TAdvSmoothGauge() override;

    // Range and value --------------------------------------------------------
    int MinimumValue() const { return minimumValue_; }
    void SetMinimumValue(int value);
    int MaximumValue() const { return maximumValue_; }
    void SetMaximumValue(int value);
    // The value the needle shows now; mid-animation the intermediate value.
    double Value() const { return value_; }
    void SetValue(double value);
    // Where the animation is heading; equal to Value at rest.
    double DestinationValue() const { return destinationValue_; }

    bool Animation() const { return animation_; }
    void SetAnimation(bool value);
    int AnimationFactor() const { return animationFactor_; }
    void SetAnimationFactor(int value);
    // True while the animation timer runs.
    bool Animating() const { return animationTimer_.IsRunning(); }
    // One animation step, as the timer makes it every kAnimationInterval ms.
    void AnimationStep();

    // Scale ------------------------------------------------------------------
    int DivisionCount() const { return divisionCount_; }
    void SetDivisionCount(int value);
    int SubDivisionCount() const { return subDivisionCount_; }
    void SetSubDivisionCount(int value);
    TColor DivisionColor() const { return divisionColor_; }
    void SetDivisionColor(TColor value);
    TColor SubDivisionColor() const { return subDivisionColor_; }
    void SetSubDivisionColor(TColor value);
    int DivisionWidth() const { return divisionWidth_; }
    void SetDivisionWidth(int value);
    int SubDivisionWidth() const { return subDivisionWidth_; }
    void SetSubDivisionWidth(int value);
    bool ShowValues() const { return showValues_; }
    void SetShowValues(bool value);

    // Texts ------------------------------------------------------------------
    const QString& ValueFormat() const { return valueFormat_; }
    void SetValueFormat(const QString& value);
    const QString& DialText() const { return dialText_; }
    void SetDialText(const QString& value);
    TFont& Font() { return font_; }
    const TFont& Font() const { return font_; }
    void SetFont(const TFont& value) { font_.Assign(value); }
    TFont& ValueFont() { return valueFont_; }
    const TFont& ValueFont() const { return valueFont_; }
    void SetValueFont(const TFont& value) { valueFont_.Assign(value); }
    TAdvSmoothGaugeTextRenderingHint TextRendering() const { return textRendering_; }
    void SetTextRendering(TAdvSmoothGaugeTextRenderingHint value);
    TAdvSmoothGaugeNeedleType NeedleType() const { return needleType_; }
    void SetNeedleType(TAdvSmoothGaugeNeedleType value);

    // Parts ------------------------------------------------------------------
    TAdvSmoothGaugeDigit& Digit() { return digit_; }
    const TAdvSmoothGaugeDigit& Digit() const { return digit_; }
    void SetDigit(const TAdvSmoothGaugeDigit& value) { digit_.Assign(value); }
    TAdvSmoothGaugeOuterCircle& OuterCircle() { return outerCircle_; }
    const TAdvSmoothGaugeOuterCircle& OuterCircle() const { return outerCircle_; }
    void SetOuterCircle(const TAdvSmoothGaugeOuterCircle& value) { outerCircle_.Assign(value); }
    TAdvSmoothGaugeInnerCircle& InnerCircle() { return innerCircle_; }
    const TAdvSmoothGaugeInnerCircle& InnerCircle() const { return innerCircle_; }
    void SetInnerCircle(const TAdvSmoothGaugeInnerCircle& value) { innerCircle_.Assign(value); }
    TAdvSmoothGaugeOuterRim& OuterRim() { return outerRim_; }
    const TAdvSmoothGaugeOuterRim& OuterRim() const { return outerRim_; }
    void SetOuterRim(const TAdvSmoothGaugeOuterRim& value) { outerRim_.Assign(value); }
    TAdvSmoothGaugeNeedle& Needle() { return needle_; }
    const TAdvSmoothGaugeNeedle& Needle() const { return needle_; }
    void SetNeedle(const TAdvSmoothGaugeNeedle& value) { needle_.Assign(value); }
    TAdvSmoothGaugeArc& Arc() { return arc_; }
    const TAdvSmoothGaugeArc& Arc() const { return arc_; }
    void SetArc(const TAdvSmoothGaugeArc& value) { arc_.Assign(value); }
    TAdvSmoothGaugeSections& Sections() { return sections_; }
    const TAdvSmoothGaugeSections& Sections() const { return sections_; }
    void SetSections(const TAdvSmoothGaugeSections& value) { sections_.Assign(value); }

    // "1.3.5.0"; read-only.
    QString Version() const;
    void SetVersion(const QString&) {}

    // The framework's focus switch: Tab reaches the control, keys and clicks
    // change the value. On by default.
    bool TabStop() const;
    void SetTabStop(bool value);
    // True while the control has the input focus.
    bool Focused() const { return focused_; }

    // Copies the appearance, range, value and behaviour of another gauge.
    void Assign(const TAdvSmoothGauge& source);

    // Colour presets 0 ... 15; 4 is the set of the main window's gauge.
    void ApplyColorStyle(int style);

    // Geometry ---------------------------------------------------------------
    GaugeScale Scale() const { return {minimumValue_, maximumValue_, arc_.StartAngle(), arc_.StopAngle()}; }
    const GaugeDial& Dial() const { return dial_; }
    int DialMarginX() const { return dial_.DialMarginX; }
    int DialMarginY() const { return dial_.DialMarginY; }
    int DialWidth() const { return dial_.DialWidth; }
    int DialHeight() const { return dial_.DialHeight; }
    QRectF DialRect() const { return dial_.DialRect; }
    QRectF ArcRect() const { return span_.ArcRect; }
    double ThresholdStart() const { return span_.ThresholdStart; }
    double ThresholdSweep() const { return span_.ThresholdSweep; }
    const TGaugeTickMarks& TickMarks() const { return ticks_; }
    double ValueToAngle(double value) const { return lumora::ValueToAngle(Scale(), value); }
    TArrayOfPointF BuildNeedleOutline(double value) const { return lumora::BuildNeedleOutline(Scale(), dial_, value); }

    void UpdateDialRect();
    void UpdateThresholdSpan();
    void BuildTickMarks();

    // Picks the value of the tick-step wedge under the point, if any.
    void ValueAtPoint(int x, int y);

    // Something visible changed: OnChange, then a repaint.
    void Changed();

    // Draws the control (both layers) onto a painter, as a paint does: what
    // does not move with the value comes from pictures kept since the last
    // change of appearance, size or pixel ratio. OnGetValueText is raised
    // when those pictures are made.
    void PaintGauge(QPainter& painter);

    TNotifyEvent OnChange;
    TAdvSmoothGaugeValueChanged OnValueChanged;
    TAdvSmoothGaugeDisplayValue OnDisplayValue;
    TAdvSmoothGaugeGetValueText OnGetValueText;

protected:
    void Loaded() override;

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // TAdvSmoothGaugeScaleOwner
    bool ValueInRange(double value) const override;
    void ThresholdChanged() override;
    void ScaleAnglesChanged() override;

    // Steps are skipped and values land at once while a form is loading.
    bool Immediate() const { return !animation_ || IsLoading(); }
    // Starts or stops the timer to match whether the needle has to move.
    void UpdateAnimationTimer();
    // The range moved: keep the threshold centre inside it, rebuild.
    void RangeChanged();
    // Only the value shown moved: OnChange and a repaint that keeps the face.
    void ValueShown();

    int minimumValue_ = 0;
    int maximumValue_ = 100;
    GaugeDial dial_ = lumora::UpdateDialRect(200, 200, 5, 5);
    GaugeThresholdSpan span_;
    TGaugeTickMarks ticks_;

    double value_ = 0;
    double destinationValue_ = 0;
    bool animation_ = true;
    int animationFactor_ = 5;
    int divisionCount_ = 10;
    int subDivisionCount_ = 3;
    TColor divisionColor_ = 64636;
    TColor subDivisionColor_ = 64636;
    int divisionWidth_ = 5;
    int subDivisionWidth_ = 2;
    bool showValues_ = true;
    QString valueFormat_ = QStringLiteral("000.00");
    QString dialText_;
    TFont font_;
    TFont valueFont_;
    TAdvSmoothGaugeTextRenderingHint textRendering_ = tClearType;
    TAdvSmoothGaugeNeedleType needleType_ = ntPointer;
    bool focused_ = false;

    TAdvSmoothGaugeDigit digit_;
    TAdvSmoothGaugeOuterCircle outerCircle_;
    TAdvSmoothGaugeInnerCircle innerCircle_;
    TAdvSmoothGaugeOuterRim outerRim_;
    TAdvSmoothGaugeNeedle needle_;
    TAdvSmoothGaugeArc arc_{this};
    TAdvSmoothGaugeSections sections_;

    TTimer animationTimer_;
    TAdvSmoothGaugeFaceCache faceCache_;
};

} // namespace lumora
