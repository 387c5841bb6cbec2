#pragma once

#include "controls/fill/GDIPStatus.h"
#include "platform/framework/Persistent.h"

#include <QString>

namespace lumora {

// The count badge of a push button: whether it shows, its text, where it sits
// relative to the top right corner, and its look.
class TAdvSmoothButtonStatus : public TPersistent {
public:
    TAdvSmoothButtonStatus();
    TAdvSmoothButtonStatus(const TAdvSmoothButtonStatus&) = delete;
    TAdvSmoothButtonStatus& operator=(const TAdvSmoothButtonStatus&) = delete;

    void Assign(const TPersistent& source) override;

    bool Visible() const { return visible_; }
    void SetVisible(bool value);

    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& value);

    int OffsetLeft() const { return offsetLeft_; }
    void SetOffsetLeft(int value);

    int OffsetTop() const { return offsetTop_; }
    void SetOffsetTop(int value);

    TGDIPStatus& Appearance() { return appearance_; }
    const TGDIPStatus& Appearance() const { return appearance_; }
    void SetAppearance(const TGDIPStatus& value) { appearance_.Assign(value); }

    // The badge is drawn only when it is visible and has something to show:
    // a caption or a picture in its fill.
    bool IsShown() const;

private:
    bool visible_ = false;
    QString caption_;
    int offsetLeft_ = 0;
    int offsetTop_ = 0;
    TGDIPStatus appearance_;
};

} // namespace lumora
