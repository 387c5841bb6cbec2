#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace lumora {

// What the command line asks for.
struct ProgramOptions {
    // The first argument is exactly "/LaunchOnStartup": started at logon.
    bool LaunchOnStartup = false;
    QString BacklightRoot = QStringLiteral("/sys/class/backlight");
    // A folder of stand-in DDC/CI monitors, one subfolder each, in place of
    // the real ones.
    QString DdcStandIn;
    // Evenly spaced brightness levels to offer (2 to 101); 101 percents by default.
    int Levels = 101;
    // Render the main window into this PNG after the deferred start-up and exit.
    QString Screenshot;
    // For whole-program tests: read the idle seconds from this file, and
    // check them at this period instead of the normal 55 seconds.
    QString IdleSecondsFile;
    int IdleCheckIntervalMs = 0;
    // Print the profile pictures the picker offers, one path a line, and exit.
    bool ListPictures = false;
    // Ask the running copy over the session bus for its level, or set it
    // (a level index), and exit.
    bool GetLevel = false;
    std::optional<int> SetLevel;
    // --set-level for this monitor alone (an id from --list-monitors).
    QString Monitor;
    // Print the running copy's monitors, one a line, and exit.
    bool ListMonitors = false;
    bool ShowHelp = false;
    bool ShowVersion = false;
};

struct ProgramOptionsResult {
    std::optional<ProgramOptions> Options;
    QString Error; // set when Options is empty
};

inline constexpr char kLaunchOnStartupSwitch[] = "/LaunchOnStartup";

// Parses the arguments after the program name. Options take their value as
// the next argument or after "="; an unknown option or a bad value is an error.
ProgramOptionsResult ParseProgramOptions(const QStringList& arguments);

// The options a start at login must be given again because they change
// what is written and where: what a saved level means (--levels), which
// backlight (--backlight-root) and which monitors (--ddc-standin). Options
// left at their defaults are not repeated. Name and value alternate.
QStringList LoginStartOptions(const ProgramOptions& options);

QString ProgramUsage();

} // namespace lumora
