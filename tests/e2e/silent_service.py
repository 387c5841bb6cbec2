'''A service that hangs while it owns its names: takes every bus name given
on the command line on the session bus (DBUS_SESSION_BUS_ADDRESS; the system
bus, DBUS_SYSTEM_BUS_ADDRESS, after --system) and never
reads a message, so no call to it is ever answered. Says "ready" on standard
output once the names are its own.
'''

import sys
import time

import dbus

names = sys.argv[1:]
if names[:1] == ['--system']:
    bus = dbus.SystemBus()
    names = names[1:]
else:
    bus = dbus.SessionBus()
for name in names:
    # Another service may take the name over (dbusmock asks to replace).
    flags = dbus.bus.NAME_FLAG_DO_NOT_QUEUE | dbus.bus.NAME_FLAG_ALLOW_REPLACEMENT
    if bus.request_name(name, flags) != dbus.bus.REQUEST_NAME_REPLY_PRIMARY_OWNER:
        sys.exit('cannot own ' + name)
print('ready', flush=True)
while True:
    time.sleep(3600)
