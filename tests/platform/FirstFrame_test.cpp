#include "platform/framework/FirstFrame.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace lumora;

namespace {

// Notes each frame it paints in the shared log.
class LoggingWindow : public QWidget {
public:
    explicit LoggingWindow(std::vector<std::string>& log) : log_(log) { resize(60, 40); }

protected:
    void paintEvent(QPaintEvent*) override { log_.push_back("frame"); }

private:
    std::vector<std::string>& log_;
};

void SpinUntil(const std::function<bool()>& done, int ms = 3000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

} // namespace

TEST(FirstFrame, TheWorkWaitsForTheFirstFrameOfAShownWindow)
{
    std::vector<std::string> log;
    LoggingWindow window(log);
    AfterFirstFrame(&window, [&] { log.push_back("work"); });
    window.show();
    EXPECT_TRUE(log.empty()) << "nothing may run before the event loop";
    SpinUntil([&] { return std::find(log.begin(), log.end(), "work") != log.end(); });
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[0], "frame");
    EXPECT_EQ(std::count(log.begin(), log.end(), "work"), 1);

    window.update();
    SpinUntil([&] { return std::count(log.begin(), log.end(), "frame") >= 2; }, 500);
    EXPECT_EQ(std::count(log.begin(), log.end(), "work"), 1) << "once only";
}

TEST(FirstFrame, AWindowLeftHiddenDoesNotHoldTheWorkBack)
{
    std::vector<std::string> log;
    LoggingWindow window(log);
    AfterFirstFrame(&window, [&] { log.push_back("work"); }, 60000);
    SpinUntil([&] { return !log.empty(); }, 1000);
    EXPECT_EQ(log, std::vector<std::string>{"work"});
}

TEST(FirstFrame, NothingRunsForAWindowDestroyedFirst)
{
    int runs = 0;
    {
        std::vector<std::string> log;
        LoggingWindow window(log);
        AfterFirstFrame(&window, [&] { ++runs; });
        window.show();
    }
    SpinUntil([] { return false; }, 200);
    EXPECT_EQ(runs, 0);
}
