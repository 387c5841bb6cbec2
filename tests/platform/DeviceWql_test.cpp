#include "platform/device/CimValue.h"
#include "platform/device/WbemError.h"
#include "platform/device/WbemObjectPath.h"
#include "platform/device/WqlQuery.h"

#include <gtest/gtest.h>

using namespace lumora;

namespace {

TWbemErrorCode ErrorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const EWbemError& e) {
        return e.ErrorCode();
    }
    return TWbemErrorCode(0);
}

} // namespace

TEST(DeviceWql, ParsesTheStartUpQuery)
{
    const WqlQuery q = ParseWql("SELECT * FROM WmiMonitorBrightness WHERE Active = True");
    EXPECT_TRUE(q.AllProperties);
    EXPECT_EQ(q.ClassName, "WmiMonitorBrightness");
    ASSERT_EQ(q.Conditions.size(), 1u);
    EXPECT_EQ(q.Conditions[0].Property, "Active");
    EXPECT_EQ(q.Conditions[0].Literal, CimScalar(true));
}

TEST(DeviceWql, AcceptsPropertyListsLiteralsAndAnyKeywordCase)
{
    const WqlQuery q = ParseWql(
        "  select Levels,InstanceName , Level from C where A = false and B=-12 AND C = 'it\\'s' and D=\"x y\" "
        "and E = 2.5e3 and F = 18446744073709551615  ");
    EXPECT_FALSE(q.AllProperties);
    EXPECT_EQ(q.Properties, QStringList({"Levels", "InstanceName", "Level"}));
    ASSERT_EQ(q.Conditions.size(), 6u);
    EXPECT_EQ(q.Conditions[0].Literal, CimScalar(false));
    EXPECT_EQ(q.Conditions[1].Literal, CimScalar(std::int64_t(-12)));
    EXPECT_EQ(q.Conditions[2].Literal, CimScalar(QString("it's")));
    EXPECT_EQ(q.Conditions[3].Literal, CimScalar(QString("x y")));
    EXPECT_EQ(q.Conditions[4].Literal, CimScalar(2500.0));
    EXPECT_EQ(q.Conditions[5].Literal, CimScalar(std::uint64_t(18446744073709551615u)));
}

TEST(DeviceWql, RejectsEverythingOutsideTheSubsetAsInvalidQuery)
{
    const char* rejected[] = {
        "",
        "SELECT",
        "SELECT * FROM",
        "SELECT FROM C",
        "SELECT *, A FROM C",
        "SELECT A, FROM C",
        "SELECT * FROM C WHERE",
        "SELECT * FROM C WHERE A",
        "SELECT * FROM C WHERE A =",
        "SELECT * FROM C WHERE A = True OR B = 1",
        "SELECT * FROM C WHERE A <> 1",
        "SELECT * FROM C WHERE A = 1 AND",
        "SELECT * FROM C WHERE A = 'open",
        "SELECT * FROM C WHERE A = 'x\\",
        "SELECT * FROM C WHERE A = 12abc",
        "SELECT * FROM C WHERE A = 99999999999999999999999",
        "SELECT * FROM C WHERE A = 1e999",
        "SELECT * FROM C WHERE A = -",
        "SELECT * FROM C WHERE A = NULL",
        "SELECT * FROM C WHERE A = B",
        "SELECT * FROM C extra",
        "SELECT * FROM C; DROP",
        "SELECT * FROM 1C",
        "SELECT * FROM Where",
        "DELETE FROM C",
        "ASSOCIATORS OF {C}",
        "SELECT * FROM C WHERE A = True\x01",
    };
    for (const char* text : rejected) {
        EXPECT_EQ(ErrorOf([&] { ParseWql(QString::fromLatin1(text)); }), wbemErrInvalidQuery) << text;
    }
    try {
        ParseWql("SELECT * FROM");
    } catch (const EWbemError& e) {
        EXPECT_EQ(e.Message(), "Invalid query");
    }
}

TEST(DeviceWql, ComparesValuesByKindAndTextsWithoutCase)
{
    EXPECT_TRUE(WqlValueMatches(CimValue::Boolean(true), CimScalar(true)));
    EXPECT_FALSE(WqlValueMatches(CimValue::Boolean(true), CimScalar(false)));
    EXPECT_FALSE(WqlValueMatches(CimValue::Boolean(true), CimScalar(std::int64_t(1))));
    EXPECT_TRUE(WqlValueMatches(CimValue::String("Intel_Backlight"), CimScalar(QString("intel_backlight"))));
    EXPECT_TRUE(WqlValueMatches(CimValue::Uint8(70), CimScalar(std::int64_t(70))));
    EXPECT_TRUE(WqlValueMatches(CimValue::Uint8(70), CimScalar(70.0)));
    EXPECT_FALSE(WqlValueMatches(CimValue::Uint8(70), CimScalar(std::int64_t(-186))));
    EXPECT_FALSE(WqlValueMatches(CimValue::Uint8(70), CimScalar(QString("70"))));
    EXPECT_FALSE(WqlValueMatches(CimValue::Null(wbemCimtypeUint8), CimScalar(std::int64_t(0))));
    EXPECT_TRUE(WqlValueMatches(CimValue(wbemCimtypeUint64, CimScalar(std::uint64_t(18446744073709551615u))),
                                CimScalar(std::uint64_t(18446744073709551615u))));
}

TEST(DeviceWql, ObjectPathsWithQuotedAndNumericKeys)
{
    WbemObjectPath p = ParseObjectPath("WmiMonitorBrightnessMethods.InstanceName='DISPLAY\\ABC\\1&0'");
    EXPECT_EQ(p.ClassName, "WmiMonitorBrightnessMethods");
    EXPECT_EQ(p.KeyName, "InstanceName");
    EXPECT_EQ(p.KeyValue, QString("DISPLAY\\ABC\\1&0"));
    EXPECT_EQ(ParseObjectPath("C.K=\"a\\\"b\\\\c\"").KeyValue, QString("a\"b\\c"));
    EXPECT_EQ(ParseObjectPath("C.K=-42").KeyValue, QString("-42"));
    EXPECT_FALSE(ParseObjectPath("C").KeyValue.has_value());
    for (const char* bad : {"", ".K='x'", "C.", "C.K", "C.K=", "C.K='x", "C.K='x'y", "C.K=\"x", "C K='x'", "C.K=x"})
        EXPECT_EQ(ErrorOf([&] { ParseObjectPath(bad); }), wbemErrInvalidObjectPath) << bad;
}

TEST(DeviceWql, AnObjectPathParsedAgainReadsAsItSays)
{
    // The last path parsed is kept: paths that follow one another, the same
    // again, another, and a broken one, each read as their own text says.
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(ParseObjectPath("C.K='a'").KeyValue, QString("a"));
        EXPECT_EQ(ParseObjectPath("C.K='a'").KeyValue, QString("a"));
        EXPECT_EQ(ParseObjectPath("D.L='b'").ClassName, "D");
        EXPECT_EQ(ErrorOf([&] { ParseObjectPath("C.K='a"); }), wbemErrInvalidObjectPath);
        EXPECT_EQ(ParseObjectPath("D.L='b'").KeyName, "L");
        EXPECT_FALSE(ParseObjectPath("C").KeyValue.has_value());
    }
    EXPECT_EQ(ErrorOf([&] { ParseObjectPath(QString()); }), wbemErrInvalidObjectPath);
    EXPECT_EQ(ErrorOf([&] { ParseObjectPath(""); }), wbemErrInvalidObjectPath);
}

TEST(DeviceCimValue, ConstructionAndConversionKeepValuesInsideTheirType)
{
    EXPECT_EQ(ErrorOf([] { CimValue(wbemCimtypeUint8, CimScalar(std::int64_t(256))); }), wbemErrTypeMismatch);
    EXPECT_EQ(ErrorOf([] { CimValue(wbemCimtypeUint8, CimScalar(std::int64_t(-1))); }), wbemErrTypeMismatch);
    EXPECT_EQ(ErrorOf([] { CimValue(wbemCimtypeSint8, CimScalar(std::int64_t(-129))); }), wbemErrTypeMismatch);
    EXPECT_EQ(ErrorOf([] { CimValue(wbemCimtypeBoolean, CimScalar(QString("True"))); }), wbemErrTypeMismatch);
    EXPECT_EQ(ErrorOf([] { CimValue(wbemCimtypeUint8, {CimScalar(std::uint64_t(1)), CimScalar(std::uint64_t(999))}); }),
              wbemErrTypeMismatch);

    const CimValue brightness = CimValue::Sint32(30).ConvertedTo(wbemCimtypeUint8);
    EXPECT_EQ(brightness.Type(), wbemCimtypeUint8);
    EXPECT_EQ(brightness.Scalar(), CimScalar(std::uint64_t(30)));
    EXPECT_EQ(CimValue::Uint8(0).ConvertedTo(wbemCimtypeUint32), CimValue::Uint32(0));
    EXPECT_EQ(ErrorOf([] { CimValue::Sint32(300).ConvertedTo(wbemCimtypeUint8); }), wbemErrTypeMismatch);
    EXPECT_EQ(ErrorOf([] { CimValue::Sint32(-1).ConvertedTo(wbemCimtypeUint32); }), wbemErrTypeMismatch);
    EXPECT_EQ(CimValue::Sint32(3).ConvertedTo(wbemCimtypeReal64).Scalar(), CimScalar(3.0));
    EXPECT_TRUE(CimValue::Null(wbemCimtypeUint8, true).ConvertedTo(wbemCimtypeSint32).IsArray());
}
