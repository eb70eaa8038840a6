#!/bin/sh
# Makes the private Wine prefix that the Windows tests run in, once per build tree.
set -eu
wine64=$1
prefix=$2
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ -f "$prefix/.ready" ] && exit 0
rm -rf "$prefix"
mkdir -p "$prefix"
"$wine64" wineboot -i
"$(dirname "$wine64")/wineserver" -w
touch "$prefix/.ready"
