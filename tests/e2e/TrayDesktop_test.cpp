// The whole program on a desktop with a window manager and a notification
// area: the tray icon, its menu and its double click, driven like a user.

#include "Session.h"

#include <QFile>
#include <QThread>

#include <gtest/gtest.h>

using namespace e2e;

namespace {

class TrayDesktopTest : public SharedDesktopTest {
protected:
    static void SetUpTestSuite() { StartDesktop(true); }

    // Starts the program, waits for its window and its first write, and
    // closes the window into the tray.
    std::unique_ptr<Program> StartInTray(const Sandbox& sandbox, const QStringList& extra = {})
    {
        auto program = desktop_->Launch(sandbox, extra);
        const qint64 pid = program->Process().processId();
        const QString window = desktop_->WaitForMainWindow(pid);
        EXPECT_FALSE(window.isEmpty()) << program->Output().toStdString();
        EXPECT_TRUE(Eventually([&] { return sandbox.Brightness() != 50; })) << "the start-up write";
        desktop_->Drive().Close(window);
        EXPECT_TRUE(desktop_->WaitForNoMainWindow(pid));
        EXPECT_FALSE(desktop_->WaitForTrayIcon(pid).isEmpty()) << "closing the window shows the tray icon";
        return program;
    }
};

} // namespace

TEST_F(TrayDesktopTest, MenuItemsSetTheBrightnessAndShowTheWindow)
{
    Sandbox sandbox(100, 50);
    // 101 levels: the level found at start-up (raw 50) is a level to restore.
    auto program = StartInTray(sandbox, {"--levels", "101"});
    const qint64 pid = program->Process().processId();
    ASSERT_EQ(sandbox.Brightness(), 1);

    ASSERT_TRUE(desktop_->ChooseFromTrayMenu(pid, TrayItem::MaxBrightness));
    EXPECT_TRUE(Eventually([&] { return sandbox.Brightness() == 100; })) << sandbox.Brightness();
    ASSERT_TRUE(desktop_->ChooseFromTrayMenu(pid, TrayItem::MinBrightness));
    EXPECT_TRUE(Eventually([&] { return sandbox.Brightness() == 1; })) << sandbox.Brightness();
    ASSERT_TRUE(desktop_->ChooseFromTrayMenu(pid, TrayItem::RestoreBrightness));
    EXPECT_TRUE(Eventually([&] { return sandbox.Brightness() == 50; })) << sandbox.Brightness();

    ASSERT_TRUE(desktop_->ChooseFromTrayMenu(pid, TrayItem::ShowWindow));
    const QString window = desktop_->WaitForMainWindow(pid);
    ASSERT_FALSE(window.isEmpty());
    EXPECT_FALSE(desktop_->TrayIcon(pid).isEmpty()) << "the icon stays while the window is shown";

    desktop_->Drive().Close(window);
    ASSERT_TRUE(desktop_->WaitForNoMainWindow(pid));
    ASSERT_TRUE(desktop_->DoubleClickTrayIcon(pid));
    EXPECT_FALSE(desktop_->WaitForMainWindow(pid).isEmpty()) << "a double click shows the window";
    EXPECT_TRUE(desktop_->MessageBoxes(pid).isEmpty());

    // The virtual display has no power management: the program says so in
    // a box (on a display that has it, the screen goes dark) and goes on.
    ASSERT_TRUE(desktop_->ChooseFromTrayMenu(pid, TrayItem::TurnOffMonitor));
    const QString box = desktop_->WaitForMessageBox(pid, 1500);
    if (!box.isEmpty()) {
        EXPECT_TRUE(desktop_->AnswerMessageBox(box));
    }
    EXPECT_EQ(program->Process().state(), QProcess::Running);
    EXPECT_EQ(sandbox.Brightness(), 50) << "turning the monitor off leaves the brightness alone";
    EXPECT_TRUE(desktop_->ChooseFromTrayMenu(pid, TrayItem::MaxBrightness)) << "the menu still opens";
}
