// The whole program on a real accessibility bus, read and worked as a screen
// reader does: the session's at-spi-bus-launcher starts the accessibility
// bus, the registry daemon joins it when first called, and a pyatspi client
// (atspi_probe.py) reads the program's tree, sets values, runs actions and
// listens for value changes.

#include "Desktop.h"
#include "SessionBus.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

using namespace e2e;

namespace {

const QString kTitle = "Lumora Brightness Control";
const QString kProbe = QStringLiteral(LUMORA_E2E_DIR) + "/atspi_probe.py";

// Sets an environment variable of this process for the scope's life; the
// program started meanwhile inherits it.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value) : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~ScopedEnv()
    {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

// The session's accessibility bus, as a desktop session starts it. It counts
// as started once it answers a client's greeting: on a loaded machine a bus
// that has handed out its address can still turn clients away, and then it
// is started once more.
class AccessibilityBus {
public:
    AccessibilityBus(const SessionBus& session, const QString& display)
    {
        for (int attempt = 0; attempt < 3 && !Answers(); ++attempt) {
            Stop();
            Launch(session, display);
        }
        if (!Answers())
            address_.clear();
    }
    ~AccessibilityBus() { Stop(); }
    QString Address() const { return address_; }

private:
    void Launch(const SessionBus& session, const QString& display)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DBUS_SESSION_BUS_ADDRESS", session.Address());
        env.insert("DISPLAY", display);
        env.insert("XDG_RUNTIME_DIR", runtime_.path());
        launcher_.setProcessEnvironment(env);
        launcher_.setStandardOutputFile(QProcess::nullDevice());
        launcher_.setStandardErrorFile(QProcess::nullDevice());
        launcher_.start("/usr/libexec/at-spi-bus-launcher", {"--launch-immediately"});
        launcher_.waitForStarted(5000);
        Eventually([&] {
            const QString reply = session.Send({"--dest=org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus.GetAddress"});
            const auto m = QRegularExpression("string \"([^\"]+)\"").match(reply);
            if (m.hasMatch())
                address_ = m.captured(1);
            return !address_.isEmpty();
        }, 10000);
        Eventually([&] { return Answers(); }, 10000);
    }
    // Whether the bus takes a client: dbus-send greets it before its call.
    bool Answers() const
    {
        if (address_.isEmpty())
            return false;
        QProcess p;
        p.start("dbus-send", {"--bus=" + address_, "--print-reply", "--dest=org.freedesktop.DBus", "/org/freedesktop/DBus",
                              "org.freedesktop.DBus.GetId"});
        return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }
    void Stop()
    {
        if (launcher_.state() == QProcess::NotRunning)
            return;
        launcher_.terminate();
        if (!launcher_.waitForFinished(3000))
            launcher_.kill();
        launcher_.waitForFinished(1000);
        address_.clear();
    }

    QTemporaryDir runtime_;
    QProcess launcher_;
    QString address_;
};

class AccessibilityTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { display_ = new VirtualDisplay; }
    static void TearDownTestSuite()
    {
        delete display_;
        display_ = nullptr;
    }

    void SetUp() override
    {
        if (!QFile::exists("/usr/libexec/at-spi-bus-launcher"))
            GTEST_SKIP() << "at-spi2-core is not installed (scripts/setup installs it)";
        bus_ = std::make_unique<AccessibilityBus>(session_, display_->Name());
        ASSERT_FALSE(bus_->Address().isEmpty()) << "the accessibility bus did not start";
        // The program finds the accessibility bus through the session bus
        // (org.a11y.Bus), as on a desktop; always on, it needs no screen
        // reader to be announced first. (Given AT_SPI_BUS_ADDRESS instead,
        // Qt 6.4's bridge joins the bus but never registers the program.)
        sandbox_.UseSessionBus(session_.Address());
        ScopedEnv noAddress("AT_SPI_BUS_ADDRESS", QByteArray());
        ScopedEnv on("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
        if (!settings_.isEmpty())
            WriteFile(sandbox_.SettingsFile(), settings_);
        program_ = std::make_unique<Program>(sandbox_, *display_,
                                             QStringList{"--backlight-root", sandbox_.BacklightRoot(), "--levels", "11"});
        window_ = driver_.WaitForWindow(kTitle);
        ASSERT_FALSE(window_.isEmpty()) << program_->Output().toStdString();
        ASSERT_TRUE(Eventually([&] { return sandbox_.Brightness() == 1; })) << sandbox_.Brightness();
    }

    QProcessEnvironment ProbeEnvironment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("AT_SPI_BUS_ADDRESS", bus_->Address());
        env.insert("DBUS_SESSION_BUS_ADDRESS", session_.Address());
        env.insert("DISPLAY", display_->Name());
        return env;
    }
    // Runs the probe to its end; its exit code, its output in `out`.
    int Probe(const QStringList& args, QString* out = nullptr)
    {
        QProcess p;
        p.setProcessEnvironment(ProbeEnvironment());
        p.start("/usr/bin/python3", QStringList{kProbe} << args);
        p.waitForFinished(30000);
        if (out)
            *out = QString::fromUtf8(p.readAllStandardOutput());
        const QString err = QString::fromUtf8(p.readAllStandardError());
        if (!err.isEmpty())
            ADD_FAILURE() << "probe " << args.join(' ').toStdString() << ": " << err.toStdString();
        return p.exitCode();
    }
    QString Pid() const { return QString::number(program_->Process().processId()); }
    // The tree once it holds the window's controls (the bridge registers
    // the program a moment after its window shows).
    QString Tree()
    {
        QString tree;
        Eventually([&] {
            Probe({"tree", Pid()}, &tree);
            return tree.contains("Apply Settings");
        }, 10000);
        return tree;
    }

    static VirtualDisplay* display_;
    Driver driver_{*display_};
    Sandbox sandbox_{100, 50};
    SessionBus session_;
    std::unique_ptr<AccessibilityBus> bus_;
    std::unique_ptr<Program> program_;
    QString window_;
    // The settings file the program starts with; none when empty.
    QByteArray settings_;
};

// The window at level 0 with a profile for "Battery" at the top level: a
// profile applied shows on the device at once.
class AccessiblePictureListTest : public AccessibilityTest {
protected:
    AccessiblePictureListTest()
    {
        settings_ = "[Software\\Kestrelo\\LumoraBrightness]\nProfileIcon=\"\"\nLevel=0\nRunOnStartup=0\n"
                    "DimInterval=0\nProfileDesc=\"\"\n"
                    "[Software\\Kestrelo\\LumoraBrightness\\Battery]\nProfileIcon=\"Battery\"\nLevel=10\n"
                    "RunOnStartup=0\nDimInterval=0\nProfileDesc=\"\"\n";
    }
};

VirtualDisplay* AccessibilityTest::display_ = nullptr;

} // namespace

TEST_F(AccessibilityTest, TheTreeHasEveryControlWithItsRoleAndName)
{
    const QString tree = Tree();
    // role <TAB> name <TAB> value, as the bus reports them.
    for (const char* expected : {"slider\tBrightness\t0", "dial\tBrightness Level\t0", "push button\tSave Profile\t",
                                 "push button\tApply Settings\t",
                                 "check box\tSet brightness settings on system startup\t",
                                 "combo box\tChoose a profile icon\t", "image\tRating A, 100\t",
                                 "label\tSet brightness settings on system startup\t",
                                 "label\tReduce brightness when idle is over minutes\t",
                                 "text\tReduce brightness when idle is over minutes\t", "list item\tBattery\t",
                                 "image\tProfile picture"})
        EXPECT_TRUE(tree.contains(expected)) << expected << "\n" << tree.toStdString() << program_->Output().toStdString();
}

TEST_F(AccessibilityTest, SettingTheTrackBarsValueWritesTheDevice)
{
    ASSERT_TRUE(Tree().contains("slider\tBrightness"));
    EXPECT_EQ(Probe({"set", Pid(), "Brightness", "80"}), 0);
    EXPECT_TRUE(Eventually([&] { return sandbox_.Brightness() == 80; })) << sandbox_.Brightness();
    QString tree;
    Eventually([&] {
        Probe({"tree", Pid()}, &tree);
        return tree.contains("dial\tBrightness Level\t8");
    });
    EXPECT_TRUE(tree.contains("dial\tBrightness Level\t8")) << tree.toStdString();
    EXPECT_TRUE(tree.contains("image\tRating G, 20")) << tree.toStdString();
}

TEST_F(AccessibilityTest, PressingApplySettingsSaves)
{
    ASSERT_TRUE(Tree().contains("Apply Settings"));
    EXPECT_EQ(Probe({"act", Pid(), "Set brightness settings on system startup", "Toggle"}), 0);
    EXPECT_EQ(Probe({"act", Pid(), "Apply Settings", "Press"}), 0);
    // The confirmation box, answered as a user would.
    QString box;
    ASSERT_TRUE(Eventually([&] {
        for (const QString& id : driver_.Run({"search", "--onlyvisible", "--name", "^" + kTitle + "$"}).split('\n'))
            if (!id.isEmpty() && id != window_)
                box = id;
        return !box.isEmpty();
    })) << "Apply Settings confirms in a box";
    EXPECT_TRUE(Eventually([&] {
        return QFile::exists(sandbox_.ConfigHome() + "/autostart/lumora-brightness-control.desktop");
    })) << "the switch, toggled through the bus, is on: the login entry is written";
    driver_.Key(box, "Return");
}

TEST_F(AccessibilityTest, ALevelChangeRaisesValueEvents)
{
    ASSERT_TRUE(Tree().contains("slider\tBrightness"));
    QProcess watch;
    watch.setProcessEnvironment(ProbeEnvironment());
    watch.start("/usr/bin/python3", {kProbe, "watch", Pid(), "6"});
    ASSERT_TRUE(Eventually([&] {
        watch.waitForReadyRead(100);
        return watch.peek(4096).contains("READY");
    }, 10000)) << QString::fromUtf8(watch.readAllStandardError()).toStdString();
    QThread::msleep(500);

    // The user turns the level up with the keyboard on the track bar.
    driver_.Run({"mousemove", "0", "0"}); // --sync to where the pointer is never returns
    driver_.Click(window_, TrackBarAt(0));
    QThread::msleep(300);
    driver_.Key(window_, "Prior");
    ASSERT_TRUE(Eventually([&] { return sandbox_.Brightness() == 10; })) << sandbox_.Brightness();
    watch.waitForFinished(15000);
    const QString events = QString::fromUtf8(watch.readAllStandardOutput());
    EXPECT_TRUE(events.contains("VALUE\tslider\tBrightness\t10")) << events.toStdString();
    EXPECT_TRUE(events.contains("VALUE\tdial\tBrightness Level\t1")) << events.toStdString();
}

TEST_F(AccessiblePictureListTest, AnItemsFocusShowsItAndItsPressAppliesItsProfile)
{
    ASSERT_TRUE(Tree().contains("list item\tBattery"));
    // Moving to the item, as the arrow keys do, applies nothing.
    EXPECT_EQ(Probe({"act", Pid(), "Battery", "SetFocus"}), 0);
    QThread::msleep(700);
    EXPECT_EQ(sandbox_.Brightness(), 1) << "a profile only shown is not applied";

    EXPECT_EQ(Probe({"act", Pid(), "Battery", "Press"}), 0);
    EXPECT_TRUE(Eventually([&] { return sandbox_.Brightness() == 100; })) << sandbox_.Brightness();
    // The picture beside the picker is read by the profile it now shows.
    QString tree;
    Eventually([&] {
        Probe({"tree", Pid()}, &tree);
        return tree.contains("image\tProfile picture: Battery\t");
    });
    EXPECT_TRUE(tree.contains("image\tProfile picture: Battery\t")) << tree.toStdString();
}
