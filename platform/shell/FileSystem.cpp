#include "platform/shell/FileSystem.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <set>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumora {

namespace {

// What a path is when it is not a regular file, after following links; empty
// for a regular file.
QString NotRegularReason(const struct stat& st)
{
    if (S_ISREG(st.st_mode))
        return {};
    if (S_ISFIFO(st.st_mode))
        return QStringLiteral("it is a named pipe, not a regular file");
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        return QStringLiteral("it is a device, not a regular file");
    if (S_ISSOCK(st.st_mode))
        return QStringLiteral("it is a socket, not a regular file");
    if (S_ISDIR(st.st_mode))
        return QStringLiteral("it is a folder");
    return QStringLiteral("it is not a regular file");
}

// Closes the descriptor when the read is over, whichever way it ends.
struct FileDescriptor {
    int fd;
    ~FileDescriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

QString PrintableName(const QString& name)
{
    QString out;
    out.reserve(name.size());
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if (u == u'\\')
            out += QLatin1String("\\\\");
        else if (u == u'\n')
            out += QLatin1String("\\n");
        else if (u == u'\t')
            out += QLatin1String("\\t");
        else if (u < 0x20 || u == 0x7F)
            out += QStringLiteral("\\x%1").arg(int(u), 2, 16, QLatin1Char('0'));
        else if ((u >= 0x80 && u < 0xA0) || (u >= 0x200E && u <= 0x200F) || (u >= 0x202A && u <= 0x202E) ||
                 (u >= 0x2066 && u <= 0x2069))
            out += QStringLiteral("\\u%1").arg(int(u), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

void ReportSkippedFile(const QString& path, const QString& reason)
{
    // Once per file for the program's life: the pictures are listed and read
    // again on every reload, and one line says enough.
    static std::mutex lock;
    static std::set<QString> reported;
    {
        std::lock_guard guard(lock);
        if (!reported.insert(QFileInfo(path).absoluteFilePath()).second)
            return;
    }
    std::fprintf(stderr, "lumora: skipped '%s': %s\n", qPrintable(PrintableName(path)), qPrintable(reason));
}

bool FileExists(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

QString ExecutablePath() { return QCoreApplication::applicationFilePath(); }

std::optional<QByteArray> ReadFileBytes(const QString& path, qint64 maxBytes)
{
    // Opened without blocking: a named pipe would otherwise wait in open()
    // for a writer that never comes. Only regular files are read (a link
    // counts by what it points to), so /dev/zero behind a "*.png" name costs
    // nothing.
    const FileDescriptor file{::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    if (file.fd < 0)
        return std::nullopt;
    struct stat st {};
    if (::fstat(file.fd, &st) != 0)
        return std::nullopt;
    if (const QString reason = NotRegularReason(st); !reason.isEmpty()) {
        if (!S_ISDIR(st.st_mode))
            ReportSkippedFile(path, reason);
        return std::nullopt;
    }
    if (st.st_size > maxBytes) {
        ReportSkippedFile(path, QStringLiteral("it is larger than %1 bytes").arg(maxBytes));
        return std::nullopt;
    }
    // Read up to one byte more than allowed so a file that grew after the
    // size check is still refused rather than cut short.
    QByteArray bytes;
    bytes.resize(qsizetype(st.st_size) + 1);
    qint64 total = 0;
    for (;;) {
        if (total == bytes.size()) {
            if (total > maxBytes)
                break;
            bytes.resize(qsizetype(std::min<qint64>(maxBytes + 1, total * 2 + 4096)));
        }
        const ssize_t got = ::read(file.fd, bytes.data() + total, size_t(bytes.size() - total));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        total += got;
    }
    if (total > maxBytes) {
        ReportSkippedFile(path, QStringLiteral("it is larger than %1 bytes").arg(maxBytes));
        return std::nullopt;
    }
    bytes.truncate(qsizetype(total));
    return bytes;
}

std::optional<TFoundFile> FileFacts(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return std::nullopt;
    return TFoundFile{info.fileName(), info.absoluteFilePath(), info.size(), info.lastModified()};
}

std::pair<QString, QString> SplitFilePattern(const QString& pattern)
{
    const qsizetype cut = std::max(pattern.lastIndexOf('/'), pattern.lastIndexOf('\\'));
    if (cut < 0)
        return {QStringLiteral("."), pattern};
    return {pattern.left(cut).isEmpty() ? QStringLiteral("/") : pattern.left(cut), pattern.mid(cut + 1)};
}

bool MatchesWildcard(QStringView name, QStringView pattern)
{
    // The classic greedy match with one point to come back to: a '*' first
    // takes nothing, and takes one more character each time what follows it
    // fails.
    const auto same = [](QChar a, QChar b) { return a.toCaseFolded() == b.toCaseFolded(); };
    qsizetype n = 0, p = 0, starAt = -1, starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            starAt = p++;
            starName = n;
        } else if (p < pattern.size() && (pattern[p] == u'?' || same(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (starAt >= 0) {
            p = starAt + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

std::vector<TFoundFile> FindFiles(const QString& pattern)
{
    const auto [dirPart, filePart] = SplitFilePattern(pattern);
    std::vector<TFoundFile> found;
    // System entries are asked for too, so that pipes, devices and sockets
    // with a matching name are seen and said to be skipped; only regular
    // files, links followed, are listed. The names are matched here rather
    // than by the iterator's name filters, which compile a regular
    // expression (and map its engine) for a single "*.png".
    QDirIterator it(dirPart, QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        if (!MatchesWildcard(info.fileName(), filePart))
            continue;
        const QString path = dirPart + QLatin1Char('/') + info.fileName();
        struct stat st {};
        if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
            ReportSkippedFile(path, QString::fromLocal8Bit(std::strerror(errno)));
            continue;
        }
        if (const QString reason = NotRegularReason(st); !reason.isEmpty()) {
            if (!S_ISDIR(st.st_mode))
                ReportSkippedFile(path, reason);
            continue;
        }
        found.push_back({info.fileName(), path, qint64(st.st_size), info.lastModified()});
    }
    return found;
}

} // namespace lumora
