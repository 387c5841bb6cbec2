#include "core/Profiles.h"
#include "platform/framework/Exception.h"
#include "platform/settings/Registry.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lumora;

namespace {

class ProfilesTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    TSettingsStore store{dir.filePath("LumoraBrightness.conf")};

    void Put(const QString& name, const QString& value, const TSettingsValue& data)
    {
        store.Update([&](TSettingsData& d) { d.SetValue(ProfileKey(name), value, data); });
    }
};

} // namespace

TEST_F(ProfilesTest, SaveThenLoadRoundTripsAndFillsTheKeyInOrder)
{
    // Any text but a backslash, which would make the name a key path.
    const QString name = QString::fromUtf8("Night [dim] = \"quiet\"\n/ ünï");
    SaveProfile(store, name, TProfile{3, "Reading\nlate", 15, true}, "ignored for a profile");
    TProfile loaded;
    QString active = "Before";
    ASSERT_TRUE(LoadProfile(store, name, 11, loaded, active));
    EXPECT_EQ(loaded, (TProfile{3, "Reading\nlate", 15, true}));
    EXPECT_EQ(active, "Before"); // "ProfileIcon" is the name: the active name stays

    const TSettingsData data = store.Load();
    EXPECT_EQ(data.ValueNames(ProfileKey(name)), (QStringList{"ProfileIcon", "Level", "RunOnStartup", "DimInterval", "ProfileDesc"}));
    EXPECT_EQ(ProfileKey(""), "\\Software\\Kestrelo\\LumoraBrightness\\");
}

TEST_F(ProfilesTest, RootKeyCarriesTheActiveProfile)
{
    SaveProfile(store, "", TProfile{1, "", 60, false}, "Night");
    TProfile loaded;
    QString active;
    ASSERT_TRUE(LoadProfile(store, "", 11, loaded, active));
    EXPECT_EQ(active, "Night");
    EXPECT_EQ(loaded, (TProfile{1, "", 60, false}));

    // Without an active profile the value is not written, and an old one
    // stays in the file.
    SaveProfile(store, "", TProfile{2, "", 0, true}, "");
    active = "x";
    ASSERT_TRUE(LoadProfile(store, "", 11, loaded, active));
    EXPECT_EQ(active, "Night");
}

TEST_F(ProfilesTest, MissingKeyAssignsNothing)
{
    TProfile preset{0, "", 0, false};
    QString active = "Kept";
    EXPECT_FALSE(LoadProfile(store, "Unknown", 11, preset, active));
    EXPECT_EQ(preset, (TProfile{0, "", 0, false}));
    EXPECT_EQ(active, "Kept");
}

TEST_F(ProfilesTest, LoadRules)
{
    // Only the key exists: every value takes its missing-value reading.
    store.Update([](TSettingsData& d) { d.CreateKey(ProfileKey("Empty")); });
    TProfile p{7, "x", 7, false};
    QString active = "A";
    ASSERT_TRUE(LoadProfile(store, "Empty", 11, p, active));
    EXPECT_EQ(p, (TProfile{0, "", 0, true})); // RunOnStartup missing reads true
    EXPECT_EQ(active, "");                   // empty ProfileIcon: ActiveProfile, missing, clears it

    Put("Range", "Level", 11); // above the top index of 11 levels
    Put("Range", "DimInterval", -5);
    ASSERT_TRUE(LoadProfile(store, "Range", 11, p, active));
    EXPECT_EQ(p.Level, 0);
    EXPECT_EQ(p.Interval, 0);
    Put("Range", "Level", -1);
    ASSERT_TRUE(LoadProfile(store, "Range", 11, p, active));
    EXPECT_EQ(p.Level, 0);
    Put("Range", "Level", 10);
    ASSERT_TRUE(LoadProfile(store, "Range", 11, p, active));
    EXPECT_EQ(p.Level, 10);
}

TEST_F(ProfilesTest, NegativeIntervalIsStoredAsZero)
{
    SaveProfile(store, "Neg", TProfile{1, "", -5, true}, "");
    EXPECT_EQ(store.Load().Value(ProfileKey("Neg"), "DimInterval"), std::optional<TSettingsValue>(std::int32_t(0)));
}

TEST_F(ProfilesTest, LevelStoredAsTextRaisesAndAssignsNothing)
{
    Put("Bad", "Level", QString("5"));
    TProfile p{4, "keep", 9, false};
    QString active = "keep";
    try {
        LoadProfile(store, "Bad", 11, p, active);
        ADD_FAILURE() << "loaded a text level";
    } catch (const ERegistryException& e) {
        EXPECT_EQ(e.Message(), "Invalid data type for 'Level'");
    }
    EXPECT_EQ(p, (TProfile{4, "keep", 9, false}));
}

TEST_F(ProfilesTest, WithAProblemSlotUnreadableValuesKeepTheirPresetsAndTheOthersAreRead)
{
    Put("", "Level", QString("5"));
    Put("", "DimInterval", 15);
    Put("", "RunOnStartup", QString("yes"));
    Put("", "ProfileDesc", QString("Evening"));
    Put("", "ActiveProfile", QString("Night"));
    TProfile p{2, "preset", 9, false};
    QString active;
    std::exception_ptr problem;
    ASSERT_TRUE(LoadProfile(store, "", 11, p, active, &problem));
    EXPECT_EQ(p, (TProfile{2, "Evening", 15, false})) << "level and switch keep their presets";
    EXPECT_EQ(active, "Night");
    ASSERT_TRUE(problem);
    try {
        std::rethrow_exception(problem);
    } catch (const ERegistryException& e) {
        EXPECT_EQ(e.Message(), "Invalid data type for 'Level'") << "the first problem is kept";
    }
}

TEST_F(ProfilesTest, WithAProblemSlotAnUnparsableFileReadsAsNoKeyAndIsLeftAlone)
{
    const QByteArray text = "[Software\\Kestrelo\\LumoraBrightness]\nLevel=five\n";
    {
        QFile f(dir.filePath("LumoraBrightness.conf"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    TProfile p{3, "", 0, false};
    QString active = "Kept";
    std::exception_ptr problem;
    EXPECT_FALSE(LoadProfile(store, "", 11, p, active, &problem));
    EXPECT_EQ(p, (TProfile{3, "", 0, false}));
    EXPECT_EQ(active, "Kept");
    ASSERT_TRUE(problem);
    EXPECT_THROW(std::rethrow_exception(problem), EInOutError);

    // A later save refuses, saying why, and the file stays as it was.
    try {
        SaveProfile(store, "", TProfile{}, "");
        ADD_FAILURE() << "saved over an unreadable file";
    } catch (const EInOutError& e) {
        EXPECT_TRUE(e.Message().contains("Cannot read settings file")) << e.Message().toStdString();
        EXPECT_TRUE(e.Message().contains("line 2")) << e.Message().toStdString();
    }
    QFile f(dir.filePath("LumoraBrightness.conf"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), text);
}

// A picture named "\.png" stood for the root key: saving its profile would
// have overwritten the current settings.
TEST_F(ProfilesTest, ABackslashNamesNoProfileAndNeverReachesAnotherKey)
{
    SaveProfile(store, "", TProfile{7, "current", 5, true}, "Night");
    const QByteArray before = store.Load().Serialize();
    for (const QString name : {"\\", "a\\b", "\\Software"}) {
        EXPECT_FALSE(IsProfileName(name));
        try {
            SaveProfile(store, name, TProfile{1, "other", 0, false}, name);
            ADD_FAILURE() << "saved the profile " << name.toStdString();
        } catch (const EInOutError& e) {
            EXPECT_TRUE(e.Message().contains("backslash")) << e.Message().toStdString();
        }
        TProfile loaded{9, "kept", 9, false};
        QString active = "kept";
        EXPECT_FALSE(LoadProfile(store, name, 11, loaded, active));
        EXPECT_EQ(loaded, (TProfile{9, "kept", 9, false}));
    }
    EXPECT_EQ(store.Load().Serialize(), before);
    EXPECT_TRUE(IsProfileName("Night.png"));
    EXPECT_FALSE(IsProfileName(""));
}

TEST_F(ProfilesTest, APictureNamesItsProfileByTheFinalPngAndEarlierProfilesAreStillRead)
{
    // A new profile: only the ".png" at the end goes.
    EXPECT_EQ(ProfileNameForPicture(store, "/p/a.png.png"), "a.png");
    EXPECT_EQ(ProfileNameForPicture(store, "/p/Night.PNG"), "Night");
    EXPECT_EQ(ProfileNameForPicture(store, "/p/\\.png"), "\\");

    // Saved by an earlier version under the name that lost every ".png".
    SaveProfile(store, "myfile", TProfile{4, "old", 0, true}, "");
    EXPECT_EQ(ProfileNameForPicture(store, "/p/my.pngfile.png"), "myfile");
    // Once a profile is saved under the current name, that one is read.
    SaveProfile(store, "my.pngfile", TProfile{5, "new", 0, true}, "");
    EXPECT_EQ(ProfileNameForPicture(store, "/p/my.pngfile.png"), "my.pngfile");
}
