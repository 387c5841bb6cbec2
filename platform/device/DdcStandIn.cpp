#include "platform/device/DdcStandIn.h"

#include "platform/device/BacklightDevice.h"
#include "platform/device/SysfsFile.h"
#include "platform/framework/Exception.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <chrono>
#include <thread>

namespace lumora {

namespace {

QString Word(const QString& folder, const char* name)
{
    return ReadSysfsWord(folder + u'/' + QLatin1String(name)).value_or(QString()).trimmed();
}

int OptionalNumber(const QString& folder, const char* name)
{
    const QString path = folder + u'/' + QLatin1String(name);
    return QFileInfo::exists(path) ? ReadSysfsInteger(path) : 0;
}

} // namespace

QString DdcStandIn::Folder(const QString& displayId) const
{
    if (!IsSafeDeviceName(displayId) || !QFileInfo(root_ + u'/' + displayId).isDir())
        throw EOSError(QStringLiteral("Cannot open the display %1: %2").arg(displayId, ErrnoText(ENODEV)));
    return root_ + u'/' + displayId;
}

void DdcStandIn::Answer(const QString& folder) const
{
    if (const int delay = OptionalNumber(folder, "delay_ms"); delay > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
    if (OptionalNumber(folder, "fail") != 0)
        throw EOSError(QStringLiteral("no answer over DDC/CI (%1)").arg(ErrnoText(EIO)));
}

std::vector<DdcDisplay> DdcStandIn::Detect()
{
    std::vector<DdcDisplay> displays;
    const QStringList names = QDir(root_).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& name : names) {
        const QString folder = root_ + u'/' + name;
        // Detection reads the EDID, which costs a call like any other.
        if (const int delay = OptionalNumber(folder, "delay_ms"); delay > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(delay));
        displays.push_back(DdcDisplay{name, Word(folder, "model"), Word(folder, "serial"), Word(folder, "connector")});
    }
    return displays;
}

VcpReading DdcStandIn::Read(const QString& displayId, std::uint8_t feature)
{
    const QString folder = Folder(displayId);
    Answer(folder);
    if (feature != kVcpLuminance)
        throw EOSError(QStringLiteral("The display %1 does not support VCP feature 0x%2")
                           .arg(displayId)
                           .arg(feature, 2, 16, QLatin1Char('0')));
    return VcpReading{ReadSysfsInteger(folder + QStringLiteral("/brightness")),
                      ReadSysfsInteger(folder + QStringLiteral("/max_brightness"))};
}

void DdcStandIn::Write(const QString& displayId, std::uint8_t feature, int value)
{
    const QString folder = Folder(displayId);
    Answer(folder);
    if (feature != kVcpLuminance)
        throw EOSError(QStringLiteral("The display %1 does not support VCP feature 0x%2")
                           .arg(displayId)
                           .arg(feature, 2, 16, QLatin1Char('0')));
    const QString path = folder + QStringLiteral("/brightness");
    if (const int error = TryWriteSysfsInteger(path, value); error != 0)
        throw EOSError(QStringLiteral("Cannot write %1: %2").arg(path, ErrnoText(error)));
    if (QFile log(folder + QStringLiteral("/writes")); log.exists() && log.open(QIODevice::Append))
        log.write(QByteArray::number(value) + '\n');
}

} // namespace lumora
