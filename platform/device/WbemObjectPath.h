#pragma once

#include <QString>

#include <optional>

namespace lumora {

// A relative object path: "Class" names the class itself,
// "Class.Key='value'", "Class.Key=\"value\"" or "Class.Key=123" one instance.
// In single quotes the value runs to the next quote as it stands; in double
// quotes a backslash takes the next character literally.
struct WbemObjectPath {
    QString ClassName;
    QString KeyName;
    std::optional<QString> KeyValue;
};

// Raises "Invalid object path" for anything else.
WbemObjectPath ParseObjectPath(const QString& path);

} // namespace lumora
