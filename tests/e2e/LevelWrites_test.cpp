// What the screen goes through when the level changes: the stand-in
// brightness file is watched through inotify while the program is driven from
// the command line, the track bar, the tray and idle dimming, and every move
// must stay between its two ends, never turn back, and end on its target.

#include "Session.h"
#include "SessionBus.h"

#include <QFile>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <sys/inotify.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

using namespace e2e;

namespace {

// Every value the file holds after each write to it, in order. The program
// writes a step every 16 ms at most, so each write is seen.
class WriteRecorder {
public:
    explicit WriteRecorder(QString path) : path_(std::move(path))
    {
        fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        inotify_add_watch(fd_, QFile::encodeName(path_).constData(), IN_CLOSE_WRITE | IN_MODIFY);
        thread_ = std::thread([this] { Run(); });
    }
    ~WriteRecorder()
    {
        stop_ = true;
        thread_.join();
        ::close(fd_);
    }
    std::vector<int> Values()
    {
        std::lock_guard lock(mutex_);
        return values_;
    }
    void Clear()
    {
        std::lock_guard lock(mutex_);
        values_.clear();
    }

private:
    void Run()
    {
        char buffer[4096];
        while (!stop_) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0)
                continue;
            while (::read(fd_, buffer, sizeof buffer) > 0) {
            }
            QFile f(path_);
            if (!f.open(QIODevice::ReadOnly))
                continue;
            bool ok = false;
            const int value = f.readAll().trimmed().toInt(&ok);
            std::lock_guard lock(mutex_);
            if (ok && (values_.empty() || values_.back() != value))
                values_.push_back(value);
        }
    }

    QString path_;
    int fd_ = -1;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<int> values_;
    std::thread thread_;
};

std::string Listed(const std::vector<int>& values)
{
    std::string text;
    for (int v : values)
        text += " " + std::to_string(v);
    return text;
}

// Whether `written` goes from `from` to `to` one way: within the two, never
// turning back, ending on `to`.
::testing::AssertionResult OneWay(const std::vector<int>& written, int from, int to)
{
    const auto fail = [&](const char* what) {
        return ::testing::AssertionFailure() << what << ": " << from << " -> " << to << " wrote" << Listed(written);
    };
    if (written.empty() || written.back() != to)
        return fail("does not end on the target");
    const int low = std::min(from, to), high = std::max(from, to);
    int last = from;
    for (int v : written) {
        if (v < low || v > high)
            return fail("leaves the range");
        if ((to > from && v < last) || (to < from && v > last))
            return fail("turns back");
        last = v;
    }
    return ::testing::AssertionSuccess();
}

void StoreSettings(const Sandbox& sandbox, const QByteArray& values)
{
    WriteFile(sandbox.ConfigHome() + "/Kestrelo/LumoraBrightness.conf",
              "[Software\\Kestrelo\\LumoraBrightness]\n" + values);
}

class LevelWritesTest : public SharedDesktopTest {
protected:
    static void SetUpTestSuite() { StartDesktop(true); }

    void SetUp() override { sandbox_.UseSessionBus(bus_.Address()); }

    // Starts the program on the saved level and waits until it rests there.
    std::unique_ptr<Program> StartAt(int level, const QStringList& extra = {})
    {
        StoreSettings(sandbox_, "Level=" + QByteArray::number(level) + "\n");
        auto program = desktop_->Launch(sandbox_, extra);
        window_ = desktop_->WaitForMainWindow(program->Process().processId());
        EXPECT_FALSE(window_.isEmpty()) << program->Output().toStdString();
        EXPECT_TRUE(RestsAt(level == 0 ? 1 : level * 10)) << program->Output().toStdString();
        return program;
    }
    // The file holds `raw` and stays there.
    bool RestsAt(int raw)
    {
        if (!Eventually([&] { return sandbox_.Brightness() == raw; }, 10000))
            return false;
        QThread::msleep(700);
        return sandbox_.Brightness() == raw;
    }
    int SetLevel(int level)
    {
        QProcess p;
        p.setProcessEnvironment(sandbox_.Environment(desktop_->Display().Name()));
        p.start(LUMORA_PROGRAM, {"--set-level", QString::number(level)});
        if (!p.waitForFinished(10000))
            return -1;
        return p.exitCode();
    }

    SessionBus bus_;
    Sandbox sandbox_{100, 50};
    QString window_;
};

} // namespace

TEST_F(LevelWritesTest, SetLevelFromTheCommandLineMovesTheScreenOneWay)
{
    auto program = StartAt(0);
    WriteRecorder recorder(sandbox_.BrightnessFile());
    const struct {
        int from, to;
    } moves[] = {{0, 10}, {10, 0}, {0, 3}, {3, 7}};
    for (const auto& move : moves) {
        recorder.Clear();
        ASSERT_EQ(SetLevel(move.to), 0) << program->Output().toStdString();
        ASSERT_TRUE(RestsAt(move.to == 0 ? 1 : move.to * 10)) << Listed(recorder.Values());
        const auto raw = [](int level) { return level == 0 ? 1 : level * 10; };
        EXPECT_TRUE(OneWay(recorder.Values(), raw(move.from), raw(move.to)));
        EXPECT_GT(recorder.Values().size(), 1u) << "a walk in step with the needle, not a jump";
    }
}

TEST_F(LevelWritesTest, TrackBarClicksAndDragsMoveTheScreenOneWay)
{
    auto program = StartAt(10);
    WriteRecorder recorder(sandbox_.BrightnessFile());
    Driver& driver = desktop_->Drive();

    driver.Click(window_, TrackBarAt(90));
    ASSERT_TRUE(RestsAt(90)) << Listed(recorder.Values());
    EXPECT_TRUE(OneWay(recorder.Values(), 100, 90));

    recorder.Clear();
    driver.Click(window_, TrackBarAt(100));
    ASSERT_TRUE(RestsAt(100)) << Listed(recorder.Values());
    EXPECT_TRUE(OneWay(recorder.Values(), 90, 100));

    recorder.Clear();
    driver.Drag(window_, TrackBarAt(100), TrackBarAt(20));
    ASSERT_TRUE(RestsAt(20)) << Listed(recorder.Values());
    EXPECT_TRUE(OneWay(recorder.Values(), 100, 20)) << "nothing is written while the thumb moves";
}

TEST_F(LevelWritesTest, MaxBrightnessDuringAFadeTurnsOnceFromWhereTheScreenIs)
{
    // 101 levels: the walk down from 100 takes a few hundred milliseconds.
    StoreSettings(sandbox_, "Level=100\n");
    auto program = desktop_->Launch(sandbox_, {"--levels", "101"});
    const qint64 pid = program->Process().processId();
    const QString window = desktop_->WaitForMainWindow(pid);
    ASSERT_FALSE(window.isEmpty()) << program->Output().toStdString();
    ASSERT_TRUE(RestsAt(100)) << program->Output().toStdString();
    desktop_->Drive().Close(window);
    ASSERT_TRUE(desktop_->WaitForNoMainWindow(pid));
    ASSERT_FALSE(desktop_->WaitForTrayIcon(pid).isEmpty());

    // The menu is open on "Max Brightness" before the walk down starts, so
    // that it is chosen while the walk is on its way.
    ASSERT_FALSE(desktop_->OpenTrayMenu(pid).isEmpty());
    QThread::msleep(250); // the menu takes the keyboard a moment after it is mapped
    desktop_->Drive().Run({"key", "--delay", "60", "Down", "Down", "Down", "Down"});
    WriteRecorder recorder(sandbox_.BrightnessFile());
    ASSERT_EQ(SetLevel(0), 0);
    desktop_->Drive().Run({"key", "Return"});
    ASSERT_TRUE(RestsAt(100)) << Listed(recorder.Values());

    const std::vector<int> written = recorder.Values();
    const auto turn = std::min_element(written.begin(), written.end());
    ASSERT_NE(turn, written.end());
    const std::vector<int> down(written.begin(), turn + 1), up(turn + 1, written.end());
    EXPECT_TRUE(OneWay(down, 100, *turn)) << "down first";
    EXPECT_TRUE(OneWay(up, *turn, 100)) << "then up from where the screen was";
    if (*turn == 1)
        std::printf("note: the menu came after the walk down had ended\n");
}

TEST_F(LevelWritesTest, IdleDimmingAndItsRestoreMoveTheScreenOneWay)
{
    StoreSettings(sandbox_, "Level=8\nDimInterval=1\n");
    sandbox_.SetIdleSeconds(0);
    auto program = desktop_->Launch(sandbox_, {"--idle-seconds-file", sandbox_.IdleFile(), "--idle-check-interval", "200"});
    const qint64 pid = program->Process().processId();
    const QString window = desktop_->WaitForMainWindow(pid);
    ASSERT_FALSE(window.isEmpty()) << program->Output().toStdString();
    ASSERT_TRUE(RestsAt(80)) << program->Output().toStdString();
    desktop_->Drive().Close(window);
    ASSERT_TRUE(desktop_->WaitForNoMainWindow(pid));
    WriteRecorder recorder(sandbox_.BrightnessFile());

    sandbox_.SetIdleSeconds(61);
    ASSERT_TRUE(RestsAt(1)) << Listed(recorder.Values());
    EXPECT_TRUE(OneWay(recorder.Values(), 80, 1));

    sandbox_.SetIdleSeconds(0);
    recorder.Clear();
    ASSERT_TRUE(desktop_->ChooseFromTrayMenu(pid, TrayItem::RestoreBrightness));
    ASSERT_TRUE(RestsAt(80)) << Listed(recorder.Values());
    EXPECT_TRUE(OneWay(recorder.Values(), 1, 80));
}
