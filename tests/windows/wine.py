"""Tarnwick for Windows under Wine: a private Wine prefix the installer runs in, and a virtual
display with a window manager on which the installed program is walked as on Linux."""

import getpass
import os
import re
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))

from desktop import Desktop, Failure, wait_for  # noqa: E402

WINE64 = shutil.which("wine64") or "/usr/lib/wine/wine64"
WINESERVER = os.path.join(os.path.dirname(os.path.realpath(WINE64)), "wineserver")
# Wine's user profile is named after the user who runs it.
PROFILE = "C:\\users\\" + getpass.getuser()
INSTALL_FOLDER = PROFILE + r"\AppData\Local\Programs\Tarnwick"
MACHINE_FOLDER = r"C:\Program Files\Tarnwick"
UNINSTALL_KEY = r"Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarnwick"

# Stand-ins for the fonts the screens are designed with: metric-compatible Liberation for Arial
# and Times New Roman. MS Sans Serif, the default font of every control and message box, has no
# metric-compatible free twin; under Wine, Liberation Sans at its 8.25 points dropped glyphs ("!",
# and capitals with Wine's own fonts), DejaVu Sans draws every one.
FONTS = {
    "Arial": "Liberation Sans",
    "Times New Roman": "Liberation Serif",
    "MS Sans Serif": "DejaVu Sans",
}
FONT_FILES = {
    "/usr/share/fonts/truetype/liberation": ("LiberationSans-", "LiberationSerif-"),
    "/usr/share/fonts/truetype/dejavu": ("DejaVuSans.ttf", "DejaVuSans-Bold.ttf"),
}


class Prefix:
    """A Wine prefix of our own; the program sees it as a Windows machine."""

    def __init__(self, path):
        self.path = os.path.abspath(path)
        self.env = dict(os.environ, WINEPREFIX=self.path, WINEDEBUG="-all",
                        # No Mono or Gecko downloads; no menu entries or file types for the host.
                        WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d",
                        # Wine mirrors Start-menu entries into the desktop's menus; those stay
                        # beside the prefix, not in the user's home.
                        XDG_DATA_HOME=self.path + ".xdg/data", XDG_CONFIG_HOME=self.path + ".xdg/config")
        self.env.pop("DISPLAY", None)
        self.display = None

    def env_now(self):
        # While a program of the prefix shows on a display, everything else run in the prefix
        # uses that display too: Wine's desktop belongs to whichever process needs it first.
        return dict(self.env, DISPLAY=self.display) if self.display else self.env

    def unix(self, windows_path):
        """The host path of a path on drive C."""
        if windows_path[:3].upper() == "Z:\\":  # Wine's drive for the host's whole file system
            return os.path.join("/", *windows_path[3:].split("\\"))
        rest = windows_path[3:] if windows_path[:3].upper() == "C:\\" else windows_path
        return os.path.join(self.path, "drive_c", *rest.split("\\"))

    def wait(self):
        """Waits until every program of the prefix has ended and the registry is on disk."""
        subprocess.run([WINESERVER, "-w"], env=self.env, timeout=180)

    def kill(self):
        subprocess.run([WINESERVER, "-k"], env=self.env, capture_output=True, timeout=60)

    def run(self, *args, timeout=120, check=True, wait=True):
        """Runs a Windows program to its end; with `wait`, every program it started too."""
        # Output through files, not pipes: the Wine server this may start outlives the call and
        # would hold a pipe open.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            result = subprocess.run([WINE64, *args], env=self.env_now(), stdout=out, stderr=err, timeout=timeout)
            out.seek(0)
            err.seek(0)
            result.stdout, result.stderr = out.read(), err.read()
        if wait:
            self.wait()
        if check and result.returncode != 0:
            raise Failure(f"wine64 {' '.join(args)} ended with status {result.returncode}: "
                          f"{result.stderr.decode(errors='replace').strip()[-400:]}")
        return result

    def create(self):
        shutil.rmtree(self.path, ignore_errors=True)
        shutil.rmtree(self.path + ".xdg", ignore_errors=True)
        os.makedirs(self.path)
        self.run("wineboot", "-i", timeout=300)
        fonts = self.unix(r"C:\windows\Fonts")
        for folder, names in FONT_FILES.items():
            for name in os.listdir(folder):
                if name.startswith(names) and name.endswith(".ttf"):
                    shutil.copy(os.path.join(folder, name), fonts)
        entries = "".join(f'"{font}"="{replacement}"\n' for font, replacement in FONTS.items())
        # Wine's menu builder, which mirrors Start-menu entries to the host and books them in the
        # registry, stays off: the prefix then holds what Windows would, and no more. A crash
        # writes its backtrace into the program's log and ends it, instead of opening a dialog.
        self.import_registry("[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\n" + entries
                             + '\n[HKEY_CURRENT_USER\\Software\\Wine\\DllOverrides]\n"winemenubuilder.exe"=""\n'
                             + '\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug]\n'
                             + '"Auto"="1"\n')

    def import_registry(self, text):
        path = self.unix(r"C:\windows\temp\tarnwick-tests.reg")
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", newline="\r\n") as file:
            file.write("REGEDIT4\n\n" + text)
        self.run("regedit", "/S", r"C:\windows\temp\tarnwick-tests.reg")
        os.remove(path)

    def reg(self, *args, check=True):
        # The Wine server holds the registry: a running program sees the change at once.
        return self.run("reg", *args, check=check, wait=False)

    def set_value(self, key, name, value):
        self.reg("add", key, "/v", name, "/t", "REG_SZ", "/d", value, "/f", "/reg:64")

    def delete_key(self, key):
        self.reg("delete", key, "/f", "/reg:64", check=False)

    def has_key(self, key):
        return self.reg("query", key, "/reg:64", check=False).returncode == 0

    def files(self):
        """Every file and folder on drive C, apart from Wine's own scratch folders."""
        root = self.unix("C:\\")
        found = set()
        for folder, subfolders, names in os.walk(root):
            relative = os.path.relpath(folder, root)
            if re.match(r"(windows|users/[^/]+)/temp(/|$)", relative.lower()):
                continue
            found.update(os.path.join(relative, name) for name in subfolders + names)
        return found

    def registry_text(self):
        """Both hives of the machine and the user as Wine keeps them on disk."""
        text = ""
        for hive in ("system.reg", "user.reg"):
            with open(os.path.join(self.path, hive), encoding="utf-8", errors="replace") as file:
                text += file.read()
        return text


class WineDesktop(Desktop):
    """The Linux walks' display under openbox, with the program run by Wine in `prefix`;
    windows are the program's X windows, client areas with their frame around."""

    classname = r"^tarnwick\.exe$"

    def __init__(self, artifacts, name, prefix):
        self.prefix = prefix
        super().__init__(artifacts, name, "openbox", environment=prefix.env)
        prefix.display = self.display

    def start(self, program):
        """Starts the program (a Windows path) in its own folder, as the Start menu does."""
        os.makedirs(self.artifacts, exist_ok=True)
        self.log = os.path.join(self.artifacts, f"{self.name}.log")
        folder = os.path.dirname(self.prefix.unix(program))
        with open(self.log, "wb") as log:
            self.program = subprocess.Popen([WINE64, program], env=self.env, cwd=folder, stdout=log,
                                            stderr=subprocess.STDOUT, start_new_session=True)
        return self.program

    def close(self):
        if getattr(self, "prefix", None):
            self.prefix.kill()
            self.prefix.display = None
        super().close()

    def active(self, window, timeout=10):
        """Waits until the window manager has given `window` the focus: keys go to it then."""
        def has_focus():
            with self.connection() as server:
                return self.property(server, server.screen().root, "_NET_ACTIVE_WINDOW") == [int(window.id)]
        wait_for(has_focus, timeout, f"{window} to have the focus")

    def text(self, window, label):
        """What the window's client area says, read by OCR, with runs of white space as one blank."""
        shot = self.screenshot(label)
        crop = os.path.join(self.artifacts, f"{self.name}-{label}-text.png")
        # Three times the size and grey: tesseract reads small screen text far better so.
        subprocess.run(["convert", shot, "-crop", f"{window.width}x{window.height}+{window.x}+{window.y}",
                        "+repage", "-colorspace", "Gray", "-resize", "300%", crop], check=True, timeout=30)
        result = subprocess.run(["tesseract", crop, "-", "--psm", "6"], capture_output=True, text=True, timeout=60)
        return " ".join(result.stdout.split())
