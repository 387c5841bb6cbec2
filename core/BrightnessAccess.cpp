#include "core/BrightnessAccess.h"

#include "platform/device/BacklightDevice.h"
#include "platform/device/WbemError.h"
#include "platform/device/WbemLocator.h"
#include "platform/framework/Exception.h"
#include "platform/framework/Format.h"
#include "platform/framework/SysUtils.h"

namespace lumora {

namespace {

const QString kNull = QStringLiteral("NULL");

QString ScalarText(const CimScalar& element)
{
    if (auto s = std::get_if<std::int64_t>(&element))
        return QString::number(*s);
    if (auto u = std::get_if<std::uint64_t>(&element))
        return QString::number(*u);
    if (auto d = std::get_if<double>(&element))
        return FloatToStr(*d);
    if (auto b = std::get_if<bool>(&element))
        return *b ? QStringLiteral("True") : QStringLiteral("False");
    if (auto t = std::get_if<QString>(&element))
        return *t;
    return QString();
}

QString JoinedOrSingle(const CimValue& value)
{
    if (!value.IsArray())
        return ScalarText(value.Scalar());
    QString text;
    bool first = true;
    for (const CimScalar& element : value.Elements()) {
        if (!first)
            text += u'|';
        text += ScalarText(element);
        first = false;
    }
    return text;
}

// The level table of a monitor with `levels` evenly spaced percent levels.
QStringList LevelTexts(int levels)
{
    QStringList texts;
    for (int percent : LevelPercents(levels))
        texts << QString::number(percent);
    return texts;
}

} // namespace

TBrightnessAccess::TBrightnessAccess(std::shared_ptr<WbemProvider> provider)
    : locator_(provider), targets_(dynamic_cast<BrightnessTargets*>(provider.get()))
{
}

WbemObjectSet TBrightnessAccess::WmiQuery(const QString& wmiNamespace, const QString& query) const
{
    const WbemServices services = locator_.ConnectServer(QStringLiteral("."), wmiNamespace, QString(), QString(),
                                                        QString(), QString(), 0);
    return services.ExecQuery(query, QStringLiteral("WQL"), 0);
}

QString TBrightnessAccess::WmiGetProperty(const WbemObjectSet& set, const QString& filterName,
                                          const QString& filterText, const QString& propertyName)
{
    QString result = kNull;
    WbemObjectSet::Enumerator objects = set.NewEnum();

    // First walk: the position (counted from 1) of the first object whose
    // first property named like the filter reads as the filter text.
    int position = 0;
    int match = 0;
    while (std::shared_ptr<WbemObject> object = objects.Next()) {
        ++position;
        for (const WbemProperty& property : object->Properties_()) {
            if (property.Name() != filterName)
                continue;
            if (WmiValueToText(property) == filterText)
                match = position;
            break;
        }
        if (match != 0)
            break;
    }
    if (match == 0)
        return result;

    // Second walk, from the start, to that position.
    objects.Reset();
    position = 0;
    while (std::shared_ptr<WbemObject> object = objects.Next()) {
        ++position;
        if (position != match)
            continue;
        for (const WbemProperty& property : object->Properties_()) {
            if (property.Name() == propertyName) {
                result = WmiValueToText(property);
                break;
            }
        }
    }
    return result;
}

QString TBrightnessAccess::WmiValueToText(const WbemProperty& property)
{
    const CimValue& value = property.Value();
    if (value.IsNull())
        return kNull;
    switch (property.CIMType()) {
    case wbemCimtypeSint16:
    case wbemCimtypeSint32:
    case wbemCimtypeSint8:
    case wbemCimtypeUint8:
    case wbemCimtypeUint16:
    case wbemCimtypeUint32:
    case wbemCimtypeSint64:
    case wbemCimtypeString:
    case wbemCimtypeUint64:
        return JoinedOrSingle(value);
    case wbemCimtypeReal32:
    case wbemCimtypeReal64:
    case wbemCimtypeDatetime:
    case wbemCimtypeReference:
        return value.IsArray() ? QString() : ScalarText(value.Scalar());
    case wbemCimtypeBoolean:
        return value.IsArray() ? QString() : ScalarText(value.Scalar());
    case wbemCimtypeObject:
        return QStringLiteral("<CIM Object>");
    case wbemCimtypeChar16:
        return QStringLiteral("<16-bit char>");
    }
    return QString();
}

QStringList TBrightnessAccess::SplitLevelText(QString text)
{
    QStringList list;
    do {
        const qsizetype bar = text.indexOf(u'|');
        if (bar < 0) {
            list << text;
            text.clear();
        } else {
            list << text.left(bar);
            text.remove(0, bar + 1);
        }
    } while (!text.isEmpty());
    return list;
}

void TBrightnessAccess::QueryMonitor()
{
    if (targets_) {
        // A typed target answers for itself; what it does not have reads
        // as the management query would read it.
        const std::optional<BrightnessReading> active = targets_->Active();
        const BrightnessReading reading = active.value_or(BrightnessReading{kNull, 0, 0});
        MonitorInstanceName = reading.Instance;
        LevelCount = reading.Levels;
        RestoreLevel = reading.Percent;
        LevelList = active ? LevelTexts(reading.Levels) : QStringList{kNull};
        return;
    }
    const QString active = QStringLiteral("Active");
    const QString yes = QStringLiteral("True");
    const WbemObjectSet set =
        WmiQuery(QStringLiteral("root\\wmi"), QStringLiteral("SELECT * FROM WmiMonitorBrightness WHERE Active = True"));
    const QString instanceName = WmiGetProperty(set, active, yes, QStringLiteral("InstanceName"));
    const int levelCount = TextToInt(WmiGetProperty(set, active, yes, QStringLiteral("Levels")));
    const int restoreLevel = TextToInt(WmiGetProperty(set, active, yes, QStringLiteral("CurrentBrightness")));
    const QString levelText = WmiGetProperty(set, active, yes, QStringLiteral("Level"));

    MonitorInstanceName = instanceName;
    LevelCount = levelCount;
    RestoreLevel = restoreLevel;
    LevelList = SplitLevelText(levelText);
}

int TBrightnessAccess::LevelValue(int index) const
{
    if (index < 0 || index >= LevelList.size())
        throw Exception(QStringLiteral("List index out of bounds (%1)").arg(index));
    return TextToInt(LevelList.at(index));
}

std::optional<int> TBrightnessAccess::CurrentBrightness(const QString& instanceName) const
{
    if (targets_) {
        const std::optional<BrightnessReading> active = targets_->Active();
        if (!active || active->Instance != instanceName)
            return std::nullopt;
        return active->Percent;
    }
    const WbemObjectSet set =
        WmiQuery(QStringLiteral("root\\wmi"), QStringLiteral("SELECT * FROM WmiMonitorBrightness WHERE Active = True"));
    const QString text = WmiGetProperty(set, QStringLiteral("InstanceName"), instanceName,
                                        QStringLiteral("CurrentBrightness"));
    if (text == kNull)
        return std::nullopt;
    return TextToInt(text);
}

void TBrightnessAccess::SetBrightness(int value, const QString& instanceName)
{
    if (updating_)
        return;
    if (targets_) {
        // The method's own check of its argument.
        if (value < 0 || value > 100)
            throw EWbemError(wbemErrInvalidParameter);
        targets_->SetPercent(instanceName, value);
        lastWrite_ = TBrightnessWrite{value, instanceName};
        return;
    }
    const WbemServices services = locator_.ConnectServer(QStringLiteral("."), QStringLiteral("root\\wmi"), QString(),
                                                        QString(), QString(), QString(), 0);
    const QString objectPath = QStringLiteral("WmiMonitorBrightnessMethods.InstanceName='") + instanceName + u'\'';
    const std::shared_ptr<WbemObject> methods = services.Get(objectPath, 0);
    const WbemMethod& method = methods->Methods_().Item(QStringLiteral("WmiSetBrightness"));
    // The in-parameters are filled on the method's own object, not on a
    // spawned copy.
    const std::shared_ptr<WbemObject> inParameters = method.InParameters();
    if (!inParameters)
        throw EWbemError(wbemErrInvalidParameter);
    inParameters->Properties_().Item(QStringLiteral("Brightness")).SetValue(CimValue::Sint32(value));
    inParameters->Properties_().Item(QStringLiteral("Timeout")).SetValue(CimValue::Uint8(0));
    services.ExecMethod(objectPath, QStringLiteral("WmiSetBrightness"), inParameters.get(), 0);
    lastWrite_ = TBrightnessWrite{value, instanceName};
}

} // namespace lumora
