#pragma once

#include "platform/framework/Colors.h"

#include <optional>

namespace lumora {

// The colours of one preset of the track bar's colour styles: its
// background and its progress bar. The slider builds its own presets from
// the same colours so that the two controls match in every style.
struct TAdvSmoothStyleColors {
    TColor Color, ColorTo, BorderColor;
    TColor Progress, ProgressTo, ProgressMirror, ProgressMirrorTo, ProgressBorder;
};

// The preset colours of a style number, or nothing for styles without a
// colour set (8, 12 and numbers outside 0 ... 15).
std::optional<TAdvSmoothStyleColors> SmoothStyleColors(int style);

} // namespace lumora
