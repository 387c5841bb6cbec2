#include "platform/shell/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

using namespace lumora;

namespace {

void Write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QStringList Names(const std::vector<TFoundFile>& found)
{
    QStringList names;
    for (const TFoundFile& f : found)
        names << f.Name;
    names.sort();
    return names;
}

} // namespace

TEST(FileSystem, SplitsPatternsAtEitherSeparator)
{
    EXPECT_EQ(SplitFilePattern("/opt/lumora\\*.png"), std::make_pair(QString("/opt/lumora"), QString("*.png")));
    EXPECT_EQ(SplitFilePattern("/opt/lumora/*.png"), std::make_pair(QString("/opt/lumora"), QString("*.png")));
    EXPECT_EQ(SplitFilePattern("/*.png"), std::make_pair(QString("/"), QString("*.png")));
    EXPECT_EQ(SplitFilePattern("*.png"), std::make_pair(QString("."), QString("*.png")));
}

TEST(FileSystem, FindsMatchingFilesWithTheirFacts)
{
    QTemporaryDir dir;
    Write(dir.filePath("Day.png"), "1234");
    Write(dir.filePath("NIGHT.PNG"), "12");
    Write(dir.filePath(".hidden.png"), "");
    Write(dir.filePath("notes.txt"), "x");
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.png"));

    const std::vector<TFoundFile> found = FindFiles(dir.path() + "\\*.png");
    // Letter case does not matter, hidden files count, folders do not.
    EXPECT_EQ(Names(found), QStringList({".hidden.png", "Day.png", "NIGHT.PNG"}));
    const auto day = std::find_if(found.begin(), found.end(), [](const TFoundFile& f) { return f.Name == "Day.png"; });
    ASSERT_NE(day, found.end());
    EXPECT_EQ(day->Path, dir.path() + "/Day.png");
    EXPECT_EQ(day->Size, 4);
    EXPECT_TRUE(day->Modified.isValid());

    const std::optional<TFoundFile> facts = FileFacts(dir.filePath("Day.png"));
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->Path, day->Path);
    EXPECT_EQ(facts->Size, 4);
    EXPECT_FALSE(FileFacts(dir.filePath("folder.png"))) << "a folder is not a file";
    EXPECT_FALSE(FileFacts(dir.filePath("missing.png")));

    EXPECT_TRUE(FindFiles(dir.filePath("*.jpg")).empty());
    EXPECT_TRUE(FindFiles(dir.filePath("missing/*.png")).empty());
}

TEST(FileSystem, ReadsWholeFilesUpToALimit)
{
    QTemporaryDir dir;
    Write(dir.filePath("a.bin"), QByteArray(100, 'a'));
    EXPECT_EQ(ReadFileBytes(dir.filePath("a.bin"), 100), QByteArray(100, 'a'));
    EXPECT_EQ(ReadFileBytes(dir.filePath("a.bin"), 99), std::nullopt) << "too large is refused, not cut short";
    EXPECT_EQ(ReadFileBytes(dir.filePath("missing.bin"), 100), std::nullopt);
    EXPECT_EQ(ReadFileBytes(dir.path(), 100), std::nullopt) << "a folder is not a file";
}
