#include "controls/chart/SPBEPC.h"

#include "controls/access/AccessibleControls.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <algorithm>

namespace lumora {

namespace {

constexpr int kFirstRepeatMs = 400;
constexpr int kRepeatMs = 100;

// Sets the canvas font's cell height to the rectangle's height, lowered
// until the text is narrower than the rectangle (never below 1).
void FitFontToRect(TCanvas& canvas, const TRect& rect, const QString& text)
{
    canvas.Font.SetHeight(FittingFontHeight(rect.Bottom - rect.Top, rect.Width(), [&](int height) {
        canvas.Font.SetHeight(height);
        return canvas.TextWidth(text);
    }));
}

bool Contains(const TRect& r, int x, int y)
{
    return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
}

} // namespace

TSPBEPC::TSPBEPC(QWidget* parent) : TCustomControl(parent)
{
    titleFont_.SetColor(clWhite);
    topCaptionFont_.SetStyle(fsItalic);
    bottomCaptionFont_.SetStyle(fsItalic);
    for (TFont* font : {&titleFont_, &topCaptionFont_, &bottomCaptionFont_, &font_})
        font->OnChange = [this](TObject*) { Rebuild(); };
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(320, 250);
}

TSPBEPC::~TSPBEPC() = default;

// --- properties -------------------------------------------------------------

void TSPBEPC::SetCurrent(int value)
{
    if (value < 0 || value > 100 || value == current_)
        return;
    current_ = value;
    AnnounceNameChanged(this);
    Fire(OnCurrentChange, this);
    RefreshChart();
}

void TSPBEPC::SetPotential(int value)
{
    if (value < 0 || value > 100 || value == potential_)
        return;
    potential_ = value;
    Fire(OnPotentialChange, this);
    RefreshChart();
}

QString TSPBEPC::Title() const
{
    return title_.isEmpty() ? SPBEPCDefaultTitle(chartType_) : title_;
}

QString TSPBEPC::TopCaption() const
{
    return topCaption_.isEmpty() ? SPBEPCDefaultTopCaption(chartType_) : topCaption_;
}

QString TSPBEPC::BottomCaption() const
{
    return bottomCaption_.isEmpty() ? SPBEPCDefaultBottomCaption(chartType_) : bottomCaption_;
}

// Compares with the text the property shows now, so writing the chart type's
// own text into an empty property stores nothing and keeps it following the
// chart type.
void TSPBEPC::SetTextProperty(QString& stored, const QString& shown, const QString& value)
{
    if (value == shown)
        return;
    stored = value;
    Rebuild();
}

void TSPBEPC::SetTitle(const QString& value) { SetTextProperty(title_, Title(), value); }
void TSPBEPC::SetCurrentTitle(const QString& value) { SetTextProperty(currentTitle_, currentTitle_, value); }
void TSPBEPC::SetPotentialTitle(const QString& value) { SetTextProperty(potentialTitle_, potentialTitle_, value); }
void TSPBEPC::SetTopCaption(const QString& value) { SetTextProperty(topCaption_, TopCaption(), value); }
void TSPBEPC::SetBottomCaption(const QString& value) { SetTextProperty(bottomCaption_, BottomCaption(), value); }

void TSPBEPC::Rebuild()
{
    needsRebuild_ = true;
    RefreshChart();
}

void TSPBEPC::SetChartType(TSPBEPCChartType value) { if (StoreIfDifferent(chartType_, value)) Rebuild(); }
void TSPBEPC::SetPenWidth(int value) { if (StoreIfDifferent(penWidth_, value)) Rebuild(); }
void TSPBEPC::SetPenColor(TColor value) { if (StoreIfDifferent(penColor_, value)) Rebuild(); }
void TSPBEPC::SetTitleColor(TColor value) { if (StoreIfDifferent(titleColor_, value)) Rebuild(); }
void TSPBEPC::SetCurrentTitleAutoSize(bool value) { if (StoreIfDifferent(currentTitleAutoSize_, value)) Rebuild(); }
void TSPBEPC::SetPotentialTitleAutoSize(bool value) { if (StoreIfDifferent(potentialTitleAutoSize_, value)) Rebuild(); }

void TSPBEPC::SetCurrentVisible(bool value)
{
    if (StoreIfDifferent(currentVisible_, value))
        Rebuild();
}

void TSPBEPC::SetPotentialVisible(bool value)
{
    if (StoreIfDifferent(potentialVisible_, value))
        Rebuild();
}

void TSPBEPC::Loaded()
{
    TCustomControl::Loaded();
    Rebuild();
}

void TSPBEPC::SetSelectedColumn(int column)
{
    if (StoreIfDifferent(selectedColumn_, column))
        Rebuild();
}

// --- background -------------------------------------------------------------

void TSPBEPC::BuildBackground()
{
    const int W = width(), H = height();
    background_ = QImage(std::max(W, 1), std::max(H, 1), QImage::Format_RGB32);
    background_.fill(Qt::white);
    const TSPBEPCLayout layout = ComputeSPBEPCLayout(W, H, penWidth_, currentVisible_, potentialVisible_);
    details_ = layout.Details;

    TCanvas canvas(background_);
    canvas.BrushStyle = bsClear;
    DrawTitle(canvas, layout);
    DrawColumnHeadings(canvas, layout);
    DrawCaptions(canvas, layout);
    DrawBands(canvas, layout);
    DrawFrameLines(canvas, layout);
    needsRebuild_ = false;
    ++backgroundBuilds_;
}

void TSPBEPC::DrawTitle(TCanvas& canvas, const TSPBEPCLayout& layout)
{
    canvas.BrushStyle = bsSolid;
    canvas.BrushColor = titleColor_;
    canvas.FillRect(layout.TitleBar);
    canvas.BrushStyle = bsClear;
    canvas.Font.Assign(titleFont_);
    FitFontToRect(canvas, layout.TitleText, Title());
    canvas.TextRect(layout.TitleText, Title(), taLeftJustify);
}

void TSPBEPC::DrawColumnHeadings(TCanvas& canvas, const TSPBEPCLayout& layout)
{
    auto heading = [&](const TRect& cell, const QString& text, bool autoSize) {
        canvas.Font.Assign(font_);
        if (autoSize)
            FitFontToRect(canvas, cell, text);
        canvas.TextRect(cell, text, taCenter);
    };
    if (potentialVisible_)
        heading(layout.PotentialCell, potentialTitle_, potentialTitleAutoSize_);
    if (currentVisible_)
        heading(layout.CurrentCell, currentTitle_, currentTitleAutoSize_);
}

void TSPBEPC::DrawCaptions(TCanvas& canvas, const TSPBEPCLayout& layout)
{
    canvas.Font.Assign(topCaptionFont_);
    FitFontToRect(canvas, layout.TopCaption, TopCaption());
    canvas.TextRect(layout.TopCaption, TopCaption(), taLeftJustify);
    canvas.Font.Assign(bottomCaptionFont_);
    FitFontToRect(canvas, layout.BottomCaption, BottomCaption());
    canvas.TextRect(layout.BottomCaption, BottomCaption(), taLeftJustify);
}

void TSPBEPC::DrawBands(TCanvas& canvas, const TSPBEPCLayout& layout)
{
    canvas.Font.Assign(font_);
    canvas.Font.SetStyle(0);
    int firstRangeHeight = 0;
    for (int i = 0; i < kSPBEPCBandCount; ++i) {
        const TSPBEPCBand& band = SPBEPCBands[std::size_t(i)];
        const TRect& bar = layout.Bars[std::size_t(i)];
        const TRect& range = layout.RangeTexts[std::size_t(i)];

        canvas.Font.SetColor(clWhite);
        canvas.BrushStyle = bsSolid;
        canvas.BrushColor = chartType_ == ctEPC ? band.EPCColor : band.EICColor;
        canvas.FillRect(bar);
        canvas.BrushStyle = bsClear;
        FitFontToRect(canvas, bar, band.Letter);
        canvas.TextRect({bar.Left, bar.Top, bar.Right - 3, bar.Bottom}, band.Letter, taRightJustify);

        // Every range text gets at most the height band A's text fitted to,
        // so the column of ranges reads in one size.
        canvas.Font.SetColor(BandRangeTextColor(chartType_, i));
        FitFontToRect(canvas, range, band.RangeText);
        if (i == 0)
            firstRangeHeight = canvas.Font.Height();
        else
            canvas.Font.SetHeight(std::min(canvas.Font.Height(), firstRangeHeight));
        canvas.TextRect(range, band.RangeText, taLeftJustify);
    }
    canvas.Font.Assign(font_);
}

void TSPBEPC::DrawFrameLines(TCanvas& canvas, const TSPBEPCLayout& layout)
{
    const int W = width(), H = height(), PW = penWidth_, ih = layout.ih;
    canvas.PenColor = penColor_;
    canvas.PenWidth = PW;
    canvas.Polyline({{PW, ih}, {W - PW, ih}, {W - PW, H - PW}, {PW, H - PW}, {PW, ih}});
    canvas.MoveTo(PW, 2 * ih);
    canvas.LineTo(W - PW, 2 * ih);
    for (const auto& x : {layout.PotentialSeparatorX, layout.CurrentSeparatorX}) {
        if (!x)
            continue;
        canvas.MoveTo(*x, ih);
        canvas.LineTo(*x, H - PW);
    }
}

// --- composition ------------------------------------------------------------

TRect TSPBEPC::ArrowRect(int column) const
{
    int left = 0, colWidth = 0, v = 0;
    if (column == 2 && currentVisible_) {
        left = details_.CurrentLeft;
        colWidth = details_.CurrentWidth;
        v = current_;
    } else if (column == 3 && potentialVisible_) {
        left = details_.PotentialLeft;
        colWidth = details_.PotentialWidth;
        v = potential_;
    } else {
        return {-1, -1, -1, -1};
    }
    const int top = ArrowTop(v);
    return {left + 2 * penWidth_, top, left + colWidth - 2 * penWidth_, top + details_.BandHeight};
}

void TSPBEPC::RefreshChart()
{
    // While the form is being built, every setter would redraw the chart;
    // Loaded() draws it once instead.
    if (IsLoading())
        return;
    if (needsRebuild_ || background_.size() != size())
        BuildBackground();
    composed_ = background_.copy();
    TCanvas canvas(composed_);
    if (currentVisible_)
        DrawArrow(canvas, ArrowRect(2), BandColor(chartType_, current_), current_);
    if (potentialVisible_)
        DrawArrow(canvas, ArrowRect(3), BandColor(chartType_, potential_), potential_);
    DrawFocusFrame(canvas);
    update();
}

void TSPBEPC::DrawArrow(TCanvas& canvas, const TRect& r, TColor color, int number)
{
    const int half = details_.BandHeight / 2;
    const std::vector<TPoint> outline{{r.Left + half, r.Top}, {r.Right, r.Top}, {r.Right, r.Bottom},
                                      {r.Left + half, r.Bottom}, {r.Left, r.Top + half}, {r.Left + half, r.Top}};
    // Black outline, flood fill up to it, then the outline again in the
    // arrow's colour so no black edge remains.
    canvas.PenWidth = 1;
    canvas.PenColor = clBlack;
    canvas.BrushStyle = bsSolid;
    canvas.BrushColor = color;
    canvas.Polyline(outline);
    canvas.FloodFill(r.Right - r.Width() / 2, r.Top + r.Height() / 2, clBlack);
    canvas.PenColor = color;
    canvas.Polyline(outline);

    const TRect text{r.Left + half, r.Top, r.Right, r.Bottom};
    const QString digits = QString::number(number);
    canvas.Font.Assign(font_);
    canvas.Font.SetColor(clWhite);
    canvas.BrushStyle = bsClear;
    FitFontToRect(canvas, text, digits);
    canvas.TextRect(text, digits, taLeftJustify);
}

void TSPBEPC::DrawFocusFrame(TCanvas& canvas)
{
    if (selectedColumn_ < 2 || !hasFocus())
        return;
    const int PW = penWidth_, H = height();
    const bool current = selectedColumn_ == 2;
    TRect frame;
    frame.Left = (current ? details_.CurrentLeft : details_.PotentialLeft) - PW / 2;
    frame.Right = frame.Left + (current ? details_.CurrentWidth : details_.PotentialWidth) + PW;
    if (current && potentialVisible_)
        frame.Right += PW;
    frame.Top = 2 * (H / 10) + PW - PW / 2;
    frame.Bottom = H - PW - PW / 2;
    canvas.DrawFocusRect(frame);
}

// --- hit testing and input ----------------------------------------------------

int TSPBEPC::ColumnAt(int x, int y) const
{
    const int H = background_.isNull() ? height() : background_.height();
    const int top = H / 10, bottom = H - penWidth_;
    int bodyRight = width();
    auto inside = [&](int left, int right) { return x >= left && x < right && y >= top && y < bottom; };
    if (potentialVisible_) {
        if (inside(details_.PotentialLeft, details_.PotentialLeft + details_.PotentialWidth))
            return 3;
        bodyRight = details_.PotentialLeft;
    }
    if (currentVisible_) {
        if (inside(details_.CurrentLeft, details_.CurrentLeft + details_.CurrentWidth))
            return 2;
        bodyRight = details_.CurrentLeft;
    }
    return inside(0, bodyRight) ? 1 : -1;
}

TRect TSPBEPC::ArrowGrip(int column) const
{
    TRect grip = ArrowRect(column);
    grip.Left += details_.BandHeight / 3;
    return grip;
}

void TSPBEPC::MouseDown(Qt::MouseButton button, int x, int y)
{
    if (button != Qt::LeftButton || readOnly_)
        return;
    captured_ = true;
    SetSelectedColumn(ColumnAt(x, y));
    if ((selectedColumn_ == 2 || selectedColumn_ == 3) && TabStop() && isEnabled() && !hasFocus())
        setFocus(Qt::MouseFocusReason);
    if (selectedColumn_ < 2)
        return;
    if (Contains(ArrowGrip(selectedColumn_), x, y)) {
        dragging_ = true;
        return;
    }
    pressing_ = true;
    lastStep_ = -1;
    pressPoint_ = {x, y};
    StartRepeatTimer();
}

void TSPBEPC::MouseMove(Qt::MouseButtons buttons, int x, int y)
{
    if (readOnly_)
        return;
    if (pressing_ && (buttons & Qt::LeftButton))
        pressPoint_ = {x, y};
    if (dragging_) {
        const int v = ValueAtY(y - details_.BandHeight / 2);
        if (v >= 0) {
            if (CurrentApplies())
                SetCurrent(v);
            else if (PotentialApplies())
                SetPotential(v);
        }
    }
}

void TSPBEPC::MouseUp(Qt::MouseButton button, int x, int y)
{
    StopRepeatTimer();
    if (button == Qt::LeftButton && !readOnly_ && selectedColumn_ >= 2 && ColumnAt(x, y) == selectedColumn_
        && !Contains(ArrowGrip(selectedColumn_), x, y)) {
        lastStep_ = -1;
        pressPoint_ = {x, y};
        StepTowardMouse();
        lastStep_ = -1;
    }
    pressing_ = false;
    dragging_ = false;
    if (button == Qt::LeftButton)
        captured_ = false;
}

void TSPBEPC::RepeatTimerTick()
{
    if (repeatTimer_)
        repeatTimer_->setInterval(kRepeatMs);
    if (!captured_)
        return;
    if (!pressing_) {
        StopRepeatTimer();
        return;
    }
    try {
        StepTowardMouse();
    } catch (...) {
        StopRepeatTimer();
        throw;
    }
}

bool TSPBEPC::RepeatTimerActive() const
{
    return repeatTimer_ && repeatTimer_->isActive();
}

int TSPBEPC::RepeatInterval() const
{
    return repeatTimer_ ? repeatTimer_->interval() : 0;
}

void TSPBEPC::StartRepeatTimer()
{
    if (!repeatTimer_) {
        repeatTimer_ = std::make_unique<QTimer>();
        QObject::connect(repeatTimer_.get(), &QTimer::timeout, this, [this] { RepeatTimerTick(); });
    }
    repeatTimer_->start(kFirstRepeatMs);
}

void TSPBEPC::StopRepeatTimer()
{
    if (repeatTimer_)
        repeatTimer_->stop();
}

bool TSPBEPC::CurrentApplies() const
{
    return selectedColumn_ == 2 && currentVisible_ && !readOnly_;
}

bool TSPBEPC::PotentialApplies() const
{
    return selectedColumn_ == 3 && potentialVisible_ && !readOnly_;
}

// Moves the selected arrow one unit toward the pressed point. "near" keeps an
// arrow whose middle has reached the pointer from swinging back and forth.
void TSPBEPC::StepTowardMouse()
{
    if (!pressing_ || selectedColumn_ < 2 || readOnly_)
        return;
    const TRect A = ArrowRect(selectedColumn_);
    if (A.Top < 0)
        return;
    const int half = details_.BandHeight / 2;
    const int y = pressPoint_.Y;
    const bool isNear = std::abs(y - A.Top - half) <= half;
    const bool current = selectedColumn_ == 2;
    const int value = current ? current_ : potential_;
    auto write = [&](int v) { current ? SetCurrent(v) : SetPotential(v); };
    if (A.Top + half - 1 >= y) {
        if (!(lastStep_ == 0 && isNear)) {
            write(std::min(value + 1, 100));
            lastStep_ = 1;
        }
    } else if (A.Bottom - half + 1 < y) {
        if (!(lastStep_ == 1 && isNear)) {
            write(std::max(value - 1, 0));
            lastStep_ = 0;
        }
    }
}

void TSPBEPC::ChangeSelectedValues(int (*change)(int))
{
    if (CurrentApplies())
        SetCurrent(std::clamp(change(current_), 0, 100));
    if (PotentialApplies())
        SetPotential(std::clamp(change(potential_), 0, 100));
}

void TSPBEPC::KeyDown(int key)
{
    switch (key) {
    case Qt::Key_PageUp: ChangeSelectedValues([](int v) { return NextBandValue(v, true); }); break;
    case Qt::Key_PageDown: ChangeSelectedValues([](int v) { return NextBandValue(v, false); }); break;
    case Qt::Key_End: ChangeSelectedValues([](int) { return 100; }); break;
    case Qt::Key_Home: ChangeSelectedValues([](int) { return 0; }); break;
    case Qt::Key_Up: ChangeSelectedValues([](int v) { return v + 1; }); break;
    case Qt::Key_Down: ChangeSelectedValues([](int v) { return v - 1; }); break;
    case Qt::Key_Left:
        if (selectedColumn_ == 3 && currentVisible_)
            SetSelectedColumn(2);
        break;
    case Qt::Key_Right:
        if (selectedColumn_ < 3 && potentialVisible_)
            SetSelectedColumn(3);
        break;
    default: break;
    }
}

// --- Qt events ----------------------------------------------------------------

void TSPBEPC::paintEvent(QPaintEvent*)
{
    if (composed_.size() != size() || needsRebuild_)
        RefreshChart();
    QPainter painter(this);
    painter.drawImage(rect(), composed_);
}

void TSPBEPC::resizeEvent(QResizeEvent*)
{
    RefreshChart();
}

void TSPBEPC::mouseDoubleClickEvent(QMouseEvent* event)
{
    // A double click counts as a second press.
    mousePressEvent(event);
}

void TSPBEPC::mouseMoveEvent(QMouseEvent* event)
{
    MouseMove(event->buttons(), event->position().toPoint().x(), event->position().toPoint().y());
}

void TSPBEPC::focusInEvent(QFocusEvent*)
{
    if (currentVisible_ && (selectedColumn_ != 3 || !potentialVisible_))
        SetSelectedColumn(2);
    else if (potentialVisible_)
        SetSelectedColumn(3);
    RefreshChart();
}

void TSPBEPC::focusOutEvent(QFocusEvent*)
{
    RefreshChart();
}

void TSPBEPC::enterEvent(QEnterEvent*)
{
    dragging_ = false;
    Fire(OnMouseEnter, this);
}

void TSPBEPC::leaveEvent(QEvent*)
{
    dragging_ = false;
    Fire(OnMouseLeave, this);
}

} // namespace lumora
