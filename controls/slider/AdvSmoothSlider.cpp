#include "controls/slider/AdvSmoothSlider.h"

#include "controls/access/AccessibleControls.h"
#include "controls/access/FocusMark.h"

#include "controls/trackbar/AdvSmoothTrackBarStyles.h"
#include "platform/gdiplus/Graphics.h"

#include <cmath>

namespace lumora {

namespace {

constexpr int kAnimationMs = 10;

gdiplus::RectF ToRectF(const QRectF& r)
{
    return gdiplus::RectF(gdiplus::REAL(r.x()), gdiplus::REAL(r.y()), gdiplus::REAL(r.width()),
                          gdiplus::REAL(r.height()));
}

} // namespace

TAdvSmoothSlider::TAdvSmoothSlider(QWidget* parent) : TCustomControl(parent)
{
    for (TPersistent* part : std::initializer_list<TPersistent*>{&appearanceOn_, &appearanceOff_, &buttonAppearance_,
                                                                 &fill_})
        part->OnChange = [this](TObject*) { update(); };
    animationTimer_.setInterval(kAnimationMs);
    connect(&animationTimer_, &QTimer::timeout, this, [this] { AnimationTick(); });
    setFocusPolicy(Qt::StrongFocus);
    resize(80, 30);
}

TAdvSmoothSlider::~TAdvSmoothSlider() = default;

void TAdvSmoothSlider::SetAnimationFactor(int value)
{
    if (value > 0)
        Set(animationFactor_, value);
}

void TAdvSmoothSlider::SetState(TAdvSmoothSliderState value)
{
    if (state_ == value)
        return;
    state_ = value;
    offset_ = target_ = Geometry().RestOffset(value);
    animating_ = false;
    animationTimer_.stop();
    AnnounceChecked(this);
    update();
}

void TAdvSmoothSlider::Assign(const TAdvSmoothSlider& source)
{
    if (&source == this)
        return;
    appearanceOff_.Assign(source.appearanceOff_);
    appearanceOn_.Assign(source.appearanceOn_);
    SetState(source.state_);
    valueOff_ = source.valueOff_;
    valueOn_ = source.valueOn_;
    animationFactor_ = source.animationFactor_;
    fill_.Assign(source.fill_);
    buttonAppearance_.Assign(source.buttonAppearance_);
    focusColor_ = source.focusColor_;
    showFocus_ = source.showFocus_;
    update();
}

TAdvSmoothSliderGeometry TAdvSmoothSlider::Geometry() const
{
    return TAdvSmoothSliderGeometry(width(), height(), buttonAppearance_.Size(), fill_.BorderColor(),
                                    fill_.BorderWidth());
}

// --- animation --------------------------------------------------------------

void TAdvSmoothSlider::StartAnimation()
{
    animating_ = true;
    animationTimer_.start();
}

void TAdvSmoothSlider::AnimationTick()
{
    if (!animating_) {
        animationTimer_.stop();
        return;
    }
    const auto next = SliderAnimationStep(offset_, target_, animationFactor_);
    if (!next) {
        animating_ = false;
        animationTimer_.stop();
        return;
    }
    offset_ = *next;
    update();
}

void TAdvSmoothSlider::ChangeState(TAdvSmoothSliderState newState, TAdvSmoothSliderState before)
{
    state_ = newState;
    target_ = Geometry().RestOffset(newState);
    StartAnimation();
    if (state_ != before) {
        AnnounceChecked(this);
        Fire(OnStateChanged, this, state_, state_ == ssOn ? valueOn_ : valueOff_);
    }
}

// --- mouse ------------------------------------------------------------------

void TAdvSmoothSlider::MouseDown(Qt::MouseButton button, int x, int y)
{
    if (button == Qt::RightButton && contextMenuPolicy() != Qt::DefaultContextMenu)
        return;
    SetFocused(true);
    if (isEnabled() && focusPolicy() != Qt::NoFocus)
        setFocus(Qt::MouseFocusReason);
    downX_ = x;
    const QRectF K = Geometry().Knob(offset_);
    dragging_ = x >= K.left() && x <= K.right() && y >= K.top() && y <= K.bottom();
}

void TAdvSmoothSlider::MouseMove(int x, int)
{
    if (!dragging_ || animating_)
        return;
    offset_ = Geometry().DragOffset(state_, downX_, x);
    update();
}

void TAdvSmoothSlider::MouseUp(Qt::MouseButton button, int x, int)
{
    if (button == Qt::RightButton && contextMenuPolicy() != Qt::DefaultContextMenu)
        return;
    const TAdvSmoothSliderState before = state_;
    const auto geo = Geometry();
    TAdvSmoothSliderState next = state_;
    if (dragging_)
        next = geo.DropState(offset_);
    else if (const auto clicked = geo.ClickState(offset_, x))
        next = *clicked;
    dragging_ = false;
    ChangeState(next, before);
}

// --- keys -------------------------------------------------------------------

void TAdvSmoothSlider::KeyDown(int key)
{
    TAdvSmoothSliderState next = state_;
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Up: next = ssOff; break;
    case Qt::Key_Right:
    case Qt::Key_Down: next = ssOn; break;
    // Space and Enter work the switch as they work a check box.
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F4: next = state_ == ssOn ? ssOff : ssOn; break;
    default: return;
    }
    if (next != state_)
        ChangeState(next, state_);
}

void TAdvSmoothSlider::Toggle() { ChangeState(state_ == ssOn ? ssOff : ssOn, state_); }

// --- painting ---------------------------------------------------------------

void TAdvSmoothSlider::PaintTo(gdiplus::Graphics& g)
{
    using namespace gdiplus;
    g.SetSmoothingMode(SmoothingModeAntiAlias);
    g.SetTextRenderingHint(TextRenderingHintClearTypeGridFit);
    const auto geo = Geometry();

    // Background
    fill_.Fill(&g, RectF(0, 0, REAL(width() - 1), REAL(height() - 1)));
    // On part, its caption sliding out to the left with the knob
    appearanceOn_.Fill().Fill(&g, ToRectF(geo.OnBody(offset_)));
    PaintCaption(g, appearanceOn_, geo.OnCaption(offset_));
    // Off part
    appearanceOff_.Fill().Fill(&g, ToRectF(geo.OffBody(offset_)));
    PaintCaption(g, appearanceOff_, geo.OffCaption(offset_));
    // Knob
    TGDIPFill& knob = buttonAppearance_.Fill();
    knob.BeginUpdate();
    knob.SetFocus(false);
    knob.EndUpdate();
    knob.Fill(&g, ToRectF(geo.Knob(offset_)));
    // Focus mark around the whole switch, inside its edge
    if (showFocus_ && TabStop() && Focused()) {
        const Pen mark = FocusMarkPen(*this);
        const REAL inset = kFocusMarkWidth / 2;
        g.DrawRectangle(&mark, inset, inset, REAL(width() - 1) - 2 * inset, REAL(height() - 1) - 2 * inset);
    }
}

void TAdvSmoothSlider::PaintCaption(gdiplus::Graphics& g, const TAdvSmoothSliderAppearance& appearance,
                                    const QRectF& rect)
{
    using namespace gdiplus;
    const QString caption = appearance.Caption();
    if (caption.isEmpty())
        return;
    const TFontDescription d = appearance.Font().Description();
    const gdiplus::Font font(d.Family, REAL(d.SizeInPoints), INT(d.Style & 7u));
    const RectF C = ToRectF(rect);
    RectF box;
    g.MeasureString(caption, &font, C, nullptr, &box);
    const int w = int(std::nearbyint(box.Width));
    const int h = int(std::nearbyint(box.Height));
    const QPoint d0 = SliderCaptionOffset(appearance.CaptionPosition(), rect, w, h, appearance.CaptionLeft(),
                                          appearance.CaptionTop());
    const SolidBrush brush(Color(ToARGB(255, appearance.Font().Color())));
    g.DrawString(caption, &font, PointF(C.X + REAL(d0.x()), C.Y + REAL(d0.y())), &brush);
}

// --- styles -----------------------------------------------------------------

void TAdvSmoothSlider::ApplyColorStyle(int style)
{
    for (TAdvSmoothSliderAppearance* part : {&appearanceOn_, &appearanceOff_}) {
        part->Fill().SetGlow(gmNone);
        part->Fill().SetGlowGradientColor(clWhite);
    }
    TGDIPFill& knob = buttonAppearance_.Fill();
    TGDIPFill& on = appearanceOn_.Fill();
    TGDIPFill& off = appearanceOff_.Fill();

    // The on part keeps the bright "selected" look in every style; the off
    // part and the knob take the style's progress and background colours, so
    // the slider matches a track bar of the same style.
    on.SetColor(0xAAD9FF);
    on.SetColorTo(0x6EBBFF);
    on.SetColorMirror(0x42AEFE);
    on.SetColorMirrorTo(0x7AE1FE);
    on.SetBorderColor(0x42AEFE);
    on.SetGradientMirrorType(gtVertical);
    if (style == 4) {
        knob.SetColor(0xFFEFE3);
        knob.SetColorTo(0xFFD2AF);
        knob.SetBorderColor(0xFFD2AF);
        off.SetColor(0xFFEFE3);
        off.SetColorTo(0xFFDDC4);
        off.SetColorMirror(0xFFD1AD);
        off.SetColorMirrorTo(0xFFDBC0);
        off.SetBorderColor(clNone);
        off.SetGradientMirrorType(gtVertical);
    } else if (const auto colors = SmoothStyleColors(style)) {
        knob.SetColor(colors->Progress);
        knob.SetColorTo(colors->Color);
        knob.SetBorderColor(colors->BorderColor);
        off.SetColor(colors->Progress);
        off.SetColorTo(colors->ProgressTo);
        off.SetColorMirror(colors->ProgressMirror);
        off.SetColorMirrorTo(colors->ProgressMirrorTo);
        off.SetBorderColor(clNone);
        off.SetGradientMirrorType(gtVertical);
    } else {
        knob.SetColor(clBtnFace);
        knob.SetColorTo(clBtnFace);
        knob.SetBorderColor(0x808080);
        off.SetColor(0xC0C0C0);
        off.SetColorTo(0xC0C0C0);
        off.SetColorMirror(clNone);
        off.SetColorMirrorTo(clNone);
        off.SetBorderColor(clNone);
    }

    fill_.SetRounding(4);
    fill_.SetRoundingType(rtBoth);
    knob.SetRounding(4);
    on.SetRounding(4);
    on.SetRoundingType(rtLeft);
    off.SetRounding(4);
    off.SetRoundingType(rtRight);
    appearanceOn_.SetCaption("On");
    appearanceOff_.SetCaption("Off");
}

} // namespace lumora
