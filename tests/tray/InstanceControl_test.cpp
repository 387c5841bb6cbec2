#include "tray/adpInstanceControl.h"

#include "platform/shell/InstanceRecord.h"

#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace lumora;

namespace {

struct InstanceFixture : ::testing::Test {
    QTemporaryDir folder;
    QWidget window;
    const QString exe = "/opt/Lumora Brightness/lumora";

    std::unique_ptr<TadpInstanceControl> Make()
    {
        auto control = std::make_unique<TadpInstanceControl>(nullptr, &window);
        control->SetExecutablePath(exe);
        control->SetRecordFolder(folder.path());
        control->OnTerminate = [this] { ++terminations; };
        return control;
    }
    int terminations = 0;
};

} // namespace

TEST_F(InstanceFixture, OnlyOneComponentPerProcess)
{
    auto first = Make();
    try {
        TadpInstanceControl second(nullptr, &window);
        FAIL() << "a second component must be refused";
    } catch (const EInstanceControl& e) {
        EXPECT_EQ(e.Message(), "Only one copy of this component can be dropped on a form!");
    }
    first.reset();
    EXPECT_NO_THROW(Make());
}

TEST_F(InstanceFixture, FirstCopyIsCountedAndRunsOn)
{
    auto control = Make();
    control->BeginLoading();
    control->EndLoading();
    EXPECT_TRUE(control->Counted());
    EXPECT_FALSE(control->SurplusCopy());
    EXPECT_EQ(terminations, 0);

    TInstanceRecord record(TInstanceRecord::NameFromExecutable(exe), folder.path());
    EXPECT_EQ(record.Read().Count, 1u);
    control.reset();
    EXPECT_EQ(record.Read().Count, 0u) << "ending the copy unregisters it";
}

TEST_F(InstanceFixture, SurplusCopyHidesReportsTheFirstAndEnds)
{
    // Another copy of the same executable is registered already.
    TInstanceRecord other(TInstanceRecord::NameFromExecutable(exe), folder.path());
    ASSERT_TRUE(other.Register(4242, 1).Counted);

    quint32 reported = 0;
    window.show();
    auto control = Make();
    control->OnMaxInstancesReached = [&](TObject*, quint32 handle) { reported = handle; };
    control->BeginLoading();
    control->EndLoading();

    EXPECT_TRUE(control->SurplusCopy());
    EXPECT_FALSE(control->Counted());
    EXPECT_EQ(reported, 4242u);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(terminations, 1);
    control.reset();
    EXPECT_EQ(other.Read().Count, 1u) << "an uncounted copy leaves the count alone";
}

TEST_F(InstanceFixture, DisabledControlChecksNothing)
{
    TInstanceRecord other(TInstanceRecord::NameFromExecutable(exe), folder.path());
    ASSERT_TRUE(other.Register(1, 1).Counted);
    auto control = Make();
    control->SetEnabled(false);
    control->BeginLoading();
    control->EndLoading();
    EXPECT_FALSE(control->SurplusCopy());
    EXPECT_EQ(terminations, 0);
}

TEST_F(InstanceFixture, WithoutAUsableRecordTheCopyRunsUncountedInsteadOfFailing)
{
    // A named pipe where the record belongs: not a file the copies can share.
    const QString record = TInstanceRecord(TInstanceRecord::NameFromExecutable(exe), folder.path()).FilePath();
    ASSERT_TRUE(QFile::remove(record));
    ASSERT_EQ(::mkfifo(QFile::encodeName(record).constData(), 0600), 0);
    for (const QString& recordFolder : {folder.path(), QString()}) {
        auto control = Make();
        control->SetRecordFolder(recordFolder); // empty: no private runtime folder
        control->BeginLoading();
        EXPECT_NO_THROW(control->EndLoading());
        EXPECT_FALSE(control->Counted());
        EXPECT_FALSE(control->SurplusCopy()) << "it runs on";
        EXPECT_EQ(terminations, 0);
    }
}
