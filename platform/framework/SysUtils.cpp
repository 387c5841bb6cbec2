#include "platform/framework/SysUtils.h"

#include "platform/framework/Exception.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

namespace lumora {

namespace {

std::optional<int> ParseInt(const QString& text)
{
    const int n = int(text.size());
    int i = 0;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == n)
        return std::nullopt;
    std::int64_t magnitude = 0;
    for (; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        magnitude = magnitude * 10 + (c - u'0');
        // One past INT_MAX is still fine for a negative number.
        if (magnitude > std::int64_t(std::numeric_limits<int>::max()) + 1)
            return std::nullopt;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(value);
}

std::int64_t Saturate(double value)
{
    if (std::isnan(value))
        return 0;
    // 2^63 is exactly representable; anything at or above it does not fit.
    constexpr double kLimit = 9223372036854775808.0;
    if (value >= kLimit)
        return std::numeric_limits<std::int64_t>::max();
    if (value < -kLimit)
        return std::numeric_limits<std::int64_t>::min();
    return std::int64_t(value);
}

} // namespace

QString IntToStr(std::int64_t value) { return QString::number(value); }

QString Trim(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first].unicode() <= u' ')
        ++first;
    while (last > first && text[last - 1].unicode() <= u' ')
        --last;
    return text.mid(first, last - first);
}

int StrToInt(const QString& text)
{
    if (const auto value = ParseInt(text))
        return *value;
    throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
}

int StrToIntDef(const QString& text, int fallback) { return ParseInt(text).value_or(fallback); }

int TextToInt(const QString& text)
{
    const QString trimmed = Trim(text);
    if (trimmed.isEmpty() || trimmed.compare(QLatin1String("NULL"), Qt::CaseInsensitive) == 0)
        return 0;
    return StrToInt(trimmed);
}

std::int64_t Round(double value)
{
    // nearbyint rounds in the current mode, which is to-nearest-even unless
    // someone changed it; remainder-based rounding does not depend on that.
    if (std::isnan(value) || std::isinf(value))
        return Saturate(value);
    const double floor = std::floor(value);
    const double diff = value - floor;
    double result = floor;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(floor, 2.0) != 0.0))
        result = floor + 1.0;
    return Saturate(result);
}

std::int64_t Trunc(double value) { return Saturate(std::trunc(value)); }

void RaiseLastOSError(int code)
{
    throw EOSError(QStringLiteral("System Error.  Code: %1.\n%2").arg(code).arg(QString::fromLocal8Bit(std::strerror(code))));
}

bool SameText(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

QString StringReplace(const QString& text, const QString& from, const QString& to, int flags)
{
    if (from.isEmpty())
        return text;
    const Qt::CaseSensitivity cs = (flags & rfIgnoreCase) != 0 ? Qt::CaseInsensitive : Qt::CaseSensitive;
    if ((flags & rfReplaceAll) != 0)
        return QString(text).replace(from, to, cs);
    const qsizetype at = text.indexOf(from, 0, cs);
    return at < 0 ? text : QString(text).replace(at, from.size(), to);
}

QString ExtractFileName(const QString& path) { return path.mid(path.lastIndexOf(u'/') + 1); }

QString ExtractFilePath(const QString& path) { return path.left(path.lastIndexOf(u'/') + 1); }

QString ExtractFileExt(const QString& path)
{
    const QString name = ExtractFileName(path);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot);
}

int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const std::int64_t product = std::int64_t(a) * b;
    std::int64_t quotient = product / c;
    const std::int64_t remainder = product % c;
    // Round half away from zero: compare twice the remainder with the divisor.
    if (2 * std::llabs(remainder) >= std::llabs(std::int64_t(c)))
        quotient += ((product < 0) != (c < 0)) ? -1 : 1;
    if (quotient > std::numeric_limits<int>::max() || quotient < std::numeric_limits<int>::min())
        return -1;
    return int(quotient);
}

} // namespace lumora
