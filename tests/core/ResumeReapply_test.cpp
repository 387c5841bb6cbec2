// Putting the level back after sleep: the decision, and the settle wait
// against a stand-in backlight folder that counts the program's writes.

#include "platform/DeviceStandIn.h"
#include "support/EventLoop.h"

#include "core/BrightnessAccess.h"
#include "core/ResumeReapply.h"
#include "platform/device/BacklightProvider.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace lumora;
using lumora::test::BacklightStandIn;
using lumora::testing::PumpUntil;

namespace {

QStringList Levels(int count)
{
    QStringList list;
    for (int i = 0; i < count; ++i)
        list << QString::number(i * 100 / (count - 1));
    return list;
}

// Writes like the kernel's file does, and counts.
class CountingWriter : public BrightnessWriter {
public:
    void Write(const BacklightDevice& device, int raw) override
    {
        ++writes;
        QFile f(device.Path + "/brightness");
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw std::runtime_error("cannot write the stand-in");
        f.write(QByteArray::number(raw));
    }
    int writes = 0;
};

// One panel (maximum 200, no actual_brightness file) at 11 levels.
struct ResumeTest : ::testing::Test {
    BacklightStandIn standIn;
    std::shared_ptr<CountingWriter> writer = std::make_shared<CountingWriter>();
    std::unique_ptr<TBrightnessAccess> access;

    void SetUp() override { Start("200\n"); }
    void Start(const QByteArray& max, int levels = 11)
    {
        standIn.AddDevice("panel", "firmware", max, "100\n");
        BacklightOptions options;
        options.Root = standIn.Root();
        options.Levels = levels;
        access = std::make_unique<TBrightnessAccess>(std::make_shared<BacklightProvider>(options, writer));
        access->QueryMonitor();
    }
    QByteArray Raw() const { return standIn.Read("panel", "brightness").trimmed(); }
    void SetLevel(int index) { access->SetBrightness(access->LevelValue(index), access->MonitorInstanceName); }
};

} // namespace

TEST(ResumeDecision, WritesTheLastValueOnlyWhenTheActiveMonitorLostIt)
{
    const QStringList levels = Levels(11);
    const TBrightnessWrite seventy{70, "panel"};
    EXPECT_EQ(ValueToReapply(std::nullopt, "panel", 100, levels), std::nullopt) << "nothing set yet";
    EXPECT_EQ(ValueToReapply(seventy, "panel", 100, levels), 70);
    EXPECT_EQ(ValueToReapply(seventy, "panel", 0, levels), 70);
    EXPECT_EQ(ValueToReapply(seventy, "panel", 70, levels), std::nullopt) << "it kept the level";
    EXPECT_EQ(ValueToReapply(seventy, "panel", 71, levels), 70) << "a level other than the lowest must match";
    EXPECT_EQ(ValueToReapply(seventy, "ddc:1", 100, levels), std::nullopt) << "set on another monitor";
    EXPECT_EQ(ValueToReapply(seventy, "panel", std::nullopt, levels), std::nullopt) << "the monitor has gone";
}

TEST(ResumeDecision, TheLowestLevelReadsBackAsThePanelsLowestStep)
{
    // Level 0 is written as the lowest visible raw step, 1, which reads
    // back as 1 percent on a panel of 100 steps, more on panels with fewer.
    const TBrightnessWrite lowest{0, "panel"};
    EXPECT_EQ(ValueToReapply(lowest, "panel", 1, Levels(101)), std::nullopt);
    EXPECT_EQ(ValueToReapply(lowest, "panel", 2, Levels(101)), 0);
    EXPECT_EQ(ValueToReapply(lowest, "panel", 1, Levels(11)), std::nullopt);
    EXPECT_EQ(ValueToReapply(lowest, "panel", 5, Levels(11)), std::nullopt);
    EXPECT_EQ(ValueToReapply(lowest, "panel", 6, Levels(11)), 0) << "nearer the next level: someone else set it";
    EXPECT_EQ(ValueToReapply(lowest, "panel", 100, Levels(11)), 0);
    EXPECT_EQ(ValueToReapply(TBrightnessWrite{10, "panel"}, "panel", 11, Levels(11)), 10) << "only the lowest level";
}

TEST_F(ResumeTest, AfterTheSettleWaitALostLevelIsWrittenOnceAndAKeptOneNotAtAll)
{
    TResumeReapply resume(*access, 20);
    EXPECT_FALSE(resume.Waiting()) << "no timer at rest";
    SetLevel(7);
    ASSERT_EQ(Raw(), "140");
    ASSERT_EQ(writer->writes, 1);

    // Firmware put the panel back to full on the way up.
    standIn.Write("panel", "brightness", "200\n");
    resume.Resumed();
    resume.Resumed(); // logind may tell more than once; one check follows
    EXPECT_TRUE(resume.Waiting());
    EXPECT_EQ(Raw(), "200") << "the device is given time to settle first";
    ASSERT_TRUE(PumpUntil([&] { return !resume.Waiting(); }, 5000));
    EXPECT_EQ(Raw(), "140");
    EXPECT_EQ(writer->writes, 2);

    // Kept through sleep: read back, not written.
    resume.Resumed();
    ASSERT_TRUE(PumpUntil([&] { return !resume.Waiting(); }, 5000));
    EXPECT_EQ(writer->writes, 2);
    EXPECT_FALSE(resume.Waiting());
}

TEST_F(ResumeTest, TheDimmedLowestLevelStaysAndIsNotRewritten)
{
    Start("100\n");
    SetLevel(7);
    SetLevel(0); // idle dimming's drop: the last level set
    ASSERT_EQ(Raw(), "1");
    TResumeReapply resume(*access, 0);
    resume.Reapply();
    EXPECT_EQ(writer->writes, 2) << "1 of 100 reads as 1 percent: the lowest level, kept";
    standIn.Write("panel", "brightness", "100\n");
    resume.Reapply();
    EXPECT_EQ(Raw(), "1") << "back to the dimmed level, not the one before";
    EXPECT_EQ(writer->writes, 3);
}

TEST_F(ResumeTest, NothingIsWrittenBeforeTheFirstLevelOrForAnotherMonitor)
{
    TResumeReapply resume(*access, 0);
    standIn.Write("panel", "brightness", "10\n");
    resume.Reapply();
    EXPECT_EQ(writer->writes, 0) << "the program has not set a level yet";
    SetLevel(3);
    access->MonitorInstanceName = "ddc:other"; // the user switched monitors
    standIn.Write("panel", "brightness", "10\n");
    resume.Reapply();
    EXPECT_EQ(writer->writes, 1);
}
