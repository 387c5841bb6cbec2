#include "core/Profiles.h"

#include "platform/framework/Exception.h"
#include "platform/settings/Registry.h"
#include "platform/shell/PictureFolders.h"

#include <exception>

namespace lumora {

QString ProfileKey(const QString& name) { return QString::fromUtf16(kSettingsRootKey) + name; }

bool IsProfileName(const QString& name) { return !name.isEmpty() && !name.contains(u'\\'); }

QString ProfileNameForPicture(TSettingsStore& store, const QString& picturePath)
{
    const QString name = ProfileNameOfPicture(picturePath);
    const QString earlier = EarlierProfileNameOfPicture(picturePath);
    if (earlier == name || !IsProfileName(earlier))
        return name;
    try {
        const TSettingsData data = store.Load();
        if (IsProfileName(name) && data.KeyExists(ProfileKey(name)))
            return name;
        return data.KeyExists(ProfileKey(earlier)) ? earlier : name;
    } catch (const EInOutError&) {
        return name; // reading the profile itself reports the file
    }
}

void SaveProfile(TSettingsStore& store, const QString& name, const TProfile& profile, const QString& activeProfileName)
{
    if (!name.isEmpty() && !IsProfileName(name))
        throw EInOutError(QStringLiteral("Cannot save the profile '%1': a profile name cannot hold a backslash (\\); "
                                         "rename its picture")
                              .arg(name));
    TRegistry registry(store);
    if (!registry.OpenKey(ProfileKey(name), true))
        return;
    registry.WriteString(QStringLiteral("ProfileIcon"), name);
    registry.WriteInteger(QStringLiteral("Level"), profile.Level);
    registry.WriteBool(QStringLiteral("RunOnStartup"), profile.RunOnStartup);
    registry.WriteInteger(QStringLiteral("DimInterval"), profile.Interval < 0 ? 0 : profile.Interval);
    registry.WriteString(QStringLiteral("ProfileDesc"), profile.Description);
    if (name.isEmpty() && !activeProfileName.isEmpty())
        registry.WriteString(QStringLiteral("ActiveProfile"), activeProfileName);
    registry.CloseKey();
}

bool LoadProfile(TSettingsStore& store, const QString& name, int levelCount, TProfile& profile, QString& activeProfileName,
                 std::exception_ptr* problem)
{
    // Without `problem` the first failure is raised; with it, the failure is
    // kept there and the read goes on with the next value.
    const auto attempt = [&](const auto& read) {
        if (!problem) {
            read();
            return true;
        }
        try {
            read();
            return true;
        } catch (...) {
            if (!*problem)
                *problem = std::current_exception();
            return false;
        }
    };

    if (!name.isEmpty() && !IsProfileName(name))
        return false;
    TRegistry registry(store);
    bool exists = false;
    if (!attempt([&] { exists = registry.OpenKeyReadOnly(ProfileKey(name)); }) || !exists)
        return false;

    QString icon;
    const bool iconRead = attempt([&] { icon = registry.ReadString(QStringLiteral("ProfileIcon")); });

    int level = profile.Level;
    attempt([&] {
        const int read = registry.ValueExists(QStringLiteral("Level")) ? registry.ReadInteger(QStringLiteral("Level")) : 0;
        level = read < 0 || read > levelCount - 1 ? 0 : read;
    });

    bool run = profile.RunOnStartup;
    attempt([&] {
        run = registry.ValueExists(QStringLiteral("RunOnStartup")) ? registry.ReadBool(QStringLiteral("RunOnStartup")) : true;
    });

    int interval = profile.Interval;
    attempt([&] {
        const int read = registry.ValueExists(QStringLiteral("DimInterval")) ? registry.ReadInteger(QStringLiteral("DimInterval")) : 0;
        interval = read <= 0 ? 0 : read;
    });

    QString description = profile.Description;
    attempt([&] {
        description = registry.ValueExists(QStringLiteral("ProfileDesc")) ? registry.ReadString(QStringLiteral("ProfileDesc"))
                                                                          : QString();
    });

    QString active = activeProfileName;
    if (iconRead && icon.isEmpty())
        attempt([&] {
            active = registry.ValueExists(QStringLiteral("ActiveProfile")) ? registry.ReadString(QStringLiteral("ActiveProfile"))
                                                                           : QString();
        });

    registry.CloseKey();
    // Assigned only once everything was read, so a failing read leaves the
    // caller's values as they were.
    profile = TProfile{level, description, interval, run};
    activeProfileName = active;
    return true;
}

} // namespace lumora
