"""A virtual X display with the program on it, driven as a user would: mouse and keyboard
through xdotool, windows found by title, pixels read from screenshots."""

import os
import re
import select
import shutil
import signal
import subprocess
import tempfile
import time

WIDTH, HEIGHT = 1024, 768
TWIPS_PER_PIXEL = 15


def px(twips):
    """Designed places are in twips; one pixel is 15 of them. Rounds half away from zero."""
    return int(twips / TWIPS_PER_PIXEL + 0.5)


class Failure(Exception):
    pass


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


class Window:
    def __init__(self, wid, name, x, y, width, height):
        self.id, self.name = wid, name
        self.x, self.y, self.width, self.height = x, y, width, height
        # Left, top, width and height with the window manager's frame; without one, the same.
        self.outer = (x, y, width, height)

    def __repr__(self):
        return f"'{self.name}' {self.width}x{self.height} at {self.x},{self.y}"


class Desktop:
    """Starts Xvfb on a free display number; everything started on it ends with it."""

    def __init__(self, artifacts, name):
        self.artifacts, self.name = artifacts, name
        self.runtime = tempfile.mkdtemp(prefix="tarnwick-e2e-")
        self.program, self.log, self.server = None, None, None
        number = None
        # A display number of our own, free of lock files and sockets (Xvfb gives up on one
        # that is taken); -displayfd says when it accepts clients. Parallel tests start apart.
        first = 100 + os.getpid() % 400
        try:
            for candidate in range(first, first + 40):
                if os.path.exists(f"/tmp/.X{candidate}-lock") or os.path.exists(f"/tmp/.X11-unix/X{candidate}"):
                    continue
                number = self._start_server(candidate)
                if number:
                    break
        except BaseException:
            self.close()
            raise
        if not number:
            self.close()
            raise Failure(f"could not start Xvfb on any display from :{first} to :{first + 39}")
        self.display = f":{number}"
        self.env = dict(os.environ, DISPLAY=self.display, XDG_RUNTIME_DIR=self.runtime,
                        QT_QPA_PLATFORM="xcb")
        for variable in ("QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_QPA_PLATFORMTHEME", "WAYLAND_DISPLAY"):
            self.env.pop(variable, None)

    def _start_server(self, candidate):
        read_end, write_end = os.pipe()
        # No window manager: a window's client area is the window itself. A long autorepeat
        # delay keeps a slow machine from turning one key press into several.
        self.server = subprocess.Popen(
            ["Xvfb", f":{candidate}", "-displayfd", str(write_end), "-screen", "0", f"{WIDTH}x{HEIGHT}x24",
             "-nolisten", "tcp", "-noreset", "-ardelay", "60000"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            start_new_session=True)
        os.close(write_end)
        # Xvfb writes the number and then a newline; it dies if the pipe closes in between.
        said = b""
        deadline = time.monotonic() + 15
        try:
            while not said.endswith(b"\n") and time.monotonic() < deadline:
                ready, _, _ = select.select([read_end], [], [], deadline - time.monotonic())
                chunk = os.read(read_end, 32) if ready else b""
                if not chunk:
                    break
                said += chunk
        finally:
            os.close(read_end)
        number = said.decode().strip()
        if number == str(candidate):
            return number
        self._stop(self.server)
        self.server = None
        return None

    # The program -----------------------------------------------------------------------

    def start(self, program):
        os.makedirs(self.artifacts, exist_ok=True)
        self.log = os.path.join(self.artifacts, f"{self.name}.log")
        with open(self.log, "wb") as log:
            self.program = subprocess.Popen([os.path.abspath(program)], env=self.env, cwd=self.runtime, stdout=log,
                                            stderr=subprocess.STDOUT, start_new_session=True)
        return self.program

    def wait_for_exit(self, timeout=10):
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
        self._stop(self.server)
        shutil.rmtree(self.runtime, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, kind, error, trace):
        if isinstance(error, Failure):
            shot = self.screenshot("failure")
            details = f"{error.args[0]}\n  windows on screen: {self.windows()}\n  screenshot: {shot}"
            if self.program and self.program.poll() is not None:
                details += f"\n  the program had ended with status {self.program.returncode}"
            if self.log:
                details += f"\n  its output: {self.log}"
            error.args = (details,)
        self.close()

    # Looking at the screen -----------------------------------------------------------------

    def xdotool(self, *args, check=True):
        result = subprocess.run(["xdotool", *args], env=self.env, capture_output=True, text=True, timeout=20)
        if check and result.returncode != 0:
            raise Failure(f"xdotool {' '.join(args)} failed: {result.stderr.strip()}")
        return result

    def windows(self, title=".*"):
        """The program's mapped windows whose whole title matches the regular expression
        `title`. A title is what a title bar would show (the splash screen has none)."""
        found = self.xdotool("search", "--onlyvisible", "--classname", "^tarnwick$", check=False)
        result = []
        for wid in found.stdout.split():
            name = self.xdotool("getwindowname", wid, check=False).stdout.rstrip("\n")
            if not re.fullmatch(title, name):
                continue
            geometry = self.xdotool("getwindowgeometry", "--shell", wid, check=False).stdout
            values = dict(line.split("=", 1) for line in geometry.split() if "=" in line)
            if "WIDTH" in values:
                result.append(Window(wid, name, int(values["X"]), int(values["Y"]),
                                     int(values["WIDTH"]), int(values["HEIGHT"])))
        return result

    def window(self, title=".*", timeout=10, size=None):
        """Waits for exactly one visible window titled `title` (and of `size`, if given)."""
        def one():
            found = [w for w in self.windows(title) if size is None or (w.width, w.height) == size]
            return found[0] if len(found) == 1 else None
        what = f"a window titled '{title}'" if title != ".*" else "a window"
        return wait_for(one, timeout, what + (f" of {size[0]}x{size[1]}" if size else ""))

    def gone(self, window, timeout=10):
        wait_for(lambda: all(w.id != window.id for w in self.windows()), timeout, f"{window} to close")

    def screenshot(self, label):
        os.makedirs(self.artifacts, exist_ok=True)
        path = os.path.join(self.artifacts, f"{self.name}-{label}.png")
        subprocess.run(["import", "-window", "root", path], env=self.env, capture_output=True, timeout=20)
        return path

    def pixels(self):
        """The whole screen as a function (x, y) -> (r, g, b)."""
        data = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], env=self.env, capture_output=True,
                              timeout=20, check=True).stdout
        # Binary PPM: "P6", width, height, maximum, then one whitespace and the samples.
        fields, position = [], 0
        while len(fields) < 4:
            while data[position:position + 1].isspace():
                position += 1
            start = position
            while not data[position:position + 1].isspace():
                position += 1
            fields.append(data[start:position])
        width = int(fields[1])
        samples = data[position + 1:]
        return lambda x, y: tuple(samples[(y * width + x) * 3:(y * width + x) * 3 + 3])

    # Acting as the user ------------------------------------------------------------------

    def click(self, x, y):
        self.xdotool("mousemove", "--sync", str(x), str(y), "click", "1")

    def click_in(self, window, left, top, width, height):
        """Clicks a control placed in twips inside `window`, a little right of its left edge
        (where an option button's indicator is) and halfway down."""
        self.click(window.x + px(left) + min(px(width) // 2, 7), window.y + px(top) + px(height) // 2)

    def key(self, *keys):
        self.xdotool("key", "--delay", "30", *keys)
