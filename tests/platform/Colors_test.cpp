#include "platform/framework/Colors.h"

#include <gtest/gtest.h>

using namespace lumora;

TEST(Colors, SystemColoursMapToRealOnesAndOthersPass)
{
    EXPECT_EQ(ColorToRGB(clRed), clRed);
    EXPECT_EQ(ColorToRGB(clBtnFace), RGB(0xF0, 0xF0, 0xF0));
    EXPECT_EQ(ColorToRGB(clHighlight), RGB(0x33, 0x99, 0xFF));
    EXPECT_EQ(GetRValue(RGB(1, 2, 3)), 1);
    EXPECT_EQ(GetGValue(RGB(1, 2, 3)), 2);
    EXPECT_EQ(GetBValue(RGB(1, 2, 3)), 3);
}
