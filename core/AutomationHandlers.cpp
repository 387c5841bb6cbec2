// The window's side of automatic profiles: a firing shows its profile as
// choosing its picture does and arms its idle setting; the level itself is
// faded in by the automation through the level model. The tray offers
// "Pause automation" and says in its tooltip what is in force and what
// fires next.

#include "core/BrightnessUnit.h"

#include "controls/imagelist/AdvSmoothImageListBoxPicker.h"
#include "controls/picture/AdvGDIPicture.h"
#include "core/ProfilePickerMenu.h"
#include "core/ScheduleWindow.h"
#include "platform/framework/Application.h"
#include "platform/shell/FileSystem.h"
#include "tray/CoolTrayIcon.h"

#include <QAction>
#include <QMenu>

#include <algorithm>

namespace lumora {

namespace {
// The tooltip the tray icon has without automation.
constexpr char kTrayHint[] = "Adjust Monitor Brightness";
} // namespace

void TForm1::CreateAutomation()
{
    automation_ = std::make_unique<TProfileAutomation>(
        services_.Settings, *level_, [this](const QString& name) { return ShowScheduledProfile(name); },
        services_.AutomationClock);
    // "Schedule..." (and "Pause automation" when there is something to
    // pause) between "Turn Off Monitor" and "Exit".
    scheduleItem_ = new QAction("Schedule...", trayMenu_);
    trayMenu_->insertAction(exitItem_, scheduleItem_);
    trayMenu_->insertSeparator(exitItem_);
    QObject::connect(scheduleItem_, &QAction::triggered, this, [this] { RunGuarded([&] { ScheduleClick(nullptr); }); });
    automation_->AddMenuItems(trayMenu_, trayMenu_->actions().at(trayMenu_->actions().indexOf(exitItem_) - 1));
    // The same item in the profile picker's own menu (and, being a tray
    // item, in the window's menu).
    new TProfilePickerMenu(profilePicker_, scheduleItem_);
    automation_->OnStatusChanged = [this] { ShowAutomationStatus(); };
}

std::optional<int> TForm1::ShowScheduledProfile(const QString& name)
{
    if (LevelCount() <= 0 || !settingsShown_)
        return std::nullopt;
    const QString picture = ProfilePicturePath(PictureFolders(), name);
    // A profile whose picture has gone is still chosen by its name.
    const std::optional<TProfile> saved = profiles_.Choose(picture.isEmpty() ? name + ".png" : picture, LevelCount());
    if (!saved)
        return std::nullopt;
    const int level = std::clamp(saved->Level, 0, LevelCount() - 1);

    ShowSettingsSummary(level, saved->RunOnStartup, saved->Interval);
    profilePicker_->SetText(!saved->Description.isEmpty() ? saved->Description : profiles_.ActiveName());
    if (!picture.isEmpty() && FileExists(picture))
        profilePicture_->Picture()->LoadFromFile(picture);

    if (saved->Interval > 0) {
        idle_->Arm(saved->Interval);
        // "Restore Brightness" goes back to the profile's level, not to the
        // one the fade starts from.
        brightness_.RestoreLevel = level;
    } else {
        idle_->Disarm();
    }
    return level;
}

void TForm1::ScheduleClick(TObject*)
{
    auto* window = findChild<TScheduleWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (!window) {
        const QByteArray zone = automation_->ZoneId();
        const QString city = DefaultLocationForZone(zone) ? QString::fromUtf8(zone).section(u'/', -1).replace(u'_', u' ')
                                                          : QString();
        window = new TScheduleWindow(services_.Settings, city, PixelsPerInch());
        window->setParent(this, Qt::Window);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->OnSaved = [this] { automation_->Reload(); };
    }
    window->SetLightNotice(automation_->LightNotice());
    window->show();
    window->raise();
    window->activateWindow();
}

void TForm1::ShowAutomationStatus()
{
    const QString status = automation_->StatusText();
    trayIcon_->SetHint(status.isEmpty() ? QString::fromLatin1(kTrayHint) : QString::fromLatin1(kTrayHint) + u'\n' + status);
}

} // namespace lumora
