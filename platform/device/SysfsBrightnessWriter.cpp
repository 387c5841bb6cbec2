#include "platform/device/SysfsBrightnessWriter.h"

#include "platform/device/CoalescingWriter.h"
#include "platform/device/SysfsFile.h"
#include "platform/framework/Exception.h"

#include <QFile>

#include <atomic>
#include <cerrno>

namespace lumora {

namespace {

QString BrightnessPath(const BacklightDevice& device) { return device.Path + QStringLiteral("/brightness"); }

QString WriteFailure(const BacklightDevice& device, int error)
{
    return QStringLiteral("Cannot write %1: %2").arg(BrightnessPath(device), ErrnoText(error));
}

} // namespace

// The login manager's Session.SetBrightness, on the worker thread. Its
// failure names the file that could not be written first, as a failed write
// of the file would.
class SysfsBrightnessWriter::LogindWriter : public BrightnessWriter {
public:
    explicit LogindWriter(std::shared_ptr<const LogindSession> logind) : logind_(std::move(logind)) {}

    void Write(const BacklightDevice& device, int raw) override
    {
        try {
            logind_->SetBrightness(QStringLiteral("backlight"), device.Name, quint32(raw));
        } catch (const EOSError& e) {
            throw EOSError(WriteFailure(device, denied.load()) + u'\n' + e.Message());
        }
    }

    // Why the file could not be written, last time.
    std::atomic<int> denied{EACCES};

private:
    std::shared_ptr<const LogindSession> logind_;
};

SysfsBrightnessWriter::SysfsBrightnessWriter(std::shared_ptr<const LogindSession> logind)
    : logind_(std::move(logind))
{
}

SysfsBrightnessWriter::~SysfsBrightnessWriter() = default;

void SysfsBrightnessWriter::Write(const BacklightDevice& device, int raw)
{
    // A device read from its folder carries the encoded path and the kind of
    // its file; the write is then only open, write, close. The path as text is
    // made only for an error.
    const int error = device.BrightnessFile.isEmpty()
        ? TryWriteSysfsInteger(QFile::encodeName(BrightnessPath(device)), raw, sfUnknown)
        : TryWriteSysfsInteger(device.BrightnessFile, raw, device.BrightnessKind);
    if (error == 0)
        return;
    const bool denied = error == EACCES || error == EPERM || error == EROFS;
    if (!denied || !logind_)
        throw EOSError(WriteFailure(device, error));
    if (!worker_) {
        auto viaLogind = std::make_unique<LogindWriter>(logind_);
        viaLogind_ = viaLogind.get();
        worker_ = std::make_unique<CoalescingWriter>(std::move(viaLogind));
    }
    viaLogind_->denied.store(error);
    worker_->Write(device, raw);
}

void SysfsBrightnessWriter::Flush()
{
    if (worker_)
        worker_->Flush();
}

} // namespace lumora
