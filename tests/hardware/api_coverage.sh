#!/bin/sh
# Fails when a global of the API table (or a helper of the program header)
# is named in no cartridge of the suite (tests/carts and its subfolders),
# so a new binding cannot go untested and a removed cart cannot silently
# drop one. A name counts when
# a cartridge calls it (the name, then "(") or is that one short command.
# usage: api_coverage.sh API_TABLE_H CARTS_DIR
set -u
table=$1; carts=$2
names=$(sed -n 's/^ *X(\([A-Za-z_0-9]*\),.*/\1/p' "$table")
[ -n "$names" ] || { echo "FAIL: no names read from $table"; exit 1; }
# The program header defines these for every program.
names="$names menuitem all foreach count add del"
# The code of every cartridge, comments taken out.
code=$(mktemp)
trap 'rm -f "$code"' EXIT
find "$carts" -name '*.ob' -exec sed 's/--.*//' {} + > "$code"
missing=""
for n in $names; do
    grep -qE -e "(^|[^A-Za-z0-9_.])$n *\\(" -e "^$n( .*)?\$" "$code" || missing="$missing $n"
done
if [ -n "$missing" ]; then
    echo "FAIL: named in no cartridge:$missing"
    exit 1
fi
echo "ok: $(echo $names | wc -w) globals covered"
