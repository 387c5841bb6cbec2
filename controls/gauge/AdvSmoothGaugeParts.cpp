#include "controls/gauge/AdvSmoothGaugeParts.h"

namespace lumora {

namespace {

} // namespace

// Gloss ----------------------------------------------------------------------

void TAdvSmoothGaugeGloss::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TAdvSmoothGaugeGloss*>(&source);
    if (!other)
        return TPersistent::Assign(source);
    color_ = other->color_;
    opacity_ = other->opacity_;
    Changed();
}

// Digit ----------------------------------------------------------------------

void TAdvSmoothGaugeDigit::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TAdvSmoothGaugeDigit*>(&source);
    if (!other)
        return TPersistent::Assign(source);
    color_ = other->color_;
    backGroundColor_ = other->backGroundColor_;
    backGroundOpacity_ = other->backGroundOpacity_;
    visible_ = other->visible_;
    alignment_ = other->alignment_;
    Changed();
}

// Outer circle ---------------------------------------------------------------

void TAdvSmoothGaugeOuterCircle::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TAdvSmoothGaugeOuterCircle*>(&source);
    if (!other)
        return TPersistent::Assign(source);
    color_ = other->color_;
    width_ = other->width_;
    opacity_ = other->opacity_;
    Changed();
}

// Inner circle ---------------------------------------------------------------

TAdvSmoothGaugeInnerCircle::TAdvSmoothGaugeInnerCircle()
{
    gloss_.OnChange = [this](TObject*) { Changed(); };
}

void TAdvSmoothGaugeInnerCircle::SetGloss(const TAdvSmoothGaugeGloss& value)
{
    gloss_.Assign(value);
}

void TAdvSmoothGaugeInnerCircle::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TAdvSmoothGaugeInnerCircle*>(&source);
    if (!other)
        return TPersistent::Assign(source);
    BeginUpdate();
    color_ = other->color_;
    opacity_ = other->opacity_;
    gloss_.Assign(other->gloss_);
    Changed();
    EndUpdate();
}

// Outer rim ------------------------------------------------------------------

void TAdvSmoothGaugeOuterRim::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TAdvSmoothGaugeOuterRim*>(&source);
    if (!other)
        return TPersistent::Assign(source);
    color_ = other->color_;
    opacity_ = other->opacity_;
    width_ = other->width_;
    Changed();
}

// Needle ---------------------------------------------------------------------

void TAdvSmoothGaugeNeedle::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TAdvSmoothGaugeNeedle*>(&source);
    if (!other)
        return TPersistent::Assign(source);
    color_ = other->color_;
    shineColor_ = other->shineColor_;
    shineColorTo_ = other->shineColorTo_;
    outerCenterColor_ = other->outerCenterColor_;
    outerCenterColorTo_ = other->outerCenterColorTo_;
    outerCenterOpacity_ = other->outerCenterOpacity_;
    innerCenterColor_ = other->innerCenterColor_;
    innerCenterColorTo_ = other->innerCenterColorTo_;
    innerCenterOpacity_ = other->innerCenterOpacity_;
    Changed();
}

// Threshold ------------------------------------------------------------------

void TAdvSmoothGaugeThreshold::GeometryChanged()
{
    if (owner_)
        owner_->ThresholdChanged();
    Changed();
}

void TAdvSmoothGaugeThreshold::SetCenter(double value)
{
    // NaN fails the range test too.
    if (owner_ && !owner_->ValueInRange(value))
        return;
    center_ = value;
    GeometryChanged();
}

void TAdvSmoothGaugeThreshold::SetSpan(int value)
{
    if (value < 0 || value > 100)
        return;
    span_ = value;
    GeometryChanged();
}

void TAdvSmoothGaugeThreshold::SetStartAngle(int value)
{
    if (StoreIfDifferent(startAngle_, value))
        GeometryChanged();
}

void TAdvSmoothGaugeThreshold::SetSweepAngle(int value)
{
    if (StoreIfDifferent(sweepAngle_, value))
        GeometryChanged();
}

void TAdvSmoothGaugeThreshold::SetStartValue(double value)
{
    if (StoreIfDifferent(startValue_, value))
        GeometryChanged();
}

void TAdvSmoothGaugeThreshold::SetEndValue(double value)
{
    if (StoreIfDifferent(endValue_, value))
        GeometryChanged();
}

void TAdvSmoothGaugeThreshold::SetThresholdKind(TAdvSmoothGaugeThresholdKind value)
{
    if (StoreIfDifferent(thresholdKind_, value))
        GeometryChanged();
}

void TAdvSmoothGaugeThreshold::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TAdvSmoothGaugeThreshold*>(&source);
    if (!other)
        return TPersistent::Assign(source);
    color_ = other->color_;
    opacity_ = other->opacity_;
    if (!owner_ || owner_->ValueInRange(other->center_))
        center_ = other->center_;
    span_ = other->span_;
    startAngle_ = other->startAngle_;
    sweepAngle_ = other->sweepAngle_;
    startValue_ = other->startValue_;
    endValue_ = other->endValue_;
    thresholdKind_ = other->thresholdKind_;
    GeometryChanged();
}

// Arc ------------------------------------------------------------------------

TAdvSmoothGaugeArc::TAdvSmoothGaugeArc(TAdvSmoothGaugeScaleOwner* owner)
    : owner_(owner), threshold_(owner)
{
    threshold_.OnChange = [this](TObject*) { Changed(); };
}

void TAdvSmoothGaugeArc::SetWidth(double value)
{
    if (!StoreIfDifferent(width_, value))
        return;
    if (owner_)
        owner_->ThresholdChanged();
    Changed();
}

void TAdvSmoothGaugeArc::SetStartAngle(int value)
{
    if (!StoreIfDifferent(startAngle_, value))
        return;
    if (owner_)
        owner_->ScaleAnglesChanged();
    Changed();
}

void TAdvSmoothGaugeArc::SetStopAngle(int value)
{
    if (!StoreIfDifferent(stopAngle_, value))
        return;
    if (owner_)
        owner_->ScaleAnglesChanged();
    Changed();
}

void TAdvSmoothGaugeArc::SetThreshold(const TAdvSmoothGaugeThreshold& value)
{
    threshold_.Assign(value);
}

void TAdvSmoothGaugeArc::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TAdvSmoothGaugeArc*>(&source);
    if (!other)
        return TPersistent::Assign(source);
    BeginUpdate();
    color_ = other->color_;
    width_ = other->width_;
    opacity_ = other->opacity_;
    startAngle_ = other->startAngle_;
    stopAngle_ = other->stopAngle_;
    threshold_.Assign(other->threshold_);
    // The angles may have moved the ticks as well as the threshold.
    if (owner_)
        owner_->ScaleAnglesChanged();
    Changed();
    EndUpdate();
}

// Section --------------------------------------------------------------------

TAdvSmoothGaugeSection::TAdvSmoothGaugeSection()
{
    gloss_.OnChange = [this](TObject*) { Changed(); };
}

void TAdvSmoothGaugeSection::SetGloss(const TAdvSmoothGaugeGloss& value)
{
    gloss_.Assign(value);
}

void TAdvSmoothGaugeSection::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TAdvSmoothGaugeSection*>(&source);
    if (!other)
        return TPersistent::Assign(source);
    BeginUpdate();
    color_ = other->color_;
    opacity_ = other->opacity_;
    gloss_.Assign(other->gloss_);
    startValue_ = other->startValue_;
    endValue_ = other->endValue_;
    outerMargin_ = other->outerMargin_;
    innerMargin_ = other->innerMargin_;
    Changed();
    EndUpdate();
}

// Sections -------------------------------------------------------------------

TAdvSmoothGaugeSection& TAdvSmoothGaugeSections::Add()
{
    auto section = std::make_unique<TAdvSmoothGaugeSection>();
    section->OnChange = [this](TObject*) { Changed(); };
    items_.push_back(std::move(section));
    Changed();
    return *items_.back();
}

void TAdvSmoothGaugeSections::Delete(int index)
{
    if (index < 0 || index >= Count())
        return;
    items_.erase(items_.begin() + index);
    Changed();
}

void TAdvSmoothGaugeSections::Clear()
{
    if (items_.empty())
        return;
    items_.clear();
    Changed();
}

void TAdvSmoothGaugeSections::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TAdvSmoothGaugeSections*>(&source);
    if (!other)
        return TPersistent::Assign(source);
    if (other == this)
        return;
    BeginUpdate();
    items_.clear();
    for (const auto& item : other->items_)
        Add().Assign(*item);
    Changed();
    EndUpdate();
}

} // namespace lumora
