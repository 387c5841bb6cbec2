#include "platform/shell/PictureFolders.h"
#include "support/EnvironmentScope.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QtEndian>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumora;
using lumora::testing::EnvironmentScope;

namespace {

void Write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A small real PNG that carries `tag`, so that copies can be told apart.
QByteArray Png(const QString& tag, QSize size = QSize(2, 2))
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::red);
    image.setText("Tag", tag);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// The check sum of PNG chunks.
quint32 Crc32(const QByteArray& bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray Read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The listed pictures as "folder/name", folder being "shipped" or "user".
QStringList Listed(const TPictureFolders& folders)
{
    QStringList out;
    for (const TFoundFile& f : ListProfilePictures(folders))
        out << (f.Path.startsWith(folders.User) ? "user/" : "shipped/") + f.Name;
    out.sort();
    return out;
}

struct PictureFoldersTest : ::testing::Test {
    QTemporaryDir dir;
    TPictureFolders folders{dir.filePath("shipped"), dir.filePath("data/lumora-brightness/profiles")};

    void SetUp() override
    {
        Write(folders.Shipped + "/Day.png", "shipped day");
        Write(folders.Shipped + "/Night.png", "shipped night");
    }
};

} // namespace

TEST(PictureFolderPlaces, InstalledProgramUsesTheDataFolderAndABuildFolderRunItsOwnFolder)
{
    QTemporaryDir dir;
    const EnvironmentScope data("XDG_DATA_HOME", dir.filePath("data").toUtf8());

    QDir().mkpath(dir.filePath("build"));
    EXPECT_EQ(DefaultPictureFolders(dir.filePath("build/lumora")).Shipped, dir.filePath("build"));

    QDir().mkpath(dir.filePath("usr/bin"));
    QDir().mkpath(dir.filePath("usr/share/lumora-brightness/profiles"));
    const TPictureFolders installed = DefaultPictureFolders(dir.filePath("usr/bin/lumora"));
    EXPECT_EQ(installed.Shipped, dir.filePath("usr/share/lumora-brightness/profiles"));
    EXPECT_EQ(installed.User, dir.filePath("data/lumora-brightness/profiles"));
}

TEST(PictureFolderPlaces, UserFolderFallsBackToTheHomeWhenTheDataVariableIsUnsetOrRelative)
{
    QTemporaryDir home;
    const EnvironmentScope homeVar("HOME", home.path().toUtf8());
    const QString expected = home.path() + "/.local/share/lumora-brightness/profiles";
    {
        const EnvironmentScope data("XDG_DATA_HOME", "relative/data");
        EXPECT_EQ(DefaultPictureFolders("/usr/bin/lumora").User, expected);
    }
    {
        const EnvironmentScope data("XDG_DATA_HOME", "");
        EXPECT_EQ(DefaultPictureFolders("/usr/bin/lumora").User, expected);
    }
}

TEST_F(PictureFoldersTest, UserPicturesShowBesideTheShippedOnesAndReplaceThoseOfTheSameName)
{
    EXPECT_EQ(Listed(folders), QStringList({"shipped/Day.png", "shipped/Night.png"})) << "no user folder yet";

    Write(folders.User + "/Garden.png", "own garden");
    Write(folders.User + "/Night.PNG", "own night");
    Write(folders.User + "/notes.txt", "not a picture");
    EXPECT_EQ(Listed(folders), QStringList({"shipped/Day.png", "user/Garden.png", "user/Night.PNG"}));

    EXPECT_EQ(ProfilePicturePath(folders, "Night"), folders.User + "/Night.PNG");
    EXPECT_EQ(ProfilePicturePath(folders, "Day"), folders.Shipped + "/Day.png");
    EXPECT_EQ(ProfilePicturePath(folders, "Garden"), folders.User + "/Garden.png");
    EXPECT_EQ(ProfilePicturePath(folders, "Dusk"), QString());
    EXPECT_EQ(ProfilePicturePath(folders, ""), QString());
}

TEST_F(PictureFoldersTest, OneFolderNamedTwiceIsListedOnce)
{
    folders.User = folders.Shipped + "/.";
    EXPECT_EQ(ListProfilePictures(folders).size(), 2u);
}

TEST_F(PictureFoldersTest, DroppedPicturesAreCopiedIntoTheUserFolderWhichIsCreatedFirst)
{
    Write(dir.filePath("elsewhere/Garden.png"), Png("garden"));
    Write(dir.filePath("elsewhere/Day.PNG"), Png("my day"));
    const TPictureCopyResult result =
        CopyIntoUserFolder(folders, {dir.filePath("elsewhere/Garden.png"), dir.filePath("elsewhere/Day.PNG")});

    EXPECT_TRUE(result.Failures.isEmpty()) << result.Failures.join('\n').toStdString();
    EXPECT_EQ(result.Copied, QStringList({folders.User + "/Garden.png", folders.User + "/Day.PNG"}));
    EXPECT_EQ(Read(folders.User + "/Garden.png"), Png("garden"));
    EXPECT_EQ(Read(dir.filePath("elsewhere/Garden.png")), Png("garden")) << "the dropped file stays where it was";
    EXPECT_EQ(Listed(folders), QStringList({"shipped/Night.png", "user/Day.PNG", "user/Garden.png"}));

    // Dropped again with new content it replaces the user's copy; dropping
    // the user's own copy changes nothing (a copy onto itself would empty it).
    Write(dir.filePath("elsewhere/Garden.png"), Png("garden in spring"));
    EXPECT_TRUE(CopyIntoUserFolder(folders, {dir.filePath("elsewhere/Garden.png")}).Failures.isEmpty());
    EXPECT_EQ(Read(folders.User + "/Garden.png"), Png("garden in spring"));
    const TPictureCopyResult again = CopyIntoUserFolder(folders, {folders.User + "/Garden.png"});
    EXPECT_TRUE(again.Failures.isEmpty());
    EXPECT_EQ(Read(folders.User + "/Garden.png"), Png("garden in spring"));
}

TEST_F(PictureFoldersTest, FilesThatCannotBeCopiedAreReportedOneByOneAndOthersStillCopied)
{
    Write(dir.filePath("in/Garden.png"), Png("garden"));
    Write(dir.filePath("in/photo.jpg"), "jpeg");
    const TPictureCopyResult result = CopyIntoUserFolder(
        folders, {dir.filePath("in/photo.jpg"), dir.filePath("in/Missing.png"), dir.filePath("in/Garden.png")});

    ASSERT_EQ(result.Failures.size(), 2);
    EXPECT_TRUE(result.Failures[0].contains("photo.jpg") && result.Failures[0].contains("only PNG pictures"));
    EXPECT_TRUE(result.Failures[1].contains("Missing.png") && result.Failures[1].contains("cannot be read"));
    EXPECT_EQ(result.Copied, QStringList({folders.User + "/Garden.png"}));
}

TEST_F(PictureFoldersTest, AnUnwritableUserFolderIsReportedAndLosesNothing)
{
    // A file where the folder's parent should be: no one can create the
    // folder, not even root, who ignores permission bits.
    Write(dir.filePath("blocked"), "a file");
    folders.User = dir.filePath("blocked/lumora-brightness/profiles");
    Write(dir.filePath("in/Garden.png"), Png("garden"));

    const TPictureCopyResult result = CopyIntoUserFolder(folders, {dir.filePath("in/Garden.png")});

    EXPECT_TRUE(result.Copied.isEmpty());
    ASSERT_EQ(result.Failures.size(), 1);
    EXPECT_EQ(result.Failures[0].toStdString(),
              QString("Cannot copy '%1' into '%2': the folder cannot be created")
                  .arg(dir.filePath("in/Garden.png"), folders.User)
                  .toStdString());
    EXPECT_EQ(Read(dir.filePath("in/Garden.png")), Png("garden"));
    EXPECT_EQ(Listed(folders), QStringList({"shipped/Day.png", "shipped/Night.png"}));
}

TEST_F(PictureFoldersTest, ProfileNamesLoseOnlyTheFinalPngAndEarlierNamesAreStillFound)
{
    EXPECT_EQ(ProfileNameOfPicture("/p/Night.PNG"), "Night");
    EXPECT_EQ(ProfileNameOfPicture("/p/a.png.png"), "a.png");
    EXPECT_EQ(ProfileNameOfPicture("/p/my.pngfile.png"), "my.pngfile");
    EXPECT_EQ(ProfileNameOfPicture("/p/.png"), "");
    EXPECT_EQ(EarlierProfileNameOfPicture("/p/my.pngfile.png"), "myfile");

    // A profile saved under the earlier name still finds its picture; one
    // under the current name finds it first.
    Write(folders.User + "/my.pngfile.png", Png("own"));
    EXPECT_EQ(ProfilePicturePath(folders, "myfile"), folders.User + "/my.pngfile.png");
    EXPECT_EQ(ProfilePicturePath(folders, "my.pngfile"), folders.User + "/my.pngfile.png");
}

// A drop is refused, with the reason, for what the file holds and for the
// name it would give its profile.
TEST_F(PictureFoldersTest, DroppedFilesThatAreNoPngOrNameNoProfileAreRefused)
{
    Write(dir.filePath("in/photo.png"), QByteArray("\xff\xd8\xff\xe0 a JPEG by another name"));
    Write(dir.filePath("in/\\.png"), Png("root"));
    Write(dir.filePath("in/a\\b.png"), Png("path"));
    Write(dir.filePath("in/.png"), Png("nameless"));
    Write(dir.filePath("in/Garden.png"), Png("garden"));
    const TPictureCopyResult result =
        CopyIntoUserFolder(folders, {dir.filePath("in/photo.png"), dir.filePath("in/\\.png"), dir.filePath("in/a\\b.png"),
                                     dir.filePath("in/.png"), dir.filePath("in/Garden.png")});
    ASSERT_EQ(result.Failures.size(), 4) << result.Failures.join('\n').toStdString();
    EXPECT_TRUE(result.Failures[0].contains("not a PNG picture")) << result.Failures[0].toStdString();
    for (int i = 1; i < 4; ++i)
        EXPECT_TRUE(result.Failures[i].contains("backslash")) << result.Failures[i].toStdString();
    EXPECT_EQ(result.Copied, QStringList({folders.User + "/Garden.png"}));
    EXPECT_EQ(Listed(folders), QStringList({"shipped/Day.png", "shipped/Night.png", "user/Garden.png"}));
}

// The size in a PNG's header decides; a huge one is a small file.
TEST_F(PictureFoldersTest, DroppedPictureWithTooManyPixelsIsRefusedBeforeDecoding)
{
    QByteArray huge = Png("huge");
    // Width and height sit at bytes 16 and 20, in the header chunk whose
    // check sum follows it.
    qToBigEndian<quint32>(8000, huge.data() + 16);
    qToBigEndian<quint32>(7000, huge.data() + 20);
    qToBigEndian<quint32>(Crc32(huge.mid(12, 17)), huge.data() + 29);
    Write(dir.filePath("in/Huge.png"), huge);
    const TPictureCopyResult result = CopyIntoUserFolder(folders, {dir.filePath("in/Huge.png")});
    ASSERT_EQ(result.Failures.size(), 1);
    EXPECT_TRUE(result.Failures[0].contains("8000 x 7000 pixels, more than the 50 megapixels")) << result.Failures[0].toStdString();
    EXPECT_TRUE(result.Copied.isEmpty());
}
