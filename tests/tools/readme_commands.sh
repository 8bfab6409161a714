#!/bin/sh
# Runs the commands the README shows that need neither a display nor an
# input of the reader's own: every indented line starting with
# "build/release/orbotool" or "build/release/orbo -x" (and orbo --help and
# --version), from the source folder, with the built binaries. Each must
# exit 0. (The two install-and-build commands are what CI itself runs.)
# usage: readme_commands.sh SOURCE_DIR BUILD_DIR
set -u
src=$1; build=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work SDL_AUDIODRIVER=dummy
unset DISPLAY WAYLAND_DISPLAY
cd "$src" || exit 1
n=0
grep -E '^    build/release/orbo(tool)? ' README.md | sed 's/^    //; s/ *#.*//' | while read -r line; do
    case $line in
        *CART*|*FILE*|*"-record"*) continue ;;
        "build/release/orbotool "*|"build/release/orbo -x "*) ;;
        *) continue ;;
    esac
    cmd=$(echo "$line" | sed "s|^build/release/|$build/|")
    timeout 60 sh -c "$cmd" > "$work/out.txt" 2>&1 || { echo "FAIL ($?): $line"; cat "$work/out.txt"; exit 1; }
    n=$((n + 1))
    echo "ok: $line"
done || exit 1
"$build/orbo" --help > /dev/null && "$build/orbo" --version > /dev/null || { echo "FAIL: --help/--version"; exit 1; }
echo "readme commands: passed"
