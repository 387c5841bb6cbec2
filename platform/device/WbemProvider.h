#pragma once

#include "platform/device/WbemObject.h"

#include <QString>

#include <memory>
#include <vector>

namespace lumora {

// What answers the management services of one namespace: the class
// definitions, their instances and their methods. The services parse queries
// and paths; a provider only deals in class names and keys.
class WbemProvider {
public:
    virtual ~WbemProvider() = default;

    // The namespace it answers, such as "root\wmi".
    virtual QString Namespace() const = 0;
    // A class's definition: every property with its CIM type (values null) and
    // every method with its in-parameters. Raises "Invalid class" for others.
    // The definition lives as long as the provider.
    virtual const WbemObject& ClassDefinition(const QString& className) const = 0;
    // Every instance of a class, read afresh.
    virtual std::vector<std::shared_ptr<WbemObject>> Instances(const QString& className) = 0;
    // One instance by its key value; raises "Not found" when there is none.
    virtual std::shared_ptr<WbemObject> GetInstance(const QString& className, const QString& keyName,
                                                    const QString& keyValue) = 0;
    // Runs a method of one instance with its filled-in in-parameters and
    // returns the out-parameters (null when the method has none).
    virtual std::shared_ptr<WbemObject> ExecMethod(const QString& className, const QString& keyName,
                                                   const QString& keyValue, const QString& methodName,
                                                   const WbemObject* inParameters) = 0;
};

} // namespace lumora
