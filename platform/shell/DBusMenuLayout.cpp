#include "platform/shell/DBusMenuLayout.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

namespace lumora {

int DBusMenuIds::IdOf(QAction* action)
{
    auto it = ids_.find(action);
    // A new action may have been built at the address of a deleted one.
    if (it != ids_.end() && actions_.value(it.value()) == action)
        return it.value();
    const int id = next_++;
    ids_.insert(action, id);
    actions_.insert(id, action);
    return id;
}

int DBusMenuIds::Known(QAction* action) const
{
    const int id = ids_.value(action, 0);
    return id != 0 && actions_.value(id) == action ? id : 0;
}

QAction* DBusMenuIds::ActionOf(int id) const { return actions_.value(id).data(); }

QString DBusMenuLabel(const QString& text)
{
    QString label;
    label.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'&') {
            // "&&" is a literal ampersand; a lone one marks the access key.
            if (i + 1 < text.size() && text[i + 1] == u'&') {
                label += u'&';
                ++i;
            } else if (i + 1 < text.size()) {
                label += u'_';
            }
        } else if (c == u'_') {
            label += QStringLiteral("__");
        } else {
            label += c;
        }
    }
    return label;
}

QVariantMap DBusMenuProperties(const QAction* action, const QStringList& wanted)
{
    QVariantMap all;
    if (action->isSeparator()) {
        all.insert(QStringLiteral("type"), QStringLiteral("separator"));
    } else {
        all.insert(QStringLiteral("label"), DBusMenuLabel(action->text()));
        if (action->isCheckable()) {
            const QActionGroup* group = action->actionGroup();
            const bool radio = group && group->exclusionPolicy() != QActionGroup::ExclusionPolicy::None;
            all.insert(QStringLiteral("toggle-type"), radio ? QStringLiteral("radio") : QStringLiteral("checkmark"));
            all.insert(QStringLiteral("toggle-state"), action->isChecked() ? 1 : 0);
        }
        if (action->menu())
            all.insert(QStringLiteral("children-display"), QStringLiteral("submenu"));
    }
    if (!action->isEnabled())
        all.insert(QStringLiteral("enabled"), false);
    if (!action->isVisible())
        all.insert(QStringLiteral("visible"), false);
    if (wanted.isEmpty())
        return all;
    QVariantMap chosen;
    for (auto it = all.cbegin(); it != all.cend(); ++it)
        if (wanted.contains(it.key()))
            chosen.insert(it.key(), it.value());
    return chosen;
}

QMenu* DBusMenuSubmenu(QMenu* menu, const DBusMenuIds& ids, int id)
{
    if (id == 0)
        return menu;
    QAction* action = ids.ActionOf(id);
    return action ? action->menu() : nullptr;
}

namespace {

void AddChildren(DBusMenuNode& node, QMenu* submenu, DBusMenuIds& ids, int depth, const QStringList& wanted)
{
    if (!submenu || depth == 0)
        return;
    for (QAction* action : submenu->actions()) {
        DBusMenuNode child;
        child.Id = ids.IdOf(action);
        child.Properties = DBusMenuProperties(action, wanted);
        AddChildren(child, action->menu(), ids, depth < 0 ? depth : depth - 1, wanted);
        node.Children.push_back(std::move(child));
    }
}

} // namespace

DBusMenuNode BuildDBusMenuLayout(QMenu* menu, DBusMenuIds& ids, int parentId, int depth, const QStringList& wanted)
{
    DBusMenuNode root;
    QMenu* submenu = DBusMenuSubmenu(menu, ids, parentId);
    if (!submenu) {
        root.Id = -1;
        return root;
    }
    root.Id = parentId;
    if (parentId == 0) {
        if (wanted.isEmpty() || wanted.contains(QStringLiteral("children-display")))
            root.Properties.insert(QStringLiteral("children-display"), QStringLiteral("submenu"));
    } else {
        root.Properties = DBusMenuProperties(ids.ActionOf(parentId), wanted);
    }
    AddChildren(root, submenu, ids, depth, wanted);
    return root;
}

} // namespace lumora
