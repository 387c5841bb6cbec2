#include "controls/trackbar/AdvSmoothTrackBar.h"

#include "controls/access/AccessibleControls.h"

#include "platform/framework/Format.h"

#include <QKeyEvent>
#include <QToolTip>

#include <algorithm>

#include <cmath>

namespace lumora {

namespace {

constexpr int kAnimationMs = 10;
constexpr double kGlowIdle = -60;
constexpr double kGlowStep = 3;

} // namespace

TAdvSmoothTrackBar::TAdvSmoothTrackBar(QWidget* parent) : TCustomControl(parent),
      fill_(std::make_unique<TGDIPFill>()),
      progressFill_(std::make_unique<TGDIPFill>()),
      thumbFill_(std::make_unique<TGDIPFill>()),
      font_(std::make_unique<TFont>()),
      progressFont_(std::make_unique<TFont>())
{
    for (TPersistent* part : std::initializer_list<TPersistent*>{fill_.get(), progressFill_.get(), thumbFill_.get(),
                                                                 font_.get(), progressFont_.get()})
        part->OnChange = [this](TObject*) { update(); };
    animationTimer_.setInterval(kAnimationMs);
    connect(&animationTimer_, &QTimer::timeout, this, [this] { AnimationTick(); });
    setFocusPolicy(Qt::StrongFocus);
    resize(90, 250);
}

TAdvSmoothTrackBar::~TAdvSmoothTrackBar() = default;

// --- properties -------------------------------------------------------------

void TAdvSmoothTrackBar::SetDirection(TAdvSmoothTrackBarDirection value)
{
    if (direction_ == value)
        return;
    // Turn the control so that its length runs along the new direction.
    // While the form is loading the stored size already is the final one.
    const QSize turned(height(), width());
    direction_ = value;
    if (!IsLoading())
        resize(turned);
    update();
}

void TAdvSmoothTrackBar::SetThumbSize(int value) { Set(thumbSize_, value); }

void TAdvSmoothTrackBar::SetMinimum(double value)
{
    if (range_.Minimum == value)
        return;
    range_.Minimum = value;
    if (position_ < value)
        position_ = value;
    update();
}

void TAdvSmoothTrackBar::SetMaximum(double value)
{
    if (range_.Maximum == value)
        return;
    range_.Maximum = value;
    if (position_ > value)
        position_ = value;
    update();
}

void TAdvSmoothTrackBar::SetStep(double value)
{
    if (value > 0)
        Set(range_.Step, value);
}

void TAdvSmoothTrackBar::SetPosition(double value)
{
    if (value == position_ || !(value >= range_.Minimum && value <= range_.Maximum))
        return;
    position_ = value;
    StartGlow();
    AnnounceValue(this, position_);
    Fire(OnPositionChanged, this, position_);
    update();
}

void TAdvSmoothTrackBar::SetSnapToTickMarks(bool value) { Set(range_.SnapToTickMarks, value); }
void TAdvSmoothTrackBar::SetSnapMargin(double value) { Set(range_.SnapMargin, value); }
void TAdvSmoothTrackBar::SetValueFormat(const QString& value) { Set(valueFormat_, value); }
void TAdvSmoothTrackBar::SetShowValues(bool value) { Set(showValues_, value); }
void TAdvSmoothTrackBar::SetShowTickMarks(bool value) { Set(showTickMarks_, value); }
void TAdvSmoothTrackBar::SetTickMarkSize(int value) { Set(tickMarkSize_, value); }
void TAdvSmoothTrackBar::SetTickMarkColor(TColor value) { Set(tickMarkColor_, value); }
void TAdvSmoothTrackBar::SetShowProgress(bool value) { Set(showProgress_, value); }

void TAdvSmoothTrackBar::SetGlowAnimation(bool value)
{
    if (glowAnimation_ == value)
        return;
    glowAnimation_ = value;
    if (value && glowRunning_)
        animationTimer_.start();
    update();
}

void TAdvSmoothTrackBar::Assign(const TAdvSmoothTrackBar& source)
{
    if (&source == this)
        return;
    SetDirection(source.direction_);
    fill_->Assign(*source.fill_);
    progressFill_->Assign(*source.progressFill_);
    thumbFill_->Assign(*source.thumbFill_);
    thumbSize_ = source.thumbSize_;
    font_->Assign(*source.font_);
    range_ = source.range_;
    position_ = source.position_;
    valueFormat_ = source.valueFormat_;
    showValues_ = source.showValues_;
    showTickMarks_ = source.showTickMarks_;
    tickMarkSize_ = source.tickMarkSize_;
    glowAnimation_ = source.glowAnimation_;
    tickMarkColor_ = source.tickMarkColor_;
    update();
}

TAdvSmoothTrackBarGeometry TAdvSmoothTrackBar::Geometry() const
{
    TAdvSmoothTrackBarMetrics m;
    m.Width = width();
    m.Height = height();
    m.Direction = direction_;
    m.ThumbSize = thumbSize_;
    m.ShadowColor = fill_->ShadowColor();
    m.ShadowOffset = fill_->ShadowOffset();
    m.BorderColor = fill_->BorderColor();
    m.BorderWidth = fill_->BorderWidth();
    return TAdvSmoothTrackBarGeometry(m);
}

QString TAdvSmoothTrackBar::NumberText(double value) const
{
    return TryFormat(valueFormat_, {value}).value_or(QString());
}

// --- glow -------------------------------------------------------------------

void TAdvSmoothTrackBar::StartGlow()
{
    if (glowPosition_ != kGlowIdle)
        return;
    glowRunning_ = true;
    if (glowAnimation_)
        animationTimer_.start();
}

void TAdvSmoothTrackBar::AnimationTick()
{
    if (!glowAnimation_ || !glowRunning_) {
        animationTimer_.stop();
        return;
    }
    glowPosition_ += kGlowStep;
    if (glowPosition_ > Offset()) {
        glowPosition_ = kGlowIdle;
        glowRunning_ = false;
        animationTimer_.stop();
    }
    // Also repaint after the last step, so the light does not stay behind.
    update();
}

// --- tooltip ----------------------------------------------------------------

void TAdvSmoothTrackBar::UpdateToolTip()
{
    if (!positionToolTip_)
        return;
    QString text = TryFormat(positionToolTipFormat_, {position_}).value_or(QString());
    if (text == toolTipText_)
        return;
    Fire(OnGetToolTipText, this, position_, text);
    toolTipText_ = text;
    if (isVisible())
        QToolTip::showText(mapToGlobal(QPoint(width(), 0)), toolTipText_, this, rect());
}

void TAdvSmoothTrackBar::HideToolTip()
{
    toolTipText_.clear();
    if (positionToolTip_)
        QToolTip::hideText();
}

// --- mouse ------------------------------------------------------------------

void TAdvSmoothTrackBar::MouseDown(Qt::MouseButton, int x, int y)
{
    if (isEnabled() && focusPolicy() != Qt::NoFocus)
        setFocus(Qt::MouseFocusReason);
    const QRectF t = Geometry().Thumb(Offset());
    const QRect thumb(int(std::lround(t.x())), int(std::lround(t.y())), int(std::lround(t.width())),
                      int(std::lround(t.height())));
    if (thumb.contains(x, y)) {
        dragging_ = true;
        UpdateToolTip();
    }
}

void TAdvSmoothTrackBar::MouseMove(int x, int y)
{
    if (!dragging_)
        return;
    const auto geo = Geometry();
    const double v = geo.OffsetToValue(geo.MouseDistance(x, y), range_);
    if (v >= range_.Minimum && v <= range_.Maximum && v != position_) {
        position_ = v;
        StartGlow();
        AnnounceValue(this, position_);
        Fire(OnPositionChanging, this, position_);
    }
    UpdateToolTip();
    repaint();
}

void TAdvSmoothTrackBar::MouseUp(Qt::MouseButton, int x, int y)
{
    if (dragging_) {
        Fire(OnPositionChanged, this, position_);
        HideToolTip();
    } else {
        const QRectF t = Geometry().Thumb(Offset());
        double v = position_;
        if (direction_ == dVertical) {
            if (y < t.top())
                v = position_ + range_.Step;
            else if (y > t.top() + t.height())
                v = position_ - range_.Step;
        } else {
            if (x < t.left())
                v = position_ - range_.Step;
            else if (x > t.left() + t.width())
                v = position_ + range_.Step;
        }
        if (v != position_ && v >= range_.Minimum && v <= range_.Maximum) {
            position_ = v;
            StartGlow();
            AnnounceValue(this, position_);
            Fire(OnPositionChanged, this, position_);
        }
    }
    dragging_ = false;
    unsetCursor();
    update();
}

// --- keys -------------------------------------------------------------------

void TAdvSmoothTrackBar::KeyDown(int key)
{
    if (!TabStop())
        return;
    switch (key) {
    case Qt::Key_End: pendingKeyValue_ = range_.Maximum; break;
    case Qt::Key_Home: pendingKeyValue_ = range_.Minimum; break;
    case Qt::Key_Up:
    case Qt::Key_Right: pendingKeyValue_ = position_ + range_.Step; break;
    case Qt::Key_Left:
    case Qt::Key_Down: pendingKeyValue_ = position_ - range_.Step; break;
    // A page goes a tenth of the scale, but never past its end: a page
    // from near the top lands on the top.
    case Qt::Key_PageUp: pendingKeyValue_ = std::min(position_ + PageStep(), range_.Maximum); break;
    case Qt::Key_PageDown: pendingKeyValue_ = std::max(position_ - PageStep(), range_.Minimum); break;
    default: return;
    }
    if (pendingKeyValue_ != position_ && pendingKeyValue_ >= range_.Minimum && pendingKeyValue_ <= range_.Maximum) {
        Fire(OnPositionChanging, this, pendingKeyValue_);
        position_ = pendingKeyValue_;
        AnnounceValue(this, position_);
        update();
    }
}

void TAdvSmoothTrackBar::KeyUp(int key)
{
    if (!TabStop())
        return;
    switch (key) {
    case Qt::Key_End:
    case Qt::Key_Home:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Left:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: break;
    default: return;
    }
    // The key down already stored the pending value, so this only fires when
    // something else moved the position in between.
    SetPosition(pendingKeyValue_);
    Fire(OnPositionChanged, this, position_);
}

// --- Qt events --------------------------------------------------------------

void TAdvSmoothTrackBar::keyReleaseEvent(QKeyEvent* event)
{
    // A held key repeats its key down only; the key up comes once.
    if (!event->isAutoRepeat())
        KeyUp(event->key());
}

} // namespace lumora
