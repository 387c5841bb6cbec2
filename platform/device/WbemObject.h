#pragma once

#include "platform/device/CimValue.h"

#include <QString>

#include <memory>
#include <vector>

namespace lumora {

class WbemObject;

// Names of classes, properties, methods and keys compare without regard to
// letter case. Callers nearly always spell a name as it is declared, so the
// exact comparison comes first and the folding one only when it fails; the
// folding maps each UTF-16 unit to one, so names of other lengths differ.
inline bool SameWbemName(const QString& a, const QString& b)
{
    return a.size() == b.size() && (a == b || a.compare(b, Qt::CaseInsensitive) == 0);
}

// A named, typed property. Putting a value converts it to the property's own
// CIM type, as the service does; a value that does not fit raises "Type mismatch".
class WbemProperty {
public:
    WbemProperty(QString name, CimValue value) : name_(std::move(name)), value_(std::move(value)) {}

    const QString& Name() const { return name_; }
    TCimType CIMType() const { return value_.Type(); }
    bool IsArray() const { return value_.IsArray(); }
    const CimValue& Value() const { return value_; }
    void SetValue(const CimValue& value) { value_ = value.ConvertedTo(value_.Type()); }

private:
    QString name_;
    CimValue value_;
};

// The properties of an object in their declared order. Names compare without
// regard to letter case, as the service's do.
class WbemPropertySet {
public:
    int Count() const { return int(items_.size()); }
    // Raises "Not found" for an unknown name.
    WbemProperty& Item(const QString& name);
    const WbemProperty& Item(const QString& name) const;
    const WbemProperty* Find(const QString& name) const;
    void Add(const QString& name, const CimValue& value);

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<WbemProperty> items_;
};

// A method and the object that carries its in-parameters. The in-parameter
// object is the method's own: a caller fills it in place and hands it back to
// ExecMethod.
class WbemMethod {
public:
    WbemMethod(QString name, std::shared_ptr<WbemObject> inParameters);

    const QString& Name() const { return name_; }
    std::shared_ptr<WbemObject> InParameters() const { return inParameters_; }

private:
    QString name_;
    std::shared_ptr<WbemObject> inParameters_;
};

class WbemMethodSet {
public:
    int Count() const { return int(items_.size()); }
    // Raises "Invalid method" for an unknown name.
    const WbemMethod& Item(const QString& name) const;
    const WbemMethod* Find(const QString& name) const;
    void Add(WbemMethod method) { items_.push_back(std::move(method)); }

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<WbemMethod> items_;
};

// A class instance (or a class definition, when its values are null): its
// class name, relative path, properties and methods.
class WbemObject {
public:
    explicit WbemObject(QString className = {}) : class_(std::move(className)) {}

    const QString& Class() const { return class_; }
    const QString& RelPath() const { return relPath_; }
    void SetRelPath(const QString& path) { relPath_ = path; }

    WbemPropertySet& Properties_() { return properties_; }
    const WbemPropertySet& Properties_() const { return properties_; }
    WbemMethodSet& Methods_() { return methods_; }
    const WbemMethodSet& Methods_() const { return methods_; }

    // A copy that shares nothing with this object, in-parameter objects included.
    std::shared_ptr<WbemObject> Clone() const;

private:
    QString class_;
    QString relPath_;
    WbemPropertySet properties_;
    WbemMethodSet methods_;
};

} // namespace lumora
