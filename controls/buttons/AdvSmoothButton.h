#pragma once

#include "controls/picture/AdvGDIP.h"
#include "controls/buttons/AdvSmoothButtonStatus.h"
#include "controls/fill/GDIPButton.h"
#include "platform/framework/Form.h"
#include "platform/framework/Types.h"

#include <QImage>
#include <QKeySequence>
#include <QString>

#include <functional>

namespace lumora {

// A focusable push button with a glassy anti-aliased face and an optional
// count badge at its top right corner.
//
// The face is painted into a cache image of exactly the control's size and
// repainted only after a change: every paint of a current cache is one image
// draw.
class TAdvSmoothButton : public TCustomControl {
public:
    static constexpr TColor kDisabledColor = 0x505050;

    explicit TAdvSmoothButton(QWidget* parent = nullptr);
    ~TAdvSmoothButton() override;

    // --- properties --------------------------------------------------------
    TGDIPButton& Appearance() { return appearance_; }
    void SetAppearance(const TGDIPButton& value) { appearance_.Assign(value); }

    TAdvSmoothButtonStatus& Status() { return status_; }
    void SetStatus(const TAdvSmoothButtonStatus& value) { status_.Assign(value); }

    bool Bevel() const { return bevel_; }
    void SetBevel(bool value);

    TColor BevelColor() const { return bevelColor_; }
    void SetBevelColor(TColor value);

    QString Caption() const { return caption_; }
    void SetCaption(const QString& value);

    TColor Color() const { return color_; }
    void SetColor(TColor value);

    TAdvGDIPPicture& Picture() { return picture_; }
    void SetPicture(const TAdvGDIPPicture& value);

    bool Shadow() const { return shadow_; }
    void SetShadow(bool value);

    bool ShowFocus() const { return showFocus_; }
    void SetShowFocus(bool value);

    int HorizontalSpacing() const { return horizontalSpacing_; }
    void SetHorizontalSpacing(int value);

    int VerticalSpacing() const { return verticalSpacing_; }
    void SetVerticalSpacing(int value);

    // Copied to the dialog the button sits on at every click.
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int value) { modalResult_ = value; }

    QString Version() const;
    void SetVersion(const QString&) {}

    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool value);

    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool value);

    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool value) { setEnabled(value); }

    // Sets Color from one of the kit's colour styles (0..15; 8 and numbers
    // above 15 leave it unchanged).
    void ApplyColorStyle(int style);

    // Sets the dialog's result to ModalResult, then raises OnClick.
    void Click();

    // A key (Alt and a letter) that presses the button as the caption's
    // marked letter would, for a caption painted without a mark.
    const QKeySequence& AccessKey() const { return accessKey_; }
    void SetAccessKey(const QKeySequence& key);

    // --- state, for painting and tests ---------------------------------------
    bool IsHovered() const { return hovered_; }
    bool IsDown() const { return down_; }
    bool HasFocusState() const { return focused_; }
    bool IsFaceCacheCurrent() const { return cacheCurrent_; }
    const QImage& FaceCache() const { return cache_; }
    // The face insets: the spacings while the badge shows, else 0.
    int FaceHSpacing() const;
    int FaceVSpacing() const;
    // The shortcut id of the caption's marked letter; 0 when it has none.
    int AcceleratorId() const { return acceleratorId_; }
    // Brings the cache up to date without showing it.
    void UpdateFaceCache();

    // --- events --------------------------------------------------------------
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)> OnMouseDown;
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)> OnMouseUp;
    std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)> OnMouseMove;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    std::function<void(TObject* Sender, int& Key, TShiftState Shift)> OnKeyDown;
    std::function<void(TObject* Sender, int& Key, TShiftState Shift)> OnKeyUp;
    std::function<void(TObject* Sender, QChar& Key)> OnKeyPress;

    QSize sizeHint() const override { return {120, 35}; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Marks the face cache stale and asks for a repaint: the answer to every
    // change of a property, sub-object, focus, hover or pressed state.
    void Changed();
    void AllocateCache();
    void DrawFaceCache();
    void DrawFocusRing(gdiplus::Graphics& graphics) const;
    void DrawBadge(gdiplus::Graphics& graphics);
    void TakeParentFont();
    void UpdateAccelerator();
    bool PressAccelerator();

    TGDIPButton appearance_;
    TAdvSmoothButtonStatus status_;
    TAdvGDIPPicture picture_;
    bool bevel_ = true;
    TColor bevelColor_ = clWhite;
    QString caption_;
    TColor color_ = 0x808080;
    bool shadow_ = false;
    bool showFocus_ = true;
    int horizontalSpacing_ = 5;
    int verticalSpacing_ = 5;
    int modalResult_ = 0;
    bool parentFont_ = true;
    bool tabStop_ = true;

    bool hovered_ = false;
    bool down_ = false;
    bool focused_ = false;

    QImage cache_;
    bool cacheCurrent_ = false;
    int acceleratorId_ = 0;
    QKeySequence accessKey_;
    int accessKeyId_ = 0;
};

} // namespace lumora
