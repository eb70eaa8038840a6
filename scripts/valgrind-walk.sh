#!/usr/bin/env bash
# One walk through every kind of screen, from the splash screen to Exit, under valgrind's
# memcheck. Fails if a block lost for good was allocated by Tarnwick's own code; leaks inside
# Qt, fontconfig and the like are listed in the summary but not held against us.
# Usage: scripts/valgrind-walk.sh [build folder, default build/dev]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/dev}
test=$build/bin/screen_rules_stress_test
if [ ! -x "$test" ]; then
    echo "valgrind-walk: $test is missing; build first (cmake --preset dev && cmake --build --preset dev)" >&2
    exit 2
fi
command -v valgrind >/dev/null || { echo "valgrind-walk: valgrind is missing (scripts/install-deps.sh)" >&2; exit 2; }

# The environment CTest gives the GUI tests: the offscreen platform with its one screen, and the fonts.
mapfile -t environment < <(ctest --test-dir "$build" -R '^screen_rules_stress_test$' --show-only=json-v1 |
    python3 -c 'import json, sys
for test in json.load(sys.stdin)["tests"]:
    print("\n".join(v for p in test["properties"] if p["name"] == "ENVIRONMENT" for v in p["value"]))')

log=$(mktemp --suffix=.valgrind.log)
echo "valgrind-walk: memcheck log in $log"
status=0
env "${environment[@]}" valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite,indirect \
    --num-callers=40 --track-origins=no --log-file="$log" \
    "$test" --gtest_filter='Walk.*' || status=$?
if [ "$status" -ne 0 ]; then
    echo "valgrind-walk: the walk itself failed (status $status)" >&2
    exit 1
fi

grep -E 'ERROR SUMMARY|definitely lost:|indirectly lost:|possibly lost:|still reachable:' "$log" | sed 's/^==[0-9]*== *//'

# A loss record is ours when one of its frames lies in a source file of this repository.
ours=$(find src tests -name '*.cpp' -o -name '*.h' | xargs -n1 basename | sort -u | sed 's/\./\\./g' | paste -sd'|')
records=$(awk -v ours="\\((${ours}):[0-9]+\\)" '
    /are (definitely|indirectly) lost in loss record/ { record = $0; inside = 1; next }
    inside && /^==[0-9]+== *$/ { if (record ~ ours) print record "\n"; inside = 0; next }
    inside { record = record "\n" $0 }
' "$log")
if [ -n "$records" ]; then
    echo "valgrind-walk: leaks from Tarnwick's code:" >&2
    echo "$records" >&2
    exit 1
fi
echo "valgrind-walk: no leak from Tarnwick's code"
