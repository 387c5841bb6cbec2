#pragma once

#include "controls/slider/AdvSmoothSliderGeometry.h"
#include "controls/fill/GDIPFill.h"
#include "platform/framework/Font.h"
#include "platform/framework/Persistent.h"

#include <QString>

namespace lumora {

// One half of the on/off slider: its body fill and its caption.
class TAdvSmoothSliderAppearance : public TPersistent {
public:
    TAdvSmoothSliderAppearance();
    ~TAdvSmoothSliderAppearance() override;

    // Copies Font, Caption, Fill, CaptionPosition, CaptionLeft and
    // CaptionTop from another appearance, then notifies once.
    void Assign(const TPersistent& source) override;

    TGDIPFill& Fill() { return fill_; }
    const TGDIPFill& Fill() const { return fill_; }
    void SetFill(const TGDIPFill& value) { fill_.Assign(value); }
    QString Caption() const { return caption_; }
    void SetCaption(const QString& value) { SetProperty(caption_, value); }
    TFont& Font() { return font_; }
    const TFont& Font() const { return font_; }
    void SetFont(const TFont& value) { font_.Assign(value); }
    TAdvSmoothSliderCaptionPosition CaptionPosition() const { return captionPosition_; }
    void SetCaptionPosition(TAdvSmoothSliderCaptionPosition value) { SetProperty(captionPosition_, value); }
    int CaptionLeft() const { return captionLeft_; }
    void SetCaptionLeft(int value) { SetProperty(captionLeft_, value); }
    int CaptionTop() const { return captionTop_; }
    void SetCaptionTop(int value) { SetProperty(captionTop_, value); }

private:
    TGDIPFill fill_;
    QString caption_;
    TFont font_;
    TAdvSmoothSliderCaptionPosition captionPosition_ = cpCenterCenter;
    int captionLeft_ = 0;
    int captionTop_ = 0;
};

// The slider's knob: its fill and its width.
class TAdvSmoothSliderButtonAppearance : public TPersistent {
public:
    TAdvSmoothSliderButtonAppearance();
    ~TAdvSmoothSliderButtonAppearance() override;

    void Assign(const TPersistent& source) override;

    TGDIPFill& Fill() { return fill_; }
    const TGDIPFill& Fill() const { return fill_; }
    void SetFill(const TGDIPFill& value) { fill_.Assign(value); }
    int Size() const { return size_; }
    void SetSize(int value)
    {
        if (size_ == value)
            return;
        size_ = value;
        Changed();
    }

private:
    TGDIPFill fill_;
    int size_ = 40;
};

} // namespace lumora
