#!/usr/bin/env bash
# Installs every Debian package that building, testing and running Tarnwick needs.
# Safe to run again: packages already present are left alone.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
  # tests and benchmarks
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool x11-utils imagemagick
  # sanitizers, fuzzing, memory checks
  clang libclang-rt-14-dev valgrind
  # the Windows side, proven under Wine: the cross compilers, Wine, the installer builder,
  # a window manager for the walks and an OCR reader for texts drawn by Windows' own controls
  g++-mingw-w64-x86-64 wine64 nsis openbox tesseract-ocr tesseract-ocr-eng xz-utils
  # building that Qt from Debian's source where no prebuilt copy is at hand (scripts/windows-qt.sh)
  debian-archive-keyring perl
  # desktop install checks and packaging
  desktop-file-utils appstream dpkg-dev file librsvg2-bin
  # the end-to-end and install tests' driver
  python3
  # fonts metric-compatible with the ones the screens are designed for
  fonts-liberation fonts-dejavu-core fontconfig
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "install-deps: run as root or install sudo" >&2; exit 1; }
  as_root=(sudo)
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
# Other installs may hold the package lock for a while; wait for them rather than fail.
apt=(apt-get -o DPkg::Lock::Timeout=900)
"${as_root[@]}" "${apt[@]}" update -qq
"${as_root[@]}" "${apt[@]}" install -y -qq --no-install-recommends "${missing[@]}"
