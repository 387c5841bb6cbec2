#include "controls/chart/SPBEPC.h"
#include "core/MainWindowLook.h"

#include <gtest/gtest.h>

#include <QImage>

#include <functional>
#include <vector>

using namespace lumora;

namespace {

// The main window's chart: 320 x 250, pen 1, Potential column hidden, read-only.
void ConfigureAsMainWindow(TSPBEPC& chart)
{
    chart.resize(kMainWindowChartSize);
    ApplyMainWindowChartLook(chart);
}

QRgb Rgb(TColor c)
{
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

} // namespace

TEST(ChartLayout, MainWindowChart)
{
    const TSPBEPCLayout L = ComputeSPBEPCLayout(320, 250, 1, true, false);
    EXPECT_EQ(L.ih, 25);
    EXPECT_EQ(L.p, 48);
    EXPECT_EQ(L.Details.CurrentLeft, 273);
    EXPECT_EQ(L.Details.CurrentLeft + L.Details.CurrentWidth, 318);
    EXPECT_EQ(L.CurrentSeparatorX, 272);
    EXPECT_FALSE(L.PotentialSeparatorX.has_value());
    EXPECT_EQ(L.TopCaption.Left, 2);
    EXPECT_EQ(L.TopCaption.Right, 268);
    EXPECT_EQ(L.BottomCaption.Right, 268);
    EXPECT_EQ(L.Details.BandHeight, 24);
    EXPECT_EQ(L.Details.BandsTop, 64);
    for (int i = 0; i < kSPBEPCBandCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(L.Bars[std::size_t(i)].Left, 1);
        EXPECT_EQ(L.Bars[std::size_t(i)].Right, 92 + 28 * i);
        EXPECT_EQ(L.Bars[std::size_t(i)].Top, 64 + 24 * i);
        EXPECT_EQ(L.RangeTexts[std::size_t(i)].Left, 2);
        EXPECT_EQ(L.RangeTexts[std::size_t(i)].Right, 60);
    }
    EXPECT_EQ(L.Bars[6].Right, 260);
}

TEST(ChartLayout, BothColumnsShortenTheBarsAndAddASeparator)
{
    const TSPBEPCLayout both = ComputeSPBEPCLayout(320, 250, 1, true, true);
    const TSPBEPCLayout one = ComputeSPBEPCLayout(320, 250, 1, true, false);
    EXPECT_EQ(both.Details.PotentialLeft, 273);
    EXPECT_EQ(both.Details.CurrentLeft, 225);
    EXPECT_EQ(both.PotentialSeparatorX, 272);
    EXPECT_EQ(both.CurrentSeparatorX, 224);
    EXPECT_LT(both.Bars[0].Right, one.Bars[0].Right);
    EXPECT_EQ(both.Bars[0].Right, int((320 - 96) * 0.34));
}

TEST(ChartLayout, ArrowTopEdgesPutTheMiddleOnBandEdges)
{
    const TSPBEPCLocationDetails d = ComputeSPBEPCLayout(320, 250, 1, true, false).Details;
    const int half = d.BandHeight / 2;
    EXPECT_EQ(ArrowTop(d, 1, 100) + half, 64);      // top of bar A
    EXPECT_EQ(ArrowTop(d, 1, 92) + half, 64 + 23);  // BandHeight - PenWidth lower
    EXPECT_EQ(ArrowTop(d, 1, 91) + half, 88);       // top of bar B
    EXPECT_EQ(ArrowTop(d, 1, 20) + half, 64 + 6 * 24);
    EXPECT_EQ(ArrowTop(d, 1, 0) + half, 64 + 6 * 24 + 23);
    EXPECT_EQ(ArrowTop(d, 1, 101), 0);
    EXPECT_EQ(ArrowTop(d, 1, -1), 0);
    // Within a band, a higher rating stands higher.
    for (int v = 1; v <= 100; ++v)
        EXPECT_LE(ArrowTop(d, 1, v), ArrowTop(d, 1, v - 1)) << v;
}

TEST(ChartLayout, ValueAtYInvertsArrowTop)
{
    const TSPBEPCLocationDetails d = ComputeSPBEPCLayout(320, 250, 1, true, false).Details;
    EXPECT_EQ(ValueAtY(d, 1, 0), 100);
    EXPECT_EQ(ValueAtY(d, 1, ArrowTop(d, 1, 100)), 100);
    EXPECT_EQ(ValueAtY(d, 1, ArrowTop(d, 1, 50)), 50);
    EXPECT_EQ(ValueAtY(d, 1, 1000), 0);
}

namespace {

// Fitting by trying every height from the box's down, one font each.
int FittedOneHeightAtATime(int full, int boxWidth, const std::function<int(int)>& widthAt)
{
    int height = full;
    if (boxWidth <= 0)
        return height;
    while (height > 1 && widthAt(height) >= boxWidth)
        --height;
    return height;
}

} // namespace

TEST(ChartLayout, FittingAFontTriesFewHeightsAndFindsTheOneTriedOneAtATime)
{
    // Widths that grow with the height as a font's do, rounded, in steps and
    // with a fixed part (padding) that does not scale.
    const std::vector<std::function<int(int)>> widths{
        [](int h) { return h * 7 / 2; },
        [](int h) { return 12 + h * 5 / 3; },
        [](int h) { return (h / 4) * 9; },
        [](int h) { return h * h / 3; },
    };
    for (const auto& widthAt : widths) {
        for (int full : {-3, 0, 1, 2, 5, 17, 40}) {
            for (int box : {-1, 0, 1, 3, 10, 31, 64, 200, 1000}) {
                EXPECT_EQ(FittingFontHeight(full, box, widthAt), FittedOneHeightAtATime(full, box, widthAt))
                    << full << " in " << box;
            }
        }
    }

    // With the real font at every size the chart's boxes come in.
    QImage image(10, 10, QImage::Format_RGB32);
    TCanvas canvas(image);
    for (const char* text : {"A", "(92-100)", "Current", "100"}) {
        int tried = 0;
        const auto widthAt = [&](int h) {
            ++tried;
            canvas.Font.SetHeight(h);
            return canvas.TextWidth(text);
        };
        for (int full = 4; full <= 40; full += 3) {
            for (int box = 4; box <= 160; box += 9) {
                tried = 0;
                const int fitted = FittingFontHeight(full, box, widthAt);
                EXPECT_LE(tried, 4) << text << " " << full << " in " << box;
                EXPECT_EQ(fitted, FittedOneHeightAtATime(full, box, widthAt)) << text << " " << full << " in " << box;
            }
        }
    }
}

TEST(ChartBands, ColoursAndNextBandValue)
{
    EXPECT_EQ(BandColor(ctEPC, 100), 0x5A8400);
    EXPECT_EQ(BandColor(ctEPC, 92), 0x5A8400);
    EXPECT_EQ(BandColor(ctEPC, 91), 0x59B019);
    EXPECT_EQ(BandColor(ctEPC, 0), 0x391CEF);
    EXPECT_EQ(BandColor(ctEIC, 50), 0xBDBDBD);
    EXPECT_EQ(BandColor(ctEPC, 101), 0);

    EXPECT_EQ(NextBandValue(25, true), 39);
    EXPECT_EQ(NextBandValue(25, false), 0);
    EXPECT_EQ(NextBandValue(95, true), 100);
    EXPECT_EQ(NextBandValue(95, false), 81);
    EXPECT_EQ(NextBandValue(50, false), 21);
    EXPECT_EQ(NextBandValue(0, true), 21);
}

TEST(Chart, ValueWritesIgnoreOutOfRangeAndRepeats)
{
    TSPBEPC chart;
    int changes = 0;
    chart.OnCurrentChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &chart);
        ++changes;
    };
    chart.SetCurrent(101);
    chart.SetCurrent(-1);
    EXPECT_EQ(chart.Current(), 0);
    chart.SetCurrent(40);
    chart.SetCurrent(40);
    EXPECT_EQ(chart.Current(), 40);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(chart.CurrentColor(), 0x64ACF7);
}

TEST(Chart, TextPropertiesFollowTheChartTypeWhileEmpty)
{
    TSPBEPC chart;
    chart.RefreshChart();
    const int builds = chart.BackgroundBuilds();
    chart.SetTitle("Energy Efficiency Rating");
    EXPECT_EQ(chart.BackgroundBuilds(), builds); // nothing stored
    chart.SetChartType(ctEIC);
    EXPECT_EQ(chart.Title(), "Environmental Impact CO2 Rating");
    EXPECT_EQ(chart.TopCaption(), "Very environmentally friendly - lower CO2 emmissions");
    chart.SetTitle("Mine");
    chart.SetChartType(ctEPC);
    EXPECT_EQ(chart.Title(), "Mine");
}

TEST(Chart, ValueChangeReusesTheBackground)
{
    TSPBEPC chart;
    chart.RefreshChart();
    const int builds = chart.BackgroundBuilds();
    chart.SetCurrent(77);
    chart.SetPotential(12);
    EXPECT_EQ(chart.BackgroundBuilds(), builds);
    chart.SetPenColor(clRed);
    EXPECT_EQ(chart.BackgroundBuilds(), builds + 1);
    chart.resize(400, 300);
    chart.RefreshChart();
    EXPECT_EQ(chart.BackgroundBuilds(), builds + 2);
    // A change made on an owned font rebuilds as well; the same value twice
    // does nothing.
    chart.TitleFont().SetColor(clYellow);
    chart.TitleFont().SetColor(clYellow);
    EXPECT_EQ(chart.BackgroundBuilds(), builds + 3);
}

TEST(Chart, ColumnAtCountsHeadingCellsAndBody)
{
    TSPBEPC chart; // both columns: Current 225..270, Potential 273..318
    chart.RefreshChart();
    EXPECT_EQ(chart.ColumnAt(290, 30), 3);
    EXPECT_EQ(chart.ColumnAt(240, 100), 2);
    EXPECT_EQ(chart.ColumnAt(100, 100), 1);
    EXPECT_EQ(chart.ColumnAt(100, 10), -1); // title bar
    EXPECT_EQ(chart.ColumnAt(100, 249), -1);
}

TEST(Chart, ReadOnlyIgnoresClicksAndKeysChangeNothing)
{
    TSPBEPC chart;
    ConfigureAsMainWindow(chart);
    chart.SetCurrent(50);
    chart.RefreshChart();
    chart.MouseDown(Qt::LeftButton, 290, 200);
    chart.MouseUp(Qt::LeftButton, 290, 200);
    EXPECT_EQ(chart.SelectedColumn(), -1);
    EXPECT_EQ(chart.Current(), 50);
    EXPECT_FALSE(chart.RepeatTimerActive());
    chart.KeyDown(Qt::Key_Home);
    EXPECT_EQ(chart.Current(), 50);
}

TEST(Chart, PageKeysJumpBands)
{
    TSPBEPC chart;
    chart.SetPotentialVisible(false);
    chart.SetCurrent(25);
    chart.RefreshChart();
    chart.MouseDown(Qt::LeftButton, 290, 30); // heading cell selects the column
    chart.MouseUp(Qt::LeftButton, 290, 30);
    ASSERT_EQ(chart.SelectedColumn(), 2);
    chart.SetCurrent(25);
    chart.KeyDown(Qt::Key_PageUp);
    EXPECT_EQ(chart.Current(), 39);
    chart.SetCurrent(25);
    chart.KeyDown(Qt::Key_PageDown);
    EXPECT_EQ(chart.Current(), 0);
    chart.SetCurrent(95);
    chart.KeyDown(Qt::Key_PageUp);
    EXPECT_EQ(chart.Current(), 100);
    chart.KeyDown(Qt::Key_Up);
    EXPECT_EQ(chart.Current(), 100);
    chart.KeyDown(Qt::Key_Home);
    chart.KeyDown(Qt::Key_Down);
    EXPECT_EQ(chart.Current(), 0);
    chart.KeyDown(Qt::Key_End);
    EXPECT_EQ(chart.Current(), 100);
}

TEST(Chart, ArrowKeysMoveTheSelectionBetweenColumns)
{
    TSPBEPC chart;
    chart.RefreshChart();
    chart.MouseDown(Qt::LeftButton, 240, 30);
    chart.MouseUp(Qt::LeftButton, 240, 30);
    ASSERT_EQ(chart.SelectedColumn(), 2);
    EXPECT_EQ(chart.Current(), 1); // the release above the arrow stepped it up
    chart.KeyDown(Qt::Key_Right);
    EXPECT_EQ(chart.SelectedColumn(), 3);
    chart.KeyDown(Qt::Key_Up);
    EXPECT_EQ(chart.Potential(), 1);
    EXPECT_EQ(chart.Current(), 1);
    chart.KeyDown(Qt::Key_Left);
    EXPECT_EQ(chart.SelectedColumn(), 2);
}

TEST(Chart, ClickBelowTheArrowStepsOnceAtReleaseThenRepeatsWhileHeld)
{
    TSPBEPC chart;
    chart.SetPotentialVisible(false);
    chart.SetCurrent(50);
    chart.RefreshChart();
    const int x = 300, below = chart.ArrowRect(2).Bottom + 20;

    chart.MouseDown(Qt::LeftButton, x, below);
    EXPECT_TRUE(chart.RepeatTimerActive());
    EXPECT_EQ(chart.RepeatInterval(), 400);
    chart.MouseUp(Qt::LeftButton, x, below);
    EXPECT_EQ(chart.Current(), 49);
    EXPECT_FALSE(chart.RepeatTimerActive());

    // Held: every tick moves one unit until the arrow's middle reaches the
    // pointer, then it stays put.
    chart.MouseDown(Qt::LeftButton, x, below);
    for (int i = 0; i < 60; ++i)
        chart.RepeatTimerTick();
    EXPECT_EQ(chart.RepeatInterval(), 100);
    const TRect a = chart.ArrowRect(2);
    const int half = chart.LocationDetails().BandHeight / 2;
    EXPECT_LE(std::abs(below - a.Top - half), half);
    const int settled = chart.Current();
    chart.RepeatTimerTick();
    chart.RepeatTimerTick();
    EXPECT_EQ(chart.Current(), settled);
    EXPECT_LT(settled, 49);
    chart.MouseUp(Qt::LeftButton, x, below);
    EXPECT_FALSE(chart.RepeatTimerActive());
}

TEST(Chart, DragMovesTheArrowWithThePointer)
{
    TSPBEPC chart;
    chart.SetPotentialVisible(false);
    chart.SetCurrent(50);
    chart.RefreshChart();
    const TRect a = chart.ArrowRect(2);
    chart.MouseDown(Qt::LeftButton, a.Right - 2, a.Top + 5);
    EXPECT_FALSE(chart.RepeatTimerActive());
    const int target = chart.ArrowTop(80) + chart.LocationDetails().BandHeight / 2;
    chart.MouseMove(Qt::LeftButton, a.Right - 2, target);
    EXPECT_EQ(chart.Current(), 80);
    chart.MouseUp(Qt::LeftButton, a.Right - 2, target);
    EXPECT_EQ(chart.Current(), 80);
}

TEST(ChartPixels, BandAndArrowColours)
{
    TSPBEPC chart;
    ConfigureAsMainWindow(chart);
    chart.SetCurrent(50);
    QImage image(chart.size(), QImage::Format_RGB32);
    chart.render(&image);
    // The canvas draws without anti-aliasing, so colours are exact.
    EXPECT_EQ(image.pixel(10, 70), Rgb(0x5A8400)); // bar A, left of its range text
    EXPECT_EQ(image.pixel(10, 64 + 6 * 24 + 3), Rgb(0x391CEF));
    // Arrow for 50 (band E): a point inside the pentagon, left of the number.
    const TRect a = chart.ArrowRect(2);
    EXPECT_EQ(image.pixel(a.Left + 8, a.Top + a.Height() / 2), Rgb(0x64ACF7));
    // The outline is redrawn in the arrow's colour: no black edge remains.
    EXPECT_EQ(image.pixel(a.Right, a.Top + 2), Rgb(0x64ACF7));
    EXPECT_EQ(image.pixel(a.Left + 15, a.Top), Rgb(0x64ACF7));
    // Title bar and the white chart body.
    EXPECT_EQ(image.pixel(319, 2), Rgb(12350464));
    EXPECT_EQ(image.pixel(200, 70), Rgb(clWhite));
    // Frame line and the one column separator.
    EXPECT_EQ(image.pixel(272, 150), Rgb(clBlack));
    EXPECT_EQ(image.pixel(150, 249), Rgb(clBlack));
}

TEST(Chart, NoTimerAtRest)
{
    TSPBEPC chart;
    chart.SetCurrent(30);
    chart.RefreshChart();
    EXPECT_FALSE(chart.RepeatTimerActive());
}
