#pragma once

#include "controls/PropertyGroup.h"
#include "controls/slider/AdvSmoothSliderGeometry.h"
#include "controls/fill/GDIPFill.h"
#include "platform/framework/Font.h"
#include "platform/framework/Persistent.h"

#include <QString>

namespace lumora {

struct TAdvSmoothSliderAppearanceData {
    QString Caption;
    TAdvSmoothSliderCaptionPosition CaptionPosition = cpCenterCenter;
    int CaptionLeft = 0;
    int CaptionTop = 0;
    bool operator==(const TAdvSmoothSliderAppearanceData&) const = default;
};

// One half of the on/off slider: its body fill and its caption.
class TAdvSmoothSliderAppearance
    : public TPropertyGroup<TAdvSmoothSliderAppearance, TAdvSmoothSliderAppearanceData> {
public:
    TAdvSmoothSliderAppearance();
    ~TAdvSmoothSliderAppearance() override;

    // Copies Font, Caption, Fill, CaptionPosition, CaptionLeft and
    // CaptionTop from another appearance, then notifies once.
    void Assign(const TPersistent& source) override;

    TGDIPFill& Fill() { return fill_; }
    const TGDIPFill& Fill() const { return fill_; }
    void SetFill(const TGDIPFill& value) { fill_.Assign(value); }
    QString Caption() const { return data_.Caption; }
    void SetCaption(const QString& value) { SetProperty(data_.Caption, value); }
    TFont& Font() { return font_; }
    const TFont& Font() const { return font_; }
    void SetFont(const TFont& value) { font_.Assign(value); }
    TAdvSmoothSliderCaptionPosition CaptionPosition() const { return data_.CaptionPosition; }
    void SetCaptionPosition(TAdvSmoothSliderCaptionPosition value) { SetProperty(data_.CaptionPosition, value); }
    int CaptionLeft() const { return data_.CaptionLeft; }
    void SetCaptionLeft(int value) { SetProperty(data_.CaptionLeft, value); }
    int CaptionTop() const { return data_.CaptionTop; }
    void SetCaptionTop(int value) { SetProperty(data_.CaptionTop, value); }

private:
    TGDIPFill fill_;
    TFont font_;
};

struct TAdvSmoothSliderButtonAppearanceData {
    int Size = 40;
    bool operator==(const TAdvSmoothSliderButtonAppearanceData&) const = default;
};

// The slider's knob: its fill and its width.
class TAdvSmoothSliderButtonAppearance
    : public TPropertyGroup<TAdvSmoothSliderButtonAppearance, TAdvSmoothSliderButtonAppearanceData> {
public:
    TAdvSmoothSliderButtonAppearance();
    ~TAdvSmoothSliderButtonAppearance() override;

    void Assign(const TPersistent& source) override;

    TGDIPFill& Fill() { return fill_; }
    const TGDIPFill& Fill() const { return fill_; }
    void SetFill(const TGDIPFill& value) { fill_.Assign(value); }
    int Size() const { return data_.Size; }
    void SetSize(int value) { SetProperty(data_.Size, value); }

private:
    TGDIPFill fill_;
};

} // namespace lumora
