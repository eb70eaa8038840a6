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

# seed <name> <script> <PATH type> <folder type> <PATH data> <folder data>; the data as printf
# formats, the numbers below 256. Script bits: 1 the tool is in the folder, 2 starting throws,
# 4 starting succeeds, 8 no PATH value, 16 no folder value.
seed() {
    name=$1; script=$2; path_type=$3; folder_type=$4
    printf "$5" > "$work/path"
    length=$(wc -c < "$work/path")
    octal() { printf "\\$(printf '%03o' "$1")"; }
    { octal "$script"; octal "$path_type"; printf '\000\000\000'; octal "$folder_type"
      printf '\000\000\000'; octal $((length % 256)); octal $((length / 256))
      cat "$work/path"; printf "$6"; } > "$work/corpus/$name"
}
seed string 5 1 1 'C:\\Windows\\msinfo32.exe\000' 'C:\\Tools\000'
seed unterminated 4 1 1 'C:\\Tools' ''
seed extra-zeros 4 1 1 'C:\\x.exe\000\000junk' ''
seed empty-string 0 1 1 '\000' ''
seed no-path 13 1 1 '' 'C:\\Windows\000'
seed no-path-missing-tool 12 1 1 '' 'C:\\Windows\000'
seed folder-dword 13 1 4 '' '\001\002\003\000'
seed folder-expandable 9 1 2 '' '%%SystemRoot%%\000'
seed neither 24 1 1 '' ''
seed dword 0 4 1 '\001\002\003\000' ''
seed dword-short 0 4 1 '\377' ''
seed expandable 1 2 1 '%%SystemRoot%%\\msinfo32.exe\000' 'C:\\Tools\000'
seed binary 2 3 1 '\000\377\200\001' ''
seed high-bytes 4 1 1 '\351\374\000' ''
head -c 1023 /dev/zero | tr '\000' 'a' > "$work/a1023"
seed exactly-1024 4 1 1 "$(cat "$work/a1023")\\000" ''
seed over-1024 5 1 1 "$(cat "$work/a1023")bb" 'C:\\Tools\000'
seed folder-over-1024 13 1 1 '' "$(cat "$work/a1023")bb"

# A crashing input is kept in the folder the fuzzer was started from.
"$fuzzer" -max_total_time="$seconds" -max_len=2100 -print_final_stats=1 \
    -artifact_prefix="$artifacts/" "$work/found" "$work/corpus"
