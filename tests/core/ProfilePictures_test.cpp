// The main window's profile pictures from the shipped and the user's folder,
// and picture files dropped on the picker's list.

#include "core/BrightnessUnit.h"

#include "controls/imagelist/AdvSmoothImageListBoxPicker.h"
#include "controls/picture/AdvGDIPicture.h"

#include "MainWindowStandIns.h"

#include <QApplication>
#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QUrl>

using namespace lumora;

namespace {

using lumora::testing::ReadAll;

// A small PNG whose width tells the pictures apart.
void WritePicture(const QString& path, int width)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage image(width, 4, QImage::Format_ARGB32);
    image.fill(Qt::blue);
    ASSERT_TRUE(image.save(path, "PNG"));
}

QByteArray Read(const QString& path) { return ReadAll(path); }

struct ProfilePicturesTest : lumora::testing::StandInWindowTest {
    TPictureFolders folders{dir.filePath("share/profiles"), dir.filePath("data/profiles")};

    void SetUp() override
    {
        AddPanel();
        OpenStores();
        WritePicture(folders.Shipped + "/Day.png", 10);
        WritePicture(folders.Shipped + "/Night.png", 11);
    }

    // A start of the program, the deferred start-up included.
    void Start()
    {
        form.reset();
        TForm1Services services;
        services.ExecutablePath = dir.filePath("bin/lumora");
        services = StandInServices(std::move(services));
        services.ScreenPixelsPerInch = 96;
        services.Pictures = folders;
        form = std::make_unique<TForm1>(services);
        Seam().RunStartup();
    }

    QStringList Offered() const
    {
        QStringList names;
        for (const QString& path : form->OfferedProfilePictures())
            names << QDir(dir.path()).relativeFilePath(path);
        names.sort();
        return names;
    }

    void Drop(const QStringList& files)
    {
        QList<QUrl> urls;
        for (const QString& f : files)
            urls << QUrl::fromLocalFile(f);
        QMimeData data;
        data.setUrls(urls);
        // Dropped on the open list, as a user does.
        TAdvSmoothImageListBoxPicker& picker = Seam().ProfilePicker();
        form->show();
        picker.DropDownToggle();
        ASSERT_TRUE(picker.DroppedDown());
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&picker.ListBox(), &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&picker.ListBox(), &drop);
        picker.DropDownToggle();
    }
};

} // namespace

TEST_F(ProfilePicturesTest, ThePickerOffersTheShippedPicturesAndTheUsersWhichWinOnTheSameName)
{
    WritePicture(folders.User + "/Garden.png", 12);
    WritePicture(folders.User + "/Night.png", 13);
    Start();
    EXPECT_EQ(Offered(), QStringList({"data/profiles/Garden.png", "data/profiles/Night.png", "share/profiles/Day.png"}));
}

TEST_F(ProfilePicturesTest, TheSavedActiveProfileFindsItsPictureInEitherFolder)
{
    SaveProfile(*settings, "", TProfile{}, "Night");
    Start();
    EXPECT_EQ(Seam().ProfilePicture().Picture()->Data(), Read(folders.Shipped + "/Night.png"));

    WritePicture(folders.User + "/Night.png", 13);
    Start();
    EXPECT_EQ(Seam().ProfilePicture().Picture()->Data(), Read(folders.User + "/Night.png"));
}

TEST_F(ProfilePicturesTest, ADroppedPictureIsCopiedListedAndStillThereAfterARestart)
{
    Start();
    WritePicture(dir.filePath("downloads/Garden.png"), 12);
    WritePicture(dir.filePath("downloads/Day.png"), 14);
    Drop({dir.filePath("downloads/Garden.png"), dir.filePath("downloads/Day.png")});

    const QStringList expected({"data/profiles/Day.png", "data/profiles/Garden.png", "share/profiles/Night.png"});
    EXPECT_EQ(Offered(), expected);
    EXPECT_TRUE(boxes.errors.isEmpty()) << boxes.errors.join('\n').toStdString();
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("downloads/Garden.png")));

    Start();
    EXPECT_EQ(Offered(), expected);
}

TEST_F(ProfilePicturesTest, AnUnwritableUserFolderIsReportedAndTheListStaysAsItWas)
{
    QFile blocker(dir.filePath("data"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder's parent should be
    blocker.close();
    Start();
    const QStringList before = Offered();
    WritePicture(dir.filePath("downloads/Garden.png"), 12);

    Drop({dir.filePath("downloads/Garden.png")});

    EXPECT_EQ(boxes.errors, QStringList(QString("Cannot copy '%1' into '%2': the folder cannot be created")
                                            .arg(dir.filePath("downloads/Garden.png"), folders.User)));
    EXPECT_EQ(Offered(), before);
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("downloads/Garden.png")));
}
