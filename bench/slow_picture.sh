#!/usr/bin/env bash
# The splash screen beside a picture on a slow file system: strace holds every read of Ut1.jpg
# (and only those) for a while before it returns, as a network or FUSE mount would. Prints the
# milliseconds from the start to the splash screen on the display, the picture read at once and
# read in 5 s, then checks that with a read that takes 120 s the topic screen still takes the
# splash screen's place on a key and the program ends on Exit.
# Usage: bench/slow_picture.sh [program, default build/release/bin/tarnwick] [runs, default 5]
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-build/release/bin/tarnwick}
runs=${2:-5}
[ -x "$program" ] || { echo "slow_picture: $program is missing" >&2; exit 2; }
for tool in Xvfb xdotool strace; do
    command -v "$tool" >/dev/null || { echo "slow_picture: $tool is missing (scripts/install-deps.sh)" >&2; exit 2; }
done

tracer=
stop_own() { [ -n "$tracer" ] && kill -KILL "$tracer" 2>/dev/null || true; }
# shellcheck source=bench/virtual_display.sh
source bench/virtual_display.sh

mkdir "$runtime/folder"
cp "$program" "$runtime/folder/tarnwick"
cp resources/Ut1.jpg "$runtime/folder/Ut1.jpg"

# start <delay in µs>: the program under strace, its reads of the picture delayed
start() {
    strace -f -o /dev/null -P "$runtime/folder/Ut1.jpg" -e trace=read -e inject=read:delay_exit="$1" \
        "$runtime/folder/tarnwick" 2>/dev/null &
    tracer=$!
}

# window <seconds> <xdotool search criteria>: the first visible window that meets them
window() {
    local found seconds=$1
    shift
    for _ in $(seq $(( seconds * 20 ))); do
        found=$(xdotool search --onlyvisible "$@" 2>/dev/null | head -n1) || true
        [ -n "$found" ] && { echo "$found"; return 0; }
        sleep 0.05
    done
    return 1
}

# splash_ms <delay in µs>
splash_ms() {
    local begin end splash
    begin=$(date +%s%N)
    start "$1"
    splash=$(window 30 --class tarnwick)
    end=$(date +%s%N)
    # The program, not strace, which would leave it running.
    kill "$(xdotool getwindowpid "$splash")"
    wait "$tracer" 2>/dev/null || true
    echo $(( (end - begin) / 1000000 ))
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

splash_ms 0 >/dev/null
for delay in 0 5000000; do
    for _ in $(seq "$runs"); do splash_ms "$delay"; done | median >"$runtime/median"
    echo "read of the picture held $(( delay / 1000 )) ms: splash after $(cat "$runtime/median") ms (median of $runs)"
done

start 120000000
splash=$(window 30 --class tarnwick) || { echo "slow_picture: no splash screen within 30 s while the read hangs" >&2; exit 1; }
pid=$(xdotool getwindowpid "$splash")
sleep 0.5
xdotool windowfocus "$splash" key space
topics=$(window 10 --name '^Quillmoor$') || { echo "slow_picture: no topic screen while the read hangs" >&2; exit 1; }
xdotool windowfocus "$topics" key alt+e
# Ended: gone, or only the thread in the read left (the process a zombie), its windows closed.
ended=
for _ in $(seq 100); do
    state=$(awk '/^State:/ { print $2 }' "/proc/$pid/status" 2>/dev/null) || true
    if [ -z "$state" ] || [ "$state" = Z ]; then ended=1; break; fi
    sleep 0.05
done
kill -KILL "$tracer" 2>/dev/null || true
wait "$tracer" 2>/dev/null || true
[ -n "$ended" ] || { echo "slow_picture: the program does not end on Exit while the read hangs" >&2; kill "$pid"; exit 1; }
echo "read of the picture held 120 s: topic screen on a key, the program ended on Exit"
