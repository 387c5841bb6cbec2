#include "platform/device/MonitorSetProvider.h"

#include "platform/device/MonitorBrightnessClasses.h"
#include "platform/device/PanelProvider.h"
#include "platform/device/WbemError.h"

namespace lumora {

namespace {

const QString kDdcPrefix = QStringLiteral("ddc:");

bool IsDdcInstance(const QString& instanceName) { return instanceName.startsWith(kDdcPrefix); }

void SetActiveProperty(WbemObject& object, bool active)
{
    object.Properties_().Item(QStringLiteral("Active")).SetValue(CimValue::Boolean(active));
}

QString InstanceNameOf(const WbemObject& object)
{
    const WbemProperty* name = object.Properties_().Find(kInstanceNameKey);
    if (name == nullptr || name->Value().IsNull() || name->IsArray())
        return QString();
    const CimScalar& scalar = name->Value().Scalar();
    const QString* text = std::get_if<QString>(&scalar);
    return text ? *text : QString();
}

} // namespace

QString DdcInstanceName(const QString& displayId) { return kDdcPrefix + displayId; }

MonitorSetProvider::MonitorSetProvider(std::shared_ptr<WbemProvider> panel, std::shared_ptr<DdcMonitors> ddc, int levels)
    : panel_(std::move(panel)), ddc_(std::move(ddc)), levels_(levels)
{
    if (levels_ < 2 || levels_ > 101) {
        throw Exception(
            QStringLiteral("The number of brightness levels must be from 2 to 101, not %1.").arg(levels_));
    }
    if (auto* panel = dynamic_cast<PanelProvider*>(panel_.get())) {
        connect(panel, &PanelProvider::ChangedElsewhere, this, &MonitorSetProvider::ChangedElsewhere);
        connect(panel, &PanelProvider::DeviceReplaced, this, [this](const QString& from, const QString& to) {
            if (active_ == from)
                active_ = to;
            emit PanelReplaced(from, to);
            emit MonitorsChanged();
        });
    }
    if (ddc_) {
        connect(ddc_.get(), &DdcMonitors::DetectionFinished, this, &MonitorSetProvider::DetectionFinished);
        connect(ddc_.get(), &DdcMonitors::MonitorFailed, this, &MonitorSetProvider::MonitorFailed);
        connect(ddc_.get(), &DdcMonitors::MonitorsChanged, this, &MonitorSetProvider::MonitorsChanged);
    }
}

void MonitorSetProvider::StartDetection()
{
    if (ddc_) {
        ddc_->StartDetection();
        return;
    }
    noDetection_ = true;
    QMetaObject::invokeMethod(this, [this] { emit DetectionFinished(); }, Qt::QueuedConnection);
}

void MonitorSetProvider::Redetect()
{
    if (ddc_)
        ddc_->Redetect();
}

bool MonitorSetProvider::Detected() const { return ddc_ ? ddc_->Detected() : noDetection_; }

QString MonitorSetProvider::DdcUnavailable() const { return ddc_ && ddc_->Detected() ? ddc_->Unavailable() : QString(); }

QString MonitorSetProvider::PanelInstance() const
{
    if (!panel_)
        return QString();
    for (const std::shared_ptr<WbemObject>& object : panel_->Instances(kMonitorBrightnessClass)) {
        const WbemProperty* active = object->Properties_().Find(QStringLiteral("Active"));
        if (active && !active->Value().IsNull() && active->Value().Scalar() == CimScalar(true))
            return InstanceNameOf(*object);
    }
    return QString();
}

std::vector<MonitorInfo> MonitorSetProvider::Monitors() const
{
    std::vector<MonitorInfo> monitors;
    if (const QString panel = PanelInstance(); !panel.isEmpty())
        monitors.push_back(MonitorInfo{panel, kBuiltInPanelModel, QString(), QString(), true, true, true});
    if (ddc_) {
        for (const DdcMonitorState& m : ddc_->Monitors()) {
            monitors.push_back(MonitorInfo{DdcInstanceName(m.Display.Id), m.Display.Model, m.Display.Serial,
                                           m.Display.Connector, false, m.Answering, m.Maximum > 0});
        }
    }
    return monitors;
}

QString MonitorSetProvider::ActiveInstance() const
{
    if (all_) {
        // A monitor that stops answering stays the one shown: the views do
        // not jump to another monitor's brightness at an outage.
        for (const MonitorInfo& m : Monitors()) {
            if (m.Controllable)
                return m.InstanceName;
        }
        return QString();
    }
    if (!active_.isEmpty())
        return active_;
    const std::vector<MonitorInfo> monitors = Monitors();
    for (const MonitorInfo& m : monitors) {
        if (m.Answering && m.Controllable)
            return m.InstanceName;
    }
    return QString();
}

void MonitorSetProvider::SetActive(const QString& instanceName) { active_ = instanceName; }

void MonitorSetProvider::SetAllMonitors(bool all) { all_ = all; }

const DdcMonitorState* MonitorSetProvider::FindDdc(const std::vector<DdcMonitorState>& monitors,
                                                   const QString& instanceName) const
{
    for (const DdcMonitorState& m : monitors) {
        if (m.Maximum > 0 && DdcInstanceName(m.Display.Id) == instanceName)
            return &m;
    }
    return nullptr;
}

QString MonitorSetProvider::Namespace() const { return QStringLiteral("root\\wmi"); }

const WbemObject& MonitorSetProvider::ClassDefinition(const QString& className) const
{
    return MonitorBrightnessClassDefinition(className);
}

std::vector<std::shared_ptr<WbemObject>> MonitorSetProvider::Instances(const QString& className)
{
    ClassDefinition(className);
    const QString active = ActiveInstance();
    const bool brightness = SameWbemName(className, kMonitorBrightnessClass);
    std::vector<std::shared_ptr<WbemObject>> instances;
    if (panel_) {
        for (std::shared_ptr<WbemObject>& object : panel_->Instances(className)) {
            SetActiveProperty(*object, InstanceNameOf(*object) == active);
            instances.push_back(std::move(object));
        }
    }
    if (ddc_) {
        for (const DdcMonitorState& m : ddc_->Monitors()) {
            if (m.Maximum <= 0)
                continue;
            const QString name = DdcInstanceName(m.Display.Id);
            instances.push_back(brightness ? MonitorBrightnessInstance(name, name == active, m.CurrentPercent, levels_)
                                           : MonitorBrightnessMethodsInstance(name, name == active));
        }
    }
    return instances;
}

std::shared_ptr<WbemObject> MonitorSetProvider::GetInstance(const QString& className, const QString& keyName,
                                                            const QString& keyValue)
{
    ClassDefinition(className);
    if (!SameWbemName(keyName, kInstanceNameKey))
        throw EWbemError(wbemErrInvalidObjectPath);
    if (!IsDdcInstance(keyValue)) {
        if (!panel_)
            throw EWbemError(wbemErrNotFound);
        std::shared_ptr<WbemObject> object = panel_->GetInstance(className, keyName, keyValue);
        SetActiveProperty(*object, keyValue == ActiveInstance());
        return object;
    }
    const std::vector<DdcMonitorState> monitors = ddc_ ? ddc_->Monitors() : std::vector<DdcMonitorState>{};
    const DdcMonitorState* m = FindDdc(monitors, keyValue);
    if (m == nullptr)
        throw EWbemError(wbemErrNotFound);
    const bool active = keyValue == ActiveInstance();
    if (SameWbemName(className, kMonitorBrightnessClass))
        return MonitorBrightnessInstance(keyValue, active, m->CurrentPercent, levels_);
    return MonitorBrightnessMethodsInstance(keyValue, active);
}

std::shared_ptr<WbemObject> MonitorSetProvider::ExecMethod(const QString& className, const QString& keyName,
                                                           const QString& keyValue, const QString& methodName,
                                                           const WbemObject* inParameters)
{
    if (!IsDdcInstance(keyValue)) {
        if (!panel_)
            throw EWbemError(wbemErrNotFound);
        return panel_->ExecMethod(className, keyName, keyValue, methodName, inParameters);
    }
    SetPercent(keyValue, RequestedBrightnessPercent(className, keyName, methodName, inParameters));
    return nullptr;
}

std::optional<BrightnessReading> MonitorSetProvider::Active()
{
    const QString active = ActiveInstance();
    if (!IsDdcInstance(active)) {
        auto* panel = dynamic_cast<BrightnessTargets*>(panel_.get());
        std::optional<BrightnessReading> reading = panel ? panel->Active() : std::nullopt;
        if (!reading || reading->Instance != active)
            return std::nullopt;
        return reading;
    }
    const std::vector<DdcMonitorState> monitors = ddc_ ? ddc_->Monitors() : std::vector<DdcMonitorState>{};
    const DdcMonitorState* m = FindDdc(monitors, active);
    if (m == nullptr)
        return std::nullopt;
    return BrightnessReading{active, levels_, m->CurrentPercent};
}

std::optional<int> MonitorSetProvider::PercentOf(const QString& instance)
{
    if (!IsDdcInstance(instance)) {
        auto* panel = dynamic_cast<BrightnessTargets*>(panel_.get());
        const std::optional<BrightnessReading> reading = panel ? panel->Active() : std::nullopt;
        if (!reading || reading->Instance != instance)
            return std::nullopt;
        return reading->Percent;
    }
    const std::vector<DdcMonitorState> monitors = ddc_ ? ddc_->Monitors() : std::vector<DdcMonitorState>{};
    const DdcMonitorState* m = FindDdc(monitors, instance);
    if (m == nullptr)
        return std::nullopt;
    return m->CurrentPercent;
}

void MonitorSetProvider::SetPercent(const QString& instance, int percent)
{
    if (!IsDdcInstance(instance)) {
        auto* panel = dynamic_cast<BrightnessTargets*>(panel_.get());
        if (panel == nullptr)
            throw EWbemError(wbemErrNotFound);
        panel->SetPercent(instance, percent);
        return;
    }
    const std::vector<DdcMonitorState> monitors = ddc_ ? ddc_->Monitors() : std::vector<DdcMonitorState>{};
    const DdcMonitorState* m = FindDdc(monitors, instance);
    if (m == nullptr)
        throw EWbemError(wbemErrNotFound);
    ddc_->WritePercent(m->Display.Id, percent);
}

} // namespace lumora

namespace lumora {

void MonitorSetProvider::EnsurePercent(const QString& instance, int percent)
{
    if (!IsDdcInstance(instance)) {
        if (PercentOf(instance) != percent)
            SetPercent(instance, percent);
        return;
    }
    const std::vector<DdcMonitorState> monitors = ddc_ ? ddc_->Monitors() : std::vector<DdcMonitorState>{};
    const DdcMonitorState* m = FindDdc(monitors, instance);
    if (m == nullptr)
        throw EWbemError(wbemErrNotFound);
    ddc_->EnsurePercent(m->Display.Id, percent);
}

} // namespace lumora
