#include "platform/device/BacklightProvider.h"

#include "platform/device/LogindSession.h"
#include "platform/device/MonitorBrightnessClasses.h"
#include "platform/device/SysfsBrightnessWriter.h"
#include "platform/device/WbemError.h"

namespace lumora {


BacklightProvider::BacklightProvider(BacklightOptions options, std::shared_ptr<BrightnessWriter> writer)
    : options_(std::move(options)), writer_(std::move(writer))
{
    if (options_.Levels < 2 || options_.Levels > 101) {
        throw Exception(
            QStringLiteral("The number of brightness levels must be from 2 to 101, not %1.").arg(options_.Levels));
    }
}

BacklightProvider::BacklightProvider(BacklightOptions options)
    : BacklightProvider(std::move(options),
                        std::make_shared<SysfsBrightnessWriter>(std::make_shared<LogindSession>()))
{
}

QString BacklightProvider::Namespace() const { return QStringLiteral("root\\wmi"); }

const WbemObject& BacklightProvider::ClassDefinition(const QString& className) const
{
    return MonitorBrightnessClassDefinition(className);
}

BrightnessReading BacklightProvider::Read(const BacklightDevice& device) const
{
    return BrightnessReading{device.Name, options_.Levels, RawToPercent(ReadCurrentRaw(device), device.MaxBrightness)};
}

std::optional<BrightnessReading> BacklightProvider::Active()
{
    const std::optional<BacklightDevice> active = FindActiveBacklight(options_.Root);
    if (!active)
        return std::nullopt;
    Remember(*active);
    return Read(*active);
}

std::shared_ptr<WbemObject> BacklightProvider::MethodsInstance(const QString& name) const
{
    if (!methods_ || methodsName_ != name) {
        methods_ = MonitorBrightnessMethodsInstance(name, true);
        methodsName_ = name;
    }
    return methods_->Clone();
}

std::vector<std::shared_ptr<WbemObject>> BacklightProvider::Instances(const QString& className)
{
    ClassDefinition(className);
    const std::optional<BacklightDevice> active = FindActiveBacklight(options_.Root);
    if (!active)
        return {};
    Remember(*active);
    if (SameWbemName(className, kMonitorBrightnessClass))
        return {MonitorBrightnessInstance(Read(*active), true)};
    return {MethodsInstance(active->Name)};
}

std::shared_ptr<WbemObject> BacklightProvider::GetInstance(const QString& className, const QString& keyName,
                                                           const QString& keyValue)
{
    ClassDefinition(className);
    if (!SameWbemName(keyName, kInstanceNameKey))
        throw EWbemError(wbemErrInvalidObjectPath);
    // Any device of the folder can be addressed by name, not only the active
    // one. The methods object reads nothing: the method call reads the device
    // and reports a missing one by its path.
    if (SameWbemName(className, kMonitorBrightnessClass)) {
        const BacklightDevice device = OpenBacklight(options_.Root, keyValue);
        Remember(device);
        return MonitorBrightnessInstance(Read(device), true);
    }
    if (!IsSafeDeviceName(keyValue))
        throw EWbemError(wbemErrNotFound);
    return MethodsInstance(keyValue);
}

std::shared_ptr<WbemObject> BacklightProvider::ExecMethod(const QString& className, const QString& keyName,
                                                          const QString& keyValue, const QString& methodName,
                                                          const WbemObject* inParameters)
{
    const int percent = RequestedBrightnessPercent(className, keyName, methodName, inParameters);
    WritePercent(keyValue, percent);
    return nullptr;
}

void BacklightProvider::ForgetDevices() { known_.reset(); }

void BacklightProvider::Remember(const BacklightDevice& device)
{
    // The type is not read by OpenBacklight and not needed to write.
    known_ = device;
}

const BacklightDevice& BacklightProvider::KnownDevice(const QString& name)
{
    if (!known_ || known_->Name != name)
        known_ = OpenBacklight(options_.Root, name);
    return *known_;
}

void BacklightProvider::WritePercent(const QString& name, int percent)
{
    const BacklightDevice& device = KnownDevice(name);
    try {
        writer_->Write(device, PercentToRaw(percent, device.MaxBrightness));
    } catch (const EOSError&) {
        // The failure may come from a device that has gone since it was
        // read. Read it again: a missing device fails here with the text that
        // names its maximum, as an unknown device does; a device still there
        // keeps the write's own failure.
        known_.reset();
        KnownDevice(name);
        throw;
    }
}

} // namespace lumora
