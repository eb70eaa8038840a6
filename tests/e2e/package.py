"""Builds the .deb twice from the source tarball in two folders (the same bytes, a clean lintian
report on it and on the source package), unpacks it and starts the program from there, as an
installed copy: through its bin/ link, with its picture found through the link beside it. With
--clean-root, installs it with apt into a fresh minimal Debian 12 and starts it there. With
--debian13, runs both of the README's commands in a fresh minimal Debian 13 (see debian13()). With
--autopkgtest, runs the source package's own tests (debian/tests) with autopkgtest on that package in
a fresh Debian 12; they run this with --installed, on the program installed there.

    package.py --source SOURCE_DIR --artifacts DIR [--clean-root | --debian13 | --autopkgtest |
                                                    --installed PROGRAM]
"""

import glob
import os
import shutil
import struct
import subprocess
import sys
import time

from desktop import PICTURE_BOX, Desktop, Failure, main, px, wait_for

APP_ID = "org.tarnwick.Tarnwick"
ICON_SIZES = (16, 32, 48, 64, 128, 256)


def run(*command, cwd=None, env=None, timeout=1800):
    result = subprocess.run(command, cwd=cwd, env=env, capture_output=True, text=True, timeout=timeout)
    if result.returncode != 0:
        raise Failure(f"{' '.join(command)} failed with status {result.returncode}:\n"
                      f"{result.stdout}{result.stderr}")
    return result.stdout


def build_twice(source, work):
    """Packs the source tarball once and builds from it unpacked, without .git, in two folders: with
    package.sh deb in one, as a distribution does (source package too) in the other."""
    tarball = run("bash", os.path.join(source, "scripts", "package.sh"), "source", work).split()[-1]
    trees = []
    for folder in ("one", "two/elsewhere"):
        os.makedirs(os.path.join(work, folder))
        run("tar", "-xJf", tarball, "-C", os.path.join(work, folder))
        trees += glob.glob(os.path.join(work, folder, "tarnwick-*"))
    package = run("bash", "scripts/package.sh", "deb", cwd=trees[0]).split()[-1]
    run("dpkg-buildpackage", "-us", "-uc", "-Jauto", cwd=trees[1])
    built = os.path.dirname(trees[1])
    with open(package, "rb") as one, open(glob.glob(os.path.join(built, "tarnwick_*.deb"))[0], "rb") as two:
        if one.read() != two.read():
            raise Failure(f"two builds of the same source differ: {package}, {two.name}")
    # The .changes names the .dsc, the source tarball and the .deb: lintian reads them all. The
    # package declares the policy it was checked against, Debian 12's (4.6.2); Debian 13's lintian
    # knows later ones and says so, as information only.
    run("lintian", "--pedantic", "--display-info", "--fail-on", "error,warning,info,pedantic",
        "--suppress-tags", "out-of-date-standards-version", *glob.glob(os.path.join(built, "*.changes")))
    return package


def check_control(package):
    fields = {}
    for line in run("dpkg-deb", "--field", package).splitlines():
        if line and not line[0].isspace() and ":" in line:
            key, value = line.split(":", 1)
            fields[key] = value.strip()
    depends = [d.split()[0] for d in fields.get("Depends", "").split(",") if d.strip()]
    # Qt's core library as the release names it: libqt6core6 on Debian 12, libqt6core6t64 on 13.
    core = run("dpkg-query", "-S", "libQt6Core.so.6").split(":")[0]
    for needed in ("fonts-liberation", "libqt6widgets6", core):
        if needed not in depends:
            raise Failure(f"the package does not depend on {needed}: Depends: {fields.get('Depends')}")
    if fields.get("Package") != "tarnwick" or not fields.get("Maintainer") or not fields.get("Description"):
        raise Failure(f"incomplete control fields: {fields}")


def png_size(path):
    with open(path, "rb") as f:
        header = f.read(24)
    if header[:8] != b"\x89PNG\r\n\x1a\n":
        raise Failure(f"{path} is not a PNG file")
    return struct.unpack(">II", header[16:24])


def check_layout(usr):
    program = os.path.join(usr, "lib", "tarnwick", "tarnwick")
    link = os.path.join(usr, "bin", "tarnwick")
    if not os.access(program, os.X_OK):
        raise Failure(f"no executable program at {program}")
    picture = os.path.join(usr, "lib", "tarnwick", "Ut1.jpg")
    if os.path.realpath(picture) != os.path.join(os.path.realpath(usr), "share", "tarnwick", "Ut1.jpg"):
        raise Failure(f"Ut1.jpg beside the program does not lead to share/tarnwick: {os.path.realpath(picture)}")
    if not os.path.islink(link) or os.path.isabs(os.readlink(link)):
        raise Failure(f"{link} is not a relative symbolic link")
    if os.path.realpath(link) != os.path.realpath(program):
        raise Failure(f"{link} leads to {os.path.realpath(link)}, not to the program")
    for size in ICON_SIZES:
        icon = os.path.join(usr, "share", "icons", "hicolor", f"{size}x{size}", "apps", f"{APP_ID}.png")
        if png_size(icon) != (size, size):
            raise Failure(f"{icon} is {png_size(icon)}, not {size}x{size}")
    if not os.path.isfile(os.path.join(usr, "share", "icons", "hicolor", "scalable", "apps", f"{APP_ID}.svg")):
        raise Failure("no scalable icon")
    run("desktop-file-validate", os.path.join(usr, "share", "applications", f"{APP_ID}.desktop"))
    run("appstreamcli", "validate", "--no-net", os.path.join(usr, "share", "metainfo", f"{APP_ID}.metainfo.xml"))


def box_colours(picture, splash_x, splash_y):
    left, top, width, height = PICTURE_BOX
    box = f"{width}x{height}+{splash_x + left}+{splash_y + top}"
    return int(run("convert", picture, "+repage", "-crop", box, "-format", "%k", "info:"))


def splash_picture_colours(artifacts, name, program, settle=None, then=lambda desktop: None):
    """Starts the program and counts the colours in the splash screen's picture box once the picture
    shows (a worker reads it while the splash comes up) or, given `settle`, the most it shows over
    that many seconds from the splash showing; then(desktop) goes on from there. Returns them and the
    seconds they took."""
    with Desktop(artifacts, name) as desktop:
        desktop.start(program)
        splash, shown = desktop.splash(), time.monotonic()
        colours = lambda: box_colours(desktop.screenshot("splash"), splash.x, splash.y)
        if settle is None:
            counted = wait_for(lambda: (lambda n: n >= 20 and n)(colours()), 5, "the picture on the splash screen")
        else:  # watched that long, for a picture read from anywhere else
            counted = colours()
            while counted <= 2 and time.monotonic() < shown + settle:
                counted = colours()
        if all(window.id != splash.id for window in desktop.windows()):
            raise Failure("the splash screen went (its 8 s were up) before its picture box was judged")
        took = time.monotonic() - shown
        then(desktop)
        return counted, took


def exit_with_keys(desktop):
    """A key takes the splash screen to the topic screen, which has the keyboard as it shows; its
    Alt+E (Exit) ends the program, with status 0."""
    desktop.key("Return")
    desktop.focused(desktop.window("Quillmoor"), "the topic screen")
    desktop.key("alt+e")
    if (status := desktop.wait_for_exit()) != 0:
        raise Failure(f"Alt+E on the topic screen ended the program with status {status}, not 0")


CACHE = os.path.join(os.environ.get("XDG_CACHE_HOME") or os.path.expanduser("~/.cache"), "tarnwick")


def fresh_root(release, work):
    """A minimal Debian `release` in work/root, made by debootstrap from Debian's archive once and
    kept in the cache, as are the packages later installed into it."""
    os.makedirs(os.path.join(CACHE, f"{release}-apt", "partial"), exist_ok=True)
    tarball, root = os.path.join(CACHE, f"{release}-root.tar"), os.path.join(work, "root")
    if not os.path.exists(tarball):
        run("unshare", "--mount", "debootstrap", "--variant=minbase", release, root)
        run("tar", "-C", root, "-cf", tarball + ".part", ".")
        os.replace(tarball + ".part", tarball)
    else:
        os.makedirs(root)
        run("tar", "-C", root, "-xf", tarball)
    shutil.copy("/etc/resolv.conf", os.path.join(root, "etc", "resolv.conf"))
    return root


def in_root(root, release, script, *unshare, chroot=True):
    """Runs script in root in namespaces of its own: what it mounts or starts ends with it. Without
    chroot, runs it here, with root's mounts made and its path as $0."""
    mounts = ('mount -t proc proc "$0/proc" && mount --rbind /dev "$0/dev" && mount --rbind /sys "$0/sys" && '
              'mount --bind "$2" "$0/var/cache/apt/archives" && exec ' +
              ('chroot "$0" sh -ec "$1"' if chroot else 'sh -ec "$1" "$0"'))
    return subprocess.Popen(["unshare", "--mount", "--pid", "--fork", "--kill-child", *unshare, "sh", "-c", mounts,
                             root, script, os.path.join(CACHE, f"{release}-apt")],
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT)


def run_in_root(root, release, script, what, timeout, *unshare, chroot=True):
    """Runs script in root to its end; returns what it printed, or fails with the end of that."""
    process = in_root(root, release, script, *unshare, chroot=chroot)
    try:
        log = process.communicate(timeout=timeout)[0].decode(errors="replace")
    finally:
        process.kill()  # past its time: all it started goes with it
    if process.returncode != 0:
        raise Failure(f"{what} failed with status {process.returncode}:\n{log[-4000:]}")
    return log


def splash_in_root(root, release, command, artifacts, name, timeout=60):
    """Starts command in root, offline, on a 1024 x 768 xvfb-run display, and waits for the splash
    screen's picture at the centre (no window manager); leaves a screenshot in artifacts."""
    program = in_root(root, release, f"xvfb-run -s '-screen 0 1024x768x24 -fbdir /tmp' {command}", "--net")
    screen = os.path.join(root, "tmp", "Xvfb_screen0")

    def shown():
        if program.poll() is not None:
            raise Failure(f"{command} ended with status {program.returncode} before its splash showed")
        return os.path.exists(screen) and box_colours(f"xwd:{screen}", (1024 - px(7380)) // 2,
                                                       (768 - px(4245)) // 2) >= 20
    try:
        wait_for(shown, timeout, f"the splash screen's picture ({command})", interval=0.5)
    finally:
        subprocess.run(["convert", f"xwd:{screen}", os.path.join(artifacts, f"{name}-splash.png")])
        program.kill()
        print(program.communicate()[0].decode(errors="replace")[-3000:])


def built_package(artifacts):
    """The .deb that deb_package built with package.sh deb in this build tree."""
    return glob.glob(os.path.join(artifacts, "package", "one", "tarnwick-*", "dist", "tarnwick_*.deb"))[0]


def clean_install(package, work, artifacts):
    """Installs the package with apt into a fresh Debian 12 and waits for its splash's picture there."""
    root = fresh_root("bookworm", work)
    shutil.copy(package, os.path.join(root, "tmp", "tarnwick.deb"))
    # The program's own dependencies must hold before the X server brings in libraries of its own.
    run_in_root(root, "bookworm", "apt-get -q update; apt='apt-get -yq --no-install-recommends'; "
                "$apt install /tmp/tarnwick.deb\n! ldd /usr/lib/tarnwick/tarnwick "
                "/usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqxcb.so | grep 'not found'\n$apt install xvfb xauth",
                "installing in the clean root", 1200)
    splash_in_root(root, "bookworm", "tarnwick", artifacts, "clean-root")


def autopkgtest(artifacts, work):
    """autopkgtest on the source package and the .deb deb_package built (its .changes names them),
    in a fresh Debian 12 through autopkgtest's chroot server; the test's own packages come from
    Debian's archive."""
    root = fresh_root("bookworm", work)
    changes = glob.glob(os.path.join(artifacts, "package", "two", "elsewhere", "tarnwick_*.changes"))[0]
    output = os.path.join(work, "autopkgtest")
    log = run_in_root(root, "bookworm", f"autopkgtest --output-dir {output} --setup-commands 'apt-get -q update' "
                      f"{changes} -- chroot \"$0\"", f"autopkgtest (its logs: {output})", 1500, chroot=False)
    print(log[-3000:], flush=True)
    return f"{os.path.basename(changes)}: its autopkgtest passes in a clean Debian 12"


def debian13(source, work, artifacts):
    """In a fresh Debian 13 with the source tarball unpacked: scripts/run.sh's own install, then
    run.sh offline, which finds its packages, builds the program and must show its splash; then the
    tests' packages and the dev suite, offline, the package built there for Debian 13 among it; last,
    the package built here on Debian 12 installs there and shows its splash."""
    started = time.monotonic()
    tarball = run("bash", os.path.join(source, "scripts", "package.sh"), "source", work).split()[-1]
    release = "trixie"
    root = fresh_root(release, work)
    run("tar", "-xJf", tarball, "-C", os.path.join(root, "root"))
    tree = "/root/" + os.path.basename(tarball)[:-len(".tar.xz")]
    run_in_root(root, release, f"apt-get -q update && {tree}/scripts/install-deps.sh && "
                "apt-get install -yq --no-install-recommends xvfb xauth", "install-deps.sh", 1800)
    splash_in_root(root, release, f"{tree}/scripts/run.sh", artifacts, "debian13-run", timeout=900)
    print(f"run.sh showed the splash after {(time.monotonic() - started) / 60:.1f} min", flush=True)
    run_in_root(root, release, f"{tree}/scripts/install-deps.sh --all", "install-deps.sh --all", 1800)
    log = run_in_root(root, release, f"cd {tree} && cmake --preset dev >/dev/null && cmake --build --preset dev "
                      "-j$(nproc) >/dev/null && ctest --preset dev -j$(nproc)",
                      f"the dev suite on Debian 13 (its artifacts: {root}{tree}/build/dev/tests)", 3600, "--net")
    print(log[log.rfind("tests passed") - 40:], flush=True)
    # The package built here, on Debian 12, installs there too and shows its splash.
    shutil.copy(built_package(artifacts), os.path.join(root, "tmp", "tarnwick.deb"))
    run_in_root(root, release, "apt-get install -yq /tmp/tarnwick.deb", "installing Debian 12's package", 600)
    splash_in_root(root, release, "/usr/bin/tarnwick", artifacts, "debian13-installed")
    return (f"on Debian 13 run.sh shows the splash, the dev suite passes and Debian 12's package installs and "
            f"starts ({(time.monotonic() - started) / 60:.1f} min)")


def check_package(args):
    if args.installed:
        colours = splash_picture_colours(args.artifacts, "autopkgtest", args.installed, then=exit_with_keys)[0]
        return f"{args.installed} shows its picture ({colours} colours) and ends with status 0 on Alt+E"
    work = os.path.join(args.artifacts, "clean-root" if args.clean_root else "debian13" if args.debian13 else
                        "autopkgtest" if args.autopkgtest else "package")
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    if args.autopkgtest:
        return autopkgtest(args.artifacts, work)
    if args.debian13:
        return debian13(args.source, work, args.artifacts)
    if args.clean_root:
        package = built_package(args.artifacts)
        clean_install(package, work, args.artifacts)
        return f"{os.path.basename(package)}: installs into a clean Debian 12 and shows its picture"
    package = build_twice(args.source, work)
    check_control(package)
    root = os.path.join(work, "root")
    run("dpkg-deb", "-x", package, root)
    usr = os.path.join(root, "usr")
    check_layout(usr)

    link = os.path.join(usr, "bin", "tarnwick")
    with_picture, took = splash_picture_colours(args.artifacts, "installed", link, then=exit_with_keys)
    os.rename(os.path.join(usr, "share", "tarnwick", "Ut1.jpg"), os.path.join(work, "Ut1.jpg"))
    # Twice as long as the picture took to show, and more: a picture read from anywhere else would show.
    without_picture = splash_picture_colours(args.artifacts, "installed-without-picture", link, 2 * took + 0.5)[0]
    if without_picture > 2:
        raise Failure(f"the picture box shows {without_picture} colours with Ut1.jpg gone; expected it empty")
    return (f"{os.path.basename(package)}: builds the same twice, passes lintian, installs, shows its picture "
            f"({with_picture} colours in the picture box, {without_picture} without the file) and ends with 0 on Alt+E")


def arguments(parser):
    parser.add_argument("--source", required=True)
    parser.add_argument("--artifacts", required=True)
    parser.add_argument("--clean-root", action="store_true")
    parser.add_argument("--debian13", action="store_true")
    parser.add_argument("--autopkgtest", action="store_true")
    parser.add_argument("--installed", metavar="PROGRAM")


if __name__ == "__main__":
    sys.exit(main(__doc__, arguments, check_package))
