#include "platform/framework/Format.h"

#include "platform/framework/Exception.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace lumora {

namespace {

// A non-negative decimal number 0.d1 d2 d3 ... x 10^Exponent. Digits has no
// leading or trailing zeros; empty Digits is zero.
struct Decimal {
    bool Negative = false;
    QString Digits;
    int Exponent = 0;

    bool IsZero() const { return Digits.isEmpty(); }
};

void StripTrailingZeros(Decimal& d)
{
    while (!d.Digits.isEmpty() && d.Digits.back() == u'0')
        d.Digits.chop(1);
    if (d.Digits.isEmpty())
        d.Exponent = 0;
}

// The finite value with the given number of significant digits (rounded to
// nearest by the C library).
Decimal ToDecimal(double value, int significant = 15)
{
    Decimal d;
    d.Negative = std::signbit(value);
    if (value == 0.0)
        return d;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", std::clamp(significant, 1, 17) - 1, std::fabs(value));
    // buffer is "d.ddde+XX" (or "de+XX" for one digit).
    const char* p = buffer;
    for (; *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9')
            d.Digits.append(QChar(*p));
    }
    d.Exponent = std::atoi(p + 1) + 1;
    StripTrailingZeros(d);
    return d;
}

// Keeps `keep` leading digits, rounding the rest half away from zero.
void RoundToDigits(Decimal& d, int keep)
{
    if (keep >= d.Digits.size())
        return;
    if (keep < 0) {
        d.Digits.clear();
        d.Exponent = 0;
        return;
    }
    const bool up = d.Digits[keep] >= u'5';
    d.Digits.truncate(keep);
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.Digits[i] == u'9') {
            d.Digits[i] = u'0';
            --i;
        }
        if (i >= 0) {
            d.Digits[i] = QChar(d.Digits[i].unicode() + 1);
        } else {
            d.Digits.prepend(u'1');
            ++d.Exponent;
        }
    }
    StripTrailingZeros(d);
}

void RoundToDecimals(Decimal& d, int decimals) { RoundToDigits(d, d.Exponent + decimals); }

// Digits before the decimal point, empty for values below 1.
QString IntegerDigits(const Decimal& d)
{
    if (d.Exponent <= 0)
        return {};
    QString digits = d.Digits.left(d.Exponent);
    return digits.leftJustified(d.Exponent, u'0');
}

// The first `count` digits after the decimal point.
QString FractionDigits(const Decimal& d, int count)
{
    QString digits;
    for (int i = 0; i < count; ++i) {
        const int index = d.Exponent + i;
        digits.append(index >= 0 && index < d.Digits.size() ? d.Digits[index] : QChar(u'0'));
    }
    return digits;
}

QString GroupThousands(const QString& digits)
{
    QString result;
    for (int i = 0; i < digits.size(); ++i) {
        result.append(digits[i]);
        const int remaining = int(digits.size()) - 1 - i;
        if (remaining > 0 && remaining % 3 == 0)
            result.append(u',');
    }
    return result;
}

std::optional<QString> OddValueText(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    return std::nullopt;
}

QString ScientificText(double value, int precision)
{
    Decimal d = ToDecimal(value, precision);
    QString mantissa = d.IsZero() ? QStringLiteral("0") : d.Digits;
    mantissa = mantissa.leftJustified(precision, u'0');
    const int exponent = d.IsZero() ? 0 : d.Exponent - 1;
    QString text = d.Negative && !d.IsZero() ? QStringLiteral("-") : QString();
    text += mantissa.left(1);
    if (precision > 1)
        text += u'.' + mantissa.mid(1);
    text += exponent < 0 ? QStringLiteral("E-") : QStringLiteral("E+");
    text += QString::number(std::abs(exponent)).rightJustified(3, u'0');
    return text;
}

[[noreturn]] void InvalidFormat(const QString& format)
{
    throw EConvertError(QStringLiteral("Format '%1' invalid or incompatible with argument").arg(format));
}

} // namespace

QString FloatToStrG(double value, int precision)
{
    if (auto odd = OddValueText(value))
        return *odd;
    precision = std::clamp(precision, 1, 18);
    const Decimal d = ToDecimal(value, precision);
    if (d.IsZero())
        return QStringLiteral("0");
    QString text = d.Negative ? QStringLiteral("-") : QString();
    if (d.Exponent > precision || d.Exponent < -4) {
        text += d.Digits.left(1);
        if (d.Digits.size() > 1)
            text += u'.' + d.Digits.mid(1);
        text += u'E' + QString::number(d.Exponent - 1);
        return text;
    }
    const QString integer = IntegerDigits(d);
    text += integer.isEmpty() ? QStringLiteral("0") : integer;
    const int fraction = int(d.Digits.size()) - d.Exponent;
    if (fraction > 0)
        text += u'.' + FractionDigits(d, fraction);
    return text;
}

QString FloatToStr(double value) { return FloatToStrG(value, 15); }

QString FloatToStrF(double value, int decimals, bool thousands)
{
    if (auto odd = OddValueText(value))
        return *odd;
    decimals = std::clamp(decimals, 0, 18);
    Decimal d = ToDecimal(value);
    RoundToDecimals(d, decimals);
    QString integer = IntegerDigits(d);
    if (integer.isEmpty())
        integer = QStringLiteral("0");
    QString text = d.Negative && !d.IsZero() ? QStringLiteral("-") : QString();
    text += thousands ? GroupThousands(integer) : integer;
    if (decimals > 0)
        text += u'.' + FractionDigits(d, decimals);
    return text;
}

std::optional<QString> TryFormat(const QString& format, std::initializer_list<TVarRec> args)
{
    try {
        return Format(format, args);
    } catch (const EConvertError&) {
        return std::nullopt;
    }
}

QString Format(const QString& format, std::initializer_list<TVarRec> args)
{
    const std::vector<TVarRec> list(args);
    std::size_t next = 0;
    const int n = int(format.size());
    QString out;

    auto argument = [&]() -> const TVarRec& {
        if (next >= list.size())
            InvalidFormat(format);
        return list[next++];
    };
    auto integerArgument = [&]() -> std::int64_t {
        const auto* value = std::get_if<std::int64_t>(&argument().Value());
        if (value == nullptr)
            InvalidFormat(format);
        return *value;
    };
    auto readNumber = [&](int& i, int& number) {
        if (i < n && format[i] == u'*') {
            number = int(integerArgument());
            ++i;
            return true;
        }
        bool any = false;
        number = 0;
        while (i < n && format[i].isDigit() && format[i].unicode() < 128) {
            number = std::min(number * 10 + (format[i].unicode() - u'0'), 1000000);
            ++i;
            any = true;
        }
        return any;
    };

    for (int i = 0; i < n; ++i) {
        if (format[i] != u'%') {
            out.append(format[i]);
            continue;
        }
        ++i;
        if (i >= n)
            InvalidFormat(format);
        if (format[i] == u'%') {
            out.append(u'%');
            continue;
        }
        // [index:]
        int start = i;
        int number = 0;
        if (format[i] != u'*' && readNumber(i, number) && i < n && format[i] == u':') {
            next = std::size_t(std::max(number, 0));
            ++i;
        } else {
            i = start;
        }
        bool leftAlign = false;
        if (i < n && format[i] == u'-') {
            leftAlign = true;
            ++i;
        }
        int width = 0;
        readNumber(i, width);
        std::optional<int> precision;
        if (i < n && format[i] == u'.') {
            ++i;
            int p = 0;
            readNumber(i, p);
            precision = std::max(p, 0);
        }
        if (i >= n)
            InvalidFormat(format);

        QString piece;
        const char16_t type = format[i].toLower().unicode();
        switch (type) {
        case u'd':
        case u'u':
        case u'x': {
            std::int64_t value = integerArgument();
            const bool negative = type == u'd' && value < 0;
            QString digits;
            if (type == u'd') {
                digits = QString::number(negative ? -(value + 1) + std::uint64_t(1) : std::uint64_t(value));
            } else {
                // Negative values show their 32-bit (or 64-bit) pattern.
                const std::uint64_t bits = value >= INT32_MIN && value < 0 ? std::uint64_t(std::uint32_t(value))
                                                                          : std::uint64_t(value);
                digits = QString::number(bits, type == u'x' ? 16 : 10).toUpper();
            }
            if (precision && digits.size() < *precision)
                digits = digits.rightJustified(*precision, u'0');
            piece = negative ? u'-' + digits : digits;
            break;
        }
        case u'f':
        case u'n':
        case u'g':
        case u'e': {
            const auto* value = std::get_if<double>(&argument().Value());
            if (value == nullptr)
                InvalidFormat(format);
            if (type == u'f' || type == u'n')
                piece = FloatToStrF(*value, precision.value_or(2), type == u'n');
            else if (type == u'g')
                piece = FloatToStrG(*value, precision.value_or(15));
            else
                piece = ScientificText(*value, std::clamp(precision.value_or(15), 1, 18));
            break;
        }
        case u's': {
            const auto* value = std::get_if<QString>(&argument().Value());
            if (value == nullptr)
                InvalidFormat(format);
            piece = precision ? value->left(*precision) : *value;
            break;
        }
        default:
            InvalidFormat(format);
        }
        if (piece.size() < width)
            piece = leftAlign ? piece.leftJustified(width, u' ') : piece.rightJustified(width, u' ');
        out += piece;
    }
    return out;
}

namespace {

// The layout of one section of a float picture.
struct Picture {
    QString Text;
    int IntegerPlaceholders = 0;
    int MinIntegerDigits = 0;
    int MaxDecimals = 0;
    int MinDecimals = 0;
    bool Thousands = false;
    bool Scientific = false;
    int ExponentDigits = 0;
};

bool IsQuote(QChar c) { return c == u'\'' || c == u'"'; }

bool IsExponentAt(const QString& s, int i)
{
    return (s[i] == u'E' || s[i] == u'e') && i + 1 < s.size() && (s[i + 1] == u'+' || s[i + 1] == u'-');
}

std::vector<QString> SplitSections(const QString& picture)
{
    std::vector<QString> sections(1);
    QChar quote;
    for (QChar c : picture) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (IsQuote(c)) {
            quote = c;
        } else if (c == u';') {
            sections.emplace_back();
            continue;
        }
        sections.back().append(c);
    }
    return sections;
}

Picture Analyse(const QString& text)
{
    Picture p;
    p.Text = text;
    bool inFraction = false;
    int firstZero = -1;
    int lastZero = -1;
    QChar quote;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (IsQuote(c)) {
            quote = c;
        } else if (IsExponentAt(text, i) && !p.Scientific) {
            p.Scientific = true;
            int j = i + 2;
            while (j < text.size() && text[j] == u'0') {
                ++p.ExponentDigits;
                ++j;
            }
            i = j - 1;
        } else if (p.Scientific) {
            continue;
        } else if (c == u'.' && !inFraction) {
            inFraction = true;
        } else if (c == u',' && !inFraction) {
            p.Thousands = true;
        } else if (c == u'0' || c == u'#') {
            if (inFraction) {
                ++p.MaxDecimals;
                if (c == u'0')
                    lastZero = p.MaxDecimals;
            } else {
                if (c == u'0' && firstZero < 0)
                    firstZero = p.IntegerPlaceholders;
                ++p.IntegerPlaceholders;
            }
        }
    }
    p.MinIntegerDigits = firstZero < 0 ? 0 : p.IntegerPlaceholders - firstZero;
    p.MinDecimals = std::max(lastZero, 0);
    return p;
}

QString FormatSection(const Picture& p, double value, bool showSign)
{
    const double magnitude = std::fabs(value);
    QString integer;
    QString fraction;
    int exponent = 0;
    bool zero = false;
    if (p.Scientific) {
        const int integerDigits = std::max(1, p.IntegerPlaceholders);
        Decimal d = ToDecimal(magnitude, std::min(17, integerDigits + p.MaxDecimals));
        zero = d.IsZero();
        if (!zero) {
            exponent = d.Exponent - integerDigits;
            d.Exponent = integerDigits;
        }
        integer = IntegerDigits(d);
        fraction = FractionDigits(d, p.MaxDecimals);
    } else {
        Decimal d = ToDecimal(magnitude);
        RoundToDecimals(d, p.MaxDecimals);
        zero = d.IsZero();
        integer = IntegerDigits(d);
        fraction = FractionDigits(d, p.MaxDecimals);
    }
    if (integer.size() < p.MinIntegerDigits)
        integer = integer.rightJustified(p.MinIntegerDigits, u'0');
    while (fraction.size() > p.MinDecimals && fraction.back() == u'0')
        fraction.chop(1);

    QString out = showSign && value < 0 && !zero ? QStringLiteral("-") : QString();
    const int extra = int(integer.size()) - p.IntegerPlaceholders;
    auto emitInteger = [&](int from, int to) {
        for (int j = std::max(from, 0); j < to; ++j) {
            out.append(integer[j]);
            const int remaining = int(integer.size()) - 1 - j;
            if (p.Thousands && remaining > 0 && remaining % 3 == 0)
                out.append(u',');
        }
    };

    const QString& s = p.Text;
    int integerPlaceholder = 0;
    int fractionPlaceholder = 0;
    bool inFraction = false;
    bool exponentDone = false;
    QChar quote;
    for (int i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                out.append(c);
            continue;
        }
        if (IsQuote(c)) {
            quote = c;
        } else if (p.Scientific && !exponentDone && IsExponentAt(s, i)) {
            exponentDone = true;
            out.append(c);
            if (exponent < 0)
                out.append(u'-');
            else if (s[i + 1] == u'+')
                out.append(u'+');
            int j = i + 2;
            while (j < s.size() && s[j] == u'0')
                ++j;
            out += QString::number(std::abs(exponent)).rightJustified(p.ExponentDigits, u'0');
            i = j - 1;
        } else if (exponentDone) {
            out.append(c);
        } else if (c == u'.' && !inFraction) {
            inFraction = true;
            if (p.IntegerPlaceholders == 0)
                emitInteger(0, int(integer.size()));
            if (!fraction.isEmpty())
                out.append(u'.');
        } else if (c == u',' && !inFraction) {
            // Separators are placed by the digits themselves.
        } else if (c == u'0' || c == u'#') {
            if (inFraction) {
                if (fractionPlaceholder < fraction.size())
                    out.append(fraction[fractionPlaceholder]);
                ++fractionPlaceholder;
            } else {
                if (integerPlaceholder == 0)
                    emitInteger(0, extra);
                const int j = extra + integerPlaceholder;
                emitInteger(j, j + 1);
                ++integerPlaceholder;
            }
        } else {
            out.append(c);
        }
    }
    return out;
}

} // namespace

QString FormatFloat(const QString& picture, double value)
{
    if (auto odd = OddValueText(value))
        return *odd;
    if (picture.isEmpty())
        return FloatToStr(value);
    const std::vector<QString> sections = SplitSections(picture);
    if (value < 0 && sections.size() >= 2 && !sections[1].isEmpty())
        return FormatSection(Analyse(sections[1]), value, false);
    if (value == 0 && sections.size() >= 3 && !sections[2].isEmpty())
        return FormatSection(Analyse(sections[2]), value, false);
    return FormatSection(Analyse(sections[0]), value, true);
}

} // namespace lumora
