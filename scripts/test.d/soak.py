#!/usr/bin/env python3
"""Soak run of the whole program: random user and desktop actions from a fixed
seed against the sanitizer build of lumora on its own X display, with a window
manager, a notification area, a session bus and a login manager on a private
system bus, and a stand-in backlight device.

It fails on: the program ending or crashing, a sanitizer report in its output,
a hang (the bus interface not answering within 2 s, twice in a row), a
brightness write outside 1 .. max_brightness, a settings file that does not
parse, or resident memory that climbs: more than 5 MB above its value after the
warm-up (the first minute, or the first two thirds of a shorter run) at the
end, of which more than 2.5 MB came outside the largest single step between
two samples (taken every 3 s). A cache that fills once (the first box, the
first menu, the first picture list) shows as one step and is not growth; a leak
climbs from sample to sample. A leak that only a rare action causes shows as
several steps over a longer run (LUMORA_SOAK_SECONDS=600). Actions the desktop drops (a click on a window that just went away, a
menu that did not open) are not failures.

The seed fixes which actions are done, in which order and with which values;
their timing against the program's own is the machine's, so a replay takes
the same path but not always the same interleaving.

Usage: soak.py PROGRAM   (LUMORA_SOAK_SECONDS, LUMORA_SOAK_SEED, and
LUMORA_SOAK_VERBOSE=1 to list each action as it is done and the resident
memory every few seconds, LUMORA_SOAK_LEAKS=1 to check the running copy for
leaks at its end too, LUMORA_SOAK_ASAN_EXTRA=":option=value..." for more
sanitizer options, e.g. ":fast_unwind_on_malloc=0" for whole leak stacks)
"""

import os
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SERVICE = "org.kestrelo.LumoraBrightness"
PATH = "/org/kestrelo/LumoraBrightness"
LEVELS = 11
MAX_BRIGHTNESS = 937  # odd, so that percent rounding is exercised
RSS_SLACK_KB = 5 * 1024
SANITIZER_REPORT = re.compile(
    r"ERROR: AddressSanitizer|ERROR: LeakSanitizer|runtime error:|WARNING: AddressSanitizer|"
    r"ThreadSanitizer|==\d+==ERROR")


class Failure(Exception):
    pass


def log(text):
    print(text, flush=True)


# ------------------------------------------------------------ settings file

PLAIN_EXTRA = set(" _-.()&+,'!@$~")


def plain_name(name):
    return (name != "" and name[0] != " " and name[-1] != " " and
            all(c.isalnum() or c in PLAIN_EXTRA for c in name))


def parse_quoted(line, i):
    """Returns (text, index after the closing quote); raises ValueError."""
    i += 1
    out = []
    while True:
        if i >= len(line):
            raise ValueError("text without its closing quote")
        c = line[i]
        i += 1
        if c == '"':
            return "".join(out), i
        if c != "\\":
            out.append(c)
            continue
        if i >= len(line):
            raise ValueError("text without its closing quote")
        e = line[i]
        i += 1
        if e in '\\"':
            out.append(e)
        elif e in "nrt":
            out.append({"n": "\n", "r": "\r", "t": "\t"}[e])
        elif e == "u":
            digits = line[i:i + 4]
            if len(digits) != 4 or not all(d in "0123456789abcdefABCDEF" for d in digits):
                raise ValueError("\\u needs four hexadecimal digits")
            out.append(chr(int(digits, 16)))
            i += 4
        else:
            raise ValueError("unknown escape \\" + e)


def check_settings_text(raw):
    """Raises ValueError naming the line when the text does not parse as the
    program's settings format."""
    in_section = False
    for number, line in enumerate(raw.split(b"\n"), 1):
        if number == 1 and line.startswith(b"\xef\xbb\xbf"):
            line = line[3:]
        if line.endswith(b"\r"):
            line = line[:-1]
        try:
            text = line.decode("utf-8")
        except UnicodeDecodeError:
            raise ValueError(f"line {number}: not UTF-8 text")
        if "\0" in text:
            raise ValueError(f"line {number}: not UTF-8 text")
        s = text.lstrip(" \t")
        try:
            if s == "" or s[0] in "#;":
                continue
            if s[0] == "[":
                s = s[1:].lstrip(" \t")
                if s.startswith('"'):
                    _, i = parse_quoted(s, 0)
                    rest = s[i:].lstrip(" \t")
                else:
                    end = s.find("]")
                    if end < 0:
                        raise ValueError("a section needs its closing ]")
                    for segment in s[:end].strip(" \t").split("\\"):
                        if segment and not plain_name(segment):
                            raise ValueError("a key name with special characters must be quoted")
                    rest = s[end:]
                if not rest.startswith("]") or rest[1:].strip(" \t"):
                    raise ValueError("bad section line")
                in_section = True
                continue
            if not in_section:
                raise ValueError("a value before the first [key] line")
            if s.startswith('"'):
                _, i = parse_quoted(s, 0)
                rest = s[i:].lstrip(" \t")
            else:
                eq = s.find("=")
                if eq < 0 or not plain_name(s[:eq].strip(" \t")):
                    raise ValueError("a line that is neither a [key] nor name=value")
                rest = s[eq:]
            if not rest.startswith("="):
                raise ValueError("a value line needs name=value")
            value = rest[1:].lstrip(" \t")
            if value.startswith('"'):
                _, i = parse_quoted(value, 0)
                if value[i:].strip(" \t"):
                    raise ValueError("unexpected text after the entry")
            else:
                token = value.strip(" \t")
                if not re.fullmatch(r"[+-]?\d+", token) or not -2**31 <= int(token) < 2**31:
                    raise ValueError("neither a quoted text nor a 32-bit integer")
        except ValueError as e:
            raise ValueError(f"line {number}: {e}: {text!r}")


# ------------------------------------------------------------------ the run

class Soak:
    def __init__(self, program, seconds, seed):
        self.program = os.path.abspath(program)
        self.seconds = seconds
        self.seed = seed
        self.rng = random.Random(seed)
        self.root = tempfile.mkdtemp(prefix="lumora-soak-")
        self.home = os.path.join(self.root, "home")
        self.backlight = os.path.join(self.root, "backlight")
        self.device = os.path.join(self.backlight, "acpi_video0")
        self.settings = os.path.join(self.home, ".config", "Kestrelo", "LumoraBrightness.conf")
        self.output = os.path.join(self.root, "program.log")
        self.children = []
        self.actions = {}
        self.dropped = 0
        self.unplugged_until = None
        self.window = None
        self.sleeping = False
        self.desktop_service = None
        self.verbose = os.environ.get("LUMORA_SOAK_VERBOSE", "") not in ("", "0")
        # The long-running copy's leak check at exit is off by default: after
        # some runs it names a few hundred bytes that Qt's pointer-event
        # handling keeps (QMutableEventPoint::detach), with no frame of ours
        # in the stack; growth is what the resident memory check is for. The
        # short starts beside it are checked for leaks always.
        self.leaks = os.environ.get("LUMORA_SOAK_LEAKS", "") not in ("", "0")
        self.repo = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

    # -------------------------------------------------------- helpers

    def env(self, **extra):
        env = dict(os.environ)
        env.update({
            "HOME": self.home,
            "XDG_CONFIG_HOME": os.path.join(self.home, ".config"),
            "XDG_DATA_HOME": os.path.join(self.home, ".local", "share"),
            "XDG_CACHE_HOME": os.path.join(self.home, ".cache"),
            "XDG_RUNTIME_DIR": os.path.join(self.home, "runtime"),
            "DISPLAY": self.display,
            "QT_QPA_PLATFORM": "xcb",
            "DBUS_SESSION_BUS_ADDRESS": self.session_bus,
            "DBUS_SYSTEM_BUS_ADDRESS": self.system_bus,
        })
        env.pop("WAYLAND_DISPLAY", None)
        env.pop("XDG_SESSION_TYPE", None)
        env.update(extra)
        return env

    def spawn(self, args, env=None, **kw):
        p = subprocess.Popen(args, env=env, stdin=subprocess.DEVNULL, **kw)
        self.children.append(p)
        return p

    def run(self, args, timeout=15, env=None):
        """Runs a short command; (exit code, output), code None on timeout."""
        began = time.monotonic()
        try:
            p = subprocess.run(args, env=env or self.env(), stdin=subprocess.DEVNULL, capture_output=True,
                               text=True, timeout=timeout)
            return p.returncode, p.stdout + p.stderr
        except subprocess.TimeoutExpired:
            return None, ""
        finally:
            if self.verbose and time.monotonic() - began > 2:
                log(f"soak: {time.monotonic() - began:.1f} s for {' '.join(map(str, args))[:120]}")

    def xdotool(self, *args, timeout=5):
        return self.run(["xdotool", *map(str, args)], timeout=timeout)

    def bus(self, *args, timeout_ms=2000, address=None):
        return self.run(["dbus-send", "--bus=" + (address or self.session_bus), "--print-reply",
                         f"--reply-timeout={timeout_ms}", *args], timeout=timeout_ms / 1000 + 10)

    def wait_for(self, condition, seconds, step=0.1):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            if condition():
                return True
            time.sleep(step)
        return condition()

    def start_bus(self, config):
        p = self.spawn(["dbus-daemon", "--config-file=" + config, "--nofork", "--print-address=1"],
                       stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        address = p.stdout.readline().decode().strip()
        if not address:
            raise Failure("dbus-daemon did not report its address")
        return address

    # ---------------------------------------------------------- set-up

    def set_up(self):
        os.makedirs(self.device)
        self.write_device(self.rng.randint(1, MAX_BRIGHTNESS))
        with open(os.path.join(self.device, "max_brightness"), "w") as f:
            f.write(f"{MAX_BRIGHTNESS}\n")
        with open(os.path.join(self.device, "type"), "w") as f:
            f.write("firmware\n")
        os.makedirs(os.path.dirname(self.settings))
        with open(self.settings, "w") as f:
            f.write("[Software\\Kestrelo\\LumoraBrightness]\nProfileIcon=\"\"\nLevel=0\nRunOnStartup=0\n"
                    "DimInterval=0\nProfileDesc=\"\"\n")
        os.makedirs(os.path.join(self.home, "runtime"), mode=0o700)

        xvfb = self.spawn(["Xvfb", "-displayfd", "1", "-noreset", "-screen", "0", "1280x1024x24", "-nolisten",
                           "tcp", "-dpi", "96"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        number = xvfb.stdout.readline().decode().strip()
        if not number:
            raise Failure("Xvfb did not report its display")
        self.display = ":" + number

        session_conf = "/usr/share/dbus-1/session.conf"
        self.session_bus = self.start_bus(session_conf)
        self.system_bus = self.start_bus(session_conf)

        quiet = dict(stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.spawn(["openbox", "--sm-disable"], env=self.env(DBUS_SESSION_BUS_ADDRESS="unix:path=/nonexistent"),
                   **quiet)
        if not self.wait_for(lambda: "_NET_SUPPORTING_WM_CHECK(WINDOW)" in self.run(["xprop", "-root"])[1], 20):
            raise Failure("openbox did not take the display")
        self.spawn(["trayer", "--edge", "top", "--align", "right", "--widthtype", "pixel", "--width", "120",
                    "--heighttype", "pixel", "--height", "24", "--SetDockType", "true", "--SetPartialStrut", "true",
                    "--expand", "false"], env=self.env(), **quiet)
        self.logind = self.spawn(["/usr/bin/python3", "-m", "dbusmock", "--system", "--template", "logind"],
                                 env=self.env(), **quiet)
        if not self.wait_for(lambda: self.name_owned("org.freedesktop.login1", self.system_bus), 30, 0.3):
            raise Failure("dbusmock's logind did not start")

        self.out = open(self.output, "w")
        self.lumora = self.spawn([self.program, "--backlight-root", self.backlight, "--levels", str(LEVELS)],
                                 env=self.sanitized_env(leaks=self.leaks), stdout=self.out,
                                 stderr=subprocess.STDOUT)
        if not self.wait_for(lambda: self.name_owned(SERVICE, self.session_bus) or self.lumora.poll() is not None,
                             90, 0.3):
            raise Failure("the program did not register on the session bus within 90 s")
        self.check_alive()
        self.find_window(60)

    def sanitized_env(self, leaks=True):
        here = os.path.dirname(os.path.abspath(__file__))
        # A small quarantine, so that freed memory held back by the sanitizer
        # does not read as growth.
        options = f"detect_leaks={int(leaks)}:abort_on_error=0:quarantine_size_mb=1:malloc_context_size=8"
        return self.env(
            ASAN_OPTIONS=options + os.environ.get("LUMORA_SOAK_ASAN_EXTRA", ""),
            LSAN_OPTIONS=f"suppressions={here}/lsan.supp:print_suppressions=0",
            UBSAN_OPTIONS="print_stacktrace=1")

    def name_owned(self, name, address):
        code, out = self.bus("--dest=org.freedesktop.DBus", "/org/freedesktop/DBus",
                             "org.freedesktop.DBus.NameHasOwner", "string:" + name, address=address)
        return code == 0 and "boolean true" in out

    def find_window(self, seconds=5):
        """The program's main window (the largest of its shown windows)."""
        def look():
            code, out = self.xdotool("search", "--onlyvisible", "--pid", self.lumora.pid)
            best, area = None, 0
            for w in out.split():
                if self.transient(w):
                    continue  # a box or dialog over the window
                geometry = self.geometry(w)
                if geometry and geometry[2] * geometry[3] > area:
                    best, area = w, geometry[2] * geometry[3]
            self.window = best if area >= 200 * 200 else None
            return self.window is not None
        return self.wait_for(look, seconds, 0.5)

    def transient(self, window):
        code, out = self.run(["xprop", "-id", window, "WM_TRANSIENT_FOR"], timeout=10)
        return code == 0 and "window id" in out

    def geometry(self, window):
        code, out = self.xdotool("getwindowgeometry", "--shell", window)
        if code != 0:
            return None
        values = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
        try:
            return tuple(int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))
        except (KeyError, ValueError):
            return None

    # ---------------------------------------------------------- device

    def write_device(self, value):
        for name in ("brightness", "actual_brightness"):
            with open(os.path.join(self.device, name), "w") as f:
                f.write(f"{value}\n")

    # ---------------------------------------------------------- checks

    def check_alive(self):
        code = self.lumora.poll()
        if code is not None:
            raise Failure(f"the program ended (exit status {code})")

    def check_output(self):
        with open(self.output, errors="replace") as f:
            text = f.read()
        match = SANITIZER_REPORT.search(text)
        if match:
            raise Failure("a sanitizer report in the program's output:\n" + text[max(0, match.start() - 200):][:6000])

    def check_device(self):
        if self.unplugged_until is not None:
            return
        try:
            with open(os.path.join(self.device, "brightness")) as f:
                text = f.read().strip()
        except FileNotFoundError:
            return  # re-created a moment ago by this driver
        if text == "":
            return  # the program truncates, then writes
        try:
            value = int(text)
        except ValueError:
            raise Failure(f"the brightness file holds {text!r}")
        if not 0 < value <= MAX_BRIGHTNESS:
            raise Failure(f"brightness {value} written, outside 1 .. {MAX_BRIGHTNESS}")

    def check_settings(self):
        try:
            with open(self.settings, "rb") as f:
                raw = f.read()
        except FileNotFoundError:
            return
        try:
            check_settings_text(raw)
        except ValueError as e:
            raise Failure(f"the settings file does not parse: {e}\n{raw.decode(errors='replace')}")

    def check_answers(self):
        """The event loop answers on the bus within 2 s; one miss may be the
        loaded machine, two in a row are a hang."""
        for attempt in range(2):
            code, out = self.bus("--dest=" + SERVICE, PATH, "org.freedesktop.DBus.Properties.Get",
                                 "string:" + SERVICE, "string:Level")
            if code == 0 and "int32" in out:
                return int(out.split("int32")[1].split()[0])
            self.check_alive()
        raise Failure("hang: the bus interface did not answer the level within 2 s, twice")

    def check(self):
        self.check_alive()
        self.check_output()
        self.check_device()
        self.check_settings()

    def rss_kb(self):
        with open(f"/proc/{self.lumora.pid}/status") as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
        raise Failure("no VmRSS for the program")

    # --------------------------------------------------------- actions

    def main_window(self):
        """The main window, shown; None when it cannot be had (dropped)."""
        if self.window and self.geometry(self.window):
            code, out = self.xdotool("search", "--onlyvisible", "--pid", self.lumora.pid)
            if self.window in out.split():
                return self.window
        if self.find_window(1):
            return self.window
        # Hidden to the notification area: a second start brings it back.
        self.act_second_start()
        return self.window if self.find_window(5) else None

    @staticmethod
    def design(x, y):
        return x * 96 // 120, y * 96 // 120

    def track_bar_at(self, percent):
        top, bottom = 8 + 21, 8 + 361
        return self.design(24 + 45, int(bottom - (bottom - top) * percent / 100.0))

    def click(self, window, x, y, button=1):
        # One xdotool run, so that the click follows the move. (--sync is not
        # used: it waits forever when the pointer is already there.)
        self.xdotool("mousemove", "--window", window, x, y, "click", button)

    def act_track_click(self):
        w = self.main_window()
        if not w:
            return False
        self.click(w, *self.track_bar_at(self.rng.uniform(0, 100)))
        return True

    def act_track_drag(self):
        w = self.main_window()
        if not w:
            return False
        a, b = self.rng.uniform(0, 100), self.rng.uniform(0, 100)
        self.xdotool("mousemove", "--window", w, *self.track_bar_at(a))
        self.xdotool("mousedown", 1)
        for i in range(1, 7):
            self.xdotool("mousemove", "--window", w, *self.track_bar_at(a + (b - a) * i / 6))
        self.xdotool("mouseup", 1)
        return True

    def act_gauge(self):
        w = self.main_window()
        if not w:
            return False
        # The dial: design 141, 8, about 200 x 200.
        self.click(w, *self.design(141 + self.rng.randint(10, 190), 8 + self.rng.randint(10, 190)))
        return True

    def act_keys(self):
        w = self.main_window()
        if not w:
            return False
        keys = [self.rng.choice(["Up", "Down", "Prior", "Next", "Home", "End", "Left", "Right", "Tab"])
                for _ in range(self.rng.randint(1, 4))]
        self.xdotool("windowactivate", "--sync", w)
        self.xdotool("key", "--window", w, *keys)
        return True

    def act_anywhere(self):
        """A click anywhere on the window: profiles, the picker, buttons."""
        w = self.main_window()
        if not w:
            return False
        g = self.geometry(w)
        if not g:
            return False
        self.click(w, self.rng.randint(2, g[2] - 3), self.rng.randint(2, g[3] - 3))
        return True

    def act_tray(self):
        code, out = self.xdotool("search", "--onlyvisible", "--class", "trayer")
        tray = out.split()[0] if code == 0 and out.split() else None
        g = self.geometry(tray) if tray else None
        if not g or g[2] < 16:
            return False
        self.click(tray, g[2] // 2, g[3] // 2, self.rng.choice([1, 3, 3]))
        time.sleep(0.4)
        for _ in range(self.rng.randint(0, 5)):
            self.xdotool("key", self.rng.choice(["Down", "Down", "Up", "Right"]))
        self.xdotool("key", self.rng.choice(["Return", "Return", "Escape"]))
        return True

    def act_close(self):
        w = self.main_window()
        if not w:
            return False
        # The window manager's close: it sends WM_DELETE_WINDOW, and the
        # window hides to the notification area.
        self.xdotool("windowactivate", "--sync", w)
        self.xdotool("key", "alt+F4")
        return True

    def second_process(self, args):
        """Another start of the program beside the running one; its output
        is held to the same sanitizer check."""
        code, out = self.run([self.program, *args], timeout=60, env=self.sanitized_env())
        match = SANITIZER_REPORT.search(out)
        if match:
            raise Failure(f"a sanitizer report from 'lumora {' '.join(args)}':\n" + out[max(0, match.start() - 200):][:6000])
        return code is not None

    def act_second_start(self):
        """A second start raises the first copy and ends."""
        return self.second_process(["--backlight-root", self.backlight, "--levels", str(LEVELS)])

    def act_bus_set(self):
        level = self.rng.randint(-2, LEVELS + 1)
        code, out = self.bus("--dest=" + SERVICE, PATH, SERVICE + ".SetLevel", f"int32:{level}", timeout_ms=10000)
        if 0 <= level < LEVELS and code != 0 and "InvalidArgs" in out:
            raise Failure(f"SetLevel({level}) refused: {out}")
        if not 0 <= level < LEVELS and code == 0:
            raise Failure(f"SetLevel({level}) accepted, outside 0 .. {LEVELS - 1}")
        return True

    def act_command_set(self):
        level = self.rng.randint(0, LEVELS - 1)
        return self.second_process(["--set-level", str(level)])

    def act_command_get(self):
        return self.second_process(["--get-level"])

    def act_outside_change(self):
        """Another program sets the device."""
        if self.unplugged_until is not None:
            return False
        self.write_device(self.rng.randint(1, MAX_BRIGHTNESS))
        return True

    def act_unplug(self):
        if self.unplugged_until is not None:
            return False
        shutil.rmtree(self.device)
        self.unplugged_until = time.monotonic() + self.rng.uniform(0.2, 4)
        return True

    def replug(self):
        if self.unplugged_until is None or time.monotonic() < self.unplugged_until:
            return
        staging = self.device + ".new"
        os.makedirs(staging)
        for name, value in (("max_brightness", MAX_BRIGHTNESS), ("type", "firmware"),
                            ("brightness", self.rng.randint(1, MAX_BRIGHTNESS))):
            with open(os.path.join(staging, name), "w") as f:
                f.write(f"{value}\n")
            if name == "brightness":
                shutil.copy(os.path.join(staging, name), os.path.join(staging, "actual_brightness"))
        os.rename(staging, self.device)
        self.unplugged_until = None

    def act_sleep(self):
        """The login manager tells of sleep, then (mostly) of the resume."""
        start = not self.sleeping if self.rng.random() < 0.8 else self.sleeping
        # dbus-send cannot build the variant list EmitSignal takes; gdbus can.
        code, out = self.run(["gdbus", "call", "--address", self.system_bus, "--dest", "org.freedesktop.login1",
                              "--object-path", "/org/freedesktop/login1", "--method",
                              "org.freedesktop.DBus.Mock.EmitSignal", "org.freedesktop.login1.Manager",
                              "PrepareForSleep", "b", f"[<{'true' if start else 'false'}>]"])
        if code != 0:
            return False
        self.sleeping = start
        return True

    def act_desktop_service(self):
        """The desktop's brightness service comes, or goes: the program moves
        the panel between it and the device."""
        if self.desktop_service is None:
            template = os.path.join(self.repo, "tests", "e2e", "kde_brightness_mock.py")
            parameters = f'{{"brightness": {self.rng.randint(1, 1000)}, "maximum": 1000}}'
            self.desktop_service = self.spawn(
                ["/usr/bin/python3", "-m", "dbusmock", "--session", "--template", template, "--parameters",
                 parameters], env=self.env(), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        else:
            self.desktop_service.terminate()
            try:
                self.desktop_service.wait(10)
            except subprocess.TimeoutExpired:
                self.desktop_service.kill()
                self.desktop_service.wait()
            self.desktop_service = None
        return True

    def dismiss_boxes(self):
        """Boxes and dialogs the clicks opened are answered with Escape, so
        that the next action finds the main window again."""
        code, out = self.xdotool("search", "--onlyvisible", "--pid", self.lumora.pid)
        for w in out.split():
            if w != self.window and self.transient(w):
                self.xdotool("key", "--window", w, "Escape")

    # ------------------------------------------------------------ run

    def soak(self):
        table = [
            (self.act_track_click, 6), (self.act_track_drag, 4), (self.act_gauge, 4), (self.act_keys, 4),
            (self.act_anywhere, 3), (self.act_tray, 3), (self.act_close, 1), (self.act_second_start, 1),
            (self.act_bus_set, 5), (self.act_command_set, 1), (self.act_command_get, 1),
            (self.act_outside_change, 2), (self.act_unplug, 1), (self.act_sleep, 1),
            (self.act_desktop_service, 1),
        ]
        actions, weights = zip(*table)
        # The caches of fonts, glyphs and pictures fill during the first part
        # of a run; the short run in the test lane measures over its last
        # third, a longer run from its first minute on.
        warm_up = min(60.0, self.seconds * 2 / 3)
        begin = time.monotonic()
        rss_samples = []
        next_answer = 0.0
        while True:
            now = time.monotonic() - begin
            if now >= self.seconds:
                break
            if not rss_samples and now >= warm_up:
                rss_samples.append(self.rss_kb())
                log(f"soak: warm-up over after {now:.0f} s, resident memory {rss_samples[0]} kB")
            action = self.rng.choices(actions, weights)[0]
            name = action.__name__[4:]
            done = action()
            if done:
                self.actions[name] = self.actions.get(name, 0) + 1
            else:
                self.dropped += 1
            if self.verbose:
                log(f"soak: {now:6.1f} s {name}{'' if done else ' (dropped)'}")
            time.sleep(self.rng.uniform(0.05, 0.4))
            self.replug()
            if self.rng.random() < 0.3:
                self.dismiss_boxes()
            self.check()
            if now >= next_answer:
                self.check_answers()
                next_answer = now + 3
                rss = self.rss_kb()
                if rss_samples:
                    rss_samples.append(rss)
                if self.verbose:
                    log(f"soak: {now:6.1f} s resident memory {rss} kB")
        if self.unplugged_until is not None:
            self.unplugged_until = time.monotonic()
            self.replug()
        # Let the last writes land, then the figures.
        time.sleep(2)
        self.check()
        self.check_answers()
        rss_samples.append(self.rss_kb())
        return rss_samples

    def end_program(self):
        self.lumora.send_signal(signal.SIGTERM)
        try:
            code = self.lumora.wait(60)
        except subprocess.TimeoutExpired:
            raise Failure("the program did not end within 60 s of SIGTERM")
        self.check_output()
        if code != 0:
            raise Failure(f"the program ended with status {code} on SIGTERM")
        self.check_settings()

    def tear_down(self):
        for p in reversed(self.children):
            if p.poll() is None:
                p.terminate()
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()
                    p.wait()
        shutil.rmtree(self.root, ignore_errors=True)


def memory_growth(samples):
    """The growth from the first sample to the last, and the largest rise
    between two neighbouring samples."""
    steps = [b - a for a, b in zip(samples, samples[1:])]
    return samples[-1] - samples[0], max(steps + [0])


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    seconds = float(os.environ.get("LUMORA_SOAK_SECONDS", "60"))
    seed = int(os.environ.get("LUMORA_SOAK_SEED") or random.SystemRandom().randrange(1, 2**31))
    log(f"soak: seed {seed} (LUMORA_SOAK_SEED={seed} replays it), {seconds:.0f} s")
    soak = Soak(sys.argv[1], seconds, seed)
    status = 0
    rss = None
    try:
        soak.set_up()
        rss = soak.soak()
        soak.end_program()
        growth, step = memory_growth(rss)
        if growth > RSS_SLACK_KB and growth - step > RSS_SLACK_KB // 2:
            raise Failure(f"resident memory climbed from {rss[0]} kB after the warm-up to {rss[-1]} kB "
                          f"({(growth - step) / 1024:.1f} MB outside its largest step; samples: {rss})")
    except Failure as e:
        log(f"soak: FAILED: {e}")
        try:
            with open(soak.output, errors="replace") as f:
                log("soak: the program's output (last 4000 characters):\n" + f.read()[-4000:])
        except OSError:
            pass
        status = 1
    finally:
        soak.tear_down()
    done = sum(soak.actions.values())
    log(f"soak: seed {seed}; {done} actions done ({', '.join(f'{k} {v}' for k, v in sorted(soak.actions.items()))}), "
        f"{soak.dropped} dropped by the desktop")
    if rss:
        growth, step = memory_growth(rss)
        log(f"soak: resident memory {rss[0]} kB after the warm-up, {rss[-1]} kB at the end "
            f"({growth / 1024:+.1f} MB, largest step {step / 1024:.1f} MB)")
    log("soak: " + ("passed" if status == 0 else "FAILED"))
    return status


if __name__ == "__main__":
    sys.exit(main())
