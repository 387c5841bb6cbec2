// The tray icon on the two kinds of tray: a StatusNotifierItem host (Plasma,
// GNOME's AppIndicator extension, waybar), played by a watcher served by
// dbusmock on a private session bus and by this test calling the item the way
// a host does; and the X11 notification area (trayer), where the wheel over the
// icon steps the level.

#include "Session.h"
#include "SessionBus.h"

#include <QRegularExpression>
#include <QThread>

#include <gtest/gtest.h>

using namespace e2e;

namespace {

const QString kWatcher = "org.kde.StatusNotifierWatcher";
const QString kItemPath = "/StatusNotifierItem";

// 11 levels over a device of 100: level n is 10 n. The saved level is 5.
void SaveLevelFive(const Sandbox& sandbox)
{
    WriteFile(sandbox.SettingsFile(), "[Software\\Kestrelo\\LumoraBrightness]\nProfileIcon=\"\"\nLevel=5\n"
                                      "RunOnStartup=0\nDimInterval=0\nProfileDesc=\"\"\n");
}

// One entry of the exported menu as GetLayout gave it.
struct MenuEntry {
    int Id = 0;
    QString Label; // empty for a separator
};

// The top level of the menu from dbus-send's print-out of GetLayout: each
// child is a struct of its id and properties.
std::vector<MenuEntry> ParseLayout(const QString& reply)
{
    std::vector<MenuEntry> entries;
    static const QRegularExpression entry(
        R"re(struct \{\s*int32 (\d+)\s*array \[((?:\s*dict entry\(\s*string "[^"]*"\s*variant\s*(?:string "[^"]*"|int32 -?\d+|boolean \w+)\s*\))*)\s*\])re");
    static const QRegularExpression label(R"re(string "label"\s*variant\s*string "([^"]*)")re");
    auto it = entry.globalMatch(reply);
    while (it.hasNext()) {
        const auto m = it.next();
        const int id = m.captured(1).toInt();
        if (id == 0)
            continue; // the root
        const auto l = label.match(m.captured(2));
        entries.push_back({id, l.hasMatch() ? l.captured(1) : QString()});
    }
    return entries;
}

class StatusNotifierHostTest : public SharedDesktopTest {
protected:
    // A window manager and no X11 notification area: the icon has only the
    // StatusNotifierItem host to go to.
    static void SetUpTestSuite() { StartDesktop(false); }

    void SetUp() override
    {
        ASSERT_TRUE(bus_.Serve(LUMORA_E2E_DIR "/sni_watcher_mock.py", kWatcher));
        sandbox_.UseSessionBus(bus_.Address());
    }

    // The item's bus name once it has registered with the watcher, or empty.
    QString WaitForItem()
    {
        static const QRegularExpression name(R"(org\.kde\.StatusNotifierItem-\d+-\d+)");
        QString item;
        Eventually([&] {
            const QString reply = bus_.Send({"--dest=" + kWatcher, "/StatusNotifierWatcher",
                                             "org.freedesktop.DBus.Properties.Get", "string:" + kWatcher,
                                             "string:RegisteredStatusNotifierItems"});
            auto it = name.globalMatch(reply);
            while (it.hasNext())
                item = it.next().captured(0);
            return !item.isEmpty();
        }, 10000);
        return item;
    }

    QString CallItem(const QString& item, const QString& method, const QStringList& args)
    {
        return bus_.Send(QStringList{"--dest=" + item, kItemPath, "org.kde.StatusNotifierItem." + method} + args);
    }

    QString ItemProperty(const QString& item, const QString& name)
    {
        return bus_.Send({"--dest=" + item, kItemPath, "org.freedesktop.DBus.Properties.Get",
                          "string:org.kde.StatusNotifierItem", "string:" + name});
    }

    SessionBus bus_;
    Sandbox sandbox_{100, 30};
};

class X11TrayWheelTest : public SharedDesktopTest {
protected:
    static void SetUpTestSuite() { StartDesktop(true); }
};

// An X11 session with both kinds of tray: trayer's notification area and a
// StatusNotifierItem watcher that the test takes off the bus and brings back,
// as turning the panel with the AppIndicator host off and on again does.
class TrayFallbackTest : public StatusNotifierHostTest {
protected:
    static void SetUpTestSuite() { StartDesktop(true); }

    bool NameOnBus(const QString& name) const
    {
        return bus_.Send({"--dest=org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner",
                          "string:" + name})
            .contains("boolean true");
    }
};

} // namespace

TEST_F(StatusNotifierHostTest, ActivateScrollAndTheExportedMenuDriveTheProgram)
{
    SaveLevelFive(sandbox_);
    // Started at login: the window goes into the tray, here the host's.
    auto program = desktop_->LaunchWith(sandbox_, {"/LaunchOnStartup", "--backlight-root", sandbox_.BacklightRoot(),
                                                   "--levels", "11"});
    const qint64 pid = program->Process().processId();
    ASSERT_TRUE(Eventually([&] { return sandbox_.Brightness() == 50; }, 10000)) << sandbox_.Brightness();
    const QString item = WaitForItem();
    ASSERT_FALSE(item.isEmpty()) << "the icon registers with the watcher\n" << program->Output().toStdString();
    ASSERT_TRUE(desktop_->WaitForNoMainWindow(pid));

    // The item describes itself and names its menu.
    EXPECT_TRUE(ItemProperty(item, "ToolTip").contains("Adjust Monitor Brightness"));
    EXPECT_TRUE(ItemProperty(item, "Title").contains("Lumora Brightness Control"));
    EXPECT_TRUE(ItemProperty(item, "ItemIsMenu").contains("boolean false"));
    const QString menuReply = ItemProperty(item, "Menu");
    static const QRegularExpression pathOf(R"re(object path "([^"]+)")re");
    const QString menuPath = pathOf.match(menuReply).captured(1);
    ASSERT_FALSE(menuPath.isEmpty()) << menuReply.toStdString();
    ASSERT_NE(menuPath, "/NO_DBUSMENU");

    // Activate (the host's left click) shows the window, and hides it when
    // shown. One wheel step is one level, whether the host counts notches or
    // Qt's 120 to a notch; horizontal scrolling leaves the level alone.
    CallItem(item, "Activate", {"int32:10", "int32:10"});
    EXPECT_FALSE(desktop_->WaitForMainWindow(pid).isEmpty()) << "Activate shows the window";
    CallItem(item, "Scroll", {"int32:1", "string:vertical"});
    EXPECT_TRUE(Eventually([&] { return sandbox_.Brightness() == 60; })) << sandbox_.Brightness();
    CallItem(item, "Activate", {"int32:10", "int32:10"});
    EXPECT_TRUE(desktop_->WaitForNoMainWindow(pid)) << "Activate hides the shown window";
    EXPECT_TRUE(Eventually([&] { return ReadText(sandbox_.SettingsFile()).contains("Level=6"); }))
        << "hiding saves the settings as closing does";

    CallItem(item, "Scroll", {"int32:120", "string:vertical"});
    EXPECT_TRUE(Eventually([&] { return sandbox_.Brightness() == 70; })) << sandbox_.Brightness();
    CallItem(item, "Scroll", {"int32:-1", "string:vertical"});
    EXPECT_TRUE(Eventually([&] { return sandbox_.Brightness() == 60; })) << sandbox_.Brightness();
    CallItem(item, "Scroll", {"int32:5", "string:horizontal"});
    QThread::msleep(500);
    EXPECT_EQ(sandbox_.Brightness(), 60);

    // The exported menu holds every tray command, in the menu's order.
    const QString layout = bus_.Send({"--dest=" + item, menuPath, "com.canonical.dbusmenu.GetLayout", "int32:0",
                                      "int32:-1", "array:string:"});
    const std::vector<MenuEntry> entries = ParseLayout(layout);
    QStringList labels;
    for (const MenuEntry& e : entries)
        labels << (e.Label.isEmpty() ? "-" : e.Label);
    EXPECT_EQ(labels.join('|'), "Show Window|Restore Brightness|-|Min Brightness|Max Brightness|-|Turn Off Monitor|-|Schedule...|-|Exit")
        << layout.toStdString();

    // A host's "clicked" runs the command.
    const auto clicked = [&](const QString& label) {
        for (const MenuEntry& e : entries)
            if (e.Label == label)
                return bus_.Send({"--dest=" + item, menuPath, "com.canonical.dbusmenu.Event",
                                  "int32:" + QString::number(e.Id), "string:clicked", "variant:int32:0", "uint32:0"});
        ADD_FAILURE() << "no entry " << label.toStdString();
        return QString();
    };
    clicked("Max Brightness");
    EXPECT_TRUE(Eventually([&] { return sandbox_.Brightness() == 100; })) << sandbox_.Brightness();
    clicked("Min Brightness");
    EXPECT_TRUE(Eventually([&] { return sandbox_.Brightness() == 1; })) << sandbox_.Brightness();
    clicked("Show Window");
    EXPECT_FALSE(desktop_->WaitForMainWindow(pid).isEmpty()) << "Show Window shows the window";
    clicked("Exit");
    EXPECT_TRUE(program->WaitForExit(10000)) << "Exit ends the program";
}

TEST_F(X11TrayWheelTest, TheWheelOverTheIconStepsTheLevel)
{
    Sandbox sandbox(100, 30);
    SaveLevelFive(sandbox);
    auto program = desktop_->LaunchWith(sandbox, {"/LaunchOnStartup", "--backlight-root", sandbox.BacklightRoot(),
                                                  "--levels", "11"});
    const qint64 pid = program->Process().processId();
    ASSERT_TRUE(Eventually([&] { return sandbox.Brightness() == 50; }, 10000)) << sandbox.Brightness();
    const QString icon = desktop_->WaitForTrayIcon(pid, 10000);
    ASSERT_FALSE(icon.isEmpty()) << program->Output().toStdString();

    Driver& drive = desktop_->Drive();
    drive.Run({"mousemove", "--window", icon, "4", "4"});
    drive.Run({"click", "4"}); // wheel away from the user
    EXPECT_TRUE(Eventually([&] { return sandbox.Brightness() == 60; })) << sandbox.Brightness();
    drive.Run({"click", "--repeat", "2", "--delay", "60", "5"}); // two notches back
    EXPECT_TRUE(Eventually([&] { return sandbox.Brightness() == 40; })) << sandbox.Brightness();
}

TEST_F(TrayFallbackTest, TheIconMovesToTheX11TrayWhileNoWatcherIsThereAndBack)
{
    SaveLevelFive(sandbox_);
    auto program = desktop_->LaunchWith(sandbox_, {"/LaunchOnStartup", "--backlight-root", sandbox_.BacklightRoot(),
                                                   "--levels", "11"});
    const qint64 pid = program->Process().processId();
    ASSERT_TRUE(Eventually([&] { return sandbox_.Brightness() == 50; }, 10000)) << sandbox_.Brightness();
    const QString item = WaitForItem();
    ASSERT_FALSE(item.isEmpty()) << program->Output().toStdString();
    EXPECT_TRUE(desktop_->TrayIcon(pid).isEmpty()) << "the icon is the item's alone, not in the X11 area too";

    // The panel goes: after a moment's grace the icon is in the X11 area, and
    // the item has left the bus.
    bus_.StopServing(kWatcher);
    const QString icon = desktop_->WaitForTrayIcon(pid, 15000);
    ASSERT_FALSE(icon.isEmpty()) << program->Output().toStdString();
    EXPECT_FALSE(NameOnBus(item)) << "the icon is in the X11 area alone";
    // It is the working icon: its double click shows the window.
    EXPECT_TRUE(desktop_->DoubleClickTrayIcon(pid));
    EXPECT_FALSE(desktop_->WaitForMainWindow(pid).isEmpty()) << "the X11 icon shows the window";

    // The panel comes back: the icon leaves the X11 area for the new watcher.
    ASSERT_TRUE(bus_.Serve(LUMORA_E2E_DIR "/sni_watcher_mock.py", kWatcher));
    const QString again = WaitForItem();
    ASSERT_FALSE(again.isEmpty()) << "the icon registers with the watcher that came\n"
                                  << program->Output().toStdString();
    // The X11 icon is taken down before the item registers; the notification
    // area's own redraw may lag the bus by a moment.
    EXPECT_TRUE(Eventually([&] { return desktop_->TrayIcon(pid).isEmpty(); }, 1000)) << "not in both places";
    CallItem(again, "Scroll", {"int32:1", "string:vertical"});
    EXPECT_TRUE(Eventually([&] { return sandbox_.Brightness() == 60; })) << sandbox_.Brightness();
}
