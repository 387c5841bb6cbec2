// The level model from tables: what the device is given for each kind of
// change, interruptions, changes made elsewhere and failing writes.

#include "core/LevelModel.h"

#include "controls/gauge/AdvSmoothGaugeGeometry.h"
#include "platform/framework/Dialogs.h"
#include "platform/framework/Exception.h"
#include "support/EventLoop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace lumora;
using lumora::testing::PumpUntil;

namespace {

// Whether `written`, the levels a device was given for a move from `from` to
// `to`, stays within the two, never turns back and ends on `to`.
::testing::AssertionResult OneWayMove(const std::vector<int>& written, int from, int to)
{
    auto result = [&](const char* what) {
        std::string text = std::string(what) + ": " + std::to_string(from) + " -> " + std::to_string(to) + " wrote";
        for (int level : written)
            text += " " + std::to_string(level);
        return ::testing::AssertionFailure() << text;
    };
    if (written.empty())
        return from == to ? ::testing::AssertionSuccess() : result("nothing written");
    if (written.back() != to)
        return result("does not end on the target");
    const int low = std::min(from, to), high = std::max(from, to);
    int last = from;
    for (int level : written) {
        if (level < low || level > high)
            return result("leaves the range");
        if ((to > from && level < last) || (to < from && level > last))
            return result("turns back");
        last = level;
    }
    return ::testing::AssertionSuccess();
}

struct Announcement {
    int Level;
    LevelSource Source;
    friend bool operator==(const Announcement&, const Announcement&) = default;
};

// Error boxes, recorded.
struct RecordedErrors : TMessageBoxes {
    void ShowMessage(QWidget*, const QString&, const QString&) override {}
    bool AskYesNo(QWidget*, const QString&, const QString&) override { return false; }
    void ShowError(QWidget*, const QString&, const QString& text) override { errors << text; }
    QStringList errors;
};

struct LevelModelTest : ::testing::Test {
    RecordedErrors boxes;
    TMessageBoxesScope boxScope{boxes};
    std::vector<int> written;
    std::vector<Announcement> announced;
    bool failing = false;
    TLevelModel model{[this](int level) {
                          if (failing)
                              throw EOSError("Cannot write brightness: Input/output error");
                          written.push_back(level);
                      },
                      FadePace{1, 5}};

    void SetUp() override
    {
        model.OnChanged = [this](int level, LevelSource source) { announced.push_back({level, source}); };
    }
    void Settle() { ASSERT_TRUE(PumpUntil([&] { return !model.Fading(); })); }
};

} // namespace

TEST(FadeLevels, EveryMoveIsOneWayAndEndsOnTheTarget)
{
    const struct {
        const char* name;
        int from, to;
    } rows[] = {
        {"up the whole range", 0, 10},  {"down the whole range", 10, 0}, {"a few up", 3, 7},
        {"one up", 5, 6},               {"one down", 6, 5},              {"to itself", 4, 4},
        {"across 101 levels", 0, 100},  {"down 101 levels", 100, 1},
    };
    for (const auto& row : rows) {
        for (int factor : {0, 1, 5, 20})
            EXPECT_TRUE(OneWayMove(FadeLevels(row.from, row.to, factor), row.from, row.to)) << row.name << ", factor " << factor;
    }
    EXPECT_LT(FadeLevels(0, 100, 5).size(), 30u) << "a walk, not every level";
    EXPECT_EQ(FadeLevels(0, 10, 1), std::vector<int>{10}) << "a factor of 1 goes there at once";
}

TEST(NextNeedleValue, MovesAFactorOfTheWayAndLandsWithoutOvershoot)
{
    EXPECT_DOUBLE_EQ(NextNeedleValue(0, 10, 5), 2);
    EXPECT_DOUBLE_EQ(NextNeedleValue(10, 0, 5), 8);
    EXPECT_DOUBLE_EQ(NextNeedleValue(9.9995, 10, 5), 10) << "within the arrival distance it lands";
    EXPECT_NEAR(NextNeedleValue(9.998, 10, 5), 9.999, 1e-12) << "the last stretch moves at least 0.001";
    EXPECT_DOUBLE_EQ(NextNeedleValue(3, 7, 0), 7) << "a factor below 1 steps as 1";
}

TEST_F(LevelModelTest, AFadeWritesAOneWayWalkAndAnnouncesOnce)
{
    model.Reset(11, 0, LevelSource::Start);
    announced.clear();
    model.Request(10, LevelSource::Controls);
    ASSERT_FALSE(written.empty()) << "the first step is written at once";
    EXPECT_EQ(model.Level(), 10);
    Settle();
    EXPECT_TRUE(OneWayMove(written, 0, 10));
    EXPECT_EQ(model.DeviceLevel(), 10);
    EXPECT_EQ(announced, (std::vector<Announcement>{{10, LevelSource::Controls}}));
}

TEST_F(LevelModelTest, TheTargetAloneWhenNotFading)
{
    model.Reset(11, 0);
    model.Request(10, LevelSource::Start, false);
    EXPECT_EQ(written, std::vector<int>{10});
    EXPECT_FALSE(model.Fading());
}

TEST_F(LevelModelTest, ARequestDuringAFadeContinuesFromTheDevice)
{
    const struct {
        const char* name;
        int first, second;
    } rows[] = {{"turned back", 10, 2}, {"pushed further", 5, 10}, {"back to the start", 10, 0}};
    for (const auto& row : rows) {
        model.Reset(11, 0);
        written.clear();
        model.Request(row.first, LevelSource::Controls);
        const int reached = model.DeviceLevel();
        ASSERT_TRUE(model.Fading()) << row.name;
        const std::size_t before = written.size();
        model.Request(row.second, LevelSource::Tray);
        Settle();
        const std::vector<int> after(written.begin() + std::ptrdiff_t(before), written.end());
        EXPECT_TRUE(OneWayMove(after, reached, row.second)) << row.name;
        EXPECT_EQ(model.DeviceLevel(), row.second) << row.name;
    }
}

TEST_F(LevelModelTest, TheLevelInForceAskedAgainIsWrittenOnceAndNotAnnounced)
{
    model.Reset(11, 6);
    announced.clear();
    model.Request(6, LevelSource::Tray);
    EXPECT_EQ(written, std::vector<int>{6});
    EXPECT_TRUE(announced.empty());
}

TEST_F(LevelModelTest, AChangeMadeElsewhereMovesTheViewsAndWritesNothing)
{
    model.Reset(11, 2);
    model.Request(9, LevelSource::Controls);
    ASSERT_TRUE(model.Fading());
    written.clear();
    announced.clear();
    model.ChangedElsewhere(4);
    EXPECT_FALSE(model.Fading()) << "the fade gives way";
    EXPECT_TRUE(written.empty());
    EXPECT_EQ(model.Level(), 4);
    EXPECT_EQ(model.DeviceLevel(), 4);
    EXPECT_EQ(announced, (std::vector<Announcement>{{4, LevelSource::Elsewhere}}));
    model.ChangedElsewhere(4);
    EXPECT_EQ(announced.size(), 1u) << "the same level again is no news";
    model.ChangedElsewhere(99);
    EXPECT_EQ(model.Level(), 10) << "clamped to the levels";
}

TEST_F(LevelModelTest, AFirstWriteThatFailsChangesNothing)
{
    model.Reset(11, 3);
    announced.clear();
    failing = true;
    EXPECT_THROW(model.Request(8, LevelSource::Controls), EOSError);
    EXPECT_THROW(model.Request(8, LevelSource::Controls, false), EOSError);
    EXPECT_EQ(model.Level(), 3);
    EXPECT_EQ(model.DeviceLevel(), 3);
    EXPECT_FALSE(model.Fading());
    EXPECT_TRUE(announced.empty());
}

TEST_F(LevelModelTest, AWriteThatFailsHalfWayEndsTheFadeWhereTheDeviceIs)
{
    model.Reset(11, 0);
    model.Request(10, LevelSource::Controls);
    const int reached = model.DeviceLevel();
    failing = true; // the next step fails, under the timer's error guard
    Settle();
    EXPECT_EQ(model.DeviceLevel(), reached);
    EXPECT_EQ(boxes.errors, QStringList{"Cannot write brightness: Input/output error"}) << "one box, not one a step";
    failing = false;
    written.clear();
    model.Request(0, LevelSource::Tray);
    Settle();
    EXPECT_TRUE(OneWayMove(written, reached, 0)) << "the next move starts where the device stayed";
}

TEST_F(LevelModelTest, LevelsOutsideTheTableAreRefusedWithTheirReason)
{
    try {
        model.Request(0, LevelSource::Bus);
        ADD_FAILURE() << "taken without levels";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "The brightness levels are not known yet.");
    }
    model.Reset(11, 0);
    for (int bad : {-1, 11}) {
        try {
            model.Request(bad, LevelSource::Bus);
            ADD_FAILURE() << bad << " was taken";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), QString("Level %1 is out of range: the levels are 0 to 10.").arg(bad));
        }
    }
    EXPECT_TRUE(written.empty());
}

TEST_F(LevelModelTest, WriteAgainGivesTheLevelInForceAloneAndResetWritesNothing)
{
    model.Reset(11, 7, LevelSource::Monitor);
    EXPECT_TRUE(written.empty());
    EXPECT_EQ(announced, (std::vector<Announcement>{{7, LevelSource::Monitor}}));
    model.WriteAgain();
    EXPECT_EQ(written, std::vector<int>{7});
    model.Reset(5, 9);
    EXPECT_EQ(model.Level(), 4) << "clamped to the new table";

    // Levels known, the device's not yet: the first request is news and goes
    // to the device alone.
    announced.clear();
    written.clear();
    model.Reset(11, -1);
    EXPECT_TRUE(announced.empty());
    EXPECT_EQ(model.Level(), -1);
    model.Request(6, LevelSource::Start);
    EXPECT_EQ(written, std::vector<int>{6});
    EXPECT_EQ(announced, (std::vector<Announcement>{{6, LevelSource::Start}}));
}

TEST_F(LevelModelTest, NothingRunsAtRest)
{
    model.Reset(11, 0);
    model.Request(10, LevelSource::Controls);
    Settle();
    EXPECT_FALSE(model.Fading()) << "the fade's timer stops when the device is there";
}

TEST(LevelModelHeading, EachWriteSaysWhereItsMoveEndsAndWhetherItIsALaterStepOfAFade)
{
    struct Write {
        int Level, Heading;
        bool FadeStep;
        bool operator==(const Write&) const = default;
    };
    std::vector<Write> writes;
    TLevelModel* self = nullptr;
    TLevelModel model([&](int level) { writes.push_back({level, self->Heading(), self->WritingFadeStep()}); },
                      FadePace{1, 5});
    self = &model;

    model.Reset(11, 0);
    model.Request(10, LevelSource::Controls);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0], (Write{2, 10, false})) << "the move's first write";
    ASSERT_TRUE(PumpUntil([&] { return !model.Fading(); }));
    ASSERT_GT(writes.size(), 2u);
    for (std::size_t i = 1; i < writes.size(); ++i)
        EXPECT_EQ(writes[i], (Write{writes[i].Level, 10, true})) << "step " << i;

    // Back to a level the fade has just passed, before its next step: the
    // device holds it already, and the new move is written once all the same
    // (a monitor that takes only where moves end would stay on the old end).
    writes.clear();
    model.Reset(11, 0);
    model.Request(10, LevelSource::Controls);
    model.Request(2, LevelSource::Controls);
    EXPECT_EQ(writes.back(), (Write{2, 2, false}));
    EXPECT_EQ(model.Level(), 2);
    EXPECT_FALSE(model.Fading());

    writes.clear();
    model.WriteAgain();
    EXPECT_EQ(writes, (std::vector<Write>{{2, 2, false}}));
}
