#!/bin/sh
# Random-program differential test: COUNT programs from vm_randprog.lua run
# through vm_diff.sh (output and executed-instruction counts).
# usage: vm_random_diff.sh ORBOTOOL LUA52 COUNT
set -u
orbotool=$1 lua=$2 count=$3
dir=$(dirname "$0")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fails=0
i=1
while [ $i -le "$count" ]; do
  "$lua" "$dir/vm_randprog.lua" $i >"$tmp/p$i.lua"
  if ! sh "$dir/vm_diff.sh" "$orbotool" "$lua" "$tmp/p$i.lua" >"$tmp/d$i.txt" 2>&1; then
    echo "seed $i:"; head -20 "$tmp/d$i.txt"
    fails=$((fails + 1))
  fi
  i=$((i + 1))
done
echo "$fails of $count programs differ"
[ $fails -eq 0 ]
