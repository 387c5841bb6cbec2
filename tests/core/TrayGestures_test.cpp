// What the tray host's activation and the wheel over the tray icon do to the
// window and the level.

#include "core/LevelModel.h"
#include "core/TrayGestures.h"
#include "support/EventLoop.h"
#include "tray/CoolTrayIcon.h"

#include <QWidget>

#include <gtest/gtest.h>

using namespace lumora;
using lumora::testing::PumpUntil;

namespace {

class SilentArea : public NotifyIconHost {
public:
    bool Notify(NotifyIconCommand, const NotifyIconData&) override { return true; }
};

} // namespace

TEST(WheelLevel, StepsFromTheLevelInForceWithinTheTable)
{
    const struct {
        const char* name;
        int level, count, steps;
        std::optional<int> wanted;
    } rows[] = {
        {"one-up", 5, 11, 1, 6},
        {"one-down", 5, 11, -1, 4},
        {"several", 5, 11, 3, 8},
        {"clamped-at-the-top", 9, 11, 4, 10},
        {"clamped-at-the-bottom", 1, 11, -4, 0},
        {"at-the-top-already", 10, 11, 1, std::nullopt},
        {"at-the-bottom-already", 0, 11, -1, std::nullopt},
        {"levels-unknown", -1, 11, 1, std::nullopt},
        {"no-levels", 0, 0, 1, std::nullopt},
        {"no-step", 5, 11, 0, std::nullopt},
        {"overflow", 5, 11, 2147483647, 10},
    };
    for (const auto& row : rows)
        EXPECT_EQ(WheelLevel(row.level, row.count, row.steps), row.wanted) << row.name;
}

TEST(StepLevelFromTray, AsksTheLevelModelAsTheTraysCommandsDo)
{
    std::vector<int> written;
    TLevelModel model([&](int level) { written.push_back(level); }, FadePace{1, 1});
    LevelSource source = LevelSource::Start;
    model.OnChanged = [&](int, LevelSource s) { source = s; };

    StepLevelFromTray(model, 1);
    EXPECT_TRUE(written.empty()) << "nothing while the levels are unknown";

    model.Reset(11, 5, LevelSource::Start);
    StepLevelFromTray(model, 1);
    ASSERT_TRUE(PumpUntil([&] { return !model.Fading(); }));
    EXPECT_EQ(model.Level(), 6);
    EXPECT_EQ(written.back(), 6);
    EXPECT_EQ(source, LevelSource::Tray);

    StepLevelFromTray(model, 10);
    ASSERT_TRUE(PumpUntil([&] { return !model.Fading(); }));
    EXPECT_EQ(model.Level(), 10);
    const std::size_t writes = written.size();
    StepLevelFromTray(model, 1);
    EXPECT_EQ(written.size(), writes) << "at the top the wheel writes nothing";
}

TEST(ToggleWindowFromTray, ShowsAHiddenOrMinimisedWindowAndClosesAShownOne)
{
    SilentArea area;
    QWidget window;
    TCoolTrayIcon icon(&window, &area);

    ToggleWindowFromTray(icon, window);
    EXPECT_TRUE(window.isVisible());

    int closes = 0;
    struct CloseCounter : QObject {
        int* count;
        explicit CloseCounter(int* c) : count(c) {}
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Close)
                ++*count;
            return false;
        }
    } counter(&closes);
    window.installEventFilter(&counter);
    ToggleWindowFromTray(icon, window);
    EXPECT_EQ(closes, 1) << "closing, so the window's own close handling (saving, hiding to the tray) runs";
    EXPECT_FALSE(window.isVisible());

    window.showMinimized();
    ToggleWindowFromTray(icon, window);
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.isMinimized());
    window.removeEventFilter(&counter);
}
