// The login entry the program writes is a desktop entry that the desktop's
// own validator accepts, for the installed program's path as for an odd one.

#include "platform/shell/Autostart.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lumora;

TEST(AutostartEntryValid, DesktopFileValidatorAcceptsTheLoginEntry)
{
    const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
    if (validator.isEmpty())
        GTEST_SKIP() << "desktop-file-validate is not installed";
    for (const QString& program : {QStringLiteral("/usr/bin/lumora"), QStringLiteral("/home/a b/100% \"odd\"/lumora")}) {
        QTemporaryDir dir;
        TAutostart autostart(dir.filePath("autostart"));
        autostart.WriteRunValue("Lumora Brightness Control", ShortPath(program) + " /LaunchOnStartup");
        QProcess check;
        check.setProcessChannelMode(QProcess::MergedChannels);
        check.start(validator, {autostart.EntryPath("Lumora Brightness Control")});
        ASSERT_TRUE(check.waitForFinished(10000));
        EXPECT_EQ(check.exitCode(), 0) << program.toStdString() << ": " << check.readAll().toStdString();
    }
}
