#include "platform/device/CimValue.h"

#include "platform/device/WbemError.h"

#include <limits>

namespace lumora {

namespace {

struct IntegerRange {
    bool isSigned;
    std::int64_t min;
    std::uint64_t max;
};

std::optional<IntegerRange> RangeOf(TCimType type)
{
    switch (type) {
    case wbemCimtypeSint8: return IntegerRange{true, -128, 127};
    case wbemCimtypeSint16: return IntegerRange{true, -32768, 32767};
    case wbemCimtypeSint32: return IntegerRange{true, std::numeric_limits<std::int32_t>::min(), 2147483647u};
    case wbemCimtypeSint64:
        return IntegerRange{true, std::numeric_limits<std::int64_t>::min(),
                            std::uint64_t(std::numeric_limits<std::int64_t>::max())};
    case wbemCimtypeUint8: return IntegerRange{false, 0, 255};
    case wbemCimtypeUint16: return IntegerRange{false, 0, 65535};
    case wbemCimtypeChar16: return IntegerRange{false, 0, 65535};
    case wbemCimtypeUint32: return IntegerRange{false, 0, 4294967295u};
    case wbemCimtypeUint64: return IntegerRange{false, 0, std::numeric_limits<std::uint64_t>::max()};
    default: return std::nullopt;
    }
}

bool IsTextType(TCimType type)
{
    return type == wbemCimtypeString || type == wbemCimtypeDatetime || type == wbemCimtypeReference;
}

bool IsRealType(TCimType type) { return type == wbemCimtypeReal32 || type == wbemCimtypeReal64; }

// Brings one element into the representation of `type`, or raises "Type mismatch".
CimScalar Coerce(TCimType type, const CimScalar& element)
{
    if (auto range = RangeOf(type)) {
        bool fits = false;
        if (auto s = std::get_if<std::int64_t>(&element))
            fits = *s >= range->min && (*s < 0 || std::uint64_t(*s) <= range->max);
        else if (auto u = std::get_if<std::uint64_t>(&element))
            fits = *u <= range->max;
        if (!fits)
            throw EWbemError(wbemErrTypeMismatch);
        if (range->isSigned) {
            if (auto u = std::get_if<std::uint64_t>(&element))
                return std::int64_t(*u);
            return element;
        }
        if (auto s = std::get_if<std::int64_t>(&element))
            return std::uint64_t(*s);
        return element;
    }
    if (IsRealType(type)) {
        if (auto d = std::get_if<double>(&element))
            return type == wbemCimtypeReal32 ? double(float(*d)) : *d;
        if (auto s = std::get_if<std::int64_t>(&element))
            return double(*s);
        if (auto u = std::get_if<std::uint64_t>(&element))
            return double(*u);
        throw EWbemError(wbemErrTypeMismatch);
    }
    if (IsTextType(type)) {
        if (std::holds_alternative<QString>(element))
            return element;
        throw EWbemError(wbemErrTypeMismatch);
    }
    if (type == wbemCimtypeBoolean) {
        if (std::holds_alternative<bool>(element))
            return element;
        throw EWbemError(wbemErrTypeMismatch);
    }
    if (type == wbemCimtypeObject) {
        if (std::holds_alternative<std::shared_ptr<const WbemObject>>(element))
            return element;
        throw EWbemError(wbemErrTypeMismatch);
    }
    throw EWbemError(wbemErrTypeMismatch);
}

} // namespace

bool IsIntegerCimType(TCimType type)
{
    return RangeOf(type).has_value() && type != wbemCimtypeChar16;
}

CimValue::CimValue(TCimType type, CimScalar element) : type_(type), null_(false), scalar_(Coerce(type, element)) {}

CimValue::CimValue(TCimType type, std::vector<CimScalar> elements) : type_(type), null_(false), array_(true)
{
    elements_.reserve(elements.size());
    for (const CimScalar& e : elements)
        elements_.push_back(Coerce(type, e));
}

CimValue CimValue::Null(TCimType type, bool isArray)
{
    CimValue v;
    v.type_ = type;
    v.array_ = isArray;
    return v;
}

const CimScalar& CimValue::Scalar() const
{
    if (null_ || array_)
        throw EWbemError(wbemErrTypeMismatch);
    return scalar_;
}

CimValue CimValue::ConvertedTo(TCimType target) const
{
    if (target == type_)
        return *this;
    if (null_)
        return Null(target, array_);
    if (array_)
        return CimValue(target, elements_);
    return CimValue(target, scalar_);
}

std::optional<std::int64_t> CimValue::ToInt64(const CimScalar& element)
{
    if (auto s = std::get_if<std::int64_t>(&element))
        return *s;
    if (auto u = std::get_if<std::uint64_t>(&element)) {
        if (*u <= std::uint64_t(std::numeric_limits<std::int64_t>::max()))
            return std::int64_t(*u);
    }
    return std::nullopt;
}

bool operator==(const CimValue& a, const CimValue& b)
{
    return a.type_ == b.type_ && a.null_ == b.null_ && a.array_ == b.array_
        && (a.null_ || a.array_ || a.scalar_ == b.scalar_) && a.elements_ == b.elements_;
}

} // namespace lumora
