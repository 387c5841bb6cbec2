#include "controls/slider/AdvSmoothSliderAppearance.h"

namespace lumora {

TAdvSmoothSliderAppearance::TAdvSmoothSliderAppearance()
{
    fill_.OnChange = [this](TObject*) { Changed(); };
    font_.OnChange = [this](TObject*) { Changed(); };
}

TAdvSmoothSliderAppearance::~TAdvSmoothSliderAppearance() = default;

void TAdvSmoothSliderAppearance::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TAdvSmoothSliderAppearance*>(&source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    if (other == this)
        return;
    // One notification for the whole copy.
    const TNotifyEvent fillChange = std::exchange(fill_.OnChange, nullptr);
    const TNotifyEvent fontChange = std::exchange(font_.OnChange, nullptr);
    font_.Assign(other->font_);
    data_ = other->data_;
    fill_.Assign(other->fill_);
    fill_.OnChange = fillChange;
    font_.OnChange = fontChange;
    Changed();
}

TAdvSmoothSliderButtonAppearance::TAdvSmoothSliderButtonAppearance()
{
    fill_.OnChange = [this](TObject*) { Changed(); };
}

TAdvSmoothSliderButtonAppearance::~TAdvSmoothSliderButtonAppearance() = default;

void TAdvSmoothSliderButtonAppearance::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TAdvSmoothSliderButtonAppearance*>(&source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    if (other == this)
        return;
    const TNotifyEvent fillChange = std::exchange(fill_.OnChange, nullptr);
    data_ = other->data_;
    fill_.Assign(other->fill_);
    fill_.OnChange = fillChange;
    Changed();
}

} // namespace lumora
