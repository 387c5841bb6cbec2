#include "controls/gauge/AdvSmoothGauge.h"

#include <array>
#include <optional>

namespace lumora {

namespace {

using Keep = std::optional<TColor>;
constexpr Keep kKeep = std::nullopt;

// One colour preset; an empty entry leaves that colour as it is.
struct GaugeColorStyle {
    Keep Arc, InnerCircle, OuterCircle, Threshold, DigitBackGround, Digit, Division, SubDivision, Needle,
        InnerHub, InnerHubTo, OuterHub, Shine, ValueFont;
};

// Styles 0 ... 15 in order; 8 changes no colour (it only copies the value
// font's colour to the dial-text font, as every style does).
const std::array<std::optional<GaugeColorStyle>, 16> kStyles = {{
    GaugeColorStyle{0xD68759, 0xD68759, 0xFFD2AF, 0xFFD2AF, 0xD68759, 0x962D00, 0x962D00, 0x962D00, 0x962D00,
                    0xFFD2AF, kKeep, 0x933803, 0xD68759, 0x962D00},
    GaugeColorStyle{0xBDA4A5, 0xBDA4A5, 0xE6D8D8, 0xE6D8D8, 0xBDA4A5, 0x947C7C, 0x947C7C, 0x947C7C, 0x947C7C,
                    0xE6D8D8, 0xE6D8D8, 0x957475, 0xBDA4A5, 0x947C7C},
    GaugeColorStyle{0x82C0AF, 0x82C0AF, 0xCFF0EA, 0xCFF0EA, 0x82C0AF, 0x447A63, 0x447A63, 0x447A63, 0x447A63,
                    0x447A63, 0x447A63, 0x447A63, 0x447A63, 0x447A63},
    GaugeColorStyle{0x808080, 0x808080, 0xF2F2F2, 0xF2F2F2, 0x808080, 0x808080, 0x808080, 0x808080, 0x808080,
                    0xF2F2F2, 0xF2F2F2, 0x808080, 0x808080, 0x808080},
    GaugeColorStyle{0xFFEFE3, 0xFFD2AF, 0xFFD2AF, 0xFFD2AF, 0xFFEFE3, 0x962D00, 0x962D00, 0x962D00, 0xFFD2AF,
                    0xFFD2AF, 0xFFD2AF, 0xFFD1AD, 0xFFEFE3, 0x962D00},
    GaugeColorStyle{0xF2F1F0, 0x5C534C, 0x5C534C, 0x5C534C, 0xF2F1F0, 0xF2F1F0, 0xF2F1F0, 0xF2F1F0, 0xF2F1F0,
                    0xF2F1F0, 0xF2F1F0, 0xFFD1AD, 0xF2F1F0, 0xF2F1F0},
    GaugeColorStyle{0x5C534C, clBtnFace, clBtnFace, clBtnFace, 0x5C534C, 0x5C534C, 0x5C534C, 0x5C534C, 0x5C534C,
                    0x5C534C, 0x5C534C, 0xFFD1AD, 0x5C534C, 0x5C534C},
    GaugeColorStyle{0xF5F9FA, 0xEBEEEF, 0xEBEEEF, 0x5C534C, 0xF5F9FA, 0x5C534C, 0x5C534C, 0x5C534C, 0x5C534C,
                    0xF5F9FA, 0xF5F9FA, 0xFFD1AD, 0xF5F9FA, 0x5C534C},
    std::nullopt,
    GaugeColorStyle{0xCAC1BA, 0xCAC1BA, 0xCAC1BA, 0xF8F7F6, 0xCAC1BA, 0x5C534C, 0x5C534C, 0x5C534C, 0x5C534C,
                    0xF5F9FA, 0xF5F9FA, 0xFFD1AD, 0xF8F7F6, 0x5C534C},
    GaugeColorStyle{0xE0DAD1, 0xF3F1EA, 0xADA9A5, 0xD8CEC2, 0xFFFFFF, 0x000000, 0xB3ADA2, 0xD2D9DE, 0x989684,
                    0xFDF8F1, 0x000000, 0xFCEFD5, 0xD1D1D1, 0x000000},
    GaugeColorStyle{0xE0DAD1, 0xF3F1EA, 0xADA9A5, 0xD8CEC2, 0xFFFFFF, 0x000000, 0xB3ADA2, 0xD2D9DE, 0x989684,
                    0xFDF8F1, 0x000000, 0xFCEFD5, 0xD1D1D1, 0x000000},
    GaugeColorStyle{clBtnFace, clBtnFace, clBtnFace, 0x808080, clBtnFace, 0x000000, 0x808080, 0x808080, 0x808080,
                    0x808080, 0x808080, clHighlight, clNone, 0x000000},
    GaugeColorStyle{0xDEC1A9, 0xEAD3BF, 0xC7B29F, 0xFDF5ED, 0x795C44, 0x795C44, 0x5B391E, 0x5B391E, 0x962D00,
                    0xFDF5ED, kKeep, 0xDEC1A9, 0xEAD3BF, 0x962D00},
    GaugeColorStyle{0x7C6D66, 0xD4CFCB, 0xD2CDC8, 0xEDDBCD, 0xFDFCFB, 0x7C6D66, 0xD3CECA, 0xD3CECA, 0x7C6D66,
                    0xFDF5ED, kKeep, 0xDEC1A9, 0xFDFCFB, 0x7C6D66},
    GaugeColorStyle{0xD7D7D6, 0x656565, 0x6F6F6F, 0xF2F2F1, 0xCFCFCF, 0x2A2A2A, 0x828282, 0x828282, 0x656565,
                    0xF5F9FA, kKeep, 0x656565, 0xFFFFFF, 0xFFFFFF},
}};

template <typename Target, typename Setter>
void Apply(const Keep& colour, Target& target, Setter setter)
{
    if (colour)
        (target.*setter)(*colour);
}

} // namespace

void TAdvSmoothGauge::ApplyColorStyle(int style)
{
    if (style >= 0 && style < int(kStyles.size()) && kStyles[std::size_t(style)]) {
        const GaugeColorStyle& s = *kStyles[std::size_t(style)];
        Apply(s.Arc, arc_, &TAdvSmoothGaugeArc::SetColor);
        Apply(s.InnerCircle, innerCircle_, &TAdvSmoothGaugeInnerCircle::SetColor);
        Apply(s.OuterCircle, outerCircle_, &TAdvSmoothGaugeOuterCircle::SetColor);
        Apply(s.Threshold, arc_.Threshold(), &TAdvSmoothGaugeThreshold::SetColor);
        Apply(s.DigitBackGround, digit_, &TAdvSmoothGaugeDigit::SetBackGroundColor);
        Apply(s.Digit, digit_, &TAdvSmoothGaugeDigit::SetColor);
        Apply(s.Division, *this, &TAdvSmoothGauge::SetDivisionColor);
        Apply(s.SubDivision, *this, &TAdvSmoothGauge::SetSubDivisionColor);
        Apply(s.Needle, needle_, &TAdvSmoothGaugeNeedle::SetColor);
        Apply(s.InnerHub, needle_, &TAdvSmoothGaugeNeedle::SetInnerCenterColor);
        Apply(s.InnerHubTo, needle_, &TAdvSmoothGaugeNeedle::SetInnerCenterColorTo);
        Apply(s.OuterHub, needle_, &TAdvSmoothGaugeNeedle::SetOuterCenterColor);
        Apply(s.Shine, needle_, &TAdvSmoothGaugeNeedle::SetShineColor);
        Apply(s.ValueFont, valueFont_, &TFont::SetColor);
    }
    font_.SetColor(valueFont_.Color());
}

} // namespace lumora
