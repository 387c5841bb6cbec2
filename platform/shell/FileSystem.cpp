#include "platform/shell/FileSystem.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace lumora {

bool FileExists(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

QString ExecutablePath() { return QCoreApplication::applicationFilePath(); }

std::optional<QByteArray> ReadFileBytes(const QString& path, qint64 maxBytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > maxBytes)
        return std::nullopt;
    // Read one byte more than allowed so a file that grew after the size
    // check is still refused rather than cut short.
    QByteArray bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > maxBytes)
        return std::nullopt;
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

std::vector<TFoundFile> FindFiles(const QString& pattern)
{
    const auto [dirPart, filePart] = SplitFilePattern(pattern);
    std::vector<TFoundFile> found;
    QDirIterator it(dirPart, QStringList{filePart}, QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        found.push_back({info.fileName(), dirPart + QLatin1Char('/') + info.fileName(), info.size(),
                         info.lastModified()});
    }
    return found;
}

} // namespace lumora
