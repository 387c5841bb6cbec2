#pragma once

#include "platform/shell/DBusMenuLayout.h"
#include "platform/shell/DBusMenuTypes.h"

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

class QMenu;

namespace lumora {

// A QMenu published on the bus as com.canonical.dbusmenu, so that a tray host
// shows it as its own (native, and reachable by its screen reader): every
// entry with its submenus, check marks and enabled state. Entries added,
// removed or changed are announced; a host's "clicked" runs the entry's
// action on the next turn of the event loop, after the call has returned.
class DBusMenuExporter : public QObject {
    Q_OBJECT
public:
    DBusMenuExporter(QDBusConnection bus, QString path, QMenu* menu);
    ~DBusMenuExporter() override;

    QString Path() const { return path_; }
    bool Exported() const { return exported_; }
    uint Revision() const { return revision_; }

    // The protocol's calls, as the adaptor hands them on.
    uint Layout(int parentId, int depth, const QStringList& names, DBusMenuNode& layout);
    DBusMenuItemPropertiesList GroupProperties(const QList<int>& ids, const QStringList& names);
    QDBusVariant Property(int id, const QString& name);
    bool HandleEvent(int id, const QString& eventId);
    bool AboutToShow(int id);

signals:
    void LayoutUpdated(uint revision, int parent);
    void ItemsPropertiesUpdated(const lumora::DBusMenuItemPropertiesList& updated,
                                const lumora::DBusMenuItemKeysList& removed);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Watch(QMenu* menu);
    void ScheduleAnnouncement();
    void Announce();

    QDBusConnection bus_;
    QString path_;
    QPointer<QMenu> menu_;
    DBusMenuIds ids_;
    uint revision_ = 1;
    bool exported_ = false;
    bool layoutChanged_ = false;
    bool announcementDue_ = false;
    QSet<QAction*> changed_;
};

// The com.canonical.dbusmenu interface of a DBusMenuExporter.
class DBusMenuAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
    Q_PROPERTY(uint Version READ Version)
    Q_PROPERTY(QString TextDirection READ TextDirection)
    Q_PROPERTY(QString Status READ Status)
    Q_PROPERTY(QStringList IconThemePath READ IconThemePath)
public:
    explicit DBusMenuAdaptor(DBusMenuExporter* exporter);

    uint Version() const { return 3; }
    QString TextDirection() const;
    QString Status() const { return QStringLiteral("normal"); }
    QStringList IconThemePath() const { return {}; }

public slots:
    uint GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames, lumora::DBusMenuNode& layout);
    lumora::DBusMenuItemPropertiesList GetGroupProperties(const QList<int>& ids, const QStringList& propertyNames);
    QDBusVariant GetProperty(int id, const QString& name);
    void Event(int id, const QString& eventId, const QDBusVariant& data, uint timestamp);
    QList<int> EventGroup(const lumora::DBusMenuEventList& events);
    bool AboutToShow(int id);
    QList<int> AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors);

signals:
    void LayoutUpdated(uint revision, int parent);
    void ItemsPropertiesUpdated(const lumora::DBusMenuItemPropertiesList& updatedProps,
                                const lumora::DBusMenuItemKeysList& removedProps);
    void ItemActivationRequested(int id, uint timestamp);

private:
    DBusMenuExporter* exporter_;
};

} // namespace lumora
