# shellcheck shell=bash disable=SC2154  # build, runs, runtime, measure: bench/startup.sh
# Sourced by bench/startup.sh --slow, after its display, xev, measure and median: start-up over a
# link with latency. The programs reach the display through bench/x_relay.py; xev still watches
# it directly, so a window counts from the moment the server maps it.

# open_link <one-way delay, ms>: a relay with that delay ($relay), its display in $display
open_link() {
    python3 bench/x_relay.py "${DISPLAY#:}" "$1" >"$runtime/link" &
    relay=$!
    for _ in $(seq 100); do [ -s "$runtime/link" ] && break; sleep 0.05; done
    [ -s "$runtime/link" ] || { echo "startup: the relay did not start" >&2; exit 1; }
    display=127.0.0.1:$(head -n1 "$runtime/link")
    DISPLAY=$display xdpyinfo >/dev/null || { echo "startup: no display through the relay" >&2; exit 1; }
}

close_link() {
    kill "$relay"
    wait "$relay" 2>/dev/null || true
    relay=
    rm "$runtime/link"
}

printf '%-14s %16s %16s %7s\n' "one-way delay" "tarnwick" "bare Qt floor" "ratio"
for delay in 10 25; do
    open_link "$delay"
    : >"$runtime/tarnwick-$delay"
    : >"$runtime/floor-$delay"
    for _ in $(seq "$runs"); do
        measure env DISPLAY="$display" "$build/bin/tarnwick" >>"$runtime/tarnwick-$delay"
        measure env DISPLAY="$display" "$build/bin/startup_floor" >>"$runtime/floor-$delay"
    done
    close_link
    awk -v d="$delay" -v t="$(cut -d' ' -f1 "$runtime/tarnwick-$delay" | median)" \
        -v f="$(cut -d' ' -f1 "$runtime/floor-$delay" | median)" \
        'BEGIN { printf "%-14s %13.0f ms %13.0f ms %7.2f\n", d " ms", t / 1000, f / 1000, t / f }'
done
echo "first window mapped, medians of $runs alternate runs each"

# The round trips: xtrace beside the programs, between them and a relay of 25 ms each way.
command -v xtrace >/dev/null || { echo "startup: no xtrace (apt-get install xtrace): round trips not counted"; return; }
open_link 25
traced=20
while [ -e "/tmp/.X11-unix/X$traced" ]; do traced=$(( traced + 1 )); done
for program in startup_floor tarnwick; do
    log=$runtime/$program.xtrace
    # xtrace ends as the program's last connection closes.
    xtrace -n -s --monotonic-timestamps -d "$display" -D ":$traced" -o "$log" >/dev/null 2>&1 &
    tracer=$!
    for _ in $(seq 100); do [ -S "/tmp/.X11-unix/X$traced" ] && break; sleep 0.05; done
    DISPLAY=:$traced "$build/bin/$program" 2>/dev/null &
    pid=$!
    # until the program has drawn into its window (MIT-SHM or PutImage once it is mapped), 30 s at most
    for _ in $(seq 600); do
        sed -n '/MapWindow/,$p' "$log" | grep -q 'MIT-SHM\|PutImage' && break
        sleep 0.05
    done
    kill "$pid"
    wait "$tracer" || true
    tracer=
    rm -f "/tmp/.X11-unix/X$traced"
done
close_link
python3 bench/round_trips.py 25 "$runtime/startup_floor.xtrace" "$runtime/tarnwick.xtrace"
