#pragma once

#include "controls/trackbar/AdvSmoothTrackBarGeometry.h"
#include "controls/fill/GDIPFill.h"
#include "platform/framework/Events.h"
#include "platform/framework/Persistent.h"
#include "platform/framework/Form.h"
#include "platform/framework/Font.h"

#include <QString>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <functional>
#include <memory>

namespace lumora {

namespace gdiplus {
class Graphics;
}

using TAdvSmoothTrackBarValueChanged = std::function<void(TObject* Sender, double Position)>;
using TAdvSmoothTrackBarDrawNumber =
    std::function<void(TObject* Sender, double value, QString& s, bool& AllowDrawText, bool& AllowDrawTickMark)>;
using TAdvSmoothTrackBarGetToolTipText = std::function<void(TObject* Sender, double Position, QString& ToolTipText)>;

// A track bar: a draggable thumb over a scale of ticks and numbers, with a
// progress bar from the scale's start to the thumb and a light that sweeps
// along it after each change.
class TAdvSmoothTrackBar : public TCustomControl {
public:
    explicit TAdvSmoothTrackBar(QWidget* parent = nullptr);
    ~TAdvSmoothTrackBar() override;

    TAdvSmoothTrackBarDirection Direction() const { return direction_; }
    void SetDirection(TAdvSmoothTrackBarDirection value);
    TGDIPFill& Fill() { return *fill_; }
    void SetFill(const TGDIPFill& value) { fill_->Assign(value); }
    TGDIPFill& ProgressFill() { return *progressFill_; }
    void SetProgressFill(const TGDIPFill& value) { progressFill_->Assign(value); }
    TGDIPFill& ThumbFill() { return *thumbFill_; }
    void SetThumbFill(const TGDIPFill& value) { thumbFill_->Assign(value); }
    int ThumbSize() const { return thumbSize_; }
    void SetThumbSize(int value);
    TFont& Font() { return *font_; }
    void SetFont(const TFont& value) { font_->Assign(value); }
    TFont& ProgressFont() { return *progressFont_; }
    void SetProgressFont(const TFont& value) { progressFont_->Assign(value); }

    double Minimum() const { return range_.Minimum; }
    void SetMinimum(double value);
    double Maximum() const { return range_.Maximum; }
    void SetMaximum(double value);
    double Step() const { return range_.Step; }
    void SetStep(double value);
    double Position() const { return position_; }
    // Ignored outside [Minimum, Maximum] (no clamping) and when unchanged;
    // otherwise starts the glow and fires OnPositionChanged.
    void SetPosition(double value);
    // What Page Up and Page Down move: a tenth of the scale, at least a step.
    double PageStep() const { return std::max(range_.Step, (range_.Maximum - range_.Minimum) / 10); }
    bool SnapToTickMarks() const { return range_.SnapToTickMarks; }
    void SetSnapToTickMarks(bool value);
    double SnapMargin() const { return range_.SnapMargin; }
    void SetSnapMargin(double value);

    bool PositionToolTip() const { return positionToolTip_; }
    void SetPositionToolTip(bool value) { positionToolTip_ = value; }
    QString PositionToolTipFormat() const { return positionToolTipFormat_; }
    void SetPositionToolTipFormat(const QString& value) { positionToolTipFormat_ = value; }
    QString ValueFormat() const { return valueFormat_; }
    void SetValueFormat(const QString& value);
    bool ShowValues() const { return showValues_; }
    void SetShowValues(bool value);
    bool ShowTickMarks() const { return showTickMarks_; }
    void SetShowTickMarks(bool value);
    int TickMarkSize() const { return tickMarkSize_; }
    void SetTickMarkSize(int value);
    TColor TickMarkColor() const { return tickMarkColor_; }
    void SetTickMarkColor(TColor value);
    bool GlowAnimation() const { return glowAnimation_; }
    void SetGlowAnimation(bool value);
    bool ShowProgress() const { return showProgress_; }
    void SetShowProgress(bool value);
    bool TabStop() const { return focusPolicy() != Qt::NoFocus; }
    void SetTabStop(bool value) { setFocusPolicy(value ? Qt::StrongFocus : Qt::NoFocus); }

    QString Version() const { return QStringLiteral("1.2.2.0"); }
    void SetVersion(const QString&) {}

    TAdvSmoothTrackBarValueChanged OnPositionChanged;
    TAdvSmoothTrackBarValueChanged OnPositionChanging;
    TAdvSmoothTrackBarDrawNumber OnDrawNumber;
    TAdvSmoothTrackBarGetToolTipText OnGetToolTipText;

    void Assign(const TAdvSmoothTrackBar& source);
    // The colour presets shared with the other smooth controls (0 ... 15).
    void ApplyColorStyle(int style);

    TAdvSmoothTrackBarGeometry Geometry() const;
    const TAdvSmoothTrackBarRange& Range() const { return range_; }
    double Offset() const { return Geometry().ValueToOffset(position_, range_); }
    // The text of scale number i, through ValueFormat (empty when invalid).
    QString NumberText(double value) const;

    // Glow: position -60 when idle, advancing 3 pixels per 10 ms tick.
    double GlowPosition() const { return glowPosition_; }
    bool GlowRunning() const { return glowRunning_; }
    bool AnimationTimerActive() const { return animationTimer_.isActive(); }
    void AnimationTick();

    bool Dragging() const { return dragging_; }
    QString ToolTipText() const { return toolTipText_; }

    // Input in the control's own terms; the Qt events arrive here through
    // TCustomControl, the key release through keyReleaseEvent below.
    void MouseDown(Qt::MouseButton button, int x, int y) override;
    void MouseMove(int x, int y) override;
    void MouseUp(Qt::MouseButton button, int x, int y) override;
    void KeyDown(int key) override;
    void KeyUp(int key);

    // Paints the whole control on a surface of its size.
    void PaintTo(gdiplus::Graphics& g) override;

protected:
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    // Stores a property value and repaints when it changed.
    template <typename T>
    void Set(T& field, const T& value)
    {
        if (StoreIfDifferent(field, value))
            update();
    }
    void StartGlow();
    void UpdateToolTip();
    void HideToolTip();

    void PaintBackground(gdiplus::Graphics& g, const TAdvSmoothTrackBarGeometry& geo);
    void PaintProgress(gdiplus::Graphics& g, const TAdvSmoothTrackBarGeometry& geo, double offset);
    void PaintScale(gdiplus::Graphics& g, const TAdvSmoothTrackBarGeometry& geo, double offset);
    void PaintGroove(gdiplus::Graphics& g, const TAdvSmoothTrackBarGeometry& geo);
    void PaintThumb(gdiplus::Graphics& g, const TAdvSmoothTrackBarGeometry& geo, double offset);

    TAdvSmoothTrackBarDirection direction_ = dVertical;
    std::unique_ptr<TGDIPFill> fill_;
    std::unique_ptr<TGDIPFill> progressFill_;
    std::unique_ptr<TGDIPFill> thumbFill_;
    std::unique_ptr<TFont> font_;
    std::unique_ptr<TFont> progressFont_;
    int thumbSize_ = 40;
    TAdvSmoothTrackBarRange range_;
    double position_ = 0;
    bool positionToolTip_ = false;
    QString positionToolTipFormat_ = QStringLiteral("%.2f");
    QString valueFormat_ = QStringLiteral("%g db");
    bool showValues_ = true;
    bool showTickMarks_ = true;
    int tickMarkSize_ = 15;
    TColor tickMarkColor_ = clBlack;
    bool glowAnimation_ = true;
    bool showProgress_ = true;

    bool dragging_ = false;
    double pendingKeyValue_ = 0;
    double glowPosition_ = -60;
    bool glowRunning_ = false;
    QString toolTipText_;
    QTimer animationTimer_;
};

} // namespace lumora
