#include "core/MainWindowLook.h"

#include "controls/chart/SPBEPC.h"
#include "controls/gauge/AdvSmoothGauge.h"
#include "controls/trackbar/AdvSmoothTrackBar.h"

#include <gtest/gtest.h>

using namespace lumora;

// The design's fonts are pixel heights at 120 pixels per inch. Scaled to any
// screen they keep their height in points, which is what the controls draw
// with: a font given in screen pixels without scaling would draw larger.
TEST(MainWindowLook, FontsKeepTheirPointSizesOnEveryScreen)
{
    for (int ppi : {96, 120, 144, 192}) {
        SCOPED_TRACE(ppi);
        TAdvSmoothTrackBar bar;
        ApplyMainWindowTrackBarLook(bar, ppi);
        EXPECT_EQ(bar.Font().Size(), 8);
        EXPECT_EQ(bar.ProgressFont().Size(), 8);

        TAdvSmoothGauge gauge;
        ApplyMainWindowGaugeLook(gauge, ppi);
        EXPECT_EQ(gauge.Font().Size(), 14);
        EXPECT_EQ(gauge.ValueFont().Size(), 11);

        TSPBEPC chart;
        ApplyMainWindowChartLook(chart, ppi);
        EXPECT_EQ(chart.TitleFont().Size(), 8);
        EXPECT_EQ(chart.TopCaptionFont().Size(), 8);
        EXPECT_EQ(chart.BottomCaptionFont().Size(), 8);
    }
}
