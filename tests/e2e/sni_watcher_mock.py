'''A StatusNotifierItem host's watcher, org.kde.StatusNotifierWatcher, as the
hosts of Plasma, GNOME's AppIndicator extension and waybar serve it, served by
python-dbusmock on a private session bus. It says a host is present, keeps the
items that register (by bus name) in
RegisteredStatusNotifierItems and announces each with
StatusNotifierItemRegistered. It does not notice items that leave the bus;
tests read the newest entry.
'''

import dbus

BUS_NAME = 'org.kde.StatusNotifierWatcher'
MAIN_OBJ = '/StatusNotifierWatcher'
MAIN_IFACE = 'org.kde.StatusNotifierWatcher'
SYSTEM_BUS = False


def load(mock, parameters):
    mock.AddProperties(MAIN_IFACE, {
        'RegisteredStatusNotifierItems': dbus.Array([], signature='s'),
        'IsStatusNotifierHostRegistered': dbus.Boolean(True),
        'ProtocolVersion': dbus.Int32(0),
    })
    mock.AddMethods(MAIN_IFACE, [
        ('RegisterStatusNotifierItem', 's', '',
         'item = args[0]\n'
         'items = list(self.Get("' + MAIN_IFACE + '", "RegisteredStatusNotifierItems")) + [item]\n'
         'self.UpdateProperties("' + MAIN_IFACE + '", {"RegisteredStatusNotifierItems": '
         'dbus.Array(items, signature="s")})\n'
         'self.EmitSignal("' + MAIN_IFACE + '", "StatusNotifierItemRegistered", "s", [item])'),
        ('RegisterStatusNotifierHost', 's', '',
         'self.EmitSignal("' + MAIN_IFACE + '", "StatusNotifierHostRegistered", "", [])'),
    ])
