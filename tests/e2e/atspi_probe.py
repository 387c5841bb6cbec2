#!/usr/bin/python3
"""Reads and works a running program through the AT-SPI accessibility bus,
as a screen reader does.

    atspi_probe.py tree PID            the tree, one "role<TAB>name<TAB>value" line per object
    atspi_probe.py set PID NAME VALUE  sets the value of the object named NAME
    atspi_probe.py act PID NAME ACTION runs the named action of the object named NAME
    atspi_probe.py watch PID SECONDS   prints READY, then each value change as
                                       "VALUE<TAB>role<TAB>name<TAB>value" until the time is up

The bus is the one AT_SPI_BUS_ADDRESS names. Exit status 2: the program or
the object was not found.
"""

import sys
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

# The interface getters this version of the library names deprecated are the
# ones every version has.
warnings.filterwarnings("ignore", category=DeprecationWarning)


def application(pid, timeout=10.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        desktop = Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(i)
            try:
                if app is not None and app.get_process_id() == pid:
                    return app
            except GLib.Error:
                pass
        time.sleep(0.2)
    return None


def walk(node, depth=0):
    if node is None or depth > 12:
        return
    yield node
    try:
        count = node.get_child_count()
    except GLib.Error:
        return
    for i in range(count):
        yield from walk(node.get_child_at_index(i), depth + 1)


def value_of(node):
    value = node.get_value_iface()
    if value is None:
        return ""
    return "%g" % value.get_current_value()


def line(node):
    return "%s\t%s\t%s" % (node.get_role_name(), node.get_name(), value_of(node))


def named(app, name):
    for node in walk(app):
        if node.get_name() == name:
            return node
    return None


def main(argv):
    command, pid = argv[1], int(argv[2])
    app = application(pid)
    if app is None:
        desktop = Atspi.get_desktop(0)
        found = [desktop.get_child_at_index(i) for i in range(desktop.get_child_count())]
        print("no application with pid %d on the bus; there are %s" % (
            pid, [(a.get_name(), a.get_process_id()) for a in found if a is not None]), file=sys.stderr)
        return 2
    if command == "tree":
        for node in walk(app):
            print(line(node))
        return 0
    if command == "set":
        node = named(app, argv[3])
        if node is None or node.get_value_iface() is None:
            return 2
        return 0 if node.get_value_iface().set_current_value(float(argv[4])) else 1
    if command == "act":
        # A caption and the control it names share the name: the one with
        # the action is meant.
        seen = []
        for node in walk(app):
            action = node.get_action_iface() if node.get_name() == argv[3] else None
            if action is None:
                continue
            names = [action.get_action_name(i) for i in range(action.get_n_actions())]
            seen += names
            for i, name in enumerate(names):
                if name.lower() == argv[4].lower():
                    return 0 if action.do_action(i) else 1
        print("actions: %s" % seen, file=sys.stderr)
        return 2
    if command == "watch":
        def changed(event):
            try:
                print("VALUE\t" + line(event.source), flush=True)
            except GLib.Error:
                pass

        listener = Atspi.EventListener.new(changed)
        listener.register("object:property-change:accessible-value")
        GLib.timeout_add(int(float(argv[3]) * 1000), Atspi.event_quit)
        # The program hears of the listener through the registry before it
        # sends the events; a moment for that to arrive.
        GLib.timeout_add(500, lambda: print("READY", flush=True) and False)
        Atspi.event_main()
        return 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
