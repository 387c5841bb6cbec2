#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace lumora {

// The system's text for an errno value ("No such file or directory").
QString ErrnoText(int error);

// Reads a device attribute holding one whole number from 0 to INT_MAX, written
// the way the kernel writes them: decimal digits and at most one trailing new
// line. Anything else (empty, a sign, letters, a number out of range, more
// than one line) is refused with "Cannot read <path>: <system text>".
int ReadSysfsInteger(const QString& path);

// Reads a short text attribute such as "type", without its trailing new line;
// nullopt when the file does not exist.
std::optional<QString> ReadSysfsWord(const QString& path);

// What kind of file an attribute path names, which decides how a value goes
// into it. A device attribute takes the whole value in one write and keeps
// only that; a regular file outside the device file system (a stand-in
// folder) keeps the tail of a longer earlier value unless it is cut after the
// write.
enum TSysfsFileKind {
    sfUnknown,   // not known (the file was missing when looked at): each write looks
    sfAttribute, // a device attribute (a regular file on the device file system)
    sfStandIn,   // a regular file outside the device file system
    sfNotAFile,  // a folder, named pipe, device node or socket: refused, and looked at again on each write
};

// Looks at the file once (stat and statfs). A missing file gives sfUnknown.
TSysfsFileKind SysfsFileKindOf(const QByteArray& encodedPath);

// Writes a whole number and a new line to an attribute in one write(). Returns 0 or the errno
// of the failing step, so a caller can choose another way on EACCES. The kind
// of the file is looked at with each write; anything but a regular file is
// refused with EINVAL, and nothing waits (a named pipe without a reader
// gives ENXIO).
int TryWriteSysfsInteger(const QString& path, int value);
// The same for a path already in the file system's encoding, of a file whose
// kind is known: an attribute is open, write, close and nothing else; a
// stand-in file is also cut to the value when it was longer.
int TryWriteSysfsInteger(const QByteArray& encodedPath, int value, TSysfsFileKind kind);

// The strict number parser behind ReadSysfsInteger: the value, or the errno
// that describes the fault (EINVAL, ERANGE).
struct SysfsNumber {
    int value = 0;
    int error = 0;
};
SysfsNumber ParseSysfsInteger(const char* data, std::size_t size);

} // namespace lumora
