#pragma once

#include "controls/picture/AdvGDIP.h"
#include "controls/fill/GDIPFill.h"
#include "platform/framework/Colors.h"
#include "platform/framework/Font.h"
#include "platform/framework/Persistent.h"

#include <QPointF>
#include <QSizeF>
#include <QString>

namespace lumora {

// Where a label's caption sits inside the label.
enum TAdvSmoothLabelLocation {
    plTopLeft,
    plTopCenter,
    plTopRight,
    plCenterLeft,
    plCenterCenter,
    plCenterRight,
    plBottomLeft,
    plBottomCenter,
    plBottomRight,
    plCustom,
};

// Position of a text of size `text` inside a layout box of size `layout`,
// measured from the box's origin (the box's own x and y are not added).
// plCustom has no rule of its own and answers (0, 0).
QPointF LabelCaptionPosition(TAdvSmoothLabelLocation location, QSizeF layout, QSizeF text);

// The text of a label (or its shadow) with its placement, font and brush.
class TAdvSmoothLabelCaption : public TPersistent {
public:
    static constexpr TColor kDefaultColorStart = 0xFFE09F;
    static constexpr TColor kDefaultColorEnd = 0x754F00;
    static constexpr int kDefaultFontSize = 20;

    TAdvSmoothLabelCaption();
    TAdvSmoothLabelCaption(const TAdvSmoothLabelCaption&) = delete;
    TAdvSmoothLabelCaption& operator=(const TAdvSmoothLabelCaption&) = delete;

    void Assign(const TPersistent& source) override;

    const QString& Text() const { return text_; }
    void SetText(const QString& value);

    TAdvSmoothLabelLocation Location() const { return location_; }
    void SetLocation(TAdvSmoothLabelLocation value);

    int Left() const { return left_; }
    void SetLeft(int value);
    int Top() const { return top_; }
    void SetTop(int value);

    TFont& Font() { return font_; }
    const TFont& Font() const { return font_; }
    void SetFont(const TFont& value);

    TColor ColorStart() const { return colorStart_; }
    void SetColorStart(TColor value);
    TColor ColorEnd() const { return colorEnd_; }
    void SetColorEnd(TColor value);

    int OpacityStart() const { return opacityStart_; }
    void SetOpacityStart(int value);
    int OpacityEnd() const { return opacityEnd_; }
    void SetOpacityEnd(int value);

    TAdvGradientType GradientType() const { return gradientType_; }
    void SetGradientType(TAdvGradientType value);

    gdiplus::HatchStyle HatchStyle() const { return hatchStyle_; }
    void SetHatchStyle(gdiplus::HatchStyle value);

    TAdvGDIPPicture& Picture() { return picture_; }
    const TAdvGDIPPicture& Picture() const { return picture_; }
    void SetPicture(const TAdvGDIPPicture& value);

private:
    QString text_;
    TAdvSmoothLabelLocation location_ = plCenterCenter;
    int left_ = 0;
    int top_ = 0;
    TFont font_;
    TColor colorStart_ = kDefaultColorStart;
    TColor colorEnd_ = kDefaultColorEnd;
    int opacityStart_ = 255;
    int opacityEnd_ = 255;
    TAdvGradientType gradientType_ = gtVertical;
    gdiplus::HatchStyle hatchStyle_ = gdiplus::HatchStyleHorizontal;
    TAdvGDIPPicture picture_;
};

} // namespace lumora
