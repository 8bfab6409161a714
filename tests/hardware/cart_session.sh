#!/bin/sh
# Cartridge runs that need more than one run per HOME or a controlled host:
#   cdata_roundtrip  run 1 writes cart data, the file must be exactly the
#                    520 bytes expected, run 2 (orbo -x) reads it back,
#                    and so does run 3 from the file with CR LF line ends;
#   cdata_hostile    ids of every refused kind: each run reports its refusal
#                    and no file appears anywhere;
#   folders          mkdir, cd, cstore and reload with names that climb out
#                    of their folder: only the cart's inside folders appear
#                    and no file is written;
#   folder           `folder` hands the cartridge folder to xdg-open (a fake
#                    one here, so no browser ever opens);
#   cdata_load       words set just before a load reach the cart-data file;
#   board            a cartridge run from the board folder uses dget/dset
#                    without cartdata (and the same file elsewhere cannot).
# usage: cart_session.sh ORBO ORBOTOOL SESSIONS_DIR SCENARIO
set -u
orbo=$1; tool=$2; dir=$3; scenario=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
HOME=$work/home
export HOME SDL_AUDIODRIVER=dummy
unset DISPLAY WAYLAND_DISPLAY
root=$HOME/.hearthware/orbo
mkdir -p "$root"
printf 'host_framerate_control 0\n' > "$root/config.txt"
fail() { echo "FAIL: $*"; exit 1; }

# Files under HOME apart from the ones every run writes.
user_files() { find "$HOME" -type f ! -name log.txt ! -name config.txt ! -name sdl_controllers.txt | sort; }

case $scenario in
cdata_load)
    "$tool" run "$dir/cdata_load.ob" --frames 5 > "$work/out.txt" || fail "run exited with $?"
    head -c 8 "$root/cdata/orbo_before_load.obd.txt" 2>/dev/null | grep -qx 00070000 \
        || { cat "$work/out.txt"; fail "the words set before load were lost"; }
    ;;
board)
    mkdir -p "$root/bbs"
    cp "$dir/board_data.ob" "$root/bbs/board_game-2.ob"
    "$orbo" -x "$root/bbs/board_game-2.ob" > "$work/out.txt" || { cat "$work/out.txt"; fail "board run exited with $?"; }
    grep -q 'runtime error\|assert' "$work/out.txt" && { cat "$work/out.txt"; fail "board run reported an error"; }
    "$orbo" -x "$dir/board_data.ob" > "$work/out2.txt"
    grep -q 'dset called before cartdata' "$work/out2.txt" || { cat "$work/out2.txt"; fail "dset worked outside the board folder"; }
    [ -z "$(user_files | grep -v '/bbs/')" ] || fail "data without a store was saved"
    ;;
cdata_roundtrip)
    "$tool" run "$dir/cdata_write.ob" > "$work/out1.txt" || fail "run 1 exited with $?"
    grep -q 'runtime error\|assert' "$work/out1.txt" && { cat "$work/out1.txt"; fail "run 1 reported an error"; }
    file=$root/cdata/orbo_roundtrip.obd.txt
    [ -f "$file" ] || fail "run 1 wrote no $file"
    zero=00000000
    z8=$zero$zero$zero$zero$zero$zero$zero$zero
    {
        echo "0001800000000034$zero$zero$zero$zero${zero}ffff0000"
        echo "00000001$zero$zero$zero$zero$zero$zero$zero"
        for i in 2 3 4 5 6; do echo "$z8"; done
        echo "$zero$zero$zero$zero$zero$zero${zero}7fffffff"
    } > "$work/expected.txt"
    [ "$(wc -c < "$file")" = 520 ] || fail "cart data file is $(wc -c < "$file") bytes, not 520"
    cmp "$file" "$work/expected.txt" || { diff "$work/expected.txt" "$file"; fail "cart data file differs"; }
    "$orbo" -x "$dir/cdata_read.ob" > "$work/raw2.txt" || fail "run 2 exited with $?"
    grep -vxF -f "$root/log.txt" "$work/raw2.txt" > "$work/out2.txt"
    printf '** \n' > "$work/expected2.txt"
    diff -u "$work/expected2.txt" "$work/out2.txt" || fail "run 2 reported an error"
    # Run 2 saved the same words back; lines ending in CR LF load the same.
    cmp "$file" "$work/expected.txt" || fail "run 2 changed the file"
    sed 's/$/\r/' "$work/expected.txt" > "$file"
    "$tool" run "$dir/cdata_read.ob" > "$work/out3.txt" || fail "run 3 exited with $?"
    grep -q 'runtime error\|assert' "$work/out3.txt" && { cat "$work/out3.txt"; fail "CR LF file not read"; }
    ;;
cdata_hostile)
    long=a234567890123456789012345678901234567890123456789012345678901234
    before=$(user_files)
    for id in "Orbo" "$(printf 'caf\303\251')" "$(printf 'x\377')" "a/b" "../escape" ".." "/tmp/x" \
              "" "${long}5" "a.b" "a b" "a-b" "$(printf 'a\nb')"; do
        case $id in
            "" | "${long}5") want="cart data id too long" ;;
            *) want="cart data id: bad char" ;;
        esac
        "$tool" run "$dir/cdata_hostile.ob" --param "$id" > "$work/out.txt" || fail "id [$id]: exit $?"
        grep -qxF "** $want" "$work/out.txt" || { cat "$work/out.txt"; fail "id [$id]: no \"$want\""; }
        [ "$(user_files)" = "$before" ] || { user_files; fail "id [$id] created a file"; }
    done
    [ -z "$(find "$work" -maxdepth 1 -newer "$root/config.txt" ! -name home ! -path "$work" ! -name 'out*.txt')" ] \
        || fail "a file appeared beside HOME"
    ;;
folders)
    # A first run shows the folders start-up makes; after the hostile run
    # the only new ones are the cart's own, under the cartridge root.
    "$tool" run "$dir/nothing.ob" > /dev/null || fail "baseline exit $?"
    find "$work" -type d | sort > "$work/before.txt"
    find "$work" -type f | sort > "$work/files_before.txt"
    "$tool" run "$dir/api_hostile_folders.ob" > "$work/out.txt" || fail "exit $?"
    printf '** \n' > "$work/expected.txt"
    grep -v '^frames: \|^cpu: ' "$work/out.txt" | diff -u "$work/expected.txt" - || fail "the cart reported an error"
    find "$work" -type d | sort | comm -13 "$work/before.txt" - > "$work/extra.txt"
    printf '%s\n' "$root/carts/7" "$root/carts/inside" "$root/carts/inside/deeper" > "$work/expected_dirs.txt"
    diff -u "$work/expected_dirs.txt" "$work/extra.txt" || fail "unexpected folders"
    find "$work" -type f | sort | comm -13 "$work/files_before.txt" - | grep -v "^$work/[a-z_]*\.txt$" \
        > "$work/new_files.txt"
    [ -s "$work/new_files.txt" ] && { cat "$work/new_files.txt"; fail "refused names wrote files"; }
    ;;
folder)
    mkdir -p "$work/bin"
    printf '#!/bin/sh\nprintf "%%s\\n" "$@" >> "%s/launched.txt"\n' "$work" > "$work/bin/xdg-open"
    chmod +x "$work/bin/xdg-open"
    PATH=$work/bin:$PATH "$tool" run "$dir/cmd_folder.ob" > "$work/out.txt" || fail "exit $?"
    [ -f "$work/launched.txt" ] || fail "xdg-open was not launched"
    [ "$(wc -l < "$work/launched.txt")" = 1 ] || fail "xdg-open got $(wc -l < "$work/launched.txt") arguments"
    path=$(cat "$work/launched.txt")
    case $path in "$root"/*) ;; *) fail "folder opened $path, outside $root" ;; esac
    [ -d "$path" ] || fail "folder opened $path, which is no folder"
    grep -q "launch: \[xdg-open \"$path\"\]" "$root/log.txt" || fail "no launch line in the log"
    ;;
*) fail "unknown scenario $scenario" ;;
esac
echo "ok $scenario"
