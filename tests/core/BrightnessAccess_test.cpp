#include "platform/DeviceStandIn.h"

#include "core/BrightnessAccess.h"
#include "platform/device/BacklightProvider.h"
#include "platform/device/SysfsBrightnessWriter.h"
#include "platform/device/WbemError.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace lumora;
using lumora::test::BacklightStandIn;

namespace {

// A provider answering fixed monitor objects and recording every call.
class RecordingProvider : public WbemProvider {
public:
    std::vector<std::shared_ptr<WbemObject>> monitors;
    int calls = 0;
    QStringList methodCalls;
    WbemObject monitorClass{"WmiMonitorBrightness"};
    WbemObject methodsClass{"WmiMonitorBrightnessMethods"};

    QString Namespace() const override { return "root\\wmi"; }

    RecordingProvider()
    {
        monitorClass.Properties_().Add("Active", CimValue::Null(wbemCimtypeBoolean));
        monitorClass.Properties_().Add("InstanceName", CimValue::Null(wbemCimtypeString));
        auto in = std::make_shared<WbemObject>("__PARAMETERS");
        in->Properties_().Add("Brightness", CimValue::Null(wbemCimtypeUint8));
        in->Properties_().Add("Timeout", CimValue::Null(wbemCimtypeUint32));
        methodsClass.Methods_().Add(WbemMethod("WmiSetBrightness", in));
    }

    const WbemObject& ClassDefinition(const QString& className) const override
    {
        ++const_cast<RecordingProvider*>(this)->calls;
        if (className == "WmiMonitorBrightness")
            return monitorClass;
        if (className == "WmiMonitorBrightnessMethods")
            return methodsClass;
        throw EWbemError(wbemErrInvalidClass);
    }
    std::vector<std::shared_ptr<WbemObject>> Instances(const QString&) override
    {
        ++calls;
        return monitors;
    }
    std::shared_ptr<WbemObject> GetInstance(const QString& className, const QString&, const QString&) override
    {
        ++calls;
        return ClassDefinition(className).Clone();
    }
    std::shared_ptr<WbemObject> ExecMethod(const QString& className, const QString& keyName, const QString& keyValue,
                                           const QString& methodName, const WbemObject* in) override
    {
        ++calls;
        const WbemProperty& b = in->Properties_().Item("Brightness");
        const WbemProperty& t = in->Properties_().Item("Timeout");
        methodCalls << QString("%1.%2='%3' %4 Brightness=%5/%6 Timeout=%7/%8")
                           .arg(className, keyName, keyValue, methodName)
                           .arg(TBrightnessAccess::WmiValueToText(b))
                           .arg(b.CIMType())
                           .arg(TBrightnessAccess::WmiValueToText(t))
                           .arg(t.CIMType());
        return nullptr;
    }
};

std::shared_ptr<WbemObject> Monitor(std::initializer_list<std::pair<QString, CimValue>> properties)
{
    auto object = std::make_shared<WbemObject>("WmiMonitorBrightness");
    for (const auto& [name, value] : properties)
        object->Properties_().Add(name, value);
    return object;
}

CimValue Uint8Array(std::initializer_list<int> values)
{
    std::vector<CimScalar> elements;
    for (int v : values)
        elements.emplace_back(std::uint64_t(v));
    return CimValue(wbemCimtypeUint8, std::move(elements));
}

QString Text(const CimValue& value) { return TBrightnessAccess::WmiValueToText(WbemProperty("P", value)); }

} // namespace

TEST(BrightnessAccess, ElevenLevelsFromTheStandInDeviceAndIndexTenWritesTheMaximum)
{
    BacklightStandIn s;
    s.AddDevice("acpi_video0", "firmware", "937\n", "656\n");
    auto provider = std::make_shared<BacklightProvider>(BacklightOptions{s.Root(), 11},
                                                        std::make_shared<SysfsBrightnessWriter>());
    TBrightnessAccess access(provider);
    access.QueryMonitor();
    EXPECT_EQ(access.MonitorInstanceName, "acpi_video0");
    EXPECT_EQ(access.LevelCount, 11);
    EXPECT_EQ(access.LevelList, QStringList({"0", "10", "20", "30", "40", "50", "60", "70", "80", "90", "100"}));
    EXPECT_EQ(access.RestoreLevel, 70) << "CurrentBrightness is stored unconverted";
    EXPECT_EQ(access.LevelValue(3), 30);
    access.SetBrightness(access.LevelValue(10), access.MonitorInstanceName);
    EXPECT_EQ(s.Read("acpi_video0", "brightness"), "937\n");
    access.SetBrightness(access.LevelValue(0), access.MonitorInstanceName);
    EXPECT_EQ(s.Read("acpi_video0", "brightness"), "9\n") << "level 0 is one percent of the maximum";
    EXPECT_THROW(access.LevelValue(11), Exception);
}

TEST(BrightnessAccess, NoActiveMonitorReadsNullEverywhere)
{
    auto provider = std::make_shared<RecordingProvider>();
    provider->monitors = {Monitor({{"Active", CimValue::Boolean(false)}, {"Levels", CimValue::Uint32(11)}})};
    TBrightnessAccess access(provider);
    access.QueryMonitor();
    EXPECT_EQ(access.MonitorInstanceName, "NULL");
    EXPECT_EQ(access.LevelCount, 0);
    EXPECT_EQ(access.RestoreLevel, 0);
    EXPECT_EQ(access.LevelList, QStringList({"NULL"}));

    BacklightStandIn empty;
    TBrightnessAccess none(std::make_shared<BacklightProvider>(BacklightOptions{empty.Root(), 101},
                                                               std::make_shared<SysfsBrightnessWriter>()));
    none.QueryMonitor();
    EXPECT_EQ(none.LevelCount, 0);
    EXPECT_EQ(none.LevelList, QStringList({"NULL"}));
}

TEST(BrightnessAccess, UpdatingSuppressesEveryCall)
{
    auto provider = std::make_shared<RecordingProvider>();
    TBrightnessAccess access(provider);
    access.SetUpdating(true);
    access.SetBrightness(50, "x");
    access.SetBrightness(-7, "");
    EXPECT_EQ(provider->calls, 0);
    access.SetUpdating(false);
    access.SetBrightness(50, "x");
    EXPECT_GT(provider->calls, 0);
}

TEST(BrightnessAccess, SetBrightnessCallsTheMethodWithTheGivenValueAndTimeoutZero)
{
    auto provider = std::make_shared<RecordingProvider>();
    TBrightnessAccess access(provider);
    access.SetBrightness(30, "DISPLAY\\BOE0812\\4&1&UID_0");
    access.SetBrightness(30, "DISPLAY\\BOE0812\\4&1&UID_0");
    ASSERT_EQ(provider->methodCalls.size(), 2) << "an unchanged value is written again";
    EXPECT_EQ(provider->methodCalls[0], "WmiMonitorBrightnessMethods.InstanceName='DISPLAY\\BOE0812\\4&1&UID_0' "
                                        "WmiSetBrightness Brightness=30/17 Timeout=0/19");
    try {
        access.SetBrightness(300, "x");
        ADD_FAILURE() << "300 does not fit the parameter";
    } catch (const EWbemError& e) {
        EXPECT_EQ(e.Message(), "Type mismatch");
    }
    try {
        access.SetBrightness(30, "it's");
        ADD_FAILURE() << "a quote ends the path's key";
    } catch (const EWbemError& e) {
        EXPECT_EQ(e.Message(), "Invalid object path");
    }
}

TEST(BrightnessAccess, LevelTextSplitsAtBars)
{
    using T = TBrightnessAccess;
    EXPECT_EQ(T::SplitLevelText("0|50|100"), QStringList({"0", "50", "100"}));
    EXPECT_EQ(T::SplitLevelText("0|50|100|"), QStringList({"0", "50", "100"}));
    EXPECT_EQ(T::SplitLevelText("|0|50"), QStringList({"", "0", "50"}));
    EXPECT_EQ(T::SplitLevelText("0||5"), QStringList({"0", "", "5"}));
    EXPECT_EQ(T::SplitLevelText("|"), QStringList({""}));
    EXPECT_EQ(T::SplitLevelText(""), QStringList({""}));
    EXPECT_EQ(T::SplitLevelText("NULL"), QStringList({"NULL"}));
}

TEST(BrightnessAccess, QueryReadsTheFirstActiveMonitorAndKeepsItsLevelTableAsGiven)
{
    auto provider = std::make_shared<RecordingProvider>();
    provider->monitors = {
        Monitor({{"Active", CimValue::Boolean(false)}, {"InstanceName", CimValue::String("off")}}),
        Monitor({{"InstanceName", CimValue::String("first")},
                 {"Active", CimValue::Boolean(true)},
                 {"Levels", CimValue::Uint32(3)},
                 {"CurrentBrightness", CimValue::Uint8(55)},
                 {"Level", Uint8Array({5, 55, 100})}}),
        Monitor({{"Active", CimValue::Boolean(true)}, {"InstanceName", CimValue::String("second")}}),
    };
    TBrightnessAccess access(provider);
    access.QueryMonitor();
    EXPECT_EQ(access.MonitorInstanceName, "first");
    EXPECT_EQ(access.LevelCount, 3);
    EXPECT_EQ(access.RestoreLevel, 55);
    EXPECT_EQ(access.LevelList, QStringList({"5", "55", "100"}));

    // The "Level" property missing: one entry "NULL".
    provider->monitors = {Monitor({{"Active", CimValue::Boolean(true)}, {"Levels", CimValue::Uint32(3)}})};
    access.QueryMonitor();
    EXPECT_EQ(access.LevelList, QStringList({"NULL"}));
    EXPECT_EQ(access.MonitorInstanceName, "NULL");
    // An empty level array: one empty entry.
    provider->monitors = {Monitor({{"Active", CimValue::Boolean(true)}, {"Level", Uint8Array({})}})};
    access.QueryMonitor();
    EXPECT_EQ(access.LevelList, QStringList({""}));
}

TEST(BrightnessAccess, AFailedQueryLeavesTheStateAsItWas)
{
    auto provider = std::make_shared<RecordingProvider>();
    provider->monitors = {Monitor({{"Active", CimValue::Boolean(true)}, {"Levels", CimValue::String("many")}})};
    TBrightnessAccess access(provider);
    access.LevelCount = 4;
    try {
        access.QueryMonitor();
        ADD_FAILURE() << "a text where a number belongs";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'many' is not a valid integer value");
    }
    EXPECT_EQ(access.LevelCount, 4);
    EXPECT_TRUE(access.LevelList.isEmpty());
}

TEST(BrightnessAccess, GetPropertyMatchesTheFirstFilterPropertyExactly)
{
    using T = TBrightnessAccess;
    const WbemObjectSet set({
        Monitor({{"Levels", CimValue::Uint32(1)}}),                                        // no filter property
        Monitor({{"active", CimValue::Boolean(true)}, {"Levels", CimValue::Uint32(2)}}),   // name differs in case
        Monitor({{"Active", CimValue::String("True ")}, {"Levels", CimValue::Uint32(3)}}), // text differs
        Monitor({{"Active", CimValue::Boolean(true)}, {"Levels", CimValue::Uint32(4)}}),
        Monitor({{"Active", CimValue::Boolean(true)}, {"Levels", CimValue::Uint32(5)}}),
    });
    EXPECT_EQ(T::WmiGetProperty(set, "Active", "True", "Levels"), "4");
    EXPECT_EQ(T::WmiGetProperty(set, "Active", "True", "levels"), "NULL");
    EXPECT_EQ(T::WmiGetProperty(set, "Active", "true", "Levels"), "NULL");
    EXPECT_EQ(T::WmiGetProperty(set, "Levels", "1", "Levels"), "1");
    EXPECT_EQ(T::WmiGetProperty(WbemObjectSet(), "Active", "True", "Levels"), "NULL");
}

TEST(BrightnessAccess, ValueTextByCimType)
{
    EXPECT_EQ(Text(CimValue::Null(wbemCimtypeUint8)), "NULL");
    EXPECT_EQ(Text(CimValue::Null(wbemCimtypeObject)), "NULL");
    EXPECT_EQ(Text(CimValue(wbemCimtypeSint16, CimScalar(std::int64_t(-32768)))), "-32768");
    EXPECT_EQ(Text(CimValue(wbemCimtypeSint8, {CimScalar(std::int64_t(-1)), CimScalar(std::int64_t(2))})), "-1|2");
    EXPECT_EQ(Text(Uint8Array({0, 50, 100})), "0|50|100");
    EXPECT_EQ(Text(Uint8Array({})), "");
    EXPECT_EQ(Text(CimValue::Uint32(4000000000u)), "4000000000");
    EXPECT_EQ(Text(CimValue(wbemCimtypeSint64, CimScalar(std::int64_t(-5)))), "-5");
    EXPECT_EQ(Text(CimValue(wbemCimtypeUint64, CimScalar(std::uint64_t(18446744073709551615u)))),
              "18446744073709551615");
    EXPECT_EQ(Text(CimValue(wbemCimtypeReal64, CimScalar(0.1))), "0.1");
    EXPECT_EQ(Text(CimValue(wbemCimtypeReal32, CimScalar(0.1))), "0.100000001490116");
    EXPECT_EQ(Text(CimValue(wbemCimtypeReal64, CimScalar(1e20))), "1E20");
    EXPECT_EQ(Text(CimValue(wbemCimtypeReal64, CimScalar(-1.5e-7))), "-1.5E-7");
    EXPECT_EQ(Text(CimValue(wbemCimtypeReal64, CimScalar(std::nan("")))), "NAN");
    EXPECT_EQ(Text(CimValue::String("a b")), "a b");
    EXPECT_EQ(Text(CimValue(wbemCimtypeString, {CimScalar(QString("a")), CimScalar(QString("b|c"))})), "a|b|c");
    EXPECT_EQ(Text(CimValue::Boolean(true)), "True");
    EXPECT_EQ(Text(CimValue::Boolean(false)), "False");
    EXPECT_EQ(Text(CimValue(wbemCimtypeObject, CimScalar(std::make_shared<const WbemObject>()))), "<CIM Object>");
    EXPECT_EQ(Text(CimValue(wbemCimtypeDatetime, CimScalar(QString("20260101000000.000000+000")))),
              "20260101000000.000000+000");
    EXPECT_EQ(Text(CimValue(wbemCimtypeReference, CimScalar(QString("C.K='x'")))), "C.K='x'");
    EXPECT_EQ(Text(CimValue(wbemCimtypeChar16, CimScalar(std::uint64_t(65)))), "<16-bit char>");
}

TEST(BrightnessAccess, AWriteToAVanishedDeviceRaisesWithItsPath)
{
    BacklightStandIn s;
    s.AddDevice("panel", "raw", "100\n", "50\n");
    TBrightnessAccess access(std::make_shared<BacklightProvider>(BacklightOptions{s.Root(), 101},
                                                                 std::make_shared<SysfsBrightnessWriter>()));
    access.QueryMonitor();
    ASSERT_TRUE(QDir(s.DevicePath("panel")).removeRecursively());
    try {
        access.SetBrightness(access.LevelValue(40), access.MonitorInstanceName);
        ADD_FAILURE() << "the device is gone";
    } catch (const EOSError& e) {
        EXPECT_TRUE(e.Message().contains(s.DevicePath("panel"))) << e.what();
        EXPECT_TRUE(e.Message().endsWith("No such file or directory")) << e.what();
    }
}
