#pragma once

#include "controls/label/AdvSmoothLabelCaption.h"
#include "controls/fill/GDIPFill.h"
#include "platform/framework/Form.h"
#include "platform/framework/Types.h"

#include <QRectF>
#include <QString>

#include <utility>

namespace lumora {

namespace gdiplus {
class Graphics;
}

// A transparent control that draws one line (or a wrapped block) of text with
// a gradient, hatch or texture brush, optionally over a fill and with a
// second text behind it as a shadow.
class TAdvSmoothLabel : public TCustomControl {
public:
    explicit TAdvSmoothLabel(QWidget* parent = nullptr);
    ~TAdvSmoothLabel() override;

    TAdvSmoothLabelCaption& Caption() { return caption_; }
    void SetCaption(const TAdvSmoothLabelCaption& value) { caption_.Assign(value); }

    TAdvSmoothLabelCaption& CaptionShadow() { return captionShadow_; }
    void SetCaptionShadow(const TAdvSmoothLabelCaption& value) { captionShadow_.Assign(value); }

    bool CaptionShadowVisible() const { return captionShadowVisible_; }
    void SetCaptionShadowVisible(bool value);

    int CaptionShadowOffsetLeft() const { return captionShadowOffsetLeft_; }
    void SetCaptionShadowOffsetLeft(int value);
    int CaptionShadowOffsetTop() const { return captionShadowOffsetTop_; }
    void SetCaptionShadowOffsetTop(int value);

    TGDIPFill& Fill() { return fill_; }
    void SetFill(const TGDIPFill& value) { fill_.Assign(value); }

    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);

    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);

    TTextRenderingHint TextRendering() const { return textRendering_; }
    void SetTextRendering(TTextRenderingHint value);

    QString Version() const;
    void SetVersion(const QString&) {}

    // Raised after every change, after the repaint request.
    TNotifyEvent OnChange;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;

    // Paints the whole label onto a surface of the label's size; it changes
    // nothing, so a const label paints too.
    void PaintTo(gdiplus::Graphics& graphics) const;
    void PaintTo(gdiplus::Graphics& graphics) override { std::as_const(*this).PaintTo(graphics); }

    QSize sizeHint() const override { return {280, 50}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void Changed();
    void DrawCaption(gdiplus::Graphics& graphics, const TAdvSmoothLabelCaption& caption, const QRectF& layout,
                     int offsetLeft, int offsetTop) const;

    TAdvSmoothLabelCaption caption_;
    TAdvSmoothLabelCaption captionShadow_;
    bool captionShadowVisible_ = false;
    int captionShadowOffsetLeft_ = 1;
    int captionShadowOffsetTop_ = 1;
    TGDIPFill fill_;
    bool transparent_ = true;
    bool wordWrap_ = false;
    TTextRenderingHint textRendering_ = tAntiAlias;
};

} // namespace lumora
