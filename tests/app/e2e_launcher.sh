#!/bin/sh
# The launcher in a real window (run through xvfb-run): the player started
# as the README starts it boots into the launcher; Down and Z (xdotool keys)
# start the second built-in game; the pause menu's "back to launcher" (P,
# Up, Up, Z) returns to the head cart as booted from the data file, which
# highlights that game again. Each screen is an F6 screenshot compared with
# a golden one (golden/NAME.png, 128 x 128; the launcher's animated top bar,
# rows 0-10, is left out).
# usage: e2e_launcher.sh ORBO GOLDEN_DIR
set -u
orbo=$1; golden=$2
HOME=$(mktemp -d)
export HOME SDL_AUDIODRIVER=dummy
root=$HOME/.hearthware/orbo
trap 'kill $pid 2>/dev/null; rm -rf "$HOME"' EXIT
fail() { echo "FAIL: $*"; cat "$root/log.txt" 2>/dev/null | tail -20; exit 1; }

# Takes F6 screenshots (each waited for; the player writes a screenshot
# whole under its final name) until one matches golden/$1.png,
# at most 30 tries: the screen may still be changing when a key was taken.
shot=0
wait_screen() {
    tries=0
    while :; do
        xdotool key --clearmodifiers F6
        file=$(printf '%s/shots/*_%03d.png' "$HOME" $shot)
        n=0; until ls $file > /dev/null 2>&1; do
            n=$((n + 1)); [ $n -gt 100 ] && fail "no screenshot $shot"; sleep 0.1; done
        shot=$((shot + 1))
        convert $file -filter point -resize 128x128 -crop 128x117+0+11 +repage "$HOME/now.png"
        convert "$golden/$1.png" -crop 128x117+0+11 +repage "$HOME/want.png"
        [ "$(compare -metric AE "$HOME/now.png" "$HOME/want.png" null: 2>&1)" = 0 ] && return 0
        tries=$((tries + 1))
        if [ $tries -gt 30 ]; then
            cp $file "${TMPDIR:-/tmp}/$1.actual.png"
            fail "the screen is not $1 (last screenshot in ${TMPDIR:-/tmp}/$1.actual.png)"
        fi
    done
}
press() { xdotool keydown "$1"; sleep 0.2; xdotool keyup "$1"; sleep 0.3; }

"$orbo" -desktop "$HOME/shots" > /dev/null 2>&1 &
pid=$!
n=0; until win=$(xdotool search --name orbo 2>/dev/null | head -1) && [ -n "$win" ]; do
    n=$((n + 1)); [ $n -gt 100 ] && fail "no window"; sleep 0.1; done
n=0; until grep -q "boot: head cart loaded" "$root/log.txt" 2>/dev/null; do
    n=$((n + 1)); [ $n -gt 300 ] && fail "the boot did not load the head cart"; sleep 0.1; done
xdotool windowfocus --sync "$win" 2>/dev/null
wait_screen launcher
press Down
press z
wait_screen hopper
press p
press Up
press Up
press z
wait_screen launcher_back
grep -q "^0002000000000000" "$root/cdata/orbo_launcher.obd.txt" || fail "the pick is not in the cart data"
xdotool key --clearmodifiers ctrl+q
n=0; while kill -0 $pid 2>/dev/null; do n=$((n + 1)); [ $n -gt 100 ] && fail "did not quit"; sleep 0.1; done
echo "launcher: 3 screens passed"
