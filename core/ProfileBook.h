#pragma once

#include "core/Profiles.h"

#include <QString>

#include <exception>
#include <optional>

namespace lumora {

// The window's profiles: which one is active, the settings saved at the root
// key (what the window closes with and starts from) and each profile's own
// settings under its name. A profile is named by its picture's file name.
class TProfileBook {
public:
    explicit TProfileBook(TSettingsStore* settings) : settings_(settings) {}

    // The profile chosen last; empty when none is.
    const QString& ActiveName() const { return active_; }

    // The settings to start with: the root key's, then the active profile's
    // over them. What cannot be read keeps the presets (level 0, no
    // description, interval 0, run on startup off) and the first problem
    // lands in *problem. Nullopt when nothing has been saved yet (the first
    // start) or the file cannot be read at all.
    std::optional<TProfile> LoadSaved(int levelCount, std::exception_ptr* problem);

    // Makes the profile of a picture file the active one (its file name
    // without the ".png" at its end, or the name an earlier version saved
    // it under) and reads it; nullopt when nothing is saved under its name.
    std::optional<TProfile> Choose(const QString& pictureFile, int levelCount);

    // Saves the settings at the root key, with the active profile's name.
    void SaveCurrent(const TProfile& profile);
    // Saves the settings under the active profile's name; there must be one.
    void SaveActive(const TProfile& profile);

private:
    TSettingsStore* settings_;
    QString active_;
};

} // namespace lumora
