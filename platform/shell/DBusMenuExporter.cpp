#include "platform/shell/DBusMenuExporter.h"

#include <QAction>
#include <QActionEvent>
#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QTimer>

namespace lumora {

DBusMenuExporter::DBusMenuExporter(QDBusConnection bus, QString path, QMenu* menu)
    : bus_(std::move(bus)), path_(std::move(path)), menu_(menu)
{
    RegisterDBusMenuTypes();
    new DBusMenuAdaptor(this);
    if (menu_)
        Watch(menu_);
    exported_ = bus_.registerObject(path_, this, QDBusConnection::ExportAdaptors);
}

DBusMenuExporter::~DBusMenuExporter()
{
    if (exported_)
        bus_.unregisterObject(path_);
}

void DBusMenuExporter::Watch(QMenu* menu)
{
    // Installing twice keeps one filter.
    menu->installEventFilter(this);
    for (QAction* action : menu->actions())
        if (QMenu* sub = action->menu())
            Watch(sub);
}

bool DBusMenuExporter::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ActionAdded:
    case QEvent::ActionRemoved:
        layoutChanged_ = true;
        ScheduleAnnouncement();
        break;
    case QEvent::ActionChanged:
        changed_.insert(static_cast<QActionEvent*>(event)->action());
        ScheduleAnnouncement();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void DBusMenuExporter::ScheduleAnnouncement()
{
    // A menu is usually rebuilt several entries at a time: one announcement
    // covers them all.
    if (announcementDue_)
        return;
    announcementDue_ = true;
    QTimer::singleShot(0, this, [this] { Announce(); });
}

void DBusMenuExporter::Announce()
{
    announcementDue_ = false;
    if (!menu_)
        return;
    if (layoutChanged_) {
        layoutChanged_ = false;
        changed_.clear();
        Watch(menu_);
        ++revision_;
        emit LayoutUpdated(revision_, 0);
        return;
    }
    DBusMenuItemPropertiesList updated;
    for (QAction* action : std::as_const(changed_)) {
        // Only actions the host has seen have an id worth telling about.
        if (const int id = ids_.Known(action))
            updated.append({id, DBusMenuProperties(action)});
    }
    changed_.clear();
    if (!updated.isEmpty())
        emit ItemsPropertiesUpdated(updated, {});
}

uint DBusMenuExporter::Layout(int parentId, int depth, const QStringList& names, DBusMenuNode& layout)
{
    layout = BuildDBusMenuLayout(menu_, ids_, parentId, depth, names);
    return revision_;
}

DBusMenuItemPropertiesList DBusMenuExporter::GroupProperties(const QList<int>& ids, const QStringList& names)
{
    DBusMenuItemPropertiesList result;
    for (int id : ids) {
        if (id == 0) {
            result.append({0, BuildDBusMenuLayout(menu_, ids_, 0, 0, names).Properties});
        } else if (QAction* action = ids_.ActionOf(id)) {
            result.append({id, DBusMenuProperties(action, names)});
        }
    }
    return result;
}

QDBusVariant DBusMenuExporter::Property(int id, const QString& name)
{
    const DBusMenuItemPropertiesList found = GroupProperties({id}, {name});
    return QDBusVariant(found.isEmpty() ? QVariant() : found.first().Properties.value(name));
}

bool DBusMenuExporter::HandleEvent(int id, const QString& eventId)
{
    QMenu* submenu = menu_ ? DBusMenuSubmenu(menu_, ids_, id) : nullptr;
    QAction* action = ids_.ActionOf(id);
    if (id != 0 && !action)
        return false;
    if (eventId == QLatin1String("clicked")) {
        if (!action || !action->isEnabled() || action->isSeparator() || action->menu())
            return true;
        // The command may ask a question in a dialog of its own: the host's
        // call is answered first.
        QPointer<QAction> target = action;
        QTimer::singleShot(0, this, [target] {
            if (target && target->isEnabled())
                target->trigger();
        });
    } else if (eventId == QLatin1String("opened") && submenu) {
        QMetaObject::invokeMethod(submenu, "aboutToShow");
    } else if (eventId == QLatin1String("closed") && submenu) {
        QMetaObject::invokeMethod(submenu, "aboutToHide");
    }
    return true;
}

bool DBusMenuExporter::AboutToShow(int id)
{
    if (QMenu* submenu = menu_ ? DBusMenuSubmenu(menu_, ids_, id) : nullptr)
        QMetaObject::invokeMethod(submenu, "aboutToShow");
    // Whatever that changed is announced on its own.
    return false;
}

// ---------------------------------------------------------------- adaptor

DBusMenuAdaptor::DBusMenuAdaptor(DBusMenuExporter* exporter) : QDBusAbstractAdaptor(exporter), exporter_(exporter)
{
    setAutoRelaySignals(false);
    connect(exporter, &DBusMenuExporter::LayoutUpdated, this, &DBusMenuAdaptor::LayoutUpdated);
    connect(exporter, &DBusMenuExporter::ItemsPropertiesUpdated, this, &DBusMenuAdaptor::ItemsPropertiesUpdated);
}

QString DBusMenuAdaptor::TextDirection() const
{
    return QApplication::layoutDirection() == Qt::RightToLeft ? QStringLiteral("rtl") : QStringLiteral("ltr");
}

uint DBusMenuAdaptor::GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                                DBusMenuNode& layout)
{
    return exporter_->Layout(parentId, recursionDepth, propertyNames, layout);
}

DBusMenuItemPropertiesList DBusMenuAdaptor::GetGroupProperties(const QList<int>& ids,
                                                               const QStringList& propertyNames)
{
    return exporter_->GroupProperties(ids, propertyNames);
}

QDBusVariant DBusMenuAdaptor::GetProperty(int id, const QString& name) { return exporter_->Property(id, name); }

void DBusMenuAdaptor::Event(int id, const QString& eventId, const QDBusVariant&, uint)
{
    exporter_->HandleEvent(id, eventId);
}

QList<int> DBusMenuAdaptor::EventGroup(const DBusMenuEventList& events)
{
    QList<int> idErrors;
    for (const DBusMenuEvent& e : events)
        if (!exporter_->HandleEvent(e.Id, e.EventId))
            idErrors.append(e.Id);
    return idErrors;
}

bool DBusMenuAdaptor::AboutToShow(int id) { return exporter_->AboutToShow(id); }

QList<int> DBusMenuAdaptor::AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors)
{
    for (int id : ids)
        exporter_->AboutToShow(id);
    idErrors.clear();
    return {};
}

} // namespace lumora
