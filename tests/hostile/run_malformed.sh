#!/bin/sh
# Gives every malformed cartridge file of malformed.py to `orbo -x` and to
# `orbotool run`: each ends within 10 s (30 under sanitizers) with its
# expected status ("could not load NAME" and 1 for a file that does not
# load; a syntax error report for code that does not compile; 0 for one
# that loads and runs) and a peak resident memory under 100 MiB (300).
# usage: run_malformed.sh ORBO ORBOTOOL DIR
set -u
orbo=$1; orbotool=$2; dir=$3
. "$(dirname "$0")/../support/cart_home.sh"
seconds=10; peak=100; limit_as=yes
if [ "${ORBO_HOSTILE_SANITIZED:-0}" = 1 ]; then seconds=30; peak=300; limit_as=no; fi
mkdir "$work/files"
python3 "$dir/malformed.py" "$work/files" || exit 1
failures=0
check() {  # name mode expected-status output-text
    name=$1; mode=$2; want=$3; text=$4
    if [ "$mode" = orbo ]; then set -- "$orbo" -x "$work/files/$name"; else set -- "$orbotool" run "$work/files/$name"; fi
    start=$(date +%s%N)
    ( [ $limit_as = yes ] && ulimit -v $((768 * 1024)); exec timeout -s KILL $seconds /usr/bin/time -f '%M' -o "$work/rss.txt" "$@" ) \
        > "$work/out.txt" 2> "$work/err.txt"
    status=$?
    ms=$(( ($(date +%s%N) - start) / 1000000 ))
    rss=$(tail -1 "$work/rss.txt" 2>/dev/null)
    why=""
    [ $status = "$want" ] || why="exit status $status, not $want"
    [ -n "$text" ] && ! grep -qF -- "$text" "$work/out.txt" && why="$why; no output line with: $text"
    case $rss in *[!0-9]*|'') why="$why; no peak memory measured" ;;
        *) [ "$rss" -le $((peak * 1024)) ] || why="$why; peak memory $((rss / 1024)) MiB" ;; esac
    grep -q 'AddressSanitizer\|runtime error:' "$work/err.txt" && why="$why; sanitizer report"
    if [ -n "$why" ]; then
        echo "FAIL: $name ($mode) in $ms ms: $why"; tail -5 "$work/out.txt"; tail -5 "$work/err.txt"
        failures=$((failures + 1))
    else
        echo "ok $name ($mode) in $ms ms, $((rss / 1024)) MiB"
    fi
}
python3 "$dir/malformed.py" --list > "$work/list.txt"
while read -r name expect; do
    case $expect in
        1) check "$name" orbo 1 "could not load"; check "$name" orbotool 1 "could not load" ;;
        1r) check "$name" orbo 1 "syntax error"; check "$name" orbotool 0 "syntax error" ;;
        0) check "$name" orbo 0 ""; check "$name" orbotool 0 "frames:" ;;
    esac
done < "$work/list.txt"
[ $failures = 0 ]
