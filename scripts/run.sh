#!/usr/bin/env bash
# Installs what building and running need, builds the program alone (no tests, benchmarks
# or Windows cross-build; scripts/test.sh builds those) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset run >/dev/null
cmake --build --preset run -j"$(nproc)"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    cat >&2 <<'MSG'
Tarnwick is built (build/run/bin/tarnwick) but there is no display to show it on:
neither DISPLAY nor WAYLAND_DISPLAY is set. Run this from a desktop session, or on a
machine without one start it in a virtual display:
    xvfb-run -s "-screen 0 1024x768x24" build/run/bin/tarnwick
MSG
    exit 1
fi
exec build/run/bin/tarnwick
