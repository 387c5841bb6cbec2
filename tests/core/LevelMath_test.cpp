#include "core/LevelMath.h"

#include <gtest/gtest.h>

using namespace lumora;

TEST(LevelMath, TrackBarPositionToIndexIsTheInverseOfIndexToPosition)
{
    EXPECT_EQ(PositionToIndex(50, 11), 5);
    EXPECT_EQ(PositionToIndex(80, 11), 8) << "a drop at 80 writes 80, not 90";
    EXPECT_EQ(PositionToIndex(90, 11), 9) << "a click from 100 down to 90 writes 90";
    EXPECT_EQ(PositionToIndex(100, 11), 10);
    EXPECT_EQ(PositionToIndex(0, 11), 0);
    EXPECT_EQ(PositionToIndex(55, 11), 6);   // 5.5 -> 6, half to even
    EXPECT_EQ(PositionToIndex(45, 11), 4);   // 4.5 -> 4, half to even
    EXPECT_EQ(PositionToIndex(50, 101), 50);
    EXPECT_EQ(PositionToIndex(50, 2), 0);    // 0.5 -> 0
    EXPECT_EQ(PositionToIndex(-5, 11), 0);
    EXPECT_EQ(PositionToIndex(120, 11), 10);
    // Every level's own position leads back to it.
    for (int levels : {2, 3, 7, 8, 11, 33, 101})
        for (int index = 0; index < levels; ++index)
            EXPECT_EQ(PositionToIndex(IndexToPosition(index, levels), levels), index) << index << " of " << levels;
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
