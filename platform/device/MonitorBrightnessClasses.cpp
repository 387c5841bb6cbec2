#include "platform/device/MonitorBrightnessClasses.h"

#include "platform/device/BacklightDevice.h"
#include "platform/device/WbemError.h"

namespace lumora {

namespace {

QString RelPath(const QString& className, const QString& instanceName)
{
    QString escaped = instanceName;
    escaped.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    return className + QStringLiteral(".InstanceName=\"") + escaped + u'"';
}

WbemObject BrightnessDefinition()
{
    WbemObject definition(kMonitorBrightnessClass);
    WbemPropertySet& p = definition.Properties_();
    p.Add(QStringLiteral("Active"), CimValue::Null(wbemCimtypeBoolean));
    p.Add(QStringLiteral("CurrentBrightness"), CimValue::Null(wbemCimtypeUint8));
    p.Add(kInstanceNameKey, CimValue::Null(wbemCimtypeString));
    p.Add(QStringLiteral("Level"), CimValue::Null(wbemCimtypeUint8, true));
    p.Add(QStringLiteral("Levels"), CimValue::Null(wbemCimtypeUint32));
    return definition;
}

WbemObject MethodsDefinition()
{
    WbemObject definition(kMonitorBrightnessMethodsClass);
    definition.Properties_().Add(QStringLiteral("Active"), CimValue::Null(wbemCimtypeBoolean));
    definition.Properties_().Add(kInstanceNameKey, CimValue::Null(wbemCimtypeString));
    auto in = std::make_shared<WbemObject>(QStringLiteral("__PARAMETERS"));
    in->Properties_().Add(QStringLiteral("Brightness"), CimValue::Null(wbemCimtypeUint8));
    in->Properties_().Add(QStringLiteral("Timeout"), CimValue::Null(wbemCimtypeUint32));
    definition.Methods_().Add(WbemMethod(kSetBrightnessMethod, in));
    return definition;
}

} // namespace

const WbemObject& MonitorBrightnessClassDefinition(const QString& className)
{
    // Built once; the instances copy them, and clone the in-parameter object
    // they hand out.
    static const WbemObject brightness = BrightnessDefinition();
    static const WbemObject methods = MethodsDefinition();
    if (SameWbemName(className, kMonitorBrightnessClass))
        return brightness;
    if (SameWbemName(className, kMonitorBrightnessMethodsClass))
        return methods;
    throw EWbemError(wbemErrInvalidClass);
}

std::shared_ptr<WbemObject> MonitorBrightnessInstance(const QString& instanceName, bool active, int currentPercent,
                                                      int levels)
{
    std::vector<CimScalar> values;
    for (int percent : LevelPercents(levels))
        values.emplace_back(std::uint64_t(percent));

    auto object = std::make_shared<WbemObject>(MonitorBrightnessClassDefinition(kMonitorBrightnessClass));
    WbemPropertySet& p = object->Properties_();
    p.Item(QStringLiteral("Active")).SetValue(CimValue::Boolean(active));
    p.Item(QStringLiteral("CurrentBrightness")).SetValue(CimValue::Uint8(std::uint8_t(currentPercent)));
    p.Item(kInstanceNameKey).SetValue(CimValue::String(instanceName));
    p.Item(QStringLiteral("Level")).SetValue(CimValue(wbemCimtypeUint8, std::move(values)));
    p.Item(QStringLiteral("Levels")).SetValue(CimValue::Uint32(std::uint32_t(levels)));
    object->SetRelPath(RelPath(kMonitorBrightnessClass, instanceName));
    return object;
}

std::shared_ptr<WbemObject> MonitorBrightnessMethodsInstance(const QString& instanceName, bool active)
{
    // A copy with in-parameters of its own: callers fill them in place.
    std::shared_ptr<WbemObject> object = MonitorBrightnessClassDefinition(kMonitorBrightnessMethodsClass).Clone();
    object->Properties_().Item(QStringLiteral("Active")).SetValue(CimValue::Boolean(active));
    object->Properties_().Item(kInstanceNameKey).SetValue(CimValue::String(instanceName));
    object->SetRelPath(RelPath(kMonitorBrightnessMethodsClass, instanceName));
    return object;
}

int RequestedBrightnessPercent(const QString& className, const QString& keyName, const QString& methodName,
                               const WbemObject* inParameters)
{
    if (!SameWbemName(className, kMonitorBrightnessMethodsClass) || !SameWbemName(methodName, kSetBrightnessMethod))
        throw EWbemError(wbemErrInvalidMethod);
    if (!SameWbemName(keyName, kInstanceNameKey))
        throw EWbemError(wbemErrInvalidObjectPath);
    if (inParameters == nullptr)
        throw EWbemError(wbemErrInvalidParameter);
    const WbemProperty* brightness = inParameters->Properties_().Find(QStringLiteral("Brightness"));
    if (brightness == nullptr || brightness->Value().IsNull() || brightness->IsArray())
        throw EWbemError(wbemErrInvalidParameter);
    const std::optional<std::int64_t> percent = CimValue::ToInt64(brightness->Value().Scalar());
    if (!percent || *percent < 0 || *percent > 100)
        throw EWbemError(wbemErrInvalidParameter);
    return int(*percent);
}

} // namespace lumora
