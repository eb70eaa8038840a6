#!/bin/sh
# Runs one Windows test program under Wine in the build tree's prefix.
# Waits for the Wine server, and so for every program the test started, before reporting.
wine64=$1
prefix=$2
shift 2
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
"$wine64" "$@"
status=$?
"$(dirname "$wine64")/wineserver" -w
exit $status
