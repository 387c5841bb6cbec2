// The wheel over a tray icon in whole steps: Qt's angle units on the X11
// tray, the host's delta on StatusNotifierItem hosts.

#include "platform/shell/TrayWheel.h"

#include <gtest/gtest.h>

#include <vector>

using namespace lumora;

TEST(TrayWheelSteps, NotchesPartsAndTurningBack)
{
    const struct {
        const char* name;
        std::vector<int> deltas;
        std::vector<int> steps;
    } rows[] = {
        {"one-notch", {120}, {1}},
        {"two-notches-at-once", {240}, {2}},
        {"down", {-120, -120}, {-1, -1}},
        {"smooth-parts-add-up", {40, 40, 40, 40}, {0, 0, 1, 0}},
        {"part-left-over", {180, 60}, {1, 1}},
        {"turning-back-drops-the-part", {100, -30, -100}, {0, 0, -1}},
        {"nothing", {0}, {0}},
    };
    for (const auto& row : rows) {
        TrayWheelSteps wheel;
        std::vector<int> got;
        for (int d : row.deltas)
            got.push_back(wheel.Add(d));
        EXPECT_EQ(got, row.steps) << row.name;
    }
}

TEST(StatusNotifierScrollSteps, NotchCountersAndAngleUnitsBothGiveOneStepPerNotch)
{
    const struct {
        int delta;
        int steps;
    } rows[] = {{1, 1}, {-1, -1}, {120, 1}, {-120, -1}, {360, 3}, {15, 1}, {-119, -1}, {0, 0}};
    for (const auto& row : rows)
        EXPECT_EQ(StatusNotifierScrollSteps(row.delta), row.steps) << row.delta;
}
