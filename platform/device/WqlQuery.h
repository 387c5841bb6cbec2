#pragma once

#include "platform/device/CimValue.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace lumora {

// One "property = literal" test of a WHERE clause. The literal is a bool, an
// int64 (a uint64 above the signed range), a double or a QString.
struct WqlCondition {
    QString Property;
    CimScalar Literal;
};

// The part of the query language this program's services understand:
//   SELECT * | prop [, prop ...] FROM class [WHERE prop = literal [AND ...]]
// Keywords in any letter case; literals are TRUE, FALSE, numbers and strings in
// single or double quotes (backslash escapes the next character).
struct WqlQuery {
    bool AllProperties = false;
    QStringList Properties;
    QString ClassName;
    std::vector<WqlCondition> Conditions;
};

// Parses a query; any other text raises the service's "Invalid query" error.
WqlQuery ParseWql(const QString& text);

// Whether a property value satisfies a condition's literal. Null and array
// values never match; texts compare without regard to letter case; numbers
// compare by value.
bool WqlValueMatches(const CimValue& value, const CimScalar& literal);

} // namespace lumora
