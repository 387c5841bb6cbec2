#pragma once

// The file-system calls the controls and the program need: whether a file
// exists, where the executable lives, reading a whole file, and listing the
// entries that match a wildcard pattern.

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

namespace lumora {

// True when a file (not a folder) exists at the path.
bool FileExists(const QString& path);

// The absolute path of the running executable.
QString ExecutablePath();

// The whole content of a file. A missing or unreadable file, or one larger
// than `maxBytes`, gives nullopt: callers decide what that means.
std::optional<QByteArray> ReadFileBytes(const QString& path, qint64 maxBytes);

// A directory entry found by FindFiles.
struct TFoundFile {
    QString Name;       // the entry's name as found
    QString Path;       // the pattern's directory part, "/", and the name
    qint64 Size = 0;    // in bytes
    QDateTime Modified; // last modification, local time
};

// The facts of one file, its path made absolute; nullopt when the path is
// not an existing file (a folder, say).
std::optional<TFoundFile> FileFacts(const QString& path);

// A pattern's directory part and its file part (which may hold the wildcards
// * and ?). Either separator counts, so a pattern built as folder + "\" +
// "*.png" works as well as one with "/". A pattern without a directory part
// means the current directory.
std::pair<QString, QString> SplitFilePattern(const QString& pattern);

// The files (hidden and system ones included, folders not) whose names match
// the pattern's file part, compared without regard to letter case, in the
// order the file system returns them. A folder that does not exist, or a
// pattern that matches nothing, gives an empty list.
std::vector<TFoundFile> FindFiles(const QString& pattern);

} // namespace lumora
