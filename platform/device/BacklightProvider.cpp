#include "platform/device/BacklightProvider.h"

#include "platform/device/LogindSession.h"
#include "platform/device/SysfsBrightnessWriter.h"
#include "platform/device/WbemError.h"

namespace lumora {

namespace {

const QString kBrightnessClass = QStringLiteral("WmiMonitorBrightness");
const QString kMethodsClass = QStringLiteral("WmiMonitorBrightnessMethods");
const QString kSetBrightness = QStringLiteral("WmiSetBrightness");
const QString kKey = QStringLiteral("InstanceName");

bool Same(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

QString RelPath(const QString& className, const QString& instanceName)
{
    QString escaped = instanceName;
    escaped.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    return className + QStringLiteral(".InstanceName=\"") + escaped + u'"';
}

WbemObject BrightnessDefinition()
{
    WbemObject definition(kBrightnessClass);
    WbemPropertySet& p = definition.Properties_();
    p.Add(QStringLiteral("Active"), CimValue::Null(wbemCimtypeBoolean));
    p.Add(QStringLiteral("CurrentBrightness"), CimValue::Null(wbemCimtypeUint8));
    p.Add(kKey, CimValue::Null(wbemCimtypeString));
    p.Add(QStringLiteral("Level"), CimValue::Null(wbemCimtypeUint8, true));
    p.Add(QStringLiteral("Levels"), CimValue::Null(wbemCimtypeUint32));
    return definition;
}

WbemObject MethodsDefinition()
{
    WbemObject definition(kMethodsClass);
    definition.Properties_().Add(QStringLiteral("Active"), CimValue::Null(wbemCimtypeBoolean));
    definition.Properties_().Add(kKey, CimValue::Null(wbemCimtypeString));
    auto in = std::make_shared<WbemObject>(QStringLiteral("__PARAMETERS"));
    in->Properties_().Add(QStringLiteral("Brightness"), CimValue::Null(wbemCimtypeUint8));
    in->Properties_().Add(QStringLiteral("Timeout"), CimValue::Null(wbemCimtypeUint32));
    definition.Methods_().Add(WbemMethod(kSetBrightness, in));
    return definition;
}

} // namespace

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
    // Built once; the instances copy them, and clone the in-parameter object
    // they hand out.
    static const WbemObject brightness = BrightnessDefinition();
    static const WbemObject methods = MethodsDefinition();
    if (Same(className, kBrightnessClass))
        return brightness;
    if (Same(className, kMethodsClass))
        return methods;
    throw EWbemError(wbemErrInvalidClass);
}

std::shared_ptr<WbemObject> BacklightProvider::BrightnessInstance(const BacklightDevice& device) const
{
    const int current = RawToPercent(ReadCurrentRaw(device), device.MaxBrightness);
    std::vector<CimScalar> levels;
    for (int percent : LevelPercents(options_.Levels))
        levels.emplace_back(std::uint64_t(percent));

    auto object = std::make_shared<WbemObject>(ClassDefinition(kBrightnessClass));
    WbemPropertySet& p = object->Properties_();
    p.Item(QStringLiteral("Active")).SetValue(CimValue::Boolean(true));
    p.Item(QStringLiteral("CurrentBrightness")).SetValue(CimValue::Uint8(std::uint8_t(current)));
    p.Item(kKey).SetValue(CimValue::String(device.Name));
    p.Item(QStringLiteral("Level")).SetValue(CimValue(wbemCimtypeUint8, std::move(levels)));
    p.Item(QStringLiteral("Levels")).SetValue(CimValue::Uint32(std::uint32_t(options_.Levels)));
    object->SetRelPath(RelPath(kBrightnessClass, device.Name));
    return object;
}

std::shared_ptr<WbemObject> BacklightProvider::MethodsInstance(const QString& name) const
{
    // A copy with in-parameters of its own: callers fill them in place.
    std::shared_ptr<WbemObject> object = ClassDefinition(kMethodsClass).Clone();
    object->Properties_().Item(QStringLiteral("Active")).SetValue(CimValue::Boolean(true));
    object->Properties_().Item(kKey).SetValue(CimValue::String(name));
    object->SetRelPath(RelPath(kMethodsClass, name));
    return object;
}

std::vector<std::shared_ptr<WbemObject>> BacklightProvider::Instances(const QString& className)
{
    ClassDefinition(className);
    const std::optional<BacklightDevice> active = FindActiveBacklight(options_.Root);
    if (!active)
        return {};
    Remember(*active);
    if (Same(className, kBrightnessClass))
        return {BrightnessInstance(*active)};
    return {MethodsInstance(active->Name)};
}

std::shared_ptr<WbemObject> BacklightProvider::GetInstance(const QString& className, const QString& keyName,
                                                           const QString& keyValue)
{
    ClassDefinition(className);
    if (!Same(keyName, kKey))
        throw EWbemError(wbemErrInvalidObjectPath);
    // Any device of the folder can be addressed by name, not only the active
    // one. The methods object reads nothing: the method call reads the device
    // and reports a missing one by its path.
    if (Same(className, kBrightnessClass)) {
        const BacklightDevice device = OpenBacklight(options_.Root, keyValue);
        Remember(device);
        return BrightnessInstance(device);
    }
    if (!IsSafeDeviceName(keyValue))
        throw EWbemError(wbemErrNotFound);
    return MethodsInstance(keyValue);
}

std::shared_ptr<WbemObject> BacklightProvider::ExecMethod(const QString& className, const QString& keyName,
                                                          const QString& keyValue, const QString& methodName,
                                                          const WbemObject* inParameters)
{
    if (!Same(className, kMethodsClass) || !Same(methodName, kSetBrightness))
        throw EWbemError(wbemErrInvalidMethod);
    if (!Same(keyName, kKey))
        throw EWbemError(wbemErrInvalidObjectPath);
    if (inParameters == nullptr)
        throw EWbemError(wbemErrInvalidParameter);
    const WbemProperty* brightness = inParameters->Properties_().Find(QStringLiteral("Brightness"));
    if (brightness == nullptr || brightness->Value().IsNull() || brightness->IsArray())
        throw EWbemError(wbemErrInvalidParameter);
    const std::optional<std::int64_t> percent = CimValue::ToInt64(brightness->Value().Scalar());
    if (!percent || *percent < 0 || *percent > 100)
        throw EWbemError(wbemErrInvalidParameter);

    WritePercent(keyValue, int(*percent));
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
