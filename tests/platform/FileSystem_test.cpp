#include "platform/shell/FileSystem.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <future>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

TEST(FileSystem, WildcardsMatchAnyRunAndAnyOneCharacterWithoutCase)
{
    EXPECT_TRUE(MatchesWildcard(u"Day.png", u"*.png"));
    EXPECT_TRUE(MatchesWildcard(u"NIGHT.PNG", u"*.png"));
    EXPECT_TRUE(MatchesWildcard(u".png", u"*.png")) << "a star may take nothing";
    EXPECT_TRUE(MatchesWildcard(u"a.png.png", u"*.png")) << "the star comes back when the first try fails";
    EXPECT_TRUE(MatchesWildcard(u"Ärger.png", u"ä*")) << "letter case beyond ASCII";
    EXPECT_TRUE(MatchesWildcard(u"day1.png", u"day?.png"));
    EXPECT_TRUE(MatchesWildcard(u"anything", u"*"));
    EXPECT_TRUE(MatchesWildcard(u"", u"**"));

    EXPECT_FALSE(MatchesWildcard(u"Day.png.txt", u"*.png"));
    EXPECT_FALSE(MatchesWildcard(u"png", u"*.png"));
    EXPECT_FALSE(MatchesWildcard(u"day12.png", u"day?.png"));
    EXPECT_FALSE(MatchesWildcard(u"Day.png", u"Day.pn"));
    EXPECT_FALSE(MatchesWildcard(u"", u"?"));
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

TEST(FileSystem, OnlyRegularFilesAreListedAndReadAndOddOnesNeverBlock)
{
    QTemporaryDir dir;
    Write(dir.filePath("Day.png"), "day");
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("x.png")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link("/dev/zero", dir.filePath("zero.png")));
    ASSERT_TRUE(QFile::link(dir.filePath("Day.png"), dir.filePath("link.png")));
    ASSERT_TRUE(QFile::link(dir.filePath("gone"), dir.filePath("broken.png")));

    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Names(FindFiles(dir.filePath("*.png"))), QStringList({"Day.png", "link.png"}))
        << "a link counts by its target: a regular file is listed, a device or nothing is not";
    FindFiles(dir.filePath("*.png")); // listed again: said once
    const QString said = QString::fromStdString(::testing::internal::GetCapturedStderr());
    EXPECT_EQ(said.count("x.png"), 1) << said.toStdString();
    EXPECT_TRUE(said.contains("named pipe")) << said.toStdString();
    EXPECT_EQ(said.count("zero.png"), 1) << said.toStdString();
    EXPECT_TRUE(said.contains("device")) << said.toStdString();
    EXPECT_TRUE(said.contains("broken.png")) << said.toStdString();

    // Reading the pipe must come back at once, with nothing. Were it to wait
    // in open() for a writer, the test gives it one so as to end.
    auto read = std::async(std::launch::async, [&] { return ReadFileBytes(dir.filePath("x.png"), 1024); });
    if (read.wait_for(std::chrono::seconds(3)) != std::future_status::ready) {
        ADD_FAILURE() << "reading a named pipe blocks";
        const int writer = ::open(QFile::encodeName(dir.filePath("x.png")).constData(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0)
            ::close(writer);
    }
    EXPECT_EQ(read.get(), std::nullopt);

    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(ReadFileBytes(dir.filePath("zero.png"), qint64(64) * 1024 * 1024), std::nullopt);
    EXPECT_LT(clock.elapsed(), 200) << "a device is refused before any read";
    EXPECT_EQ(ReadFileBytes(dir.filePath("link.png"), 100), QByteArray("day"));
}

// A file name printed on standard error can neither start a new line that
// looks like the program's own nor drive the terminal.
TEST(FileSystem, SkippedFilesAreNamedWithTheirControlCharactersEscaped)
{
    EXPECT_EQ(PrintableName("a\nlumora: fake\t\x1b[2J\\b"), "a\\nlumora: fake\\t\\x1b[2J\\\\b");
    EXPECT_EQ(PrintableName(QString::fromUtf8("ünï ✓ \u202Egnp.exe")), QString::fromUtf8("ünï ✓ \\u202egnp.exe"));

    QTemporaryDir dir;
    const QString odd = dir.filePath("x\n\x1b[31mred.png");
    ASSERT_EQ(::mkfifo(QFile::encodeName(odd).constData(), 0600), 0);
    ::testing::internal::CaptureStderr();
    FindFiles(dir.filePath("*.png"));
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_EQ(said.find('\x1b'), std::string::npos) << said;
    EXPECT_NE(said.find("x\\n\\x1b[31mred.png"), std::string::npos) << said;
}
