#!/bin/sh
# Side by side: every bench/vm/*.lua under the plain stock 5.2 interpreter
# (no hook) and under `orbotool lua --hook 1024` (a count hook every 1024
# instructions, as the console always runs). Runs alternate (stock, ours,
# stock, ...) RUNS times each; the figures are medians of the process's CPU
# time (user + system), which other load on a shared machine disturbs far
# less than wall-clock time. Prints per program both medians, the speed-up
# (stock / ours; above 1 is faster) and the noise (spread of the runs as a
# share of the median, the larger of the two), then the geometric mean.
# usage: bench/vm/compare.sh [ORBOTOOL] [RUNS]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
orbotool=${1:-$here/../../build/release/orbotool}
runs=${2:-5}
prelude=$(mktemp)
trap 'rm -f "$prelude"' EXIT
cat >"$prelude" <<'LUA'
sub = string.sub
cocreate, coresume, costatus = coroutine.create, coroutine.resume, coroutine.status
yield = function() coroutine.yield() end
dofile(arg[1])
LUA
cpu_ms() { /usr/bin/time -f '%U %S' "$@" 2>&1 >/dev/null | tail -1 | awk '{ printf "%d\n", ($1 + $2) * 1000 }'; }
# median and spread (max - min, percent of the median) of numbers on stdin
stats() { sort -n | awk '{ v[NR] = $1 } END { m = v[int((NR + 1) / 2)]; printf "%d %d\n", m, (m > 0 ? 100 * (v[NR] - v[1]) / m : 0) }'; }
printf '%-12s %10s %10s %8s %7s\n' program "lua5.2 ms" "ours ms" speed-up noise
logsum=0 n=0
for f in "$here"/*.lua; do
  name=$(basename "$f" .lua)
  ref="" ours=""
  i=0
  while [ $i -lt "$runs" ]; do
    ref="$ref $(cpu_ms lua5.2 "$prelude" "$f")"
    ours="$ours $(cpu_ms "$orbotool" lua --hook 1024 "$f")"
    i=$((i + 1))
  done
  set -- $(echo $ref | tr ' ' '\n' | stats) $(echo $ours | tr ' ' '\n' | stats)
  line=$(awk -v r="$1" -v rn="$2" -v o="$3" -v on="$4" -v name="$name" 'BEGIN {
    s = (o > 0 ? r / o : 0); noise = (rn > on ? rn : on)
    printf "%-12s %10d %10d %7.2fx %6d%%", name, r, o, s, noise }')
  echo "$line"
  logsum=$(awk -v a="$logsum" -v r="$1" -v o="$3" 'BEGIN { printf "%.6f", a + log(r / o) }')
  n=$((n + 1))
done
awk -v a="$logsum" -v n="$n" 'BEGIN { printf "%-12s %21s %7.2fx\n", "geomean", "", exp(a / n) }'
