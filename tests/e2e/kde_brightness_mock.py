'''KDE Plasma 5's power management as far as the program uses it: the
brightness control action, served by python-dbusmock on a private session bus.

Like the real service, every set value is announced with brightnessChanged.
Tests play a change made elsewhere (the brightness keys, Plasma's slider)
with the test interface's ChangeElsewhere, and a service that stops answering
for a while with its Hang(seconds): the mock serves one call at a time, so
nothing is answered until it is over.

The power manager serves the action only where it handles the backlight:
with parameter 'backlight': false the name is owned and the action's object
answers no call. ChangeMaximum(maximum) plays another backlight device taking
over (a GPU switch): brightnessMaxChanged, the value kept in raw steps.
'''

import dbus

BUS_NAME = 'org.kde.Solid.PowerManagement'
MAIN_OBJ = '/org/kde/Solid/PowerManagement/Actions/BrightnessControl'
MAIN_IFACE = 'org.kde.Solid.PowerManagement.Actions.BrightnessControl'
SYSTEM_BUS = False

TEST_IFACE = 'org.kde.Solid.PowerManagement.Test'

SET = ('self.value = args[0]\n'
       'self.EmitSignal("' + MAIN_IFACE + '", "brightnessChanged", "i", [args[0]])')

# Parameter 'delay' (seconds) makes every call of the action take that long,
# as a busy service does.
SLOW = 'import time; time.sleep(self.delay)\n'


def load(mock, parameters):
    mock.value = parameters.get('brightness', 500)
    mock.maximum = parameters.get('maximum', 1000)
    mock.delay = parameters.get('delay', 0)
    if not parameters.get('backlight', True):
        return
    mock.AddMethods(MAIN_IFACE, [
        ('brightness', '', 'i', SLOW + 'ret = self.value'),
        ('brightnessMax', '', 'i', SLOW + 'ret = self.maximum'),
        ('setBrightness', 'i', '', SLOW + SET),
        ('setBrightnessSilent', 'i', '', SLOW + SET),
    ])
    mock.AddMethods(TEST_IFACE, [
        ('ChangeElsewhere', 'i', '', SET),
        ('Hang', 'u', '', 'import time; time.sleep(args[0])'),
        ('ChangeMaximum', 'i', '',
         'self.maximum = args[0]\n'
         'self.EmitSignal("' + MAIN_IFACE + '", "brightnessMaxChanged", "i", [args[0]])'),
    ])
