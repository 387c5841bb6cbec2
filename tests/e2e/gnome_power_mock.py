'''GNOME's settings daemon as far as the program uses it: the screen
brightness of org.gnome.SettingsDaemon.Power, served by python-dbusmock on a
private session bus.

Setting Brightness announces it with PropertiesChanged, as the daemon does.
Tests play a change made elsewhere with the test interface's ChangeElsewhere.
'''

import dbus

BUS_NAME = 'org.gnome.SettingsDaemon.Power'
MAIN_OBJ = '/org/gnome/SettingsDaemon/Power'
MAIN_IFACE = 'org.gnome.SettingsDaemon.Power.Screen'
SYSTEM_BUS = False

TEST_IFACE = 'org.gnome.SettingsDaemon.Power.Test'


def load(mock, parameters):
    mock.AddProperties(MAIN_IFACE, {'Brightness': dbus.Int32(parameters.get('brightness', 50))})
    mock.AddMethods(TEST_IFACE, [
        ('ChangeElsewhere', 'i', '',
         'self.UpdateProperties("' + MAIN_IFACE + '", {"Brightness": dbus.Int32(args[0])})'),
    ])
