// The track bar's colour presets.

#include "controls/trackbar/AdvSmoothTrackBarStyles.h"

#include "controls/trackbar/AdvSmoothTrackBar.h"

#include <array>

namespace lumora {

namespace {

struct TrackBarStyle {
    int Number;
    TAdvSmoothStyleColors Colors;
};

constexpr std::array<TrackBarStyle, 14> kStyles = {{
    {0, {0xFFD2AF, 0xFFD2AF, 0xC0C0C0, 0xFCE1CB, 0xE0A57D, clNone, clNone, 0x962D00}},
    {1, {0xE6D8D8, 0xE6D8D8, 0xC0C0C0, 0xECE2E1, 0xB39698, clNone, clNone, 0x947C7C}},
    {2, {0xCFF0EA, 0xCFF0EA, 0xC0C0C0, 0xCFF0EA, 0x8CC0B1, clNone, clNone, 0x588060}},
    {3, {0xF2F2F2, 0xF2F2F2, 0xC0C0C0, 0xFFFFFF, 0xC9D1D5, clNone, clNone, 0x808080}},
    {4, {0xFFD2AF, 0xFFD2AF, 0xC0C0C0, 0xFFEFE3, 0xFFDDC4, 0xFFD1AD, 0xFFDBC0, 0xFFD1AD}},
    {5, {0x5C534C, 0x5C534C, 0xC0C0C0, 0xF9F8F8, 0xE4E2DF, 0xD1CBC7, 0xE2DEDB, 0x000000}},
    {6, {0xB6B6B6, 0xB6B6B6, 0xC0C0C0, 0xFFFFFF, clBtnFace, clNone, clNone, 0x000000}},
    {7, {0xF5F9FA, 0xF5F9FA, 0xC0C0C0, 0xF5F9FA, 0xA8C0C0, clNone, clNone, 0x962D00}},
    {9, {0xCAC1BA, 0xCAC1BA, 0xC0C0C0, 0xFAEEEB, 0xE5DBD7, 0xE2D8D4, 0xD1C7C5, 0x000000}},
    {10, {0xFFFDF9, 0xFFFAF0, 0xFCF2DA, 0xFEF9F0, 0xFDF0D7, clNone, clNone, 0xFEDF9A}},
    {11, {0xFCEBDC, 0xFCDBC1, 0xCEA27D, 0xFDFBFA, 0xFDF3EB, clNone, clNone, 0xFBD6B8}},
    {13, {0xFFFFFF, 0xF1EFED, 0xEDEDEC, 0xFDF6EF, 0xF0DAC7, clNone, clNone, 0xC7B29F}},
    {14, {0xFFFFFF, 0xF1EFED, 0xEDEDEC, 0xD4CFCB, 0xEDE5E0, clNone, clNone, 0xD2CDC8}},
    {15, {0xFFFFFF, 0xF1EFED, 0xEDEDEC, 0xBFBFBF, 0x919191, clNone, clNone, 0x6D6D6D}},
}};

} // namespace

std::optional<TAdvSmoothStyleColors> SmoothStyleColors(int style)
{
    for (const TrackBarStyle& s : kStyles)
        if (s.Number == style)
            return s.Colors;
    return std::nullopt;
}

void TAdvSmoothTrackBar::ApplyColorStyle(int style)
{
    // Every style starts with the same white, fading thumb.
    TGDIPFill& thumb = *thumbFill_;
    thumb.SetRounding(10);
    thumb.SetBorderColor(0x808080);
    thumb.SetColor(clWhite);
    thumb.SetColorTo(clWhite);
    thumb.SetGradientType(gtForwardDiagonal);
    thumb.SetOpacityTo(0);
    if (style == 8 || style < 0 || style > 15)
        return;

    if (style == 12) {
        fill_->SetColor(clBtnFace);
        fill_->SetColorTo(clBtnFace);
        fill_->SetBorderColor(0x808080);
        progressFill_->SetColor(0xC0C0C0);
        progressFill_->SetColorTo(0xC0C0C0);
        progressFill_->SetColorMirror(clNone);
        progressFill_->SetColorMirrorTo(clNone);
        progressFill_->SetBorderColor(0x808080);
        return;
    }
    if (const auto colors = SmoothStyleColors(style)) {
        const TAdvSmoothStyleColors& s = *colors;
        fill_->SetColor(s.Color);
        fill_->SetColorTo(s.ColorTo);
        fill_->SetBorderColor(s.BorderColor);
        progressFill_->SetColor(s.Progress);
        progressFill_->SetColorTo(s.ProgressTo);
        progressFill_->SetColorMirror(s.ProgressMirror);
        progressFill_->SetColorMirrorTo(s.ProgressMirrorTo);
        progressFill_->SetBorderColor(s.ProgressBorder);
        progressFill_->SetGradientMirrorType(gtVertical);
    }
}

} // namespace lumora
