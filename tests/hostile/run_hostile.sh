#!/bin/sh
# Runs one hostile cartridge of tests/hostile through `orbo -x` or
# `orbotool run` under a wall-time and an address-space limit, and checks
# what its header comments ask for:
#   -- status: N          exit status of `orbo -x` (orbotool always 0)
#   -- expect: TEXT       a line of standard output containing TEXT (repeatable)
#   -- printh: TEXT       orbotool only: a line printh wrote, containing TEXT
#   -- reject: TEXT       no line of standard output contains TEXT
#   -- seconds: N         wall-time bound (default 10)
#   -- memory: N          address-space limit in MiB (default 768)
#   -- peak: N            peak resident memory bound in MiB (default 400)
#   -- maxcpu: N          orbotool's "cpu:" (mean load per frame) below N
#   -- frames: N          orbotool's --frames (the program never ends)
#   -- input: A;B;...     orbotool's --input, its lines separated by ";"
#   -- signal: on         SIGTERM once the program runs (its first console
#                         frame is out); the player must be gone soon after
#                         (within a second on an idle machine; exit status 0);
#                         not for orbotool when frames are given
#   -- files: on          the malformed cartridge files of malformed.py are
#                         written into the root's cstore/ folder first
#   -- prelude: on        prelude.lua (case and done) is put after __lua__
#   -- absent: PATH       after the run PATH (absolute, or relative to HOME)
#                         does not exist
#   -- cdata: ID DIGITS   the cart-data file ID.obd.txt begins with DIGITS
#   -- only: orbo|orbotool
# usage: run_hostile.sh orbo|orbotool BINARY DIR NAME
set -u
mode=$1; bin=$2; dir=$3; name=$4
cart=$dir/$name.ob
. "$(dirname "$0")/../support/cart_home.sh"
directive() { sed -n "s/^-- $1: //p" "$cart"; }
only=$(directive only)
if [ -n "$only" ] && [ "$only" != "$mode" ]; then echo "skip $name ($mode)"; exit 0; fi
seconds=$(directive seconds); seconds=${seconds:-10}
memory=$(directive memory); memory=${memory:-768}
frames=$(directive frames)
signal=$(directive signal)
want=$(directive status); want=${want:-0}
[ "$mode" = orbotool ] && want=0
[ "$mode" = orbotool ] && [ -n "$frames" ] && signal=
[ "$(directive files)" = on ] && python3 "$dir/malformed.py" "$root/cstore"
if [ "$(directive prelude)" = on ]; then
    sed "/^__lua__/r $dir/prelude.lua" "$cart" > "$work/$name.ob"
    cart=$work/$name.ob
fi
# Under sanitizers (ORBO_HOSTILE_SANITIZED=1): no address-space limit (the
# shadow memory needs terabytes), five times the time, three times the peak.
limit_as=yes
if [ "${ORBO_HOSTILE_SANITIZED:-0}" = 1 ]; then
    limit_as=no; seconds=$((seconds * 5))
fi
limit() { if [ $limit_as = yes ]; then ulimit -v $((memory * 1024)); fi; }
if [ "$mode" = orbotool ]; then
    set -- "$bin" run "$cart"
    [ -n "$frames" ] && set -- "$@" --frames "$frames"
    input=$(directive input)
    if [ -n "$input" ]; then
        printf '%s\n' "$input" | tr ';' '\n' > "$work/input.txt"
        set -- "$@" --input "$work/input.txt"
    fi
else
    set -- "$bin" -x "$cart"
fi
start=$(date +%s%N)
if [ -n "$signal" ]; then
    want=0
    ( limit; exec "$@" ) > "$work/out.txt" 2> "$work/err.txt" &
    pid=$!
    # The program runs once the player has printed its console's first
    # line, and has stored its data once its cart-data file appears (the
    # first periodic save); bounded polls.
    cdata_file=$(directive cdata | awk '{print $1}')
    n=0
    while ! grep -q '^\*\*' "$work/out.txt" && kill -0 $pid 2>/dev/null && [ $n -lt 100 ]; do
        sleep 0.05; n=$((n + 1))
    done
    while [ -n "$cdata_file" ] && [ ! -f "$root/cdata/$cdata_file.obd.txt" ] && kill -0 $pid 2>/dev/null && [ $n -lt 200 ]; do
        sleep 0.05; n=$((n + 1))
    done
    kill -TERM $pid 2>/dev/null
    sent=$(date +%s%N)
    n=0
    # One second is the aim; the bound allows a loaded machine three.
    while kill -0 $pid 2>/dev/null && [ $n -lt 30 ]; do sleep 0.1; n=$((n + 1)); done
    if kill -0 $pid 2>/dev/null; then
        kill -KILL $pid; wait $pid
        echo "FAIL: $name ($mode) still running 3 s after SIGTERM"; exit 1
    fi
    wait $pid; status=$?
    echo "answered SIGTERM in $(( ($(date +%s%N) - sent) / 1000000 )) ms"
else
    if [ -x /usr/bin/time ]; then
        set -- /usr/bin/time -f '%M' -o "$work/rss.txt" "$@"
    fi
    ( limit; exec timeout -s KILL "$seconds" "$@" ) > "$work/out.txt" 2> "$work/err.txt"
    status=$?
fi
ms=$(( ($(date +%s%N) - start) / 1000000 ))
fail() { echo "FAIL: $name ($mode): $*"; echo "--- stdout"; tail -40 "$work/out.txt"; echo "--- stderr"; tail -20 "$work/err.txt"; exit 1; }
[ $status = 137 ] && fail "killed after $seconds s (or out of its $memory MiB)"
[ $status = "$want" ] || fail "exit status $status, not $want"
[ $ms -le $((seconds * 1000)) ] || fail "took $ms ms, over $seconds s"
grep -q 'AddressSanitizer\|runtime error:' "$work/err.txt" && fail "sanitizer report"
peak=$(directive peak); peak=${peak:-400}
[ $limit_as = no ] && peak=$((peak * 3))
if [ -s "$work/rss.txt" ]; then
    rss=$(tail -1 "$work/rss.txt")
    case $rss in *[!0-9]*|'') ;; *) [ "$rss" -le $((peak * 1024)) ] || fail "peak memory $((rss / 1024)) MiB, over $peak MiB" ;; esac
fi
maxcpu=$(directive maxcpu)
if [ -n "$maxcpu" ] && [ "$mode" = orbotool ]; then
    cpu=$(sed -n 's/^cpu: //p' "$work/out.txt")
    [ -n "$cpu" ] && [ "${cpu%%.*}" -lt "$maxcpu" ] || fail "cpu $cpu, not below $maxcpu"
fi
directive expect > "$work/expect.txt"
while IFS= read -r text; do
    grep -qF -- "$text" "$work/out.txt" || fail "no output line with: $text"
done < "$work/expect.txt"
if [ "$mode" = orbotool ]; then
    directive printh > "$work/printh.txt"
    while IFS= read -r text; do
        grep "^printh: " "$work/out.txt" | grep -qF -- "$text" || fail "printh wrote no line with: $text"
    done < "$work/printh.txt"
fi
directive absent > "$work/absent.txt"
while IFS= read -r path; do
    case $path in /*) ;; *) path=$HOME/$path ;; esac
    [ -e "$path" ] && fail "$path was created"
done < "$work/absent.txt"
directive reject > "$work/reject.txt"
while IFS= read -r text; do
    grep -qF -- "$text" "$work/out.txt" && fail "an output line with: $text"
done < "$work/reject.txt"
directive cdata > "$work/cdata.txt"
while read -r id digits; do
    f=$root/cdata/$id.obd.txt
    [ -f "$f" ] || fail "no cart-data file $id.obd.txt"
    head -c ${#digits} "$f" | grep -qx -- "$digits" || fail "cart data $(head -1 "$f") does not begin with $digits"
done < "$work/cdata.txt"
echo "ok $name ($mode) in $ms ms"
