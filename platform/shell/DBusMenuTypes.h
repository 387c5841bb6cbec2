#pragma once

#include "platform/shell/DBusMenuLayout.h"

#include <QDBusArgument>
#include <QDBusVariant>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace lumora {

// The properties of one entry, as GetGroupProperties and
// ItemsPropertiesUpdated carry them: (ia{sv}).
struct DBusMenuItemProperties {
    int Id = 0;
    QVariantMap Properties;
};
using DBusMenuItemPropertiesList = QList<DBusMenuItemProperties>;

// Properties an entry no longer has: (ias).
struct DBusMenuItemKeys {
    int Id = 0;
    QStringList Names;
};
using DBusMenuItemKeysList = QList<DBusMenuItemKeys>;

// One event of EventGroup: (isvu).
struct DBusMenuEvent {
    int Id = 0;
    QString EventId;
    QDBusVariant Data;
    uint Timestamp = 0;
};
using DBusMenuEventList = QList<DBusMenuEvent>;

// A layout node travels as (ia{sv}av): id, properties, and each child as a
// variant holding its own node.
QDBusArgument& operator<<(QDBusArgument& arg, const DBusMenuNode& node);
const QDBusArgument& operator>>(const QDBusArgument& arg, DBusMenuNode& node);
QDBusArgument& operator<<(QDBusArgument& arg, const DBusMenuItemProperties& item);
const QDBusArgument& operator>>(const QDBusArgument& arg, DBusMenuItemProperties& item);
QDBusArgument& operator<<(QDBusArgument& arg, const DBusMenuItemKeys& item);
const QDBusArgument& operator>>(const QDBusArgument& arg, DBusMenuItemKeys& item);
QDBusArgument& operator<<(QDBusArgument& arg, const DBusMenuEvent& event);
const QDBusArgument& operator>>(const QDBusArgument& arg, DBusMenuEvent& event);

// Makes the types above known to Qt D-Bus; safe to call more than once.
void RegisterDBusMenuTypes();

} // namespace lumora

Q_DECLARE_METATYPE(lumora::DBusMenuNode)
Q_DECLARE_METATYPE(lumora::DBusMenuItemProperties)
Q_DECLARE_METATYPE(lumora::DBusMenuItemKeys)
Q_DECLARE_METATYPE(lumora::DBusMenuEvent)
