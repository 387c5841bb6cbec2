#pragma once

#include "platform/framework/Colors.h"
#include "platform/framework/Persistent.h"
#include "platform/framework/Types.h"

#include <memory>
#include <vector>

namespace lumora {

// The appearance parts a gauge owns. Every setter stores the value and fires
// OnChange only when it differs; Assign from a part of the same class copies
// every property and fires OnChange once.

// What the arc and its threshold need from the gauge that owns them: the range
// check of the threshold's centre and the recomputation of the geometry that
// depends on their values.
class TAdvSmoothGaugeScaleOwner {
public:
    virtual bool ValueInRange(double value) const = 0;
    // The threshold's inputs or the arc's width changed.
    virtual void ThresholdChanged() = 0;
    // The arc's start or stop angle changed: ticks and threshold move.
    virtual void ScaleAnglesChanged() = 0;

protected:
    ~TAdvSmoothGaugeScaleOwner() = default;
};

enum TAdvSmoothGaugeThresholdKind { tkAngle, tkValue };

class TAdvSmoothGaugeGloss : public TPersistent {
public:
    TColor Color() const { return color_; }
    void SetColor(TColor value) { SetProperty(color_, value); }
    int Opacity() const { return opacity_; }
    void SetOpacity(int value) { SetProperty(opacity_, value); }

    void Assign(const TPersistent& source) override;

private:
    TColor color_ = clWhite;
    int opacity_ = 72;
};

class TAdvSmoothGaugeDigit : public TPersistent {
public:
    TColor Color() const { return color_; }
    void SetColor(TColor value) { SetProperty(color_, value); }
    TColor BackGroundColor() const { return backGroundColor_; }
    void SetBackGroundColor(TColor value) { SetProperty(backGroundColor_, value); }
    int BackGroundOpacity() const { return backGroundOpacity_; }
    void SetBackGroundOpacity(int value) { SetProperty(backGroundOpacity_, value); }
    bool Visible() const { return visible_; }
    void SetVisible(bool value) { SetProperty(visible_, value); }
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value) { SetProperty(alignment_, value); }

    void Assign(const TPersistent& source) override;

private:
    TColor color_ = 64636;
    TColor backGroundColor_ = 0x808080;
    int backGroundOpacity_ = 30;
    bool visible_ = true;
    TAlignment alignment_ = taCenter;
};

class TAdvSmoothGaugeOuterCircle : public TPersistent {
public:
    TColor Color() const { return color_; }
    void SetColor(TColor value) { SetProperty(color_, value); }
    // Stroke width as a fraction of the dial width.
    double Width() const { return width_; }
    void SetWidth(double value) { SetProperty(width_, value); }
    int Opacity() const { return opacity_; }
    void SetOpacity(int value) { SetProperty(opacity_, value); }

    void Assign(const TPersistent& source) override;

private:
    TColor color_ = 0x908070;
    double width_ = 0.03;
    int opacity_ = 100;
};

class TAdvSmoothGaugeInnerCircle : public TPersistent {
public:
    TAdvSmoothGaugeInnerCircle();

    // The dial face; also the colour of unlit readout segments.
    TColor Color() const { return color_; }
    void SetColor(TColor value) { SetProperty(color_, value); }
    int Opacity() const { return opacity_; }
    void SetOpacity(int value) { SetProperty(opacity_, value); }
    TAdvSmoothGaugeGloss& Gloss() { return gloss_; }
    const TAdvSmoothGaugeGloss& Gloss() const { return gloss_; }
    void SetGloss(const TAdvSmoothGaugeGloss& value);

    void Assign(const TPersistent& source) override;

private:
    TColor color_ = 0xFF0000;
    int opacity_ = 150;
    TAdvSmoothGaugeGloss gloss_;
};

class TAdvSmoothGaugeOuterRim : public TPersistent {
public:
    TColor Color() const { return color_; }
    void SetColor(TColor value) { SetProperty(color_, value); }
    int Opacity() const { return opacity_; }
    void SetOpacity(int value) { SetProperty(opacity_, value); }
    // Pen width in pixels.
    int Width() const { return width_; }
    void SetWidth(int value) { SetProperty(width_, value); }

    void Assign(const TPersistent& source) override;

private:
    TColor color_ = 0x908070;
    int opacity_ = 255;
    int width_ = 2;
};

class TAdvSmoothGaugeNeedle : public TPersistent {
public:
    TColor Color() const { return color_; }
    void SetColor(TColor value) { SetProperty(color_, value); }
    TColor ShineColor() const { return shineColor_; }
    void SetShineColor(TColor value) { SetProperty(shineColor_, value); }
    TColor ShineColorTo() const { return shineColorTo_; }
    void SetShineColorTo(TColor value) { SetProperty(shineColorTo_, value); }
    TColor OuterCenterColor() const { return outerCenterColor_; }
    void SetOuterCenterColor(TColor value) { SetProperty(outerCenterColor_, value); }
    TColor OuterCenterColorTo() const { return outerCenterColorTo_; }
    void SetOuterCenterColorTo(TColor value) { SetProperty(outerCenterColorTo_, value); }
    int OuterCenterOpacity() const { return outerCenterOpacity_; }
    void SetOuterCenterOpacity(int value) { SetProperty(outerCenterOpacity_, value); }
    TColor InnerCenterColor() const { return innerCenterColor_; }
    void SetInnerCenterColor(TColor value) { SetProperty(innerCenterColor_, value); }
    TColor InnerCenterColorTo() const { return innerCenterColorTo_; }
    void SetInnerCenterColorTo(TColor value) { SetProperty(innerCenterColorTo_, value); }
    int InnerCenterOpacity() const { return innerCenterOpacity_; }
    void SetInnerCenterOpacity(int value) { SetProperty(innerCenterOpacity_, value); }

    void Assign(const TPersistent& source) override;

private:
    TColor color_ = 64636;
    TColor shineColor_ = 64636;
    TColor shineColorTo_ = 0xD3D3D3;
    TColor outerCenterColor_ = 0xFF0000;
    TColor outerCenterColorTo_ = 0xFF0000;
    int outerCenterOpacity_ = 100;
    TColor innerCenterColor_ = 0x8B0000;
    TColor innerCenterColorTo_ = 0x8B0000;
    int innerCenterOpacity_ = 255;
};

// The highlight on the band arc, and the band arc's own extent.
class TAdvSmoothGaugeThreshold : public TPersistent {
public:
    explicit TAdvSmoothGaugeThreshold(TAdvSmoothGaugeScaleOwner* owner = nullptr) : owner_(owner) {}

    TColor Color() const { return color_; }
    void SetColor(TColor value) { SetProperty(color_, value); }
    int Opacity() const { return opacity_; }
    void SetOpacity(int value) { SetProperty(opacity_, value); }
    // Value at the middle of the highlight; outside the gauge's range it is
    // ignored. Stored and announced even when equal.
    double Center() const { return center_; }
    void SetCenter(double value);
    // Highlight length in percent of SweepAngle, 0 ... 100.
    int Span() const { return span_; }
    void SetSpan(int value);
    int StartAngle() const { return startAngle_; }
    void SetStartAngle(int value);
    int SweepAngle() const { return sweepAngle_; }
    void SetSweepAngle(int value);
    double StartValue() const { return startValue_; }
    void SetStartValue(double value);
    double EndValue() const { return endValue_; }
    void SetEndValue(double value);
    TAdvSmoothGaugeThresholdKind ThresholdKind() const { return thresholdKind_; }
    void SetThresholdKind(TAdvSmoothGaugeThresholdKind value);

    void Assign(const TPersistent& source) override;

private:
    friend class TAdvSmoothGauge; // moves Center into a new range without a notification

    void GeometryChanged();

    TAdvSmoothGaugeScaleOwner* owner_;
    TColor color_ = 64636;
    int opacity_ = 200;
    double center_ = 25.0;
    int span_ = 25;
    int startAngle_ = 135;
    int sweepAngle_ = 270;
    double startValue_ = 0;
    double endValue_ = 0;
    TAdvSmoothGaugeThresholdKind thresholdKind_ = tkAngle;
};

class TAdvSmoothGaugeArc : public TPersistent {
public:
    explicit TAdvSmoothGaugeArc(TAdvSmoothGaugeScaleOwner* owner = nullptr);

    TColor Color() const { return color_; }
    void SetColor(TColor value) { SetProperty(color_, value); }
    // Inset of the arc from the dial edge, as a fraction of the control width.
    double Width() const { return width_; }
    void SetWidth(double value);
    int Opacity() const { return opacity_; }
    void SetOpacity(int value) { SetProperty(opacity_, value); }
    // Angle of MinimumValue.
    int StartAngle() const { return startAngle_; }
    void SetStartAngle(int value);
    // Angle of MaximumValue.
    int StopAngle() const { return stopAngle_; }
    void SetStopAngle(int value);
    TAdvSmoothGaugeThreshold& Threshold() { return threshold_; }
    const TAdvSmoothGaugeThreshold& Threshold() const { return threshold_; }
    void SetThreshold(const TAdvSmoothGaugeThreshold& value);

    void Assign(const TPersistent& source) override;

private:
    TAdvSmoothGaugeScaleOwner* owner_;
    TColor color_ = 0x8B0000;
    double width_ = 0.03;
    int opacity_ = 200;
    int startAngle_ = 135;
    int stopAngle_ = 405;
    TAdvSmoothGaugeThreshold threshold_;
};

// One coloured sector of the dial: a pie slice, or a ring sector when
// InnerMargin is above 0.
class TAdvSmoothGaugeSection : public TPersistent {
public:
    TAdvSmoothGaugeSection();

    TColor Color() const { return color_; }
    void SetColor(TColor value) { SetProperty(color_, value); }
    int Opacity() const { return opacity_; }
    void SetOpacity(int value) { SetProperty(opacity_, value); }
    TAdvSmoothGaugeGloss& Gloss() { return gloss_; }
    const TAdvSmoothGaugeGloss& Gloss() const { return gloss_; }
    void SetGloss(const TAdvSmoothGaugeGloss& value);
    double StartValue() const { return startValue_; }
    void SetStartValue(double value) { SetProperty(startValue_, value); }
    double EndValue() const { return endValue_; }
    void SetEndValue(double value) { SetProperty(endValue_, value); }
    // Distance of the outer edge from the control edge, pixels.
    int OuterMargin() const { return outerMargin_; }
    void SetOuterMargin(int value) { SetProperty(outerMargin_, value); }
    // Radius of the inner edge about the control centre, pixels.
    int InnerMargin() const { return innerMargin_; }
    void SetInnerMargin(int value) { SetProperty(innerMargin_, value); }

    void Assign(const TPersistent& source) override;

private:
    TColor color_ = 0xFF0000;
    int opacity_ = 150;
    TAdvSmoothGaugeGloss gloss_;
    double startValue_ = 0;
    double endValue_ = 100;
    int outerMargin_ = 20;
    int innerMargin_ = 0;
};

// The gauge's sections, in drawing order. Adding, changing or removing an
// item fires OnChange.
class TAdvSmoothGaugeSections : public TPersistent {
public:
    int Count() const { return int(items_.size()); }
    TAdvSmoothGaugeSection& Items(int index) { return *items_.at(std::size_t(index)); }
    const TAdvSmoothGaugeSection& Items(int index) const { return *items_.at(std::size_t(index)); }

    TAdvSmoothGaugeSection& Add();
    void Delete(int index);
    void Clear();

    void Assign(const TPersistent& source) override;

private:
    std::vector<std::unique_ptr<TAdvSmoothGaugeSection>> items_;
};

} // namespace lumora
