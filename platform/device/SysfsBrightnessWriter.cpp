#include "platform/device/SysfsBrightnessWriter.h"

#include "platform/device/SysfsFile.h"
#include "platform/framework/Exception.h"

#include <QFile>

#include <cerrno>

namespace lumora {

void SysfsBrightnessWriter::Write(const BacklightDevice& device, int raw)
{
    // A device read from its folder carries the encoded path and the kind of
    // its file; the write is then only open, write, close. The path as text is
    // made only for an error.
    const int error = device.BrightnessFile.isEmpty()
        ? TryWriteSysfsInteger(QFile::encodeName(device.Path + QStringLiteral("/brightness")), raw, sfUnknown)
        : TryWriteSysfsInteger(device.BrightnessFile, raw, device.BrightnessKind);
    if (error == 0)
        return;
    const QString path = device.Path + QStringLiteral("/brightness");
    const QString failure = QStringLiteral("Cannot write %1: %2").arg(path, ErrnoText(error));
    const bool denied = error == EACCES || error == EPERM || error == EROFS;
    if (!denied || !logind_)
        throw EOSError(failure);
    try {
        logind_->SetBrightness(QStringLiteral("backlight"), device.Name, quint32(raw));
    } catch (const EOSError& e) {
        throw EOSError(failure + u'\n' + e.Message());
    }
}

} // namespace lumora
