# Sourced by the benchmarks: a scratch folder ($runtime) and an Xvfb display of their own, both
# gone when the script ends, as is whatever the function `stop_own` (if defined) stops.
runtime=$(mktemp -d)
server=
cleanup() {
    if declare -F stop_own >/dev/null; then stop_own; fi
    [ -n "$server" ] && kill "$server" 2>/dev/null || true
    rm -rf "$runtime"
}
trap cleanup EXIT

# Xvfb writes its number once it accepts clients.
Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp >"$runtime/display" 2>/dev/null &
server=$!
for _ in $(seq 100); do [ -s "$runtime/display" ] && break; sleep 0.05; done
export DISPLAY=:$(head -n1 "$runtime/display") XDG_RUNTIME_DIR=$runtime QT_QPA_PLATFORM=xcb
unset QT_SCALE_FACTOR QT_QPA_PLATFORMTHEME WAYLAND_DISPLAY
