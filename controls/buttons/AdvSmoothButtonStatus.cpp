#include "controls/buttons/AdvSmoothButtonStatus.h"

namespace lumora {

TAdvSmoothButtonStatus::TAdvSmoothButtonStatus()
{
    appearance_.OnChange = [this](TObject*) { Changed(); };
}

void TAdvSmoothButtonStatus::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TAdvSmoothButtonStatus*>(&source);
    if (other == nullptr) {
        TPersistent::Assign(source);
        return;
    }
    BeginUpdate();
    visible_ = other->visible_;
    caption_ = other->caption_;
    offsetLeft_ = other->offsetLeft_;
    offsetTop_ = other->offsetTop_;
    appearance_.Assign(other->appearance_);
    Changed();
    EndUpdate();
}

void TAdvSmoothButtonStatus::SetVisible(bool value)
{
    if (visible_ == value)
        return;
    visible_ = value;
    Changed();
}

void TAdvSmoothButtonStatus::SetCaption(const QString& value)
{
    if (caption_ == value)
        return;
    caption_ = value;
    Changed();
}

void TAdvSmoothButtonStatus::SetOffsetLeft(int value)
{
    if (offsetLeft_ == value)
        return;
    offsetLeft_ = value;
    Changed();
}

void TAdvSmoothButtonStatus::SetOffsetTop(int value)
{
    if (offsetTop_ == value)
        return;
    offsetTop_ = value;
    Changed();
}

bool TAdvSmoothButtonStatus::IsShown() const
{
    return visible_ && (!caption_.isEmpty() || appearance_.HasFillPicture());
}

} // namespace lumora
