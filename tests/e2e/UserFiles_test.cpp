// The whole program on a desktop against what users leave in its files: a
// hand-edited or broken settings file, a login entry written by a program
// started with options, a panel with a large raw range, and odd files among
// the profile pictures.

#include "Session.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

using namespace e2e;

namespace {

const QByteArray kRootKey = "[Software\\Kestrelo\\LumoraBrightness]\n";

// Whether the window says it is a dialog. A box shown while the main window
// is not yet mapped has no window it is transient for.
bool IsDialog(const QString& display, const QString& windowId)
{
    Display* dpy = XOpenDisplay(display.toLatin1().constData());
    if (!dpy)
        return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    bool dialog = false;
    if (XGetWindowProperty(dpy, Window(windowId.toULong()), XInternAtom(dpy, "_NET_WM_WINDOW_TYPE", False), 0, 16, False,
                           XA_ATOM, &type, &format, &count, &after, &data) == Success &&
        data) {
        const Atom wanted = XInternAtom(dpy, "_NET_WM_WINDOW_TYPE_DIALOG", False);
        for (unsigned long i = 0; i < count; ++i)
            dialog = dialog || reinterpret_cast<Atom*>(data)[i] == wanted;
        XFree(data);
    }
    XCloseDisplay(dpy);
    return dialog;
}

class UserFilesTest : public SharedDesktopTest {
protected:
    static void SetUpTestSuite() { StartDesktop(true); }

    // A box of the process, before or after its main window shows.
    static QString WaitForBox(qint64 pid, int ms)
    {
        QString box;
        Eventually([&] {
            for (const QString& w : desktop_->ShownWindows(pid))
                if (IsDialog(desktop_->Display().Name(), w))
                    box = w;
            return !box.isEmpty();
        }, ms);
        return box;
    }

    // Drags the track bar until the device shows `expected` (a drag right
    // after a box closes may be taken as the window's activation).
    // Drags the track bar's thumb from where it rests (`from`) to `percent`.
    bool DragTo(const QString& window, const Sandbox& sandbox, double percent, int expected, double from = 0)
    {
        for (int attempt = 0; attempt < 3 && sandbox.Brightness() != expected; ++attempt) {
            desktop_->Drive().Drag(window, TrackBarAt(from), TrackBarAt(percent));
            Eventually([&] { return sandbox.Brightness() == expected; }, 2000);
        }
        return sandbox.Brightness() == expected;
    }
};

} // namespace

TEST_F(UserFilesTest, ATextWhereTheLevelBelongsIsReportedOnceAndTheControlsStillReachTheDevice)
{
    Sandbox sandbox(100, 50);
    WriteFile(SettingsPath(sandbox), kRootKey + "Level=\"5\"\nRunOnStartup=0\n");
    auto program = desktop_->Launch(sandbox);
    const qint64 pid = program->Process().processId();
    const QString box = WaitForBox(pid, 10000);
    ASSERT_FALSE(box.isEmpty()) << "the problem is reported";
    ASSERT_TRUE(desktop_->AnswerMessageBox(box));
    const QString window = desktop_->WaitForMainWindow(pid);
    ASSERT_FALSE(window.isEmpty()) << program->Output().toStdString();
    EXPECT_TRUE(WaitForBox(pid, 1500).isEmpty()) << "reported once";
    EXPECT_TRUE(Eventually([&] { return sandbox.Brightness() == 1; })) << "the preset level 0 is applied";

    EXPECT_TRUE(DragTo(window, sandbox, 70, 70)) << "the track bar reaches the panel: " << sandbox.Brightness();
}

TEST_F(UserFilesTest, AnUnparsableSettingsFileIsReportedKeptByteForByteAndTheControlsStayLive)
{
    Sandbox sandbox(100, 50);
    const QByteArray text = kRootKey + "Level=3\nnot a line of settings\n";
    WriteFile(SettingsPath(sandbox), text);
    auto program = desktop_->Launch(sandbox);
    const qint64 pid = program->Process().processId();
    const QString box = WaitForBox(pid, 10000);
    ASSERT_FALSE(box.isEmpty()) << "the problem is reported";
    ASSERT_TRUE(desktop_->AnswerMessageBox(box));
    const QString window = desktop_->WaitForMainWindow(pid);
    ASSERT_FALSE(window.isEmpty()) << program->Output().toStdString();
    EXPECT_EQ(sandbox.Brightness(), 50) << "a file that cannot be read changes nothing on the screen";
    EXPECT_TRUE(DragTo(window, sandbox, 40, 40, 50)) << sandbox.Brightness();

    // Closing saves, which must refuse: the file stays as it was. (That the
    // refusal is said is checked against the window itself, in test_core.)
    EXPECT_TRUE(WaitForBox(pid, 1500).isEmpty()) << "reported once";
    desktop_->Drive().Close(window);
    ASSERT_TRUE(desktop_->WaitForNoMainWindow(pid));
    QThread::msleep(500);
    EXPECT_EQ(ReadBytes(SettingsPath(sandbox)), text);
}

// A named pipe where the settings file belongs used to hold start-up for
// ever in open(): it is reported, left in place, and the window comes up.
TEST_F(UserFilesTest, ANamedPipeAtTheSettingsPathIsReportedAndStartUpGoesOn)
{
    Sandbox sandbox(100, 50);
    sandbox.ForgetSettings();
    const QString settings = SettingsPath(sandbox);
    QDir().mkpath(QFileInfo(settings).absolutePath());
    ASSERT_EQ(::mkfifo(QFile::encodeName(settings).constData(), 0600), 0);
    auto program = desktop_->Launch(sandbox);
    const qint64 pid = program->Process().processId();
    const QString box = WaitForBox(pid, 10000);
    ASSERT_FALSE(box.isEmpty()) << "the problem is reported: " << program->Output().toStdString();
    ASSERT_TRUE(desktop_->AnswerMessageBox(box));
    const QString window = desktop_->WaitForMainWindow(pid);
    ASSERT_FALSE(window.isEmpty()) << program->Output().toStdString();
    struct stat st {};
    ASSERT_EQ(::lstat(QFile::encodeName(settings).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "the pipe is left as it is";
}

TEST_F(UserFilesTest, TheLoginEntryStartsTheProgramWithItsLevelsAndDevice)
{
    Sandbox sandbox(100, 50);
    WriteFile(SettingsPath(sandbox), kRootKey + "Level=3\nRunOnStartup=0\n");
    {
        auto program = desktop_->Launch(sandbox); // 11 levels: level 3 is 30
        const qint64 pid = program->Process().processId();
        const QString window = desktop_->WaitForMainWindow(pid);
        ASSERT_FALSE(window.isEmpty()) << program->Output().toStdString();
        ASSERT_TRUE(Eventually([&] { return sandbox.Brightness() == 30; })) << sandbox.Brightness();

        const QString entry = sandbox.ConfigHome() + "/autostart/lumora-brightness-control.desktop";
        for (int attempt = 0; attempt < 3 && !QFile::exists(entry); ++attempt) {
            desktop_->Drive().Click(window, Design(558 + 80, 341 + 15)); // the switch on
            QThread::msleep(600);
            desktop_->Drive().Click(window, Design(558 + 60, 283 + 17)); // "Apply Settings"
            const QString box = desktop_->WaitForMessageBox(pid, 3000);
            if (!box.isEmpty())
                desktop_->AnswerMessageBox(box);
        }
        ASSERT_TRUE(QFile::exists(entry));
        program->Process().kill();
        program->WaitForExit(3000);
    }

    // Started as the session starts it: the Exec line, split as a desktop does.
    const QString entry = ReadText(sandbox.ConfigHome() + "/autostart/lumora-brightness-control.desktop");
    QString exec;
    for (const QString& line : entry.split('\n'))
        if (line.startsWith("Exec="))
            exec = line.mid(5);
    QStringList arguments = QProcess::splitCommand(exec);
    ASSERT_GE(arguments.size(), 2) << exec.toStdString();
    EXPECT_EQ(arguments.takeFirst(), QString(LUMORA_PROGRAM));
    EXPECT_EQ(arguments.value(0), "/LaunchOnStartup");
    EXPECT_TRUE(arguments.contains("--levels")) << exec.toStdString();
    EXPECT_TRUE(arguments.contains(sandbox.BacklightRoot())) << exec.toStdString();

    QFile::remove(sandbox.BrightnessFile());
    WriteFile(sandbox.BrightnessFile(), "50\n");
    auto login = desktop_->LaunchWith(sandbox, arguments);
    EXPECT_TRUE(Eventually([&] { return sandbox.Brightness() == 30; }, 8000))
        << "level 3 of 11 is 30, not raw 3: " << sandbox.Brightness() << " " << login->Output().toStdString();
}

TEST_F(UserFilesTest, TheLowestLevelStaysVisibleOnAPanelWithALargeRawRange)
{
    Sandbox sandbox(50000, 25000);
    auto program = desktop_->Launch(sandbox);
    const qint64 pid = program->Process().processId();
    ASSERT_FALSE(desktop_->WaitForMainWindow(pid).isEmpty()) << program->Output().toStdString();
    // A first start applies level 0: one percent of 50000, not raw 1.
    EXPECT_TRUE(Eventually([&] { return sandbox.Brightness() == 500; })) << sandbox.Brightness();
}

TEST_F(UserFilesTest, APipeAndALinkToADeviceAmongThePicturesAreSkippedAndNeverHangTheProgram)
{
    Sandbox sandbox(100, 50);
    const QString pictures = sandbox.UserPictures();
    ASSERT_TRUE(QDir().mkpath(pictures));
    ASSERT_TRUE(QFile::copy(QString(LUMORA_SOURCE_DIR) + "/assets/profiles/Day.png", pictures + "/Garden.png"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pictures + "/x.png").constData(), 0600), 0);
    ASSERT_TRUE(QFile::link("/dev/zero", pictures + "/zero.png"));

    auto program = desktop_->Launch(sandbox);
    const qint64 pid = program->Process().processId();
    const QString window = desktop_->WaitForMainWindow(pid);
    ASSERT_FALSE(window.isEmpty()) << program->Output().toStdString();
    ASSERT_TRUE(Eventually([&] { return sandbox.Brightness() == 1; }));

    // Open the picker: its thumbnails load.
    desktop_->Drive().Click(window, Design(141 + 200 - 8, 214 + 15));
    QThread::msleep(1500);
    EXPECT_TRUE(Eventually([&] {
        program->Process().waitForReadyRead(100); // the output is taken in only while waiting for it
        const QString said = program->Output();
        return said.contains("x.png") && said.contains("zero.png");
    })) << "each skipped file is named with the reason: " << program->Output().toStdString();
    const QString said = program->Output();
    EXPECT_EQ(said.count("x.png"), 1) << said.toStdString();
    EXPECT_TRUE(said.contains("named pipe")) << said.toStdString();
    desktop_->Drive().Key(window, "Escape");
    QThread::msleep(300);

    // Into the tray, then "Exit": the program ends, the loader with it.
    desktop_->Drive().Close(window);
    ASSERT_TRUE(desktop_->WaitForNoMainWindow(pid));
    ASSERT_FALSE(desktop_->WaitForTrayIcon(pid).isEmpty());
    ASSERT_TRUE(desktop_->ChooseFromTrayMenu(pid, TrayItem::Exit));
    EXPECT_TRUE(program->WaitForExit(5000)) << "ending the program waits on no file";
}
