'''KDE Plasma 6's power management as far as the program uses it: the
per-display brightness under /org/kde/ScreenBrightness, served by
python-dbusmock on a private session bus. Like Plasma 6's power manager it
claims org.kde.ScreenBrightness and the power management's name,
org.kde.Solid.PowerManagement, where it no longer serves Plasma 5's
brightness control action. Parameter 'screen_brightness_name': false leaves
org.kde.ScreenBrightness out, as early Plasma 6 releases did.

Two displays: an external monitor listed first and the internal panel.
Like the real service, every set value is announced on the root object with
BrightnessChanged(display, value, source client, source context), and the
display's Brightness property follows it. Tests play a change made elsewhere
with the test interface's ChangeElsewhere(display, value).

Parameters 'brightness' and 'maximum' are the panel's.
'''

import dbus
import dbus.service

BUS_NAME = 'org.kde.Solid.PowerManagement'
SCREEN_BRIGHTNESS_NAME = 'org.kde.ScreenBrightness'
MAIN_OBJ = '/org/kde/ScreenBrightness'
MAIN_IFACE = 'org.kde.ScreenBrightness'
SYSTEM_BUS = False

DISPLAY_IFACE = 'org.kde.ScreenBrightness.Display'
TEST_IFACE = 'org.kde.ScreenBrightness.Test'


def set_code(display, value, source):
    '''The snippet that sets `display` (an expression) to `value` and
    announces it as set by `source`.'''
    return ('get_object("' + MAIN_OBJ + '/" + ' + display + ').UpdateProperties("' + DISPLAY_IFACE + '", '
            '{"Brightness": dbus.Int32(' + value + ')})\n'
            'get_object("' + MAIN_OBJ + '").EmitSignal("' + MAIN_IFACE + '", "BrightnessChanged", "siss", '
            '[' + display + ', ' + value + ', "' + source + '", ""])')


def load(mock, parameters):
    if parameters.get('screen_brightness_name', True):
        mock.screen_brightness_name = dbus.service.BusName(SCREEN_BRIGHTNESS_NAME, mock.connection,
                                                           allow_replacement=True, replace_existing=True,
                                                           do_not_queue=True)
    displays = [
        ('display0', 'External Monitor', False, 80, 100),
        ('display1', 'Built-in Display', True, parameters.get('brightness', 500), parameters.get('maximum', 1000)),
    ]
    mock.AddProperties(MAIN_IFACE, {
        'DisplaysDBusNames': dbus.Array([d[0] for d in displays], signature='s'),
    })
    for name, label, internal, brightness, maximum in displays:
        mock.AddObject(MAIN_OBJ + '/' + name, DISPLAY_IFACE, {
            'Label': dbus.String(label),
            'IsInternal': dbus.Boolean(internal),
            'Brightness': dbus.Int32(brightness),
            'MaxBrightness': dbus.Int32(maximum),
        }, [
            ('SetBrightness', 'iu', '', set_code('"' + name + '"', 'args[0]', 'a client')),
        ])
    # ChangeElsewhere(s display, i value): the brightness keys or Plasma's slider.
    mock.AddMethods(TEST_IFACE, [
        ('ChangeElsewhere', 'si', '', set_code('args[0]', 'args[1]', 'org.kde.plasmashell')),
    ])
