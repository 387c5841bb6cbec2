#include "controls/fill/ColorMath.h"

#include "platform/framework/Exception.h"

#include <gtest/gtest.h>

using namespace lumora;

TEST(ButtonColor, MainWindowFacePressedIsEightyPercent)
{
    const TColor pressed = PressedColor(0x00E3B28D);
    EXPECT_EQ(GetRValue(pressed), 113);
    EXPECT_EQ(GetGValue(pressed), 142);
    EXPECT_EQ(GetBValue(pressed), 182);
}

TEST(ButtonColor, PressedMatchesChannelScalingAcrossHues)
{
    // One colour per hue sector, greys, black and a system colour: the HSV
    // round trip must equal plain channel scaling everywhere.
    const TColor colours[] = {0x0000FF, 0x00FF00, 0xFF0000, 0x10E0F0, 0xF0E010, 0xE010F0,
                              0x808080, 0x000000, 0xFFFFFF, 0x505050, clBtnFace};
    for (TColor c : colours) {
        const TColor rgb = ColorToRGB(c);
        const TColor p = PressedColor(c);
        EXPECT_NEAR(GetRValue(p), GetRValue(rgb) * 0.8, 0.5) << std::hex << c;
        EXPECT_NEAR(GetGValue(p), GetGValue(rgb) * 0.8, 0.5) << std::hex << c;
        EXPECT_NEAR(GetBValue(p), GetBValue(rgb) * 0.8, 0.5) << std::hex << c;
    }
}

TEST(ButtonColor, LightenClampsEveryChannel)
{
    EXPECT_EQ(Lighten(clWhite, 220), clWhite);
    EXPECT_EQ(Lighten(clBlack, -40), clBlack);
    EXPECT_EQ(Lighten(RGB(10, 200, 250), 20), RGB(30, 220, 255));
    EXPECT_EQ(Lighten(RGB(10, 200, 250), -20), RGB(0, 180, 230));
    EXPECT_EQ(Lighten(clBtnFace, -40), RGB(0xC8, 0xC8, 0xC8)); // system colour mapped first
}

TEST(ButtonColor, GreyHasNoHueAndRoundTrips)
{
    const THSV grey = RGBtoHSV({128, 128, 128});
    EXPECT_FALSE(grey.Hue.has_value());
    EXPECT_DOUBLE_EQ(grey.Saturation, 0.0);
    const TRGBValue back = HSVtoRGB(grey);
    EXPECT_DOUBLE_EQ(back.R, 128);
    EXPECT_DOUBLE_EQ(back.B, 128);

    const THSV orange = RGBtoHSV({255, 128, 0});
    ASSERT_TRUE(orange.Hue.has_value());
    EXPECT_NEAR(*orange.Hue, 30.1, 0.1);
}

TEST(ButtonColor, ZeroSaturationWithHueIsAnError)
{
    THSV bad;
    bad.Hue = 120.0;
    bad.Saturation = 0.0;
    bad.Value = 100.0;
    try {
        HSVtoRGB(bad);
        FAIL() << "no error raised";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "HSVtoRGB: S = 0 and H has a value");
    }
}
