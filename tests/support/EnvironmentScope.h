#pragma once

// Sets an environment variable for one scope and puts the old state back.

#include <QByteArray>
#include <QtGlobal>

namespace lumora::testing {

// Sets `name` to `value` (or unsets it, for a null value) until the end of
// the scope; a program started meanwhile inherits it.
class EnvironmentScope {
public:
    EnvironmentScope(const char* name, const QByteArray& value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name))
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~EnvironmentScope()
    {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }
    EnvironmentScope(const EnvironmentScope&) = delete;
    EnvironmentScope& operator=(const EnvironmentScope&) = delete;

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

} // namespace lumora::testing
