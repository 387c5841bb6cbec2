#pragma once

#include "controls/slider/AdvSmoothSliderAppearance.h"
#include "controls/slider/AdvSmoothSliderGeometry.h"
#include "controls/fill/GDIPFill.h"
#include "platform/framework/Events.h"
#include "platform/framework/Persistent.h"
#include "platform/framework/Form.h"

#include <QTimer>
#include <QWidget>

#include <functional>

namespace lumora {

namespace gdiplus {
class Graphics;
}

using TAdvSmoothStateChanged = std::function<void(TObject* Sender, TAdvSmoothSliderState State, double Value)>;

// A two-state switch: the "on" part left of a sliding knob, the "off" part
// right of it. Dragging, clicking or keys change the state at once; the knob
// then glides to its end, covering 1/AnimationFactor of the way per tick.
class TAdvSmoothSlider : public TCustomControl {
public:
    explicit TAdvSmoothSlider(QWidget* parent = nullptr);
    ~TAdvSmoothSlider() override;

    int AnimationFactor() const { return animationFactor_; }
    // Values of 0 or less are refused.
    void SetAnimationFactor(int value);
    TAdvSmoothSliderAppearance& AppearanceOn() { return appearanceOn_; }
    void SetAppearanceOn(const TAdvSmoothSliderAppearance& value) { appearanceOn_.Assign(value); }
    TAdvSmoothSliderAppearance& AppearanceOff() { return appearanceOff_; }
    void SetAppearanceOff(const TAdvSmoothSliderAppearance& value) { appearanceOff_.Assign(value); }
    TAdvSmoothSliderButtonAppearance& ButtonAppearance() { return buttonAppearance_; }
    void SetButtonAppearance(const TAdvSmoothSliderButtonAppearance& value) { buttonAppearance_.Assign(value); }
    double ValueOn() const { return valueOn_; }
    void SetValueOn(double value) { Set(valueOn_, value); }
    double ValueOff() const { return valueOff_; }
    void SetValueOff(double value) { Set(valueOff_, value); }
    TAdvSmoothSliderState State() const { return state_; }
    // Moves the knob at once, without animation and without OnStateChanged.
    void SetState(TAdvSmoothSliderState value);
    bool ShowFocus() const { return showFocus_; }
    void SetShowFocus(bool value) { Set(showFocus_, value); }
    TColor FocusColor() const { return focusColor_; }
    void SetFocusColor(TColor value) { Set(focusColor_, value); }
    TGDIPFill& Fill() { return fill_; }
    void SetFill(const TGDIPFill& value) { fill_.Assign(value); }
    bool TabStop() const { return focusPolicy() != Qt::NoFocus; }
    void SetTabStop(bool value) { setFocusPolicy(value ? Qt::StrongFocus : Qt::NoFocus); }

    // Turns the switch over as a click on it would: glides there and fires
    // OnStateChanged.
    void Toggle();

    // Fired by keys and mouse only, when the state actually changed.
    TAdvSmoothStateChanged OnStateChanged;

    void Assign(const TAdvSmoothSlider& source);
    // The colour presets shared with the other smooth controls (0 ... 15).
    void ApplyColorStyle(int style);

    TAdvSmoothSliderGeometry Geometry() const;
    double KnobOffset() const { return offset_; }
    double TargetOffset() const { return target_; }
    bool Animating() const { return animating_; }
    bool AnimationTimerActive() const { return animationTimer_.isActive(); }
    void AnimationTick();

    // Input in the control's own terms; the Qt events arrive here through
    // TCustomControl.
    void MouseDown(Qt::MouseButton button, int x, int y) override;
    void MouseMove(int x, int y) override;
    void MouseUp(Qt::MouseButton button, int x, int y) override;
    void KeyDown(int key) override;

    void PaintTo(gdiplus::Graphics& g) override;

private:
    // Stores a property value and repaints when it changed.
    template <typename T>
    void Set(T& field, const T& value)
    {
        if (StoreIfDifferent(field, value))
            update();
    }
    // A user action chose a state: glide there and report a change.
    void ChangeState(TAdvSmoothSliderState newState, TAdvSmoothSliderState before);
    void StartAnimation();
    void PaintCaption(gdiplus::Graphics& g, const TAdvSmoothSliderAppearance& appearance, const QRectF& rect);

    int animationFactor_ = 15;
    TAdvSmoothSliderAppearance appearanceOn_;
    TAdvSmoothSliderAppearance appearanceOff_;
    TAdvSmoothSliderButtonAppearance buttonAppearance_;
    double valueOn_ = 0;
    double valueOff_ = 0;
    TAdvSmoothSliderState state_ = ssOn;
    bool showFocus_ = true;
    TColor focusColor_ = clBlack;
    TGDIPFill fill_;

    double offset_ = 0;
    double target_ = 0;
    bool animating_ = false;
    bool dragging_ = false;
    int downX_ = 0;
    QTimer animationTimer_;
};

} // namespace lumora
