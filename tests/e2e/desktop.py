"""A virtual X display with the program on it, driven as a user would: mouse and keyboard
through xdotool, windows found by title, controls by the names a screen reader reads (AT-SPI),
pixels read from screenshots."""

import argparse
import contextlib
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

import gi
import Xlib.display
import Xlib.error
from Xlib import X

gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib  # noqa: E402

WIDTH, HEIGHT = 1024, 768
TWIPS_PER_PIXEL = 15


def px(twips):
    """Designed places are in twips; one pixel is 15 of them. Rounds half away from zero."""
    return int(twips / TWIPS_PER_PIXEL + 0.5)


# The splash screen: its designed client area inside a raised 3-pixel dialog border.
SPLASH_BORDER, SPLASH_CLIENT = 3, (px(7380), px(4245))
# Its picture box in the client area (left, top, width, height), which a worker fills while the splash comes up.
PICTURE_BOX = (px(510), px(855), px(1815), px(2385))


class Failure(Exception):
    pass


def main(doc, arguments, body):
    """The drivers' one main: `arguments(parser)` adds options, `body(args)` says what passed."""
    parser = argparse.ArgumentParser(description=doc, formatter_class=argparse.RawDescriptionHelpFormatter)
    arguments(parser)
    args = parser.parse_args()
    try:
        passed = body(args)
    except FileNotFoundError as missing:
        print(f"FAILED: {missing.filename} is not installed (scripts/install-deps.sh installs it)", file=sys.stderr)
        return 1
    except Failure as failure:
        print(f"FAILED: {failure}", file=sys.stderr)
        return 1
    print(f"passed {passed}")
    return 0


def wait_for(condition, timeout, what, interval=0.05):
    """Polls until condition() returns something truthy and returns it; fails after timeout."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)


def holds(condition, seconds, what, interval=0.05):
    """Polls condition() for `seconds`, failing with `what` as soon as it does not hold."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if not condition():
            raise Failure(what)
        time.sleep(interval)


ACCESSIBLE = "org.a11y.atspi.Accessible"
# AT-SPI's states, by their bits.
ACTIVE, CHECKED, DEFUNCT, FOCUSABLE, FOCUSED, SHOWING = 1, 4, 6, 11, 12, 25


class Accessible:
    """A node of the program's accessible tree, read over AT-SPI's D-Bus interfaces as a screen reader
    reads it."""

    def __init__(self, bus, name, path):
        self.bus, self.address = bus, (name, path)

    def _call(self, interface, method, *args, signature=None):
        return self.bus.call_sync(*self.address, interface, method, GLib.Variant(signature, args) if args else None,
                                  None, Gio.DBusCallFlags.NONE, 5000, None).unpack()

    def _read(self, gone, interface, method, *args, signature=None):
        """What _call answers, or `gone` from a node gone meanwhile (a window that closed as it was read)."""
        try:
            return self._call(interface, method, *args, signature=signature)[0]
        except GLib.Error:
            return gone

    def _property(self, name):
        return self._read("", "org.freedesktop.DBus.Properties", "Get", ACCESSIBLE, name, signature="(ss)")

    def __iter__(self):
        return (Accessible(self.bus, *child) for child in self._read([], ACCESSIBLE, "GetChildren"))

    name = property(lambda self: self._property("Name"))
    description = property(lambda self: self._property("Description"))
    role = property(lambda self: self._read("", ACCESSIBLE, "GetRoleName"))

    def has(self, state):
        """Whether the node is in `state` (SHOWING, FOCUSED ...); a node gone is DEFUNCT only."""
        if (states := self._read(None, ACCESSIBLE, "GetState")) is None:
            return state == DEFUNCT
        low, high = states
        return bool((low | high << 32) >> state & 1)

    @property
    def extents(self):
        """Left, top, width and height on the screen."""
        return self._call("org.a11y.atspi.Component", "GetExtents", 0, signature="(u)")[0]

    @property
    def text(self):
        return self._read("", "org.a11y.atspi.Text", "GetText", 0, -1, signature="(ii)")

    def walk(self, into=lambda node: True):
        """The node and those below it, depth first; below a node only if into(node)."""
        yield self
        if into(self):
            for child in self:
                yield from child.walk(into)


class Reader:
    """The program as a screen reader finds it: on the accessibility bus its session bus offers, started
    as the reader asks for it."""

    def __init__(self, session_bus, desktop):
        self.desktop = desktop
        flags = Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION
        session = Gio.DBusConnection.new_for_address_sync(session_bus, flags, None, None)
        address = session.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", None, None,
                                    Gio.DBusCallFlags.NONE, 10000, None).unpack()[0]
        self.bus = Gio.DBusConnection.new_for_address_sync(address, flags, None, None)
        self.registry = Accessible(self.bus, "org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root")

    def apps(self):
        """The program's, Qt's and, under GTK's platform theme, GTK's too."""
        return [app for app in self.registry if app.name.lower() == "tarnwick"]

    def windows(self):
        return [window for app in self.apps() for window in app if window.has(SHOWING)]

    def window(self, title, timeout=10):
        return wait_for(lambda: next((w for w in self.windows() if w.name == title), None), timeout,
                        f"an accessible window named '{title}'")

    def find(self, window, name):
        """The control named `name` on `window` (or the window titled so). The items of lists are not looked
        through."""
        return self.located(window, name)[1]

    def located(self, window, name):
        """The window and, on it, the control named `name`, as a screen reader finds them."""
        title = getattr(window, "name", window)

        def found():
            for window in self.windows():
                if window.name == title:
                    for node in window.walk(lambda node: node.role not in ("list", "combo box")):
                        if node.name == name and node.has(SHOWING):
                            return window, node
            return None
        return wait_for(found, 5, f"a control named '{name}' on '{title}'")

    def control(self, window, name):
        """The control's extents on the screen: its place in its window, as the program tells it, from where the
        X server has the window now (the program's own idea of that may lag behind a window manager's move)."""
        return self.on_screen(window, name)[1]

    def on_screen(self, window, name):
        """The window as the X server has it now, and the control's extents on the screen (see control)."""
        window, control = self.located(window, name)
        (left, top, width, height), (said_x, said_y) = control.extents, window.extents[:2]
        now = self.desktop.window(re.escape(window.name), timeout=5)
        return now, (now.x + left - said_x, now.y + top - said_y, width, height)


class Window:
    """A window's client area on the screen, and the frame the window manager put round it
    (left, right, top, bottom; nothing without a window manager)."""

    def __init__(self, wid, name, x, y, width, height, frame=(0, 0, 0, 0), states=()):
        self.id, self.name = wid, name
        self.x, self.y, self.width, self.height = x, y, width, height
        self.frame, self.states = frame, states

    def outer(self):
        """Left, top, width and height of the window with its frame."""
        left, right, top, bottom = self.frame
        return self.x - left, self.y - top, self.width + left + right, self.height + top + bottom

    def __repr__(self):
        x, y, width, height = self.outer()
        framed = f" (framed {width}x{height} at {x},{y})" if any(self.frame) else ""
        return f"'{self.name}' {self.width}x{self.height} at {self.x},{self.y}{framed}"


# Window managers the walks run under, and how each is started on a display of its own.
WINDOW_MANAGERS = {
    # openbox names itself on the display before it takes windows in, and runs --startup once it does
    # (a window mapped in between it may leave unmanaged, never shown).
    "openbox": ["openbox", "--sm-disable", "--startup", "touch started"],
    # metacity wants a session bus; it gets one of its own.
    "metacity": ["dbus-run-session", "--", "metacity", "--sm-disable", "--no-composite"],
    # GNOME's, as an X11 window manager; it too wants a session bus.
    "mutter": ["dbus-run-session", "--", "mutter", "--x11", "--replace", "--sm-disable"],
    # KDE Plasma's and Xfce's, each with a session bus of its own.
    "kwin": ["dbus-run-session", "--", "kwin_x11", "--replace"],
    "xfwm4": ["dbus-run-session", "--", "xfwm4", "--replace", "--compositor=off"],
}
# Desktop themes the program is started under, by the variables a desktop session sets.
THEMES = {"dark": {"QT_QPA_PLATFORMTHEME": "gtk3", "GTK_THEME": "Adwaita:dark"}}
# A Wayland compositor with XWayland, run headless in place of Xvfb.
WAYLAND = "weston"


class Desktop:
    """Starts Xvfb on a free display number, and a window manager on it if `wm` names one;
    everything started on it ends with it. The program's windows are those of `classname`."""

    classname = "^tarnwick$"

    def __init__(self, artifacts, name, wm=None, environment=None, resets=False, theme=None, server_options=()):
        self.artifacts, self.name, self.wm = artifacts, name, wm
        os.makedirs(artifacts, exist_ok=True)
        self.runtime = tempfile.mkdtemp(prefix="tarnwick-e2e-")
        self.program, self.log, self.server, self.manager, self.wayland, self.frames, self.bus, self.reader = (None,) * 8
        try:
            self.display = ":" + (self._start_weston() if wm == WAYLAND else self._start_xvfb(resets, server_options))
            self.env = dict(environment or os.environ, DISPLAY=self.display, XDG_RUNTIME_DIR=self.runtime,
                            QT_QPA_PLATFORM="xcb")
            for variable in ("QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_QPA_PLATFORMTHEME", "WAYLAND_DISPLAY"):
                self.env.pop(variable, None)
            self.env.update(THEMES.get(theme, {}))
            # Without a session bus a program may start one through X11 that outlives the test.
            self.env.setdefault("DBUS_SESSION_BUS_ADDRESS", "disabled:")
            if wm == WAYLAND:
                # A Wayland session: the program chooses its platform itself.
                self.env.update(WAYLAND_DISPLAY=self.wayland, XDG_SESSION_TYPE="wayland")
                self.env.pop("QT_QPA_PLATFORM")
            elif wm:
                self._start_window_manager(wm)
        except BaseException:
            self.close()
            raise

    def _start_xvfb(self, resets, server_options):
        """Starts Xvfb on a display number of our own, free of lock files and sockets (Xvfb gives up on
        one that is taken); -displayfd says when it accepts clients. Parallel tests start apart."""
        first = 100 + os.getpid() % 400
        for number in range(first, first + 40):
            if os.path.exists(f"/tmp/.X{number}-lock") or os.path.exists(f"/tmp/.X11-unix/X{number}"):
                continue
            read_end, write_end = os.pipe()
            # No window manager: a window's client area is the window itself. A long autorepeat
            # delay keeps a slow machine from turning one key press into several.
            self.server = subprocess.Popen(
                ["Xvfb", f":{number}", "-displayfd", str(write_end), "-screen", "0", f"{WIDTH}x{HEIGHT}x24",
                 "-nolisten", "tcp", *([] if resets else ["-noreset"]), "-ardelay", "60000",  # resets: as startx's
                 *server_options],
                pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
            os.close(write_end)
            # Xvfb writes the number and then a newline; it dies if the pipe closes in between.
            with os.fdopen(read_end) as said:
                if select.select([said], [], [], 15)[0] and said.readline().strip() == str(number):
                    return str(number)
            self._stop(self.server)
        raise Failure(f"could not start Xvfb on any display from :{first} to :{first + 39}")

    def _start_weston(self):
        """Starts weston headless with XWayland; returns the X display number it took."""
        self.wayland = f"tarnwick-{os.getpid()}"
        log_path = os.path.join(self.artifacts, f"{self.name}-weston.log")
        with open(log_path, "wb") as log:
            self.server = subprocess.Popen(
                ["weston", "--backend=headless-backend.so", "--xwayland", f"--socket={self.wayland}",
                 f"--width={WIDTH}", f"--height={HEIGHT}", "--idle-time=0"],
                env=dict(os.environ, XDG_RUNTIME_DIR=self.runtime), stdout=log, stderr=subprocess.STDOUT,
                cwd=self.runtime, start_new_session=True)

        def listening():
            if self.server.poll() is not None:
                raise Failure(f"weston ended with status {self.server.returncode}; see {log_path}")
            with open(log_path, errors="replace") as log:
                said = re.search(r"xserver listening on display :(\d+)", log.read())
            return said and said.group(1)
        return wait_for(listening, 20, "weston to offer an X display")

    def _start_window_manager(self, wm):
        # No user settings: the managers' own defaults, as on a fresh desktop.
        env = dict(self.env, XDG_CONFIG_HOME=os.path.join(self.runtime, "config"),
                   HOME=self.runtime)
        with open(os.path.join(self.artifacts, f"{self.name}-{wm}.log"), "wb") as log:
            self.manager = subprocess.Popen(WINDOW_MANAGERS[wm], env=env, cwd=self.runtime, stdout=log,
                                            stderr=subprocess.STDOUT, start_new_session=True)

        def managing():
            if self.manager.poll() is not None:
                raise Failure(f"{wm} ended with status {self.manager.returncode} on starting")
            if "--startup" in WINDOW_MANAGERS[wm] and not os.path.exists(os.path.join(self.runtime, "started")):
                return False
            with self.connection() as server:
                root = server.screen().root
                return (self.property(server, root, "_NET_SUPPORTING_WM_CHECK")
                        and server.intern_atom("_NET_FRAME_EXTENTS") in self.property(server, root, "_NET_SUPPORTED"))
        wait_for(managing, 20, f"{wm} to manage the display")

    # The program -----------------------------------------------------------------------

    def start(self, program, accessible=False):
        """Starts the program; if `accessible`, on a session bus of the desktop's own where a screen reader
        finds it (self.reader), as when the desktop runs one."""
        if accessible and not self.bus:
            read_end, write_end = os.pipe()
            self.bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", f"--print-address={write_end}"],
                                        env=self.env, pass_fds=(write_end,), stdout=subprocess.DEVNULL,
                                        stderr=open(os.path.join(self.artifacts, f"{self.name}-bus.log"), "wb"),
                                        start_new_session=True)
            os.close(write_end)
            with os.fdopen(read_end) as said:  # its address, once it listens
                address = select.select([said], [], [], 15)[0] and said.readline().strip()
            if not address:
                raise Failure(f"the session bus did not start (status {self.bus.poll()})")
            self.env.update(DBUS_SESSION_BUS_ADDRESS=address, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
            self.reader = Reader(address, self)  # the accessibility bus up before the program looks for it, as in a session
        self.log = os.path.join(self.artifacts, f"{self.name}.log")
        with open(self.log, "wb") as log:
            self.program = subprocess.Popen([os.path.abspath(program)], env=self.env, cwd=self.runtime, stdout=log,
                                            stderr=subprocess.STDOUT, start_new_session=True)
        if self.wm in WINDOW_MANAGERS:  # the frames as the server sees them, to tell a window that flashes
            with open(os.path.join(self.runtime, "frames"), "w") as frames:
                self.frames = subprocess.Popen(["stdbuf", "-oL", "xev", "-root", "-event", "substructure"], env=self.env,
                                               stdout=frames, start_new_session=True)
        if accessible:
            wait_for(self.reader.apps, 15, "the program on the accessibility bus")
        return self.program

    def frames_resized_while_shown(self):
        """How many windows the window manager showed at one size and then resized."""
        self._stop(self.frames)
        sizes, shown, resized = {}, set(), set()
        with open(os.path.join(self.runtime, "frames")) as frames:
            for kind, window, size in re.findall(r"(\w+)Notify event.*\n\s+\w+ \w+, window (\w+)(?:, \(.*\), (width \d+, height \d+))?", frames.read()):
                resized |= {window} if kind == "Configure" and window in shown and size != sizes[window] else set()
                sizes[window] = size or sizes.get(window)
                shown = shown | {window} if kind == "Map" else shown - {window} if kind == "Unmap" else shown
        return len(resized)

    def wait_for_exit(self, timeout=20):
        try:
            return self.program.wait(timeout)
        except subprocess.TimeoutExpired:
            raise Failure(f"the program was still running {timeout} s later")

    @staticmethod
    def _stop(process):
        if process and process.poll() is None:
            os.killpg(process.pid, signal.SIGTERM)
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                os.killpg(process.pid, signal.SIGKILL)
                process.wait()

    def close(self):
        self._stop(self.program)
        self._stop(self.frames)
        self._stop(self.manager)
        self._stop(self.bus)  # and the accessibility bus it started
        self._stop(self.server)
        shutil.rmtree(self.runtime, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, kind, error, trace):
        if isinstance(error, Failure):
            error.args = (f"{error.args[0]}\n  " + self.post_mortem().replace("\n", "\n  "),)
        self.close()

    def post_mortem(self):
        """What a failure leaves: the windows on screen, a screenshot, and the program's state and output."""
        details = f"windows on screen: {self.windows()}\nscreenshot: {self.screenshot('failure')}"
        if self.program and self.program.poll() is not None:
            details += f"\nthe program had ended with status {self.program.returncode}"
        return details + (f"\nits output: {self.log}" if self.log else "")

    # Looking at the screen -----------------------------------------------------------------

    def xdotool(self, *args, check=True):
        result = subprocess.run(["xdotool", *args], env=self.env, capture_output=True, text=True, timeout=20)
        if check and result.returncode != 0:
            raise Failure(f"xdotool {' '.join(args)} failed: {result.stderr.strip()}")
        return result

    def connection(self):
        """A connection to the display of its own, closed after use: one held would keep a server that
        resets from resetting."""
        return contextlib.closing(Xlib.display.Display(self.display))

    @staticmethod
    def property(server, window, name):
        """The values of a window's property, as a list; an empty one where it has none."""
        said = window.get_full_property(server.intern_atom(name), X.AnyPropertyType)
        return list(said.value) if said else []

    def windows(self, title=".*"):
        """The program's mapped windows whose whole title matches the regular expression
        `title`. A title is what a title bar would show (the splash screen has none)."""
        result = []
        try:
            server = Xlib.display.Display(self.display)
        except (Xlib.error.DisplayError, Xlib.error.ConnectionClosedError):
            return result  # a server that resets as its last client leaves hangs up on those that come meanwhile
        with contextlib.closing(server):
            def visit(parent):
                for window in parent.query_tree().children:
                    try:
                        if window.get_attributes().map_state != X.IsViewable:
                            continue
                        names = window.get_wm_class()
                        if not (names and re.search(self.classname, names[0])):
                            visit(window)  # a window manager's frame, or its parent
                            continue
                        name = bytes(self.property(server, window, "_NET_WM_NAME")).decode() or window.get_wm_name() or ""
                        if re.fullmatch(title, name):
                            # The client area's absolute place, which a window manager's frame moves.
                            at, size = server.screen().root.translate_coords(window, 0, 0), window.get_geometry()
                            names = [server.get_atom_name(a) for a in self.property(server, window, "_NET_WM_STATE")]
                            result.append(Window(str(window.id), name, at.x, at.y, size.width, size.height,
                                                 tuple(self.property(server, window, "_NET_FRAME_EXTENTS")) or (0, 0, 0, 0),
                                                 tuple(names)))
                    except Xlib.error.XError:
                        continue  # gone meanwhile
            visit(server.screen().root)
        return result

    def window(self, title=".*", timeout=10, size=None):
        """Waits for exactly one visible window titled `title` (and of `size`, if given)."""
        seen = set()

        def one():
            shown = self.windows(title)
            seen.update(map(repr, shown))
            found = [w for w in shown if size is None or (w.width, w.height) == size]
            return found[0] if len(found) == 1 else None
        what = f"a window titled '{title}'" if title != ".*" else "a window"
        try:
            return wait_for(one, timeout, what + (f" of {size[0]}x{size[1]}" if size else ""))
        except Failure as failure:
            raise Failure(f"{failure}; seen meanwhile: {sorted(seen) or 'none'}") from None

    def splash(self, timeout=10):
        """Waits for the splash screen, checks its raised border, and returns its client area."""
        width, height = (size + 2 * SPLASH_BORDER for size in SPLASH_CLIENT)
        window = self.window(size=(width, height), timeout=timeout)
        edges = {}
        for at, top_left, bottom_right in ((0, (192, 192, 192), (0, 0, 0)), (1, (255, 255, 255), (128, 128, 128))):
            edges.update({(at, height // 2): top_left, (width // 2, at): top_left,
                          (width - 1 - at, height // 2): bottom_right, (width // 2, height - 1 - at): bottom_right})
        if self.wm != WAYLAND:  # rootless XWayland has no root window to read pixels from
            def bordered():  # where it is now: KWin may first show it at the display's corner, then place it
                now = next((w for w in self.windows() if w.id == window.id), window)
                screen = self.pixels()
                return all(screen(now.x + x, now.y + y) == colour for (x, y), colour in edges.items()) and now
            window = wait_for(bordered, 5, f"the splash screen's raised border, (x, y): colour {edges}")
        return Window(window.id, window.name, window.x + SPLASH_BORDER, window.y + SPLASH_BORDER, *SPLASH_CLIENT,
                      window.frame, window.states)

    def focus(self):
        return self.xdotool("getwindowfocus", check=False).stdout.strip()

    def focused(self, window, what=None):
        """Waits until `window` has the keyboard, and returns it."""
        return wait_for(lambda: self.focus() == window.id and window, 5, f"{what or window} to have the keyboard")

    def gone(self, window, timeout=10):
        wait_for(lambda: all(w.id != window.id for w in self.windows()), timeout, f"{window} to close")

    def clipboard(self):
        """What a paste would insert: the display's clipboard selection, as text."""
        return subprocess.run(["xclip", "-o", "-selection", "clipboard"], env=self.env, capture_output=True,
                              text=True, timeout=20).stdout

    def screenshot(self, label):
        path = os.path.join(self.artifacts, f"{self.name}-{label}.png")
        subprocess.run(["import", "-window", "root", path], env=self.env, capture_output=True, timeout=20)
        return path

    def pixels(self, window=None):
        """The whole screen as a function (x, y) -> (r, g, b). With `window`, the same function answers for
        that window's client area from what the program drew into the window itself: a compositing window
        manager under load may miss a window's damage and show its old picture until the next repaint
        (mutter 43 beside a build: a click's dot drawn, the option's hover still shown, until the pointer
        left it)."""
        left, top, width, samples = self.samples(window)
        return lambda x, y: tuple(samples[((y - top) * width + x - left) * 3:((y - top) * width + x - left) * 3 + 3])

    def samples(self, window=None, area=None):
        """Where the screen or the window's client area is, its width, and its pixels' bytes, row by row,
        three (r, g, b) a pixel; with `area` (left, top, width, height on the screen), that part of it, of a
        window where it was when `window` was read."""
        with self.connection() as server:
            screen = server.screen()
            if window:
                drawable = server.create_resource_object("window", int(window.id))
                size, at = drawable.get_geometry(), screen.root.translate_coords(drawable, 0, 0)
                (left, top), width, height = (window.x, window.y) if area else (at.x, at.y), size.width, size.height
            else:
                drawable, left, top, width, height = screen.root, 0, 0, screen.width_in_pixels, screen.height_in_pixels
            x, y, width, height = area or (left, top, width, height)
            data = drawable.get_image(x - left, y - top, width, height, X.ZPixmap, 0xffffffff).data  # (b, g, r, -)
        samples = bytearray(len(data) // 4 * 3)
        samples[0::3], samples[1::3], samples[2::3] = data[2::4], data[1::4], data[0::4]
        return x, y, width, bytes(samples)

    def still(self, what, drawn=lambda samples: True, timeout=5):
        """The screen's samples once two screenshots running agree (drawing and any animation over) and
        drawn(samples) holds."""
        return wait_for(lambda: (now := self.samples()[-1]) == self.samples()[-1] and drawn(now) and now, timeout, what)

    # Acting as the user ------------------------------------------------------------------

    def click(self, x, y):
        self.xdotool("mousemove", "--sync", str(x), str(y), "click", "1")

    def click_in(self, window, name):
        """Clicks the control of `window` that a screen reader reads as `name`, a little right of its left
        edge (where an option button's indicator is) and halfway down, once nothing covers it there (a
        window going away, a frame its window manager has yet to take down)."""
        now, (left, top, width, height) = self.reader.on_screen(window, name)
        self.xdotool("mousemove", "--sync", str(left + min(width // 2, 7)), str(top + height // 2))
        if self.wm != WAYLAND:  # rootless XWayland hears of the pointer only over its windows
            wait_for(lambda: self.pointer_on(window), 5, f"{window} under the pointer, with nothing over it")
            # And the control, down to the pointer, on the screen as the program drew it, its window not moved
            # since: while mutter 48 animates a window's showing, it finds no window under the pointer and keeps
            # a press to itself.
            area = (left, top, width, height // 2 + 1)
            wait_for(lambda: self.samples(area=area)[-1] == self.samples(now, area)[-1], 5,
                     f"'{name}' on {now} to show on the screen as the program drew it")
        self.xdotool("click", "1")

    def pointer_on(self, window):
        """Whether `window` is on the way down from the root to the deepest window under the pointer."""
        with self.connection() as server:
            under = server.screen().root
            while under.id != int(window.id) and (under := under.query_pointer().child):
                pass
            return bool(under)

    def key(self, *keys):
        if self.wm != WAYLAND:
            return self.xdotool("key", "--delay", "30", *keys)

        def sent():
            # Headless, the compositor has no keyboard and gives no X window the focus: the keys go
            # straight to the program's newest window, the one a user would be typing into.
            found = self.xdotool("search", "--onlyvisible", "--classname", self.classname, check=False).stdout.split()
            newest = max(found, key=int) if found else None
            if newest:  # focus on a window of ours: with none, xdotool cannot read the focus back
                self.xdotool("windowfocus", newest, check=False)
            return self.xdotool("key", *(["--window", newest] if newest else []), "--delay", "30", *keys,
                                check=False).returncode == 0
        wait_for(sent, 2, f"{' '.join(keys)} to reach the program's newest window, not one going away")
