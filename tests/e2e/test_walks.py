"""The real program on a virtual display, walked through as a doctor would use it.

    python3 -m pytest tests/e2e/test_walks.py --program build/dev/bin/tarnwick --artifacts DIR [-k WALK]

Every walk starts the program afresh on each desktop DESKTOPS names for it; on failure it names what
was missing and leaves a screenshot in DIR (conftest.py)."""

import os
import re
import shutil
import socket
import struct
import subprocess
import tempfile
import threading
import time

import pytest

from desktop import CHECKED, HEIGHT, PICTURE_BOX, WAYLAND, WIDTH, WINDOW_MANAGERS, Desktop, Failure, px, wait_for

# Which walk runs on which desktops: an X server alone (bare), one under each window manager, weston
# with XWayland (wayland). On its bare server server_resets' X server resets as its last client
# leaves, same_look_when_dark walks under no theme and then a dark one, no_display runs the program
# with no display and against a server that refuses it, bad_pictures beside each of a corpus of pictures.
BARE, EVERY = ["bare"], ["bare", *WINDOW_MANAGERS]
DESKTOPS = {"typical_walk": EVERY, "absent_branch": BARE, "ambiguous_branch": BARE, "about_and_help": EVERY,
            "keyboard_walk": BARE, "no_display": BARE, "server_resets": BARE, "same_look_when_dark": BARE,
            "typing_elsewhere": [*WINDOW_MANAGERS], "first_screens": ["wayland"], "bad_pictures": BARE}

# Windows, by their titles. The splash screen and the drop-down list have none.
MESSAGE = "Tarnwick"
TOPICS = "Quillmoor"
QUESTION = "Primary Amenorrhea"
ABOUT = "About MyApp"
HELP = "Tarnwick Help"

PRIMARY_AMENORRHEA = 2  # its place in the topic list
# The answers on the screens of the nodes the walks go through.
NODES = {1: ["Normal", "Ambiguous"], 2: ["Normal", "Absent"], 3: ["Present", "Absent"],
         4: ["Imperforate hymen", "Transverse vaginal septum", "Vaginal atresia", "Cervical atresia"],
         7: ["Short", "Tall", "Normal"],
         14: ["Virilization", "Virilization plus gynecomastia", "No virilization or gynecomastia"], 16: ["Normal", "Low"]}

IMPERFORATE_HYMEN = "Excise the imperforate hymen by making a cruciate incision in it."
RULE = "---------------------------\n"


SKIP_TASKBAR = "_NET_WM_STATE_SKIP_TASKBAR"
MAXIMIZED = {"_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ"}
# Window managers whose policy may maximize the topic screen, first sized over 80 % of the work
# area: mutter 43 (Debian 12) maximizes it (GNOME's auto-maximize), KWin 5.27 (Debian 12) gives it
# the display's full height; mutter 48 and KWin 6.3 (Debian 13) leave it at its place.
MAY_MAXIMIZE = {"mutter", "kwin"}


INSTALLED_ICON = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "packaging",
                                              "icons", "hicolor", "{0}x{0}", "apps", "org.tarnwick.Tarnwick.png"))


def expect_desktop_icon(desktop, window, what):
    """The icon the desktop reads off `window` (_NET_WM_ICON: width, height and ARGB pixels, image after image)
    holds the installed 16x16 and 32x32 icons, premultiplied alike, give or take 2 of 255 for rounding."""
    with desktop.connection() as server:
        values, images = desktop.property(server, server.create_resource_object("window", int(window.id)), "_NET_WM_ICON"), {}
    while len(values) > 2:
        end = 2 + values[0] * values[1]
        images[values[0]] = [(v >> 16 & 255, v >> 8 & 255, v & 255, v >> 24) for v in values[2:end]]
        values = values[end:]
    for size in (16, 32):
        png = subprocess.run(["convert", INSTALLED_ICON.format(size), "-depth", "8", "rgba:-"], capture_output=True,
                             check=True, timeout=20).stdout
        premultiplied = lambda pixels: [c * p[3] // 255 for p in pixels for c in p[:3]] + [p[3] for p in pixels]  # noqa
        expected, shown = premultiplied(list(zip(*[iter(png)] * 4))), premultiplied(images.get(size, []))
        if len(shown) != len(expected) or any(abs(a - b) > 2 for a, b in zip(shown, expected)):
            raise Failure(f"{what}'s {size}x{size} window icon is not {INSTALLED_ICON.format(size)}: the desktop reads "
                          f"images of {sorted(images)} pixels across")


def shows_picture(splash):
    """Whether a screenshot's samples show a picture, 20 colours or more, in the splash screen's picture box."""
    left, top, width, height = PICTURE_BOX
    box = [(y * WIDTH + x) * 3 for y in range(splash.y + top, splash.y + top + height)
           for x in range(splash.x + left, splash.x + left + width)]
    return lambda samples: len({samples[i:i + 3] for i in box}) >= 20


def indicator(extents):
    """Where an option button's round indicator is: at its left, halfway down."""
    left, top, _, height = extents
    return left + 7, top + height // 2


class Walk:
    # Pixels a window's place and outer size may be off by; None for rounding only.
    place_tolerance = None

    def __init__(self, desktop):
        self.desktop = desktop
        # A Wayland compositor places the windows itself; they must still be whole on the display.
        self.compositor_places = desktop.wm == WAYLAND

    def expect_place(self, window, what, size):
        """A window whose outer size, frame included, is `size` (or `size` times the display's, given a
        number), centred on the display; give or take a pixel of rounding, two where a window manager's
        frame is split round the client, or place_tolerance."""
        width, height = size if isinstance(size, tuple) else (round(WIDTH * size), round(HEIGHT * size))
        left, top = (WIDTH - width) / 2, (HEIGHT - height) / 2
        tolerance = self.place_tolerance or (2 if any(window.frame) else 1)
        x, y, outer_width, outer_height = window.outer()
        if self.compositor_places:
            # Where the compositor's place leaves too little room, the window takes what there is.
            self.expect_on_display(window, what)
            if not (width * 0.9 <= outer_width <= width + tolerance
                    and height * 0.9 <= outer_height <= height + tolerance):
                raise Failure(f"{what} is {window}; expected {width}x{height} or a little less")
            return
        if abs(outer_width - width) > tolerance or abs(outer_height - height) > tolerance:
            raise Failure(f"{what} is {window}; expected {width}x{height}")
        if abs(x - left) > tolerance or abs(y - top) > tolerance:
            raise Failure(f"{what} is {window}; expected {width}x{height} centred at {left:.0f},{top:.0f}")

    def on_display(self, window):
        # weston 14's frames hold their shadows, which may go past the display's edge.
        x, y, width, height = (window.x, window.y, window.width, window.height) if self.compositor_places else window.outer()
        return x >= 0 and y >= 0 and x + width <= WIDTH and y + height <= HEIGHT

    def expect_on_display(self, window, what):
        if not self.on_display(window):
            raise Failure(f"{what} is {window}, off the {WIDTH}x{HEIGHT} display")

    def expect_in_task_bar(self, window, what, shown):
        if self.compositor_places:
            return  # weston's X window manager keeps no EWMH task bar states
        if (SKIP_TASKBAR not in window.states) != shown:
            raise Failure(f"{what} {'is missing from' if shown else 'shows in'} the task bar: "
                          f"its states are {list(window.states)}")

    # The screens -------------------------------------------------------------------------

    def splash_gives_way_on_a_key(self, key="space"):
        splash = self.desktop.splash()
        if self.compositor_places:  # weston 14 frames it, although it asks for no frame; weston 10 did not
            self.expect_on_display(splash, "the splash screen")
        else:
            self.expect_place(splash, "the splash screen", (px(7380), px(4245)))
        self.expect_in_task_bar(splash, "the splash screen", False)
        if self.desktop.wm in WINDOW_MANAGERS:  # typed once it has the keyboard, as a user sees it
            self.desktop.focused(splash, "the splash screen")
        self.desktop.key(key)
        self.desktop.gone(splash, timeout=5)
        return self.given_keyboard(self.topic_screen(), "the topic screen")

    def given_keyboard(self, window, what):
        """A screen the doctor asked for, once it has the keyboard, as the program gives it: clicked only then,
        once the window manager is done focusing it. (Under mutter 43 beside a build, a click on node 1 that
        came sooner went unanswered once.)"""
        return window if self.compositor_places else self.desktop.focused(window, what)

    def topic_screen(self):
        topics = self.desktop.window(TOPICS)
        if self.desktop.wm in MAY_MAXIMIZE:
            where = lambda: next((w for w in self.desktop.windows(TOPICS)  # noqa: E731
                                  if self.maximized(w) or self.placed(w, "the topic screen", 0.95)), None)
            wait_for(where, 5, "the topic screen maximized or at its place")
            # Once the window manager is done with it, drawn and its animations over.
            self.desktop.still("the screen to settle round the topic screen")
            topics = wait_for(where, 1, "the topic screen to stay maximized or at its place")
        else:
            topics = self.settled(topics, "the topic screen", 0.95)
        self.expect_in_task_bar(topics, "the topic screen", True)
        return topics

    def maximized(self, topics):
        """Whether the topic screen is maximized fully, or to the display's full height at its designed
        width and centre, exactly as a window manager puts it. (Under KWin 6.3 it first shows 975x767 at
        25,0, its client area sized for no frame, until the program fits it to the frame it got.)"""
        x, y, width, height = topics.outer()
        return (MAXIMIZED <= set(topics.states) and (x, y, width, height) == (0, 0, WIDTH, HEIGHT)
                or (y, width, height) == (0, round(WIDTH * 0.95), HEIGHT) and abs(x - (WIDTH - width) / 2) <= 1)

    def placed(self, window, what, size):
        """`window` if it has the outer size and place expect_place wants."""
        try:
            self.expect_place(window, what, size)
            return window
        except Failure:
            return None

    def settled(self, window, what, factor):
        """Checks the outer size and place of a screen sized to `factor` of the display,
        giving a window manager a moment to frame it and the program to fit the frame."""
        now = lambda: next((w for w in self.desktop.windows() if w.id == window.id), None)  # noqa: E731
        try:
            return wait_for(lambda: (w := now()) and self.placed(w, what, factor), 2, f"{what} to settle")
        except Failure:
            self.expect_place(self.desktop.window(window.name), what, factor)
            raise

    def question(self, node, previous=None):
        """Waits for node's screen (a new window, replacing `previous`) and checks that its
        options show, none of them chosen."""
        if previous:
            self.desktop.gone(previous)
        window = self.settled(self.desktop.window(QUESTION), f"node {node}'s screen", 0.85 if node == 1 else 0.75)
        self.expect_in_task_bar(self.given_keyboard(window, f"node {node}'s screen"), f"node {node}'s screen", True)
        places, missing = {caption: self.desktop.reader.control(QUESTION, caption) for caption in NODES[node]}, []

        def all_shown():
            screen = self.desktop.pixels(window)
            missing[:] = [caption for caption, place in places.items() if min(screen(*indicator(place))) < 200]
            return not missing
        try:
            wait_for(all_shown, 5, "the options to show")
        except Failure:
            raise Failure(f"node {node}: no unchosen option button shows as {missing}") from None
        return window

    def choose(self, window, node, caption):
        place = self.desktop.reader.control(window, caption)
        try:
            self.click_for(window, caption, lambda: self.shows_chosen(self.desktop.pixels(window)(*indicator(place))),
                           f"option '{caption}' of node {node} to show as chosen")
        except Failure as failure:
            if not (option := self.desktop.reader.find(window, caption)):
                raise
            raise Failure(f"{failure}; a screen reader reads it as {'' if option.has(CHECKED) else 'not '}chosen") from None

    def click_for(self, window, name, done, what, timeout=5):
        """Clicks a control, once, and waits for done()."""
        self.desktop.click_in(window, name)
        return wait_for(done, timeout, what)

    @staticmethod
    def shows_chosen(colour):
        """Whether an option button's indicator of this colour, at its centre, shows the dot."""
        return max(colour) < 128

    def home_starts_the_tree_again(self, node_4, topics):
        """Home on node 4 brings the topic list back as it was left: OK at once starts the tree
        again; Exit there ends the walk."""
        self.desktop.click_in(node_4, "Home")
        self.desktop.gone(node_4)
        again = self.given_keyboard(self.topic_screen(), "the topic screen")
        if again.id != topics.id:
            raise Failure("Home showed a new topic screen instead of the one that was hidden")
        self.exit_from(self.start_tree(again))

    def answer(self, window, node, caption):
        self.choose(window, node, caption)
        self.desktop.click_in(window, "OK")

    def follow(self, window, node, *path):
        """Answers node after node along `path`, pairs of (caption, next node), and returns
        the last node's screen."""
        for caption, following in path:
            self.answer(window, node, caption)
            window, node = self.question(following, previous=window), following
        return window

    def message(self):
        return self.desktop.window(MESSAGE, timeout=5)

    def copy_message(self, text):
        """Ctrl+C in the message box copies it, to be pasted into the notes; then it is dismissed."""
        box = self.message()
        self.desktop.key("ctrl+c")
        expected = RULE + MESSAGE + "\n" + RULE + text + "\n" + RULE + "OK   \n" + RULE
        wait_for(lambda: self.desktop.clipboard() == expected, 5, f"Ctrl+C to put {expected!r} on the clipboard")
        self.dismiss(box)

    def dismiss(self, box):
        self.desktop.focused(box, "the message box")
        self.desktop.key("Return")
        self.desktop.gone(box, timeout=5)

    def pick_topic_with_mouse(self, topics):
        left, top, width, height = self.desktop.reader.control(TOPICS, "Topic List")
        # The arrow at the right end of the drop-down box.
        self.desktop.click(left + width - 8, top + height // 2)
        # The list drops down as a window of its own.
        popup = wait_for(lambda: next((w for w in self.desktop.windows() if w.id != topics.id), None), 5,
                         "the topic list to drop down")
        rows = 20  # the list shows this many topics at a time
        row = (popup.height - 2) / rows
        self.desktop.click(popup.x + popup.width // 3, popup.y + 1 + int(row * (PRIMARY_AMENORRHEA + 0.5)))
        self.desktop.gone(popup, timeout=5)

    def pick_topic_with_keyboard(self, topics):
        left, top, _, height = self.desktop.reader.control(TOPICS, "Topic List")
        # Into the text field, then down the list one topic at a time.
        self.desktop.click(left + 20, top + height // 2)
        self.desktop.key(*["Down"] * (PRIMARY_AMENORRHEA + 1))

    def start_tree(self, topics):
        self.click_for(topics, "OK", lambda: self.desktop.windows(MESSAGE) or not self.desktop.windows(TOPICS),
                       "OK to hide the topic screen", 10)
        if self.desktop.windows(MESSAGE):
            raise Failure("OK on the topic screen showed a message instead of opening the tree: "
                          "'Amenorrhea, primary' was not chosen")
        return self.question(1)

    def exit_from(self, window):
        self.desktop.click_in(window, "Exit")
        status = self.desktop.wait_for_exit()
        if status != 0:
            raise Failure(f"Exit ended the program with status {status}, not 0")
        left = self.desktop.windows()
        if left:
            raise Failure(f"windows left on screen after Exit: {left}")


# The walks -------------------------------------------------------------------------------

@pytest.fixture
def walk(desktop, program):
    return Walk(desktop)


def test_typical_walk(walk):
    topics = walk.splash_gives_way_on_a_key()
    walk.pick_topic_with_mouse(topics)
    node = walk.follow(walk.start_tree(topics), 1, ("Normal", 2), ("Normal", 3), ("Present", 4))
    walk.answer(node, 4, "Imperforate hymen")
    walk.copy_message(IMPERFORATE_HYMEN)
    if not any(w.id == node.id for w in walk.desktop.windows(QUESTION)):
        raise Failure("node 4 closed with the recommendation; it should stay open")

    walk.home_starts_the_tree_again(node, topics)
    # Only the first screen with a frame may show before the window manager has told it. (mutter
    # resizes its own frame windows after mapping them, and maximizes the topic screen.)
    if walk.desktop.wm in set(WINDOW_MANAGERS) - MAY_MAXIMIZE and (flashed := walk.desktop.frames_resized_while_shown()) > 1:
        raise Failure(f"{flashed} screens showed at one size and were then resized")


def test_absent_branch(walk):
    topics = walk.splash_gives_way_on_a_key("Return")
    walk.pick_topic_with_keyboard(topics)
    node = walk.follow(walk.start_tree(topics), 1, ("Normal", 2), ("Absent", 7))
    walk.answer(node, 7, "Tall")
    walk.dismiss(walk.message())
    # Alt+E is Exit on every question screen. Without a window manager nothing hands the
    # focus back once the box has gone, so click into the screen first as a user would.
    walk.desktop.click(node.x + node.width - 10, node.y + node.height - 10)
    walk.desktop.key("alt+e")
    if walk.desktop.wait_for_exit() != 0:
        raise Failure("Alt+E ended the program with a status other than 0")


def test_ambiguous_branch(walk):
    topics = walk.splash_gives_way_on_a_key()
    walk.pick_topic_with_mouse(topics)
    node = walk.follow(walk.start_tree(topics), 1, ("Ambiguous", 14), ("Virilization plus gynecomastia", 16))
    walk.answer(node, 16, "Low")
    walk.dismiss(walk.message())
    walk.exit_from(walk.desktop.window(QUESTION))


def test_about_and_help(walk):
    topics = walk.splash_gives_way_on_a_key()
    walk.desktop.click_in(topics, "About")
    about = walk.desktop.window(ABOUT)
    walk.expect_in_task_bar(about, "the About screen", False)
    # Its client area at its stored place, whatever frame a window manager adds.
    expected = (px(2340), px(1935), px(5730), px(4350))
    if (about.x, about.y, about.width, about.height) != expected:
        raise Failure(f"the About screen is {about}; expected {expected[2]}x{expected[3]} at "
                      f"{expected[0]},{expected[1]}")
    if not walk.desktop.wm:  # once: a window manager leaves the icon as the program set it
        for window, what in ((topics, "the topic screen"), (about, "the About screen")):
            expect_desktop_icon(walk.desktop, window, what)
    walk.desktop.key("Escape")
    walk.desktop.gone(about)

    walk.desktop.click_in(topics, "Help")
    help_screen = walk.desktop.window(HELP)
    if not walk.desktop.windows(TOPICS):
        raise Failure("the topic screen went away when Help opened")
    # Help stands beside the topic screen's controls, never over them, so they stay usable.
    for name in ("OK", "Exit"):
        left, top, width, height = walk.desktop.reader.control(TOPICS, name)
        x, y = left + width // 2, top + height // 2
        if help_screen.x <= x < help_screen.x + help_screen.width and help_screen.y <= y < help_screen.y + help_screen.height:
            raise Failure(f"Help ({help_screen}) covers the topic screen's {name} button")
    # Exit on the topic screen ends the program, the Help screen with it.
    walk.exit_from(topics)


def test_keyboard_walk(walk):
    """No mouse at all: the topic, then each answer by its place in the tab order, OK, and
    Exit, the way a keyboard user goes; every key Help's text names, pressed for what it says."""
    topics, key, focused = walk.splash_gives_way_on_a_key("Return"), walk.desktop.key, walk.desktop.focused
    # About and Help hand the keyboard back to the topic screen as they go, OK's focus kept.
    key("alt+b")
    about = focused(walk.desktop.window(ABOUT))
    key("Escape")
    walk.desktop.gone(about)
    focused(topics)
    key("alt+h")
    help_screen = focused(walk.desktop.window(HELP))
    # Help's text, copied as a user would (Close has the focus; the text is next), names the keys.
    key("Tab", "ctrl+a", "ctrl+c")
    text = wait_for(lambda: "Alt+" in (copied := walk.desktop.clipboard()) and copied, 5,
                    "Help's text on the clipboard")
    said = {m[0].lower(): re.match(r"[^;.\n]*", text[m.end():])[0].lower() for m in re.finditer(
        r"(?:Alt|Ctrl|Shift)\+\w+|\b(?:Tab|Space|Enter|Esc(?:ape)?|F\d+|[Aa]rrow keys)\b", text)}
    # Each key the walk presses below, with the words Help says it by.
    pressed = {"tab": "", "shift+tab": "", "arrow keys": "", "space": "", "enter": "", "alt+h": "home help",
               "alt+e": "exit", "alt+b": "about", "alt+down": "list", "ctrl+plus": "zoom", "ctrl+minus": "zoom",
               "ctrl+0": "whole tree"}
    wrong = {k: said.get(k, "(not named)") for k in said.keys() | pressed.keys()
             if k not in said or k not in pressed or not all(w in said[k] for w in pressed[k].split())}
    if wrong:
        raise Failure(f"Help's text names keys the walk does not press, or for something else: {wrong}")

    def press(name):
        """Help's drawing once settled after `name` changed it."""
        def drawing(samples):
            return [samples[(y * WIDTH + help_screen.x) * 3:(y * WIDTH + help_screen.x + help_screen.width) * 3]
                    for y in range(help_screen.y, help_screen.y + help_screen.height)]
        before = drawing(walk.desktop.samples()[-1])
        key(name)
        return drawing(walk.desktop.still(f"{name} to change Help's drawing", lambda now: drawing(now) != before))
    # The drawing's tab: Tab walks into the boxes, the arrow keys move on, Enter reads one out.
    key("shift+Tab", "alt+d")
    whole = [press(name) for name in ("Tab", "Down", "Return", "ctrl+plus", "ctrl+0")][-1]
    for zoom, darker in (("ctrl+minus", False), ("ctrl+plus", True)):
        if (sum(map(sum, press(zoom))) < sum(map(sum, whole))) != darker or press("ctrl+0") != whole:
            raise Failure(f"{zoom} did not zoom {'in' if darker else 'out'} from the whole tree, "
                          "or Ctrl+0 did not show it again")
    key("alt+c")
    walk.desktop.gone(help_screen)
    focused(topics)
    # OK has the focus; Exit is three tabs on and the list one more, whose list drops down as a
    # window of its own.
    key(*["Tab"] * 4, "alt+Down")
    popup = wait_for(lambda: next((w for w in walk.desktop.windows() if w.id != topics.id), None), 5,
                     "Alt+Down to drop the topic list down")
    key(*["Down"] * PRIMARY_AMENORRHEA, "Return")  # from the first topic, which the list opens on
    walk.desktop.gone(popup)
    key(*["shift+Tab"] * 4, "space")
    walk.desktop.gone(topics)
    # Two tabs from OK, past Exit, into the answers, which are one stop; the arrow keys move
    # among them as they stand on the screen. Back on OK, Space or Enter presses it.
    for node, arrows, following, ok in ((1, [], 2, "space"), (2, ["Down"], 7, "space"), (7, ["Up"], None, "Return")):
        window = walk.question(node)
        key("Tab", "Tab", *arrows, "space", "shift+Tab", "shift+Tab", ok)
        if following:
            walk.desktop.gone(window)
    walk.dismiss(walk.message())
    # Home on the question screen, then Exit on the topic screen.
    key("alt+h")
    walk.desktop.gone(window)
    if walk.desktop.window(TOPICS).id != topics.id:
        raise Failure("Alt+H on a question screen showed a new topic screen instead of the one that was hidden")
    focused(topics)
    key("alt+e")
    if walk.desktop.wait_for_exit() != 0:
        raise Failure("Alt+E ended the program with a status other than 0")


def test_first_screens(walk):
    """What a compositor with no keyboard or mouse of its own (headless) lets a walk check: the
    program comes up on X through XWayland although Qt's Wayland plugin is there, the splash
    gives way to a key sent to it, and the topic screen shows whole on the display."""
    walk.splash_gives_way_on_a_key("Return")
    # Once the compositor has placed it and the program fitted it to the display (weston tells no frame: the
    # program fits half a second after the screen shows, moving nothing that is whole already).
    try:
        wait_for(lambda: walk.on_display(walk.desktop.window(TOPICS)), 5, "the topic screen whole on the display")
    except Failure:
        walk.expect_on_display(walk.desktop.window(TOPICS), "the topic screen")
        raise
    if walk.desktop.program.poll() is not None:
        raise Failure(f"the program ended with status {walk.desktop.program.returncode}")


def test_server_resets(desktops, pytestconfig):
    """As an .xinitrc starts it, on a server that resets as its last client leaves: xrdb gets
    through, and the program starts at once; the splash shows every time."""
    desktop = desktops(resets=True)
    for _ in range(20):
        desktop.start(pytestconfig.option.program)
        desktop.splash()
        Desktop._stop(desktop.program)
        wait_for(lambda: subprocess.run(["xrdb", "-merge", os.devnull], env=desktop.env, capture_output=True,
                                        timeout=20).returncode == 0, 10, "xrdb to merge its resources")
    desktop.start(pytestconfig.option.program)
    desktop.splash()


def test_same_look_when_dark(desktops, pytestconfig):
    """Under GTK's platform theme in Adwaita's dark style the splash, About over the topic screen,
    a warning box and node 1 show as under no theme, within the look test's allowance."""
    seen, row = {}, WIDTH * 3
    for theme in (None, "dark"):
        desktop = desktops(theme or "plain", theme=theme)
        desktop.start(pytestconfig.option.program, accessible=True)

        def looks(what, window, drawn=lambda samples: True):
            if theme is None:
                seen[what] = desktop.still(f"{what} drawn in full", drawn)
                return window
            differing = lambda now, was: sum(  # noqa: E731
                max(map(abs, map(int.__sub__, now[i:i + 3], was[i:i + 3]))) > 48 for start in range(0, len(now), row)
                if now[start:start + row] != was[start:start + row] for i in range(start, start + row, 3))
            wait_for(lambda: differing(desktop.samples()[-1], seen[what]) <= 78, 5, f"{what} to look as under no theme")
            return window
        walk, splash = Walk(desktop), desktop.splash()
        looks("the splash screen", splash, shows_picture(splash))
        desktop.key("space")
        desktop.gone(splash)
        topics = walk.topic_screen()
        desktop.click_in(topics, "About")
        about = looks("About over the topic screen", desktop.window(ABOUT))
        desktop.key("Escape")
        desktop.gone(about)
        desktop.click_in(topics, "OK")
        walk.dismiss(looks("the warning that no topic is chosen", walk.message()))
        walk.pick_topic_with_mouse(topics)
        looks("node 1", walk.start_tree(topics))


def test_typing_elsewhere(walk):
    """The doctor goes back to the record while the splash waits: the topic screen takes none of the
    letters typed there, but under openbox and xfwm4, which give any new window the keyboard."""
    desktop = walk.desktop
    splash = desktop.splash()
    # The record: a text field of another program, which prints what it holds on Return.
    record = subprocess.Popen(["zenity", "--entry", "--title=Record"], env=desktop.env, stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL, text=True, start_new_session=True)
    try:
        field = wait_for(lambda: desktop.xdotool("search", "--onlyvisible", "--name", "^Record$", check=False)
                         .stdout.split(), 10, "the record's window to map")[0]
        desktop.xdotool("windowactivate", "--sync", field)  # as a click on it would
        wait_for(lambda: desktop.focus() == field, 5, "the record to have the keyboard")
        desktop.key("a", "b", "c")
        if not any(w.id == splash.id for w in desktop.windows()):
            raise Failure("the splash had gone before the letters were typed into the record")
        desktop.gone(splash, timeout=15)
        topics = walk.topic_screen()
        named = "the record" if desktop.focus() == field else f"window {desktop.focus()}"
        desktop.key("d", "e", "Return")
        try:  # what the record holds, once Return reaches it
            typed = record.communicate(timeout=5)[0] if named == "the record" else None
        except subprocess.TimeoutExpired:
            typed = None  # Return went elsewhere
    finally:
        Desktop._stop(record)
    if desktop.wm in ("openbox", "xfwm4"):
        print(f"{desktop.wm}: once the topic screen showed, the keyboard was with {named}; the record got {typed!r}")
    elif typed != "abcde\n":
        raise Failure(f"the record got {typed!r}, not all the letters typed into it ('abcde'); once the topic "
                      f"screen showed, the keyboard was with {named}")
    if desktop.windows(MESSAGE):  # Return pressed OK on the topic screen, with no topic chosen
        walk.dismiss(walk.message())
    walk.exit_from(topics)


def test_no_display(desktops, pytestconfig):
    """With no display to open, the program says why in one line, with what to do, and ends with
    status 1 within 5 s: DISPLAY unset, naming no server, a socket that never answers, one that lets
    the program's own check in but not Qt and hangs up on it mid-greeting, a server that refuses the
    program for want of its cookie."""
    # Display numbers no server holds; the third one greets as an X server with no screens.
    number = 4000 + 3 * (os.getpid() % 1000)
    sockets = [socket.socket(socket.AF_UNIX) for _ in range(3)]
    for n, bound in enumerate(sockets, number):
        bound.bind(f"\0/tmp/.X11-unix/X{n}")
    sockets[0].listen(1)
    sockets[2].listen(4)

    def greet_once():
        first = sockets[2].accept()[0]
        first.recv(4096)
        first.sendall(struct.pack("<BxHHHIIIIHHBBBBBBBBI", 1, 11, 0, 8, 0, 0x200000, 0x1fffff, 0, 0, 65535, 0, 0, 0, 0,
                                  32, 32, 8, 255, 0))
        while True:  # each later one hung up after the program's poll, before its greeting lands
            threading.Timer(0.2, sockets[2].accept()[0].close).start()
    threading.Thread(target=greet_once, daemon=True).start()
    bare = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    silent, empty, once = f":{number}", f":{number + 1}", f":{number + 2}"
    with tempfile.TemporaryDirectory() as runtime:
        # A server that lets in only those with its cookie; the program is started without one.
        cookies = os.path.join(runtime, "cookies")
        subprocess.run(["xauth", "-f", cookies, "add", ":0", ".", os.urandom(16).hex()], check=True,
                       capture_output=True)
        guarded = desktops("guarded", server_options=["-auth", cookies])
        for display, said in ((None, ["DISPLAY is not set", "xvfb-run"]),
                              (empty, [f'"{empty}": no X server is listening', "xvfb-run"]),
                              (silent, [f'"{silent}" did not answer within 3 s', "xvfb-run"]),
                              (once, [f'"{once}": no X server is listening', "xvfb-run"]),
                              (guarded.display, [f'"{guarded.display}" refused the connection: Authorization '
                                                 "required", "XAUTHORITY", "xhost"])):
            environment = dict(bare, XAUTHORITY=os.path.join(runtime, "none"),
                               **({"DISPLAY": display} if display else {}))
            started = time.monotonic()
            # Its greetings to that one held back, so that they meet a closed connection.
            held = ["strace", "-f", "-o", "/dev/null", "-e", "inject=sendmsg,writev:delay_enter=500000"]
            run = subprocess.run([*(held if display == once else []), pytestconfig.option.program], env=environment,
                                 capture_output=True, text=True, timeout=10)
            took, lines = time.monotonic() - started, run.stderr.splitlines()
            if run.returncode != 1 or took > 5 or len(lines) != 1 or not all(w in lines[0] for w in said):
                raise Failure(f"with DISPLAY={display}: status {run.returncode} after {took:.1f} s, saying "
                              f"{run.stderr!r}; wanted 1 within 5 s, in one line with {said}")


def test_bad_pictures(desktops, pytestconfig, tmp_path):
    """Whatever lies beside the program as its picture (the corpus bad_pictures_test writes, the real
    picture first), it starts, leaves the splash screen on a key, opens the tree's first question from
    the keyboard and ends on Exit with status 0, with no bad picture costing half as much memory again
    as the real one there, nor keeping the splash screen a second longer from showing. In a folder
    named in Latin-1, as an older USB stick may name it, it shows its picture."""
    if not pytestconfig.option.pictures:
        pytest.skip("needs --pictures, the test that writes the corpus")
    subprocess.run([pytestconfig.option.pictures, "--gtest_filter=BadPictureCorpus.*"], check=True, timeout=120,
                   env=dict(os.environ, TARNWICK_BAD_PICTURES_TO=str(tmp_path), QT_QPA_PLATFORM="offscreen"))
    # Freed memory an ASan build holds back to catch late uses would count as the program's own.
    environment = dict(os.environ, ASAN_OPTIONS=os.environ.get("ASAN_OPTIONS", "") + ":quarantine_size_mb=1")
    latin1 = os.fsdecode(b"caf\xe9")
    print(f"\n{'picture':<52} {'splash':>11} {'peak':>12}")
    for number, name in enumerate([*(tmp_path / "names").read_text().splitlines(), "real, in a Latin-1 folder"]):
        in_latin1 = name.endswith("Latin-1 folder")
        folder = tmp_path / (latin1 if in_latin1 else str(number))
        if in_latin1:
            shutil.copytree(tmp_path / "0", folder)
        desktop = desktops(f"picture-{number}", environment=environment)
        shutil.copy(pytestconfig.option.program, folder / "tarnwick")
        started = time.monotonic()
        program = desktop.start(folder / "tarnwick")
        splash = desktop.splash()
        took = time.monotonic() - started
        if in_latin1:
            desktop.still("the splash screen's picture from a folder named in Latin-1", shows_picture(splash))
        for title, keys in ((None, ["space"]), (TOPICS, ["Tab"] * 4 + ["Down"] * 3 + ["shift+Tab"] * 4 + ["Return"]),
                            (QUESTION, ["alt+e"])):
            if title:  # the splash, on a server of its own, takes the keys under the pointer
                window = desktop.window(title, timeout=15)
                desktop.focused(window, f"{window}, with {name},")
            with open(f"/proc/{program.pid}/status") as status:
                peak = int(re.search(r"VmHWM:\s*(\d+)", status.read())[1])  # at the first question, last
            desktop.key(*keys)
        if (status := desktop.wait_for_exit(15)) != 0:
            raise Failure(f"with {name}, Exit ended the program with status {status}"
                          + (f" (signal {-status})" if status < 0 else ""))
        desktop.close()
        print(f"{name:<52} {took * 1000:>8.0f} ms {peak:>9} kB")
        if number == 0:
            real_took, real_peak = took, peak
        if peak > 1.5 * real_peak or took > real_took + 1:
            raise Failure(f"with {name}: the splash after {took:.1f} s and a peak of {peak} kB; with the real "
                          f"picture {real_took:.1f} s and {real_peak} kB")
