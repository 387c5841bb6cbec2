#include "platform/device/WbemServices.h"

#include "platform/device/WbemError.h"
#include "platform/device/WbemObjectPath.h"
#include "platform/device/WqlQuery.h"

namespace lumora {

namespace {

bool Matches(const WbemObject& object, const std::vector<WqlCondition>& conditions)
{
    for (const WqlCondition& c : conditions) {
        const WbemProperty* p = object.Properties_().Find(c.Property);
        if (p == nullptr || !WqlValueMatches(p->Value(), c.Literal))
            return false;
    }
    return true;
}

// A copy of an instance holding only the selected properties, in the class's order.
std::shared_ptr<WbemObject> Projected(const WbemObject& object, const QStringList& selected)
{
    auto result = std::make_shared<WbemObject>(object.Class());
    result->SetRelPath(object.RelPath());
    for (const WbemProperty& p : object.Properties_()) {
        if (selected.contains(p.Name(), Qt::CaseInsensitive))
            result->Properties_().Add(p.Name(), p.Value());
    }
    return result;
}

} // namespace

WbemObjectSet WbemServices::ExecQuery(const QString& query, const QString& queryLanguage, int) const
{
    if (queryLanguage.compare(QLatin1String("WQL"), Qt::CaseInsensitive) != 0)
        throw EWbemError(wbemErrInvalidQueryType);
    const WqlQuery parsed = ParseWql(query);
    const WbemObject& definition = provider_->ClassDefinition(parsed.ClassName);

    // A property the class does not have makes the query itself invalid,
    // whether or not any instance exists.
    const WbemPropertySet& declared = definition.Properties_();
    for (const QString& name : parsed.Properties) {
        if (declared.Find(name) == nullptr)
            throw EWbemError(wbemErrInvalidQuery);
    }
    for (const WqlCondition& c : parsed.Conditions) {
        const WbemProperty* p = declared.Find(c.Property);
        if (p == nullptr || p->IsArray() || p->CIMType() == wbemCimtypeObject)
            throw EWbemError(wbemErrInvalidQuery);
    }

    std::vector<std::shared_ptr<WbemObject>> found;
    for (const std::shared_ptr<WbemObject>& object : provider_->Instances(definition.Class())) {
        if (!Matches(*object, parsed.Conditions))
            continue;
        found.push_back(parsed.AllProperties ? object : Projected(*object, parsed.Properties));
    }
    return WbemObjectSet(std::move(found));
}

std::shared_ptr<WbemObject> WbemServices::Get(const QString& objectPath, int) const
{
    const WbemObjectPath path = ParseObjectPath(objectPath);
    const WbemObject& definition = provider_->ClassDefinition(path.ClassName);
    if (!path.KeyValue)
        return definition.Clone();
    return provider_->GetInstance(definition.Class(), path.KeyName, *path.KeyValue);
}

std::shared_ptr<WbemObject> WbemServices::ExecMethod(const QString& objectPath, const QString& methodName,
                                                     const WbemObject* inParameters, int) const
{
    const WbemObjectPath path = ParseObjectPath(objectPath);
    const WbemObject& definition = provider_->ClassDefinition(path.ClassName);
    const WbemMethod& method = definition.Methods_().Item(methodName);
    if (!path.KeyValue)
        throw EWbemError(wbemErrInvalidObjectPath);
    return provider_->ExecMethod(definition.Class(), path.KeyName, *path.KeyValue, method.Name(), inParameters);
}

} // namespace lumora
