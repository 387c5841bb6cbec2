#include "platform/shell/InstanceRecord.h"

#include "platform/framework/Exception.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace lumora {

namespace {

// Bytes 0..7 hold the record; the byte at kSlotBase + i is slot i. Locks on
// bytes beyond the end of a file are allowed, so the file stays 8 bytes.
constexpr off_t kRecordSize = 8;
constexpr off_t kSlotBase = off_t(TInstanceRecord::SlotAreaStart);
constexpr off_t kSlotEnd = kSlotBase + off_t(TInstanceRecord::SlotCount);
// A copy that holds the record's lock only reads and writes 8 bytes; one that
// holds it longer is stuck, and later copies must not hang behind it.
constexpr auto kGuardPatience = std::chrono::seconds(3);
constexpr auto kGuardRetry = std::chrono::milliseconds(10);

[[noreturn]] void RaiseOSError(int error)
{
    throw EOSError(QStringLiteral("System Error.  Code: %1.\n%2")
                       .arg(error)
                       .arg(QString::fromLocal8Bit(std::strerror(error))));
}

// Open-file-description locks belong to the open file, not the process's
// other descriptors, and vanish when the process does. With `wait` the lock
// is tried again for a few seconds, not waited for without end.
bool Lock(int fd, short type, off_t start, off_t length, bool wait)
{
    struct flock fl{};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = start;
    fl.l_len = length;
    const auto deadline = std::chrono::steady_clock::now() + kGuardPatience;
    while (::fcntl(fd, F_OFD_SETLK, &fl) != 0) {
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EACCES)
            RaiseOSError(errno);
        if (!wait)
            return false;
        if (std::chrono::steady_clock::now() >= deadline)
            throw EOSError(QStringLiteral("The instance record is held by another process that does not let go of it"));
        std::this_thread::sleep_for(kGuardRetry);
    }
    return true;
}

// A folder only its owner, this user, can change: nobody else can plant or
// replace what we make in it. `mask` holds the permission bits others must
// not have.
bool IsOurFolder(const struct stat& st, mode_t mask)
{
    return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & mask) == 0;
}

QString UserName()
{
    if (const passwd* pw = ::getpwuid(::geteuid()); pw != nullptr && pw->pw_name != nullptr && *pw->pw_name != '\0')
        return QString::fromLocal8Bit(pw->pw_name);
    return QString::number(::geteuid());
}

// The first byte at or after `byte` that the lock holding `byte` does not
// cover, so a wide lock is stepped over at once.
off_t NextFree(int fd, off_t byte)
{
    struct flock fl{};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = byte;
    fl.l_len = 1;
    if (::fcntl(fd, F_OFD_GETLK, &fl) != 0)
        RaiseOSError(errno);
    if (fl.l_type == F_UNLCK)
        return byte; // let go of in the meantime: try again
    if (fl.l_len == 0)
        return kSlotEnd;
    return std::max(byte + 1, off_t(fl.l_start + fl.l_len));
}

} // namespace

// Serialises check-and-update between copies.
class TInstanceRecord::Guard {
public:
    explicit Guard(int fd) : fd_(fd) { Lock(fd_, F_WRLCK, 0, kRecordSize, true); }
    ~Guard()
    {
        struct flock fl{};
        fl.l_type = F_UNLCK;
        fl.l_whence = SEEK_SET;
        fl.l_start = 0;
        fl.l_len = kRecordSize;
        ::fcntl(fd_, F_OFD_SETLK, &fl);
    }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;

private:
    int fd_;
};

TInstanceRecord::TInstanceRecord(const QString& name, const QString& folder)
{
    // Paths can be longer than a socket address may be; a digest of the name
    // keeps both file names short and free of path separators.
    const QString base = QStringLiteral("lumora-")
                         + QString::fromLatin1(
                             QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha256).toHex().left(32));
    filePath_ = folder + u'/' + base + QStringLiteral(".record");
    serverPath_ = folder + u'/' + base + QStringLiteral(".socket");
    // Not blocking: a named pipe in its place must not hang the start.
    fd_ = ::open(QFile::encodeName(filePath_).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd_ < 0)
        RaiseOSError(errno);
    struct stat st{};
    if (::fstat(fd_, &st) != 0) {
        const int error = errno;
        ::close(fd_);
        RaiseOSError(error);
    }
    if (!S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
        ::close(fd_);
        throw EOSError(QStringLiteral("The instance record %1 is not a plain file of this user").arg(filePath_));
    }
}

TInstanceRecord::~TInstanceRecord()
{
    try {
        Unregister();
    } catch (const Exception&) {
        // The slot lock goes with the descriptor below in any case.
    }
    ::close(fd_);
}

QString TInstanceRecord::NameFromExecutable(const QString& executablePath)
{
    QString name = executablePath;
    name.remove(u'\\');
    name.remove(u' ');
    return name;
}

std::optional<QString> TInstanceRecord::RuntimeFolder()
{
    // The login manager's folder, as the desktop's own services use it.
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (runtime.startsWith('/')) {
        struct stat st{};
        if (::stat(runtime.constData(), &st) != 0 && errno == ENOENT && ::mkdir(runtime.constData(), 0700) == 0)
            ::stat(runtime.constData(), &st);
        if (IsOurFolder(st, S_IWGRP | S_IWOTH))
            return QFile::decodeName(runtime);
    }
    // Without one (su, startx, some remote logins): a folder of our own in
    // the shared temporary folder, under the name Qt gives it. Another user
    // may have made that name first, or put a link there: it is then not
    // used at all.
    const QByteArray own = QFile::encodeName(QDir::tempPath() + QStringLiteral("/runtime-") + UserName());
    struct stat st{};
    if (::lstat(own.constData(), &st) != 0 && errno == ENOENT && ::mkdir(own.constData(), 0700) == 0)
        ::lstat(own.constData(), &st);
    if (IsOurFolder(st, S_IRWXG | S_IRWXO))
        return QFile::decodeName(own);
    return std::nullopt;
}

quint32 TInstanceRecord::LiveCount() const
{
    // F_OFD_GETLK reports the first lock of another open file that meets the
    // range asked about; the walk goes on past its end, so each lock counts
    // once, however many bytes it covers, and stops at the end of the slot
    // area. Our own slot is ours.
    quint32 count = Counted() ? 1 : 0;
    off_t start = kSlotBase;
    while (start < kSlotEnd) {
        struct flock fl{};
        fl.l_type = F_WRLCK;
        fl.l_whence = SEEK_SET;
        fl.l_start = start;
        fl.l_len = kSlotEnd - start;
        if (::fcntl(fd_, F_OFD_GETLK, &fl) != 0)
            RaiseOSError(errno);
        if (fl.l_type == F_UNLCK)
            break;
        ++count;
        // A length of 0 is a lock to the end of the file and beyond.
        if (fl.l_len == 0)
            break;
        start = std::max(start + 1, off_t(fl.l_start + fl.l_len));
    }
    return count;
}

TInstanceRecord::State TInstanceRecord::Read() const
{
    quint32 words[2] = {0, 0};
    if (::pread(fd_, words, sizeof words, 0) < 0)
        RaiseOSError(errno);
    return State{words[0], LiveCount()};
}

void TInstanceRecord::Store(State state)
{
    const quint32 words[2] = {state.WindowHandle, state.Count};
    if (::pwrite(fd_, words, sizeof words, 0) != ssize_t(sizeof words))
        RaiseOSError(errno ? errno : EIO);
}

TInstanceRecord::Check TInstanceRecord::Register(quint32 windowHandle, quint32 maxInstances)
{
    Guard guard(fd_);
    const State before = Read();
    if (Counted())
        return Check{before, true};
    if (before.Count >= maxInstances)
        return Check{before, false};
    for (off_t byte = kSlotBase; byte < kSlotEnd;) {
        if (Lock(fd_, F_WRLCK, byte, 1, false)) {
            slot_ = long(byte - kSlotBase);
            break;
        }
        byte = NextFree(fd_, byte);
    }
    if (!Counted())
        RaiseOSError(EAGAIN);
    Store(State{windowHandle, before.Count + 1});
    return Check{before, true};
}

void TInstanceRecord::SetWindowHandle(quint32 windowHandle)
{
    if (!Counted())
        return;
    Guard guard(fd_);
    Store(State{windowHandle, LiveCount()});
}

void TInstanceRecord::Unregister()
{
    if (!Counted())
        return;
    Guard guard(fd_);
    struct flock fl{};
    fl.l_type = F_UNLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = kSlotBase + slot_;
    fl.l_len = 1;
    ::fcntl(fd_, F_OFD_SETLK, &fl);
    slot_ = -1;
    quint32 words[2] = {0, 0};
    if (::pread(fd_, words, sizeof words, 0) < 0)
        RaiseOSError(errno);
    Store(State{words[0], LiveCount()});
}

} // namespace lumora
