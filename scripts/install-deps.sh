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
  # the Windows side, proven under Wine
  g++-mingw-w64-x86-64 wine64
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
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
