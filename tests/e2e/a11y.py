"""The program as a screen reader reads it, over AT-SPI: every control a user can reach has a
role and a name, pictures have a description, the topics and the messages can be read, and a
walk by keyboard alone reaches a recommendation.

    dbus-run-session -- /usr/bin/python3 a11y.py --program build/bin/tarnwick --artifacts DIR

Needs the system's python3 with pyatspi, and a session bus of its own (dbus-run-session)."""

import os
import subprocess
import sys

from desktop import Desktop, Failure, main, wait_for

TOPIC_COUNT = 53
# Roles a control can have that a screen reader has nothing to say about.
NAMELESS_ROLES = {"filler", "panel", "scroll bar", "scroll pane", "viewport", "page tab list", "window", "unknown",
                  "redundant object", "separator", "frame", "dialog", "menu", "list"}


def text_of(node):
    try:
        return node.queryText().getText(0, -1)
    except NotImplementedError:
        return ""


class Reader:
    """The program's accessible tree, as AT-SPI gives it."""

    def __init__(self, pyatspi, desktop):
        self.pyatspi, self.desktop = pyatspi, desktop
        self.app = wait_for(self._find_app, 15, "the program on the accessibility bus")

    def _find_app(self):
        for app in self.pyatspi.Registry.getDesktop(0):
            if app is not None and (app.name or "").lower() == "tarnwick":
                return app
        return None

    def window(self, title, timeout=10):
        def shown():
            for window in self.app:
                if window is not None and window.name == title and window.getState().contains(
                        self.pyatspi.STATE_SHOWING):
                    return window
            return None
        return wait_for(shown, timeout, f"an accessible window named '{title}'")

    def windows(self):
        return [w for w in self.app if w is not None and w.getState().contains(self.pyatspi.STATE_SHOWING)]

    @staticmethod
    def walk(node):
        yield node
        for child in node:
            if child is not None:
                yield from Reader.walk(child)

    def focused(self):
        for window in self.windows():
            if not window.getState().contains(self.pyatspi.STATE_ACTIVE):
                continue
            for node in self.walk(window):
                if node.getState().contains(self.pyatspi.STATE_FOCUSED):
                    return node
        return None

    def unreadable(self, window):
        """The controls of `window` a user can reach (by focus) or see as a picture that give a
        screen reader no role or no name."""
        missing = []
        for node in self.walk(window):
            state, role = node.getState(), node.getRoleName()
            reachable = state.contains(self.pyatspi.STATE_FOCUSABLE) and state.contains(self.pyatspi.STATE_SHOWING)
            picture = role in ("image", "icon")
            if not (reachable or picture):
                continue
            if role in ("unknown", "") or (role not in NAMELESS_ROLES and not (node.name or "").strip()):
                missing.append(f"{role or 'no role'} '{node.name}' ({node.description})")
        return missing

    def expect_readable(self, window, what):
        missing = self.unreadable(window)
        if missing:
            raise Failure(f"on {what} a screen reader finds no name for: {missing}")

    def message(self, timeout=5):
        """The text of the message box on screen."""
        box = self.window("Tarnwick", timeout)
        texts = [n.name for n in self.walk(box) if n.getRoleName() == "label" and n.name]
        texts += [t for t in (text_of(n) for n in self.walk(box) if n.getRoleName() == "label") if t]
        if not texts:
            raise Failure("a message box shows, but a screen reader reads no text in it")
        return max(texts, key=len)

    def tab_to(self, name, backwards=False, presses=16):
        """Tabs until the focus is on a control named `name`, as a keyboard user would."""
        for _ in range(presses):
            now = self.focused()
            if now is not None and now.name == name:
                return now
            self.desktop.key("shift+Tab" if backwards else "Tab")
            if now is not None:  # the key taken once the focus has left where it was
                wait_for(lambda: not now.getState().contains(self.pyatspi.STATE_FOCUSED), 2,
                         f"Tab to take the focus from '{now.name}'")
        now = self.focused()
        if now is None or now.name != name:
            raise Failure(f"Tab never reached '{name}'; the focus is on "
                          f"{now.getRoleName() + ' ' + repr(now.name) if now else 'nothing'}")
        return now


def run(reader):
    desktop = reader.desktop
    desktop.splash()
    desktop.key("space")
    topics = reader.window("Quillmoor")
    reader.expect_readable(topics, "the topic screen")

    # Every topic can be read out of the list.
    lists = [n for n in reader.walk(topics) if n.getRoleName() == "list"]
    names = [item.name for lst in lists for item in lst if item is not None and item.getRoleName() == "list item"]
    if len(names) != TOPIC_COUNT or not all(n.strip() for n in names):
        raise Failure(f"a screen reader reads {len(names)} topics in the list, not {TOPIC_COUNT} named ones: {names}")

    # OK with nothing chosen: the warning is read as text.
    reader.tab_to("OK")
    desktop.key("space")
    warning = reader.message()
    if "Nothing is selected" not in warning:
        raise Failure(f"the nothing-selected warning reads '{warning}'")
    desktop.key("Return")

    # About, and its system information message.
    reader.tab_to("About")
    desktop.key("space")
    about = reader.window("About MyApp")
    reader.expect_readable(about, "the About screen")
    reader.tab_to("System Info...")
    desktop.key("space")
    info = reader.message(timeout=10)
    if len(info) < 10:
        raise Failure(f"the system information message reads '{info}'")
    desktop.key("Return")
    wait_for(lambda: not any(w.name == "Tarnwick" for w in reader.windows()), 5, "the message to close")
    reader.tab_to("OK")
    desktop.key("space")
    wait_for(lambda: not any(w.name == "About MyApp" for w in reader.windows()), 5, "About to close")

    # Help, on both its tabs.
    reader.window("Quillmoor")
    reader.tab_to("Help")
    desktop.key("space")
    help_screen = reader.window("Tarnwick Help")
    reader.expect_readable(help_screen, "Help's first tab")
    desktop.key("alt+d")
    wait_for(lambda: any(n.getRoleName() == "page tab" and n.name == "Decision tree"
                         and n.getState().contains(reader.pyatspi.STATE_FOCUSED) for n in reader.walk(help_screen)),
             5, "the focus on Help's decision tree tab")
    reader.expect_readable(help_screen, "Help's decision tree")
    desktop.key("alt+c")
    wait_for(lambda: not any(w.name == "Tarnwick Help" for w in reader.windows()), 5, "Help to close")

    # By keyboard alone to a recommendation: the topic, then Normal, Normal, Present and a
    # finding of node 4.
    reader.window("Quillmoor")
    combo = reader.tab_to("Topic List")
    field = next((n for n in reader.walk(combo) if n.getRoleName() == "text"), combo)
    desktop.key("Down", "Down", "Down")
    try:
        wait_for(lambda: text_of(field) == "Amenorrhea, primary", 5, "")
    except Failure:
        raise Failure(f"the topic list's text field reads '{text_of(field)}' ({field.getRoleName()}), "
                      "not 'Amenorrhea, primary'") from None
    reader.tab_to("OK", backwards=True)
    desktop.key("space")
    for step, answer in enumerate(("Normal", "Normal", "Present", "Imperforate hymen")):
        question = reader.window("Primary Amenorrhea")
        if step == 0:
            reader.expect_readable(question, "a question screen")
        reader.tab_to(answer)
        desktop.key("space")
        reader.tab_to("OK")
        desktop.key("space")
        if step < 3:
            wait_for(lambda: question.getState().contains(reader.pyatspi.STATE_DEFUNCT)
                     or not question.getState().contains(reader.pyatspi.STATE_SHOWING), 5,
                     f"question {step + 1} to give way")
    recommendation = reader.message()
    if len(recommendation) < 20:
        raise Failure(f"the recommendation reads only '{recommendation}'")
    desktop.key("Return")
    wait_for(lambda: question.getState().contains(reader.pyatspi.STATE_ACTIVE), 5, "node 4 to have the keyboard back")
    desktop.key("alt+e")
    if desktop.wait_for_exit() != 0:
        raise Failure("Exit ended the program with a status other than 0")


def read(args):
    if not os.environ.get("DBUS_SESSION_BUS_ADDRESS"):
        raise Failure("no session bus; run this under dbus-run-session")
    try:
        import pyatspi
    except ImportError as missing:
        raise Failure(f"{missing} (python3-pyatspi, for /usr/bin/python3)") from None
    bus = None
    try:
        # Under a window manager, which hands the focus back when a message box closes.
        with Desktop(args.artifacts, "a11y", wm="openbox") as desktop:
            # The accessibility bus, on this display, before the program asks for it.
            bus = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], env=desktop.env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
            # The reader finds the accessibility bus through the display, as an assistive tool would.
            os.environ["DISPLAY"] = desktop.display
            desktop.env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
            desktop.start(args.program)
            run(Reader(pyatspi, desktop))
    finally:
        if bus and bus.poll() is None:
            bus.terminate()
            bus.wait(5)
    return "a11y"


def arguments(parser):
    parser.add_argument("--program", required=True)
    parser.add_argument("--artifacts", required=True)


if __name__ == "__main__":
    sys.exit(main(__doc__, arguments, read))
