'''GNOME's settings daemon as far as the program uses it: the screen
brightness of org.gnome.SettingsDaemon.Power, served by python-dbusmock on a
private session bus.

Up to GNOME 48 (parameter 'screen', the default) the daemon serves
org.gnome.SettingsDaemon.Power.Screen: Brightness in percent, -1 when there
is no panel or it is switched off. GNOME 49 removed that interface; the name
stays, serving only the keyboard's backlight (parameter 'screen': false).

Setting Brightness announces it with PropertiesChanged, as the daemon does.
Tests play a change made elsewhere with the test interface's ChangeElsewhere.
'''

import dbus

BUS_NAME = 'org.gnome.SettingsDaemon.Power'
MAIN_OBJ = '/org/gnome/SettingsDaemon/Power'
MAIN_IFACE = 'org.gnome.SettingsDaemon.Power.Screen'
SYSTEM_BUS = False

KEYBOARD_IFACE = 'org.gnome.SettingsDaemon.Power.Keyboard'
TEST_IFACE = 'org.gnome.SettingsDaemon.Power.Test'


def load(mock, parameters):
    keyboard = {'Brightness': dbus.Int32(parameters.get('keyboard', 30))}
    if not parameters.get('screen', True):
        # GNOME 49: the main object carries the keyboard only. dbusmock adds
        # its main interface to it whatever the template says; an empty one
        # answers no method and has no property, as a missing one does.
        mock.AddProperties(KEYBOARD_IFACE, keyboard)
        mock.AddMethods(KEYBOARD_IFACE, [('StepUp', '', 'i', 'ret = 0'), ('StepDown', '', 'i', 'ret = 0'),
                                         ('Toggle', '', 'i', 'ret = 0')])
        return
    mock.AddProperties(MAIN_IFACE, {'Brightness': dbus.Int32(parameters.get('brightness', 50))})
    mock.AddProperties(KEYBOARD_IFACE, keyboard)
    mock.AddMethods(TEST_IFACE, [
        ('ChangeElsewhere', 'i', '',
         'self.UpdateProperties("' + MAIN_IFACE + '", {"Brightness": dbus.Int32(args[0])})'),
    ])
