#!/usr/bin/env bash
# Installs the Debian packages Tarnwick needs, on Debian 12 or 13. Safe to run again: packages
# already present are left alone.
#   install-deps.sh         building and running only (what scripts/run.sh needs)
#   install-deps.sh --all   everything the tests, benchmarks and checks need too
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev libxcb1-dev
  # run: fonts metric-compatible with the designed ones (Qt's X11 platform plugin comes with
  # libqt6gui6 on Debian 12)
  fonts-liberation fonts-dejavu-core fontconfig
)

if [ "${1:-}" = "--all" ]; then
  packages+=(
    # tests and benchmarks
    googletest libgtest-dev libgmock-dev libbenchmark-dev zlib1g-dev
    xvfb xauth xdotool x11-utils x11-xserver-utils imagemagick strace xclip
    # the X requests a start-up waits on, counted over a slow link (bench/startup.sh --slow)
    xtrace
    # window managers and a Wayland compositor the walks run under; mutter is GNOME's, KWin
    # KDE Plasma's (with the window decoration it loads) and xfwm4 Xfce's
    openbox metacity mutter kwin-x11 kwin-style-breeze xfwm4 dbus weston xwayland
    # the Wayland platform plugin, to prove the program picks XWayland even where it is present,
    # and GTK's platform theme, to prove a dark desktop theme leaves the screens' look alone
    qt6-wayland qt6-gtk-platformtheme
    # screen reader access: the accessibility bus on a session bus of the walk's own, read over GLib's D-Bus
    at-spi2-core dbus-daemon python3-gi
    # sanitizers, fuzzing, memory checks (clang's runtime follows, for the release's clang)
    clang valgrind
    # the Windows side, proven under Wine: the cross compilers, Wine, the installer builder,
    # and an OCR reader for texts drawn by Windows' own controls
    g++-mingw-w64-x86-64 wine64 nsis tesseract-ocr tesseract-ocr-eng xz-utils
    # Wine's own fonts, so that it draws its captions' glyphs
    fonts-wine
    # building that Qt from Debian's source where no prebuilt copy is at hand (scripts/windows-qt.sh)
    debian-archive-keyring perl
    # desktop install checks and packaging: the source package is built as a distribution builds it
    desktop-file-utils appstream dpkg-dev build-essential debhelper file librsvg2-bin lintian
    # the package installed into a clean Debian 12 root
    debootstrap autopkgtest
    # the end-to-end and install tests' driver, the walks' runner, and what they ask the X server
    python3 python3-pytest python3-xlib
    # another program's text field, which the walks type into while the program starts
    zenity
  )
elif [ -n "${1:-}" ]; then
  echo "usage: install-deps.sh [--all]" >&2
  exit 2
fi

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "install-deps: run as root or install sudo" >&2; exit 1; }
  as_root=(sudo)
fi
updated=

install_missing() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return
  echo "install-deps: installing ${missing[*]}"
  local apt=("${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900)
  [ -n "$updated" ] || "${apt[@]}" update -qq
  updated=yes
  "${apt[@]}" install -y -qq --no-install-recommends "${missing[@]}"
}

install_missing "${packages[@]}"
# The sanitizers' and libFuzzer's runtime is versioned with clang: Debian 12 has clang 14,
# Debian 13 clang 19.
if [ "${1:-}" = "--all" ]; then
  install_missing "libclang-rt-$(clang -dumpversion | cut -d. -f1)-dev"
fi
[ -n "$updated" ] || echo "install-deps: all packages present"
