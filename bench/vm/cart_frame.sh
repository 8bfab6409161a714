#!/bin/sh
# Host time per console frame of a cartridge that spends every frame's whole
# budget (particles_cart.ob by default), through `orbotool run`, for one or
# more builds side by side. Each run pair is LONG and SHORT frames; the
# difference of their CPU times (user + system) over the difference of
# frames leaves start-up out. Runs alternate between the builds RUNS times;
# the figures are medians, with the spread (max - min, percent of the
# median) as the noise. A build must sit in its build folder (it reads the
# data file beside it).
# usage: bench/vm/cart_frame.sh [-c CART] [-n RUNS] ORBOTOOL...
set -eu
here=$(cd "$(dirname "$0")" && pwd)
cart=$here/particles_cart.ob
runs=5
while getopts c:n: opt; do
  case $opt in
    c) cart=$OPTARG ;;
    n) runs=$OPTARG ;;
    *) exit 2 ;;
  esac
done
shift $((OPTIND - 1))
[ $# -gt 0 ] || set -- "$here/../../build/release/orbotool"
long=3000 short=300
cpu_us() { /usr/bin/time -f '%U %S' "$@" 2>&1 >/dev/null | tail -1 | awk '{ printf "%d\n", ($1 + $2) * 1000000 }'; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
i=0
while [ $i -lt "$runs" ]; do
  b=0
  for bin in "$@"; do
    l=$(cpu_us "$bin" run "$cart" --frames $long)
    s=$(cpu_us "$bin" run "$cart" --frames $short)
    echo "$l $s" | awk -v n=$((long - short)) '{ printf "%.4f\n", ($1 - $2) / 1000 / n }' >>"$tmp/$b"
    b=$((b + 1))
  done
  i=$((i + 1))
done
printf '%-48s %12s %7s\n' build "ms/frame" noise
b=0
for bin in "$@"; do
  sort -n "$tmp/$b" | awk -v name="$bin" '{ v[NR] = $1 } END {
    m = v[int((NR + 1) / 2)]
    printf "%-48s %12.3f %6d%%\n", name, m, (m > 0 ? 100 * (v[NR] - v[1]) / m : 0) }'
  b=$((b + 1))
done
