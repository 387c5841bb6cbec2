#pragma once

#include "platform/framework/Canvas.h"
#include "platform/framework/Colors.h"

#include <QString>

#include <array>
#include <functional>
#include <optional>

namespace lumora {

enum TSPBEPCChartType { ctEPC, ctEIC };

// Where the value columns and the bands of a rating chart are, in pixels.
// Filled when the chart's background is built; read by arrows and hit tests.
struct TSPBEPCLocationDetails {
    int PotentialLeft = 0;
    int PotentialWidth = 0;
    int CurrentLeft = 0;
    int CurrentWidth = 0;
    int BandsTop = 0;
    int BandHeight = 0;
};

// One rating band: its letter, the range text shown beside it and the values
// it holds.
struct TSPBEPCBand {
    const char* Letter;
    const char* RangeText;
    int Low;
    int High;
    TColor EPCColor;
    TColor EICColor;
};

inline constexpr int kSPBEPCBandCount = 7;
extern const std::array<TSPBEPCBand, kSPBEPCBandCount> SPBEPCBands;

// The band (0 = A ... 6 = G) whose range holds v, or nothing outside 0 ... 100.
std::optional<int> BandIndexOf(int v);
// The colour of the band holding v; 0 (black) for values outside 0 ... 100.
TColor BandColor(TSPBEPCChartType type, int v);
// Colour of a band's range text: light on the two dark top bands of the
// efficiency chart, dark on the light top bands of the impact chart.
TColor BandRangeTextColor(TSPBEPCChartType type, int band);
// The lower bound of the neighbouring band (up or down), clamped to 0 ... 100.
int NextBandValue(int v, bool up);

QString SPBEPCDefaultTitle(TSPBEPCChartType type);
QString SPBEPCDefaultTopCaption(TSPBEPCChartType type);
QString SPBEPCDefaultBottomCaption(TSPBEPCChartType type);

// Every rectangle of the static chart for a control of W x H pixels.
struct TSPBEPCLayout {
    int ih = 0;               // row height: title bar and heading row
    int p = 0;                // width of one value column
    int h = 0;                // total width of the visible value columns
    int Step = 0;             // how much longer each bar is than the one above
    TRect TitleBar;
    TRect TitleText;
    TRect PotentialCell;      // heading cell of the Potential column
    TRect CurrentCell;        // heading cell of the Current column
    TRect TopCaption;
    TRect BottomCaption;
    std::array<TRect, kSPBEPCBandCount> Bars;
    std::array<TRect, kSPBEPCBandCount> RangeTexts;
    std::optional<int> PotentialSeparatorX;
    std::optional<int> CurrentSeparatorX;
    TSPBEPCLocationDetails Details;
};

TSPBEPCLayout ComputeSPBEPCLayout(int width, int height, int penWidth, bool currentVisible, bool potentialVisible);

// Top edge of an arrow standing for v: its middle lies on the top edge of the
// band's bar for the band's highest value and BandHeight - PenWidth lower for
// its lowest. 0 for values outside 0 ... 100.
int ArrowTop(const TSPBEPCLocationDetails& details, int penWidth, int v);
// The value whose arrow top a point at height y reaches: 100 at or above the
// arrow of 100, else the smallest v with y >= ArrowTop(v); -1 if none.
int ValueAtY(const TSPBEPCLocationDetails& details, int penWidth, int y);

// The font cell height a text is drawn at in a box: the box's height,
// lowered until the text is narrower than the box (never below 1).
// `widthAt` gives the text's width at a height. A text's width grows with
// its height, so the search starts where the width at the full height says
// the text will fit and walks from there: a few fonts are made instead of
// one for every height from the full one down.
int FittingFontHeight(int fullHeight, int boxWidth, const std::function<int(int)>& widthAt);

} // namespace lumora
