#pragma once

#include "platform/device/BacklightDevice.h"
#include "platform/device/BrightnessTargets.h"
#include "platform/device/BrightnessWriter.h"
#include "platform/device/WbemProvider.h"

#include <memory>
#include <optional>

namespace lumora {

struct BacklightOptions {
    // The folder of backlight devices; a folder holding the same files is a
    // complete stand-in device.
    QString Root = kDefaultBacklightRoot;
    // How many evenly spaced percent levels the monitor offers (2..101).
    int Levels = 101;
};

// Answers the monitor brightness classes of "root\wmi" from the Linux
// backlight:
//   WmiMonitorBrightness: Active, CurrentBrightness (percent), InstanceName
//   (the device folder's name), Level (the level percents), Levels (their count)
//   for the active device; no instance when there is none.
//   WmiMonitorBrightnessMethods.WmiSetBrightness(Brightness, Timeout): writes
//   the percent to the named device. Timeout is accepted and has no effect:
//   the backlight keeps a value until the next write.
// Queries read the device folder afresh. A write uses the maximum of the
// device as last read, kept until the write itself fails (a vanished device
// is noticed from the write's own error, which reads the device again) or
// until ForgetDevices says the devices changed.
class BacklightProvider : public BrightnessTargets, public WbemProvider {
public:
    // Raises Exception when the level count is outside 2..101.
    BacklightProvider(BacklightOptions options, std::shared_ptr<BrightnessWriter> writer);
    // Writes directly, or through the login manager on the system bus.
    explicit BacklightProvider(BacklightOptions options = {});

    const BacklightOptions& Options() const { return options_; }

    QString Namespace() const override;
    const WbemObject& ClassDefinition(const QString& className) const override;
    std::vector<std::shared_ptr<WbemObject>> Instances(const QString& className) override;
    std::shared_ptr<WbemObject> GetInstance(const QString& className, const QString& keyName,
                                            const QString& keyValue) override;
    std::shared_ptr<WbemObject> ExecMethod(const QString& className, const QString& keyName,
                                           const QString& keyValue, const QString& methodName,
                                           const WbemObject* inParameters) override;

    // The backlight devices were added, removed or changed (a hot-plug
    // event): the next write reads the device afresh.
    void ForgetDevices();

    // Writes a percent to the named device (what WmiSetBrightness does).
    void WritePercent(const QString& name, int percent);
    void SetPercent(const QString& instance, int percent) override { WritePercent(instance, percent); }
    // The active device as it reads now (the folder is read afresh).
    std::optional<BrightnessReading> Active() override;

private:
    BrightnessReading Read(const BacklightDevice& device) const;
    // The named device as last read, read now when it is not known.
    const BacklightDevice& KnownDevice(const QString& name);
    void Remember(const BacklightDevice& device);

    std::shared_ptr<WbemObject> MethodsInstance(const QString& name) const;

    BacklightOptions options_;
    std::shared_ptr<BrightnessWriter> writer_;
    std::optional<BacklightDevice> known_;
    // The methods object of the device last asked for, filled in once; each
    // Get hands out a copy of it.
    mutable QString methodsName_;
    mutable std::shared_ptr<const WbemObject> methods_;
};

} // namespace lumora
