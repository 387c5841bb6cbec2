#include "platform/framework/Exception.h"
#include "platform/framework/Format.h"
#include "platform/framework/SysUtils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace lumora;

namespace {

struct FormatRow {
    const char* name;
    QString format;
    std::vector<TVarRec> args;
    QString expected;
};

QString FormatRowText(const FormatRow& row)
{
    switch (row.args.size()) {
    case 0: return Format(row.format, {});
    case 1: return Format(row.format, {row.args[0]});
    case 2: return Format(row.format, {row.args[0], row.args[1]});
    default: return Format(row.format, {row.args[0], row.args[1], row.args[2]});
    }
}

} // namespace

TEST(FrameworkText, FormatTable)
{
    const std::vector<FormatRow> rows = {
        {"integer", "%d", {42}, "42"},
        {"negative-integer", "%d", {-7}, "-7"},
        {"integer-min-digits", "%.3d", {-7}, "-007"},
        {"width-right", "[%5d]", {42}, "[   42]"},
        {"width-left", "[%-5d]", {42}, "[42   ]"},
        {"text", "Profile [%s]", {QString("Night")}, "Profile [Night]"},
        {"text-precision", "%.3s", {QString("abcdef")}, "abc"},
        {"general-integral", "%g %%", {40.0}, "40 %"},
        {"general-fraction", "%g", {12.5}, "12.5"},
        {"general-fifteen-digits", "%g", {100.0 / 3.0}, "33.3333333333333"},
        {"general-zero", "%g", {0.0}, "0"},
        {"general-large", "%g", {1e20}, "1E20"},
        {"fixed-two", "%.2f", {3.14159}, "3.14"},
        {"fixed-default-two", "%f", {2.0}, "2.00"},
        {"fixed-half-away", "%.2f", {2.675}, "2.68"},
        {"fixed-negative-zero", "%.1f", {-0.04}, "0.0"},
        {"thousands", "%n", {1234567.891}, "1,234,567.89"},
        {"hex", "%x", {255}, "FF"},
        {"percent-only", "100%%", {}, "100%"},
        {"index", "%1:s %0:s", {QString("a"), QString("b")}, "b a"},
        {"system-error", "System Error.  Code: %d.", {5}, "System Error.  Code: 5."},
        {"star-width", "%*d", {4, 7}, "   7"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(FormatRowText(row), row.expected) << row.name;
}

TEST(FrameworkText, InvalidFormatsRaiseAndTryFormatGivesNothing)
{
    // Unknown type, missing argument, float for an integer, integer for a
    // float, text for a float, a lone percent at the end.
    const std::vector<FormatRow> rows = {
        {"unknown-type", "%q", {1.0}, ""},
        {"missing-argument", "%g %g", {1.0}, ""},
        {"float-for-integer", "%d", {1.5}, ""},
        {"integer-for-float", "%g", {1}, ""},
        {"text-for-float", "%.2f", {QString("x")}, ""},
        {"trailing-percent", "50%", {}, ""},
    };
    for (const auto& row : rows) {
        EXPECT_THROW(FormatRowText(row), EConvertError) << row.name;
    }
    EXPECT_FALSE(TryFormat("%g db%", {1.0}).has_value());
    EXPECT_EQ(TryFormat("%g db", {1.0}).value_or("?"), "1 db");
    try {
        Format("%d", {1.5});
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Format '%d' invalid or incompatible with argument");
    }
}

TEST(FrameworkText, FloatToStrShortestFifteenDigits)
{
    EXPECT_EQ(FloatToStr(0.0), "0");
    EXPECT_EQ(FloatToStr(-0.0), "0");
    EXPECT_EQ(FloatToStr(12.5), "12.5");
    EXPECT_EQ(FloatToStr(100.0 / 3.0), "33.3333333333333");
    EXPECT_EQ(FloatToStr(-2.0 / 3.0), "-0.666666666666667");
    EXPECT_EQ(FloatToStr(0.1 + 0.2), "0.3");
    EXPECT_EQ(FloatToStr(123456789012345.0), "123456789012345");
    EXPECT_EQ(FloatToStr(1234567890123456.0), "1.23456789012346E15");
    EXPECT_EQ(FloatToStr(0.00001), "0.00001");
    EXPECT_EQ(FloatToStr(0.0000015), "1.5E-6");
    EXPECT_EQ(FloatToStr(std::numeric_limits<double>::quiet_NaN()), "NAN");
    EXPECT_EQ(FloatToStr(-std::numeric_limits<double>::infinity()), "-INF");
}

TEST(FrameworkText, FormatFloatPictures)
{
    struct Row {
        const char* picture;
        double value;
        const char* expected;
    };
    const Row rows[] = {
        {"000.00", 7.5, "007.50"},
        {"000.00", 123.456, "123.46"},
        {"000.00", 1234.5, "1234.50"}, // more digits than places: all shown
        {"0.00", 7.5, "7.50"},
        {"0.00", 0.005, "0.01"},      // halves away from zero
        {"0.00", -0.004, "0.00"},     // rounds to zero: no sign
        {"0.00", -1.5, "-1.50"},
        {"00.00", 7.5, "07.50"},
        {"00.00", 10, "10.00"},
        {"100.00", 5, "105.00"},      // the leading 1 is a literal
        {"100.00", 50, "150.00"},
        {"#", 12.5, "13"},
        {"#", 0, ""},
        {"#.##", 0.5, ".5"},
        {"#,##0", 1234567, "1,234,567"},
        {"#,##0.00", 1234.5, "1,234.50"},
        {"#,##0", 999, "999"},
        {"0.00E+00", 1234.5, "1.23E+03"},
        {"0.0E-0", 0.00012, "1.2E-4"},
        {"\"Lvl \"0", 3, "Lvl 3"},
        {"0;(0);zero", -4, "(4)"},
        {"0;(0);zero", 0, "zero"},
        {"", 12.5, "12.5"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(FormatFloat(row.picture, row.value), row.expected) << row.picture << " " << row.value;
}

TEST(FrameworkText, StrToIntAcceptsDecimalIntegersOnly)
{
    EXPECT_EQ(StrToInt("0"), 0);
    EXPECT_EQ(StrToInt("+12"), 12);
    EXPECT_EQ(StrToInt("-12"), -12);
    EXPECT_EQ(StrToInt("2147483647"), 2147483647);
    EXPECT_EQ(StrToInt("-2147483648"), std::numeric_limits<int>::min());
    for (const char* bad : {"", "-", "+", "12a", " 12", "12 ", "1.5", "2147483648", "-2147483649",
                            "99999999999999999999", "\xd9\xa3"}) {
        try {
            StrToInt(QString::fromUtf8(bad));
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("'%1' is not a valid integer value").arg(QString::fromUtf8(bad)));
        }
    }
    EXPECT_EQ(StrToIntDef("x", 7), 7);
}

TEST(FrameworkText, TextToIntBlankNullSignsAndSpaces)
{
    EXPECT_EQ(TextToInt(""), 0);
    EXPECT_EQ(TextToInt("   \t "), 0);
    EXPECT_EQ(TextToInt("NULL"), 0);
    EXPECT_EQ(TextToInt("null"), 0);
    EXPECT_EQ(TextToInt(" NuLl "), 0);
    EXPECT_EQ(TextToInt(" 60 "), 60);
    EXPECT_EQ(TextToInt("-5"), -5);
    EXPECT_EQ(TextToInt("+5"), 5);
    EXPECT_THROW(TextToInt("NULLX"), EConvertError);
    EXPECT_THROW(TextToInt("- 5"), EConvertError);
    EXPECT_THROW(TextToInt("6 0"), EConvertError);
    try {
        TextToInt("  abc ");
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'abc' is not a valid integer value");
    }
}

TEST(FrameworkText, TrimRemovesBlanksAndControlCharacters)
{
    EXPECT_EQ(Trim(" \t\r\n a b \x01"), "a b");
    EXPECT_EQ(Trim(""), "");
    EXPECT_EQ(Trim(QString::fromUtf8("\xc2\xa0x")), QString::fromUtf8("\xc2\xa0x")); // no-break space is text
}

TEST(FrameworkText, RoundHalfToEven)
{
    EXPECT_EQ(Round(0.5), 0);
    EXPECT_EQ(Round(1.5), 2);
    EXPECT_EQ(Round(2.5), 2);
    EXPECT_EQ(Round(-2.5), -2);
    EXPECT_EQ(Round(5.5), 6);
    EXPECT_EQ(Round(-0.5), 0);
    EXPECT_EQ(Round(-1.5), -2);
    EXPECT_EQ(Round(2.4999999), 2);
    EXPECT_EQ(Round(2.5000001), 3);
    EXPECT_EQ(Round(std::nan("")), 0);
    EXPECT_EQ(Round(1e300), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(Trunc(-2.7), -2);
}

TEST(FrameworkText, MulDivRoundsHalfAwayFromZero)
{
    EXPECT_EQ(MulDiv(13, 96, 120), 10);  // 10.4
    EXPECT_EQ(MulDiv(8, 96, 72), 11);    // 10.67
    EXPECT_EQ(MulDiv(1, 3, 2), 2);       // 1.5
    EXPECT_EQ(MulDiv(-1, 3, 2), -2);
    EXPECT_EQ(MulDiv(5, 5, 0), -1);
    EXPECT_EQ(IntToStr(-12), "-12");
}

TEST(FrameworkText, PathAndReplaceHelpers)
{
    EXPECT_EQ(ExtractFileName("/opt/lumora/Night.PNG"), "Night.PNG");
    EXPECT_EQ(ExtractFilePath("/opt/lumora/Night.PNG"), "/opt/lumora/");
    EXPECT_EQ(ExtractFileExt("/opt/lu.mora/Night"), "");
    EXPECT_EQ(ExtractFileExt("/opt/lumora/Night.PNG"), ".PNG");
    // Every ".png" removed, letter case ignored, as profile names are made.
    EXPECT_EQ(StringReplace("a.png.PNG", ".png", "", rfReplaceAll | rfIgnoreCase), "a");
    EXPECT_EQ(StringReplace("a.png.png", ".png", "", 0), "a.png");
    EXPECT_TRUE(SameText("NULL", "null"));
    try {
        RaiseLastOSError(2);
    } catch (const EOSError& e) {
        EXPECT_TRUE(e.Message().startsWith("System Error.  Code: 2.\n")) << e.Message().toStdString();
    }
}
