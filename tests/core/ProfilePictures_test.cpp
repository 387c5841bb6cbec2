// The main window's profile pictures from the shipped and the user's folder,
// and picture files dropped on the picker's list.

#include "core/BrightnessUnit.h"

#include "controls/imagelist/AdvSmoothImageListBoxPicker.h"
#include "controls/picture/AdvGDIPicture.h"
#include "platform/device/BacklightProvider.h"
#include "platform/framework/Dialogs.h"
#include "platform/settings/SettingsStore.h"
#include "platform/shell/Autostart.h"
#include "platform/shell/NotifyIconHost.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

using namespace lumora;

namespace {

class QuietBoxes : public TMessageBoxes {
public:
    void ShowMessage(QWidget*, const QString&, const QString& text) override { messages << text; }
    bool AskYesNo(QWidget*, const QString&, const QString&) override { return false; }
    void ShowError(QWidget*, const QString&, const QString& text) override { errors << text; }
    QStringList messages, errors;
};

class NoTray : public NotifyIconHost {
public:
    bool Notify(NotifyIconCommand, const NotifyIconData&) override { return true; }
};

// A small PNG whose width tells the pictures apart.
void WritePicture(const QString& path, int width)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage image(width, 4, QImage::Format_ARGB32);
    image.fill(Qt::blue);
    ASSERT_TRUE(image.save(path, "PNG"));
}

QByteArray Read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct ProfilePicturesTest : ::testing::Test {
    QTemporaryDir dir;
    QuietBoxes boxes;
    TMessageBoxesScope boxScope{boxes};
    NoTray tray;
    TPictureFolders folders{dir.filePath("share/profiles"), dir.filePath("data/profiles")};
    std::unique_ptr<TSettingsStore> settings;
    std::unique_ptr<TAutostart> autostart;
    std::unique_ptr<TForm1> form;

    void SetUp() override
    {
        QDir().mkpath(dir.filePath("bl/acpi_video0"));
        QDir().mkpath(dir.filePath("run"));
        QFile max(dir.filePath("bl/acpi_video0/max_brightness"));
        ASSERT_TRUE(max.open(QIODevice::WriteOnly));
        max.write("100\n");
        max.close();
        QFile now(dir.filePath("bl/acpi_video0/brightness"));
        ASSERT_TRUE(now.open(QIODevice::WriteOnly));
        now.write("50\n");
        now.close();
        settings = std::make_unique<TSettingsStore>(dir.filePath("settings.conf"));
        autostart = std::make_unique<TAutostart>(dir.filePath("autostart"));
        WritePicture(folders.Shipped + "/Day.png", 10);
        WritePicture(folders.Shipped + "/Night.png", 11);
    }

    // A start of the program, the deferred start-up included.
    void Start()
    {
        form.reset();
        TForm1Services services;
        BacklightOptions options;
        options.Root = dir.filePath("bl");
        options.Levels = 11;
        services.Brightness = std::make_shared<BacklightProvider>(options);
        services.Settings = settings.get();
        services.Autostart = autostart.get();
        services.TrayHost = &tray;
        services.ExecutablePath = dir.filePath("bin/lumora");
        services.InstanceRecordFolder = dir.filePath("run");
        services.ScreenPixelsPerInch = 96;
        services.Pictures = folders;
        form = std::make_unique<TForm1>(services);
        form->Timer1Timer(form->Timer1);
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
        TAdvSmoothImageListBoxPicker& picker = *form->AdvSmoothImageListBoxPicker1;
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
    EXPECT_EQ(form->AdvGDIPPicture1->Picture()->Data(), Read(folders.Shipped + "/Night.png"));

    WritePicture(folders.User + "/Night.png", 13);
    Start();
    EXPECT_EQ(form->AdvGDIPPicture1->Picture()->Data(), Read(folders.User + "/Night.png"));
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
