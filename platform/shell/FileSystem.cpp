#include "platform/shell/FileSystem.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace lumora {

bool FileExists(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

QString ExecutablePath() { return QCoreApplication::applicationFilePath(); }

} // namespace lumora
