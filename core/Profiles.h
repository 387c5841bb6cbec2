#pragma once

#include "platform/settings/SettingsStore.h"

#include <QString>

#include <exception>

namespace lumora {

// The settings key of a profile: the program's root key followed by the
// profile name; the empty name is the root itself (the current settings).
inline constexpr char16_t kSettingsRootKey[] = u"\\Software\\Kestrelo\\LumoraBrightness\\";
QString ProfileKey(const QString& name);

// Whether `name` can name a profile: not empty, and without a backslash,
// which would make it a key path (a picture named "\.png" would otherwise
// stand for the root key, the current settings, and "Save Profile" would
// overwrite them).
bool IsProfileName(const QString& name);

// The profile a picture stands for: its file name without the ".png" at its
// end. Settings written by earlier versions may hold the profile under the
// name of the earlier rule (every ".png" removed); when only that key exists,
// its name is given, so those profiles keep being read.
QString ProfileNameForPicture(TSettingsStore& store, const QString& picturePath);

// One set of brightness settings, stored at the root key (current settings)
// or under a profile's subkey.
struct TProfile {
    int Level = 0;            // level index
    QString Description;      // the picker's text
    int Interval = 0;         // idle minutes before dimming; 0 never
    bool RunOnStartup = false;

    friend bool operator==(const TProfile&, const TProfile&) = default;
};

// Writes the profile's values in one go ("ProfileIcon", "Level",
// "RunOnStartup", "DimInterval", "ProfileDesc"), a negative interval as 0.
// For the root key (empty name) a non-empty activeProfileName is stored as
// "ActiveProfile". A non-empty name that is not a profile name
// (IsProfileName) raises EInOutError saying why, and nothing is written.
// Raises ERegistryException "Failed to set data for '...'"
// when the values cannot be stored, EInOutError when the settings file
// cannot be read or parsed (it is then left alone).
void SaveProfile(TSettingsStore& store, const QString& name, const TProfile& profile, const QString& activeProfileName);

// Reads a profile into `profile` and returns true when its key exists; with
// no key nothing is assigned, so callers preset their defaults. Missing
// values read as level 0, empty description, interval 0 and run on startup
// true; a level outside 0 ... levelCount - 1 and an interval of 0 or below
// read as 0. When the stored "ProfileIcon" is empty, activeProfileName
// becomes the stored "ActiveProfile" (empty when missing). A value of the
// wrong type raises ERegistryException "Invalid data type for '...'", a
// settings file that cannot be read or parsed EInOutError.
//
// A non-empty name that is not a profile name reads as a missing key.
//
// Given `problem`, nothing is raised: each value that cannot be read keeps
// the caller's value in `profile` (and the active name its value), the others
// are read as usual, and the first failure is kept in *problem (when it holds
// none yet) for the caller to report. A file that cannot be read at all
// gives false, as a missing key does.
bool LoadProfile(TSettingsStore& store, const QString& name, int levelCount, TProfile& profile, QString& activeProfileName,
                 std::exception_ptr* problem = nullptr);

} // namespace lumora
