#pragma once

#include "controls/PropertyGroup.h"
#include "platform/framework/Colors.h"
#include "platform/framework/Persistent.h"
#include "platform/framework/Types.h"

#include <memory>
#include <vector>

namespace lumora {

// The appearance parts a gauge owns. Every setter stores the value and fires
// OnChange only when it differs; Assign from a part of the same class copies
// every property and fires OnChange once. Each part keeps its plain values in
// one struct (TPropertyGroup), so Assign cannot miss one.

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

struct TAdvSmoothGaugeGlossData {
    TColor Color = clWhite;
    int Opacity = 72;
    bool operator==(const TAdvSmoothGaugeGlossData&) const = default;
};

class TAdvSmoothGaugeGloss : public TPropertyGroup<TAdvSmoothGaugeGloss, TAdvSmoothGaugeGlossData> {
public:
    TColor Color() const { return data_.Color; }
    void SetColor(TColor value) { SetProperty(data_.Color, value); }
    int Opacity() const { return data_.Opacity; }
    void SetOpacity(int value) { SetProperty(data_.Opacity, value); }
};

struct TAdvSmoothGaugeDigitData {
    TColor Color = 64636;
    TColor BackGroundColor = 0x808080;
    int BackGroundOpacity = 30;
    bool Visible = true;
    TAlignment Alignment = taCenter;
    bool operator==(const TAdvSmoothGaugeDigitData&) const = default;
};

class TAdvSmoothGaugeDigit : public TPropertyGroup<TAdvSmoothGaugeDigit, TAdvSmoothGaugeDigitData> {
public:
    TColor Color() const { return data_.Color; }
    void SetColor(TColor value) { SetProperty(data_.Color, value); }
    TColor BackGroundColor() const { return data_.BackGroundColor; }
    void SetBackGroundColor(TColor value) { SetProperty(data_.BackGroundColor, value); }
    int BackGroundOpacity() const { return data_.BackGroundOpacity; }
    void SetBackGroundOpacity(int value) { SetProperty(data_.BackGroundOpacity, value); }
    bool Visible() const { return data_.Visible; }
    void SetVisible(bool value) { SetProperty(data_.Visible, value); }
    TAlignment Alignment() const { return data_.Alignment; }
    void SetAlignment(TAlignment value) { SetProperty(data_.Alignment, value); }
};

struct TAdvSmoothGaugeOuterCircleData {
    TColor Color = 0x908070;
    double Width = 0.03;
    int Opacity = 100;
    bool operator==(const TAdvSmoothGaugeOuterCircleData&) const = default;
};

class TAdvSmoothGaugeOuterCircle
    : public TPropertyGroup<TAdvSmoothGaugeOuterCircle, TAdvSmoothGaugeOuterCircleData> {
public:
    TColor Color() const { return data_.Color; }
    void SetColor(TColor value) { SetProperty(data_.Color, value); }
    // Stroke width as a fraction of the dial width.
    double Width() const { return data_.Width; }
    void SetWidth(double value) { SetProperty(data_.Width, value); }
    int Opacity() const { return data_.Opacity; }
    void SetOpacity(int value) { SetProperty(data_.Opacity, value); }
};

struct TAdvSmoothGaugeInnerCircleData {
    TColor Color = 0xFF0000;
    int Opacity = 150;
    bool operator==(const TAdvSmoothGaugeInnerCircleData&) const = default;
};

class TAdvSmoothGaugeInnerCircle
    : public TPropertyGroup<TAdvSmoothGaugeInnerCircle, TAdvSmoothGaugeInnerCircleData> {
public:
    TAdvSmoothGaugeInnerCircle();

    // The dial face; also the colour of unlit readout segments.
    TColor Color() const { return data_.Color; }
    void SetColor(TColor value) { SetProperty(data_.Color, value); }
    int Opacity() const { return data_.Opacity; }
    void SetOpacity(int value) { SetProperty(data_.Opacity, value); }
    TAdvSmoothGaugeGloss& Gloss() { return gloss_; }
    const TAdvSmoothGaugeGloss& Gloss() const { return gloss_; }
    void SetGloss(const TAdvSmoothGaugeGloss& value);

    void Assign(const TPersistent& source) override;

private:
    TAdvSmoothGaugeGloss gloss_;
};

struct TAdvSmoothGaugeOuterRimData {
    TColor Color = 0x908070;
    int Opacity = 255;
    int Width = 2;
    bool operator==(const TAdvSmoothGaugeOuterRimData&) const = default;
};

class TAdvSmoothGaugeOuterRim : public TPropertyGroup<TAdvSmoothGaugeOuterRim, TAdvSmoothGaugeOuterRimData> {
public:
    TColor Color() const { return data_.Color; }
    void SetColor(TColor value) { SetProperty(data_.Color, value); }
    int Opacity() const { return data_.Opacity; }
    void SetOpacity(int value) { SetProperty(data_.Opacity, value); }
    // Pen width in pixels.
    int Width() const { return data_.Width; }
    void SetWidth(int value) { SetProperty(data_.Width, value); }
};

struct TAdvSmoothGaugeNeedleData {
    TColor Color = 64636;
    TColor ShineColor = 64636;
    TColor ShineColorTo = 0xD3D3D3;
    TColor OuterCenterColor = 0xFF0000;
    TColor OuterCenterColorTo = 0xFF0000;
    int OuterCenterOpacity = 100;
    TColor InnerCenterColor = 0x8B0000;
    TColor InnerCenterColorTo = 0x8B0000;
    int InnerCenterOpacity = 255;
    bool operator==(const TAdvSmoothGaugeNeedleData&) const = default;
};

class TAdvSmoothGaugeNeedle : public TPropertyGroup<TAdvSmoothGaugeNeedle, TAdvSmoothGaugeNeedleData> {
public:
    TColor Color() const { return data_.Color; }
    void SetColor(TColor value) { SetProperty(data_.Color, value); }
    TColor ShineColor() const { return data_.ShineColor; }
    void SetShineColor(TColor value) { SetProperty(data_.ShineColor, value); }
    TColor ShineColorTo() const { return data_.ShineColorTo; }
    void SetShineColorTo(TColor value) { SetProperty(data_.ShineColorTo, value); }
    TColor OuterCenterColor() const { return data_.OuterCenterColor; }
    void SetOuterCenterColor(TColor value) { SetProperty(data_.OuterCenterColor, value); }
    TColor OuterCenterColorTo() const { return data_.OuterCenterColorTo; }
    void SetOuterCenterColorTo(TColor value) { SetProperty(data_.OuterCenterColorTo, value); }
    int OuterCenterOpacity() const { return data_.OuterCenterOpacity; }
    void SetOuterCenterOpacity(int value) { SetProperty(data_.OuterCenterOpacity, value); }
    TColor InnerCenterColor() const { return data_.InnerCenterColor; }
    void SetInnerCenterColor(TColor value) { SetProperty(data_.InnerCenterColor, value); }
    TColor InnerCenterColorTo() const { return data_.InnerCenterColorTo; }
    void SetInnerCenterColorTo(TColor value) { SetProperty(data_.InnerCenterColorTo, value); }
    int InnerCenterOpacity() const { return data_.InnerCenterOpacity; }
    void SetInnerCenterOpacity(int value) { SetProperty(data_.InnerCenterOpacity, value); }
};

struct TAdvSmoothGaugeThresholdData {
    TColor Color = 64636;
    int Opacity = 200;
    double Center = 25.0;
    int Span = 25;
    int StartAngle = 135;
    int SweepAngle = 270;
    double StartValue = 0;
    double EndValue = 0;
    TAdvSmoothGaugeThresholdKind ThresholdKind = tkAngle;
    bool operator==(const TAdvSmoothGaugeThresholdData&) const = default;
};

// The highlight on the band arc, and the band arc's own extent.
class TAdvSmoothGaugeThreshold
    : public TPropertyGroup<TAdvSmoothGaugeThreshold, TAdvSmoothGaugeThresholdData> {
public:
    explicit TAdvSmoothGaugeThreshold(TAdvSmoothGaugeScaleOwner* owner = nullptr) : owner_(owner) {}

    TColor Color() const { return data_.Color; }
    void SetColor(TColor value) { SetProperty(data_.Color, value); }
    int Opacity() const { return data_.Opacity; }
    void SetOpacity(int value) { SetProperty(data_.Opacity, value); }
    // Value at the middle of the highlight; outside the gauge's range it is
    // ignored. Stored and announced even when equal.
    double Center() const { return data_.Center; }
    void SetCenter(double value);
    // Highlight length in percent of SweepAngle, 0 ... 100.
    int Span() const { return data_.Span; }
    void SetSpan(int value);
    int StartAngle() const { return data_.StartAngle; }
    void SetStartAngle(int value);
    int SweepAngle() const { return data_.SweepAngle; }
    void SetSweepAngle(int value);
    double StartValue() const { return data_.StartValue; }
    void SetStartValue(double value);
    double EndValue() const { return data_.EndValue; }
    void SetEndValue(double value);
    TAdvSmoothGaugeThresholdKind ThresholdKind() const { return data_.ThresholdKind; }
    void SetThresholdKind(TAdvSmoothGaugeThresholdKind value);

    // Copies every value except a Center outside the owner's range, then
    // lets the owner recompute the threshold and notifies.
    void Assign(const TPersistent& source) override;

private:
    friend class TAdvSmoothGauge; // moves Center into a new range without a notification

    void GeometryChanged();

    TAdvSmoothGaugeScaleOwner* owner_;
};

struct TAdvSmoothGaugeArcData {
    TColor Color = 0x8B0000;
    double Width = 0.03;
    int Opacity = 200;
    int StartAngle = 135;
    int StopAngle = 405;
    bool operator==(const TAdvSmoothGaugeArcData&) const = default;
};

class TAdvSmoothGaugeArc : public TPropertyGroup<TAdvSmoothGaugeArc, TAdvSmoothGaugeArcData> {
public:
    explicit TAdvSmoothGaugeArc(TAdvSmoothGaugeScaleOwner* owner = nullptr);

    TColor Color() const { return data_.Color; }
    void SetColor(TColor value) { SetProperty(data_.Color, value); }
    // Inset of the arc from the dial edge, as a fraction of the control width.
    double Width() const { return data_.Width; }
    void SetWidth(double value);
    int Opacity() const { return data_.Opacity; }
    void SetOpacity(int value) { SetProperty(data_.Opacity, value); }
    // Angle of MinimumValue.
    int StartAngle() const { return data_.StartAngle; }
    void SetStartAngle(int value);
    // Angle of MaximumValue.
    int StopAngle() const { return data_.StopAngle; }
    void SetStopAngle(int value);
    TAdvSmoothGaugeThreshold& Threshold() { return threshold_; }
    const TAdvSmoothGaugeThreshold& Threshold() const { return threshold_; }
    void SetThreshold(const TAdvSmoothGaugeThreshold& value);

    void Assign(const TPersistent& source) override;

private:
    TAdvSmoothGaugeScaleOwner* owner_;
    TAdvSmoothGaugeThreshold threshold_;
};

struct TAdvSmoothGaugeSectionData {
    TColor Color = 0xFF0000;
    int Opacity = 150;
    double StartValue = 0;
    double EndValue = 100;
    int OuterMargin = 20;
    int InnerMargin = 0;
    bool operator==(const TAdvSmoothGaugeSectionData&) const = default;
};

// One coloured sector of the dial: a pie slice, or a ring sector when
// InnerMargin is above 0.
class TAdvSmoothGaugeSection : public TPropertyGroup<TAdvSmoothGaugeSection, TAdvSmoothGaugeSectionData> {
public:
    TAdvSmoothGaugeSection();

    TColor Color() const { return data_.Color; }
    void SetColor(TColor value) { SetProperty(data_.Color, value); }
    int Opacity() const { return data_.Opacity; }
    void SetOpacity(int value) { SetProperty(data_.Opacity, value); }
    TAdvSmoothGaugeGloss& Gloss() { return gloss_; }
    const TAdvSmoothGaugeGloss& Gloss() const { return gloss_; }
    void SetGloss(const TAdvSmoothGaugeGloss& value);
    double StartValue() const { return data_.StartValue; }
    void SetStartValue(double value) { SetProperty(data_.StartValue, value); }
    double EndValue() const { return data_.EndValue; }
    void SetEndValue(double value) { SetProperty(data_.EndValue, value); }
    // Distance of the outer edge from the control edge, pixels.
    int OuterMargin() const { return data_.OuterMargin; }
    void SetOuterMargin(int value) { SetProperty(data_.OuterMargin, value); }
    // Radius of the inner edge about the control centre, pixels.
    int InnerMargin() const { return data_.InnerMargin; }
    void SetInnerMargin(int value) { SetProperty(data_.InnerMargin, value); }

    void Assign(const TPersistent& source) override;

private:
    TAdvSmoothGaugeGloss gloss_;
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
