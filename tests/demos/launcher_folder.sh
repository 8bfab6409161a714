#!/bin/sh
# The launcher with a hostile carts folder ("cstore/" under a fresh HOME):
# 300 files that are no cartridges, a huge one, a directory, a pipe, a
# dangling link and an unreadable file named like cartridges, a PNG that
# does not decode and one of another size; among them a text cartridge with a label whose name has
# a glyph and spaces, and a PNG cartridge. Run by `orbotool run` with
# scripted input: the launcher lists exactly the two that load (after the
# five built-in ones), reads the folder without a costly frame (the scan
# alone stays below 0.4 of the CPU budget), loads each with the
# breadcrumb, comes back to it, highlights the last pick (the last frame
# is compared with launcher_folder.png) and keeps it in its cart-data file.
# usage: launcher_folder.sh ORBOTOOL SOURCE_DIR
set -u
tool=$1; src=$2; here=$src/tests/demos
. "$src/tests/support/cart_home.sh"
fail() { echo "FAIL: $*"; cat "$work/out.txt" 2>/dev/null; exit 1; }
store=$root/cstore
mkdir -p "$store/folder.ob"
i=0
while [ $i -lt 300 ]; do
    head -c $((i * 7 % 900 + 1)) /dev/urandom > "$store/junk_$i.ob"
    i=$((i + 1))
done
{ echo "orbo cartridge // too big"; head -c 2000000 /dev/zero | tr '\0' '-'; } > "$store/huge.ob"
mkfifo "$store/pipe.ob"
ln -s "$store/nowhere.ob" "$store/gone.ob"
printf '\211PNG\r\n\032\n not a picture' > "$store/broken.ob.png"
cp "$src/docs/screenshot.png" "$store/big picture.ob.png"  # a PNG, not of a cartridge's size
cp "$here/user_game.ob" "$store/secret.ob"; chmod 000 "$store/secret.ob"
[ -r "$store/secret.ob" ] && printf 'x' > "$store/secret.ob"  # root reads anything
cp "$here/user_game.ob" "$store/my ★ game.ob"
"$tool" convert "$src/data/carts/prism.ob" "$store/prism copy.ob.png" > /dev/null || fail "convert"

# The scan alone: no input, until every file was looked at.
timeout 60 "$tool" run "$src/data/carts/launcher.ob" --frames 170 --seed 1 > "$work/out.txt" || fail "scan run"
cpu=$(sed -n 's/^cpu: //p' "$work/out.txt")
awk -v c="$cpu" 'BEGIN { exit !(c < 0.4) }' || fail "the scan costs $cpu of the budget"
[ "$(grep '^printh: found ' "$work/out.txt")" = "$(printf 'printh: found my ★ game.ob\nprinth: found prism copy.ob.png')" ] \
    || fail "the launcher lists other files than the two cartridges"

timeout 120 "$tool" run "$src/data/carts/launcher.ob" --input "$here/launcher_folder.input" --frames 880 --seed 1 --screenshot "$work/shot.png" \
    > "$work/out.txt" || fail "play run"
if [ "${ORBO_UPDATE_GOLDEN:-0}" = 1 ]; then
    grep -v '^cpu: ' "$work/out.txt" > "$here/launcher_folder.out"; cp "$work/shot.png" "$here/launcher_folder.png"
fi
grep -v '^cpu: ' "$work/out.txt" | diff -u "$here/launcher_folder.out" - || fail "output differs"
cmp -s "$work/shot.png" "$here/launcher_folder.png" || { cp "$work/shot.png" /tmp/launcher_folder.actual.png; fail "last frame differs (actual in /tmp/launcher_folder.actual.png)"; }
# cart data: 8 lines of 64 hex digits, dget(0) = 7 (16.16) first.
head -1 "$root/cdata/orbo_launcher.obd.txt" | grep -q '^0007000000000000' || fail "last pick not stored: $(head -1 "$root/cdata/orbo_launcher.obd.txt")"
echo "ok launcher folder (scan cpu $cpu)"
