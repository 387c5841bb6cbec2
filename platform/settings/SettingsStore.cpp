#include "platform/settings/SettingsStore.h"

#include "platform/framework/Exception.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumora {

namespace {

QString ErrnoText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

[[noreturn]] void Fail(const QString& what, const QString& path, int error)
{
    throw EInOutError(QStringLiteral("%1 '%2': %3").arg(what, path, ErrnoText(error)));
}

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }
    int Release()
    {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

bool WriteAll(int fd, const QByteArray& bytes)
{
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

const QLatin1String kTempInfix(".tmp-");

// What a settings file is when it is not a plain file, for the message that
// refuses it.
QString KindOf(mode_t mode)
{
    if (S_ISFIFO(mode))
        return QStringLiteral("a named pipe");
    if (S_ISDIR(mode))
        return QStringLiteral("a folder");
    if (S_ISSOCK(mode))
        return QStringLiteral("a socket");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("a device");
    return QStringLiteral("not a regular file");
}

[[noreturn]] void FailNotRegular(const QString& what, const QString& path, mode_t mode)
{
    throw EInOutError(QStringLiteral("%1 '%2': it is %3, not a settings file; move it away and start the program again")
                          .arg(what, path, KindOf(mode)));
}

// The file that a save replaces: the settings path itself, or, when that
// is a symbolic link (into a folder of dotfiles, say), the file the link
// leads to, so that the link stays a link.
QString WriteTarget(const QString& path)
{
    QString target = QFileInfo(path).absoluteFilePath();
    // The kernel's own limit on links followed in one lookup.
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(QFile::encodeName(target).constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return target;
        const QString next = QFileInfo(target).symLinkTarget();
        if (next.isEmpty())
            return target;
        target = next;
    }
    Fail(QStringLiteral("Cannot write settings file"), path, ELOOP);
}

// Temporary files left by a copy that died while writing. Only called
// under the lock, when no other copy can be writing one.
void RemoveStaleTemporaries(const QFileInfo& target)
{
    QDir dir = target.absoluteDir();
    const QStringList stale = dir.entryList({target.fileName() + kTempInfix + u'*'}, QDir::Files | QDir::Hidden);
    for (const QString& name : stale)
        dir.remove(name);
}

} // namespace

TSettingsStore::TSettingsStore(QString filePath) : filePath_(std::move(filePath)) {}

QString TSettingsStore::DefaultPath()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    // Relative values are to be ignored, as the XDG base directory rules say.
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/Kestrelo/LumoraBrightness.conf");
}

TSettingsData TSettingsStore::Load() const
{
    const QByteArray path = QFile::encodeName(filePath_);
    // Without O_NONBLOCK, opening a named pipe waits for a writer, for ever.
    Descriptor fd(::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.Get() < 0) {
        if (errno == ENOENT)
            return {};
        Fail(QStringLiteral("Cannot read settings file"), filePath_, errno);
    }
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0)
        Fail(QStringLiteral("Cannot read settings file"), filePath_, errno);
    if (!S_ISREG(st.st_mode))
        FailNotRegular(QStringLiteral("Cannot read settings file"), filePath_, st.st_mode);
    const auto tooLarge = [&] {
        throw EInOutError(QStringLiteral("Cannot read settings file '%1': it is larger than %2 MB, far more than this "
                                         "program writes; move it away and start the program again")
                              .arg(filePath_)
                              .arg(kMaxFileSize / (1024 * 1024)));
    };
    if (st.st_size > kMaxFileSize)
        tooLarge();
    QByteArray bytes;
    char buffer[16384];
    while (true) {
        const ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            Fail(QStringLiteral("Cannot read settings file"), filePath_, errno);
        }
        if (n == 0)
            break;
        bytes.append(buffer, n);
        if (bytes.size() > kMaxFileSize) // grew while being read
            tooLarge();
    }
    return TSettingsData::Parse(bytes, filePath_);
}

void TSettingsStore::Update(const std::function<void(TSettingsData&)>& change)
{
    const QString dirPath = QFileInfo(filePath_).absolutePath();
    if (!QDir().mkpath(dirPath))
        Fail(QStringLiteral("Cannot create settings folder"), dirPath, errno != 0 ? errno : EACCES);

    // The lock lives in its own file: the settings file itself is replaced
    // by every write, so a lock on it would not be seen by the next writer.
    const QString lockPath = filePath_ + QStringLiteral(".lock");
    Descriptor lock(::open(QFile::encodeName(lockPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (lock.Get() < 0)
        Fail(QStringLiteral("Cannot open settings lock"), lockPath, errno);
    while (::flock(lock.Get(), LOCK_EX) != 0) {
        if (errno != EINTR)
            Fail(QStringLiteral("Cannot lock settings file"), lockPath, errno);
    }

    TSettingsData data = Load(); // raises, leaving the file alone, when unparsable
    change(data);
    const QByteArray bytes = data.Serialize();

    const QString targetPath = WriteTarget(filePath_);
    const QByteArray target = QFile::encodeName(targetPath);
    // The new file takes the old one's permissions; a file its owner made
    // read-only is left as it is and the save fails saying so (replacing it
    // by rename would quietly make it writable again).
    mode_t mode = 0600;
    struct stat st {};
    if (::stat(target.constData(), &st) == 0) {
        if (!S_ISREG(st.st_mode))
            FailNotRegular(QStringLiteral("Cannot write settings file"), targetPath, st.st_mode);
        if ((st.st_mode & 0222) == 0 || ::access(target.constData(), W_OK) != 0)
            throw EInOutError(QStringLiteral("Cannot write settings file '%1': the file is read-only; "
                                             "make it writable to save the settings")
                                  .arg(targetPath));
        mode = st.st_mode & 07777;
    } else if (errno != ENOENT) {
        Fail(QStringLiteral("Cannot write settings file"), targetPath, errno);
    }

    const QFileInfo targetInfo(targetPath);
    RemoveStaleTemporaries(targetInfo);
    QByteArray tempPath = QFile::encodeName(targetPath + kTempInfix + QStringLiteral("XXXXXX"));
    Descriptor temp(::mkostemp(tempPath.data(), O_CLOEXEC));
    if (temp.Get() < 0)
        Fail(QStringLiteral("Cannot write settings file"), targetPath, errno);
    auto discard = [&](int error) {
        ::unlink(tempPath.constData());
        Fail(QStringLiteral("Cannot write settings file"), targetPath, error);
    };
    if (::fchmod(temp.Get(), mode) != 0 || !WriteAll(temp.Get(), bytes) || ::fsync(temp.Get()) != 0)
        discard(errno);
    if (::close(temp.Release()) != 0)
        discard(errno);
    if (::rename(tempPath.constData(), target.constData()) != 0)
        discard(errno);
    // Make the rename itself durable.
    Descriptor dir(::open(QFile::encodeName(targetInfo.absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() >= 0)
        ::fsync(dir.Get());
}

} // namespace lumora
