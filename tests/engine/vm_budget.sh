#!/bin/sh
# A program resumed in slices of N instructions (`orbotool lua --budget N`)
# must print what it prints in one run, in one slice per N instructions
# counted by `--count` plus the last. The program must let every slice
# end where its count falls: no yield across a host call or a coroutine.
# The count hook then falls at every offset inside the instruction runs
# the machine takes as one.
# usage: vm_budget.sh ORBOTOOL PROGRAM
set -u
orbotool=$1 prog=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$orbotool" lua --count "$prog" >"$tmp/whole.out" 2>"$tmp/whole.err" || { cat "$tmp/whole.err"; exit 1; }
total=$(sed -n 's/^instructions: //p' "$tmp/whole.err")
fail=0
for n in 2 3 4 5 7 1024; do
  "$orbotool" lua --budget $n "$prog" >"$tmp/sliced.out" 2>"$tmp/sliced.err" || { cat "$tmp/sliced.err"; exit 1; }
  if ! diff "$tmp/whole.out" "$tmp/sliced.out" >/dev/null; then echo "output differs in slices of $n"; fail=1; fi
  slices=$(sed -n 's/^slices: //p' "$tmp/sliced.err")
  if [ "$slices" != $((total / n + 1)) ]; then
    echo "slices of $n: $slices, expected $((total / n + 1)) for $total instructions"; fail=1
  fi
done
exit $fail
