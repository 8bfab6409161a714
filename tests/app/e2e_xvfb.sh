#!/bin/sh
# End-to-end run of the player under a virtual X server (run through
# xvfb-run): start with a fresh HOME, wait for the boot to load the head
# cart by polling log.txt and for its drawing to fill the window, end with
# Ctrl+Q (first run) and Alt+F4 (second run), then check the log and the
# settings file; two runs resize the window; further runs start cartridges
# stuck in endless loops and quit them with Ctrl+Q or the window's close
# button. Optional: ORBO_E2E_SHOT=path
# saves a screenshot of the console screen.
# usage: e2e_xvfb.sh path/to/orbo
set -u
ORBO=$1
HOME=$(mktemp -d)
export HOME SDL_AUDIODRIVER=dummy
ROOT=$HOME/.hearthware/orbo
trap 'rm -rf "$HOME"' EXIT

fail() { echo "FAIL: $*"; [ -f "$ROOT/log.txt" ] && cat "$ROOT/log.txt"; exit 1; }

# Polls (every 0.1 s, at most $2 tenths) until the log holds the text $1.
wait_log() {
    n=0
    while ! grep -q "$1" "$ROOT/log.txt" 2>/dev/null; do
        n=$((n + 1))
        [ $n -gt "$2" ] && return 1
        sleep 0.1
    done
}

# Polls (every 0.2 s, at most $3 tries) until colour $2 (hex, upper case)
# covers most of the window $1 apart from the black borders around the
# scaled screen: proof that a cartridge draws in the window.
wait_colour() {
    n=0
    while :; do
        top=$(import -window "$1" png:- 2>/dev/null | convert - -format %c histogram:info:- 2>/dev/null |
              sort -rn | grep -v '#000000' | head -1 | grep -o '#[0-9A-F]\{6\}')
        [ "$top" = "$2" ] && return 0
        n=$((n + 1))
        [ $n -gt "$3" ] && { echo "window's main colour: $top"; return 1; }
        sleep 0.2
    done
}

# Polls until process $1 has ended (at most $2 tenths); sets STATUS.
wait_exit() {
    n=0
    while kill -0 "$1" 2>/dev/null; do
        n=$((n + 1))
        if [ $n -gt "$2" ]; then kill "$1"; wait "$1"; STATUS=timeout; return 1; fi
        sleep 0.1
    done
    wait "$1"
    STATUS=$?
}

# $1: key combination that ends the player; $2: the colour the running
# cartridge fills its screen with ("-": only wait for the first frame);
# further arguments go to the player.
run_once() {
    keys=$1; colour=$2; shift 2
    rm -f "$ROOT/log.txt"  # the wait must not see the previous run's log
    "$ORBO" "$@" > "$HOME/stdout.txt" 2>&1 &
    PID=$!
    wait_log "boot: head cart" 300 || { kill $PID; fail "boot did not reach the console"; }
    WIN=$(xdotool search --name orbo | head -1)
    [ -n "$WIN" ] || { kill $PID; fail "no window"; }
    if [ "$colour" = - ]; then
        wait_log "first frame presented" 300 || { kill $PID; fail "no frame presented"; }
    else
        wait_colour "$WIN" "$colour" 150 || { kill $PID; fail "the cartridge does not draw in the window"; }
    fi
    if [ -n "${ORBO_E2E_SHOT:-}" ]; then import -window root "$ORBO_E2E_SHOT"; fi
    [ -n "${AFTER_START:-}" ] && eval "$AFTER_START"
    xdotool windowfocus --sync "$WIN" 2>/dev/null || xdotool windowfocus "$WIN"
    sent=$(date +%s%N)
    if [ "$keys" = close ]; then python3 "$(dirname "$0")/wm_close.py" "$WIN"
    else xdotool key --clearmodifiers "$keys"; fi
    wait_exit $PID "${QUIT_TENTHS:-100}" || fail "player did not quit on $keys"
    QUIT_MS=$(( ($(date +%s%N) - sent) / 1000000 ))
    [ "$STATUS" = 0 ] || fail "exit status $STATUS after $keys"
}

# Checks that every pattern occurs in the file, in this order.
in_order() {
    file=$1; shift
    awk -v pats="$*" 'BEGIN { n = split(pats, p, "|"); i = 1 }
        i <= n && index($0, p[i]) { i++ }
        END { exit i <= n ? 1 : 0 }' "$file"
}

# The head cart (the launcher) clears its screen to colour 1 (#1C2448).
run_once ctrl+q "#1C2448"
in_order "$ROOT/log.txt" ">kiln_init|platform: Linux|kiln_system_init|kiln_reset_timer|kiln_gui_init|kiln_keys_init|kiln_text_init|kiln_video_init|kiln_mouse_init|kiln_joystick_init|kiln_load_pod|kiln_set_screen 128 128 8 100|first frame presented|boot: head cart loaded|>kiln_exit|cmusic_stop|kiln_main_exit|kiln_config_save|kiln_sound_exit|kiln_video_exit|kiln_joystick_exit|kiln_system_exit|kiln_items_created: 0" \
    || fail "log steps out of order"
tail -1 "$ROOT/log.txt" | grep -qx "ok" || fail "log does not end with ok"
in_order "$ROOT/config.txt" "// Configuration for orbo|window_size |screen_size |show_fps |windowed |window_position |frameless |fullscreen_method |foreground_sleep_ms |background_sleep_ms |sessions 1 |rmb_key |emulate_textinput |desktop_path|sound_volume |music_volume |mix_buffer_size |// :: |version 0.1.11f|root_path|cdata_path|joystick_index |button_keys |live_notes |cursor_snap |gif_len |gui_theme |screenshot_scale |gif_scale |shift_glyphs |show_backup_messages |host_framerate_control " \
    || fail "config.txt keys out of order"

run_once alt+F4 "#1C2448"
grep -q "^sessions 2 " "$ROOT/config.txt" || fail "sessions not counted up"

# Programs stuck in a loop, in finalizers and in resuming a coroutine that
# never ends: Ctrl+Q and the window's close button end the player within a
# second (three allowed on a loaded machine), the shutdown runs, and the
# settings and the data the program stored are saved.
stuck_runs=0
for body in 'while true do end' \
    'function _update() for i=1,100 do setmetatable({},{__gc=function() for j=1,200000 do end end}) end end' \
    'co=cocreate(function() while true do end end) while true do coresume(co) end'; do
    for keys in ctrl+q close; do
        stuck_runs=$((stuck_runs + 1))
        printf 'orbo cartridge // e2e\nversion 15\n__lua__\ncartdata("e2e_stuck") dset(0,%d) cls(8)\n%s\n' \
            $stuck_runs "$body" > "$HOME/stuck.ob"
        sessions=$(sed -n 's/^sessions \([0-9]*\).*/\1/p' "$ROOT/config.txt")
        QUIT_TENTHS=30 run_once $keys "#E0343F" "$HOME/stuck.ob" -run
        echo "stuck program $stuck_runs quit on $keys in $QUIT_MS ms"
        in_order "$ROOT/log.txt" ">kiln_exit|kiln_main_exit|kiln_config_save|kiln_system_exit" ||
            fail "stuck program $stuck_runs: no shutdown after $keys"
        grep -q "^sessions $((sessions + 1)) " "$ROOT/config.txt" || fail "stuck program $stuck_runs: settings not saved"
        head -c 8 "$ROOT/cdata/e2e_stuck.obd.txt" | grep -qx "000$(printf %x $stuck_runs)0000" ||
            fail "stuck program $stuck_runs: cart data $(head -c 8 "$ROOT/cdata/e2e_stuck.obd.txt")"
    done
done

# A window the user resizes keeps its size for the next start; one opened
# with -width/-height does not write those back.
AFTER_START="xdotool windowsize --sync \$WIN 700 500"
run_once ctrl+q - -windowed 1
AFTER_START=""
grep -q "^window_size 700 500 " "$ROOT/config.txt" || fail "resized window not remembered: $(grep ^window_size "$ROOT/config.txt")"
run_once ctrl+q - -windowed 1 -width 300 -height 200
grep -q "^window_size 700 500 " "$ROOT/config.txt" || fail "-width/-height written back"

# The capture keys in a real window: F6 writes a screenshot and F9 a GIF to
# the desktop folder, each answered on the message bar (colour 8).
capture_keys() {
    xdotool windowfocus --sync "$WIN" 2>/dev/null
    xdotool key --clearmodifiers F6
    n=0; until ls "$HOME/shots/"*_000.png > /dev/null 2>&1; do
        n=$((n + 1)); [ $n -gt 100 ] && return 1; sleep 0.1; done
    wait_colour_present "$WIN" "#E0343F" 50 || return 1
    xdotool key --clearmodifiers F9
    n=0; until ls "$HOME/shots/"*_0.gif > /dev/null 2>&1; do
        n=$((n + 1)); [ $n -gt 100 ] && return 1; sleep 0.1; done
}
# Polls until colour $2 shows anywhere in window $1 (at most $3 tries).
wait_colour_present() {
    n=0
    until import -window "$1" png:- 2>/dev/null | convert - -format %c histogram:info:- 2>/dev/null | grep -q "$2"; do
        n=$((n + 1)); [ $n -gt "$3" ] && return 1; sleep 0.2
    done
}
AFTER_START="capture_keys || { kill \$PID; fail 'capture keys: no file or no message'; }"
run_once ctrl+q - -desktop "$HOME/shots"
AFTER_START=""
identify "$HOME/shots/"*_000.png | grep -q "PNG 384x384" || fail "screenshot not 128 x 3"
[ "$(identify "$HOME/shots/"*_0.gif | wc -l)" -gt 1 ] || fail "GIF has no frames"
echo "e2e: 11 passed, 0 failed"
