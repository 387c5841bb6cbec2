#include "core/ProgramOptions.h"

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
