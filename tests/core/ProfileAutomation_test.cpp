// Automatic profiles end to end inside the core: the schedule read from a
// settings file (beside each profile, old files still read), a firing shown
// and faded in through the level model, the user's hand change holding until
// the next trigger (also across a restart), the tray's "Pause automation",
// and the tooltip.

#include "core/ProfileAutomation.h"

#include "core/LevelModel.h"
#include "core/MonitorRanges.h"
#include "core/Profiles.h"
#include "platform/settings/SettingsStore.h"
#include "support/EventLoop.h"

#include <QAction>
#include <QMenu>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumora;
using lumora::testing::PumpUntil;

namespace {

constexpr int kLevels = 11;

// A profile with its level and triggers, saved as the window saves it.
void SaveTimedProfile(TSettingsStore& store, const QString& name, int level, const QString& triggers)
{
    SaveProfile(store, name, TProfile{level, name, 0, false}, name);
    SaveProfileTriggers(store, name, ParseTriggerList(triggers));
}

// Settings, a level model writing into a list and an automation on a test
// clock, as the window would build them.
struct Rig {
    QTemporaryDir dir;
    TSettingsStore store{dir.filePath("LumoraBrightness.conf")};
    std::vector<int> written;
    TLevelModel level{[this](int l) { written.push_back(l); }};
    QDateTime now = QDateTime(QDate(2024, 6, 10), QTime(12, 0), QTimeZone("Europe/Berlin")).toUTC();
    QByteArray zone = "Europe/Berlin";
    QStringList shown;
    std::unique_ptr<TProfileAutomation> automation;

    Rig()
    {
        level.Reset(kLevels, 5, LevelSource::Start);
        SaveTimedProfile(store, "Morning", 8, "07:00");
        SaveTimedProfile(store, "Evening", 2, "18:00");
        SaveAutomationOptions(store, TGeoLocation{52.52, 13.40}, 0, false); // no fade: levels at once
    }
    void Start()
    {
        automation = std::make_unique<TProfileAutomation>(
            &store, level,
            [this](const QString& name) -> std::optional<int> {
                shown << name;
                TProfile p;
                QString active;
                if (!LoadProfile(store, name, kLevels, p, active))
                    return std::nullopt;
                return p.Level;
            },
            TAutomationClock{[this] { return now; }, [this] { return zone; }});
        automation->Start();
    }
    void SetLocal(int h, int m, int days = 0)
    {
        now = QDateTime(QDate(2024, 6, 10).addDays(days), QTime(h, m), QTimeZone(zone)).toUTC();
    }
};

} // namespace

TEST(ProfileAutomation, StartAppliesTheProfileDueNow)
{
    Rig rig;
    rig.Start();
    EXPECT_EQ(rig.shown, QStringList{"Morning"});
    EXPECT_EQ(rig.level.Level(), 8);
    EXPECT_EQ(rig.level.LastSource(), LevelSource::Profile);
}

TEST(ProfileAutomation, TheLevelFadesInThroughTheLevelModel)
{
    Rig rig;
    SaveAutomationOptions(rig.store, TGeoLocation{52.52, 13.40}, 150, false);
    rig.Start();
    EXPECT_TRUE(rig.automation->Fade().Running());
    ASSERT_TRUE(PumpUntil([&] { return rig.level.Level() == 8; }, 5000));
    EXPECT_EQ(rig.written, (std::vector<int>{6, 7, 8})) << "one level at a time, never back";
    EXPECT_FALSE(rig.automation->Fade().Running()) << "no timer once there";
}

TEST(ProfileAutomation, AHandChangeStopsTheFadeAndHoldsUntilTheNextTrigger)
{
    Rig rig;
    SaveAutomationOptions(rig.store, TGeoLocation{52.52, 13.40}, 3000, false);
    rig.Start();
    ASSERT_TRUE(rig.automation->Fade().Running());
    // The user takes the track bar during the fade.
    rig.level.Request(3, LevelSource::Controls, false);
    ASSERT_TRUE(PumpUntil([&] { return !rig.automation->Fade().Running(); }, 5000));
    EXPECT_EQ(rig.level.Level(), 3) << "the fade let go";

    // Resume, a set clock and a restart leave the user's level alone.
    rig.SetLocal(13, 0);
    rig.automation->Resumed();
    rig.automation->ClockSet();
    rig.automation.reset();
    rig.shown.clear();
    rig.Start();
    EXPECT_TRUE(rig.shown.isEmpty());
    EXPECT_EQ(rig.level.Level(), 3);

    // The next trigger (here after sleeping across it) applies.
    rig.SetLocal(18, 30);
    rig.automation->Resumed();
    EXPECT_EQ(rig.shown, QStringList{"Evening"}) << "in force at once on resume";
    ASSERT_TRUE(PumpUntil([&] { return rig.level.Level() == 2; }, 5000));
}

TEST(ProfileAutomation, PauseAutomationHoldsEverythingAndIsKept)
{
    Rig rig;
    rig.Start();
    QMenu menu;
    QAction* exit = menu.addAction("Exit");
    rig.automation->AddMenuItems(&menu, exit);
    QAction* pause = rig.automation->PauseItem();
    ASSERT_EQ(menu.actions().value(0), pause);
    EXPECT_TRUE(pause->isCheckable());
    EXPECT_EQ(pause->text(), "Pause automation");

    pause->trigger();
    EXPECT_TRUE(rig.automation->Paused());
    EXPECT_TRUE(ReadAutomation(rig.store.Load()).Paused) << "kept in the settings";
    rig.SetLocal(19, 0);
    rig.automation->Resumed();
    rig.automation->PowerSourceChanged(true);
    EXPECT_EQ(rig.shown, QStringList{"Morning"}) << "nothing fires while paused";
    EXPECT_TRUE(rig.automation->StatusText().startsWith("Automation paused"));

    // A restart stays paused.
    rig.automation.reset();
    rig.Start();
    EXPECT_TRUE(rig.automation->Paused());
    EXPECT_TRUE(rig.automation->PauseItem()->isChecked());
    EXPECT_EQ(rig.shown, QStringList{"Morning"});

    rig.automation->PauseItem()->trigger();
    EXPECT_EQ(rig.shown, (QStringList{"Morning", "Evening"})) << "unchecked, what is due applies";
    EXPECT_EQ(rig.level.Level(), 2);
}

TEST(ProfileAutomation, TimeZoneChangeRecomputes)
{
    Rig rig;
    rig.now = QDateTime(QDate(2024, 6, 10), QTime(10, 30), QTimeZone::utc());
    rig.Start();
    ASSERT_EQ(rig.shown, QStringList{"Morning"});
    rig.zone = "America/New_York"; // 06:30 there
    rig.automation->TimeZoneChanged("America/New_York");
    EXPECT_EQ(rig.shown, (QStringList{"Morning", "Evening"}));
    EXPECT_EQ(rig.level.Level(), 2);
}

TEST(ProfileAutomation, TooltipSaysWhatIsInForceAndWhatIsNext)
{
    Rig rig;
    rig.Start();
    EXPECT_EQ(rig.automation->StatusText(), "In force: Morning\nNext: Evening at 18:00");
    Rig none;
    none.store.Update([](TSettingsData& d) { d.DeleteValue(ProfileKey("Morning"), "Triggers"); d.DeleteValue(ProfileKey("Evening"), "Triggers"); });
    none.Start();
    EXPECT_EQ(none.automation->StatusText(), "") << "no triggers, nothing to say";
}

TEST(ProfileAutomation, SettingsRoundTripBesideTheProfiles)
{
    QTemporaryDir dir;
    TSettingsStore store(dir.filePath("LumoraBrightness.conf"));
    // A file from before automation: profiles without triggers.
    SaveProfile(store, "Reading", TProfile{4, "Reading", 10, true}, "Reading");
    TAutomationSettings old = ReadAutomation(store.Load());
    EXPECT_TRUE(old.Schedule.empty());
    EXPECT_FALSE(old.Location);
    EXPECT_EQ(old.FadeMs, TAutomationSettings::kDefaultFadeMs);
    EXPECT_FALSE(old.Paused);

    SaveProfileTriggers(store, "Reading", ParseTriggerList("sunset - 30 min; on battery"));
    SaveAutomationOptions(store, TGeoLocation{-33.87, 151.21}, 1500, true);
    SaveLastApplied(store, TFiring{"Reading", *ParseTrigger("on battery"), QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5), QTimeZone::utc())});
    const TAutomationSettings s = ReadAutomation(store.Load());
    ASSERT_EQ(s.Schedule.size(), 2u);
    EXPECT_EQ(s.Schedule[0].Profile, "Reading");
    EXPECT_EQ(TriggerText(s.Schedule[0].Trigger), "sunset - 30 min");
    ASSERT_TRUE(s.Location);
    EXPECT_NEAR(s.Location->Latitude, -33.87, 1e-9);
    EXPECT_EQ(s.FadeMs, 1500);
    EXPECT_TRUE(s.Paused);
    ASSERT_TRUE(s.LastApplied);
    EXPECT_EQ(s.LastApplied->At, QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5), QTimeZone::utc()));

    // The profile's own values are untouched by its triggers.
    TProfile p;
    QString active;
    ASSERT_TRUE(LoadProfile(store, "Reading", 11, p, active));
    EXPECT_EQ(p, (TProfile{4, "Reading", 10, true}));

    // Clearing the triggers removes the value.
    SaveProfileTriggers(store, "Reading", {});
    EXPECT_TRUE(ReadAutomation(store.Load()).Schedule.empty());
}

TEST(ProfileAutomation, OnlySavedProfilesAreScheduledNotTheKeysBesideThem)
{
    // The monitors' ranges are kept in a key beside the profiles; it was
    // offered in the schedule window as a profile of that name.
    QTemporaryDir dir;
    TSettingsStore store(dir.filePath("LumoraBrightness.conf"));
    SaveProfile(store, "Reading", TProfile{4, "Reading", 10, true}, "Reading");
    SaveMonitorRange(store, "LG HDR 4K", "2", {20, 60});
    EXPECT_EQ(SavedProfileNames(store.Load()), QStringList{"Reading"});
}

TEST(ProfileAutomation, DamagedSettingsReadAsDefaults)
{
    QTemporaryDir dir;
    TSettingsStore store(dir.filePath("LumoraBrightness.conf"));
    store.Update([](TSettingsData& d) {
        const QString root = ProfileKey({});
        d.SetValue(root, "AutoLatitude", QString("north"));
        d.SetValue(root, "AutoLongitude", std::int32_t(5));
        d.SetValue(root, "AutoFadeMs", std::int32_t(-7));
        d.SetValue(root, "AutoPaused", QString("yes"));
        d.SetValue(root, "AutoLastProfile", QString("X"));
        d.SetValue(root, "AutoLastTrigger", QString("teatime"));
        d.SetValue(root, "AutoLastAt", QString("yesterday"));
        d.SetValue(ProfileKey("Odd"), "Triggers", std::int32_t(12));
        d.SetValue(ProfileKey("Half"), "Triggers", QString("07:00; 25:00"));
    });
    const TAutomationSettings s = ReadAutomation(store.Load());
    EXPECT_FALSE(s.Location);
    EXPECT_EQ(s.FadeMs, TAutomationSettings::kDefaultFadeMs);
    EXPECT_FALSE(s.Paused);
    EXPECT_FALSE(s.LastApplied);
    ASSERT_EQ(s.Schedule.size(), 1u) << "what can be read is kept";
    EXPECT_EQ(s.Schedule[0].Profile, "Half");
}

TEST(ProfileAutomation, LocationDefaultsToTheZonesCity)
{
    TAutomationSettings s;
    const auto guessed = EffectiveLocation(s, "Europe/Paris");
    ASSERT_TRUE(guessed);
    EXPECT_NEAR(guessed->Latitude, 48.86, 0.01);
    s.Location = TGeoLocation{1, 2};
    EXPECT_EQ(EffectiveLocation(s, "Europe/Paris"), (TGeoLocation{1, 2})) << "what the user entered wins";
    EXPECT_FALSE(EffectiveLocation(TAutomationSettings{}, "Etc/UTC"));
}

TEST(ProfileAutomation, TheLevelFollowsTheLightAndPausesAfterAHandChange)
{
    Rig rig;
    SaveLightCurve(rig.store, true, 0, 0);
    rig.Start();
    ASSERT_EQ(rig.level.Level(), 8); // the morning profile
    EXPECT_TRUE(rig.automation->LightCurveOn());

    rig.automation->LightChanged(100); // a dim room: half way
    EXPECT_EQ(rig.level.Level(), 5);
    EXPECT_EQ(rig.level.LastSource(), LevelSource::Profile);
    rig.automation->LightChanged(120); // a wobble moves nothing
    rig.automation->LightChanged(85);
    EXPECT_EQ(rig.level.Level(), 5);

    // The user sets the level: the curve rests until the next timed trigger
    // and the tooltip says so.
    rig.level.Request(9, LevelSource::Controls, false);
    rig.automation->LevelChangedBy(LevelSource::Controls);
    ASSERT_TRUE(rig.automation->LightCurvePausedUntil());
    EXPECT_TRUE(rig.automation->StatusText().contains("Ambient light paused until 18:00"))
        << rig.automation->StatusText().toStdString();
    rig.automation->LightChanged(1);
    EXPECT_EQ(rig.level.Level(), 9) << "the user's level holds";

    // The evening trigger ends the rest; the light leads again.
    rig.SetLocal(18, 0);
    rig.automation->Resumed();
    EXPECT_EQ(rig.level.Level(), 2);
    EXPECT_FALSE(rig.automation->LightCurvePausedUntil());
    rig.automation->LightChanged(TLightCurve::kDaylightLux);
    EXPECT_EQ(rig.level.Level(), kLevels - 1);
}

TEST(ProfileAutomation, TheLightCurvesRestCanBeMinutes)
{
    Rig rig;
    SaveLightCurve(rig.store, true, -1, 20);
    rig.Start();
    rig.automation->LevelChangedBy(LevelSource::Tray);
    ASSERT_TRUE(rig.automation->LightCurvePausedUntil());
    EXPECT_EQ(rig.now.secsTo(*rig.automation->LightCurvePausedUntil()), 20 * 60);
    rig.now = rig.now.addSecs(21 * 60);
    rig.automation->LightChanged(100);
    EXPECT_EQ(rig.level.Level(), 4) << "rested, and shifted one tenth darker";
    // Its own changes and the level found at start do not pause it.
    rig.automation->LevelChangedBy(LevelSource::Profile);
    rig.automation->LevelChangedBy(LevelSource::Start);
    EXPECT_FALSE(rig.automation->LightCurvePausedUntil());
}

TEST(ProfileAutomation, WithoutTriggersTheTrayMenuStaysAsItWas)
{
    Rig rig;
    rig.store.Update([](TSettingsData& d) {
        d.DeleteValue(ProfileKey("Morning"), "Triggers");
        d.DeleteValue(ProfileKey("Evening"), "Triggers");
    });
    rig.Start();
    QMenu menu;
    QAction* exit = menu.addAction("Exit");
    rig.automation->AddMenuItems(&menu, exit);
    EXPECT_EQ(menu.actions(), QList<QAction*>{exit});

    // A trigger saved (the schedule window reloads): the item comes.
    SaveProfileTriggers(rig.store, "Evening", ParseTriggerList("sunset"));
    rig.automation->Reload();
    EXPECT_EQ(menu.actions(), (QList<QAction*>{rig.automation->PauseItem(), exit}));

    // And goes with the last trigger.
    SaveProfileTriggers(rig.store, "Evening", {});
    rig.automation->Reload();
    EXPECT_EQ(menu.actions(), QList<QAction*>{exit});
}

// A sensor that gives no lux: its readings move the light curve within the
// range it has shown, the range is kept for the next start, a lux range
// never fires on them, and the schedule window is told why.
TEST(ProfileAutomation, ASensorInAVendorsUnitFollowsTheRangeItHasShown)
{
    Rig rig;
    SaveLightCurve(rig.store, true, 0, 0);
    SaveProfileTriggers(rig.store, "Evening", ParseTriggerList("18:00; < 50 lx"));
    rig.Start();
    ASSERT_EQ(rig.level.Level(), 8);
    EXPECT_EQ(rig.automation->LightNotice(), "") << "nothing to say about a sensor in lux";

    // The first reading teaches one end only: nothing moves, and a reading
    // of 3 is no "< 50 lx".
    rig.automation->VendorLightChanged(3);
    EXPECT_EQ(rig.level.Level(), 8);
    EXPECT_EQ(rig.shown, QStringList{"Morning"}) << "a lux range never fires on a vendor's unit";
    EXPECT_TRUE(rig.automation->LightNotice().contains("does not measure in lux"))
        << rig.automation->LightNotice().toStdString();

    // Brighter, then darker: the ends of the range, top and bottom levels.
    rig.automation->VendorLightChanged(1003);
    EXPECT_EQ(rig.level.Level(), kLevels - 1);
    rig.automation->VendorLightChanged(3);
    EXPECT_EQ(rig.level.Level(), 0);
    EXPECT_EQ(rig.shown, QStringList{"Morning"});
    // Half way on the curve's logarithm; a wobble around it moves nothing.
    rig.automation->VendorLightChanged(3 + std::sqrt(1001.0) - 1);
    EXPECT_EQ(rig.level.Level(), 5);
    rig.automation->VendorLightChanged(3 + std::sqrt(1001.0) + 2);
    rig.automation->VendorLightChanged(3 + std::sqrt(1001.0) - 4);
    EXPECT_EQ(rig.level.Level(), 5);
    EXPECT_TRUE(rig.automation->LightNotice().contains("3 to 1003")) << rig.automation->LightNotice().toStdString();

    // Kept: the next start places a reading at once.
    EXPECT_EQ(ReadAutomation(rig.store.Load()).VendorLight, (TVendorLightRange{3.0, 1003.0}));
    Rig again;
    again.store.Update([&](TSettingsData& d) {
        const TSettingsData saved = rig.store.Load();
        for (const QString name : {"AutoVendorLightLow", "AutoVendorLightHigh"})
            d.SetValue(ProfileKey({}), name, *saved.Value(ProfileKey({}), name));
    });
    SaveLightCurve(again.store, true, 0, 0);
    again.Start();
    EXPECT_TRUE(again.automation->LightInVendorUnits()) << "remembered before the sensor speaks";
    again.automation->VendorLightChanged(1003);
    EXPECT_EQ(again.level.Level(), kLevels - 1);
}

TEST(ProfileAutomation, AVendorRangeThatCannotBeReadIsLearnedAgain)
{
    Rig rig;
    rig.store.Update([](TSettingsData& d) {
        d.SetValue(ProfileKey({}), "AutoVendorLightLow", QString("900"));
        d.SetValue(ProfileKey({}), "AutoVendorLightHigh", QString("10")); // upside down
    });
    EXPECT_FALSE(ReadAutomation(rig.store.Load()).VendorLight.Low);
    rig.store.Update([](TSettingsData& d) { d.SetValue(ProfileKey({}), "AutoVendorLightHigh", std::int32_t(1000)); });
    EXPECT_FALSE(ReadAutomation(rig.store.Load()).VendorLight.Low) << "only half of it readable";
}
