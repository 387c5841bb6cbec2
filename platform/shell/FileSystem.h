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

// The whole content of a regular file (a link counts by its target). A
// missing or unreadable file, one that is not a regular file (a named pipe,
// a device) or one larger than `maxBytes` gives nullopt: callers decide what
// that means. The file is opened without blocking, so a named pipe never
// waits for a writer; a file refused for what it is or for its size is named
// on standard error with the reason, once.
std::optional<QByteArray> ReadFileBytes(const QString& path, qint64 maxBytes);

// A file name as it may be printed to a terminal: control characters
// (new lines, escape sequences), the invisible direction marks that reorder
// text, and the backslash itself are written as \n, \t, \xHH or \uHHHH, so a
// name can neither fake another line nor drive the terminal.
QString PrintableName(const QString& name);

// Says on standard error that a file was skipped and why, once per file for
// the program's life; the name is printed with PrintableName.
void ReportSkippedFile(const QString& path, const QString& reason);

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

// Whether a file name matches a pattern in which '*' stands for any run of
// characters and '?' for any one, without regard to letter case.
bool MatchesWildcard(QStringView name, QStringView pattern);

// The regular files (hidden ones included; links by their targets) whose
// names match the pattern's file part, compared without regard to letter
// case, in the order the file system returns them. Named pipes, devices,
// sockets and broken links with a matching name are left out and named on
// standard error (ReportSkippedFile); folders are left out silently. A folder
// that does not exist, or a pattern that matches nothing, gives an empty list.
std::vector<TFoundFile> FindFiles(const QString& pattern);

} // namespace lumora
