// Several running copies against one settings file. The copies are this
// test program started again with the SettingsChild test selected and the
// job described in the environment.

#include "platform/framework/Exception.h"
#include "platform/settings/SettingsData.h"
#include "platform/settings/SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <memory>

using namespace lumora;

namespace {

const char* const kFileVar = "LUMORA_SETTINGS_CHILD_FILE";
const char* const kKeyVar = "LUMORA_SETTINGS_CHILD_KEY";
const char* const kCountVar = "LUMORA_SETTINGS_CHILD_COUNT";

std::unique_ptr<QProcess> StartWriter(const QString& file, const QString& key, int count)
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(kFileVar, file);
    env.insert(kKeyVar, key);
    env.insert(kCountVar, QString::number(count));
    process->setProcessEnvironment(env);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(QCoreApplication::applicationFilePath(), {"--gtest_filter=SettingsChild.Writer"});
    EXPECT_TRUE(process->waitForStarted(5000));
    return process;
}

std::int32_t CountOf(const TSettingsData& data, const QString& key)
{
    const auto value = data.Value(key, "Count");
    return value ? std::get<std::int32_t>(*value) : -1;
}

// A filler that makes each write take a while, so a kill lands inside one.
const QString kFiller = QString("0123456789\"[]=\\\n").repeated(4000);

} // namespace

// The writing copy: stores Count = 0, 1, 2 ... under its key.
TEST(SettingsChild, Writer)
{
    const QString file = qEnvironmentVariable(kFileVar);
    if (file.isEmpty())
        GTEST_SKIP() << "only run as a child of the settings process tests";
    const QString key = qEnvironmentVariable(kKeyVar);
    const int count = qEnvironmentVariableIntValue(kCountVar);
    TSettingsStore store(file);
    for (int i = 0; i < count; ++i) {
        store.Update([&](TSettingsData& d) {
            d.SetValue(key, "Count", std::int32_t(i));
            d.SetValue(key, "Filler", kFiller);
        });
    }
}

TEST(SettingsProcesses, TwoCopiesSavingAtOnceLoseNothingAndNeverTearTheFile)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("LumoraBrightness.conf");
    const int count = 25;
    auto a = StartWriter(file, "Software\\A", count);
    auto b = StartWriter(file, "Software\\B", count);
    TSettingsStore store(file);
    int reads = 0;
    while (a->state() != QProcess::NotRunning || b->state() != QProcess::NotRunning) {
        // Every snapshot a reader sees is a whole file.
        EXPECT_NO_THROW(store.Load());
        ++reads;
        a->waitForFinished(5);
        b->waitForFinished(5);
    }
    ASSERT_EQ(a->exitCode(), 0);
    ASSERT_EQ(b->exitCode(), 0);
    const TSettingsData data = store.Load();
    EXPECT_EQ(CountOf(data, "Software\\A"), count - 1);
    EXPECT_EQ(CountOf(data, "Software\\B"), count - 1);
    EXPECT_GT(reads, 0);
}

TEST(SettingsProcesses, KillDuringSaveLeavesTheOldOrTheNewFile)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("LumoraBrightness.conf");
    TSettingsStore store(file);
    store.Update([](TSettingsData& d) { d.SetValue("Software\\Kept", "Level", 3); });
    for (int round = 0; round < 4; ++round) {
        auto writer = StartWriter(file, "Software\\Killed", 1000000);
        QThread::msleep(60 + 37 * round);
        writer->kill(); // SIGKILL: no chance to clean up
        writer->waitForFinished(5000);
        const TSettingsData data = store.Load(); // must parse
        // The value written before the writer started survives every kill.
        EXPECT_EQ(data.Value("Software\\Kept", "Level"), std::optional<TSettingsValue>(std::int32_t(3)));
        if (CountOf(data, "Software\\Killed") >= 0) {
            EXPECT_EQ(data.Value("Software\\Killed", "Filler"), std::optional<TSettingsValue>(kFiller));
        }
    }
    // Temporary files of killed writers are cleared by the next save.
    store.Update([](TSettingsData& d) { d.SetValue("Software\\Kept", "Level", 4); });
    const QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(left, (QStringList{"LumoraBrightness.conf", "LumoraBrightness.conf.lock"}));
}
