#include "core/LevelMath.h"

#include <gtest/gtest.h>

using namespace lumora;

TEST(LevelMath, TrackBarPositionToIndexRoundsHalfToEvenAndClamps)
{
    EXPECT_EQ(PositionToIndex(50, 11), 6);   // 5.5 -> 6
    EXPECT_EQ(PositionToIndex(100, 11), 10); // 11 clamped to the top index
    EXPECT_EQ(PositionToIndex(0, 11), 0);
    EXPECT_EQ(PositionToIndex(50, 101), 50); // 50.5 -> 50
    EXPECT_EQ(PositionToIndex(-5, 11), 0);
}

TEST(LevelMath, IndexAndGaugeValueToPosition)
{
    EXPECT_EQ(IndexToPosition(6, 11), 60);
    EXPECT_EQ(IndexToPosition(1, 8), 14); // 14.28 -> 14
    EXPECT_EQ(IndexToPosition(3, 1), 0);  // one level: no range to spread
    EXPECT_DOUBLE_EQ(GaugeValueToPosition(5.5, 11), 55.0);
    EXPECT_DOUBLE_EQ(GaugeValueToPosition(2, 1), 0.0);
}

TEST(LevelMath, GaugeValueToIndexClamps)
{
    EXPECT_EQ(GaugeValueToIndex(4.5, 11), 4);
    EXPECT_EQ(GaugeValueToIndex(5.5, 11), 6);
    EXPECT_EQ(GaugeValueToIndex(12, 11), 10);
}

TEST(LevelMath, RatingFallsAsPositionRises)
{
    EXPECT_EQ(RatingValue(0), 100);
    EXPECT_EQ(RatingValue(100), 0);
    EXPECT_EQ(RatingValue(37.5), 62); // 62.5 -> 62
    EXPECT_EQ(RatingValue(120), 0);
}

TEST(LevelMath, GaugeFormatByLevelCount)
{
    EXPECT_EQ(GaugeValueFormat(10), "0.00");
    EXPECT_EQ(GaugeValueFormat(11), "00.00");
    EXPECT_EQ(GaugeValueFormat(101), "000.00"); // never a literal leading 1
}
