"""Takes the README's screenshots from the real program on a virtual display.

    screenshots.py --program build/bin/tarnwick --out docs
"""

import argparse
import os
import subprocess
import sys

from desktop import Desktop, Failure
from walks import NODES, Walk


def save(desktop, window, path):
    """The window alone, in few colours: the screens are flat colour and text."""
    raw = desktop.screenshot(os.path.splitext(os.path.basename(path))[0])
    subprocess.run(["convert", raw, "-crop", f"{window.width}x{window.height}+{window.x}+{window.y}", "+repage",
                    "-colors", "64", "-strip", "-define", "png:compression-level=9", path], check=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--program", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    try:
        with Desktop(os.path.join(args.out, ".shots"), "screenshots") as desktop:
            walk = Walk(desktop, args.program)
            topics = walk.splash_gives_way_on_a_key()
            walk.pick_topic_with_mouse(topics)
            save(desktop, topics, os.path.join(args.out, "topic-screen.png"))
            node = walk.follow(walk.start_tree(topics), 1, ("Normal", 2), ("Normal", 3), ("Present", 4))
            walk.choose(node, 4, "Transverse vaginal septum")
            save(desktop, node, os.path.join(args.out, "question-screen.png"))
    except Failure as failure:
        print(f"FAILED: {failure}", file=sys.stderr)
        return 1
    finally:
        subprocess.run(["rm", "-rf", os.path.join(args.out, ".shots")])
    return 0


if __name__ == "__main__":
    sys.exit(main())
