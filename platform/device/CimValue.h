#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

namespace lumora {

class WbemObject;

// The CIM type codes the management service publishes for property values.
enum TCimType {
    wbemCimtypeSint16 = 2,
    wbemCimtypeSint32 = 3,
    wbemCimtypeReal32 = 4,
    wbemCimtypeReal64 = 5,
    wbemCimtypeString = 8,
    wbemCimtypeBoolean = 11,
    wbemCimtypeObject = 13,
    wbemCimtypeSint8 = 16,
    wbemCimtypeUint8 = 17,
    wbemCimtypeUint16 = 18,
    wbemCimtypeUint32 = 19,
    wbemCimtypeSint64 = 20,
    wbemCimtypeUint64 = 21,
    wbemCimtypeDatetime = 101,
    wbemCimtypeReference = 102,
    wbemCimtypeChar16 = 103,
};

// One element of a value. Which alternative a type uses:
// signed integers -> int64; unsigned integers and 16-bit characters -> uint64;
// reals -> double; boolean -> bool; string, date-time and reference -> QString;
// object -> an embedded object.
using CimScalar = std::variant<std::int64_t, std::uint64_t, double, bool, QString,
                               std::shared_ptr<const WbemObject>>;

// A property value: a CIM type, and either null, one element or an array.
// Construction checks that every element fits the type, so a value can never
// claim to be an unsigned 8-bit number while holding 300.
class CimValue {
public:
    // A null string.
    CimValue() = default;
    CimValue(TCimType type, CimScalar element);
    CimValue(TCimType type, std::vector<CimScalar> elements);

    static CimValue Null(TCimType type, bool isArray = false);
    static CimValue Boolean(bool value) { return CimValue(wbemCimtypeBoolean, CimScalar(value)); }
    static CimValue String(const QString& value) { return CimValue(wbemCimtypeString, CimScalar(value)); }
    static CimValue Sint32(std::int32_t value) { return CimValue(wbemCimtypeSint32, CimScalar(std::int64_t(value))); }
    static CimValue Uint8(std::uint8_t value) { return CimValue(wbemCimtypeUint8, CimScalar(std::uint64_t(value))); }
    static CimValue Uint32(std::uint32_t value) { return CimValue(wbemCimtypeUint32, CimScalar(std::uint64_t(value))); }

    TCimType Type() const { return type_; }
    bool IsNull() const { return null_; }
    bool IsArray() const { return array_; }
    // The single element of a non-null, non-array value.
    const CimScalar& Scalar() const;
    // The elements of a non-null array; empty for any other value.
    const std::vector<CimScalar>& Elements() const { return elements_; }

    // The value as another CIM type, the way the service converts a value put
    // into a typed property: integers convert while they fit, integers widen to
    // reals, texts stay texts. Anything else raises "Type mismatch".
    CimValue ConvertedTo(TCimType target) const;

    // Whole-number view of an integer element; nullopt for other kinds or when
    // it does not fit.
    static std::optional<std::int64_t> ToInt64(const CimScalar& element);

    friend bool operator==(const CimValue& a, const CimValue& b);

private:
    TCimType type_ = wbemCimtypeString;
    bool null_ = true;
    bool array_ = false;
    // A single value is kept in place, so that setting a number allocates nothing.
    CimScalar scalar_;
    std::vector<CimScalar> elements_;
};

bool IsIntegerCimType(TCimType type);

} // namespace lumora
