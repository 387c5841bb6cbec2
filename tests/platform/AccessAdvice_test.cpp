#include "platform/device/AccessAdvice.h"
#include "platform/device/BacklightProvider.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumora;

namespace {

TAccessFacts DesktopPc()
{
    TAccessFacts f;
    f.BacklightRoot = "/sys/class/backlight";
    f.DdcTried = true;
    return f;
}

} // namespace

// Each way to a monitor that fails gets its own advice, under the kept
// "Not supported" line.
TEST(AccessAdvice, TheBoxSaysWhatWasTriedAndWhatToDo)
{
    struct Row {
        const char* name;
        TAccessFacts facts;
        const char* found;  // what the DDC/CI line says; null when there is none
        const char* advice; // a part of the advice; null when none is given
    };
    TAccessFacts noNodes = DesktopPc();
    TAccessFacts noPermission = DesktopPc();
    noPermission.I2cDevices = true;
    noPermission.I2cGroup = "i2c";
    TAccessFacts joinedToday = noPermission;
    joinedToday.InI2cGroup = true;
    TAccessFacts silent = DesktopPc();
    silent.I2cDevices = silent.I2cAccess = true;
    silent.DdcMonitors = silent.DdcSilent = 2;
    TAccessFacts nothingAnswered = DesktopPc();
    nothingAnswered.I2cDevices = nothingAnswered.I2cAccess = true;
    TAccessFacts laptop;
    laptop.BacklightRoot = "/sys/class/backlight";
    laptop.BacklightDevices = 1;

    const Row rows[] = {
        {"no-i2c-dev-module", noNodes, "no I2C devices (/dev/i2c-*)", "load the i2c-dev module"},
        {"not-in-group", noPermission, "no permission to open the I2C devices", "add your user to the i2c group"},
        {"in-group-since-login", joinedToday, "no permission to open the I2C devices", "log out and in again"},
        {"monitors-silent", silent, "2 monitors were found but did not answer", "switch DDC/CI on in the monitor's menu"},
        {"none-answered", nothingAnswered, "no monitor answered", "switch DDC/CI on in the monitor's menu"},
        {"no-ddc-looked-for", laptop, nullptr, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const QString text = NotSupportedText(row.facts);
        EXPECT_TRUE(text.startsWith("Not supported\n")) << text.toStdString();
        EXPECT_TRUE(text.contains("- the backlight in /sys/class/backlight: ")) << text.toStdString();
        EXPECT_TRUE(text.contains("the desktop's brightness service")) << text.toStdString();
        if (row.found)
            EXPECT_TRUE(text.contains(QString("- DDC/CI over I2C: ") + row.found)) << text.toStdString();
        else
            EXPECT_FALSE(text.contains("DDC/CI")) << text.toStdString();
        if (row.advice)
            EXPECT_TRUE(text.contains(row.advice)) << text.toStdString();
        else
            EXPECT_FALSE(text.contains("What you can do")) << text.toStdString();
    }
}

TEST(AccessAdvice, LooksAtTheBacklightFolderOfTheProviderAndTheI2cNodes)
{
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath("backlight"));
    QDir().mkpath(dir.filePath("dev"));
    BacklightOptions options;
    options.Root = dir.filePath("backlight");
    const BacklightProvider provider(options);

    TAccessFacts f = LookAtAccess(&provider, dir.filePath("dev"));
    EXPECT_EQ(f.BacklightRoot, dir.filePath("backlight"));
    EXPECT_EQ(f.BacklightDevices, 0);
    EXPECT_FALSE(f.DdcTried) << "a lone backlight provider looks for no DDC/CI monitor";
    // Only folders with a maximum count as devices, not other files there.
    QDir().mkpath(dir.filePath("backlight/acpi_video0"));
    QFile(dir.filePath("backlight/stray")).open(QIODevice::WriteOnly);
    EXPECT_EQ(LookAtAccess(&provider, dir.filePath("dev")).BacklightDevices, 0);
    QFile max(dir.filePath("backlight/acpi_video0/max_brightness"));
    ASSERT_TRUE(max.open(QIODevice::WriteOnly));
    max.close();
    EXPECT_EQ(LookAtAccess(&provider, dir.filePath("dev")).BacklightDevices, 1);

    QFile node(dir.filePath("dev/i2c-4"));
    ASSERT_TRUE(node.open(QIODevice::WriteOnly));
    node.close();
    f = LookAtAccess(nullptr, dir.filePath("dev"));
    EXPECT_EQ(f.BacklightRoot, "/sys/class/backlight");
    EXPECT_TRUE(f.I2cDevices);
    EXPECT_TRUE(f.I2cAccess) << "a node this user may open";
}
