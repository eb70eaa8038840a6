#!/usr/bin/env python3
"""The round trips a program makes to the X server before its first window maps, and from then
to its first picture drawn, read from an xtrace log (--monotonic-timestamps) written on the
program's side of a slow link: a round trip is a wait in which the program sent nothing until the
server's answer came. Prints each wait with the request answered; given a second log, prints both
counts and the waits only the second has.

    bench/round_trips.py <one-way delay, ms> <xtrace log> [xtrace log of the program compared]"""

import difflib
import os
import re
import sys

LINE = re.compile(r"^(\d+\.\d+) (\d+):([<>]):([0-9a-f]*):?\s*(?:\d+:)?\s*(.*)$")
REQUEST = re.compile(r"^(?:([\w-]+)-)?Request\([\d,]+\): (\w+)(.*)$")
# What tells one request of a kind from another: the name of the atom, property or extension.
DETAIL = re.compile(r"\b(?:name='([^']*)'|property=0x\w+\(\"([^\"]*)\"\)|atom=(0x\w+)(?:\(\"([^\"]*)\"\))?)")


def label(text):
    request = REQUEST.match(text)
    if not request:
        return text[:40]
    extension, name, arguments = request.groups()
    detail = DETAIL.search(arguments)
    what = [extension, name, detail and next(group for group in reversed(detail.groups()) if group)]
    return " ".join(part for part in what if part)


def waits(path, rtt):
    """For each phase, up to the first MapWindow and from there to the first picture drawn (an
    MIT-SHM request or PutImage), the waits in it as (seconds from the start, what was answered),
    and the seconds to its end."""
    sent = {}  # (connection, sequence number): the request
    phases, found, start, last_sent, quiet = [], [], None, None, False
    with open(path, errors="replace") as log:
        for line in log:
            match = LINE.match(line)
            if not match:
                continue
            time, connection, direction, sequence, text = match.groups()
            time = float(time)
            start = time if start is None else start
            if direction == "<":
                what = label(text) if sequence else "connection set-up"
                ends = "MapWindow" if not phases else ("MIT-SHM", "PutImage")
                if what.startswith(ends):
                    phases.append((found, time - start))
                    if len(phases) == 2:
                        return phases
                    found = []
                sent[connection, sequence] = what
                last_sent, quiet = time, True
            elif quiet and time - last_sent >= rtt / 2:
                # The first answer to a program that sent nothing for half a round trip or more.
                found.append((time - start, sent.get((connection, sequence), text[:60])))
                quiet = False
    sys.exit(f"round_trips: {path} ends before the first window is mapped and drawn")


def listing(found):
    for at, what in found:
        print(f"{at * 1000:8.0f} ms  {what}")


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    rtt = 2 * float(sys.argv[1]) / 1000
    logs = [waits(path, rtt) for path in sys.argv[2:]]
    names = [os.path.basename(path) for path in sys.argv[2:]]
    for name, ((mapping, mapped), (drawing, drawn)) in zip(names, logs):
        print(f"{name}: {len(mapping)} round trips to MapWindow ({mapped * 1000:.0f} ms), "
              f"{len(drawing)} more to its first picture ({drawn * 1000:.0f} ms)")
    for phase, title in enumerate(("to MapWindow", "from MapWindow to the first picture")):
        print(f"round trips {title}" + (f", only in {names[1]}:" if len(logs) == 2 else ":"))
        if len(logs) == 1:
            listing(logs[0][phase][0])
            continue
        base, other = ([what for _, what in log[phase][0]] for log in logs)
        for op, _, _, first, last in difflib.SequenceMatcher(None, base, other, autojunk=False).get_opcodes():
            if op in ("insert", "replace"):
                listing(logs[1][phase][0][first:last])


if __name__ == "__main__":
    main()
