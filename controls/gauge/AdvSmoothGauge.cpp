#include "controls/gauge/AdvSmoothGauge.h"

#include "controls/access/AccessibleControls.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>
#include <cmath>

namespace lumora {

namespace {

// The version number packed one byte per part, most significant first.
constexpr std::uint32_t kPackedVersion = 16975104;

} // namespace

TAdvSmoothGauge::TAdvSmoothGauge(QWidget* parent, TComponent* owner) : QWidget(parent), TComponent(owner)
{
    // The dial's corners and the translucent face show whatever lies behind.
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setAutoFillBackground(false);
    setFocusPolicy(Qt::StrongFocus);
    resize(200, 200);

    font_.SetColor(64636);
    font_.SetSize(14);
    valueFont_.SetColor(64636);
    valueFont_.SetSize(11);

    const auto changed = [this](TObject*) { Changed(); };
    font_.OnChange = changed;
    valueFont_.OnChange = changed;
    digit_.OnChange = changed;
    outerCircle_.OnChange = changed;
    innerCircle_.OnChange = changed;
    outerRim_.OnChange = changed;
    needle_.OnChange = changed;
    arc_.OnChange = changed;
    sections_.OnChange = changed;

    animationTimer_.SetEnabled(false);
    animationTimer_.SetInterval(kAnimationInterval);
    animationTimer_.OnTimer = [this](TObject*) { AnimationStep(); };

    UpdateDialRect();
    BuildTickMarks();
    UpdateThresholdSpan();
}

TAdvSmoothGauge::~TAdvSmoothGauge()
{
    animationTimer_.SetEnabled(false);
}

// Value and animation ---------------------------------------------------------

void TAdvSmoothGauge::SetValue(double value)
{
    // Written so that NaN ends at the maximum rather than slipping through.
    if (!(value < maximumValue_))
        value = maximumValue_;
    if (!(value > minimumValue_))
        value = minimumValue_;

    // Assistive technology hears the level the dial is set to, once, not
    // each step of the needle on its way there.
    if (value != destinationValue_)
        AnnounceValue(this, std::round(value));
    if (Immediate()) {
        value_ = value;
        destinationValue_ = value;
        Fire(OnValueChanged, this, value_);
    } else {
        destinationValue_ = value;
    }
    ValueShown();
    UpdateAnimationTimer();
}

void TAdvSmoothGauge::SetAnimation(bool value)
{
    if (!StoreIfDifferent(animation_, value))
        return;
    Changed();
    // Off freezes the needle where it is; on lets it continue.
    UpdateAnimationTimer();
}

void TAdvSmoothGauge::SetAnimationFactor(int value)
{
    if (StoreIfDifferent(animationFactor_, value))
        Changed();
}

void TAdvSmoothGauge::AnimationStep()
{
    if (Immediate()) {
        UpdateAnimationTimer();
        return;
    }
    if (std::abs(destinationValue_ - value_) >= kNeedleArrival) {
        value_ = NextNeedleValue(value_, destinationValue_, animationFactor_);
        Fire(OnValueChanged, this, value_);
        ValueShown();
    } else {
        value_ = destinationValue_;
    }
    UpdateAnimationTimer();
}

void TAdvSmoothGauge::UpdateAnimationTimer()
{
    // Runs until the step that lands the needle exactly on its destination.
    animationTimer_.SetEnabled(!Immediate() && value_ != destinationValue_);
}

// Range -----------------------------------------------------------------------

void TAdvSmoothGauge::SetMaximumValue(int value)
{
    if (value <= minimumValue_)
        return;
    maximumValue_ = value;
    if (!animation_) {
        if (value_ > value)
            value_ = value;
        destinationValue_ = value_;
        Fire(OnValueChanged, this, value_);
    } else if (destinationValue_ > value) {
        destinationValue_ = value;
    }
    RangeChanged();
}

void TAdvSmoothGauge::SetMinimumValue(int value)
{
    if (value >= maximumValue_)
        return;
    minimumValue_ = value;
    if (!animation_) {
        if (value_ < value)
            value_ = value;
        destinationValue_ = value_;
        Fire(OnValueChanged, this, value_);
    } else if (destinationValue_ < value) {
        destinationValue_ = value;
    }
    RangeChanged();
}

void TAdvSmoothGauge::RangeChanged()
{
    TAdvSmoothGaugeThreshold& threshold = arc_.Threshold();
    if (threshold.data_.Center > maximumValue_)
        threshold.data_.Center = maximumValue_;
    if (threshold.data_.Center < minimumValue_)
        threshold.data_.Center = minimumValue_;
    BuildTickMarks();
    UpdateThresholdSpan();
    Changed();
    UpdateAnimationTimer();
}

bool TAdvSmoothGauge::ValueInRange(double value) const
{
    return value >= minimumValue_ && value <= maximumValue_;
}

void TAdvSmoothGauge::ThresholdChanged()
{
    UpdateThresholdSpan();
}

void TAdvSmoothGauge::ScaleAnglesChanged()
{
    UpdateThresholdSpan();
    BuildTickMarks();
}

// Plain properties ------------------------------------------------------------

void TAdvSmoothGauge::SetDivisionCount(int value)
{
    if (value < 2 || value > 24)
        return;
    divisionCount_ = value;
    BuildTickMarks();
    Changed();
}

void TAdvSmoothGauge::SetSubDivisionCount(int value)
{
    if (value < 1 || value > 10)
        return;
    subDivisionCount_ = value;
    BuildTickMarks();
    Changed();
}

void TAdvSmoothGauge::SetDivisionColor(TColor value)
{
    if (StoreIfDifferent(divisionColor_, value))
        Changed();
}

void TAdvSmoothGauge::SetSubDivisionColor(TColor value)
{
    if (StoreIfDifferent(subDivisionColor_, value))
        Changed();
}

void TAdvSmoothGauge::SetDivisionWidth(int value)
{
    if (StoreIfDifferent(divisionWidth_, value))
        Changed();
}

void TAdvSmoothGauge::SetSubDivisionWidth(int value)
{
    if (StoreIfDifferent(subDivisionWidth_, value))
        Changed();
}

void TAdvSmoothGauge::SetShowValues(bool value)
{
    if (StoreIfDifferent(showValues_, value))
        Changed();
}

void TAdvSmoothGauge::SetValueFormat(const QString& value)
{
    if (StoreIfDifferent(valueFormat_, value))
        Changed();
}

void TAdvSmoothGauge::SetDialText(const QString& value)
{
    if (StoreIfDifferent(dialText_, value))
        Changed();
}

void TAdvSmoothGauge::SetTextRendering(TAdvSmoothGaugeTextRenderingHint value)
{
    if (StoreIfDifferent(textRendering_, value))
        Changed();
}

void TAdvSmoothGauge::SetNeedleType(TAdvSmoothGaugeNeedleType value)
{
    if (StoreIfDifferent(needleType_, value))
        Changed();
}

QString TAdvSmoothGauge::Version() const
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(kPackedVersion >> 24)
        .arg((kPackedVersion >> 16) & 0xFF)
        .arg((kPackedVersion >> 8) & 0xFF)
        .arg(kPackedVersion & 0xFF);
}

bool TAdvSmoothGauge::TabStop() const
{
    return (focusPolicy() & Qt::TabFocus) != 0;
}

void TAdvSmoothGauge::SetTabStop(bool value)
{
    setFocusPolicy(value ? Qt::StrongFocus : Qt::NoFocus);
    // The focus ring comes and goes with it.
    faceCache_.Invalidate();
    update();
}

void TAdvSmoothGauge::Assign(const TAdvSmoothGauge& source)
{
    if (&source == this)
        return;
    animationFactor_ = source.animationFactor_;
    minimumValue_ = source.minimumValue_;
    maximumValue_ = source.maximumValue_;
    // The copy shows the source's needle position, at rest.
    value_ = source.value_;
    destinationValue_ = source.value_;
    digit_.Assign(source.digit_);
    outerCircle_.Assign(source.outerCircle_);
    innerCircle_.Assign(source.innerCircle_);
    outerRim_.Assign(source.outerRim_);
    needle_.Assign(source.needle_);
    arc_.Assign(source.arc_);
    divisionCount_ = source.divisionCount_;
    subDivisionCount_ = source.subDivisionCount_;
    divisionColor_ = source.divisionColor_;
    subDivisionColor_ = source.subDivisionColor_;
    divisionWidth_ = source.divisionWidth_;
    subDivisionWidth_ = source.subDivisionWidth_;
    dialText_ = source.dialText_;
    font_.Assign(source.font_);
    valueFont_.Assign(source.valueFont_);
    animation_ = source.animation_;
    needleType_ = source.needleType_;
    sections_.Assign(source.sections_);
    textRendering_ = source.textRendering_;
    BuildTickMarks();
    UpdateThresholdSpan();
    Changed();
    UpdateAnimationTimer();
}

// Geometry --------------------------------------------------------------------

void TAdvSmoothGauge::UpdateDialRect()
{
    dial_ = lumora::UpdateDialRect(width(), height(), dial_.DialMarginX, dial_.DialMarginY);
}

void TAdvSmoothGauge::UpdateThresholdSpan()
{
    const TAdvSmoothGaugeThreshold& t = arc_.Threshold();
    span_ = lumora::UpdateThresholdSpan(Scale(), dial_, {arc_.Width(), t.Center(), t.Span(), t.SweepAngle()});
}

void TAdvSmoothGauge::BuildTickMarks()
{
    lumora::BuildTickMarks(ticks_, Scale(), dial_, divisionCount_, subDivisionCount_);
}

void TAdvSmoothGauge::ValueAtPoint(int x, int y)
{
    const std::optional<double> value =
        lumora::ValueAtPoint(Scale(), dial_, divisionCount_, subDivisionCount_, QPointF(x, y));
    if (value)
        SetValue(*value);
}

void TAdvSmoothGauge::Changed()
{
    faceCache_.Invalidate();
    ValueShown();
}

void TAdvSmoothGauge::ValueShown()
{
    Fire(OnChange, static_cast<TObject*>(this));
    update();
}

void TAdvSmoothGauge::Loaded()
{
    TComponent::Loaded();
    UpdateDialRect();
    BuildTickMarks();
    UpdateThresholdSpan();
    UpdateAnimationTimer();
}

// Window events ---------------------------------------------------------------

void TAdvSmoothGauge::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    dial_.DialMarginX = width() / 50;
    dial_.DialMarginY = height() / 50;
    UpdateDialRect();
    BuildTickMarks();
    UpdateThresholdSpan();
    Changed();
}

void TAdvSmoothGauge::keyPressEvent(QKeyEvent* event)
{
    QWidget::keyPressEvent(event);
    if (!isEnabled() || !TabStop())
        return;
    const double division = double(maximumValue_ - minimumValue_) / divisionCount_;
    switch (event->key()) {
    case Qt::Key_PageUp: SetValue(value_ + division); break;
    case Qt::Key_PageDown: SetValue(value_ - division); break;
    case Qt::Key_End: SetValue(maximumValue_); break;
    case Qt::Key_Home: SetValue(minimumValue_); break;
    case Qt::Key_Up:
    case Qt::Key_Right: SetValue(value_ + 1); break;
    case Qt::Key_Left:
    case Qt::Key_Down: SetValue(value_ - 1); break;
    default: return;
    }
    event->accept();
}

void TAdvSmoothGauge::mouseReleaseEvent(QMouseEvent* event)
{
    QWidget::mouseReleaseEvent(event);
    if (!isEnabled() || !TabStop())
        return;
    const QPoint p = event->position().toPoint();
    ValueAtPoint(p.x(), p.y());
}

void TAdvSmoothGauge::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    focused_ = true;
    Changed();
}

void TAdvSmoothGauge::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    // A hidden gauge paints nothing; its pictures are made again when shown.
    faceCache_.Release();
}

void TAdvSmoothGauge::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    focused_ = false;
    Changed();
}

} // namespace lumora
