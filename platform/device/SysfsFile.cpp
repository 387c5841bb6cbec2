#include "platform/device/SysfsFile.h"

#include "platform/framework/Exception.h"

#include <QFile>

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace lumora {

namespace {

// One attribute fits in a page; anything longer is not a number.
constexpr std::size_t kMaxAttribute = 64;

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Reads up to kMaxAttribute + 1 bytes; returns the count or -errno.
long ReadSmall(const QByteArray& path, char* buffer)
{
    Fd fd(::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0)
        return -errno;
    std::size_t total = 0;
    while (total <= kMaxAttribute) {
        const ssize_t n = ::read(fd.get(), buffer + total, kMaxAttribute + 1 - total);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -errno;
        }
        if (n == 0)
            break;
        total += std::size_t(n);
    }
    return long(total);
}

bool OnSysfs(const struct statfs& fs) { return fs.f_type == SYSFS_MAGIC; }

// A stand-in folder holds plain files, where a shorter value would leave the
// tail of a longer one behind. Cut it after the write: truncating before it
// (O_TRUNC) makes some file systems flush the file to disk on close, which
// costs milliseconds. The end of the file is where the offset goes with
// SEEK_END, which is cheaper than the whole of fstat.
void CutStandInFile(int fd, off_t size)
{
    const off_t length = ::lseek(fd, 0, SEEK_END);
    if (length > size)
        (void)!::ftruncate(fd, size);
}

// For a file of unknown kind: cut it when it turns out a longer plain file
// outside the device file system. Device attributes are left alone.
void CutIfStandIn(int fd, const struct stat& info, off_t size)
{
    if (info.st_size <= size)
        return;
    struct statfs fs;
    if (::fstatfs(fd, &fs) == 0 && OnSysfs(fs))
        return;
    (void)!::ftruncate(fd, size);
}

[[noreturn]] void RaiseRead(const QString& path, int error)
{
    throw EOSError(QStringLiteral("Cannot read %1: %2").arg(path, ErrnoText(error)));
}

} // namespace

QString ErrnoText(int error)
{
    char buffer[256];
    // The GNU strerror_r returns the text, which may or may not be in buffer.
    const char* text = ::strerror_r(error, buffer, sizeof buffer);
    return QString::fromLocal8Bit(text);
}

SysfsNumber ParseSysfsInteger(const char* data, std::size_t size)
{
    if (size > 0 && data[size - 1] == '\n')
        --size;
    if (size == 0 || size > kMaxAttribute)
        return {0, EINVAL};
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] < '0' || data[i] > '9')
            return {0, EINVAL};
    }
    int value = 0;
    auto [end, ec] = std::from_chars(data, data + size, value);
    if (ec == std::errc::result_out_of_range)
        return {0, ERANGE};
    if (ec != std::errc() || end != data + size)
        return {0, EINVAL};
    return {value, 0};
}

int ReadSysfsInteger(const QString& path)
{
    char buffer[kMaxAttribute + 1];
    const long n = ReadSmall(QFile::encodeName(path), buffer);
    if (n < 0)
        RaiseRead(path, int(-n));
    const SysfsNumber number = ParseSysfsInteger(buffer, std::size_t(n));
    if (number.error != 0)
        RaiseRead(path, number.error);
    return number.value;
}

std::optional<QString> ReadSysfsWord(const QString& path)
{
    char buffer[kMaxAttribute + 1];
    const long n = ReadSmall(QFile::encodeName(path), buffer);
    if (n == -ENOENT)
        return std::nullopt;
    if (n < 0)
        RaiseRead(path, int(-n));
    return QString::fromLatin1(buffer, n).trimmed();
}

TSysfsFileKind SysfsFileKindOf(const QByteArray& encodedPath)
{
    struct stat info;
    if (::stat(encodedPath.constData(), &info) != 0)
        return sfUnknown;
    if (!S_ISREG(info.st_mode))
        return sfNotAFile;
    struct statfs fs;
    if (::statfs(encodedPath.constData(), &fs) == 0 && OnSysfs(fs))
        return sfAttribute;
    return sfStandIn;
}

int TryWriteSysfsInteger(const QString& path, int value)
{
    return TryWriteSysfsInteger(QFile::encodeName(path), value, sfUnknown);
}

int TryWriteSysfsInteger(const QByteArray& encodedPath, int value, TSysfsFileKind kind)
{
    char text[16];
    auto [end, ec] = std::to_chars(text, text + sizeof text, value);
    (void)ec;
    *end++ = '\n';
    // O_NONBLOCK: a named pipe in a stand-in folder would otherwise hold the
    // open until some reader came, for ever. Regular files and device
    // attributes do not notice it.
    Fd fd(::open(encodedPath.constData(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK));
    if (fd.get() < 0)
        return errno;
    // A file not looked at yet, or not a plain file when it was, is looked
    // at now: only a regular file (as every device attribute is) takes a value.
    struct stat info {};
    const bool lookNow = kind == sfUnknown || kind == sfNotAFile;
    if (lookNow) {
        if (::fstat(fd.get(), &info) != 0)
            return errno;
        if (!S_ISREG(info.st_mode))
            return EINVAL;
    }
    const std::size_t size = std::size_t(end - text);
    ssize_t n;
    do {
        n = ::write(fd.get(), text, size);
    } while (n < 0 && errno == EINTR);
    if (n < 0)
        return errno;
    // A device attribute takes the whole value in one write or refuses it.
    if (std::size_t(n) != size)
        return EIO;
    if (kind == sfStandIn)
        CutStandInFile(fd.get(), off_t(size));
    else if (lookNow)
        CutIfStandIn(fd.get(), info, off_t(size));
    return 0;
}

} // namespace lumora
