#!/bin/sh
# Fails when a global of the API table is named in no cartridge of the
# suite (tests/carts and its subfolders), so a new binding cannot go
# untested and a removed cart cannot silently drop one. A name counts when
# a cartridge calls it (the name, then "(") or is that one short command.
# usage: api_coverage.sh API_TABLE_H CARTS_DIR
set -u
table=$1; carts=$2
names=$(sed -n 's/^ *X(\([A-Za-z_0-9]*\),.*/\1/p' "$table")
[ -n "$names" ] || { echo "FAIL: no names read from $table"; exit 1; }
files=$(find "$carts" -name '*.ob')
missing=""
for n in $names; do
    grep -qE -e "(^|[^A-Za-z0-9_.])$n *\\(" -e "^$n( .*)?\$" $files || missing="$missing $n"
done
if [ -n "$missing" ]; then
    echo "FAIL: named in no cartridge:$missing"
    exit 1
fi
echo "ok: $(echo $names | wc -w) globals covered"
