#include "platform/settings/Registry.h"

#include "platform/framework/Exception.h"
#include "platform/shell/FileSystem.h"

#include <QDebug>
#include <QFile>

#include <exception>

namespace lumora {

TRegistry::TRegistry(TSettingsStore& store) : store_(store), uncaughtAtStart_(std::uncaught_exceptions()) {}

TRegistry::~TRegistry()
{
    if (pending_.empty() || std::uncaught_exceptions() > uncaughtAtStart_)
        return;
    try {
        Commit();
    } catch (const Exception& e) {
        // Nowhere to raise from a destructor; CloseKey is the reporting path.
        // The text names the file: printed escaped, on one line.
        qWarning("Settings not stored: %s", qPrintable(PrintableName(e.Message())));
    } catch (const std::exception& e) {
        qWarning("Settings not stored: %s", e.what());
    }
}

QString TRegistry::Resolve(const QString& key) const
{
    if (key.startsWith(u'\\') || !open_)
        return TSettingsData::JoinPath(TSettingsData::SplitPath(key));
    return TSettingsData::JoinPath(TSettingsData::SplitPath(path_ + u'\\' + key));
}

bool TRegistry::OpenKey(const QString& key, bool canCreate)
{
    const QString path = Resolve(key);
    CloseKey();
    data_ = store_.Load();
    loaded_ = true;
    if (!data_.KeyExists(path)) {
        if (!canCreate)
            return false;
        data_.CreateKey(path);
        pending_.push_back([path](TSettingsData& d) { d.CreateKey(path); });
    }
    path_ = path;
    open_ = true;
    readOnly_ = false;
    return true;
}

bool TRegistry::OpenKeyReadOnly(const QString& key)
{
    const QString path = Resolve(key);
    CloseKey();
    data_ = store_.Load();
    loaded_ = true;
    if (!data_.KeyExists(path))
        return false;
    path_ = path;
    open_ = true;
    readOnly_ = true;
    return true;
}

void TRegistry::CloseKey()
{
    open_ = false;
    readOnly_ = false;
    path_.clear();
    if (!pending_.empty())
        Commit();
}

void TRegistry::Commit()
{
    auto changes = std::move(pending_);
    const QString name = firstPendingName_;
    pending_.clear();
    firstPendingName_.clear();
    try {
        store_.Update([&](TSettingsData& d) {
            for (const auto& change : changes)
                change(d);
        });
    } catch (const ESettingsParseError&) {
        // Reported as it is, so the user learns which file and line to fix;
        // the file stays untouched.
        throw;
    } catch (const EInOutError& e) {
        if (name.isEmpty())
            throw;
        // The runtime's text first, then why, so that a user can act on it
        // (a read-only file, a full disc, a folder that cannot be written).
        throw ERegistryException(QStringLiteral("Failed to set data for '%1'").arg(name) + u'\n' + e.Message());
    }
}

bool TRegistry::KeyExists(const QString& key)
{
    if (!loaded_) {
        data_ = store_.Load();
        loaded_ = true;
    }
    return data_.KeyExists(Resolve(key));
}

bool TRegistry::DeleteKey(const QString& key)
{
    const QString path = Resolve(key);
    if (!loaded_) {
        data_ = store_.Load();
        loaded_ = true;
    }
    if (!data_.DeleteKey(path))
        return false;
    pending_.push_back([path](TSettingsData& d) { d.DeleteKey(path); });
    if (!open_)
        Commit();
    return true;
}

bool TRegistry::ValueExists(const QString& name) const { return open_ && data_.Value(path_, name).has_value(); }

TRegDataType TRegistry::GetDataType(const QString& name) const
{
    const auto value = open_ ? data_.Value(path_, name) : std::nullopt;
    if (!value)
        return rdUnknown;
    return std::holds_alternative<QString>(*value) ? rdString : rdInteger;
}

QStringList TRegistry::GetValueNames() const { return open_ ? data_.ValueNames(path_) : QStringList(); }

QStringList TRegistry::GetKeyNames() const { return open_ ? data_.SubKeys(path_) : QStringList(); }

QString TRegistry::ReadString(const QString& name) const
{
    const auto value = open_ ? data_.Value(path_, name) : std::nullopt;
    if (!value)
        return {};
    if (const auto* text = std::get_if<QString>(&*value))
        return *text;
    throw ERegistryException(QStringLiteral("Invalid data type for '%1'").arg(name));
}

int TRegistry::ReadInteger(const QString& name) const
{
    const auto value = open_ ? data_.Value(path_, name) : std::nullopt;
    if (!value)
        throw ERegistryException(QStringLiteral("Failed to get data for '%1'").arg(name));
    if (const auto* number = std::get_if<std::int32_t>(&*value))
        return *number;
    throw ERegistryException(QStringLiteral("Invalid data type for '%1'").arg(name));
}

void TRegistry::Write(const QString& name, std::function<void(TSettingsData&)> change)
{
    if (!open_ || readOnly_)
        throw ERegistryException(QStringLiteral("Failed to set data for '%1'").arg(name));
    change(data_);
    pending_.push_back(std::move(change));
    if (firstPendingName_.isEmpty())
        firstPendingName_ = name;
}

void TRegistry::WriteString(const QString& name, const QString& value)
{
    const QString path = path_;
    Write(name, [path, name, value](TSettingsData& d) { d.SetValue(path, name, value); });
}

void TRegistry::WriteInteger(const QString& name, int value)
{
    const QString path = path_;
    Write(name, [path, name, value](TSettingsData& d) { d.SetValue(path, name, std::int32_t(value)); });
}

bool TRegistry::DeleteValue(const QString& name)
{
    if (!open_ || readOnly_ || !data_.DeleteValue(path_, name))
        return false;
    const QString path = path_;
    pending_.push_back([path, name](TSettingsData& d) { d.DeleteValue(path, name); });
    return true;
}

} // namespace lumora
