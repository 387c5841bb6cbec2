// The whole program's own modes and its life beside other copies and other
// users: the command-line modes that must answer without a monitor or beside
// a running copy, ending on the signals a session ends with, and a shared
// temporary folder that another user got to first.

#include "Desktop.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using namespace e2e;

namespace {

const QString kTitle = "Lumora Brightness Control";

QString SettingsText(const Sandbox& sandbox) { return ReadText(sandbox.ConfigHome() + "/Kestrelo/LumoraBrightness.conf"); }

// Root settings with the given level of 11 and idle dimming off.
void WriteSettings(const Sandbox& sandbox, int level)
{
    WriteFile(sandbox.ConfigHome() + "/Kestrelo/LumoraBrightness.conf",
              "[Software\\Kestrelo\\LumoraBrightness]\nLevel=" + QByteArray::number(level) +
                  "\nDimInterval=0\nRunOnStartup=0\n");
}

void WritePicture(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage picture(4, 4, QImage::Format_ARGB32);
    picture.fill(Qt::darkCyan);
    ASSERT_TRUE(picture.save(path, "PNG"));
}

// The program with no display at all, as over ssh.
QProcessEnvironment Headless(const Sandbox& sandbox)
{
    QProcessEnvironment env = sandbox.Environment(QString());
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    return env;
}

// A run of the program with its own environment; killed at the end.
class ProgramRun {
public:
    ProgramRun(const QProcessEnvironment& env, const QStringList& args)
    {
        process_.setProcessEnvironment(env);
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.start(LUMORA_PROGRAM, args);
        process_.waitForStarted(5000);
    }
    ~ProgramRun()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(3000);
        }
    }
    bool Ended(int ms) { return process_.waitForFinished(ms); }
    int ExitCode() const { return process_.exitCode(); }
    QString Output()
    {
        output_ += process_.readAll();
        return QString::fromUtf8(output_);
    }
    QProcess& Process() { return process_; }

private:
    QProcess process_;
    QByteArray output_;
};

// The file names the program gives its instance record and raise socket.
QString InstanceFileBase()
{
    QString name = QFileInfo(LUMORA_PROGRAM).canonicalFilePath();
    name.remove(u'\\');
    name.remove(u' ');
    return "lumora-" +
           QString::fromLatin1(QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha256).toHex().left(32));
}

QString UserName()
{
    const passwd* pw = ::getpwuid(::geteuid());
    return pw != nullptr ? QString::fromLocal8Bit(pw->pw_name) : QString::number(::geteuid());
}

class InstanceProgramTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { display_ = new VirtualDisplay; }
    static void TearDownTestSuite()
    {
        delete display_;
        display_ = nullptr;
    }

    static QStringList Options(const Sandbox& sandbox)
    {
        return {"--backlight-root", sandbox.BacklightRoot(), "--levels", "11"};
    }
    // A sandbox whose backlight folder holds no device and which has no
    // DDC/CI monitors either.
    static QStringList NoMonitorOptions(const Sandbox& sandbox)
    {
        QDir(sandbox.BacklightRoot() + "/acpi_video0").removeRecursively();
        QDir().mkpath(sandbox.Home() + "/no-monitors");
        return {"--backlight-root", sandbox.BacklightRoot(), "--ddc-standin", sandbox.Home() + "/no-monitors"};
    }
    // A copy running on the display, its window up.
    std::unique_ptr<ProgramRun> RunningCopy(const Sandbox& sandbox)
    {
        auto copy = std::make_unique<ProgramRun>(sandbox.Environment(display_->Name()), Options(sandbox));
        EXPECT_FALSE(driver_.WaitForWindow(kTitle).isEmpty()) << copy->Output().toStdString();
        return copy;
    }

    static VirtualDisplay* display_;
    Driver driver_{*display_};
};

VirtualDisplay* InstanceProgramTest::display_ = nullptr;

} // namespace

// ------------------------------------------------------ command-line modes

TEST_F(InstanceProgramTest, ListPicturesNeedsNoMonitorAndAnswersBesideARunningCopy)
{
    Sandbox bare;
    WritePicture(bare.UserPictures() + "/Evening.png");
    {
        ProgramRun list(Headless(bare), NoMonitorOptions(bare) << "--list-pictures");
        ASSERT_TRUE(list.Ended(15000)) << "hangs: " << list.Output().toStdString();
        EXPECT_EQ(list.ExitCode(), 0) << list.Output().toStdString();
        EXPECT_TRUE(list.Output().contains(bare.UserPictures() + "/Evening.png")) << list.Output().toStdString();
    }

    Sandbox sandbox;
    WritePicture(sandbox.UserPictures() + "/Morning.png");
    auto copy = RunningCopy(sandbox);
    ProgramRun list(sandbox.Environment(display_->Name()), Options(sandbox) << "--list-pictures");
    ASSERT_TRUE(list.Ended(15000)) << list.Output().toStdString();
    EXPECT_EQ(list.ExitCode(), 0);
    EXPECT_TRUE(list.Output().contains(sandbox.UserPictures() + "/Morning.png")) << list.Output().toStdString();
    EXPECT_EQ(copy->Process().state(), QProcess::Running);
}

TEST_F(InstanceProgramTest, ScreenshotWithoutAMonitorSaysSoAndFails)
{
    Sandbox sandbox;
    const QString shot = sandbox.Home() + "/shot.png";
    ProgramRun run(Headless(sandbox), NoMonitorOptions(sandbox) << "--screenshot" << shot);
    ASSERT_TRUE(run.Ended(20000)) << "hangs on a box nobody sees: " << run.Output().toStdString();
    EXPECT_NE(run.ExitCode(), 0);
    EXPECT_TRUE(run.Output().contains("no monitor")) << run.Output().toStdString();
    EXPECT_FALSE(QFile::exists(shot));
}

TEST_F(InstanceProgramTest, ScreenshotBesideARunningCopySaysWhyAndFails)
{
    Sandbox sandbox;
    auto copy = RunningCopy(sandbox);
    const QString shot = sandbox.Home() + "/shot.png";
    ProgramRun run(sandbox.Environment(display_->Name()), Options(sandbox) << "--screenshot" << shot);
    ASSERT_TRUE(run.Ended(15000)) << run.Output().toStdString();
    EXPECT_NE(run.ExitCode(), 0) << "never a silent success";
    EXPECT_TRUE(run.Output().contains("another copy is running")) << run.Output().toStdString();
    EXPECT_FALSE(QFile::exists(shot));
    EXPECT_EQ(copy->Process().state(), QProcess::Running);
}

// ---------------------------------------------------------------- signals

TEST_F(InstanceProgramTest, TermAndHupSaveTheLevelAndEndInOrder)
{
    for (const int signal : {SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal == SIGTERM ? "SIGTERM" : "SIGHUP");
        // The saved level differs from the device's: its write marks the end of the start-up.
        Sandbox sandbox(100, 50);
        WriteSettings(sandbox, 2);
        ProgramRun run(sandbox.Environment(display_->Name()), Options(sandbox));
        const QString window = driver_.WaitForWindow(kTitle);
        ASSERT_FALSE(window.isEmpty()) << run.Output().toStdString();
        ASSERT_TRUE(Eventually([&] { return sandbox.Brightness() == 20; })) << sandbox.Brightness();
        // The top of the dial is the middle of the scale: level 5.
        driver_.Click(window, Design(141 + 100, 8 + 30));
        ASSERT_TRUE(Eventually([&] { return sandbox.Brightness() == 50; })) << sandbox.Brightness();

        ::kill(pid_t(run.Process().processId()), signal);
        ASSERT_TRUE(run.Ended(5000)) << run.Output().toStdString();
        EXPECT_EQ(run.Process().exitStatus(), QProcess::NormalExit) << "killed by the signal";
        EXPECT_EQ(run.ExitCode(), 0);
        EXPECT_TRUE(SettingsText(sandbox).contains("Level=5")) << SettingsText(sandbox).toStdString();
        EXPECT_TRUE(QDir(sandbox.Home() + "/runtime").entryList({"*.socket"}, QDir::System).isEmpty())
            << "the raise socket is taken away on the way out";
    }
}

// ------------------------------------------- another user in the shared folder

TEST_F(InstanceProgramTest, WithoutARuntimeFolderWhatAnotherUserPlantedInTheSharedFolderIsIgnored)
{
    Sandbox sandbox;
    QTemporaryDir shared;
    ::chmod(QFile::encodeName(shared.path()).constData(), 01777);

    // Another user took the name of our private folder ...
    const QByteArray privateName = QFile::encodeName(shared.path() + "/runtime-" + UserName());
    ASSERT_EQ(::mkdir(privateName.constData(), 0777), 0);
    ::chmod(privateName.constData(), 0777);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(privateName.constData(), 65534, 65534), 0);
    }
    // ... and planted a record that counts a copy, and a socket that answers
    // every request to come forward with "ok".
    const QString base = shared.path() + "/" + InstanceFileBase();
    WriteFile(base + ".record", QByteArray(8, '\0'));
    const int record = ::open(QFile::encodeName(base + ".record").constData(), O_RDWR | O_CLOEXEC);
    struct flock slot{};
    slot.l_type = F_WRLCK;
    slot.l_whence = SEEK_SET;
    slot.l_start = 4096;
    slot.l_len = 1;
    ASSERT_EQ(::fcntl(record, F_OFD_SETLK, &slot), 0);
    const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray socketName = QFile::encodeName(base + ".socket");
    std::memcpy(address.sun_path, socketName.constData(), std::size_t(socketName.size()));
    ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    std::atomic<int> asked{0};
    std::thread answering([&] {
        for (;;) {
            const int client = ::accept(listener, nullptr, nullptr);
            if (client < 0)
                return;
            ++asked;
            char line[300];
            (void)!::read(client, line, sizeof line);
            (void)!::write(client, "ok\n", 3);
            ::close(client);
        }
    });

    QProcessEnvironment env = sandbox.Environment(display_->Name());
    env.remove("XDG_RUNTIME_DIR");
    env.insert("TMPDIR", shared.path());
    ProgramRun run(env, Options(sandbox));
    EXPECT_FALSE(driver_.WaitForWindow(kTitle).isEmpty()) << "ended at another user's word: " << run.Output().toStdString();
    EXPECT_EQ(run.Process().state(), QProcess::Running);
    EXPECT_EQ(asked.load(), 0);
    EXPECT_TRUE(Eventually([&] {
        run.Process().waitForReadyRead(100);
        return run.Output().contains("running without the single-instance check");
    })) << run.Output().toStdString();

    ::shutdown(listener, SHUT_RDWR);
    ::close(listener);
    answering.join();
    ::close(record);
}
