"""Tarnwick's Windows installer and program under Wine, step by step as a doctor's machine sees
them: installed silently into a private prefix, walked on a virtual display under openbox as the
Linux walks do, and uninstalled without a trace.

    windows_walks.py --prefix DIR --setup SETUP.exe --marker MARKER.exe --artifacts DIR STEP

STEP is install, one of the walks, or uninstall; the walks need the install before them."""

import argparse
import json
import os
import re
import shutil
import sys
import time

from wine import INSTALL_FOLDER, UNINSTALL_KEY, Prefix, WineDesktop

from desktop import Failure, px, wait_for
from walks import ABOUT, MESSAGE, QUESTION, TOPIC_ABOUT, TOPIC_EXIT, TOPICS, Walk

PROGRAM = INSTALL_FOLDER + r"\tarnwick.exe"
START_MENU_ENTRY = r"C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Tarnwick.lnk"
SYS_INFO_KEY = r"HKLM\SOFTWARE\Microsoft\Shared Tools\MSINFO"
SYS_INFO_FOLDER_KEY = r"HKLM\SOFTWARE\Microsoft\Shared Tools Location"
MARKER = r"C:\tarnwick-tests\marker.exe"
SPLASH_SIZE = (px(7380), px(4245))
SYS_INFO = (4260, 3075, 1245, 345)  # the About screen's System Info and OK buttons
ABOUT_OK = (4245, 2625, 1260, 345)

NOTHING_SELECTED = ("Nothing is selected! You have to select an item from the drop-down list in the combination "
                    "box and then click OK.")
IMPERFORATE_HYMEN = "Excise the imperforate hymen by making a cruciate incision in it."
UNAVAILABLE = "System Information Is Unavailable At This Time"


class WineWalk(Walk):
    # Wine places a window by its Windows frame, openbox draws its own around the client area:
    # 1-pixel borders and a 20-pixel title instead of Wine's 23-pixel caption. A program that
    # left its frame out of its size would be off by that whole caption.
    place_tolerance = 4

    @staticmethod
    def shows_chosen(colour):
        # Windows' own style fills the chosen option's white circle with a blue dot.
        return min(colour) < 160

    def splash(self):
        splash = self.desktop.window(size=SPLASH_SIZE, timeout=60)
        # openbox gives a new window no focus without a user's click, while Windows gives the
        # first window of a program started from the Start menu the focus. A click on the
        # picture does what a user's would: focus the splash, and nothing else.
        left, top = px(150 + 360), px(60 + 795)
        self.desktop.click(splash.x + left + 20, splash.y + top + 20)
        time.sleep(1)
        if not self.desktop.windows(TOPICS) and any(w.id == splash.id for w in self.desktop.windows()):
            return splash
        raise Failure("a click on the splash screen's picture closed it")

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


def install(prefix, args):
    prefix.create()
    with open(snapshot_path(prefix), "w") as file:
        json.dump(sorted(prefix.files()), file)
    shutil.rmtree(os.path.dirname(prefix.unix(MARKER)), ignore_errors=True)
    prefix.run(args.setup, "/S", timeout=300)
    for path in (PROGRAM, INSTALL_FOLDER + r"\Ut1.jpg", INSTALL_FOLDER + r"\Uninstall.exe", START_MENU_ENTRY):
        if not os.path.isfile(prefix.unix(path)):
            raise Failure(f"the silent install left no {path}")
    listed = prefix.reg("query", UNINSTALL_KEY, "/reg:64", check=False).stdout.decode(errors="replace")
    for value in ("DisplayName", "UninstallString", "Tarnwick.*Uninstall.exe"):
        if not re.search(value, listed):
            raise Failure(f"Add/Remove Programs lacks {value}: {listed}")
    # The test program that stands in for the system information tool.
    os.makedirs(os.path.dirname(prefix.unix(MARKER)), exist_ok=True)
    shutil.copy(args.marker, prefix.unix(MARKER))


def uninstall(prefix, args):
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
    if prefix.has_key(UNINSTALL_KEY):
        raise Failure(f"the uninstall left {UNINSTALL_KEY} behind")
    named = [line for line in prefix.registry_text().splitlines() if "tarnwick" in line.lower()]
    if named:
        raise Failure(f"the registry still names Tarnwick after the uninstall: {named}")


def snapshot_path(prefix):
    return prefix.path + ".files.json"


# The walks -----------------------------------------------------------------------------------

def typical_walk(walk):
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


def splash_click_and_timer(walk):
    splash = walk.splash()
    # The frame's bare area, right of the picture and above the labels.
    walk.desktop.click(splash.x + px(150 + 6500), splash.y + px(60 + 300))
    walk.desktop.gone(splash, timeout=10)
    topics = walk.topic_screen()
    walk.exit_from(topics, TOPIC_EXIT)

    # Afresh, untouched: the splash waits for its timer, and only then gives way.
    walk.desktop.start(PROGRAM)
    splash = walk.desktop.window(size=SPLASH_SIZE, timeout=60)
    time.sleep(5)
    if walk.desktop.windows(TOPICS) or all(w.id != splash.id for w in walk.desktop.windows()):
        raise Failure("the splash screen left within 5 s on its own; its timer runs 8 s")
    walk.desktop.gone(splash, timeout=20)
    walk.exit_from(walk.topic_screen(), TOPIC_EXIT)


def client_area(window, width, height):
    """A fixed dialog's client area. Wine draws such a frame itself, inside the X window: equal
    borders left, right and below, and the caption on top. The borders are what the window is
    wider than its client area should be; a window whose frame does not fit a real one fails."""
    if any(window.frame):
        return window  # framed by openbox: the X window is the client area
    border, extra = divmod(window.width - width, 2)
    caption = window.height - height - 2 * border
    if extra or not 0 <= border <= 8 or not 15 <= caption <= 30:
        raise Failure(f"{window} has no Windows frame around a {width}x{height} client area")
    window.x, window.y = window.x + border, window.y + border + caption
    window.width, window.height = width, height
    return window


def about_and_system_info(walk):
    prefix = walk.desktop.prefix
    marker_ran = prefix.unix(MARKER) + ".ran"
    if os.path.exists(marker_ran):
        os.remove(marker_ran)
    prefix.set_value(SYS_INFO_KEY, "PATH", MARKER)

    topics = walk.splash_gives_way_on_a_key("Return")
    walk.desktop.click_in(topics, *TOPIC_ABOUT)
    about = client_area(walk.desktop.window(ABOUT), px(5730), px(4350))
    expected = (px(2340), px(1935), px(5730), px(4350))
    if (about.x, about.y, about.width, about.height) != expected:
        raise Failure(f"the About screen's client area is {about}; expected {expected[2]}x{expected[3]} "
                      f"at {expected[0]},{expected[1]}")

    walk.desktop.click_in(about, *SYS_INFO)
    wait_for(lambda: os.path.exists(marker_ran), 20, "System Info to start the program named by PATH")
    time.sleep(1)
    if walk.desktop.windows(MESSAGE):
        raise Failure("System Info started the program and still showed a message")

    # Neither key: the one message, and the About screen stays.
    prefix.delete_key(SYS_INFO_KEY)
    prefix.delete_key(SYS_INFO_FOLDER_KEY)
    walk.desktop.click_in(about, *SYS_INFO)
    walk.message_reads("unavailable", UNAVAILABLE)
    walk.desktop.click_in(about, *ABOUT_OK)
    walk.desktop.gone(about)
    walk.exit_from(topics, TOPIC_EXIT)


WALKS = {walk.__name__: walk for walk in (typical_walk, splash_click_and_timer, about_and_system_info)}
STEPS = {"install": install, "uninstall": uninstall}


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--setup")
    parser.add_argument("--marker")
    parser.add_argument("--artifacts", required=True)
    parser.add_argument("step", choices=sorted(STEPS) + sorted(WALKS))
    args = parser.parse_args()
    prefix = Prefix(args.prefix)
    try:
        if args.step in STEPS:
            STEPS[args.step](prefix, args)
        else:
            if not os.path.isfile(prefix.unix(PROGRAM)):
                raise Failure("Tarnwick is not installed in the prefix: the install step did not run")
            with WineDesktop(args.artifacts, "windows_" + args.step, prefix) as desktop:
                walk = WineWalk(desktop, PROGRAM)
                WALKS[args.step](walk)
    except FileNotFoundError as missing:
        print(f"FAILED: {missing.filename} is not installed (scripts/install-deps.sh installs it)", file=sys.stderr)
        return 1
    except Failure as failure:
        print(f"FAILED {args.step}: {failure}", file=sys.stderr)
        return 1
    finally:
        prefix.kill()
    print(f"passed {args.step}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
