#pragma once

// The colours, fills and fonts the main window's design is drawn with, shared
// by the window's layout and the looks of its controls.

#include "platform/framework/Colors.h"
#include "platform/framework/Font.h"

namespace lumora {

class TGDIPFill;

// The blues of the design.
inline constexpr TColor kLightBlue = 0xFFEFE3;
inline constexpr TColor kBlue = 0xFFD2AF;
inline constexpr TColor kMidBlue = 0xFFD1AD;
inline constexpr TColor kDarkText = 0x962D00;

// The values every fill of the design states.
struct FillColors {
    TColor Color;
    TColor ColorTo;
    TColor ColorMirror = clNone;
    TColor ColorMirrorTo = clNone;
    TColor BorderColor = clNone;
    int Rounding = 0;
};

// Gives the fill these values, no shadow, with one change notice.
void Paint(TGDIPFill& fill, const FillColors& c);

// Tahoma at a design height in pixels, scaled to the screen as the form
// scales its own fonts.
TFont DesignFont(int screenPixelsPerInch, int height, TColor color = clBlack, TFontStyles style = 0);

} // namespace lumora
