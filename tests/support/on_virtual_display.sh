#!/bin/sh
# Runs a command on an X server of its own. Xvfb picks a free display number itself and says which
# through -displayfd, so runs side by side never race for one, as a check of lock files would.
# Usage: on_virtual_display.sh <command> [arguments...]
set -u
said=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$said" >/dev/null 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -f "$said"' EXIT INT TERM
# The number and a newline arrive once the server accepts clients.
tries=0
until grep -q '^[0-9][0-9]*$' "$said" 2>/dev/null && [ "$(wc -l < "$said")" -ge 1 ]; do
    tries=$((tries + 1))
    if [ "$tries" -gt 150 ] || ! kill -0 "$server" 2>/dev/null; then
        echo "Xvfb did not start" >&2
        exit 1
    fi
    sleep 0.1
done
DISPLAY=":$(head -n 1 "$said")" "$@"
