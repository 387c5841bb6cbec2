#include "platform/framework/Exception.h"
#include "platform/settings/Registry.h"
#include "platform/settings/SettingsData.h"
#include "platform/settings/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

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
        EXPECT_TRUE(e.Message().startsWith("Failed to set data for 'Level'\n")) << e.Message().toStdString();
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

// Files at the settings path that are not what they seem.
TEST_F(SettingsTest, NamedPipeIsRefusedWithoutWaitingForAWriter)
{
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    auto load = std::async(std::launch::async, [&]() -> QString {
        try {
            store.Load();
            return "loaded";
        } catch (const EInOutError& e) {
            return e.Message();
        }
    });
    if (load.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        // Set the reader free so that the test can end.
        const int writer = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK);
        ::close(writer);
        FAIL() << "reading the settings waits on a named pipe";
    }
    const QString message = load.get();
    EXPECT_TRUE(message.contains("named pipe")) << message.toStdString();
    EXPECT_TRUE(message.contains(path)) << message.toStdString();
    // Saving is refused the same way and leaves the pipe in place.
    EXPECT_THROW(store.Update([](TSettingsData& d) { d.SetValue("A", "Level", 1); }), EInOutError);
    struct stat st {};
    ASSERT_EQ(::lstat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST_F(SettingsTest, FolderAtTheSettingsPathIsRefused)
{
    ASSERT_TRUE(QDir().mkpath(path));
    try {
        store.Load();
        ADD_FAILURE() << "a folder was read as settings";
    } catch (const EInOutError& e) {
        EXPECT_TRUE(e.Message().contains("a folder")) << e.Message().toStdString();
    }
}

TEST_F(SettingsTest, FileOverOneMegabyteIsRefusedAndKept)
{
    // Valid text throughout: the size alone decides.
    QByteArray text = "[A]\n";
    while (text.size() <= TSettingsStore::kMaxFileSize)
        text += "# padding padding padding padding padding padding padding padding\n";
    WriteFile(path, text);
    try {
        store.Load();
        ADD_FAILURE() << "a file over 1 MB was read";
    } catch (const EInOutError& e) {
        EXPECT_TRUE(e.Message().contains("larger than 1 MB")) << e.Message().toStdString();
    }
    EXPECT_THROW(store.Update([](TSettingsData& d) { d.SetValue("A", "Level", 1); }), EInOutError);
    EXPECT_EQ(ReadFile(path), text);
    // Just under the limit is read.
    text.truncate(int(TSettingsStore::kMaxFileSize) - 1);
    text.truncate(text.lastIndexOf('\n') + 1);
    WriteFile(path, text);
    EXPECT_TRUE(store.Load().KeyExists("A"));
}

TEST_F(SettingsTest, LinkedFileIsSavedThroughTheLinkWhichStaysALink)
{
    // A settings file kept in a dotfiles folder and linked into place.
    const QString real = dir.filePath("dotfiles/lumora.conf");
    WriteFile(real, "[A]\nKept=1\n");
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    ASSERT_TRUE(QFile::link("../dotfiles/lumora.conf", path));
    store.Update([](TSettingsData& d) { d.SetValue("A", "Level", 4); });
    EXPECT_TRUE(QFileInfo(path).isSymLink());
    const TSettingsData data = TSettingsData::Parse(ReadFile(real), real);
    EXPECT_EQ(std::get<std::int32_t>(*data.Value("A", "Kept")), 1);
    EXPECT_EQ(std::get<std::int32_t>(*data.Value("A", "Level")), 4);
    // No temporary file is left in either folder.
    EXPECT_EQ(QDir(QFileInfo(real).absolutePath()).entryList(QDir::Files | QDir::Hidden), QStringList{"lumora.conf"});
    EXPECT_FALSE(QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files | QDir::Hidden).join(' ').contains(".tmp-"));
}

TEST_F(SettingsTest, ReadOnlyFileStaysReadOnlyAndTheSaveSaysWhy)
{
    store.Update([](TSettingsData& d) { d.SetValue("A", "Level", 1); });
    const QByteArray before = ReadFile(path);
    // The mode bits decide, so that this holds for root as well.
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
    TRegistry reg(store);
    ASSERT_TRUE(reg.OpenKey("A", false));
    reg.WriteInteger("Level", 2);
    try {
        reg.CloseKey();
        ADD_FAILURE() << "a read-only settings file was replaced";
    } catch (const ERegistryException& e) {
        EXPECT_TRUE(e.Message().startsWith("Failed to set data for 'Level'\n")) << e.Message().toStdString();
        EXPECT_TRUE(e.Message().contains("read-only")) << e.Message().toStdString();
    }
    EXPECT_EQ(ReadFile(path), before);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0444u);
}

TEST_F(SettingsTest, SavingKeepsTheFilesPermissions)
{
    store.Update([](TSettingsData& d) { d.SetValue("A", "Level", 1); });
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    store.Update([](TSettingsData& d) { d.SetValue("A", "Level", 2); });
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(SettingsData, ManyValuesInOneKeyKeepTheirOrderCaseRulesAndDeletion)
{
    QByteArray text = "[K]\n";
    for (int i = 0; i < 2000; ++i)
        text += "V" + QByteArray::number(i) + "=" + QByteArray::number(i) + "\n";
    text += "v7=70\n"; // the same name in another case replaces the value in place
    TSettingsData data = TSettingsData::Parse(text, "many");
    const QStringList names = data.ValueNames("K");
    ASSERT_EQ(names.size(), 2000);
    EXPECT_EQ(names[7], "V7");
    EXPECT_EQ(std::get<std::int32_t>(*data.Value("K", "V7")), 70);
    EXPECT_TRUE(data.DeleteValue("k", "v3"));
    EXPECT_FALSE(data.Value("K", "V3").has_value());
    // Values after the deleted one are still found, and new ones go last.
    EXPECT_EQ(std::get<std::int32_t>(*data.Value("K", "V1999")), 1999);
    data.SetValue("K", "V4", 44);
    data.SetValue("K", "Last", 1);
    EXPECT_EQ(std::get<std::int32_t>(*data.Value("K", "v4")), 44);
    EXPECT_EQ(data.ValueNames("K").back(), "Last");
    EXPECT_EQ(data.ValueNames("K")[3], "V4");
    EXPECT_EQ(TSettingsData::Parse(data.Serialize(), "again"), data);
}

// A save that fails where nothing can raise it (a registry left open at the
// end of a scope) is told on standard error: its file name on one line.
TEST(SettingsWarning, AnUnraisedFailureNamesTheFileEscaped)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("odd\nfolder");
    const QString path = folder + "/LumoraBrightness.conf";
    TSettingsStore store(path);
    store.Update([](TSettingsData& d) { d.SetValue("A", "Level", 1); });
    // A folder where the lock file belongs makes the store fail.
    ASSERT_TRUE(QFile::remove(path + ".lock"));
    ASSERT_TRUE(QDir().mkpath(path + ".lock"));
    ::testing::internal::CaptureStderr();
    {
        TRegistry reg(store);
        ASSERT_TRUE(reg.OpenKey("A", false));
        reg.WriteInteger("Level", 2);
    }
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("Settings not stored: "), std::string::npos) << said;
    EXPECT_NE(said.find("odd\\nfolder"), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
}
