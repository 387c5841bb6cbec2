#include "core/ProgramOptions.h"

#include <QFileInfo>

namespace lumora {

namespace {

constexpr int kMinLevels = 2;
constexpr int kMaxLevels = 101;

ProgramOptionsResult Fail(const QString& message) { return {std::nullopt, message}; }

} // namespace

ProgramOptionsResult ParseProgramOptions(const QStringList& arguments)
{
    ProgramOptions options;
    // Only the very first argument, spelled exactly so, marks a start at logon.
    options.LaunchOnStartup = !arguments.isEmpty() && arguments.first() == QLatin1String(kLaunchOnStartupSwitch);

    for (int i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (!arg.startsWith("--"))
            continue; // other words are not ours to judge
        QString name = arg.mid(2);
        std::optional<QString> inlineValue;
        if (const int eq = name.indexOf('='); eq >= 0) {
            inlineValue = name.mid(eq + 1);
            name = name.left(eq);
        }
        const auto value = [&]() -> std::optional<QString> {
            if (inlineValue)
                return inlineValue;
            if (i + 1 < arguments.size())
                return arguments[++i];
            return std::nullopt;
        };

        if (name == "help") {
            options.ShowHelp = true;
        } else if (name == "version") {
            options.ShowVersion = true;
        } else if (name == "list-pictures") {
            options.ListPictures = true;
        } else if (name == "get-level") {
            options.GetLevel = true;
        } else if (name == "list-monitors") {
            options.ListMonitors = true;
        } else if (name == "monitor") {
            const auto v = value();
            if (!v || v->trimmed().isEmpty())
                return Fail("Option --monitor needs a monitor id (see --list-monitors).");
            options.Monitor = v->trimmed();
        } else if (name == "set-level") {
            const auto v = value();
            bool ok = false;
            const int n = v ? v->trimmed().toInt(&ok) : 0;
            if (!ok || n < 0)
                return Fail("Option --set-level needs a level number: a whole number from 0 (see --get-level).");
            options.SetLevel = n;
        } else if (name == "backlight-root" || name == "screenshot" || name == "idle-seconds-file" ||
                   name == "ddc-standin") {
            const auto v = value();
            if (!v || v->isEmpty())
                return Fail(QString("Option --%1 needs a value.").arg(name));
            if (name == "backlight-root")
                options.BacklightRoot = *v;
            else if (name == "ddc-standin")
                options.DdcStandIn = *v;
            else if (name == "screenshot")
                options.Screenshot = *v;
            else
                options.IdleSecondsFile = *v;
        } else if (name == "levels" || name == "idle-check-interval") {
            const auto v = value();
            bool ok = false;
            const int n = v ? v->toInt(&ok) : 0;
            if (name == "levels") {
                if (!ok || n < kMinLevels || n > kMaxLevels)
                    return Fail(QString("Option --levels needs a whole number from %1 to %2.").arg(kMinLevels).arg(kMaxLevels));
                options.Levels = n;
            } else {
                if (!ok || n < 1)
                    return Fail("Option --idle-check-interval needs a positive number of milliseconds.");
                options.IdleCheckIntervalMs = n;
            }
        } else {
            return Fail(QString("Unknown option '%1'. Try --help.").arg(arg));
        }
    }
    if (options.GetLevel && options.SetLevel)
        return Fail("Options --get-level and --set-level cannot be used together.");
    if (!options.Monitor.isEmpty() && !options.SetLevel)
        return Fail("Option --monitor goes with --set-level.");
    if (options.ListMonitors && (options.GetLevel || options.SetLevel))
        return Fail("Option --list-monitors cannot be used with --get-level or --set-level.");
    return {options, {}};
}

QStringList LoginStartOptions(const ProgramOptions& options)
{
    const ProgramOptions defaults;
    QStringList out;
    if (options.Levels != defaults.Levels)
        out << QStringLiteral("--levels") << QString::number(options.Levels);
    // A start at login runs in another folder: folders are given absolute,
    // as this start found them.
    if (options.BacklightRoot != defaults.BacklightRoot)
        out << QStringLiteral("--backlight-root") << QFileInfo(options.BacklightRoot).absoluteFilePath();
    if (!options.DdcStandIn.isEmpty())
        out << QStringLiteral("--ddc-standin") << QFileInfo(options.DdcStandIn).absoluteFilePath();
    return out;
}

QString ProgramUsage()
{
    return QStringLiteral(
        "Usage: lumora [/LaunchOnStartup] [options]\n"
        "\n"
        "Sets the brightness of the laptop panel or of DDC/CI monitors.\n"
        "\n"
        "  /LaunchOnStartup          started at login: hide to the notification area\n"
        "                            and apply the saved settings (first argument only)\n"
        "  --backlight-root DIR      backlight devices folder (default /sys/class/backlight)\n"
        "  --ddc-standin DIR         stand-in DDC/CI monitors, one subfolder each, in\n"
        "                            place of the real ones (for testing)\n"
        "  --levels N                offer N evenly spaced levels, 2 to 101 (default 101)\n"
        "  --screenshot FILE         render the main window into FILE (PNG) and exit\n"
        "  --idle-seconds-file FILE  read the idle seconds from FILE (for testing)\n"
        "  --idle-check-interval MS  check for idleness every MS milliseconds (for testing)\n"
        "  --list-pictures           print the profile pictures offered and exit\n"
        "  --get-level               print the running copy's level number and exit\n"
        "  --set-level N             set the running copy's level number to N (0 is the\n"
        "                            lowest) and exit\n"
        "  --monitor ID              with --set-level: set that monitor alone, through\n"
        "                            its range\n"
        "  --list-monitors           print the running copy's monitors (id, level,\n"
        "                            answering, name), one a line, and exit\n"
        "  --help                    show this help and exit\n"
        "  --version                 show the version and exit\n");
}

} // namespace lumora
