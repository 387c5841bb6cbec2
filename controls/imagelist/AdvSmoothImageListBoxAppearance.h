#pragma once

// The owned appearance objects of the image list box: item geometry and
// fills, the header and footer bands and their four-button navigator.
// Each announces its changes through OnChange; the list box connects that to
// its own change handler.

#include "controls/imagelist/AdvSmoothImageListBoxLayout.h"
#include "controls/fill/GDIPFill.h"
#include "platform/framework/Colors.h"
#include "platform/framework/Font.h"
#include "platform/framework/Persistent.h"

#include <QString>

namespace lumora {

enum TAdvSmoothImageListBoxNavigatorShape { nsRounded, nsRoundRect, nsRect };

// Base with the compare-store-notify setter every appearance class uses.
class TAdvSmoothImageListBoxPersistent : public TPersistent {
protected:
    // Routes a sub-object's change to this object's OnChange.
    void Watch(TPersistent& part)
    {
        part.OnChange = [this](TObject*) { Changed(); };
    }
};

// The look of the group bands (items with Splitter set): the band's fill, the
// font of its text, its thickness (Size), the inner spacing and the round
// expander button that folds the group away and back.
class TAdvSmoothImageListBoxSplitter : public TAdvSmoothImageListBoxPersistent {
public:
    TAdvSmoothImageListBoxSplitter();
    void Assign(const TPersistent& source) override;

    TGDIPFill& Fill() { return Fill_; }
    const TGDIPFill& Fill() const { return Fill_; }
    TFont& TextFont() { return TextFont_; }
    const TFont& TextFont() const { return TextFont_; }
    int Size() const { return Size_; }
    void SetSize(int v) { SetProperty(Size_, v); }
    int Spacing() const { return Spacing_; }
    void SetSpacing(int v) { SetProperty(Spacing_, v); }
    bool ExpanderVisible() const { return ExpanderVisible_; }
    void SetExpanderVisible(bool v) { SetProperty(ExpanderVisible_, v); }
    int ExpanderSize() const { return ExpanderSize_; }
    void SetExpanderSize(int v) { SetProperty(ExpanderSize_, v); }
    TColor ExpanderColor() const { return ExpanderColor_; }
    void SetExpanderColor(TColor v) { SetProperty(ExpanderColor_, v); }
    TColor ExpanderDownColor() const { return ExpanderDownColor_; }
    void SetExpanderDownColor(TColor v) { SetProperty(ExpanderDownColor_, v); }
    TColor ExpanderBorderColor() const { return ExpanderBorderColor_; }
    void SetExpanderBorderColor(TColor v) { SetProperty(ExpanderBorderColor_, v); }

private:
    TGDIPFill Fill_;
    TFont TextFont_;
    int Size_ = 25;
    int Spacing_ = 5;
    bool ExpanderVisible_ = true;
    int ExpanderSize_ = 15;
    TColor ExpanderColor_ = clWhite;
    TColor ExpanderDownColor_ = 0xE0C8B0;
    TColor ExpanderBorderColor_ = clGray;
};

class TAdvSmoothImageListBoxItemAppearance : public TAdvSmoothImageListBoxPersistent {
public:
    TAdvSmoothImageListBoxItemAppearance();
    void Assign(const TPersistent& source) override;

    int ItemWidth() const { return ItemWidth_; }
    void SetItemWidth(int v) { SetProperty(ItemWidth_, v); }
    int ItemHeight() const { return ItemHeight_; }
    void SetItemHeight(int v) { SetProperty(ItemHeight_, v); }
    int ItemHorizontalSpacing() const { return ItemHorizontalSpacing_; }
    void SetItemHorizontalSpacing(int v) { SetProperty(ItemHorizontalSpacing_, v); }
    int ItemVerticalSpacing() const { return ItemVerticalSpacing_; }
    void SetItemVerticalSpacing(int v) { SetProperty(ItemVerticalSpacing_, v); }
    bool AutoSize() const { return AutoSize_; }
    void SetAutoSize(bool v) { SetProperty(AutoSize_, v); }
    bool AspectRatio() const { return AspectRatio_; }
    void SetAspectRatio(bool v) { SetProperty(AspectRatio_, v); }
    TImageStretch Stretch() const { return Stretch_; }
    void SetStretch(TImageStretch v) { SetProperty(Stretch_, v); }
    bool ImageVisible() const { return ImageVisible_; }
    void SetImageVisible(bool v) { SetProperty(ImageVisible_, v); }
    TAdvSmoothImageListBoxAlign ImageAlign() const { return Placement_.imageAlign; }
    void SetImageAlign(TAdvSmoothImageListBoxAlign v) { SetProperty(Placement_.imageAlign, v); }
    TMargins ImageMargin() const { return Placement_.imageMargin; }
    void SetImageMargin(TMargins v);
    int ImageLeft() const { return int(Placement_.imageCustom.x()); }
    int ImageTop() const { return int(Placement_.imageCustom.y()); }
    int ImageWidth() const { return int(Placement_.imageCustom.width()); }
    int ImageHeight() const { return int(Placement_.imageCustom.height()); }
    void SetImageRect(int left, int top, int width, int height);
    bool TextVisible() const { return Placement_.textVisible; }
    void SetTextVisible(bool v) { SetProperty(Placement_.textVisible, v); }
    TAdvSmoothImageListBoxAlign TextAlign() const { return Placement_.textAlign; }
    void SetTextAlign(TAdvSmoothImageListBoxAlign v) { SetProperty(Placement_.textAlign, v); }
    TMargins TextMargin() const { return Placement_.textMargin; }
    void SetTextMargin(TMargins v);
    int TextWidth() const { return int(Placement_.textWidth); }
    void SetTextWidth(int v) { SetProperty(Placement_.textWidth, double(v)); }
    int TextHeight() const { return int(Placement_.textHeight); }
    void SetTextHeight(int v) { SetProperty(Placement_.textHeight, double(v)); }
    int HoverSize() const { return HoverSize_; }
    void SetHoverSize(int v) { SetProperty(HoverSize_, v); }

    TGDIPFill& Fill() { return Fill_; }
    const TGDIPFill& Fill() const { return Fill_; }
    TGDIPFill& SelectedFill() { return SelectedFill_; }
    const TGDIPFill& SelectedFill() const { return SelectedFill_; }
    TGDIPFill& DisabledFill() { return DisabledFill_; }
    const TGDIPFill& DisabledFill() const { return DisabledFill_; }
    TGDIPFill& HoverFill() { return HoverFill_; }
    const TGDIPFill& HoverFill() const { return HoverFill_; }
    TAdvSmoothImageListBoxSplitter& Splitter() { return Splitter_; }
    const TAdvSmoothImageListBoxSplitter& Splitter() const { return Splitter_; }

    // The image and text placement in the form the geometry functions take.
    const TItemPlacement& Placement() const { return Placement_; }

private:
    int ItemWidth_ = 70;
    int ItemHeight_ = 70;
    int ItemHorizontalSpacing_ = 10;
    int ItemVerticalSpacing_ = 10;
    bool AutoSize_ = false;
    bool AspectRatio_ = true;
    TImageStretch Stretch_ = isAlways;
    bool ImageVisible_ = true;
    int HoverSize_ = 0;
    TItemPlacement Placement_;
    TGDIPFill Fill_;
    TGDIPFill SelectedFill_;
    TGDIPFill DisabledFill_;
    TGDIPFill HoverFill_;
    TAdvSmoothImageListBoxSplitter Splitter_;
};

class TAdvSmoothImageListBoxNavigator : public TAdvSmoothImageListBoxPersistent {
public:
    void Assign(const TPersistent& source) override;

    bool Visible() const { return Visible_; }
    void SetVisible(bool v) { SetProperty(Visible_, v); }
    TColor Color() const { return Color_; }
    void SetColor(TColor v) { SetProperty(Color_, v); }
    TColor HoverColor() const { return HoverColor_; }
    void SetHoverColor(TColor v) { SetProperty(HoverColor_, v); }
    TColor DownColor() const { return DownColor_; }
    void SetDownColor(TColor v) { SetProperty(DownColor_, v); }
    TColor DisabledColor() const { return DisabledColor_; }
    void SetDisabledColor(TColor v) { SetProperty(DisabledColor_, v); }
    TColor BorderColor() const { return BorderColor_; }
    void SetBorderColor(TColor v) { SetProperty(BorderColor_, v); }
    int Size() const { return Size_; }
    void SetSize(int v) { SetProperty(Size_, v); }
    TAdvSmoothImageListBoxNavigatorShape Shape() const { return Shape_; }
    void SetShape(TAdvSmoothImageListBoxNavigatorShape v) { SetProperty(Shape_, v); }
    TAdvSmoothImageListBoxLocation Location() const { return Location_; }
    void SetLocation(TAdvSmoothImageListBoxLocation v) { SetProperty(Location_, v); }
    int Left() const { return Left_; }
    void SetLeft(int v) { SetProperty(Left_, v); }
    int Top() const { return Top_; }
    void SetTop(int v) { SetProperty(Top_, v); }
    const QString& HintPreviousPage() const { return HintPreviousPage_; }
    void SetHintPreviousPage(const QString& v) { SetProperty(HintPreviousPage_, v); }
    const QString& HintPrevious() const { return HintPrevious_; }
    void SetHintPrevious(const QString& v) { SetProperty(HintPrevious_, v); }
    const QString& HintNext() const { return HintNext_; }
    void SetHintNext(const QString& v) { SetProperty(HintNext_, v); }
    const QString& HintNextPage() const { return HintNextPage_; }
    void SetHintNextPage(const QString& v) { SetProperty(HintNextPage_, v); }

    // The hint of button j (0 previous page ... 3 next page).
    QString Hint(int j) const;
    TNavigatorColors Colors() const { return {Color_, HoverColor_, DownColor_, DisabledColor_}; }

private:
    bool Visible_ = false;
    TColor Color_ = clGray;
    TColor HoverColor_ = clBlue;
    TColor DownColor_ = clRed;
    TColor DisabledColor_ = clGray;
    TColor BorderColor_ = clGray;
    int Size_ = 20;
    TAdvSmoothImageListBoxNavigatorShape Shape_ = nsRoundRect;
    TAdvSmoothImageListBoxLocation Location_ = cpCenterRight;
    int Left_ = 0;
    int Top_ = 0;
    QString HintPreviousPage_ = QStringLiteral("Previous Page");
    QString HintPrevious_ = QStringLiteral("Previous Item");
    QString HintNext_ = QStringLiteral("Next Item");
    QString HintNextPage_ = QStringLiteral("Next Page");
};

// The band at the top; the footer has the same fields.
class TAdvSmoothImageListBoxHeader : public TAdvSmoothImageListBoxPersistent {
public:
    TAdvSmoothImageListBoxHeader();
    void Assign(const TPersistent& source) override;

    const QString& Caption() const { return Caption_; }
    void SetCaption(const QString& v) { SetProperty(Caption_, v); }
    TAdvSmoothImageListBoxLocation CaptionLocation() const { return CaptionLocation_; }
    void SetCaptionLocation(TAdvSmoothImageListBoxLocation v) { SetProperty(CaptionLocation_, v); }
    int CaptionLeft() const { return CaptionLeft_; }
    void SetCaptionLeft(int v) { SetProperty(CaptionLeft_, v); }
    int CaptionTop() const { return CaptionTop_; }
    void SetCaptionTop(int v) { SetProperty(CaptionTop_, v); }
    TFont& Font() { return Font_; }
    const TFont& Font() const { return Font_; }
    int Height() const { return Height_; }
    void SetHeight(int v) { SetProperty(Height_, v); }
    TGDIPFill& Fill() { return Fill_; }
    const TGDIPFill& Fill() const { return Fill_; }
    bool Visible() const { return Visible_; }
    void SetVisible(bool v) { SetProperty(Visible_, v); }
    TAdvSmoothImageListBoxNavigator& Navigator() { return Navigator_; }
    const TAdvSmoothImageListBoxNavigator& Navigator() const { return Navigator_; }

private:
    QString Caption_;
    TAdvSmoothImageListBoxLocation CaptionLocation_ = cpCenterCenter;
    int CaptionLeft_ = 0;
    int CaptionTop_ = 0;
    TFont Font_;
    int Height_ = 50;
    TGDIPFill Fill_;
    bool Visible_ = true;
    TAdvSmoothImageListBoxNavigator Navigator_;
};

class TAdvSmoothImageListBoxFooter : public TAdvSmoothImageListBoxHeader {};

} // namespace lumora
