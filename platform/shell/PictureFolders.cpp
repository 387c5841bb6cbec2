#include "platform/shell/PictureFolders.h"

#include "platform/gdiplus/Image.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include <algorithm>
#include <optional>

namespace lumora {

namespace {

#ifndef LUMORA_INSTALLED_PICTURES
#define LUMORA_INSTALLED_PICTURES "../share/lumora-brightness/profiles"
#endif

// Larger files are no profile pictures; refusing them keeps a mistaken drop
// of a huge file from filling the user's disk.
constexpr qint64 kMaxPictureBytes = 32 * 1024 * 1024;

QString DataHome()
{
    const QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        return QDir::homePath() + QStringLiteral("/.local/share");
    return base;
}

// The first eight bytes of every PNG file.
constexpr char kPngSignature[] = "\x89PNG\r\n\x1a\n";

bool IsPngName(const QString& path) { return path.endsWith(QLatin1String(".png"), Qt::CaseInsensitive); }

std::vector<TFoundFile> PicturesIn(const QString& folder)
{
    if (folder.isEmpty())
        return {};
    return FindFiles(folder + QStringLiteral("/*.png"));
}

QString SamePath(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QFileInfo(path).absoluteFilePath() : canonical;
}

} // namespace

TPictureFolders DefaultPictureFolders(const QString& executablePath)
{
    const QDir programFolder = QFileInfo(executablePath).absoluteDir();
    const QString installed = QDir::cleanPath(programFolder.filePath(QStringLiteral(LUMORA_INSTALLED_PICTURES)));
    TPictureFolders folders;
    folders.Shipped = QFileInfo(installed).isDir() ? installed : programFolder.absolutePath();
    folders.User = DataHome() + QStringLiteral("/lumora-brightness/profiles");
    return folders;
}

QString ProfileNameOfPicture(const QString& path)
{
    QString name = QFileInfo(path).fileName();
    if (IsPngName(name))
        name.chop(4);
    return name;
}

QString EarlierProfileNameOfPicture(const QString& path)
{
    static const QRegularExpression png(QStringLiteral("\\.png"), QRegularExpression::CaseInsensitiveOption);
    return QFileInfo(path).fileName().remove(png);
}

std::vector<TFoundFile> ListProfilePictures(const TPictureFolders& folders)
{
    std::vector<TFoundFile> list = PicturesIn(folders.Shipped);
    // Two folders may be one (a user who points XDG_DATA_HOME at the shipped
    // set): its pictures are then listed once.
    if (folders.User.isEmpty() || (!folders.Shipped.isEmpty() && SamePath(folders.User) == SamePath(folders.Shipped)))
        return list;
    for (TFoundFile& own : PicturesIn(folders.User)) {
        const QString name = ProfileNameOfPicture(own.Name);
        auto shipped = std::find_if(list.begin(), list.end(),
                                    [&](const TFoundFile& f) { return ProfileNameOfPicture(f.Name) == name; });
        if (shipped != list.end())
            *shipped = std::move(own);
        else
            list.push_back(std::move(own));
    }
    return list;
}

QString ProfilePicturePath(const TPictureFolders& folders, const QString& name)
{
    if (name.isEmpty())
        return {};
    for (const auto nameOf : {ProfileNameOfPicture, EarlierProfileNameOfPicture}) {
        for (const QString& folder : {folders.User, folders.Shipped}) {
            for (const TFoundFile& file : PicturesIn(folder))
                if (nameOf(file.Name) == name)
                    return file.Path;
        }
    }
    return {};
}

TPictureCopyResult CopyIntoUserFolder(const TPictureFolders& folders, const QStringList& files)
{
    TPictureCopyResult result;
    const auto fail = [&](const QString& file, const QString& reason) {
        result.Failures << QStringLiteral("Cannot copy '%1' into '%2': %3").arg(file, folders.User, reason);
    };
    if (folders.User.isEmpty()) {
        for (const QString& file : files)
            fail(file, QStringLiteral("there is no folder for your own pictures"));
        return result;
    }
    bool folderReady = false;
    for (const QString& file : files) {
        if (!IsPngName(file)) {
            fail(file, QStringLiteral("only PNG pictures can be profile pictures"));
            continue;
        }
        const QString profile = ProfileNameOfPicture(file);
        if (profile.isEmpty() || profile.contains(u'\\')) {
            fail(file, QStringLiteral("a profile is named after its picture, and a profile name can be neither empty nor "
                                      "hold a backslash (\\); rename the file"));
            continue;
        }
        const QString target = folders.User + u'/' + QFileInfo(file).fileName();
        if (QFileInfo(target).isFile() && SamePath(target) == SamePath(file)) {
            result.Copied << target; // already there
            continue;
        }
        const std::optional<QByteArray> bytes = ReadFileBytes(file, kMaxPictureBytes);
        if (!bytes) {
            fail(file, QFileInfo(file).isFile() && QFileInfo(file).size() > kMaxPictureBytes
                           ? QStringLiteral("the file is larger than 32 MB")
                           : QStringLiteral("the file cannot be read"));
            continue;
        }
        if (!bytes->startsWith(kPngSignature)) {
            fail(file, QStringLiteral("the file is not a PNG picture"));
            continue;
        }
        if (const QString refusal = gdiplus::PictureSizeRefusal(gdiplus::ImageSizeOf(*bytes)); !refusal.isEmpty()) {
            fail(file, QStringLiteral("the picture has %1").arg(refusal));
            continue;
        }
        if (!folderReady && !QDir().mkpath(folders.User)) {
            fail(file, QStringLiteral("the folder cannot be created"));
            continue;
        }
        folderReady = true;
        // Written beside the target and renamed over it, so a full disk or a
        // failing write never leaves a cut-off picture or loses the old one.
        QSaveFile out(target);
        if (!out.open(QIODevice::WriteOnly) || out.write(*bytes) != bytes->size() || !out.commit()) {
            fail(file, out.errorString());
            continue;
        }
        result.Copied << target;
    }
    return result;
}

} // namespace lumora
