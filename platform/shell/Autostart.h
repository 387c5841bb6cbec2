#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace lumora {

// The logon "Run" entries of the current user as XDG autostart entries: one
// desktop file per value name in the autostart folder, whose Exec line is
// the value's data (a command line in desktop-entry quoting).
class TAutostart {
public:
    // $XDG_CONFIG_HOME/autostart, with ~/.config when unset or relative.
    static QString DefaultFolder();

    explicit TAutostart(QString folder = DefaultFolder());

    const QString& Folder() const { return folder_; }

    // The file of a value name: the name in lower case, every run of other
    // characters than a-z and 0-9 made one "-", then ".desktop"
    // ("Lumora Brightness Control" -> "lumora-brightness-control.desktop").
    QString EntryPath(const QString& valueName) const;

    // Writes the entry (creating the folder); data is the command line. A
    // command line whose program is an absolute path also gets TryExec= with
    // that path, so the entry lapses when the program is gone.
    // Raises EInOutError when the entry cannot be written.
    void WriteRunValue(const QString& valueName, const QString& data) const;
    bool RunValueExists(const QString& valueName) const;
    // Removes the entry when present; raises EInOutError if it cannot.
    void DeleteRunValue(const QString& valueName) const;
    // The command line stored in the entry, or nothing without an entry.
    std::optional<QString> ReadRunValue(const QString& valueName) const;

private:
    QString folder_;
};

// The path as one argument of a desktop-entry command line: in double
// quotes, with ", `, $ and \ escaped by a backslash and % doubled. This is
// what stands in for a short path: it survives blanks and quotes.
QString ShortPath(const QString& path);

// Splits a desktop-entry command line into its arguments (field codes
// dropped, %% read as %), the way a desktop session starts it.
QStringList SplitExecLine(const QString& exec);

} // namespace lumora
