#pragma once

// The two folders profile pictures come from: the set shipped with the
// program and the user's own, which the user can add to. A profile is named
// after its picture's file name without ".png", in either folder.

#include "platform/shell/FileSystem.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace lumora {

struct TPictureFolders {
    QString Shipped; // comes with the program; never written
    QString User;    // the user's own; created when the first picture is copied in
};

// The folders for a program started from `executablePath`. Installed, the
// executable sits in <prefix>/bin and the shipped pictures in
// <prefix>/share/lumora-brightness/profiles; run from the build folder there
// is no such folder and the pictures sit beside the executable. The user's
// folder is $XDG_DATA_HOME/lumora-brightness/profiles (~/.local/share when
// the variable is unset or not absolute).
TPictureFolders DefaultPictureFolders(const QString& executablePath);

// The profile name a picture file stands for: its file name with the ".png"
// at its end removed, in any letter case ("a.png.png" stands for "a.png").
QString ProfileNameOfPicture(const QString& path);
// The name earlier versions gave the same picture, with every ".png" removed
// wherever it stood ("a.png.png" stood for "a"); settings written then still
// hold profiles under such names.
QString EarlierProfileNameOfPicture(const QString& path);

// The pictures to offer: every "*.png" of the shipped folder, in the order
// found, a user picture taking the place of a shipped one of the same profile
// name, then the user's other pictures. Missing folders list nothing.
std::vector<TFoundFile> ListProfilePictures(const TPictureFolders& folders);

// The picture of the profile `name`: the user's, else the shipped one;
// empty when neither folder has it. A picture named by the earlier rule is
// found when none is named by the current one.
QString ProfilePicturePath(const TPictureFolders& folders, const QString& name);

// What copying dropped files into the user's folder did.
struct TPictureCopyResult {
    QStringList Copied;   // the copies' paths, in the user's folder
    QStringList Failures; // one message per file that was not copied
};

// Copies picture files into the user's folder, creating it first. A copy
// replaces a user picture of the same name whole or not at all; a file
// already in the user's folder is left as it is. Files that are not PNG
// pictures (by name and by content), have more pixels than a picture may,
// would name no profile or one with a backslash (which would stand for a
// settings key path), cannot be read or cannot be written are reported in
// Failures and the files themselves are never touched.
TPictureCopyResult CopyIntoUserFolder(const TPictureFolders& folders, const QStringList& files);

} // namespace lumora
