#include "platform/device/PanelProvider.h"

#include "platform/device/MonitorBrightnessClasses.h"
#include "platform/device/SysfsFile.h"
#include "platform/device/WbemError.h"

#include <QFileInfo>

namespace lumora {

namespace {

QString InstanceNameOf(const WbemObject& object)
{
    const WbemProperty* name = object.Properties_().Find(kInstanceNameKey);
    if (name == nullptr || name->Value().IsNull() || name->IsArray())
        return QString();
    const QString* text = std::get_if<QString>(&name->Value().Scalar());
    return text ? *text : QString();
}

bool IsActive(const WbemObject& object)
{
    const WbemProperty* active = object.Properties_().Find(QStringLiteral("Active"));
    return active && !active->Value().IsNull() && active->Value().Scalar() == CimScalar(true);
}

} // namespace

PanelProvider::PanelProvider(std::shared_ptr<BacklightProvider> backlight, BacklightEventSource* events)
    : backlight_(std::move(backlight))
{
    if (events)
        connect(events, &BacklightEventSource::Arrived, this, &PanelProvider::HandleBacklightEvent);
}

void PanelProvider::UseDesktop(DesktopBrightness* service)
{
    if (desktop_ == service)
        return;
    if (desktop_)
        disconnect(desktop_, nullptr, this, nullptr);
    desktop_ = service;
    echoes_.Clear();
    if (desktop_) {
        connect(desktop_, &DesktopBrightness::ValueChanged, this, &PanelProvider::DesktopValueChanged);
        // Queued: the service may notice its silence inside a write of ours.
        connect(desktop_, &DesktopBrightness::StoppedAnswering, this, &PanelProvider::DesktopStoppedAnswering,
                Qt::QueuedConnection);
    }
}

bool PanelProvider::ThroughDesktop() { return desktop_ && desktop_->Maximum() > 0; }

QString PanelProvider::Namespace() const { return QStringLiteral("root\\wmi"); }

const WbemObject& PanelProvider::ClassDefinition(const QString& className) const
{
    return MonitorBrightnessClassDefinition(className);
}

std::shared_ptr<WbemObject> PanelProvider::WithDesktopBrightness(std::shared_ptr<WbemObject> object)
{
    if (!ThroughDesktop() || !object->Properties_().Find(QStringLiteral("CurrentBrightness")))
        return object;
    const int percent = RawToPercent(desktop_->Value(), desktop_->Maximum());
    return MonitorBrightnessInstance(InstanceNameOf(*object), IsActive(*object), percent,
                                     backlight_->Options().Levels);
}

std::vector<std::shared_ptr<WbemObject>> PanelProvider::Instances(const QString& className)
{
    std::vector<std::shared_ptr<WbemObject>> instances = backlight_->Instances(className);
    for (std::shared_ptr<WbemObject>& object : instances) {
        if (IsActive(*object))
            Found(InstanceNameOf(*object));
        object = WithDesktopBrightness(std::move(object));
    }
    return instances;
}

std::optional<BrightnessReading> PanelProvider::Active()
{
    std::optional<BrightnessReading> reading = backlight_->Active();
    if (!reading)
        return std::nullopt;
    Found(reading->Instance);
    if (ThroughDesktop())
        reading->Percent = RawToPercent(desktop_->Value(), desktop_->Maximum());
    return reading;
}

void PanelProvider::Found(const QString& device)
{
    device_ = device;
    gone_ = false;
    reported_ = false;
}

std::shared_ptr<WbemObject> PanelProvider::GetInstance(const QString& className, const QString& keyName,
                                                       const QString& keyValue)
{
    return WithDesktopBrightness(backlight_->GetInstance(className, keyName, keyValue));
}

std::shared_ptr<WbemObject> PanelProvider::ExecMethod(const QString& className, const QString& keyName,
                                                      const QString& keyValue, const QString& methodName,
                                                      const WbemObject* inParameters)
{
    SetPercent(keyValue, RequestedBrightnessPercent(className, keyName, methodName, inParameters));
    return nullptr;
}

void PanelProvider::SetPercent(const QString& instance, int percent)
{
    lastPercent_ = percent;
    if (ThroughDesktop())
        WriteDesktop(percent);
    else
        WriteBacklight(instance, percent);
}

void PanelProvider::WriteDesktop(int percent)
{
    const int maximum = desktop_->Maximum();
    echoes_.Wrote(percent);
    desktop_->SetValue(PercentToRaw(percent, maximum));
}

void PanelProvider::WriteBacklight(const QString& name, int percent)
{
    QString target = name;
    if (gone_) {
        if (!ChooseDevice()) {
            // Said once per outage, with the device's own error; the writes
            // after it wait for a device.
            if (reported_)
                return;
            reported_ = true;
            echoes_.Wrote(percent);
            backlight_->WritePercent(device_, percent);
            return;
        }
        target = device_;
    }
    try {
        echoes_.Wrote(percent);
        backlight_->WritePercent(target, percent);
    } catch (const EOSError&) {
        if (target == device_ && !QFileInfo::exists(backlight_->Options().Root + u'/' + target)) {
            gone_ = true;
            reported_ = true;
        }
        throw;
    }
}

void PanelProvider::DesktopValueChanged(int value)
{
    if (!ThroughDesktop())
        return;
    const int maximum = desktop_->Maximum();
    if (echoes_.IsEcho(value, maximum) || device_.isEmpty())
        return;
    emit ChangedElsewhere(device_, RawToPercent(value, maximum));
}

void PanelProvider::DesktopStoppedAnswering()
{
    // The level last asked for may have gone unanswered with it: the
    // backlight takes it instead.
    if (lastPercent_ < 0 || device_.isEmpty() || ThroughDesktop())
        return;
    WriteBacklight(device_, lastPercent_);
}

void PanelProvider::BacklightChanged(const QString& name)
{
    if (ThroughDesktop() || gone_ || name != device_)
        return; // the desktop's own signal reports it
    const BacklightDevice device = OpenBacklight(backlight_->Options().Root, name);
    // What was written, not what the hardware runs at: that is what our own
    // writes are recognised by.
    const int raw = ReadSysfsInteger(device.Path + QStringLiteral("/brightness"));
    if (echoes_.IsEcho(raw, device.MaxBrightness))
        return;
    emit ChangedElsewhere(device_, RawToPercent(raw, device.MaxBrightness));
}

bool PanelProvider::ChooseDevice()
{
    std::optional<BacklightDevice> chosen;
    try {
        chosen = FindActiveBacklight(backlight_->Options().Root);
    } catch (const EOSError&) {
        // A device folder half there (its files still appearing): the next
        // event or write looks again.
        return false;
    }
    if (!chosen)
        return false;
    backlight_->ForgetDevices();
    gone_ = false;
    reported_ = false;
    echoes_.Clear();
    if (chosen->Name != device_) {
        const QString from = device_;
        device_ = chosen->Name;
        emit DeviceReplaced(from, device_);
    }
    return true;
}

void PanelProvider::HandleBacklightEvent(const BacklightEvent& event)
{
    if (event.Action == BacklightAction::Changed) {
        BacklightChanged(event.Device);
        return;
    }
    if (event.Action == BacklightAction::Removed && event.Device == device_) {
        gone_ = true;
        backlight_->ForgetDevices();
    }
    const QString before = device_;
    const bool wasGone = gone_;
    if (!ChooseDevice())
        return;
    // Back, or another device now: it gets the program's level.
    if ((wasGone || device_ != before) && lastPercent_ >= 0 && !ThroughDesktop())
        WriteBacklight(device_, lastPercent_);
}

} // namespace lumora
