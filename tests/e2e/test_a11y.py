"""The program as a screen reader reads it, over AT-SPI: every control a user can reach has a
role and a name, pictures have a description, the topics and the messages can be read, and a
walk by keyboard alone reaches a recommendation.

    python3 -m pytest tests/e2e/test_a11y.py --program build/dev/bin/tarnwick --artifacts DIR"""

from desktop import ACTIVE, DEFUNCT, FOCUSABLE, FOCUSED, SHOWING, Failure, wait_for

# Under a window manager, which hands the focus back when a message box closes.
DESKTOPS = {"screen_reader": ["openbox"]}
TOPIC_COUNT = 53
# Roles a control can have that a screen reader has nothing to say about.
NAMELESS_ROLES = {"filler", "panel", "scroll bar", "scroll pane", "viewport", "page tab list", "window", "unknown",
                  "redundant object", "separator", "frame", "dialog", "menu", "list"}


def focused(reader):
    for window in reader.windows():
        if window.has(ACTIVE):
            return next((node for node in window.walk(lambda node: node.role != "list") if node.has(FOCUSED)), None)
    return None


def expect_readable(window, what):
    """The controls of `window` a user can reach (by focus) or see as a picture give a screen reader a
    role and a name."""
    missing = [f"{node.role or 'no role'} '{node.name}' ({node.description})" for node in window.walk()
               if (node.has(FOCUSABLE) and node.has(SHOWING) or node.role in ("image", "icon"))
               and (node.role in ("unknown", "") or node.role not in NAMELESS_ROLES and not node.name.strip())]
    if missing:
        raise Failure(f"on {what} a screen reader finds no name for: {missing}")


def message(reader, timeout=5):
    """The text of the message box on screen, once it has the keyboard, as a user sees it before answering."""
    box = reader.window("Tarnwick", timeout)
    wait_for(lambda: box.has(ACTIVE), 5, "the message box to have the keyboard")
    labels = [node for node in box.walk() if node.role == "label"]
    texts = [text for node in labels for text in (node.name, node.text) if text]
    if not texts:
        raise Failure("a message box shows, but a screen reader reads no text in it")
    return max(texts, key=len)


def closed(reader, title):
    wait_for(lambda: not any(w.name == title for w in reader.windows()), 5, f"'{title}' to close")


def tab_to(desktop, name, backwards=False, presses=16):
    """Tabs until the focus is on a control named `name`, as a keyboard user would."""
    for _ in range(presses):
        now = focused(desktop.reader)
        if now is not None and now.name == name:
            return now
        desktop.key("shift+Tab" if backwards else "Tab")
        if now is not None:  # the key taken once the focus has left where it was
            wait_for(lambda: not now.has(FOCUSED), 2, f"Tab to take the focus from '{now.name}'")
    now = focused(desktop.reader)
    if now is None or now.name != name:
        raise Failure(f"Tab never reached '{name}'; the focus is on {f'{now.role} {now.name!r}' if now else 'nothing'}")
    return now


def test_screen_reader(desktop, program):
    reader = desktop.reader
    desktop.splash()
    desktop.key("space")
    topics = reader.window("Quillmoor")
    expect_readable(topics, "the topic screen")

    # Every topic can be read out of the list.
    names = [item.name for node in topics.walk() if node.role == "list" for item in node if item.role == "list item"]
    if len(names) != TOPIC_COUNT or not all(n.strip() for n in names):
        raise Failure(f"a screen reader reads {len(names)} topics in the list, not {TOPIC_COUNT} named ones: {names}")

    # OK with nothing chosen: the warning is read as text.
    tab_to(desktop, "OK")
    desktop.key("space")
    warning = message(reader)
    if "Nothing is selected" not in warning:
        raise Failure(f"the nothing-selected warning reads '{warning}'")
    desktop.key("Return")

    # About, and its system information message.
    tab_to(desktop, "About")
    desktop.key("space")
    expect_readable(reader.window("About MyApp"), "the About screen")
    tab_to(desktop, "System Info...")
    desktop.key("space")
    info = message(reader, timeout=10)
    if len(info) < 10:
        raise Failure(f"the system information message reads '{info}'")
    desktop.key("Return")
    closed(reader, "Tarnwick")
    tab_to(desktop, "OK")
    desktop.key("space")
    closed(reader, "About MyApp")

    # Help, on both its tabs.
    reader.window("Quillmoor")
    tab_to(desktop, "Help")
    desktop.key("space")
    help_screen = reader.window("Tarnwick Help")
    expect_readable(help_screen, "Help's first tab")
    desktop.key("alt+d")
    wait_for(lambda: any(n.role == "page tab" and n.name == "Decision tree" and n.has(FOCUSED)
                         for n in help_screen.walk()), 5, "the focus on Help's decision tree tab")
    expect_readable(help_screen, "Help's decision tree")
    desktop.key("alt+c")
    closed(reader, "Tarnwick Help")

    # By keyboard alone to a recommendation: the topic, then Normal, Normal, Present and a
    # finding of node 4.
    reader.window("Quillmoor")
    combo = tab_to(desktop, "Topic List")
    field = next((n for n in combo.walk() if n.role == "text"), combo)
    desktop.key("Down", "Down", "Down")
    try:
        wait_for(lambda: field.text == "Amenorrhea, primary", 5, "")
    except Failure:
        raise Failure(f"the topic list's text field reads '{field.text}' ({field.role}), "
                      "not 'Amenorrhea, primary'") from None
    tab_to(desktop, "OK", backwards=True)
    desktop.key("space")
    for step, answer in enumerate(("Normal", "Normal", "Present", "Imperforate hymen")):
        question = reader.window("Primary Amenorrhea")
        if step == 0:
            expect_readable(question, "a question screen")
        tab_to(desktop, answer)
        desktop.key("space")
        tab_to(desktop, "OK")
        desktop.key("space")
        if step < 3:
            wait_for(lambda: question.has(DEFUNCT) or not question.has(SHOWING), 5, f"question {step + 1} to give way")
    recommendation = message(reader)
    if len(recommendation) < 20:
        raise Failure(f"the recommendation reads only '{recommendation}'")
    desktop.key("Return")
    wait_for(lambda: question.has(ACTIVE), 5, "node 4 to have the keyboard back")
    desktop.key("alt+e")
    if desktop.wait_for_exit() != 0:
        raise Failure("Exit ended the program with a status other than 0")
