"""Includes run down the layers only: core <- widgets <- screens <- shell <- main.cpp.

    layers.py SRC

Prints every include that reaches up, or across into a platform folder it does not belong to,
and fails if there is one."""

import pathlib
import re
import sys

ORDER = ["core", "widgets", "screens", "shell"]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def layer(path):
    top = path.split("/", 1)[0]
    return ORDER.index(top) if top in ORDER else len(ORDER)


def main(src):
    root = pathlib.Path(src)
    faults = []
    for file in sorted(root.rglob("*")):
        if file.suffix not in (".h", ".cpp"):
            continue
        own = file.relative_to(root).as_posix()
        for included in INCLUDE.findall(file.read_text()):
            if layer(included) > layer(own):
                faults.append(f"{own} includes {included}, a higher layer")
            platform = re.match(r"core/sysinfo/(posix|windows)/|widgets/platform/\w+/", included)
            if platform and not own.startswith(platform.group(0)):
                faults.append(f"{own} includes {included} from another platform's folder")
            if not (root / included).exists():
                faults.append(f"{own} includes {included}, which is not spelled from src/")
    print("\n".join(faults) if faults else "every include runs down")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
