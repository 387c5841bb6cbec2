#include "platform/device/WbemObject.h"

#include "platform/device/WbemError.h"

namespace lumora {

const WbemProperty* WbemPropertySet::Find(const QString& name) const
{
    for (const WbemProperty& p : items_) {
        if (SameWbemName(p.Name(), name))
            return &p;
    }
    return nullptr;
}

const WbemProperty& WbemPropertySet::Item(const QString& name) const
{
    if (const WbemProperty* p = Find(name))
        return *p;
    throw EWbemError(wbemErrNotFound);
}

WbemProperty& WbemPropertySet::Item(const QString& name)
{
    return const_cast<WbemProperty&>(std::as_const(*this).Item(name));
}

void WbemPropertySet::Add(const QString& name, const CimValue& value)
{
    for (WbemProperty& p : items_) {
        if (SameWbemName(p.Name(), name)) {
            p = WbemProperty(name, value);
            return;
        }
    }
    items_.emplace_back(name, value);
}

WbemMethod::WbemMethod(QString name, std::shared_ptr<WbemObject> inParameters)
    : name_(std::move(name)), inParameters_(std::move(inParameters))
{
}

const WbemMethod* WbemMethodSet::Find(const QString& name) const
{
    for (const WbemMethod& m : items_) {
        if (SameWbemName(m.Name(), name))
            return &m;
    }
    return nullptr;
}

const WbemMethod& WbemMethodSet::Item(const QString& name) const
{
    if (const WbemMethod* m = Find(name))
        return *m;
    throw EWbemError(wbemErrInvalidMethod);
}

std::shared_ptr<WbemObject> WbemObject::Clone() const
{
    auto copy = std::make_shared<WbemObject>(class_);
    copy->relPath_ = relPath_;
    copy->properties_ = properties_;
    for (const WbemMethod& m : methods_)
        copy->methods_.Add(WbemMethod(m.Name(), m.InParameters() ? m.InParameters()->Clone() : nullptr));
    return copy;
}

} // namespace lumora
