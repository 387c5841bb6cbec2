'''GNOME's compositor as far as the program uses it: the idle monitor and the
display configuration's monitor power, served by python-dbusmock on a private
session bus.

Tests set the idle time with the test interface's SetIdletime and play the
user's return with its FireUserActive.

Parameter 'power_save_mode' is where PowerSaveMode starts: 0 (on), or -1
where the compositor cannot switch this session's monitors.

Mutter 47 and later own the backlight: with parameter 'backlight' (a list of
monitors, each a dictionary with 'connector', 'active' and, where it can be
set, 'min', 'max' and 'value') DisplayConfig serves the Backlight property,
(uaa{sv}), and SetBacklight(serial, connector, value), which refuses a serial
that is not the property's. Every change is announced with PropertiesChanged.
The test interface's ChangeBacklight(connector, value) plays GNOME's own
slider, PanelOff(connector) a panel switched off (its entry loses min, max and
value) and NewSerial() a monitor configuration applied.
'''

import dbus
import dbus.service
import dbusmock.mockobject

BUS_NAME = 'org.gnome.Mutter.IdleMonitor'
MAIN_OBJ = '/org/gnome/Mutter/IdleMonitor/Core'
MAIN_IFACE = 'org.gnome.Mutter.IdleMonitor'
SYSTEM_BUS = False

TEST_IFACE = 'org.gnome.Mutter.IdleMonitor.Test'
DISPLAY_NAME = 'org.gnome.Mutter.DisplayConfig'
DISPLAY_OBJ = '/org/gnome/Mutter/DisplayConfig'
DISPLAY_IFACE = 'org.gnome.Mutter.DisplayConfig'


def load(mock, parameters):
    mock.idletime = parameters.get('idletime', 0)
    mock.next_watch = 0
    mock.active_watches = []
    mock.AddMethods(MAIN_IFACE, [
        ('GetIdletime', '', 't', 'ret = self.idletime'),
        ('AddIdleWatch', 't', 'u', 'self.next_watch += 1; ret = self.next_watch'),
        ('AddUserActiveWatch', '', 'u',
         'self.next_watch += 1; self.active_watches.append(self.next_watch); ret = self.next_watch'),
        ('RemoveWatch', 'u', '',
         'self.active_watches = [w for w in self.active_watches if w != args[0]]'),
    ])
    mock.AddMethods(TEST_IFACE, [
        ('SetIdletime', 't', '', 'self.idletime = args[0]'),
        # Input again: every user-active watch fires once and is gone.
        ('FireUserActive', '', '',
         'self.idletime = 0\n'
         'for w in self.active_watches:\n'
         '    self.EmitSignal("org.gnome.Mutter.IdleMonitor", "WatchFired", "u", [w])\n'
         'self.active_watches = []'),
    ])

    # The display configuration lives under its own name on the same bus.
    mock.display_name = dbus.service.BusName(DISPLAY_NAME, mock.connection, allow_replacement=True,
                                             replace_existing=True, do_not_queue=True)
    display = {'PowerSaveMode': dbus.Int32(parameters.get('power_save_mode', 0))}
    backlight = parameters.get('backlight')
    if backlight is None:
        mock.AddObject(DISPLAY_OBJ, DISPLAY_IFACE, display, [])
        return
    display['Backlight'] = backlight_value(1, backlight)
    mock.AddObject(DISPLAY_OBJ, DISPLAY_IFACE, display, [('SetBacklight', 'usi', '', SET_BACKLIGHT)])
    # Kept as plain values on the display object; the property is rebuilt
    # from them on each change.
    target = dbusmock.mockobject.objects[DISPLAY_OBJ]
    target.backlight_serial = 1
    target.backlight = [dict(entry) for entry in backlight]
    target.backlight_value = backlight_value
    mock.AddMethods(TEST_IFACE, [
        ('ChangeBacklight', 'si', '', ON_DISPLAY + CHANGE + PUBLISH),
        ('PanelOff', 's', '', ON_DISPLAY + PANEL_OFF + PUBLISH),
        ('NewSerial', '', '', ON_DISPLAY + 'd.backlight_serial += 1\n' + PUBLISH),
    ])


def backlight_value(serial, entries):
    '''The Backlight property as Mutter sends it.'''
    monitors = []
    for entry in entries:
        fields = {'connector': dbus.String(entry['connector']), 'active': dbus.Boolean(entry.get('active', True))}
        for key in ('min', 'max', 'value'):
            if key in entry:
                fields[key] = dbus.Int32(entry[key])
        monitors.append(dbus.Dictionary(fields, signature='sv'))
    return dbus.Struct((dbus.UInt32(serial), dbus.Array(monitors, signature='a{sv}')), signature='uaa{sv}')


# The snippets below run in dbusmock's methods: `d` is the display object.
ON_DISPLAY = 'd = get_object("' + DISPLAY_OBJ + '")\n'
# By hand: dbusmock's UpdateProperties cannot wrap a structure.
PUBLISH = ('v = d.backlight_value(d.backlight_serial, d.backlight)\n'
           'd.props["' + DISPLAY_IFACE + '"]["Backlight"] = v\n'
           'd.EmitSignal("org.freedesktop.DBus.Properties", "PropertiesChanged", "sa{sv}as", '
           '["' + DISPLAY_IFACE + '", {"Backlight": v}, []])\n')
# Loops, not comprehensions: dbusmock runs a snippet with its own locals,
# which a comprehension's scope does not see.
ENTRY = ('connector = args[0 if len(args) < 3 else 1]\n'
         'entry = []\n'
         'for e in d.backlight:\n'
         '    if e["connector"] == connector: entry.append(e)\n')
CHANGE = (ENTRY +
          'entry[0]["value"] = max(entry[0]["min"], min(entry[0]["max"], args[-1]))\n')
PANEL_OFF = ENTRY + 'for key in ("min", "max", "value"): entry[0].pop(key, None)\n'
SET_BACKLIGHT = ('d = self\n'
                 'if args[0] != d.backlight_serial:\n'
                 '    raise dbus.exceptions.DBusException("Invalid backlight serial", '
                 'name="org.freedesktop.DBus.Error.InvalidArgs")\n' +
                 ENTRY +
                 'if not entry or "value" not in entry[0]:\n'
                 '    raise dbus.exceptions.DBusException("Unknown monitor", '
                 'name="org.freedesktop.DBus.Error.InvalidArgs")\n' +
                 CHANGE + PUBLISH)
