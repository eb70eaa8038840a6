"""Tarnwick's Windows installer and program under Wine, step by step as a doctor's machine sees
them: installed silently into a private prefix, walked on a virtual display under openbox as the
Linux walks do, and uninstalled without a trace.

    python3 -m pytest windows_walks.py::test_STEP --prefix DIR --setup SETUP.exe --zip PORTABLE.zip --marker MARKER.exe --artifacts DIR

STEP is install (for the current user), one of the walks, all_users, portable or uninstall; the
walks and all_users need the install before them (CTest's fixtures order them)."""

import json
import os
import re
import shutil
import tempfile
import zipfile

import pytest
from wine import INSTALL_FOLDER, MACHINE_FOLDER, PROFILE, UNINSTALL_KEY, Prefix, WineDesktop

from desktop import PICTURE_BOX, Failure, holds, px, wait_for
from test_walks import ABOUT, IMPERFORATE_HYMEN, MESSAGE, QUESTION, SKIP_TASKBAR, TOPICS, Walk

PROGRAM = INSTALL_FOLDER + r"\tarnwick.exe"
START_MENU = r"\Microsoft\Windows\Start Menu\Programs\Tarnwick.lnk"
USER_KEY, MACHINE_KEY = "HKCU\\" + UNINSTALL_KEY, "HKLM\\" + UNINSTALL_KEY
# What tarnwick.exe's embedded manifest must say: no elevation, Windows 10 and 11 (one
# identifier), per-monitor v2 DPI awareness, common controls 6.
MANIFEST = (b'level="asInvoker"', b"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", b"PerMonitorV2",
            b'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"')
SYS_INFO_KEY = r"HKLM\SOFTWARE\Microsoft\Shared Tools\MSINFO"
SYS_INFO_FOLDER_KEY = r"HKLM\SOFTWARE\Microsoft\Shared Tools Location"
MARKER = r"C:\tarnwick-tests\marker.exe"

# Where the walks' controls stand, in twips inside their windows, by window (a question screen by its
# node) and name: Wine offers no screen reader's view of them. Buttons are 735 x 375, options 375 high.
BUTTONS = lambda left, *tops: {n: (left, t, 735, 375) for n, t in zip(("OK", "Exit", "Home"), tops)}  # noqa: E731
OPTIONS = lambda *places: {name: (left, top, width, 375) for name, left, top, width in places}  # noqa: E731
PLACES = {TOPICS: {**BUTTONS(9960, 3240, 5160), "About": (9960, 4440, 735, 375), "Topic List": (4080, 3360, 5295, 315)},
          ABOUT: {"System Info...": (4260, 3075, 1245, 345)},
          1: {**OPTIONS(("Normal", 120, 2880, 1095), ("Ambiguous", 120, 3480, 1335)), **BUTTONS(3120, 2640, 3120, 3600)},
          2: {**OPTIONS(("Normal", 240, 1080, 1095), ("Absent", 240, 1680, 1335)), **BUTTONS(3000, 840, 1440, 2040)},
          3: {**OPTIONS(("Present", 240, 1200, 1095), ("Absent", 240, 1800, 1335)), **BUTTONS(3120, 1080, 1680, 2280)},
          4: {**OPTIONS(("Imperforate hymen", 120, 1200, 1935), ("Transverse vaginal septum", 120, 1680, 2655),
                        ("Vaginal atresia", 120, 2160, 1815), ("Cervical atresia", 120, 2640, 2175)),
              **BUTTONS(3360, 1320, 2040, 2760)}}

NOTHING_SELECTED = ("Nothing is selected! You have to select an item from the drop-down list in the combination "
                    "box and then click OK.")
UNAVAILABLE = "System Information Is Unavailable At This Time"


class WineWalk(Walk):
    # Wine places a window by its Windows frame, openbox draws its own around the client area:
    # 1-pixel borders and a 20-pixel title instead of Wine's 23-pixel caption. A program that
    # left its frame out of its size would be off by that whole caption.
    place_tolerance = 4

    def __init__(self, desktop, program):
        super().__init__(desktop)
        desktop.start(program)
        desktop.reader, self.node = self, None

    def control(self, window, name):
        return self.on_screen(window, name)[1]

    def on_screen(self, window, name):
        """`window` or the one titled so, and a control's place on the screen in it, from PLACES."""
        window = window if hasattr(window, "name") else self.desktop.window(window)
        left, top, width, height = PLACES[self.node if window.name == QUESTION else window.name][name]
        return window, (window.x + px(left), window.y + px(top), px(width), px(height))

    def given_keyboard(self, window, what):
        self.desktop.active(window)  # as the window manager tells Wine's windows' focus
        return window

    def find(self, window, name):
        return None  # no screen reader's view under Wine

    def question(self, node, previous=None):
        self.node = node
        return super().question(node, previous)

    @staticmethod
    def shows_chosen(colour):
        # Windows' own style fills the chosen option's white circle with a blue dot.
        return min(colour) < 160

    def splash(self):
        splash = self.desktop.splash(timeout=60)
        # openbox gives a new window no focus without a user's click, while Windows gives the
        # first window of a program started from the Start menu the focus. A click on the
        # picture does what a user's would: focus the splash, and nothing else.
        left, top = PICTURE_BOX[:2]
        self.desktop.click(splash.x + left + 20, splash.y + top + 20)
        holds(lambda: not self.desktop.windows(TOPICS) and any(w.id == splash.id for w in self.desktop.windows()), 1,
              "a click on the splash screen's picture closed it")
        return splash

    def splash_gives_way_on_a_key(self, key="space"):
        splash = self.splash()
        self.desktop.key(key)
        self.desktop.gone(splash, timeout=10)
        return self.topic_screen()

    def read(self, window, label, expected):
        # OCR takes a lone small "a" for "@" or "&": a look-alike, where a glyph the font failed
        # to draw would leave a gap instead.
        text = re.sub(r"(?<= )[@&4](?= )", "a", self.desktop.text(window, label))
        if expected not in text:
            raise Failure(f"{label}: the screen reads '{text}', not '{expected}'")

    def message_reads(self, label, expected):
        box = self.message()
        self.read(box, label, expected)
        self.dismiss(box)


def expect_installed(prefix, folder, key, start_menu, switches=""):
    for path in (folder + r"\tarnwick.exe", folder + r"\Ut1.jpg", folder + r"\Uninstall.exe", start_menu):
        if not os.path.isfile(prefix.unix(path)):
            raise Failure(f"the silent install left no {path}")
    listed = prefix.reg("query", key, "/reg:64", check=False).stdout.decode(errors="replace")
    uninstaller = re.escape(f'"{folder}\\Uninstall.exe"{switches}')
    for value in ("DisplayName.*Tarnwick", r"DisplayVersion.*\d+\.\d+\.\d+", "Publisher.*Brannock",
                  "DisplayIcon.*" + re.escape(folder + r"\tarnwick.exe"), r"EstimatedSize.*0x[1-9a-f]",
                  "UninstallString.*" + uninstaller, "QuietUninstallString.*" + uninstaller + " /S"):
        if not re.search(value, listed):
            raise Failure(f"the uninstall entry {key} lacks {value}: {listed}")
    with open(prefix.unix(folder + r"\tarnwick.exe"), "rb") as exe:
        program = exe.read()
    missing = [part.decode() for part in MANIFEST if part not in program]
    if missing:
        raise Failure(f"tarnwick.exe's manifest lacks {missing}")


def test_install(prefix, args):
    """For the current user, as a doctor without administrator rights installs it."""
    prefix.create()
    with open(snapshot_path(prefix), "w") as file:
        json.dump(sorted(prefix.files()), file)
    shutil.rmtree(os.path.dirname(prefix.unix(MARKER)), ignore_errors=True)
    for attempt in ("install", "upgrade"):
        prefix.run(args.setup, "/S", timeout=300)
        expect_installed(prefix, INSTALL_FOLDER, USER_KEY, PROFILE + r"\AppData\Roaming" + START_MENU)
        if prefix.has_key(MACHINE_KEY) or os.path.exists(prefix.unix(MACHINE_FOLDER)):
            raise Failure(f"the {attempt} for the current user wrote to the machine: {MACHINE_KEY} or {MACHINE_FOLDER}")
    # The test program that stands in for the system information tool.
    os.makedirs(os.path.dirname(prefix.unix(MARKER)), exist_ok=True)
    shutil.copy(args.marker, prefix.unix(MARKER))


def test_all_users(prefix, args):
    """Per machine, as an IT department installs it, beside the user's own copy, and removed."""
    if not prefix.has_key(USER_KEY):
        raise Failure("the install step did not run")
    prefix.run(args.setup, "/AllUsers", "/S", timeout=300)
    expect_installed(prefix, MACHINE_FOLDER, MACHINE_KEY, r"C:\ProgramData" + START_MENU, " /AllUsers")
    prefix.run(MACHINE_FOLDER + r"\Uninstall.exe", "/AllUsers", "/S", timeout=300)
    if prefix.has_key(MACHINE_KEY) or os.path.exists(prefix.unix(MACHINE_FOLDER)):
        raise Failure(f"the uninstall per machine left {MACHINE_KEY} or {MACHINE_FOLDER}")
    if not prefix.has_key(USER_KEY) or not os.path.isfile(prefix.unix(PROGRAM)):
        raise Failure("the install and uninstall per machine took the user's own copy with them")


def test_uninstall(prefix, args):
    uninstaller = prefix.unix(INSTALL_FOLDER + r"\Uninstall.exe")
    if not os.path.isfile(uninstaller):
        raise Failure("nothing to uninstall: the install step did not run")
    shutil.rmtree(os.path.dirname(prefix.unix(MARKER)), ignore_errors=True)
    # The uninstaller copies itself away and runs from there; the Wine server waits for both.
    prefix.run(INSTALL_FOLDER + r"\Uninstall.exe", "/S", timeout=300)
    with open(snapshot_path(prefix)) as file:
        before = set(json.load(file))
    left = sorted(prefix.files() - before)
    ours = [path for path in left if "tarnwick" in path.lower() or path.lower().startswith("program files")]
    if ours:
        raise Failure(f"the uninstall left files behind: {ours}")
    named = [line for line in prefix.registry_text().splitlines() if "tarnwick" in line.lower()]
    if named:
        raise Failure(f"the registry still names Tarnwick after the uninstall: {named}")


def test_portable(prefix, args):
    """The zip unpacked into a fresh folder, as onto a USB stick, run, and nothing written."""
    prefix.create()
    before_files, before_registry = prefix.files(), prefix.registry_text().lower().count("tarnwick")
    with tempfile.TemporaryDirectory(prefix="tarnwick-stick-") as stick:
        with zipfile.ZipFile(args.zip) as archive:
            names = sorted(archive.namelist())
            if names != ["Licence.txt", "Ut1.jpg", "tarnwick.exe"]:
                raise Failure(f"the portable zip holds {names}")
            archive.extractall(stick)
        with WineDesktop(args.artifacts, "windows_portable", prefix) as desktop:
            walk = WineWalk(desktop, "Z:" + stick.replace("/", "\\") + r"\tarnwick.exe")
            splash, screen = walk.splash(), desktop.pixels()
            # The picture box shows the picture beside the program.
            left, top, width, height = PICTURE_BOX
            colours = {screen(splash.x + left + x, splash.y + top + y) for x in range(0, width, 3)
                       for y in range(0, height, 3)}
            if len(colours) < 20:
                raise Failure(f"the splash shows no picture ({len(colours)} colours in its box)")
            desktop.key("space")
            walk.exit_from(walk.topic_screen())
        prefix.wait()
        if sorted(os.listdir(stick)) != names:
            raise Failure(f"the program wrote beside itself: its folder now holds {sorted(os.listdir(stick))}")
    written = sorted(path for path in prefix.files() - before_files if "tarnwick" in path.lower())
    if written or prefix.registry_text().lower().count("tarnwick") != before_registry:
        raise Failure(f"the portable program wrote {written} or to the registry")


def snapshot_path(prefix):
    return prefix.path + ".files.json"


@pytest.fixture
def args(pytestconfig):
    return pytestconfig.option


@pytest.fixture
def prefix(request, args):
    """The prefix the steps share; the portable program's is a fresh one of its own."""
    prefix = Prefix(args.prefix + ("-portable" if request.node.name == "test_portable" else ""))
    yield prefix
    prefix.kill()


@pytest.fixture
def walk(request, prefix, args):
    """The installed program on a desktop of the walk's own, left with the prefix's programs ended."""
    if not os.path.isfile(prefix.unix(PROGRAM)):
        raise Failure("Tarnwick is not installed in the prefix: the install step did not run")
    with WineDesktop(args.artifacts, "windows_" + request.node.name.removeprefix("test_"), prefix) as desktop:
        request.node.desktops = [desktop]
        yield WineWalk(desktop, PROGRAM)


# The walks -----------------------------------------------------------------------------------

def test_typical_walk(walk):
    topics = walk.splash_gives_way_on_a_key()
    # Enter at once presses OK, which has the focus, with nothing chosen.
    walk.desktop.active(topics)
    walk.desktop.key("Return")
    walk.message_reads("nothing-selected", NOTHING_SELECTED)
    walk.pick_topic_with_mouse(topics)
    node = walk.follow(walk.start_tree(topics), 1, ("Normal", 2), ("Normal", 3), ("Present", 4))
    walk.answer(node, 4, "Imperforate hymen")
    walk.message_reads("recommendation", IMPERFORATE_HYMEN)
    if not any(w.id == node.id for w in walk.desktop.windows(QUESTION)):
        raise Failure("node 4 closed with the recommendation; it should stay open")
    walk.home_starts_the_tree_again(node, topics)


def test_splash_click_and_timer(walk):
    splash = walk.splash()
    # The frame's bare area, right of the picture and above the labels.
    walk.desktop.click(splash.x + px(150 + 6500), splash.y + px(60 + 300))
    walk.desktop.gone(splash, timeout=10)
    topics = walk.topic_screen()
    walk.exit_from(topics)

    # Afresh, untouched: the splash waits for its timer, and only then gives way.
    walk.desktop.start(PROGRAM)
    splash = walk.desktop.splash(timeout=60)
    holds(lambda: not walk.desktop.windows(TOPICS) and any(w.id == splash.id for w in walk.desktop.windows()), 5,
          "the splash screen left within 5 s on its own; its timer runs 8 s")
    walk.desktop.gone(splash, timeout=20)
    walk.exit_from(walk.topic_screen())


def client_area(window, width, height):
    """A fixed dialog's client area and its caption's height. openbox frames the windows Wine
    leaves to it; the rest Wine frames itself, inside the X window: equal borders left, right
    and below, and the caption on top. A window whose frame does not fit a real one fails."""
    if any(window.frame):
        return window, window.frame[2]
    border, extra = divmod(window.width - width, 2)
    caption = window.height - height - 2 * border
    if extra or not 0 <= border <= 8 or not 15 <= caption <= 30:
        raise Failure(f"{window} has no Windows frame around a {width}x{height} client area")
    window.x, window.y = window.x + border, window.y + border + caption
    window.width, window.height = width, height
    return window, caption


def test_about_and_system_info(walk):
    prefix = walk.desktop.prefix
    marker_ran = prefix.unix(MARKER) + ".ran"
    if os.path.exists(marker_ran):
        os.remove(marker_ran)
    prefix.set_value(SYS_INFO_KEY, "PATH", MARKER)

    topics = walk.splash_gives_way_on_a_key("Return")
    walk.desktop.click_in(topics, "About")
    about, caption = client_area(walk.desktop.window(ABOUT), px(5730), px(4350))
    expected = (px(2340), px(1935), px(5730), px(4350))
    if (about.x, about.y, about.width, about.height) != expected:
        raise Failure(f"the About screen's client area is {about}; expected {expected[2]}x{expected[3]} "
                      f"at {expected[0]},{expected[1]}")
    # An ordinary caption, as high as the topic screen's, not a tool window's small one; and
    # out of the taskbar all the same, through an owner that never shows.
    if caption != topics.frame[2]:
        raise Failure(f"the About screen's caption is {caption} pixels high, the topic screen's {topics.frame[2]}")
    if SKIP_TASKBAR not in about.states:
        raise Failure(f"the About screen shows in the taskbar: its states are {list(about.states)}")

    walk.desktop.click_in(about, "System Info...")
    wait_for(lambda: os.path.exists(marker_ran), 20, "System Info to start the program named by PATH")
    holds(lambda: not walk.desktop.windows(MESSAGE), 1, "System Info started the program and still showed a message")

    # Neither key: the one message, and the About screen stays.
    prefix.delete_key(SYS_INFO_KEY)
    prefix.delete_key(SYS_INFO_FOLDER_KEY)
    walk.desktop.click_in(about, "System Info...")
    walk.message_reads("unavailable", UNAVAILABLE)
    # The box gone, About has the keyboard again: Esc closes it.
    walk.desktop.active(about)
    walk.desktop.key("Escape")
    walk.desktop.gone(about)
    walk.exit_from(topics)
