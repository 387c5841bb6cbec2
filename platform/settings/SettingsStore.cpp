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
    Descriptor fd(::open(path.constData(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0) {
        if (errno == ENOENT)
            return {};
        Fail(QStringLiteral("Cannot read settings file"), filePath_, errno);
    }
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
    }
    return TSettingsData::Parse(bytes, filePath_);
}

void TSettingsStore::Update(const std::function<void(TSettingsData&)>& change)
{
    const QFileInfo target(filePath_);
    const QString dirPath = target.absolutePath();
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

    RemoveStaleTemporaries(target);
    QByteArray tempPath = QFile::encodeName(filePath_ + kTempInfix + QStringLiteral("XXXXXX"));
    Descriptor temp(::mkostemp(tempPath.data(), O_CLOEXEC));
    if (temp.Get() < 0)
        Fail(QStringLiteral("Cannot write settings file"), filePath_, errno);
    auto discard = [&](int error) {
        ::unlink(tempPath.constData());
        Fail(QStringLiteral("Cannot write settings file"), filePath_, error);
    };
    if (!WriteAll(temp.Get(), bytes) || ::fsync(temp.Get()) != 0)
        discard(errno);
    if (::close(temp.Release()) != 0)
        discard(errno);
    if (::rename(tempPath.constData(), QFile::encodeName(filePath_).constData()) != 0)
        discard(errno);
    // Make the rename itself durable.
    Descriptor dir(::open(QFile::encodeName(dirPath).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() >= 0)
        ::fsync(dir.Get());
}

} // namespace lumora
