#!/bin/sh
# -x runs without a display: a missing cartridge file exits 1 with
# "could not load", an existing one runs and, when its program ends,
# quits with status 0 (also after stop), and with 1 when the program fails
# (runtime or syntax error). Neither opens a window. Without data.pod or a
# display the player says so and exits 1; -h and --version answer at once.
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
for case in 'stop("bye"):0' 'x = nil + 1:1' 'x = = 1:1' 'poke(0x8000, 1) flip() print("after"):1'; do
    code=${case%:*}; want=${case##*:}
    printf 'orbo cartridge // test\nversion 15\n__lua__\n%s\n' "$code" > "$HOME/case.ob"
    timeout 20 "$ORBO" -x "$HOME/case.ob" > /dev/null
    status=$?
    [ $status = "$want" ] || { echo "FAIL: '$code' gave status $status, not $want"; exit 1; }
done
# -glitch_test: the cartridge is reset over and over, a screenshot before
# each restart, and the player exits 0 after the 48th.
printf 'orbo cartridge // g\nversion 15\n__lua__\nfunction _update() end\nfunction _draw() cls(2) end\n' > "$HOME/g.ob"
timeout 60 "$ORBO" -x "$HOME/g.ob" -glitch_test 1 -desktop "$HOME/shots" -foreground_sleep_ms 0 -background_sleep_ms 0 > /dev/null
status=$?
[ $status = 0 ] && [ "$(ls "$HOME/shots" | grep -c '_0[0-4][0-9].png$')" = 48 ] || { echo "FAIL: glitch test gave $status, $(ls "$HOME/shots" | wc -l) shots"; exit 1; }
# The data file is looked for beside the executable.
mkdir "$HOME/bare" && cp "$ORBO" "$HOME/bare/orbo"
out=$(timeout 20 "$HOME/bare/orbo" -x "$HOME/game.ob")
status=$?
[ $status = 1 ] && echo "$out" | grep -q "$HOME/bare/data.pod" || { echo "FAIL: no data.pod gave $status: $out"; exit 1; }
# No display and neither -x nor -headless: a message, not an invisible window.
err=$(timeout 20 "$ORBO" 2>&1 >/dev/null)
status=$?
[ $status = 1 ] && echo "$err" | grep -q "no display available" || { echo "FAIL: no display gave $status: $err"; exit 1; }
"$ORBO" --help | grep -q "^usage: orbo" && "$ORBO" -h -x nothing.ob | grep -q "^Keys:" || { echo "FAIL: help"; exit 1; }
[ "$("$ORBO" --version)" = "orbo 0.1.11f" ] || { echo "FAIL: version"; exit 1; }

# -headless runs the loop without a window; SIGTERM shuts it down in order.
before=$(sed -n 's/^sessions \([0-9]*\) .*/\1/p' "$HOME/.hearthware/orbo/config.txt")
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
grep -q "kiln_config_save" "$HOME/.hearthware/orbo/log.txt" && grep -q "^sessions $((before + 1)) " "$HOME/.hearthware/orbo/config.txt" || { echo "FAIL: settings not written on SIGTERM"; exit 1; }
echo "exec: 9 passed, 0 failed"
