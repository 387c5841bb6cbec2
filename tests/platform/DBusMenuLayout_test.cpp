// The tray menu as tray hosts read it: entries, their properties and ids.

#include "platform/shell/DBusMenuLayout.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

#include <gtest/gtest.h>

using namespace lumora;

namespace {

// "label" of each child, "-" for a separator.
QStringList Labels(const DBusMenuNode& node)
{
    QStringList out;
    for (const DBusMenuNode& child : node.Children)
        out << (child.Properties.value("type").toString() == "separator" ? "-" : child.Properties.value("label").toString());
    return out;
}

// The tray's menu: commands, separators, and a submenu of choices of which
// one is checked and one cannot be chosen.
struct TrayMenu {
    QMenu menu;
    QAction* show = menu.addAction("Show Window");
    QAction* restore = menu.addAction("Restore Brightness");
    QMenu* monitors = menu.addMenu("Monitor");
    QAction* first = monitors->addAction("Built-in Display");
    QAction* second = monitors->addAction("External Monitor");
    QAction* sep = menu.addSeparator();
    QAction* exit = menu.addAction("E&xit");
    QActionGroup group{monitors};
    TrayMenu()
    {
        for (QAction* a : {first, second}) {
            a->setCheckable(true);
            group.addAction(a);
        }
        first->setChecked(true);
        second->setEnabled(false);
    }
};

} // namespace

TEST(DBusMenuLabel, AccessKeysAndUnderscoresInTheProtocolsForm)
{
    const struct {
        const char* text;
        const char* label;
    } rows[] = {
        {"Exit", "Exit"},
        {"E&xit", "E_xit"},
        {"R&&D", "R&D"},
        {"snake_case", "snake__case"},
        {"trailing&", "trailing"},
        {"", ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(DBusMenuLabel(row.text), row.label) << row.text;
}

TEST(DBusMenuLayoutBuild, EveryEntryInMenuOrderWithItsSubmenu)
{
    TrayMenu tray;
    DBusMenuIds ids;
    const DBusMenuNode root = BuildDBusMenuLayout(&tray.menu, ids);
    EXPECT_EQ(root.Id, 0);
    EXPECT_EQ(root.Properties.value("children-display").toString(), "submenu");
    EXPECT_EQ(Labels(root).join('|'), "Show Window|Restore Brightness|Monitor|-|E_xit");

    const DBusMenuNode& monitor = root.Children[2];
    EXPECT_EQ(monitor.Properties.value("children-display").toString(), "submenu");
    EXPECT_EQ(Labels(monitor).join('|'), "Built-in Display|External Monitor");
    // Plain commands carry their label only: the protocol's defaults (enabled,
    // visible, a standard entry) go unsaid.
    EXPECT_EQ(root.Children[0].Properties.keys(), QStringList{"label"});
}

TEST(DBusMenuLayoutBuild, ChoicesCarryToggleTypeStateAndEnabled)
{
    TrayMenu tray;
    auto* standalone = tray.menu.addAction("Keep On Top");
    standalone->setCheckable(true);
    tray.exit->setVisible(false);
    DBusMenuIds ids;
    const DBusMenuNode root = BuildDBusMenuLayout(&tray.menu, ids);

    const QVariantMap builtIn = root.Children[2].Children[0].Properties;
    EXPECT_EQ(builtIn.value("toggle-type").toString(), "radio") << "one of an exclusive group";
    EXPECT_EQ(builtIn.value("toggle-state").toInt(), 1);
    EXPECT_FALSE(builtIn.contains("enabled"));
    const QVariantMap external = root.Children[2].Children[1].Properties;
    EXPECT_EQ(external.value("toggle-state").toInt(), 0);
    EXPECT_EQ(external.value("enabled"), QVariant(false));

    const QVariantMap keep = root.Children.back().Properties;
    EXPECT_EQ(keep.value("toggle-type").toString(), "checkmark");
    EXPECT_EQ(keep.value("toggle-state").toInt(), 0);
    EXPECT_EQ(root.Children[4].Properties.value("visible"), QVariant(false));
}

TEST(DBusMenuLayoutBuild, DepthParentAndPropertyNamesLimitTheAnswer)
{
    TrayMenu tray;
    DBusMenuIds ids;
    const DBusMenuNode top = BuildDBusMenuLayout(&tray.menu, ids, 0, 1);
    ASSERT_EQ(top.Children.size(), 5u);
    EXPECT_TRUE(top.Children[2].Children.empty()) << "depth 1 stops above the submenu's entries";
    EXPECT_TRUE(BuildDBusMenuLayout(&tray.menu, ids, 0, 0).Children.empty());

    const int monitorId = top.Children[2].Id;
    const DBusMenuNode sub = BuildDBusMenuLayout(&tray.menu, ids, monitorId);
    EXPECT_EQ(sub.Id, monitorId);
    EXPECT_EQ(sub.Properties.value("label").toString(), "Monitor");
    EXPECT_EQ(Labels(sub).join('|'), "Built-in Display|External Monitor");

    const DBusMenuNode onlyLabels = BuildDBusMenuLayout(&tray.menu, ids, monitorId, -1, {"label"});
    EXPECT_EQ(onlyLabels.Children[1].Properties.keys(), QStringList{"label"});

    const DBusMenuNode unknown = BuildDBusMenuLayout(&tray.menu, ids, 9999);
    EXPECT_EQ(unknown.Id, -1);
    EXPECT_TRUE(unknown.Children.empty());
    EXPECT_EQ(BuildDBusMenuLayout(&tray.menu, ids, top.Children[0].Id).Id, -1) << "a command has no entries below it";
}

TEST(DBusMenuLayoutBuild, IdsStayWithTheirActionsAcrossRebuildsAndGoWithThem)
{
    TrayMenu tray;
    DBusMenuIds ids;
    const DBusMenuNode before = BuildDBusMenuLayout(&tray.menu, ids);
    const int exitId = before.Children[4].Id;
    EXPECT_EQ(ids.ActionOf(exitId), tray.exit);

    // A submenu rebuilt in front of the exit entry, as the monitor list is.
    delete tray.monitors->menuAction();
    QMenu* rebuilt = new QMenu("Monitor", &tray.menu);
    rebuilt->addAction("Only Monitor");
    tray.menu.insertMenu(tray.sep, rebuilt);
    const DBusMenuNode after = BuildDBusMenuLayout(&tray.menu, ids);
    EXPECT_EQ(after.Children[4].Id, exitId);
    EXPECT_EQ(ids.Known(tray.exit), exitId);
    EXPECT_EQ(after.Children[2].Children[0].Properties.value("label").toString(), "Only Monitor");

    EXPECT_EQ(ids.ActionOf(before.Children[2].Id), nullptr) << "the deleted submenu's id leads nowhere";
    EXPECT_NE(after.Children[2].Id, before.Children[2].Id) << "a new entry never takes an old one's id";
}
