#pragma once

#include <QString>

#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <variant>

namespace lumora {

// One argument of Format: an integer, a floating-point number or a text.
class TVarRec {
public:
    template <std::integral T>
    TVarRec(T value) : value_(std::int64_t(value)) {}
    template <std::floating_point T>
    TVarRec(T value) : value_(double(value)) {}
    TVarRec(const QString& value) : value_(value) {}
    TVarRec(const char* value) : value_(QString::fromUtf8(value)) {}

    const std::variant<std::int64_t, double, QString>& Value() const { return value_; }

private:
    std::variant<std::int64_t, double, QString> value_;
};

// printf-like formatting with the runtime's rules:
//   %[index:][-][width][.precision]type
//   d  integer (precision = minimum digits)      u  unsigned integer
//   x  upper-case hexadecimal                    s  text (precision = maximum length)
//   f  fixed, 2 decimals unless given            n  like f with thousands separators
//   g  general, shortest form, 15 significant digits unless given
//   e  scientific, 15 significant digits unless given
//   %% a percent sign
// Floating-point types need a floating-point argument and integer types an
// integer one; a text or a mismatch, a missing argument or an unknown type
// raises EConvertError "Format '<format>' invalid or incompatible with argument".
QString Format(const QString& format, std::initializer_list<TVarRec> args);

// Format that gives nullopt where Format would raise, for callers whose rule
// is "an invalid format gives an empty text".
std::optional<QString> TryFormat(const QString& format, std::initializer_list<TVarRec> args);

// Shortest text of a number with 15 significant digits: 0, 12.5,
// 33.3333333333333, 1E20, 1.5E-7. "NAN", "INF", "-INF" for the odd values.
QString FloatToStr(double value);

// General format with the given significant digits (1 to 18).
QString FloatToStrG(double value, int precision);

// Fixed format with the given decimals, halves rounded away from zero on the
// 15-digit decimal value (so 2.675 gives 2.68, as the user reads it).
QString FloatToStrF(double value, int decimals, bool thousands = false);

// A number through a picture:
//   0 digit, # digit when significant, . decimal point, , thousands
//   separators, E+ E- e+ e- scientific with the following 0s as exponent
//   digits, ; separates the sections for positive, negative and zero values,
//   '...' and "..." literal text; every other character is literal
//   ("100.00" with 5 gives "105.00"). An empty picture gives FloatToStr.
QString FormatFloat(const QString& picture, double value);

} // namespace lumora
