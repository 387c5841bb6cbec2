#include "controls/label/AdvSmoothLabelCaption.h"

#include <algorithm>

namespace lumora {

QPointF LabelCaptionPosition(TAdvSmoothLabelLocation location, QSizeF layout, QSizeF text)
{
    const double dx = layout.width() - text.width();
    const double dy = layout.height() - text.height();
    switch (location) {
    case plTopLeft: return {0, 0};
    case plTopCenter: return {dx / 2, 0};
    case plTopRight: return {dx, 0};
    case plCenterLeft: return {0, dy / 2};
    case plCenterCenter: return {dx / 2, dy / 2};
    case plCenterRight: return {dx, dy / 2};
    case plBottomLeft: return {0, dy};
    case plBottomCenter: return {dx / 2, dy};
    case plBottomRight: return {dx, dy};
    case plCustom: break;
    }
    return {0, 0};
}

TAdvSmoothLabelCaption::TAdvSmoothLabelCaption()
{
    font_.SetSize(kDefaultFontSize);
    font_.OnChange = [this](TObject*) { Changed(); };
    picture_.OnChange = [this](TObject*) { Changed(); };
}

void TAdvSmoothLabelCaption::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TAdvSmoothLabelCaption*>(&source);
    if (other == nullptr) {
        TPersistent::Assign(source);
        return;
    }
    BeginUpdate();
    text_ = other->text_;
    location_ = other->location_;
    left_ = other->left_;
    top_ = other->top_;
    font_.Assign(other->font_);
    colorStart_ = other->colorStart_;
    colorEnd_ = other->colorEnd_;
    opacityStart_ = other->opacityStart_;
    opacityEnd_ = other->opacityEnd_;
    gradientType_ = other->gradientType_;
    hatchStyle_ = other->hatchStyle_;
    picture_.Assign(&other->picture_);
    Changed();
    EndUpdate();
}

void TAdvSmoothLabelCaption::SetText(const QString& value)
{
    if (StoreIfDifferent(text_, value))
        Changed();
}

void TAdvSmoothLabelCaption::SetLocation(TAdvSmoothLabelLocation value)
{
    if (StoreIfDifferent(location_, value))
        Changed();
}

void TAdvSmoothLabelCaption::SetLeft(int value)
{
    if (StoreIfDifferent(left_, value))
        Changed();
}

void TAdvSmoothLabelCaption::SetTop(int value)
{
    if (StoreIfDifferent(top_, value))
        Changed();
}

void TAdvSmoothLabelCaption::SetFont(const TFont& value)
{
    if (&value != &font_)
        font_.Assign(value);
}

void TAdvSmoothLabelCaption::SetColorStart(TColor value)
{
    if (StoreIfDifferent(colorStart_, value))
        Changed();
}

void TAdvSmoothLabelCaption::SetColorEnd(TColor value)
{
    if (StoreIfDifferent(colorEnd_, value))
        Changed();
}

// Opacities are bytes: a value outside 0..255 is clamped.
void TAdvSmoothLabelCaption::SetOpacityStart(int value)
{
    if (StoreIfDifferent(opacityStart_, std::clamp(value, 0, 255)))
        Changed();
}

void TAdvSmoothLabelCaption::SetOpacityEnd(int value)
{
    if (StoreIfDifferent(opacityEnd_, std::clamp(value, 0, 255)))
        Changed();
}

void TAdvSmoothLabelCaption::SetGradientType(TAdvGradientType value)
{
    if (StoreIfDifferent(gradientType_, value))
        Changed();
}

void TAdvSmoothLabelCaption::SetHatchStyle(gdiplus::HatchStyle value)
{
    if (StoreIfDifferent(hatchStyle_, value))
        Changed();
}

void TAdvSmoothLabelCaption::SetPicture(const TAdvGDIPPicture& value)
{
    if (&value != &picture_)
        picture_.Assign(&value);
}

} // namespace lumora
