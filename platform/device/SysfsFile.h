#pragma once

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

// Writes a whole number and a new line to an attribute in one write(). Returns 0 or the errno
// of the failing step, so a caller can choose another way on EACCES.
int TryWriteSysfsInteger(const QString& path, int value);

// The strict number parser behind ReadSysfsInteger: the value, or the errno
// that describes the fault (EINVAL, ERANGE).
struct SysfsNumber {
    int value = 0;
    int error = 0;
};
SysfsNumber ParseSysfsInteger(const char* data, std::size_t size);

} // namespace lumora
