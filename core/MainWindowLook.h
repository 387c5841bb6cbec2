#pragma once

// The looks the main window gives its track bar, gauge and rating chart:
// sizes, fills, colours, fonts, formats and fixed texts, stated once. The
// window's design applies them, and so do the gallery, the tests and the
// benchmarks that show, check or time "the main window's" controls.
//
// Sizes are design units (pixels at TForm::DesignPixelsPerInch). Font heights
// are design pixels too, scaled to screenPixelsPerInch as the form scales its
// own fonts; at the design's resolution, the default, the sizes and fonts fit
// each other without scaling.
// The gauge's range, and the value format that fits it, follow the number of
// levels: the window sets them again once it knows the levels.

#include "platform/framework/Form.h"

#include <QSize>

namespace lumora {

class TAdvSmoothGauge;
class TAdvSmoothTrackBar;
class TSPBEPC;

inline constexpr QSize kMainWindowTrackBarSize{90, 403};
inline constexpr QSize kMainWindowGaugeSize{200, 200};
inline constexpr QSize kMainWindowChartSize{320, 250};

void ApplyMainWindowTrackBarLook(TAdvSmoothTrackBar& bar, int screenPixelsPerInch = TForm::DesignPixelsPerInch);
void ApplyMainWindowGaugeLook(TAdvSmoothGauge& gauge, int screenPixelsPerInch = TForm::DesignPixelsPerInch);
void ApplyMainWindowChartLook(TSPBEPC& chart, int screenPixelsPerInch = TForm::DesignPixelsPerInch);

} // namespace lumora
