#include "platform/shell/FileIdleTime.h"

#include <QFile>

namespace lumora {

quint32 FileIdleTime::IdleSeconds()
{
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    bool ok = false;
    const qulonglong seconds = file.read(32).trimmed().toULongLong(&ok);
    if (!ok)
        return 0;
    return seconds > 0xFFFFFFFFull ? 0xFFFFFFFFu : quint32(seconds);
}

} // namespace lumora
