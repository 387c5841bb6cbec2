'''GNOME's compositor as far as the program uses it: the idle monitor and the
display configuration's monitor power, served by python-dbusmock on a private
session bus.

Tests set the idle time with the test interface's SetIdletime and play the
user's return with its FireUserActive.
'''

import dbus
import dbus.service

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
    mock.AddObject(DISPLAY_OBJ, DISPLAY_IFACE, {'PowerSaveMode': dbus.Int32(0)}, [])
