#pragma once

#include "platform/device/WbemObjectSet.h"
#include "platform/device/WbemProvider.h"

#include <memory>

namespace lumora {

// A connection to one namespace: queries, objects by path and method calls.
// Every call reads the provider afresh; nothing is kept between calls.
class WbemServices {
public:
    explicit WbemServices(std::shared_ptr<WbemProvider> provider) : provider_(std::move(provider)) {}

    // Runs a query in the "WQL" language (any letter case). Raises
    // "Invalid query" for text outside the understood subset or naming an
    // unknown property, "Invalid class" for an unknown class and
    // "Invalid query language" for another language.
    WbemObjectSet ExecQuery(const QString& query, const QString& queryLanguage = QStringLiteral("WQL"),
                            int flags = 0) const;
    // The object at a relative path: a class definition or one instance.
    std::shared_ptr<WbemObject> Get(const QString& objectPath, int flags = 0) const;
    // Calls a method of the instance at a path with its in-parameter object.
    std::shared_ptr<WbemObject> ExecMethod(const QString& objectPath, const QString& methodName,
                                           const WbemObject* inParameters = nullptr, int flags = 0) const;

private:
    std::shared_ptr<WbemProvider> provider_;
};

} // namespace lumora
