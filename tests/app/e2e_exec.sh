#!/bin/sh
# -x runs without a display: a missing cartridge file exits 1 with
# "could not load", an existing one runs and, when its program ends,
# quits with status 0. Neither opens a window.
# usage: e2e_exec.sh path/to/orbo
set -u
ORBO=$1
HOME=$(mktemp -d)
export HOME SDL_AUDIODRIVER=dummy
unset DISPLAY WAYLAND_DISPLAY
trap 'rm -rf "$HOME"' EXIT
out=$(timeout 20 "$ORBO" -x "$HOME/missing.ob")
status=$?
[ $status = 1 ] || { echo "FAIL: missing cart gave status $status"; exit 1; }
echo "$out" | grep -qx "could not load $HOME/missing.ob" || { echo "FAIL: output: $out"; exit 1; }
printf 'orbo cartridge // test\nversion 15\n__lua__\nprint("hi")\n' > "$HOME/game.ob"
timeout 20 "$ORBO" -x "$HOME/game.ob" > /dev/null
status=$?
[ $status = 0 ] || { echo "FAIL: existing cart gave status $status"; exit 1; }

# -headless runs the loop without a window; SIGTERM shuts it down in order.
"$ORBO" -headless > "$HOME/out.txt" 2>&1 &
pid=$!
n=0
until grep -q "boot: head cart" "$HOME/.hearthware/orbo/log.txt" 2>/dev/null; do
    n=$((n + 1)); [ $n -gt 300 ] && { kill $pid; echo "FAIL: headless boot"; exit 1; }
    sleep 0.1
done
kill -TERM $pid
wait $pid
status=$?
[ $status = 0 ] || { echo "FAIL: headless SIGTERM gave status $status"; exit 1; }
grep -q "kiln_config_save" "$HOME/.hearthware/orbo/log.txt" && grep -q "^sessions 3 " "$HOME/.hearthware/orbo/config.txt" || { echo "FAIL: settings not written on SIGTERM"; exit 1; }
echo "exec: 3 passed, 0 failed"
