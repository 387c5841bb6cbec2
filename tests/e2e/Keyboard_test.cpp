// The whole program worked with the keyboard alone, on a virtual display:
// each key against what it does to the brightness file, the login entry
// and the profiles.

#include "Desktop.h"

#include <QFile>
#include <QThread>

#include <gtest/gtest.h>

using namespace e2e;

namespace {

const QString kTitle = "Lumora Brightness Control";

QString AutostartEntry(const Sandbox& sandbox)
{
    return sandbox.ConfigHome() + "/autostart/lumora-brightness-control.desktop";
}

// Each test has a display of its own: what one test leaves behind in the X
// server (the input focus after a message box, the pointer) must not change
// where the next test's keys go.
class KeyboardTest : public ::testing::Test {
protected:

    // The program on the sandbox at its saved level 0 (1 %), its window found.
    void Start(const Sandbox& sandbox)
    {
        program_ = std::make_unique<Program>(sandbox, *display_,
                                             QStringList{"--backlight-root", sandbox.BacklightRoot(), "--levels", "11"});
        window_ = driver_.WaitForWindow(kTitle);
        ASSERT_FALSE(window_.isEmpty()) << program_->Output().toStdString();
        ASSERT_TRUE(Eventually([&] { return sandbox.Brightness() == 1; })) << sandbox.Brightness();
        Focus();
    }
    // The window takes the keyboard, as a window manager gives it on a click:
    // the window's shortcuts (Alt+letter, Shift+F10) work in the active window.
    void Focus()
    {
        driver_.Run({"windowfocus", "--sync", window_});
        QThread::msleep(200);
    }
    // A click as a user makes it. The pointer leaves first: moving it with
    // --sync to where it already is never returns.
    void Click(QPoint at)
    {
        driver_.Run({"mousemove", "0", "0"});
        driver_.Click(window_, at);
    }
    // Keys go to the window's focused control, or to its open pop-up.
    void Press(const QString& keys, int settleMs = 250)
    {
        driver_.Key(window_, keys);
        QThread::msleep(settleMs);
    }
    // The message box the window opened, answered with Return.
    bool AnswerBox()
    {
        QString box;
        const bool found = Eventually([&] {
            for (const QString& id : driver_.Run({"search", "--onlyvisible", "--name", "^" + kTitle + "$"}).split('\n'))
                if (!id.isEmpty() && id != window_)
                    box = id;
            return !box.isEmpty();
        });
        return found && driver_.DismissBox(box);
    }

    // A click on the switch's off side focuses it and leaves it off; the key
    // turns it on, and Alt+A ("Apply Settings") writes the login entry.
    void TurnTheSwitchOnWith(const char* key)
    {
        Sandbox sandbox(100, 50);
        Start(sandbox);
        Click(Design(558 + 8, 341 + 15));
        QThread::msleep(600);
        Press(key, 600);
        Press("alt+a");
        ASSERT_TRUE(AnswerBox()) << "Apply Settings confirms in a box";
        EXPECT_TRUE(Eventually([&] { return QFile::exists(AutostartEntry(sandbox)); })) << key;
    }

    std::unique_ptr<VirtualDisplay> ownDisplay_ = std::make_unique<VirtualDisplay>();
    VirtualDisplay* display_ = ownDisplay_.get();
    Driver driver_{*display_};
    std::unique_ptr<Program> program_;
    QString window_;
};

} // namespace

TEST_F(KeyboardTest, PageKeysStepTheTrackBar)
{
    Sandbox sandbox(100, 50);
    Start(sandbox);
    // A click on the thumb gives the track bar the focus and moves nothing.
    Click(TrackBarAt(0));
    QThread::msleep(300);
    ASSERT_EQ(sandbox.Brightness(), 1);
    Press("Prior");
    EXPECT_TRUE(Eventually([&] { return sandbox.Brightness() == 10; })) << sandbox.Brightness();
    Press("Prior");
    EXPECT_TRUE(Eventually([&] { return sandbox.Brightness() == 20; })) << sandbox.Brightness();
    Press("Next");
    EXPECT_TRUE(Eventually([&] { return sandbox.Brightness() == 10; })) << sandbox.Brightness();
}

TEST_F(KeyboardTest, SpaceTurnsTheSwitchOnAndAltAApplies) { TurnTheSwitchOnWith("space"); }

TEST_F(KeyboardTest, ReturnTurnsTheSwitchOnAndAltAApplies) { TurnTheSwitchOnWith("Return"); }

TEST_F(KeyboardTest, BrowsingThePicturesAppliesNothingUntilReturn)
{
    Sandbox sandbox(100, 50);
    // Every picture has a profile at the top level while the window is at
    // the middle one: a profile applied while browsing would move the
    // brightness.
    QByteArray settings = "[Software\\Kestrelo\\LumoraBrightness]\nProfileIcon=\"\"\nLevel=5\nRunOnStartup=0\n"
                          "DimInterval=0\nProfileDesc=\"\"\n";
    for (const char* name : {"Battery", "Day", "Movie", "Night", "Presentation", "Reading"})
        settings += QByteArray("[Software\\Kestrelo\\LumoraBrightness\\") + name + "]\nProfileIcon=\"" + name +
                    "\"\nLevel=10\nRunOnStartup=0\nDimInterval=0\nProfileDesc=\"\"\n";
    WriteFile(sandbox.SettingsFile(), settings);
    program_ = std::make_unique<Program>(sandbox, *display_,
                                         QStringList{"--backlight-root", sandbox.BacklightRoot(), "--levels", "11"});
    window_ = driver_.WaitForWindow(kTitle);
    ASSERT_FALSE(window_.isEmpty()) << program_->Output().toStdString();
    ASSERT_TRUE(Eventually([&] { return sandbox.Brightness() == 50; })) << sandbox.Brightness();
    Focus();

    // A click in the picker's text gives it the focus without opening it.
    Click(Design(141 + 40, 214 + 15));
    QThread::msleep(300);
    Press("alt+Down", 800);
    for (const char* key : {"Right", "Right", "Down", "Left", "End", "Home", "Right"})
        Press(key);
    QThread::msleep(500);
    EXPECT_EQ(sandbox.Brightness(), 50) << "moving through the pictures applies no profile";
    Press("Escape", 500);
    EXPECT_EQ(sandbox.Brightness(), 50) << "Escape closes without change";

    // F4 opens the list again; Return applies the profile of the picture
    // the selection is on.
    Press("F4", 800);
    Press("Right");
    Press("Left");
    EXPECT_EQ(sandbox.Brightness(), 50);
    Press("Return");
    EXPECT_TRUE(Eventually([&] { return sandbox.Brightness() == 100; })) << sandbox.Brightness();
}

TEST_F(KeyboardTest, ShiftF10AndTheMenuKeyOpenTheTrayCommandsInTheWindow)
{
    Sandbox sandbox(100, 50);
    Start(sandbox);
    Click(TrackBarAt(0)); // the focus in the window
    QThread::msleep(300);
    // Restore Brightness, Min Brightness, Max Brightness, Turn Off Monitor, Exit.
    Press("shift+F10", 600);
    Press("Down");
    Press("Down");
    Press("Down");
    Press("Return");
    EXPECT_TRUE(Eventually([&] { return sandbox.Brightness() == 100; })) << "Max Brightness: " << sandbox.Brightness();

    Press("Menu", 600);
    Press("Down");
    Press("Down");
    Press("Return");
    EXPECT_TRUE(Eventually([&] { return sandbox.Brightness() == 1; })) << "Min Brightness: " << sandbox.Brightness();

    Press("shift+F10", 600);
    Press("Up"); // Exit, the last item
    Press("Return");
    EXPECT_TRUE(program_->WaitForExit(5000)) << "Exit from the window's menu ends the program";
}
