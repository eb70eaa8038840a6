#!/usr/bin/env bash
# Provides the static Qt 6.4.2 for 64-bit Windows that the `windows` preset builds against, in a
# cache folder outside the source tree, and prints the prefix's path on its last line.
#
#   scripts/windows-qt.sh                 the shared prebuilt copy if there is one, else from source
#   scripts/windows-qt.sh --from-source   always from Debian's source (the prefix is built afresh)
#
# The cache: $TARNWICK_CACHE, else $XDG_CACHE_HOME/tarnwick, else ~/.cache/tarnwick.
# The prebuilt copy: $TARNWICK_WINDOWS_QT_ARCHIVE, else ../shared/windows beside the source tree;
# it is used only if its SHA-256 matches the .sha256 file beside it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

version=6.4.2
name=qt$version-mingw64-static
cache=${TARNWICK_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tarnwick}
home=$cache/$name
prefix=$home/prefix
archive=${TARNWICK_WINDOWS_QT_ARCHIVE:-$root/../shared/windows/$name.tar.xz}
jobs=${TARNWICK_WINDOWS_QT_JOBS:-2}

say() { echo "windows-qt: $*" >&2; }

from_source=no
[ "${1:-}" = --from-source ] && from_source=yes

# A prefix counts only once it is whole: the mark is written last.
if [ $from_source = no ] && [ -f "$home/.complete" ] && [ -f "$prefix/lib/cmake/Qt6/Qt6Config.cmake" ]; then
    echo "$prefix"
    exit 0
fi

mkdir -p "$cache"
work=$(mktemp -d "$cache/.work.XXXXXX")
trap 'rm -rf "$work"' EXIT

as_root=()
[ "$(id -u)" -ne 0 ] && as_root=(sudo)
apt=(apt-get -o DPkg::Lock::Timeout=900)

install_prefix() {
    # Replaces the cached prefix in one step, so a reader never sees half of it.
    rm -rf "$home.old"
    [ -d "$home" ] && mv "$home" "$home.old"
    mkdir -p "$work/home"
    mv "$1" "$work/home/prefix"
    touch "$work/home/.complete"
    mv "$work/home" "$home"
    rm -rf "$home.old"
    echo "$prefix"
}

if [ $from_source = no ] && [ -f "$archive" ]; then
    expected=$(cut -d' ' -f1 "$archive.sha256" 2>/dev/null || true)
    actual=$(sha256sum "$archive" | cut -d' ' -f1)
    if [ -n "$expected" ] && [ "$expected" = "$actual" ]; then
        say "unpacking $archive"
        tar -xJf "$archive" -C "$work"
        [ -f "$work/prefix/lib/cmake/Qt6/Qt6Config.cmake" ] || { say "$archive holds no Qt prefix"; exit 1; }
        install_prefix "$work/prefix"
        exit 0
    fi
    say "$archive does not match its SHA-256 ($actual, expected '${expected}'); building from source"
fi

# From Debian's source ------------------------------------------------------------------------
say "building Qt $version for Windows from Debian's source; this takes about half an hour on 2 cores"

# Source packages come through sources files of our own: the machine's own entries for binary
# packages with the deb-src type, so the same archives, suites, components and keys. Entries
# that are disabled or already offer sources are left out. Qt 6.4.2 is Debian 12's (bookworm):
# on a later release, the entries for its own suite name bookworm's too.
sources=tarnwick-deb-src
release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
deb_src_entries() {  # apt's folder; writes $work/$sources.sources (deb822) and .list (one-line)
    local file deb822=() one_line=()
    for file in "$1"/sources.list.d/*.sources "$1"/sources.list "$1"/sources.list.d/*.list; do
        [ -f "$file" ] && [ "${file##*/}" != "$sources.${file##*.}" ] || continue
        if [[ $file == *.sources ]]; then deb822+=("$file"); else one_line+=("$file"); fi
    done
    awk 'BEGIN { RS = ""; ORS = "\n" }
        { types = ""; enabled = 1; stanza = ""; n = split($0, lines, "\n")
          for (i = 1; i <= n; i++) {
              if (lines[i] ~ /^#/) continue
              field = tolower(lines[i])
              if (field ~ /^types:/) { types = field; lines[i] = "Types: deb-src" }
              if (field ~ /^suites:/ && release != "bookworm" && (" " field " ") ~ (" " release " "))
                  lines[i] = lines[i] " bookworm"
              if (field ~ /^enabled:[[:space:]]*no/) enabled = 0
              stanza = stanza lines[i] "\n"
          }
          if (enabled && types ~ /[[:space:]]deb([[:space:]]|$)/ && types !~ /deb-src/) print stanza }' \
        release="$release" /dev/null "${deb822[@]}" >"$work/$sources.sources"
    sed -n 's/^[[:space:]]*deb[[:space:]]\{1,\}/deb-src /p' /dev/null "${one_line[@]}" \
        | { grep -vxF -f <(grep -h '^deb-src ' /dev/null "${one_line[@]}") || true; } \
        | awk -v release="$release" '{ print; i = 2 }   # deb-src [options] uri suite components
              $2 ~ /^\[/ { while (i < NF && $i !~ /\]$/) i++; i++ }
              release != "bookworm" && $(i + 1) == release { $(i + 1) = "bookworm"; print }' \
        >"$work/$sources.list"
}
deb_src_entries /etc/apt
[ -s "$work/$sources.sources" ] || [ -s "$work/$sources.list" ] || { say "apt's sources name no deb entry"; exit 1; }
for kind in sources list; do
    "${as_root[@]}" rm -f "/etc/apt/sources.list.d/$sources.$kind"
    if [ -s "$work/$sources.$kind" ]; then "${as_root[@]}" cp "$work/$sources.$kind" /etc/apt/sources.list.d/; fi
done
"${as_root[@]}" "${apt[@]}" update -qq

cd "$work"
apt-get source --download-only qt6-base=6.4.2+dfsg-10 >/dev/null 2>&1 || apt-get source --download-only qt6-base >/dev/null
dpkg-source --no-check -x qt6-base_*.dsc qtbase >/dev/null
qtbase=$work/qtbase
grep -q "QT_REPO_MODULE_VERSION \"$version\"" "$qtbase/.cmake.conf" \
    || { say "Debian's qt6-base is not Qt $version"; exit 1; }

# Mend 1: Debian's source leaves out the tablet headers the windows plugin includes. Wine's
# LGPL ones stand in; they rely on three of Wine's own macros.
apt-get download libwine-dev >/dev/null
dpkg-deb -x libwine-dev_*.deb wine-dev
wintab=$qtbase/src/3rdparty/wintab
mkdir -p "$wintab"
for header in wintab.h pktdef.h; do
    found=$(find wine-dev -name "$header" -path '*windows*' | head -n1)
    [ -n "$found" ] || { say "libwine-dev has no $header"; exit 1; }
    {
        cat <<'PROLOGUE'
/* From Wine (LGPL 2.1 or later), for Qt's tablet support. */
#include <windows.h>
#ifndef WINELIB_NAME_AW
# ifdef UNICODE
#  define WINELIB_NAME_AW(name) name##W
# else
#  define WINELIB_NAME_AW(name) name##A
# endif
#endif
#ifndef DECL_WINELIB_TYPE_AW
# define DECL_WINELIB_TYPE_AW(type) typedef WINELIB_NAME_AW(type) type;
#endif
#ifndef API
# define API WINAPI
#endif
PROLOGUE
        cat "$found"
    } >"$wintab/$header"
done

# Mend 2: without Direct2D, QtGui leaves QWindowsDirectWriteFontDatabase out while the windows
# plugin still uses it.
integration=$qtbase/src/plugins/platforms/windows/qwindowsintegration.cpp
sed -i -E '/direct2d/! s/^(#[[:space:]]*if[[:space:]].*QT_CONFIG\(directwrite3\).*)$/\1 \&\& QT_CONFIG(direct2d)/' "$integration"
guarded=$(grep -c 'QT_CONFIG(directwrite3) && QT_CONFIG(direct2d)' "$integration" || true)
[ "$guarded" -ge 2 ] || { say "expected two uses of DirectWrite in $integration, guarded $guarded"; exit 1; }

mkdir build
cd build
"$qtbase/configure" -prefix "$work/prefix" \
    -xplatform win32-g++ -device-option CROSS_COMPILE=x86_64-w64-mingw32- \
    -qt-host-path /usr \
    -release -static -static-runtime -nomake tests -nomake examples \
    -no-opengl -no-dbus -no-icu -no-direct2d -qt-zlib -qt-libpng -qt-libjpeg -qt-pcre \
    -qt-harfbuzz -qt-doubleconversion -no-freetype -no-feature-sql -no-feature-network \
    -no-feature-testlib -no-feature-concurrent -no-feature-xml -no-feature-printsupport \
    -no-feature-vulkan -no-feature-androiddeployqt \
    -- -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake >"$work/configure.log" 2>&1 \
    || { tail -n 40 "$work/configure.log" >&2; exit 1; }
cmake --build . --parallel "$jobs" >"$work/build.log" 2>&1 || { tail -n 60 "$work/build.log" >&2; exit 1; }
cmake --install . >/dev/null
install_prefix "$work/prefix"
