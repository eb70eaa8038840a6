"""Builds the .deb from a build tree, unpacks it into a scratch root and starts the program
from there, as an installed copy: through its bin/ link, with its picture found beside the
real executable.

    package.py --build BUILD_DIR --artifacts DIR
"""

import glob
import os
import shutil
import struct
import subprocess
import sys

from desktop import Desktop, Failure, main, px, wait_for

APP_ID = "org.tarnwick.Tarnwick"
ICON_SIZES = (16, 32, 48, 64, 128, 256)


def run(*command, cwd=None):
    result = subprocess.run(command, cwd=cwd, capture_output=True, text=True, timeout=300)
    if result.returncode != 0:
        raise Failure(f"{' '.join(command)} failed with status {result.returncode}:\n"
                      f"{result.stdout}{result.stderr}")
    return result.stdout


def build_package(build, work):
    run("cpack", "-G", "DEB", "-B", work, "--config", os.path.join(build, "CPackConfig.cmake"))
    packages = glob.glob(os.path.join(work, "tarnwick_*.deb"))
    if len(packages) != 1:
        raise Failure(f"expected one tarnwick_*.deb in {work}, found {packages}")
    return packages[0]


def check_control(package):
    fields = {}
    for line in run("dpkg-deb", "--field", package).splitlines():
        if line and not line[0].isspace() and ":" in line:
            key, value = line.split(":", 1)
            fields[key] = value.strip()
    depends = [d.split()[0] for d in fields.get("Depends", "").split(",") if d.strip()]
    # libqt6gui6 only recommends the X11 platform plugin; without it no window can show.
    for needed in ("fonts-liberation", "libqt6widgets6", "qt6-qpa-plugins"):
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
    if not os.path.isfile(os.path.join(usr, "lib", "tarnwick", "Ut1.jpg")):
        raise Failure("Ut1.jpg is not beside the program")
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


def splash_picture_colours(artifacts, name, program):
    """Starts the program and counts the colours in the splash screen's picture box."""
    with Desktop(artifacts, name) as desktop:
        desktop.start(program)
        splash = desktop.splash()
        # The picture box, inside the frame: (150 + 360, 60 + 795) twips, 1815 x 2385.
        left, top = splash.x + px(150 + 360), splash.y + px(60 + 795)
        width, height = px(1815), px(2385)

        def colours():
            screen = desktop.pixels()
            return {screen(x, y) for x in range(left, left + width, 3) for y in range(top, top + height, 3)}
        # Wait for the frame to be painted before judging the box.
        wait_for(lambda: desktop.pixels()(splash.x + px(150) + 2, splash.y + px(60) + 20) != (0, 0, 0), 5,
                 "the splash screen to be painted")
        found = colours()
        desktop.screenshot("splash")
        return len(found)


def check_package(args):
    work = os.path.join(args.artifacts, "package")
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    package = build_package(args.build, work)
    check_control(package)
    root = os.path.join(work, "root")
    run("dpkg-deb", "-x", package, root)
    usr = os.path.join(root, "usr")
    check_layout(usr)

    link = os.path.join(usr, "bin", "tarnwick")
    with_picture = splash_picture_colours(args.artifacts, "installed", link)
    os.rename(os.path.join(usr, "lib", "tarnwick", "Ut1.jpg"), os.path.join(work, "Ut1.jpg"))
    without_picture = splash_picture_colours(args.artifacts, "installed-without-picture", link)
    if without_picture > 2:
        raise Failure(f"the picture box shows {without_picture} colours with Ut1.jpg gone; expected it empty")
    if with_picture < 20:
        raise Failure(f"the installed program shows no picture on its splash screen "
                      f"({with_picture} colours in the picture box)")
    return (f"{os.path.basename(package)}: installs and shows its picture "
            f"({with_picture} colours in the picture box, {without_picture} without the file)")


def arguments(parser):
    parser.add_argument("--build", required=True)
    parser.add_argument("--artifacts", required=True)


if __name__ == "__main__":
    sys.exit(main(__doc__, arguments, check_package))
