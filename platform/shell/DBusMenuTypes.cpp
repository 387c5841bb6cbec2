#include "platform/shell/DBusMenuTypes.h"

#include <QDBusMetaType>

namespace lumora {

QDBusArgument& operator<<(QDBusArgument& arg, const DBusMenuNode& node)
{
    arg.beginStructure();
    arg << node.Id << node.Properties;
    arg.beginArray(QMetaType::fromType<QDBusVariant>());
    for (const DBusMenuNode& child : node.Children)
        arg << QDBusVariant(QVariant::fromValue(child));
    arg.endArray();
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, DBusMenuNode& node)
{
    node = DBusMenuNode{};
    arg.beginStructure();
    arg >> node.Id >> node.Properties;
    arg.beginArray();
    while (!arg.atEnd()) {
        QDBusVariant child;
        arg >> child;
        node.Children.push_back(qdbus_cast<DBusMenuNode>(child.variant()));
    }
    arg.endArray();
    arg.endStructure();
    return arg;
}

QDBusArgument& operator<<(QDBusArgument& arg, const DBusMenuItemProperties& item)
{
    arg.beginStructure();
    arg << item.Id << item.Properties;
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, DBusMenuItemProperties& item)
{
    arg.beginStructure();
    arg >> item.Id >> item.Properties;
    arg.endStructure();
    return arg;
}

QDBusArgument& operator<<(QDBusArgument& arg, const DBusMenuItemKeys& item)
{
    arg.beginStructure();
    arg << item.Id << item.Names;
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, DBusMenuItemKeys& item)
{
    arg.beginStructure();
    arg >> item.Id >> item.Names;
    arg.endStructure();
    return arg;
}

QDBusArgument& operator<<(QDBusArgument& arg, const DBusMenuEvent& event)
{
    arg.beginStructure();
    arg << event.Id << event.EventId << event.Data << event.Timestamp;
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, DBusMenuEvent& event)
{
    arg.beginStructure();
    arg >> event.Id >> event.EventId >> event.Data >> event.Timestamp;
    arg.endStructure();
    return arg;
}

void RegisterDBusMenuTypes()
{
    static const bool registered = [] {
        qDBusRegisterMetaType<DBusMenuNode>();
        qDBusRegisterMetaType<DBusMenuItemProperties>();
        qDBusRegisterMetaType<DBusMenuItemPropertiesList>();
        qDBusRegisterMetaType<DBusMenuItemKeys>();
        qDBusRegisterMetaType<DBusMenuItemKeysList>();
        qDBusRegisterMetaType<DBusMenuEvent>();
        qDBusRegisterMetaType<DBusMenuEventList>();
        // Signals are relayed by the names their parameters are declared with.
        qRegisterMetaType<DBusMenuItemPropertiesList>("lumora::DBusMenuItemPropertiesList");
        qRegisterMetaType<DBusMenuItemKeysList>("lumora::DBusMenuItemKeysList");
        qRegisterMetaType<DBusMenuEventList>("lumora::DBusMenuEventList");
        return true;
    }();
    (void)registered;
}

} // namespace lumora
