#!/bin/sh
# Runs a fuzzer for a bounded time on a seed corpus written here: strings with and without their
# terminating zero, DWORDs, other types, empty values and values around the read buffer's size.
# Usage: run_fuzzer.sh <fuzzer> <seconds>
set -eu
fuzzer=$1
seconds=$2
artifacts=$(pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus" "$work/found"

seed() { # seed <name> <script byte> <type byte> <data...>
    name=$1; script=$2; type=$3; shift 3
    { printf "\\$(printf '%03o' "$script")\\$(printf '%03o' "$type")\\000\\000\\000"; printf "$@"; } \
        > "$work/corpus/$name"
}
seed string 5 1 'C:\\Windows\\msinfo32.exe\000'
seed unterminated 4 1 'C:\\Tools'
seed empty-string 0 1 '\000'
seed no-data 1 1 ''
seed dword 0 4 '\001\002\003\000'
seed dword-short 0 4 '\377'
seed expandable 1 2 '%%SystemRoot%%\\msinfo32.exe\000'
seed binary 2 3 '\000\377\200\001'
seed high-bytes 4 1 '\351\374\000'
head -c 1023 /dev/zero | tr '\000' 'a' > "$work/a1023"
{ printf '\004\001\000\000\000'; cat "$work/a1023"; printf '\000'; } > "$work/corpus/exactly-1024"
{ printf '\004\001\000\000\000'; cat "$work/a1023"; printf 'bb'; } > "$work/corpus/over-1024"

# A crashing input is kept in the folder the fuzzer was started from.
"$fuzzer" -max_total_time="$seconds" -max_len=2100 -print_final_stats=1 \
    -artifact_prefix="$artifacts/" "$work/found" "$work/corpus"
