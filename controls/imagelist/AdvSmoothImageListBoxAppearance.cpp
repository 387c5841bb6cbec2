#include "controls/imagelist/AdvSmoothImageListBoxAppearance.h"

namespace lumora {

namespace {

bool SameMargins(const TMargins& a, const TMargins& b)
{
    return a.Left == b.Left && a.Top == b.Top && a.Right == b.Right && a.Bottom == b.Bottom;
}

} // namespace

// ---------------------------------------------------------------- splitter

TAdvSmoothImageListBoxSplitter::TAdvSmoothImageListBoxSplitter()
{
    // A quiet grey band that reads as a group heading over the item fills.
    Fill_.SetColor(0xF4F4F4);
    Fill_.SetColorTo(0xD8D8D8);
    Fill_.SetBorderColor(0xA0A0A0);
    TextFont_.SetStyle(fsBold);
    Watch(Fill_);
    Watch(TextFont_);
}

void TAdvSmoothImageListBoxSplitter::Assign(const TPersistent& source)
{
    const auto* s = dynamic_cast<const TAdvSmoothImageListBoxSplitter*>(&source);
    if (!s)
        return TPersistent::Assign(source);
    BeginUpdate();
    Fill_.Assign(s->Fill_);
    TextFont_.Assign(s->TextFont_);
    Size_ = s->Size_;
    Spacing_ = s->Spacing_;
    ExpanderVisible_ = s->ExpanderVisible_;
    ExpanderSize_ = s->ExpanderSize_;
    ExpanderColor_ = s->ExpanderColor_;
    ExpanderDownColor_ = s->ExpanderDownColor_;
    ExpanderBorderColor_ = s->ExpanderBorderColor_;
    Changed();
    EndUpdate();
}

// ---------------------------------------------------------------- item appearance

TAdvSmoothImageListBoxItemAppearance::TAdvSmoothImageListBoxItemAppearance()
{
    Watch(Fill_);
    Watch(SelectedFill_);
    Watch(DisabledFill_);
    Watch(HoverFill_);
    Watch(Splitter_);
}

void TAdvSmoothImageListBoxItemAppearance::SetImageMargin(TMargins v)
{
    if (SameMargins(Placement_.imageMargin, v))
        return;
    Placement_.imageMargin = v;
    Changed();
}

void TAdvSmoothImageListBoxItemAppearance::SetTextMargin(TMargins v)
{
    if (SameMargins(Placement_.textMargin, v))
        return;
    Placement_.textMargin = v;
    Changed();
}

void TAdvSmoothImageListBoxItemAppearance::SetImageRect(int left, int top, int width, int height)
{
    SetProperty(Placement_.imageCustom, QRectF(left, top, width, height));
}

void TAdvSmoothImageListBoxItemAppearance::Assign(const TPersistent& source)
{
    const auto* s = dynamic_cast<const TAdvSmoothImageListBoxItemAppearance*>(&source);
    if (!s)
        return TPersistent::Assign(source);
    BeginUpdate();
    ItemWidth_ = s->ItemWidth_;
    ItemHeight_ = s->ItemHeight_;
    ItemHorizontalSpacing_ = s->ItemHorizontalSpacing_;
    ItemVerticalSpacing_ = s->ItemVerticalSpacing_;
    AutoSize_ = s->AutoSize_;
    AspectRatio_ = s->AspectRatio_;
    Stretch_ = s->Stretch_;
    ImageVisible_ = s->ImageVisible_;
    HoverSize_ = s->HoverSize_;
    Placement_ = s->Placement_;
    Fill_.Assign(s->Fill_);
    SelectedFill_.Assign(s->SelectedFill_);
    DisabledFill_.Assign(s->DisabledFill_);
    HoverFill_.Assign(s->HoverFill_);
    Splitter_.Assign(s->Splitter_);
    Changed();
    EndUpdate();
}

// ---------------------------------------------------------------- navigator

QString TAdvSmoothImageListBoxNavigator::Hint(int j) const
{
    switch (j) {
    case 0: return HintPreviousPage_;
    case 1: return HintPrevious_;
    case 2: return HintNext_;
    case 3: return HintNextPage_;
    default: return {};
    }
}

void TAdvSmoothImageListBoxNavigator::Assign(const TPersistent& source)
{
    const auto* s = dynamic_cast<const TAdvSmoothImageListBoxNavigator*>(&source);
    if (!s)
        return TPersistent::Assign(source);
    BeginUpdate();
    Visible_ = s->Visible_;
    Color_ = s->Color_;
    HoverColor_ = s->HoverColor_;
    DownColor_ = s->DownColor_;
    DisabledColor_ = s->DisabledColor_;
    BorderColor_ = s->BorderColor_;
    Size_ = s->Size_;
    Shape_ = s->Shape_;
    Location_ = s->Location_;
    Left_ = s->Left_;
    Top_ = s->Top_;
    HintPreviousPage_ = s->HintPreviousPage_;
    HintPrevious_ = s->HintPrevious_;
    HintNext_ = s->HintNext_;
    HintNextPage_ = s->HintNextPage_;
    Changed();
    EndUpdate();
}

// ---------------------------------------------------------------- header and footer

TAdvSmoothImageListBoxHeader::TAdvSmoothImageListBoxHeader()
{
    Watch(Font_);
    Watch(Fill_);
    Watch(Navigator_);
}

void TAdvSmoothImageListBoxHeader::Assign(const TPersistent& source)
{
    const auto* s = dynamic_cast<const TAdvSmoothImageListBoxHeader*>(&source);
    if (!s)
        return TPersistent::Assign(source);
    BeginUpdate();
    Caption_ = s->Caption_;
    CaptionLocation_ = s->CaptionLocation_;
    CaptionLeft_ = s->CaptionLeft_;
    CaptionTop_ = s->CaptionTop_;
    Font_.Assign(s->Font_);
    Height_ = s->Height_;
    Fill_.Assign(s->Fill_);
    Visible_ = s->Visible_;
    Navigator_.Assign(s->Navigator_);
    Changed();
    EndUpdate();
}

} // namespace lumora
