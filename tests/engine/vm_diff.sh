#!/bin/sh
# Differential run of one program: the stock interpreter (through
# vm_reference.lua) against `orbotool lua --count [MODE]`. Standard output
# must match once "chunk:line: " position prefixes are removed from both
# (runtime errors of the virtual machine carry none in this engine), and
# the executed-instruction counts must be equal.
# usage: vm_diff.sh ORBOTOOL LUA52 PROGRAM [--luac]
set -u
orbotool=$1 lua=$2 prog=$3 mode=${4:-}
dir=$(dirname "$0")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
strip() { sed -E 's/[^\t ]*:[0-9]+: //g' "$1"; }
"$lua" "$dir/vm_reference.lua" "$prog" >"$tmp/ref.out" 2>"$tmp/ref.err"
timeout 60 "$orbotool" lua --count $mode "$prog" >"$tmp/our.out" 2>"$tmp/our.err"
status=$?
strip "$tmp/ref.out" >"$tmp/ref.s"
strip "$tmp/our.out" >"$tmp/our.s"
fail=0
if [ $status -ne 0 ]; then echo "orbotool exited with $status"; cat "$tmp/our.err"; fail=1; fi
if ! diff "$tmp/ref.s" "$tmp/our.s"; then echo "stdout differs (< reference, > orbotool)"; fail=1; fi
if ! diff "$tmp/ref.err" "$tmp/our.err"; then echo "instruction counts differ"; fail=1; fi
exit $fail
