#include "platform/framework/Exception.h"
#include "platform/shell/Autostart.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lumora;

namespace {

const QString kTitle = "Lumora Brightness Control";

// A program whose path has blanks, quotes and shell characters, which
// records the arguments it was started with.
QString MakeRecorder(const QString& folder, const QString& name)
{
    const QString path = folder + "/" + name;
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\nprintf '%s\\n' \"$0\" \"$@\" > \"$RECORD\"\n");
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

} // namespace

TEST(SettingsAutostart, EntryIsWrittenFoundReadAndDeleted)
{
    QTemporaryDir dir;
    TAutostart autostart(dir.filePath("autostart"));
    EXPECT_EQ(autostart.EntryPath(kTitle), dir.filePath("autostart/lumora-brightness-control.desktop"));
    EXPECT_FALSE(autostart.RunValueExists(kTitle));
    EXPECT_FALSE(autostart.ReadRunValue(kTitle).has_value());
    EXPECT_NO_THROW(autostart.DeleteRunValue(kTitle)); // absent: nothing to do

    const QString command = ShortPath("/opt/lumora/lumora") + " /LaunchOnStartup";
    autostart.WriteRunValue(kTitle, command);
    EXPECT_TRUE(autostart.RunValueExists(kTitle));
    EXPECT_EQ(autostart.ReadRunValue(kTitle).value_or(""), command);

    QFile file(autostart.EntryPath(kTitle));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.startsWith("[Desktop Entry]\nType=Application\nName=Lumora Brightness Control\n"));
    EXPECT_TRUE(text.contains("\nExec=\"/opt/lumora/lumora\" /LaunchOnStartup\n")) << text.toStdString();

    autostart.DeleteRunValue(kTitle);
    EXPECT_FALSE(autostart.RunValueExists(kTitle));
}

// After the program is removed the session must skip the entry, not try to
// start a missing program at every login: TryExec names the program.
TEST(SettingsAutostart, EntryNamesTheProgramInTryExec)
{
    QTemporaryDir dir;
    TAutostart autostart(dir.filePath("autostart"));
    for (const QString program : {"/opt/lumora/lumora", "/home/a b/100% \"odd\"\\x/lumora"}) {
        autostart.WriteRunValue(kTitle, ShortPath(program) + " /LaunchOnStartup");
        QFile file(autostart.EntryPath(kTitle));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        // A plain string value: only the key file's own escapes apply.
        QString value = program;
        value.replace("\\", "\\\\");
        EXPECT_TRUE(text.contains("\nTryExec=" + value + "\n")) << text.toStdString();
        EXPECT_EQ(autostart.ReadRunValue(kTitle).value_or(""), ShortPath(program) + " /LaunchOnStartup");
    }
    // A command without an absolute program path gets no TryExec.
    autostart.WriteRunValue(kTitle, "lumora /LaunchOnStartup");
    QFile file(autostart.EntryPath(kTitle));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains("TryExec"));
}

TEST(SettingsAutostart, ExecQuotingSplitsBackToThePath)
{
    const QStringList paths = {
        "/usr/bin/lumora",
        "/home/a b/My Programs/lumora",
        "/tmp/it's \"quoted\"/lumora",
        "/tmp/$HOME `x` \\ 100%/lumora",
        QString::fromUtf8("/tmp/ünï cödé/lumora"),
        "/tmp/new\nline/lumora",
    };
    for (const QString& path : paths) {
        const QStringList args = SplitExecLine(ShortPath(path) + " /LaunchOnStartup");
        EXPECT_EQ(args, (QStringList{path, "/LaunchOnStartup"})) << path.toStdString();
    }
    EXPECT_EQ(SplitExecLine("prog %f \"a %% b\"  %%x"), (QStringList{"prog", "a % b", "%x"}));
}

TEST(SettingsAutostart, AWeirdPathStillStarts)
{
    // The double-quote rules of desktop entries are those of the POSIX
    // shell, so a shell run of the Exec line (after the %% field-code
    // step) starts the program exactly as a session would.
    QTemporaryDir dir;
    const QString folder = dir.filePath("My \"Apps\" $x `y` 5% it's");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString program = MakeRecorder(folder, "lumora run");
    TAutostart autostart(dir.filePath("autostart"));
    autostart.WriteRunValue(kTitle, ShortPath(program) + " /LaunchOnStartup");

    QString exec = autostart.ReadRunValue(kTitle).value_or("");
    exec.replace("%%", "%");
    QProcess shell;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("RECORD", dir.filePath("record.txt"));
    shell.setProcessEnvironment(env);
    shell.start("/bin/sh", {"-c", exec});
    ASSERT_TRUE(shell.waitForFinished(5000));
    EXPECT_EQ(shell.exitCode(), 0);
    QFile record(dir.filePath("record.txt"));
    ASSERT_TRUE(record.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(record.readAll()), program + "\n/LaunchOnStartup\n");
}

TEST(SettingsAutostart, UnwritableFolderIsAnError)
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath("autostart"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder belongs
    blocker.close();
    TAutostart autostart(dir.filePath("autostart"));
    EXPECT_THROW(autostart.WriteRunValue(kTitle, "\"/x\" /LaunchOnStartup"), EInOutError);
}
