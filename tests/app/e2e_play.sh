#!/bin/sh
# Playing in a real window (run through xvfb-run): keys held with xdotool
# move a cartridge's block, P opens the pause menu (its white frame shows),
# O continues; the session is recorded with -record, and the recording
# replayed headless by `orbotool run --input` ends on the same screen as the
# session's own F6 screenshot, with the block moved.
# usage: e2e_play.sh ORBO ORBOTOOL CART
set -u
orbo=$1; tool=$2; cart=$3
HOME=$(mktemp -d)
export HOME SDL_AUDIODRIVER=dummy
trap 'kill $pid 2>/dev/null; rm -rf "$HOME"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
# Polls until colour $2 shows anywhere in window $1 ($3 = present or absent).
wait_colour() {
    n=0
    while :; do
        if import -window "$1" png:- 2>/dev/null | convert - -format %c histogram:info:- 2>/dev/null | grep -q "$2"; then
            [ "$3" = present ] && return 0
        else
            [ "$3" = absent ] && return 0
        fi
        n=$((n + 1)); [ $n -gt 100 ] && return 1; sleep 0.1
    done
}

"$orbo" -record "$HOME/rec.txt" -desktop "$HOME/shots" -windowed 1 -width 400 -height 400 "$cart" -run > /dev/null 2>&1 &
pid=$!
n=0; until win=$(xdotool search --name orbo 2>/dev/null | head -1) && [ -n "$win" ]; do
    n=$((n + 1)); [ $n -gt 100 ] && fail "no window"; sleep 0.1; done
# The cartridge runs once its pink fills most of the window (the boot and the
# head cart show pink too, but never as the main colour).
n=0; until import -window "$win" png:- 2>/dev/null | convert - -format %c histogram:info:- 2>/dev/null |
             sort -rn | head -1 | grep -q "#FF6F9C"; do
    n=$((n + 1)); [ $n -gt 150 ] && fail "the cartridge does not draw"; sleep 0.2; done
xdotool windowfocus --sync "$win" 2>/dev/null
# Keys are held for many frames (a press shorter than a frame may be missed,
# in play as in a recording); what the replay must match is what was recorded.
hold() { xdotool keydown "$1"; sleep "$2"; xdotool keyup "$1"; sleep 0.3; }
hold Right 0.5
hold p 0.3
wait_colour "$win" "#F6F2E9" present || fail "the pause menu did not open"
hold z 0.3
wait_colour "$win" "#F6F2E9" absent || fail "the pause menu did not close"
xdotool key F6
n=0; until ls "$HOME/shots/"*_000.png > /dev/null 2>&1; do
    n=$((n + 1)); [ $n -gt 100 ] && fail "no screenshot"; sleep 0.1; done
xdotool key --clearmodifiers ctrl+q
n=0; while kill -0 $pid 2>/dev/null; do n=$((n + 1)); [ $n -gt 100 ] && fail "did not quit"; sleep 0.1; done

head -1 "$HOME/rec.txt" | grep -q "^# seed [0-9]" || fail "recording has no seed line"
grep -q " 0:6" "$HOME/rec.txt" || fail "the pause button is not in the recording"
last=$(grep -v '^#' "$HOME/rec.txt" | awk '{print $1}' | sort -n | tail -1)
"$tool" run "$cart" --input "$HOME/rec.txt" --frames $((last + 30)) --screenshot "$HOME/replay.png" > "$HOME/replay.txt" \
    || fail "replay failed"
moved=$(grep '^printh: ' "$HOME/replay.txt" | tail -1)
[ -n "$moved" ] && [ "$moved" != "printh: 20 60" ] || fail "the block did not move in the replay"
convert "$HOME/shots/"*_000.png -filter point -resize 128x128 "$HOME/session.png"
[ "$(compare -metric AE "$HOME/session.png" "$HOME/replay.png" null: 2>&1)" = 0 ] \
    || fail "the replay's last screen differs from the session's ($moved)"
echo "play: 3 passed, 0 failed"
