#!/usr/bin/env python3
"""Start-up of tarnwick.exe under Wine against the floor (bench/floor, the same bare Qt program
as on Linux, cross-built the same way): milliseconds from starting the program to its first
window mapped on an X display. Both run alternately from one folder of a warm Wine prefix, on
one Xvfb; prints the medians and their ratio.

    cmake --build --preset windows --target tarnwick startup_floor
    bench/startup_wine.py [build folder, default build/windows] [runs, default 11]"""

import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "windows"))

from wine import WINE64, WINESERVER, Prefix  # noqa: E402


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build/windows"
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 11
    programs = {name: os.path.join(build, "bin", name + ".exe") for name in ("tarnwick", "startup_floor")}
    for path in programs.values():
        if not os.path.isfile(path):
            sys.exit(f"startup_wine: {path} is missing; build it (see the usage above)")

    work = tempfile.mkdtemp(prefix="tarnwick-startup-")
    server = xev = None
    try:
        prefix = Prefix(os.path.join(work, "prefix"))
        prefix.create()
        folder = prefix.unix(r"C:\bench")
        os.makedirs(folder)
        for path in programs.values():
            shutil.copy(path, folder)
        shutil.copy(os.path.join(build, "bin", "Ut1.jpg"), folder)

        read_end, write_end = os.pipe()
        server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                                   "-nolisten", "tcp", "-noreset"], pass_fds=(write_end,), stderr=subprocess.DEVNULL)
        os.close(write_end)
        # Xvfb writes the number, then a newline; it dies if the pipe closes in between.
        said = b""
        while not said.endswith(b"\n"):
            chunk = os.read(read_end, 32)
            if not chunk:
                sys.exit("startup_wine: Xvfb did not start")
            said += chunk
        os.close(read_end)
        display = ":" + said.decode().strip()
        env = dict(prefix.env, DISPLAY=display)
        prefix.display = display
        # A Wine server that stays up between runs: the runs time the program, not Wine's start.
        subprocess.run([WINESERVER, "-p"], env=env, check=True)
        xev = subprocess.Popen(["stdbuf", "-oL", "xev", "-root", "-event", "substructure"], env=env,
                               stdout=subprocess.PIPE, text=True)
        time.sleep(0.5)

        def measure(name):
            start = time.monotonic()
            program = subprocess.Popen([WINE64, name + ".exe"], env=env, cwd=folder, stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL)
            for line in xev.stdout:
                if line.startswith("MapNotify"):
                    break
            else:
                sys.exit("startup_wine: xev ended before the program showed a window")
            elapsed = (time.monotonic() - start) * 1000
            program.send_signal(signal.SIGKILL)
            program.wait()
            time.sleep(0.3)
            return elapsed

        # One unmeasured start of each fills the caches.
        for name in programs:
            measure(name)
        times = {name: [] for name in programs}
        for _ in range(runs):
            for name in programs:
                times[name].append(measure(name))
        tarnwick, floor = statistics.median(times["tarnwick"]), statistics.median(times["startup_floor"])
        print(f"{'':24} {'first window (ms)':>18}")
        print(f"{'tarnwick.exe':24} {tarnwick:18.1f}")
        print(f"{'floor':24} {floor:18.1f}")
        print(f"{'tarnwick / floor':24} {tarnwick / floor:18.2f}")
        print(f"medians of {runs} alternate runs each, under Wine ({subprocess.run([WINE64, '--version'], capture_output=True, text=True).stdout.strip()})")
    finally:
        if xev:
            xev.kill()
        prefix.kill()
        if server:
            server.kill()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
