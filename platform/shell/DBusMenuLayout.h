#pragma once

#include <QHash>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <vector>

class QAction;
class QMenu;

namespace lumora {

// One entry of a menu as the desktop's menu protocol (com.canonical.dbusmenu)
// describes it: an id, the properties that differ from the protocol's
// defaults, and the entries of its submenu.
struct DBusMenuNode {
    int Id = 0;
    QVariantMap Properties;
    std::vector<DBusMenuNode> Children;
};

// Gives every action of a menu tree a number that stays the same for as long
// as the action lives, so that a host may keep ids across layout updates.
// Id 0 is the menu itself.
class DBusMenuIds {
public:
    int IdOf(QAction* action);
    // The id the action was given, or 0 when it has none yet.
    int Known(QAction* action) const;
    // The action behind an id; null for 0, an unknown id or a deleted action.
    QAction* ActionOf(int id) const;

private:
    QHash<QAction*, int> ids_;
    QHash<int, QPointer<QAction>> actions_;
    int next_ = 1;
};

// The menu text in the protocol's form: the access key is marked with an
// underscore instead of an ampersand, and literal underscores are doubled.
QString DBusMenuLabel(const QString& text);

// The properties of one action (all of them when `wanted` is empty, else
// only those named): label, enabled, visible, type, toggle-type and
// toggle-state, children-display. Defaults are left out, as the protocol
// allows.
QVariantMap DBusMenuProperties(const QAction* action, const QStringList& wanted = {});

// The layout below `parentId` (0: the whole menu) down to `depth` levels of
// entries (-1: all). Each node carries its properties; the root carries
// children-display only. An unknown parent gives an empty root with id -1.
DBusMenuNode BuildDBusMenuLayout(QMenu* menu, DBusMenuIds& ids, int parentId = 0, int depth = -1,
                                 const QStringList& wanted = {});

// The menu whose entries sit below an id: the menu itself for 0, an action's
// submenu, or null.
QMenu* DBusMenuSubmenu(QMenu* menu, const DBusMenuIds& ids, int id);

} // namespace lumora
