#pragma once

#include "platform/settings/SettingsData.h"
#include "platform/settings/SettingsStore.h"

#include <QString>

#include <functional>
#include <vector>

namespace lumora {

// The type of a stored value.
enum TRegDataType { rdUnknown, rdString, rdInteger };

// Registry-style access to the settings of the current user: open one key by
// path, read and write its string and 32-bit integer values, close it.
//
// A key path starting with "\" is absolute; any other path is relative to
// the open key. Opening reads the file afresh; writes made while a key is
// open are collected and stored together, under the lock between copies,
// when the key is closed. A key opened read-only refuses writes.
class TRegistry {
public:
    explicit TRegistry(TSettingsStore& store);
    // Stores pending writes like CloseKey, but cannot report a failure:
    // callers that write call CloseKey themselves. While an exception is
    // unwinding, pending writes are dropped so no half-done save is stored.
    ~TRegistry();

    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    // Opens the key for reading and writing; with canCreate a missing key is
    // created, else a missing key gives false.
    bool OpenKey(const QString& key, bool canCreate);
    // Opens an existing key for reading; false when it does not exist.
    bool OpenKeyReadOnly(const QString& key);
    // Stores pending writes and closes the key. A write that cannot be stored
    // raises ERegistryException "Failed to set data for '<value>'" with the
    // reason on a second line; a settings file that cannot be parsed raises
    // EInOutError and is kept.
    void CloseKey();

    bool HasOpenKey() const { return open_; }
    // Path of the open key without a leading "\".
    const QString& CurrentPath() const { return path_; }

    bool KeyExists(const QString& key);
    // Deletes a key and its subkeys; stored at CloseKey (or at once when no
    // key is open).
    bool DeleteKey(const QString& key);

    bool ValueExists(const QString& name) const;
    TRegDataType GetDataType(const QString& name) const;
    QStringList GetValueNames() const;
    QStringList GetKeyNames() const;

    // A missing value reads as empty text; an integer raises
    // ERegistryException "Invalid data type for '<name>'".
    QString ReadString(const QString& name) const;
    // A text raises "Invalid data type for '<name>'", a missing value
    // "Failed to get data for '<name>'".
    int ReadInteger(const QString& name) const;
    bool ReadBool(const QString& name) const { return ReadInteger(name) != 0; }

    void WriteString(const QString& name, const QString& value);
    void WriteInteger(const QString& name, int value);
    void WriteBool(const QString& name, bool value) { WriteInteger(name, value ? 1 : 0); }
    bool DeleteValue(const QString& name);

private:
    QString Resolve(const QString& key) const;
    void Write(const QString& name, std::function<void(TSettingsData&)> change);
    void Commit();

    TSettingsStore& store_;
    TSettingsData data_;
    bool loaded_ = false;
    bool open_ = false;
    bool readOnly_ = false;
    QString path_;
    std::vector<std::function<void(TSettingsData&)>> pending_;
    QString firstPendingName_;
    int uncaughtAtStart_;
};

} // namespace lumora
