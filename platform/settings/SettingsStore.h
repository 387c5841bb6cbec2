#pragma once

#include "platform/settings/SettingsData.h"

#include <QString>

#include <functional>

namespace lumora {

// The settings file of one user, shared by every running copy.
//
// Reading takes a snapshot of the file. Updating takes a lock between
// copies (flock on a neighbouring ".lock" file, released by the kernel if a
// copy dies), reads the file again under the lock, applies the change to
// that fresh copy and replaces the file atomically (temporary file, fsync,
// rename, fsync of the folder). Two copies saving different keys therefore
// keep each other's values, and a crash at any moment leaves either the old
// or the new file. A file that cannot be parsed is reported and never
// replaced, and so is anything at the path that is not a regular file (a
// named pipe would hang the reader) or is larger than kMaxFileSize. A path
// that is a symbolic link keeps being one: the file it leads to is
// replaced. A file made read-only by its owner stays read-only and unsaved.
class TSettingsStore {
public:
    // The program writes a few kilobytes; anything near this is not ours.
    static constexpr qint64 kMaxFileSize = 1024 * 1024;

    explicit TSettingsStore(QString filePath);

    // $XDG_CONFIG_HOME/Kestrelo/LumoraBrightness.conf, with ~/.config when
    // the variable is unset or not absolute.
    static QString DefaultPath();

    const QString& FilePath() const { return filePath_; }

    // The current contents; an absent file is an empty tree. Raises
    // EInOutError naming the file (and line) when it cannot be read or parsed.
    TSettingsData Load() const;

    // Applies change to the freshest contents and writes the result. Raises
    // EInOutError when the file cannot be parsed (the file is left alone) or
    // written (the old file stays in place).
    void Update(const std::function<void(TSettingsData&)>& change);

private:
    QString filePath_;
};

} // namespace lumora
