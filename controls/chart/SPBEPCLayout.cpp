#include "controls/chart/SPBEPCLayout.h"

#include <algorithm>

namespace lumora {

const std::array<TSPBEPCBand, kSPBEPCBandCount> SPBEPCBands = {{
    {"A", "(92-100)", 92, 100, 0x5A8400, 0xF7CE73},
    {"B", "(81-91)", 81, 91, 0x59B019, 0xFFB521},
    {"C", "(69-80)", 69, 80, 0x41C68D, 0xDE9C00},
    {"D", "(55-68)", 55, 68, 0x00CCFF, 0xC67B00},
    {"E", "(39-54)", 39, 54, 0x64ACF7, 0xBDBDBD},
    {"F", "(21-38)", 21, 38, 0x2185F7, 0x9C9C9C},
    {"G", "(1-20)", 0, 20, 0x391CEF, 0x848484},
}};

std::optional<int> BandIndexOf(int v)
{
    for (int k = 0; k < kSPBEPCBandCount; ++k)
        if (v >= SPBEPCBands[std::size_t(k)].Low && v <= SPBEPCBands[std::size_t(k)].High)
            return k;
    return std::nullopt;
}

TColor BandColor(TSPBEPCChartType type, int v)
{
    const auto k = BandIndexOf(v);
    if (!k)
        return 0;
    const TSPBEPCBand& band = SPBEPCBands[std::size_t(*k)];
    return type == ctEPC ? band.EPCColor : band.EICColor;
}

TColor BandRangeTextColor(TSPBEPCChartType type, int band)
{
    const bool topTwo = band < 2;
    if (type == ctEPC)
        return topTwo ? clWhite : clBlack;
    return topTwo ? clBlack : clWhite;
}

int NextBandValue(int v, bool up)
{
    const auto k = BandIndexOf(std::clamp(v, 0, 100));
    // Up: the lowest value of the band above (100 from band A);
    // down: the lowest value of the band below (0 from bands F and G).
    if (up)
        return *k == 0 ? 100 : SPBEPCBands[std::size_t(*k - 1)].Low;
    if (*k >= kSPBEPCBandCount - 2)
        return 0;
    return SPBEPCBands[std::size_t(*k + 1)].Low;
}

QString SPBEPCDefaultTitle(TSPBEPCChartType type)
{
    return type == ctEPC ? QStringLiteral("Energy Efficiency Rating") : QStringLiteral("Environmental Impact CO2 Rating");
}

QString SPBEPCDefaultTopCaption(TSPBEPCChartType type)
{
    return type == ctEPC ? QStringLiteral("Very energy efficient - lower running costs")
                         : QStringLiteral("Very environmentally friendly - lower CO2 emmissions");
}

QString SPBEPCDefaultBottomCaption(TSPBEPCChartType type)
{
    return type == ctEPC ? QStringLiteral("Not energy efficient - higher running costs")
                         : QStringLiteral("Not environmentally friendly - higher CO2 emmissions");
}

TSPBEPCLayout ComputeSPBEPCLayout(int W, int H, int PW, bool currentVisible, bool potentialVisible)
{
    TSPBEPCLayout L;
    L.ih = H / 10;
    L.p = int(W * 0.15);
    const int ih = L.ih, p = L.p;

    L.TitleBar = {0, 0, W, ih - PW};
    L.TitleText = {PW, PW, W - 2 * PW, ih - 2 * PW};

    // Value columns from the right edge: Potential outermost, then Current.
    L.PotentialCell = {W + PW - p, ih, W - 2 * PW, 2 * ih};
    L.Details.PotentialLeft = L.PotentialCell.Left;
    L.Details.PotentialWidth = L.PotentialCell.Width();
    int h = potentialVisible ? p : 0;
    L.CurrentCell = {W + PW - h - p, ih, W - 2 * PW - h, 2 * ih};
    L.Details.CurrentLeft = L.CurrentCell.Left;
    L.Details.CurrentWidth = L.CurrentCell.Width();
    if (currentVisible)
        h += p;
    L.h = h;

    L.TopCaption = {2 * PW, 2 * ih + PW, W - 4 * PW - h, 2 * ih + PW + ih / 2};
    L.BottomCaption = {L.TopCaption.Left, H - 2 * PW - ih / 2, L.TopCaption.Right, H - 2 * PW};

    L.Step = int((W - h) * 0.105);
    L.Details.BandHeight = (L.BottomCaption.Top - L.TopCaption.Bottom) / 7;
    const int bh = L.Details.BandHeight;
    TRect R{PW, L.TopCaption.Bottom + PW, int((W - h) * 0.34), L.TopCaption.Bottom + PW + bh - PW};
    L.Details.BandsTop = R.Top;
    TRect Q{2 * PW, R.Top, int(R.Right * 0.66), R.Bottom};
    for (int i = 0; i < kSPBEPCBandCount; ++i) {
        if (i > 0) {
            R.Top += bh;
            R.Bottom += bh;
            R.Right += L.Step;
            Q.Top = R.Top;
            Q.Bottom = R.Bottom;
        }
        L.Bars[std::size_t(i)] = R;
        L.RangeTexts[std::size_t(i)] = Q;
    }

    int u = 0;
    if (potentialVisible) {
        L.PotentialSeparatorX = W - p;
        u = p;
    }
    if (currentVisible)
        L.CurrentSeparatorX = W - u - p;
    return L;
}

int ArrowTop(const TSPBEPCLocationDetails& d, int PW, int v)
{
    const auto k = BandIndexOf(v);
    if (!k)
        return 0;
    const TSPBEPCBand& band = SPBEPCBands[std::size_t(*k)];
    // Integer form of Trunc((BandHeight - PW) / (hi - lo) * (hi - v)): the
    // exact quotient, so the band's lowest value lands exactly BandHeight - PW
    // below its highest instead of one pixel short through rounding error.
    const int within = (d.BandHeight - PW) * (band.High - v) / (band.High - band.Low);
    return d.BandsTop + *k * d.BandHeight + within - d.BandHeight / 2;
}

int ValueAtY(const TSPBEPCLocationDetails& d, int PW, int y)
{
    if (y <= ArrowTop(d, PW, 100))
        return 100;
    for (int v = 0; v <= 100; ++v)
        if (y >= ArrowTop(d, PW, v))
            return v;
    return -1;
}

int FittingFontHeight(int fullHeight, int boxWidth, const std::function<int(int)>& widthAt)
{
    if (fullHeight <= 1 || boxWidth <= 0)
        return fullHeight;
    const int fullWidth = widthAt(fullHeight);
    if (fullWidth < boxWidth)
        return fullHeight;
    const auto fits = [&](int height) { return height <= 1 || widthAt(height) < boxWidth; };
    int height = std::clamp(int(double(fullHeight) * boxWidth / fullWidth), 1, fullHeight - 1);
    if (fits(height)) {
        while (height + 1 < fullHeight && fits(height + 1))
            ++height;
    } else {
        while (!fits(--height)) {
        }
    }
    return height;
}

} // namespace lumora
