#include "platform/framework/Exception.h"
#include "platform/settings/Registry.h"
#include "platform/settings/SettingsData.h"
#include "platform/settings/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lumora;

namespace {

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

class SettingsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath("Kestrelo/LumoraBrightness.conf");
    TSettingsStore store{path};
};

// Texts that a careless format would break.
const QStringList kHostileTexts = {
    "",
    " leading and trailing ",
    "[Section]",
    "]",
    "back\\slash\\",
    "a=b=c",
    "\"quoted\"",
    "line one\nline two\r\n",
    "tab\there",
    "# not a comment",
    "; nor this",
    QString::fromUtf8("Ünïcödé ✓ 日本語 🌙"),
    QString(QChar(0)) + "nul",
    QString(QChar(0xD800)) + "lone surrogate",
    "\\u0041 is not A",
};

} // namespace

TEST_F(SettingsTest, AnyTextRoundTripsAsKeyValueNameAndData)
{
    TSettingsData data;
    for (int i = 0; i < kHostileTexts.size(); ++i) {
        const QString& text = kHostileTexts[i];
        const QString key = "Software\\Kestrelo\\" + (text.trimmed().isEmpty() ? QString("k%1").arg(i) : text);
        data.SetValue(key, text.isEmpty() ? "(empty)" : text, text);
        data.SetValue(key, "n" + text, std::int32_t(-2147483647 - 1));
    }
    const QByteArray bytes = data.Serialize();
    const TSettingsData back = TSettingsData::Parse(bytes, "test");
    EXPECT_TRUE(back == data) << bytes.toStdString();
    // Written twice, the file does not change.
    EXPECT_EQ(back.Serialize(), bytes);
}

TEST_F(SettingsTest, FileIsReadableTextWithPlainNamesBare)
{
    TSettingsData data;
    data.SetValue("Software\\Kestrelo\\LumoraBrightness", "Level", 7);
    data.SetValue("Software\\Kestrelo\\LumoraBrightness", "ProfileDesc", QString("Evening"));
    const QString text = QString::fromUtf8(data.Serialize());
    EXPECT_TRUE(text.contains("[Software\\Kestrelo\\LumoraBrightness]\nLevel=7\nProfileDesc=\"Evening\"\n")) << text.toStdString();
}

TEST_F(SettingsTest, KeysAndNamesIgnoreLetterCase)
{
    TSettingsData data;
    data.SetValue("Software\\Night", "Level", 3);
    EXPECT_TRUE(data.KeyExists("\\software\\NIGHT\\"));
    EXPECT_TRUE(data.KeyExists("Software"));
    EXPECT_FALSE(data.KeyExists("Software\\Nigh"));
    data.SetValue("SOFTWARE\\night", "LEVEL", 4);
    EXPECT_EQ(data.ValueNames("Software\\Night"), QStringList{"Level"});
    EXPECT_EQ(std::get<std::int32_t>(*data.Value("software\\night", "level")), 4);
    EXPECT_EQ(data.SubKeys("software"), QStringList{"Night"});
    EXPECT_TRUE(data.DeleteKey("Software"));
    EXPECT_FALSE(data.KeyExists("Software\\Night"));
}

TEST_F(SettingsTest, BadFilesNameFileAndLine)
{
    struct Row {
        const char* name;
        QByteArray text;
        int line;
    };
    const Row rows[] = {
        {"value-before-section", "Level=1\n", 1},
        {"unterminated-text", "[A]\nDesc=\"abc\n", 2},
        {"truncated-escape", "[A]\nDesc=\"abc\\", 2},
        {"bad-escape", "[A]\nDesc=\"\\q\"\n", 2},
        {"short-unicode-escape", "[A]\nDesc=\"\\u12\"\n", 2},
        {"integer-overflow", "[A]\n\nLevel=2147483648\n", 3},
        {"plus-sign", "[A]\nLevel=+1\n", 2},
        {"bare-text", "[A]\nLevel=seven\n", 2},
        {"no-equals", "[A]\nLevel\n", 2},
        {"unclosed-section", "[A\n", 1},
        {"junk-after-section", "[A] x\n", 1},
        {"special-bare-name", "[A]\nna\"me=1\n", 2},
        {"invalid-utf8", "[A]\nDesc=\"\xff\xfe\"\n", 2},
        {"trailing-junk", "[A]\nDesc=\"x\" y\n", 2},
    };
    for (const Row& row : rows) {
        try {
            TSettingsData::Parse(row.text, "/x/LumoraBrightness.conf");
            ADD_FAILURE() << row.name << " parsed";
        } catch (const ESettingsParseError& e) {
            EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Cannot read settings file '/x/LumoraBrightness.conf', line %1:").arg(row.line)))
                << row.name << ": " << e.Message().toStdString();
        }
    }
    // Comments, blank lines, CRLF endings and a byte-order mark are fine.
    const auto ok = TSettingsData::Parse("\xEF\xBB\xBF# c\r\n; c\r\n\r\n[A]\r\n  Level = -3  \r\n", "x");
    EXPECT_EQ(std::get<std::int32_t>(*ok.Value("A", "Level")), -3);
}

TEST_F(SettingsTest, RandomBytesNeverCrashAndAreNeverOverwritten)
{
    auto* random = QRandomGenerator::global();
    for (int round = 0; round < 200; ++round) {
        QByteArray bytes(int(random->bounded(1, 400)), Qt::Uninitialized);
        for (char& b : bytes)
            b = char(random->bounded(256));
        if (round % 2 == 0)
            bytes.prepend("[Software]\n"); // get past the first line sometimes
        try {
            TSettingsData::Parse(bytes, "fuzz");
        } catch (const ESettingsParseError&) {
        }
    }
    const QByteArray garbage("\x01\x02\x03 not settings \xff\n");
    WriteFile(path, garbage);
    TRegistry registry(store);
    EXPECT_THROW(registry.OpenKey("\\Software\\Kestrelo\\LumoraBrightness\\", true), ESettingsParseError);
    EXPECT_THROW(store.Update([](TSettingsData& d) { d.SetValue("A", "B", 1); }), ESettingsParseError);
    EXPECT_EQ(ReadFile(path), garbage);
}

TEST_F(SettingsTest, TruncatedFileIsReportedAndKept)
{
    store.Update([](TSettingsData& d) { d.SetValue("Software\\Kestrelo", "ProfileDesc", QString("a \"long\" text")); });
    const QByteArray whole = ReadFile(path);
    const QByteArray cut = whole.left(whole.size() - 6);
    WriteFile(path, cut);
    EXPECT_THROW(store.Load(), ESettingsParseError);
    EXPECT_THROW(store.Update([](TSettingsData&) {}), ESettingsParseError);
    EXPECT_EQ(ReadFile(path), cut);
}

TEST_F(SettingsTest, RegistryReadsWritesAndRaisesTheRuntimeTexts)
{
    {
        TRegistry reg(store);
        EXPECT_FALSE(reg.OpenKeyReadOnly("\\Software\\Kestrelo\\LumoraBrightness\\"));
        ASSERT_TRUE(reg.OpenKey("\\Software\\Kestrelo\\LumoraBrightness\\", true));
        reg.WriteString("ProfileIcon", "");
        reg.WriteInteger("Level", 5);
        reg.WriteBool("RunOnStartup", true);
        EXPECT_EQ(reg.ReadInteger("Level"), 5); // pending writes are visible
        EXPECT_FALSE(QFile::exists(path));      // and stored only on close
        reg.CloseKey();
    }
    EXPECT_TRUE(QFile::exists(path));
    TRegistry reg(store);
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\Kestrelo\\LumoraBrightness"));
    EXPECT_EQ(reg.GetDataType("Level"), rdInteger);
    EXPECT_EQ(reg.GetDataType("ProfileIcon"), rdString);
    EXPECT_EQ(reg.GetDataType("Missing"), rdUnknown);
    EXPECT_TRUE(reg.ReadBool("RunOnStartup"));
    EXPECT_EQ(reg.ReadString("Missing"), "");
    auto expectMessage = [](auto&& action, const char* text) {
        try {
            action();
            ADD_FAILURE() << "no error, expected " << text;
        } catch (const ERegistryException& e) {
            EXPECT_EQ(e.Message(), text);
        }
    };
    expectMessage([&] { reg.ReadString("Level"); }, "Invalid data type for 'Level'");
    expectMessage([&] { reg.ReadInteger("ProfileIcon"); }, "Invalid data type for 'ProfileIcon'");
    expectMessage([&] { reg.ReadInteger("Missing"); }, "Failed to get data for 'Missing'");
    expectMessage([&] { reg.WriteInteger("Level", 1); }, "Failed to set data for 'Level'"); // read-only
    // Relative paths go below the open key.
    TRegistry rel(store);
    ASSERT_TRUE(rel.OpenKey("\\Software\\Kestrelo", false));
    EXPECT_TRUE(rel.OpenKey("LumoraBrightness\\Night", true));
    EXPECT_EQ(rel.CurrentPath(), "Software\\Kestrelo\\LumoraBrightness\\Night");
    rel.CloseKey();
    EXPECT_TRUE(store.Load().KeyExists("Software\\Kestrelo\\LumoraBrightness\\Night"));
}

TEST_F(SettingsTest, WriteFailureRaisesFailedToSetDataAndKeepsTheOldFile)
{
    store.Update([](TSettingsData& d) { d.SetValue("A", "Level", 1); });
    const QByteArray before = ReadFile(path);
    // A folder where the lock file belongs makes every store fail, even
    // for a user that file permissions do not stop.
    ASSERT_TRUE(QFile::remove(path + ".lock"));
    ASSERT_TRUE(QDir().mkpath(path + ".lock"));
    TRegistry reg(store);
    ASSERT_TRUE(reg.OpenKey("A", false));
    reg.WriteInteger("Level", 2);
    try {
        reg.CloseKey();
        ADD_FAILURE() << "stored into a read-only folder";
    } catch (const ERegistryException& e) {
        EXPECT_EQ(e.Message(), "Failed to set data for 'Level'");
    }
    EXPECT_EQ(ReadFile(path), before);
}

TEST_F(SettingsTest, UpdatesKeepValuesWrittenByAnotherCopyMeanwhile)
{
    TRegistry first(store);
    ASSERT_TRUE(first.OpenKey("\\Software\\Kestrelo\\LumoraBrightness\\Day", true));
    first.WriteInteger("Level", 9);
    // Another copy stores its profile while this one still has its key open.
    TSettingsStore other(path);
    other.Update([](TSettingsData& d) { d.SetValue("Software\\Kestrelo\\LumoraBrightness\\Night", "Level", 2); });
    first.CloseKey();
    const TSettingsData data = store.Load();
    EXPECT_EQ(std::get<std::int32_t>(*data.Value("Software\\Kestrelo\\LumoraBrightness\\Day", "Level")), 9);
    EXPECT_EQ(std::get<std::int32_t>(*data.Value("Software\\Kestrelo\\LumoraBrightness\\Night", "Level")), 2);
}

TEST(SettingsPath, FollowsXdgConfigHome)
{
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/tmp/cfg");
    EXPECT_EQ(TSettingsStore::DefaultPath(), "/tmp/cfg/Kestrelo/LumoraBrightness.conf");
    qputenv("XDG_CONFIG_HOME", "relative/ignored");
    EXPECT_EQ(TSettingsStore::DefaultPath(), QDir::homePath() + "/.config/Kestrelo/LumoraBrightness.conf");
    if (saved.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", saved);
}

TEST_F(SettingsTest, AFailingSaveStoresNothingAndAnUnclosedOneStoresAll)
{
    try {
        TRegistry reg(store);
        ASSERT_TRUE(reg.OpenKey("Software\\Half", true));
        reg.WriteInteger("Level", 1);
        throw std::runtime_error("failed half-way");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(store.Load().KeyExists("Software\\Half"));
    {
        TRegistry reg(store);
        ASSERT_TRUE(reg.OpenKey("Software\\Whole", true));
        reg.WriteInteger("Level", 1);
    }
    EXPECT_TRUE(store.Load().Value("Software\\Whole", "Level").has_value());
}
