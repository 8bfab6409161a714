#!/bin/sh
# Times each integer workload of bench/vm/ as a whole process under the
# stock 5.2 interpreter and under `orbotool lua`, both with a count hook
# every 1024 instructions installed (as the console always runs), and prints
# the ratio (ours / stock; below 1 is faster). The time is the process's
# CPU time (user + system), best of five runs, which the other load of a
# shared machine disturbs far less than wall-clock time.
# usage: bench/vm_compare.sh [ORBOTOOL]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
orbotool=${1:-$here/../build/release/orbotool}
prelude=$(mktemp)
trap 'rm -f "$prelude"' EXIT
cat >"$prelude" <<'LUA'
sub = string.sub
debug.sethook(function() end, "", 1024)
dofile(arg[1])
LUA
best() {
  b=999999
  for i in 1 2 3 4 5; do
    t=$(/usr/bin/time -f '%U %S' "$@" 2>&1 >/dev/null | tail -1 | awk '{ printf "%d", ($1 + $2) * 1000 }')
    [ "$t" -lt "$b" ] && b=$t
  done
  echo $b
}
printf '%-12s %10s %10s %7s\n' workload "lua5.2 ms" "ours ms" ratio
for f in "$here"/vm/*.lua; do
  name=$(basename "$f" .lua)
  ref=$(best lua5.2 "$prelude" "$f")
  ours=$(best "$orbotool" lua --hook 1024 "$f")
  ratio=$(awk -v a="$ours" -v b="$ref" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')
  printf '%-12s %10s %10s %7s\n' "$name" "$ref" "$ours" "$ratio"
done
