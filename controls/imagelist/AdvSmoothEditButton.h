#pragma once

// TAdvSmoothEditBtn: the single-line edit with a button inside its right end.
// The button's click raises OnClickBtn; derived controls (the picture picker)
// turn it into their drop-down.

#include "controls/imagelist/AdvSmoothEdit.h"

#include <QAbstractButton>
#include <QImage>
#include <QRect>

namespace lumora {

enum TAdvSmoothEditButtonStyle { bsButton, bsDropDown };

// Where the button and the text stand in an edit's client area.
struct TEditButtonGeometry {
    QRect button; // client coordinates
    int textLeft = 1;
    int textTop = 1;
    int textRight = 0;
    int textBottom = 0;
};
TEditButtonGeometry EditButtonGeometry(int width, int height, int clientWidth, int clientHeight, int buttonWidth,
                                       bool flat, bool border, bool ctl3D);

// The system's combo-box arrow: a small black down-pointing triangle whose
// background (the bottom-left pixel's colour) draws transparent.
QImage ComboArrowGlyph();

class TAdvSmoothEditBtn;

// The button child of the edit.
class TAdvSmoothEditSpeedButton : public QAbstractButton {
public:
    explicit TAdvSmoothEditSpeedButton(TAdvSmoothEditBtn* edit);

    bool Hot() const { return underMouse(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    TAdvSmoothEditBtn* Edit_;
};

class TAdvSmoothEditBtn : public TAdvSmoothEdit {
public:
    explicit TAdvSmoothEditBtn(QWidget* parent = nullptr);

    int ButtonWidth() const { return ButtonWidth_; }
    void SetButtonWidth(int v);
    TAdvSmoothEditButtonStyle ButtonStyle() const { return ButtonStyle_; }
    void SetButtonStyle(TAdvSmoothEditButtonStyle v);
    const QString& ButtonHint() const { return ButtonHint_; }
    void SetButtonHint(const QString& v);
    const QString& ButtonCaption() const { return ButtonCaption_; }
    void SetButtonCaption(const QString& v);
    const QImage& Glyph() const { return Glyph_; }
    void SetGlyph(const QImage& v);
    bool Flat() const { return Flat_; }
    void SetFlat(bool v);
    bool Etched() const { return Etched_; }
    void SetEtched(bool v);
    bool EditorEnabled() const { return EditorEnabled_; }
    // Without the editor the button takes the focus in the edit's place, so
    // Space still opens it from the keyboard.
    void SetEditorEnabled(bool v);

    TAdvSmoothEditSpeedButton* Button() const { return Button_; }

    TNotifyEvent OnClickBtn;

protected:
    friend class TAdvSmoothEditSpeedButton;
    // The button's click: raises OnClickBtn.
    virtual void ButtonClick();
    // Whether a press on the button moves the focus into the edit.
    virtual bool ButtonFocusesEdit() const { return true; }

    bool KeyDown(int& key, TShiftState shift) override;
    bool KeyPress(QChar& key) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void PlaceButton();

    TAdvSmoothEditSpeedButton* Button_;
    int ButtonWidth_ = 17;
    TAdvSmoothEditButtonStyle ButtonStyle_ = bsDropDown;
    QString ButtonHint_;
    QString ButtonCaption_;
    QImage Glyph_;
    bool Flat_ = false;
    bool Etched_ = false;
    bool EditorEnabled_ = true;
};

} // namespace lumora
