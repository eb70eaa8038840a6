"""Both of the README's commands on a fresh Debian 13, from this machine: in a minimal root made by
debootstrap (kept in the cache), the source tarball unpacked; scripts/run.sh installs what it needs,
builds the program and shows its splash under xvfb-run; then the test packages go in and the dev
suite is built and run there, the Debian package built on Debian 13 for Debian 13 among it.
Needs root.

    debian13.py --source SOURCE_DIR --artifacts DIR
"""

import glob
import os
import shutil
import subprocess
import sys
import time

from desktop import Failure, main
from package import fresh_root, run, run_in_root, splash_in_root

RELEASE = "trixie"


def dependencies(package):
    fields = subprocess.run(["dpkg-deb", "--field", package, "Depends"], capture_output=True, text=True).stdout
    return [d.split()[0] for d in fields.replace("\n", " ").split(",") if d.strip()]


def check_debian13(args):
    work = os.path.join(args.artifacts, "debian13")
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    started = time.monotonic()
    tarball = run("bash", os.path.join(args.source, "scripts", "package.sh"), "source", work).split()[-1]
    root = fresh_root(RELEASE, work)
    run("tar", "-xJf", tarball, "-C", os.path.join(root, "root"))
    source = "/root/" + os.path.basename(glob.glob(os.path.join(root, "root", "tarnwick-*"))[0])
    minutes = lambda: f"{(time.monotonic() - started) / 60:.1f} min"

    # run.sh's own install, then run.sh offline: it finds its packages, builds and starts.
    run_in_root(root, RELEASE, f"apt-get -q update && {source}/scripts/install-deps.sh",
                "scripts/install-deps.sh", 1800)
    splash_in_root(root, RELEASE, f"{source}/scripts/run.sh", args.artifacts, "debian13-run", timeout=900)
    print(f"run.sh showed the splash after {minutes()}", flush=True)

    run_in_root(root, RELEASE, f"{source}/scripts/install-deps.sh --all", "scripts/install-deps.sh --all", 1800)
    # Offline: the suite's X servers and buses are its own; the walks' screenshots stay in the root.
    log = run_in_root(root, RELEASE, f"cd {source} && cmake --preset dev >/dev/null && "
                      "cmake --build --preset dev -j$(nproc) >/dev/null && ctest --preset dev -j$(nproc)",
                      f"the dev suite on Debian 13 (its artifacts: {root}{source}/build/dev/tests)", 3600, "--net")
    print(log[log.rfind("tests passed") - 40:], flush=True)

    package = glob.glob(os.path.join(root, "root", "tarnwick-*", "build", "dev", "tests", "e2e", "artifacts",
                                     "package", "one", "tarnwick-*", "dist", "tarnwick_*.deb"))
    if not package or "libqt6core6t64" not in dependencies(package[0]):
        raise Failure(f"the package built on Debian 13 does not depend on libqt6core6t64: "
                      f"{dependencies(package[0]) if package else 'no package'}")
    return f"on Debian 13: run.sh shows the splash, the dev suite passes ({minutes()})"


def arguments(parser):
    parser.add_argument("--source", required=True)
    parser.add_argument("--artifacts", required=True)


if __name__ == "__main__":
    sys.exit(main(__doc__, arguments, check_debian13))
