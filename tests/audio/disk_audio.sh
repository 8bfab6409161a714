#!/bin/sh
# The real device path: the player in a window (under xvfb-run) plays a
# one-shot sweep through SDL's disk audio driver; the samples it wrote
# contain, at some start offset, exactly what `orbotool run --wav` renders
# for the same cartridge.
# Then a looping tone goes silent on Ctrl+M (mute), sounds again on the
# second Ctrl+M, and goes silent while the pause menu is open.
# usage: disk_audio.sh ORBO ORBOTOOL SWEEP_CART TONE_CART
set -u
orbo=$1; tool=$2; cart=$3; tone=$4
work=$(mktemp -d)
trap 'kill $pid 2>/dev/null; rm -rf "$work"' EXIT
HOME=$work
export HOME SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$work/out.raw
"$tool" run "$cart" --frames 30 --wav "$work/expected.wav" > /dev/null || { echo "FAIL: orbotool"; exit 1; }
"$orbo" "$cart" -run -windowed 1 > /dev/null 2>&1 &
pid=$!
# Polls (0.1 s, at most 30 s) until the device has written $1 bytes.
wait_bytes() {
    n=0
    while [ "$(stat -c %s "$work/out.raw" 2>/dev/null || echo 0)" -lt "$1" ]; do
        n=$((n + 1)); [ $n -gt 300 ] && { echo "FAIL: the device wrote no sound"; exit 1; }
        sleep 0.1
    done
}
wait_bytes 264600  # 6 s
kill $pid
wait $pid
python3 - "$work/expected.wav" "$work/out.raw" <<'PY'
import sys, wave
w = wave.open(sys.argv[1])
want = w.readframes(w.getnframes())
got = open(sys.argv[2], "rb").read()
start = next(i for i in range(0, len(want), 2) if want[i:i + 2] != b"\0\0")
end = max(i for i in range(0, len(want), 2) if want[i:i + 2] != b"\0\0") + 2
sound = want[start:end]
at = got.find(sound[:4000])
if at < 0 or at % 2:
    sys.exit("FAIL: the sweep is not in the device's output")
if got[at:at + len(sound)] != sound:
    sys.exit("FAIL: the device's samples differ from the rendering")
print(f"disk audio: {len(sound) // 2} samples equal at byte {at}")
PY
[ $? = 0 ] || exit 1

rm -f "$work/out.raw"
"$orbo" "$tone" -run -windowed 1 > /dev/null 2>&1 &
pid=$!
wait_bytes 264600
win=$(xdotool search --name orbo | head -1)
xdotool windowfocus --sync "$win" 2>/dev/null
# $1: the key; the device's output from two seconds after it (room for a
# loaded machine), for one second, must be silent ($2 = silent) or sounding
# ($2 = sounding).
after_key() {
    at=$(stat -c %s "$work/out.raw")
    # Held for several frames: a tap shorter than a frame may fall between
    # two samples of the keyboard.
    xdotool keydown "$1"; sleep 0.3; xdotool keyup "$1"
    wait_bytes $((at + 132300))
    python3 - "$work/out.raw" "$at" "$2" "$1" <<'PY' || { kill $pid; exit 1; }
import sys
raw = open(sys.argv[1], "rb").read()
at = int(sys.argv[2])
part = raw[at + 88200:at + 132300]
silent = part.count(0) == len(part)
if silent != (sys.argv[3] == "silent"):
    sys.exit(f"FAIL: not {sys.argv[3]} two seconds after {sys.argv[4]}")
PY
}
after_key ctrl+m silent
after_key ctrl+m sounding
after_key Escape silent
kill $pid
wait $pid
echo "disk audio: 2 passed, 0 failed"
