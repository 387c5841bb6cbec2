#include "core/ProgramOptions.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace lumora;

TEST(ProgramOptions, LogonSwitchCountsOnlyAsExactFirstArgument)
{
    EXPECT_TRUE(ParseProgramOptions({"/LaunchOnStartup"}).Options->LaunchOnStartup);
    EXPECT_FALSE(ParseProgramOptions({"/launchonstartup"}).Options->LaunchOnStartup);
    EXPECT_FALSE(ParseProgramOptions({"--levels", "11", "/LaunchOnStartup"}).Options->LaunchOnStartup);
    EXPECT_FALSE(ParseProgramOptions({}).Options->LaunchOnStartup);
}

TEST(ProgramOptions, ValuesAsNextArgumentOrAfterEquals)
{
    const auto r = ParseProgramOptions({"--backlight-root", "/tmp/bl", "--levels=11", "--screenshot", "/tmp/s.png"});
    ASSERT_TRUE(r.Options);
    EXPECT_EQ(r.Options->BacklightRoot, "/tmp/bl");
    EXPECT_EQ(r.Options->Levels, 11);
    EXPECT_EQ(r.Options->Screenshot, "/tmp/s.png");
    EXPECT_EQ(ParseProgramOptions({}).Options->Levels, 101);
}

TEST(ProgramOptions, BadInputIsAClearError)
{
    EXPECT_FALSE(ParseProgramOptions({"--frobnicate"}).Options);
    EXPECT_TRUE(ParseProgramOptions({"--frobnicate"}).Error.contains("--frobnicate"));
    EXPECT_FALSE(ParseProgramOptions({"--levels", "1"}).Options);
    EXPECT_FALSE(ParseProgramOptions({"--levels", "102"}).Options);
    EXPECT_FALSE(ParseProgramOptions({"--levels", "ten"}).Options);
    EXPECT_FALSE(ParseProgramOptions({"--backlight-root"}).Options);
    EXPECT_FALSE(ParseProgramOptions({"--idle-check-interval", "0"}).Options);
}

TEST(ProgramOptions, LevelCommandsForTheRunningCopy)
{
    EXPECT_TRUE(ParseProgramOptions({"--get-level"}).Options->GetLevel);
    EXPECT_FALSE(ParseProgramOptions({}).Options->GetLevel);
    EXPECT_FALSE(ParseProgramOptions({}).Options->SetLevel);
    EXPECT_EQ(ParseProgramOptions({"--set-level", "7"}).Options->SetLevel, 7);
    EXPECT_EQ(ParseProgramOptions({"--set-level=0"}).Options->SetLevel, 0);
    EXPECT_FALSE(ParseProgramOptions({"--set-level", "7"}).Options->GetLevel);
    // The range is the running copy's to judge; the form of N is judged here.
    EXPECT_EQ(ParseProgramOptions({"--set-level", "250"}).Options->SetLevel, 250);
    for (const QStringList& bad : {QStringList{"--set-level"}, QStringList{"--set-level", "x"},
                                   QStringList{"--set-level", "-1"}, QStringList{"--set-level", "2.5"},
                                   QStringList{"--set-level="}, QStringList{"--set-level", "--get-level"}}) {
        const ProgramOptionsResult r = ParseProgramOptions(bad);
        EXPECT_FALSE(r.Options) << bad.join(' ').toStdString();
        EXPECT_TRUE(r.Error.contains("--set-level needs a level number")) << r.Error.toStdString();
    }
    const ProgramOptionsResult both = ParseProgramOptions({"--get-level", "--set-level", "3"});
    EXPECT_FALSE(both.Options);
    EXPECT_TRUE(both.Error.contains("cannot be used together")) << both.Error.toStdString();
    EXPECT_TRUE(ProgramUsage().contains("--set-level N"));
    EXPECT_TRUE(ProgramUsage().contains("--get-level"));
}

TEST(ProgramOptions, LoginStartRepeatsTheOptionsThatChangeWhatIsWritten)
{
    EXPECT_TRUE(LoginStartOptions(*ParseProgramOptions({}).Options).isEmpty());
    EXPECT_TRUE(LoginStartOptions(*ParseProgramOptions({"--levels", "101", "--idle-check-interval", "200"}).Options)
                    .isEmpty())
        << "defaults and test hooks are not repeated";
    const auto all = ParseProgramOptions({"--ddc-standin=/tmp/my monitors", "--levels", "11", "--backlight-root",
                                          "/tmp/bl", "--screenshot", "/tmp/s.png"});
    ASSERT_TRUE(all.Options);
    EXPECT_EQ(LoginStartOptions(*all.Options),
              QStringList({"--levels", "11", "--backlight-root", "/tmp/bl", "--ddc-standin", "/tmp/my monitors"}));
    // Given back to the parser after the login switch, they mean the same.
    const auto again = ParseProgramOptions(QStringList{"/LaunchOnStartup"} + LoginStartOptions(*all.Options));
    ASSERT_TRUE(again.Options);
    EXPECT_TRUE(again.Options->LaunchOnStartup);
    EXPECT_EQ(again.Options->Levels, 11);
    EXPECT_EQ(again.Options->BacklightRoot, "/tmp/bl");
    EXPECT_EQ(again.Options->DdcStandIn, "/tmp/my monitors");
}

// A start at login runs in the home folder, not where the program was
// started by hand: a relative folder would name another place, or none.
TEST(ProgramOptions, LoginStartGivesRelativeFoldersAbsolute)
{
    const auto relative = ParseProgramOptions({"--backlight-root", "standin/bl", "--ddc-standin=../monitors"});
    ASSERT_TRUE(relative.Options);
    const QDir here = QDir::current();
    EXPECT_EQ(LoginStartOptions(*relative.Options),
              QStringList({"--backlight-root", QDir::cleanPath(here.filePath("standin/bl")), "--ddc-standin",
                           QDir::cleanPath(here.filePath("../monitors"))}));
}

// The README's option list is the help text itself, so the two cannot drift
// apart: a change to one fails here until the other follows.
TEST(ProgramOptions, ReadmeShowsTheHelpText)
{
    QFile readme(QStringLiteral(LUMORA_SOURCE_DIR) + "/README.md");
    ASSERT_TRUE(readme.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(readme.readAll());
    const qsizetype intro = text.indexOf("The program takes these options");
    ASSERT_GE(intro, 0);
    const qsizetype start = text.indexOf("```\n", intro);
    ASSERT_GE(start, 0);
    const qsizetype end = text.indexOf("```\n", start + 4);
    ASSERT_GT(end, start);
    EXPECT_EQ(text.mid(start + 4, end - start - 4).toStdString(), ProgramUsage().toStdString());
}

TEST(ProgramOptions, MonitorCommandsForTheRunningCopy)
{
    EXPECT_TRUE(ParseProgramOptions({"--list-monitors"}).Options->ListMonitors);
    EXPECT_FALSE(ParseProgramOptions({}).Options->ListMonitors);
    const std::optional<ProgramOptions> one = ParseProgramOptions({"--set-level", "4", "--monitor", "ddc:a"}).Options;
    ASSERT_TRUE(one);
    EXPECT_EQ(one->SetLevel, 4);
    EXPECT_EQ(one->Monitor, "ddc:a");
    EXPECT_EQ(ParseProgramOptions({"--monitor=intel_backlight", "--set-level=0"}).Options->Monitor, "intel_backlight");

    const ProgramOptionsResult alone = ParseProgramOptions({"--monitor", "ddc:a"});
    EXPECT_FALSE(alone.Options);
    EXPECT_TRUE(alone.Error.contains("goes with --set-level")) << alone.Error.toStdString();
    for (const QStringList& bad : {QStringList{"--set-level", "1", "--monitor"}, QStringList{"--set-level", "1", "--monitor="}}) {
        const ProgramOptionsResult r = ParseProgramOptions(bad);
        EXPECT_FALSE(r.Options) << bad.join(' ').toStdString();
        EXPECT_TRUE(r.Error.contains("--monitor needs a monitor id")) << r.Error.toStdString();
    }
    EXPECT_FALSE(ParseProgramOptions({"--list-monitors", "--get-level"}).Options);
    EXPECT_FALSE(ParseProgramOptions({"--list-monitors", "--set-level", "2"}).Options);
}
