#!/bin/sh
# Every corpus program, preprocessed, must be valid Lua 5.2 to the reference
# compiler (programs using the engine's own extensions - glyph names, binary
# literals - are skipped). Usage: luac_corpus.sh ORBOTOOL LUAC CORPUS_DIR
set -e
tool=$1 luac=$2 dir=$3
tmp=$(mktemp)
trap 'rm -f "$tmp"' EXIT
checked=0
for f in "$dir"/*.lua; do
    if LC_ALL=C grep -q -P '[\x80-\xff]|0b[01]' "$f"; then continue; fi
    "$tool" preprocess "$f" > "$tmp"
    "$luac" -p "$tmp" || { echo "not valid Lua after preprocessing: $f"; exit 1; }
    checked=$((checked + 1))
done
echo "$checked programs compile"
[ "$checked" -ge 15 ]
