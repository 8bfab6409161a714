#!/bin/sh
# Runs one cartridge of tests/carts through `orbo -x` or `orbotool run` and
# compares its standard output with NAME.out: the console lines (the log,
# which -x also writes to standard output, is taken out), then for orbotool
# "frames: N" (and "printh: TEXT" lines, which only orbotool prints); its
# "cpu: X" line is checked for its form only. With
# orbotool, the last frame is compared with NAME.png when that exists.
# NAME.args holds orbotool's options (--frames, --param, --seed; -x gets -p).
# orbo -x exits with 1 for the cartridges listed in fails.txt, else 0.
# ORBO_UPDATE_GOLDEN=1 writes NAME.out (and an existing NAME.png) instead.
# EXPECT_DIR, when given, holds NAME.args/.input/.out/.png instead of CARTS_DIR.
# usage: run_cart.sh orbo|orbotool BINARY CARTS_DIR NAME [EXPECT_DIR]
set -u
mode=$1; bin=$2; cartdir=$3; name=$4; dir=${5:-$3}
. "$(dirname "$0")/../support/cart_home.sh"
args=""
[ -f "$dir/$name.args" ] && args=$(cat "$dir/$name.args")
# NAME.input: the buttons held frame by frame (orbotool only).
[ -f "$dir/$name.input" ] && args="$args --input $dir/$name.input"
cart=$cartdir/$name.ob

if [ "$mode" = orbotool ]; then
    timeout 300 "$bin" run "$cart" $args --screenshot "$work/shot.png" > "$work/raw.txt"
    status=$?
    grep -Eq '^cpu: -?[0-9]+(\.[0-9]+)?$' "$work/raw.txt" || { echo "FAIL: no cpu line"; cat "$work/raw.txt"; exit 1; }
    grep -v '^cpu: ' "$work/raw.txt" > "$work/out.txt"
    grep -v '^cpu: ' "$dir/$name.out" > "$work/expected.txt" 2>/dev/null
else
    pargs=$(echo "$args" | sed 's/--param/-p/')
    timeout 300 "$bin" -x "$cart" $pargs > "$work/raw.txt"
    status=$?
    grep -vxF -f "$root/log.txt" "$work/raw.txt" > "$work/out.txt"
    grep -v '^frames: \|^printh: ' "$dir/$name.out" > "$work/expected.txt" 2>/dev/null
fi
want=0
[ "$mode" = orbo ] && grep -qx "$name" "$dir/fails.txt" && want=1
[ $status = $want ] || { echo "FAIL: $mode exited with status $status, not $want"; cat "$work/raw.txt"; exit 1; }

if [ "${ORBO_UPDATE_GOLDEN:-0}" = 1 ]; then
    if [ "$mode" = orbotool ]; then
        cp "$work/out.txt" "$dir/$name.out"
        [ -f "$dir/$name.png" ] && cp "$work/shot.png" "$dir/$name.png"
    fi
    echo "updated $name"
    exit 0
fi
if ! diff -u "$work/expected.txt" "$work/out.txt"; then
    echo "FAIL: $name output differs ($mode)"
    exit 1
fi
if [ "$mode" = orbotool ] && [ -f "$dir/$name.png" ] && ! cmp -s "$dir/$name.png" "$work/shot.png"; then
    cp "$work/shot.png" "${TMPDIR:-/tmp}/$name.actual.png"
    echo "FAIL: $name last frame differs from $name.png (actual in ${TMPDIR:-/tmp}/$name.actual.png)"
    exit 1
fi
echo "ok $name ($mode)"
