// Each monitor's own range: where a level lands on it, back again, and how
// the range is kept across starts.

#include "core/MonitorRanges.h"
#include "platform/settings/SettingsStore.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lumora;

TEST(MonitorRanges, TheLevelMapsLinearlyOntoTheRangeAndItsEndsLandOnTheRangeEnds)
{
    struct Row {
        const char* name;
        MonitorRange range;
        int level;
        int expected;
    };
    const Row rows[] = {
        {"full range is the identity", {0, 100}, 37, 37},
        {"lowest level on the lowest percent", {20, 80}, 0, 20},
        {"highest level on the highest percent", {20, 80}, 100, 80},
        {"middle", {20, 80}, 50, 50},
        {"rounded half up", {0, 50}, 1, 1},
        {"narrow range rounds", {10, 20}, 44, 14},
        {"a step above the lowest never lands on black", {0, 10}, 1, 1},
        {"the lowest level on an empty floor stays at 0", {0, 10}, 0, 0},
        {"one point", {60, 60}, 30, 60},
        {"wrong way round is turned", {80, 20}, 100, 80},
        {"ends outside 0..100 are clamped", {-5, 140}, 100, 100},
        {"level above 100 is clamped", {0, 50}, 250, 50},
        {"level below 0 is clamped", {30, 50}, -4, 30},
    };
    for (const Row& row : rows)
        EXPECT_EQ(PercentInRange(row.level, row.range), row.expected) << row.name;
}

TEST(MonitorRanges, AMonitorsPercentReadsBackAsTheLevelThatPutItThere)
{
    for (const MonitorRange range : {MonitorRange{0, 100}, MonitorRange{20, 80}, MonitorRange{35, 60}}) {
        for (int level = 0; level <= 100; level += 10) {
            const int there = PercentInRange(level, range);
            // A narrow range holds fewer steps: the way back may be off by
            // what one monitor percent spans.
            const int tolerance = (100 + (range.Highest - range.Lowest) - 1) / (range.Highest - range.Lowest);
            EXPECT_NEAR(LevelPercentOf(there, range), level, tolerance)
                << range.Lowest << ".." << range.Highest << " at " << level;
        }
    }
    EXPECT_EQ(LevelPercentOf(5, {20, 80}), 0) << "below the range: the lowest level";
    EXPECT_EQ(LevelPercentOf(95, {20, 80}), 100) << "above the range: the highest level";
    EXPECT_EQ(LevelPercentOf(60, {60, 60}), 100);
    EXPECT_EQ(LevelPercentOf(59, {60, 60}), 0);
}

TEST(MonitorRanges, RangesAreKeptPerModelAndSerialAcrossStarts)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("settings.conf");
    {
        TSettingsStore store(file);
        EXPECT_EQ(LoadMonitorRange(store, "DELL U2720Q", "1"), std::nullopt);
        SaveMonitorRange(store, "DELL U2720Q", "1", {10, 70});
        SaveMonitorRange(store, "DELL U2720Q", "2", {30, 90});
        SaveMonitorRange(store, "Odd\\Model", "", {90, 40});
    }
    TSettingsStore store(file);
    EXPECT_EQ(LoadMonitorRange(store, "DELL U2720Q", "1"), (MonitorRange{10, 70}));
    EXPECT_EQ(LoadMonitorRange(store, "DELL U2720Q", "2"), (MonitorRange{30, 90})) << "same model, other serial";
    EXPECT_EQ(LoadMonitorRange(store, "Odd\\Model", ""), (MonitorRange{40, 90})) << "saved in order";
    EXPECT_EQ(LoadMonitorRange(store, "Odd", ""), std::nullopt) << "a backslash does not open a deeper key";
    EXPECT_EQ(LoadMonitorRange(store, "LG", "1"), std::nullopt);
}

TEST(MonitorRanges, MonitorKeysTellSerialsApartAndNeverEmpty)
{
    EXPECT_NE(MonitorRangeKey("DELL", "1"), MonitorRangeKey("DELL", "2"));
    EXPECT_EQ(MonitorRangeKey("DELL", ""), "DELL");
    EXPECT_FALSE(MonitorRangeKey("", "").isEmpty());
    EXPECT_FALSE(MonitorRangeKey("A\\B", "1").contains(u'\\'));
}
