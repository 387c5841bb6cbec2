#include "platform/framework/Colors.h"

#include <array>

namespace lumora {

namespace {

// The classic desktop scheme: the colours the controls were designed against,
// fixed so that drawing does not change with the desktop theme.
constexpr std::array<TColor, 25> kSystemColors = {
    RGB(0xC8, 0xC8, 0xC8), // scroll bar
    RGB(0x00, 0x00, 0x00), // desktop background
    RGB(0x99, 0xB4, 0xD1), // active caption
    RGB(0xBF, 0xCD, 0xDB), // inactive caption
    RGB(0xF0, 0xF0, 0xF0), // menu
    RGB(0xFF, 0xFF, 0xFF), // window
    RGB(0x64, 0x64, 0x64), // window frame
    RGB(0x00, 0x00, 0x00), // menu text
    RGB(0x00, 0x00, 0x00), // window text
    RGB(0x00, 0x00, 0x00), // caption text
    RGB(0xB4, 0xB4, 0xB4), // active border
    RGB(0xF4, 0xF7, 0xFC), // inactive border
    RGB(0xAB, 0xAB, 0xAB), // application work space
    RGB(0x33, 0x99, 0xFF), // highlight
    RGB(0xFF, 0xFF, 0xFF), // highlight text
    RGB(0xF0, 0xF0, 0xF0), // button face
    RGB(0xA0, 0xA0, 0xA0), // button shadow
    RGB(0x6D, 0x6D, 0x6D), // grey text
    RGB(0x00, 0x00, 0x00), // button text
    RGB(0x43, 0x4E, 0x54), // inactive caption text
    RGB(0xFF, 0xFF, 0xFF), // button highlight
    RGB(0x69, 0x69, 0x69), // 3D dark shadow
    RGB(0xE3, 0xE3, 0xE3), // 3D light
    RGB(0x00, 0x00, 0x00), // info text
    RGB(0xFF, 0xFF, 0xE1), // info background
};

} // namespace

TColor ColorToRGB(TColor color)
{
    if (color >= 0)
        return color;
    const std::uint32_t index = std::uint32_t(color) & 0xFF;
    return index < kSystemColors.size() ? kSystemColors[index] : clBlack;
}

} // namespace lumora
