#pragma once

#include "platform/framework/Exception.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <map>
#include <optional>
#include <variant>
#include <vector>

namespace lumora {

// A settings file that cannot be parsed; the message names file and line.
class ESettingsParseError : public EInOutError {
public:
    using EInOutError::EInOutError;
};

// A settings value: a text or a signed 32-bit integer.
using TSettingsValue = std::variant<QString, std::int32_t>;

// The whole settings tree of one user, in registry terms: keys named by
// paths of segments ("Software\Kestrelo\LumoraBrightness"), each holding
// named values. Key and value names compare without regard to letter case,
// and keep the spelling they were created with.
//
// Text form (one file, UTF-8, human-readable):
//
//   # comment
//   [Software\Kestrelo\LumoraBrightness]
//   Level=7
//   ProfileDesc="Evening \"reading\"\nsecond line"
//
// A section line names a key by its path; a path with characters outside
// the plain set is written quoted: ["..."]. A value line is name=value, the
// name bare when plain or quoted; a quoted value is a text, a bare decimal
// number an integer. Quoted texts escape \\ \" \n \r \t and \uXXXX (UTF-16
// code unit), so every string round-trips exactly.
class TSettingsData {
public:
    // Normalised path of a key: segments split at "\", empty ones dropped.
    static QStringList SplitPath(const QString& path);
    static QString JoinPath(const QStringList& segments);

    bool KeyExists(const QString& path) const;
    // Creates the key (and so its parents, which exist implicitly).
    void CreateKey(const QString& path);
    // Deletes the key and every key below it; false when there was none.
    bool DeleteKey(const QString& path);

    std::optional<TSettingsValue> Value(const QString& path, const QString& name) const;
    // Creates the key when needed.
    void SetValue(const QString& path, const QString& name, const TSettingsValue& value);
    bool DeleteValue(const QString& path, const QString& name);
    // Value names of a key in file order.
    QStringList ValueNames(const QString& path) const;
    // Direct subkey names of a key.
    QStringList SubKeys(const QString& path) const;

    // Parses the text form; raises ESettingsParseError "Cannot read settings file '<source>', line <n>: <reason>".
    static TSettingsData Parse(const QByteArray& text, const QString& source);
    QByteArray Serialize() const;

    friend bool operator==(const TSettingsData& a, const TSettingsData& b);

private:
    struct Entry {
        QString Name;
        TSettingsValue Value;
    };
    struct Key {
        QString Path;
        std::vector<Entry> Values;
        // Folded value name -> position in Values, so that a key with many
        // values is read in linear time.
        QHash<QString, std::size_t> Index;
    };

    static QString Fold(const QString& text) { return text.toCaseFolded(); }
    Key* FindKey(const QString& path);
    const Key* FindKey(const QString& path) const;
    Key& EnsureKey(const QString& path);
    static void SetIn(Key& key, const QString& name, const TSettingsValue& value);

    // Folded path -> key, so keys are written in path order (parents first).
    std::map<QString, Key> keys_;
};

} // namespace lumora
