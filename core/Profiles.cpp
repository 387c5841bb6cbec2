#include "core/Profiles.h"

#include "platform/settings/Registry.h"

namespace lumora {

QString ProfileKey(const QString& name) { return QString::fromUtf16(kSettingsRootKey) + name; }

void SaveProfile(TSettingsStore& store, const QString& name, const TProfile& profile, const QString& activeProfileName)
{
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

bool LoadProfile(TSettingsStore& store, const QString& name, int levelCount, TProfile& profile, QString& activeProfileName)
{
    TRegistry registry(store);
    if (!registry.OpenKeyReadOnly(ProfileKey(name)))
        return false;

    const QString icon = registry.ReadString(QStringLiteral("ProfileIcon"));

    int level = registry.ValueExists(QStringLiteral("Level")) ? registry.ReadInteger(QStringLiteral("Level")) : 0;
    if (level < 0 || level > levelCount - 1)
        level = 0;

    bool run = true;
    if (registry.ValueExists(QStringLiteral("RunOnStartup")))
        run = registry.ReadBool(QStringLiteral("RunOnStartup"));

    int interval = registry.ValueExists(QStringLiteral("DimInterval")) ? registry.ReadInteger(QStringLiteral("DimInterval")) : 0;
    if (interval <= 0)
        interval = 0;

    QString description;
    if (registry.ValueExists(QStringLiteral("ProfileDesc")))
        description = registry.ReadString(QStringLiteral("ProfileDesc"));

    QString active = activeProfileName;
    if (icon.isEmpty())
        active = registry.ValueExists(QStringLiteral("ActiveProfile")) ? registry.ReadString(QStringLiteral("ActiveProfile")) : QString();

    registry.CloseKey();
    // Assigned only once everything was read, so a failing read leaves the
    // caller's values as they were.
    profile = TProfile{level, description, interval, run};
    activeProfileName = active;
    return true;
}

} // namespace lumora
