#pragma once

#include <cstdint>

namespace lumora {

// A colour as the program stores it: 0x00BBGGRR, red in the low byte.
// clNone switches an element off; negative values name system colours and are
// turned into real colours by ColorToRGB before drawing.
using TColor = std::int32_t;

inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;

// System colours: 0x80000000 + the system colour index.
inline constexpr TColor clScrollBar = TColor(0x80000000u + 0);
inline constexpr TColor clBackground = TColor(0x80000000u + 1);
inline constexpr TColor clActiveCaption = TColor(0x80000000u + 2);
inline constexpr TColor clInactiveCaption = TColor(0x80000000u + 3);
inline constexpr TColor clMenu = TColor(0x80000000u + 4);
inline constexpr TColor clWindow = TColor(0x80000000u + 5);
inline constexpr TColor clWindowFrame = TColor(0x80000000u + 6);
inline constexpr TColor clMenuText = TColor(0x80000000u + 7);
inline constexpr TColor clWindowText = TColor(0x80000000u + 8);
inline constexpr TColor clCaptionText = TColor(0x80000000u + 9);
inline constexpr TColor clActiveBorder = TColor(0x80000000u + 10);
inline constexpr TColor clInactiveBorder = TColor(0x80000000u + 11);
inline constexpr TColor clAppWorkSpace = TColor(0x80000000u + 12);
inline constexpr TColor clHighlight = TColor(0x80000000u + 13);
inline constexpr TColor clHighlightText = TColor(0x80000000u + 14);
inline constexpr TColor clBtnFace = TColor(0x80000000u + 15);
inline constexpr TColor clBtnShadow = TColor(0x80000000u + 16);
inline constexpr TColor clGrayText = TColor(0x80000000u + 17);
inline constexpr TColor clBtnText = TColor(0x80000000u + 18);
inline constexpr TColor clInactiveCaptionText = TColor(0x80000000u + 19);
inline constexpr TColor clBtnHighlight = TColor(0x80000000u + 20);
inline constexpr TColor cl3DDkShadow = TColor(0x80000000u + 21);
inline constexpr TColor cl3DLight = TColor(0x80000000u + 22);
inline constexpr TColor clInfoText = TColor(0x80000000u + 23);
inline constexpr TColor clInfoBk = TColor(0x80000000u + 24);

// Channel access on a 0x00BBGGRR colour.
constexpr int GetRValue(TColor c) { return int(std::uint32_t(c) & 0xFF); }
constexpr int GetGValue(TColor c) { return int((std::uint32_t(c) >> 8) & 0xFF); }
constexpr int GetBValue(TColor c) { return int((std::uint32_t(c) >> 16) & 0xFF); }
constexpr TColor RGB(int r, int g, int b) { return TColor((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16)); }

// Maps a system colour to its 0x00BBGGRR value; other colours pass unchanged.
TColor ColorToRGB(TColor color);

} // namespace lumora
