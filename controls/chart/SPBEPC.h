#pragma once

#include "controls/chart/SPBEPCLayout.h"
#include "platform/framework/Canvas.h"
#include "platform/framework/Events.h"
#include "platform/framework/Form.h"
#include "platform/framework/Font.h"
#include "platform/framework/Types.h"

#include <QImage>
#include <QWidget>

#include <memory>

class QTimer;

namespace lumora {

// An energy-efficiency (or environmental-impact) rating chart: a title bar,
// seven lettered bars A to G and one or two value columns in which a
// left-pointing arrow stands at the height of a rating 0 ... 100.
// The static chart is drawn once into a cached background; a value change
// only copies it and draws the arrows again.
class TSPBEPC : public TCustomControl {
public:
    explicit TSPBEPC(QWidget* parent = nullptr);
    ~TSPBEPC() override;

    int Current() const { return current_; }
    void SetCurrent(int value);
    int Potential() const { return potential_; }
    void SetPotential(int value);

    // Reading an empty text gives the chart type's own text.
    QString Title() const;
    void SetTitle(const QString& value);
    QString CurrentTitle() const { return currentTitle_; }
    void SetCurrentTitle(const QString& value);
    QString PotentialTitle() const { return potentialTitle_; }
    void SetPotentialTitle(const QString& value);
    QString TopCaption() const;
    void SetTopCaption(const QString& value);
    QString BottomCaption() const;
    void SetBottomCaption(const QString& value);

    TSPBEPCChartType ChartType() const { return chartType_; }
    void SetChartType(TSPBEPCChartType value);
    bool CurrentVisible() const { return currentVisible_; }
    void SetCurrentVisible(bool value);
    bool PotentialVisible() const { return potentialVisible_; }
    void SetPotentialVisible(bool value);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value) { readOnly_ = value; }
    int PenWidth() const { return penWidth_; }
    void SetPenWidth(int value);
    TColor PenColor() const { return penColor_; }
    void SetPenColor(TColor value);
    TColor TitleColor() const { return titleColor_; }
    void SetTitleColor(TColor value);
    bool CurrentTitleAutoSize() const { return currentTitleAutoSize_; }
    void SetCurrentTitleAutoSize(bool value);
    bool PotentialTitleAutoSize() const { return potentialTitleAutoSize_; }
    void SetPotentialTitleAutoSize(bool value);

    // Fonts: the title's, the two captions' and the control's own (column
    // headings, band letters and range texts).
    // Each change of a font, through the setter or on the font itself,
    // rebuilds the background.
    TFont& TitleFont() { return titleFont_; }
    void SetTitleFont(const TFont& value) { titleFont_.Assign(value); }
    TFont& TopCaptionFont() { return topCaptionFont_; }
    void SetTopCaptionFont(const TFont& value) { topCaptionFont_.Assign(value); }
    TFont& BottomCaptionFont() { return bottomCaptionFont_; }
    void SetBottomCaptionFont(const TFont& value) { bottomCaptionFont_.Assign(value); }
    TFont& Font() { return font_; }
    void SetFont(const TFont& value) { font_.Assign(value); }

    TColor CurrentColor() const { return BandColor(chartType_, current_); }
    TColor PotentialColor() const { return BandColor(chartType_, potential_); }

    QString Version() const { return QStringLiteral("1.0.0.0"); }
    void SetVersion(const QString&) {}

    bool TabStop() const { return focusPolicy() != Qt::NoFocus; }
    void SetTabStop(bool value) { setFocusPolicy(value ? Qt::TabFocus : Qt::NoFocus); }

    TNotifyEvent OnCurrentChange;
    TNotifyEvent OnPotentialChange;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    // -1 none, 1 chart body, 2 Current column, 3 Potential column.
    int SelectedColumn() const { return selectedColumn_; }
    const TSPBEPCLocationDetails& LocationDetails() const { return details_; }
    TRect ArrowRect(int column) const;
    int ColumnAt(int x, int y) const;
    int ArrowTop(int v) const { return lumora::ArrowTop(details_, penWidth_, v); }
    int ValueAtY(int y) const { return lumora::ValueAtY(details_, penWidth_, y); }

    // Rebuilds the cached background when needed, composes the arrows and
    // the focus frame over it and repaints.
    void RefreshChart();
    const QImage& ComposedPicture() const { return composed_; }
    bool NeedsRebuild() const { return needsRebuild_; }
    int BackgroundBuilds() const { return backgroundBuilds_; }

    // Input in the chart's own terms; the Qt events arrive here through
    // TCustomControl, a move through mouseMoveEvent below with the buttons
    // held. The base's move without the buttons stays the base's.
    void MouseDown(Qt::MouseButton button, int x, int y) override;
    using TCustomControl::MouseMove;
    void MouseMove(Qt::MouseButtons buttons, int x, int y);
    void MouseUp(Qt::MouseButton button, int x, int y) override;
    void KeyDown(int key) override;
    void RepeatTimerTick();
    bool RepeatTimerActive() const;
    int RepeatInterval() const;

protected:
    // Loading has ended: build the chart once, with every property set.
    void Loaded() override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void SetSelectedColumn(int column);
    void Rebuild();
    void SetTextProperty(QString& stored, const QString& shown, const QString& value);
    void BuildBackground();
    void DrawTitle(TCanvas& canvas, const TSPBEPCLayout& layout);
    void DrawColumnHeadings(TCanvas& canvas, const TSPBEPCLayout& layout);
    void DrawCaptions(TCanvas& canvas, const TSPBEPCLayout& layout);
    void DrawBands(TCanvas& canvas, const TSPBEPCLayout& layout);
    void DrawFrameLines(TCanvas& canvas, const TSPBEPCLayout& layout);
    void DrawArrow(TCanvas& canvas, const TRect& rect, TColor color, int number);
    void DrawFocusFrame(TCanvas& canvas);
    TRect ArrowGrip(int column) const;
    bool CurrentApplies() const;
    bool PotentialApplies() const;
    void ChangeSelectedValues(int (*change)(int));
    void StepTowardMouse();
    void StartRepeatTimer();
    void StopRepeatTimer();

    int current_ = 0;
    int potential_ = 0;
    QString title_;
    QString currentTitle_ = QStringLiteral("Current");
    QString potentialTitle_ = QStringLiteral("Potential");
    QString topCaption_;
    QString bottomCaption_;
    TSPBEPCChartType chartType_ = ctEPC;
    bool currentVisible_ = true;
    bool potentialVisible_ = true;
    bool readOnly_ = false;
    int penWidth_ = 1;
    TColor penColor_ = clBlack;
    TColor titleColor_ = 12350464;
    bool currentTitleAutoSize_ = false;
    bool potentialTitleAutoSize_ = false;
    TFont titleFont_;
    TFont topCaptionFont_;
    TFont bottomCaptionFont_;
    TFont font_;

    TSPBEPCLocationDetails details_;
    QImage background_;
    QImage composed_;
    bool needsRebuild_ = true;
    int backgroundBuilds_ = 0;
    int selectedColumn_ = -1;
    bool pressing_ = false;
    bool dragging_ = false;
    bool captured_ = false;
    TPoint pressPoint_;
    int lastStep_ = -1;
    std::unique_ptr<QTimer> repeatTimer_;
};

} // namespace lumora
