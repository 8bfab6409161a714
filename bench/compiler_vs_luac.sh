#!/bin/sh
# Whole-process comparison of the compiler with the reference compiler on
# the compiler corpus and the lua-penlight sources:
#   1. one process per file (dominated by process start-up),
#   2. one process for all files (dominated by compiling).
# Usage: bench/compiler_vs_luac.sh [ORBOTOOL] [RUNS]
set -e
here=$(cd "$(dirname "$0")/.." && pwd)
orbotool=${1:-$here/build/release/orbotool}
runs=${2:-10}
files="$(ls "$here"/tests/engine/compiler_corpus/*.lua) $(dpkg -L lua-penlight 2>/dev/null | grep '\.lua$' || true)"
count=$(echo $files | wc -w)

seconds() { date +%s.%N; }
measure() {  # label command...
    label=$1; shift
    start=$(seconds)
    i=0
    while [ $i -lt "$runs" ]; do "$@"; i=$((i + 1)); done
    end=$(seconds)
    echo "$label: $(echo "($end - $start) / $runs" | bc -l | cut -c1-6) s per run"
}
per_file() { for f in $files; do "$@" "$f" || exit 1; done; }

echo "$count files, $runs runs"
if command -v hyperfine >/dev/null 2>&1; then
    hyperfine -w 2 -r "$runs" "$orbotool compile $files" "luac5.2 -p $files"
else
    measure "orbotool compile, one process per file" per_file "$orbotool" compile
    measure "luac5.2 -p,       one process per file" per_file luac5.2 -p
    measure "orbotool compile, all files at once   " "$orbotool" compile $files
    measure "luac5.2 -p,       all files at once   " luac5.2 -p $files
fi
