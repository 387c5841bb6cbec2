#include "core/MainWindowLook.h"

#include "controls/chart/SPBEPC.h"
#include "controls/fill/GDIPFill.h"
#include "controls/gauge/AdvSmoothGauge.h"
#include "controls/trackbar/AdvSmoothTrackBar.h"
#include "core/DesignPalette.h"

namespace lumora {

// 0 ... 100 in steps of 10, snapping within 10; blue groove, light blue
// progress, white thumb fading to transparent.
void ApplyMainWindowTrackBarLook(TAdvSmoothTrackBar& bar, int screenPixelsPerInch)
{
    bar.SetMaximum(100.0);
    bar.SetStep(10.0);
    bar.SetSnapMargin(10.0);
    bar.SetPositionToolTipFormat("%.2f");
    bar.SetValueFormat("%g %%");
    Paint(bar.Fill(), {kBlue, kBlue, clNone, clNone, clSilver});
    Paint(bar.ProgressFill(), {kLightBlue, 0xFFDDC4, kMidBlue, 0xFFDBC0, kMidBlue});
    bar.ProgressFill().SetGradientMirrorType(gtVertical);
    Paint(bar.ThumbFill(), {clWhite, clWhite, clNone, clNone, clGray, 10});
    bar.ThumbFill().SetGradientType(gtForwardDiagonal);
    bar.ThumbFill().SetOpacityTo(0);
    bar.SetFont(DesignFont(screenPixelsPerInch, -13));
    bar.SetProgressFont(DesignFont(screenPixelsPerInch, -13));
}

// Blue rings, light blue arc with its threshold from 25, dark blue scale and
// text.
void ApplyMainWindowGaugeLook(TAdvSmoothGauge& gauge, int screenPixelsPerInch)
{
    gauge.Digit().SetColor(kDarkText);
    gauge.Digit().SetBackGroundColor(kLightBlue);
    gauge.OuterCircle().SetColor(kBlue);
    gauge.OuterCircle().SetWidth(0.03);
    gauge.InnerCircle().SetColor(kBlue);
    gauge.OuterRim().SetWidth(2);
    gauge.Needle().SetColor(kBlue);
    gauge.Needle().SetShineColor(kLightBlue);
    gauge.Needle().SetOuterCenterColor(kMidBlue);
    gauge.Needle().SetInnerCenterColor(kBlue);
    gauge.Needle().SetInnerCenterColorTo(kBlue);
    gauge.Arc().SetColor(kLightBlue);
    gauge.Arc().SetWidth(0.03);
    gauge.Arc().Threshold().SetColor(kBlue);
    gauge.Arc().Threshold().SetCenter(25.0);
    gauge.Arc().Threshold().SetEndValue(100.0);
    gauge.SetDivisionColor(kDarkText);
    gauge.SetSubDivisionColor(kDarkText);
    gauge.SetFont(DesignFont(screenPixelsPerInch, -23, kDarkText));
    gauge.SetValueFont(DesignFont(screenPixelsPerInch, -18, kDarkText));
    gauge.SetValueFormat("000.00");
}

// Read-only, the Current column only, titled and captioned in Tahoma.
void ApplyMainWindowChartLook(TSPBEPC& chart, int screenPixelsPerInch)
{
    chart.SetTitle("Energy Efficiency Rating");
    chart.SetTitleColor(0xBC7400);
    chart.SetTitleFont(DesignFont(screenPixelsPerInch, -13, clWhite));
    chart.SetCurrentTitle("Current");
    chart.SetPotentialTitle("Potential");
    chart.SetPotentialVisible(false);
    chart.SetReadOnly(true);
    chart.SetTopCaption("Very energy efficient - lower running costs");
    chart.SetBottomCaption("Not energy efficient - higher running costs");
    chart.SetTopCaptionFont(DesignFont(screenPixelsPerInch, -13, clBlack, fsItalic));
    chart.SetBottomCaptionFont(DesignFont(screenPixelsPerInch, -13, clBlack, fsItalic));
}

} // namespace lumora
