#include "platform/device/SysfsBrightnessWriter.h"

#include "platform/device/SysfsFile.h"
#include "platform/framework/Exception.h"

#include <cerrno>

namespace lumora {

void SysfsBrightnessWriter::Write(const BacklightDevice& device, int raw)
{
    const QString path = device.Path + QStringLiteral("/brightness");
    const int error = TryWriteSysfsInteger(path, raw);
    if (error == 0)
        return;
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
