#include "platform/shell/InstanceRecord.h"

#include "platform/framework/Exception.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace lumora {

namespace {

// Bytes 0..7 hold the record; the byte at kSlotBase + i is slot i. Locks on
// bytes beyond the end of a file are allowed, so the file stays 8 bytes.
constexpr off_t kRecordSize = 8;
constexpr off_t kSlotBase = 4096;
constexpr long kMaxSlots = 1 << 16;

[[noreturn]] void RaiseOSError(int error)
{
    throw EOSError(QStringLiteral("System Error.  Code: %1.\n%2")
                       .arg(error)
                       .arg(QString::fromLocal8Bit(std::strerror(error))));
}

// Open-file-description locks belong to the open file, not the process's
// other descriptors, and vanish when the process does.
bool Lock(int fd, short type, off_t start, off_t length, bool wait)
{
    struct flock fl{};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = start;
    fl.l_len = length;
    while (::fcntl(fd, wait ? F_OFD_SETLKW : F_OFD_SETLK, &fl) != 0) {
        if (errno == EINTR)
            continue;
        if (!wait && (errno == EAGAIN || errno == EACCES))
            return false;
        RaiseOSError(errno);
    }
    return true;
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
    fd_ = ::open(QFile::encodeName(filePath_).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd_ < 0)
        RaiseOSError(errno);
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

QString TInstanceRecord::RuntimeFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder;
}

quint32 TInstanceRecord::LiveCount() const
{
    // F_OFD_GETLK reports the first lock of another open file in a range;
    // walking range by range counts every held slot. Our own slot is ours.
    quint32 count = Counted() ? 1 : 0;
    off_t start = kSlotBase;
    while (true) {
        struct flock fl{};
        fl.l_type = F_WRLCK;
        fl.l_whence = SEEK_SET;
        fl.l_start = start;
        fl.l_len = 0;
        if (::fcntl(fd_, F_OFD_GETLK, &fl) != 0)
            RaiseOSError(errno);
        if (fl.l_type == F_UNLCK)
            return count;
        ++count;
        start = fl.l_start + 1;
    }
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
    for (long slot = 0; slot < kMaxSlots; ++slot) {
        if (Lock(fd_, F_WRLCK, kSlotBase + slot, 1, false)) {
            slot_ = slot;
            break;
        }
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
