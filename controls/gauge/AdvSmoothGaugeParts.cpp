#include "controls/gauge/AdvSmoothGaugeParts.h"

namespace lumora {

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
    data_ = other->data_;
    gloss_.Assign(other->gloss_);
    Changed();
    EndUpdate();
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
    data_.Center = value;
    GeometryChanged();
}

void TAdvSmoothGaugeThreshold::SetSpan(int value)
{
    if (value < 0 || value > 100)
        return;
    data_.Span = value;
    GeometryChanged();
}

void TAdvSmoothGaugeThreshold::SetStartAngle(int value)
{
    if (StoreIfDifferent(data_.StartAngle, value))
        GeometryChanged();
}

void TAdvSmoothGaugeThreshold::SetSweepAngle(int value)
{
    if (StoreIfDifferent(data_.SweepAngle, value))
        GeometryChanged();
}

void TAdvSmoothGaugeThreshold::SetStartValue(double value)
{
    if (StoreIfDifferent(data_.StartValue, value))
        GeometryChanged();
}

void TAdvSmoothGaugeThreshold::SetEndValue(double value)
{
    if (StoreIfDifferent(data_.EndValue, value))
        GeometryChanged();
}

void TAdvSmoothGaugeThreshold::SetThresholdKind(TAdvSmoothGaugeThresholdKind value)
{
    if (StoreIfDifferent(data_.ThresholdKind, value))
        GeometryChanged();
}

void TAdvSmoothGaugeThreshold::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TAdvSmoothGaugeThreshold*>(&source);
    if (!other)
        return TPersistent::Assign(source);
    const double center = data_.Center;
    data_ = other->data_;
    if (owner_ && !owner_->ValueInRange(data_.Center))
        data_.Center = center;
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
    if (!StoreIfDifferent(data_.Width, value))
        return;
    if (owner_)
        owner_->ThresholdChanged();
    Changed();
}

void TAdvSmoothGaugeArc::SetStartAngle(int value)
{
    if (!StoreIfDifferent(data_.StartAngle, value))
        return;
    if (owner_)
        owner_->ScaleAnglesChanged();
    Changed();
}

void TAdvSmoothGaugeArc::SetStopAngle(int value)
{
    if (!StoreIfDifferent(data_.StopAngle, value))
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
    data_ = other->data_;
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
    data_ = other->data_;
    gloss_.Assign(other->gloss_);
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
