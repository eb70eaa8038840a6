"""Takes the README's screenshots from the real program on a virtual display.

    screenshots.py --program build/bin/tarnwick --out docs
"""

import os
import shutil
import subprocess
import sys

from desktop import Desktop, main
from test_walks import Walk


def save(desktop, window, path):
    """The window alone, in few colours: the screens are flat colour and text."""
    raw = desktop.screenshot(os.path.splitext(os.path.basename(path))[0])
    subprocess.run(["convert", raw, "-crop", f"{window.width}x{window.height}+{window.x}+{window.y}", "+repage",
                    "-colors", "64", "-strip", "-define", "png:compression-level=9", path], check=True)


def take(args):
    try:
        with Desktop(os.path.join(args.out, ".shots"), "screenshots") as desktop:
            desktop.start(args.program, accessible=True)
            walk = Walk(desktop)
            topics = walk.splash_gives_way_on_a_key()
            walk.pick_topic_with_mouse(topics)
            save(desktop, topics, os.path.join(args.out, "topic-screen.png"))
            node = walk.follow(walk.start_tree(topics), 1, ("Normal", 2), ("Normal", 3), ("Present", 4))
            walk.choose(node, 4, "Transverse vaginal septum")
            save(desktop, node, os.path.join(args.out, "question-screen.png"))
    finally:
        shutil.rmtree(os.path.join(args.out, ".shots"), ignore_errors=True)
    return "screenshots"


def arguments(parser):
    parser.add_argument("--program", required=True)
    parser.add_argument("--out", required=True)


if __name__ == "__main__":
    sys.exit(main(__doc__, arguments, take))
