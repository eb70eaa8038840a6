#!/usr/bin/env bash
# Start-up of tarnwick against the floor (a bare Qt program showing one window with the same
# picture): milliseconds from exec to the first window mapped on an X display, and peak memory
# (VmHWM) at that moment. Both run alternately on one Xvfb; prints the medians and the ratios.
# A third column runs tarnwick beside a 20000 x 20000 JPEG instead of its own picture.
# With --slow, both reach the display over a link that holds every byte 10 ms, then 25 ms, each
# way (bench/x_relay.py), as over ssh -X; with xtrace installed, the round trips each makes before
# its first window maps, and from then to its first picture, are counted too (bench/round_trips.py).
# Usage: bench/startup.sh [--slow] [build folder, default build/release] [runs, default 15; 5 slow]
set -euo pipefail
cd "$(dirname "$0")/.."
slow=
[ "${1:-}" = --slow ] && { slow=yes; shift; }
build=${1:-build/release}
runs=${2:-$([ -n "$slow" ] && echo 5 || echo 15)}
for program in "$build/bin/tarnwick" "$build/bin/startup_floor"; do
    [ -x "$program" ] || { echo "startup: $program is missing; build with TARNWICK_BENCHMARKS=ON" >&2; exit 2; }
done
for tool in Xvfb xev xdpyinfo ${slow:+python3}; do
    command -v "$tool" >/dev/null || { echo "startup: $tool is missing (scripts/install-deps.sh)" >&2; exit 2; }
done

relay=
tracer=
stop_own() {
    local pid
    for pid in ${XEV_PID:-} $relay $tracer; do kill "$pid" 2>/dev/null || true; done
}
# shellcheck source=bench/virtual_display.sh
source bench/virtual_display.sh

# Every window mapped on the display is reported as it happens.
coproc XEV { exec stdbuf -oL xev -root -event substructure; }
# xev listens once the server counts SubstructureNotify among the root window's event masks.
for _ in $(seq 100); do xdpyinfo | grep -q SubstructureNotifyMask && break; sleep 0.05; done

# measure <command>: prints "<µs to first map> <peak kB>"
measure() {
    local start end pid peak line
    start=$(date +%s%N)
    "$@" 2>/dev/null &
    pid=$!
    while IFS= read -r -t 30 line <&"${XEV[0]}"; do
        [[ $line == MapNotify* ]] && break
    done
    end=$(date +%s%N)
    peak=$(awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status")
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    echo "$(( (end - start) / 1000 )) $peak"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# One unmeasured start of each fills the font and file caches.
measure "$build/bin/tarnwick" >/dev/null
measure "$build/bin/startup_floor" >/dev/null

if [ -n "$slow" ]; then
    # shellcheck source=bench/slow_link.sh
    source bench/slow_link.sh
    exit
fi

# A valid baseline JPEG of 20000 x 20000 pixels in three components, every 8 x 8 block two zero
# bits (one Huffman code per table: no change of colour, end of block).
mkdir "$runtime/huge"
cp "$build/bin/tarnwick" "$runtime/huge/"
{
    printf '\xff\xd8\xff\xdb\x00\x43\x00'
    head -c 64 /dev/zero | tr '\000' '\001'
    printf '\xff\xc0\x00\x11\x08\x4e\x20\x4e\x20\x03\x01\x11\x00\x02\x11\x00\x03\x11\x00'
    for class in '\x00' '\x10'; do
        printf '\xff\xc4\x00\x14'"$class"'\x01'
        head -c 16 /dev/zero
    done
    printf '\xff\xda\x00\x0c\x03\x01\x00\x02\x00\x03\x00\x00\x3f\x00'
    head -c $(( 3 * 2500 * 2500 * 2 / 8 )) /dev/zero
    printf '\xff\xd9'
} >"$runtime/huge/Ut1.jpg"

: >"$runtime/tarnwick"
: >"$runtime/floor"
: >"$runtime/huge.txt"
for _ in $(seq "$runs"); do
    measure "$build/bin/tarnwick" >>"$runtime/tarnwick"
    measure "$build/bin/startup_floor" >>"$runtime/floor"
    measure "$runtime/huge/tarnwick" >>"$runtime/huge.txt"
done

t_ms=$(cut -d' ' -f1 "$runtime/tarnwick" | median)
f_ms=$(cut -d' ' -f1 "$runtime/floor" | median)
t_kb=$(cut -d' ' -f2 "$runtime/tarnwick" | median)
f_kb=$(cut -d' ' -f2 "$runtime/floor" | median)
h_ms=$(cut -d' ' -f1 "$runtime/huge.txt" | median)
h_kb=$(cut -d' ' -f2 "$runtime/huge.txt" | median)
awk -v t="$t_ms" -v f="$f_ms" -v tk="$t_kb" -v fk="$f_kb" -v h="$h_ms" -v hk="$h_kb" -v n="$runs" 'BEGIN {
    printf "%-28s %18s %16s\n", "", "first window (ms)", "peak memory (kB)"
    printf "%-28s %18.1f %16d\n", "tarnwick", t / 1000, tk
    printf "%-28s %18.1f %16d\n", "floor", f / 1000, fk
    printf "%-28s %18.2f %16.2f\n", "tarnwick / floor", t / f, tk / fk
    printf "%-28s %18.1f %16d\n", "tarnwick, 20000 x 20000 JPEG", h / 1000, hk
    printf "%-28s %18.2f %16.2f\n", "huge / own picture", h / t, hk / tk
    printf "medians of %d alternate runs each\n", n
}'
