#!/usr/bin/env bash
# Exports the same saved queries with two builds of zorv and compares the files byte for byte:
# seven demo tables, three queries each (some fields; all fields; a WHERE line with a row
# limit), each query at three page sizes. Then it compares the demo databases the two builds
# write. One line a query, a summary, and a non-zero exit on any difference.
#   tools/compare-exports.sh OLD_ZORV NEW_ZORV
set -euo pipefail
if [ $# -ne 2 ]; then
    echo "usage: $0 OLD_ZORV NEW_ZORV" >&2
    exit 2
fi
old=$(realpath "$1")
new=$(realpath "$2")
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Each build in a home of its own, so each reads the demo database it builds itself.
mkdir -p "$work/old" "$work/new" "$work/queries"
unset ZORV_DEMO_SCALE ZORV_PASSWORD
pages=(1000 7 50000)

# The queries are written once, from the new build's dictionary; both builds read the same.
# shellcheck source=../bench/query_document.sh
source "$root/bench/query_document.sh"
zorv=$new
data=$work
export ZORV_HOME=$work/new

# table | some of its fields | WHERE lines split by ";", each a condition on a field of the
# table and its conjunction after it, as the option editor writes them | the row limit
tables=(
    "T001|BUKRS BUTXT WAERS|T001-LAND1 EQ 'PT' OR;T001-WAERS EQ 'USD'|2"
    "KNA1|KUNNR NAME1 ORT01|KNA1-KUNNR LE '0000000200' AND;KNA1-ORT01 NOT LIKE 'L%'|40"
    "MARA|MATNR MTART BRGEW NTGEW|MARA-MTART IN ('FERT','HAWA')|60"
    "VBAP|VBELN POSNR NETWR WAERK|VBAP-NETWR GT '1000' AND;VBAP-WERKS EQ '1000'|300"
    "BSEG|BELNR BUZEI KOART DMBTR SGTXT|BSEG-KOART EQ 'S' AND;BSEG-DMBTR BETWEEN '100' AND '50000'|700"
    "ZWIDE|ZROW ZC0001 ZC0090|ZWIDE-ZROW LE 000030|25"
    "ZTYPES|ZCHAR ZDATS ZDEC ZRAW|ZTYPES-ZCHAR NE ' '|2"
)

# Puts WHERE lines into a query written by query(), in place of its empty option count.
with_options() { # file lines
    local body i=1 line
    local -a lines
    IFS=';' read -r -a lines <<<"$2"
    body=$(sed '$d' "$1")
    {
        printf '%s\n%-13s %s \r\n' "$body" "SOP" "${#lines[@]}"
        for line in "${lines[@]}"; do
            printf 'ssOption %03d %s\r\n' "$i" "$line"
            i=$((i + 1))
        done
    } >"$1"
}

queries=()
for entry in "${tables[@]}"; do
    IFS='|' read -r table some where limit <<<"$entry"
    # shellcheck disable=SC2086 # the field names are words
    query "$work/queries/$table-some.txt" 0 "$table" $some
    query "$work/queries/$table-all.txt" 0 "$table"
    query "$work/queries/$table-where.txt" "$limit" "$table"
    with_options "$work/queries/$table-where.txt" "$where"
    queries+=("$table-some" "$table-all" "$table-where")
done

# The export of a query by one build at one page size. A failed run leaves the first line of
# its message as the file, so that failing differently is a difference too, and is counted as failed.
failed=0
export_with() { # program home query rows output
    ZORV_HOME=$2 "$1" export "$work/queries/$3.txt" --output "$5" --page-rows "$4" \
        >/dev/null 2>"$5.err" && return 0
    # The message without the file's name, which differs between the two builds' folders.
    head -n 1 "$5.err" >"$5"
    echo "  $3 at $4 rows a page failed with $1: $(head -n 1 "$5.err")"
    failed=$((failed + 1))
}

differences=0
compared=0
for name in "${queries[@]}"; do
    line="$name:"
    for rows in "${pages[@]}"; do
        export_with "$old" "$work/old" "$name" "$rows" "$work/old/$name-$rows.csv"
        export_with "$new" "$work/new" "$name" "$rows" "$work/new/$name-$rows.csv"
        a=$(sha256sum <"$work/old/$name-$rows.csv" | cut -c1-12)
        b=$(sha256sum <"$work/new/$name-$rows.csv" | cut -c1-12)
        lines=$(wc -l <"$work/new/$name-$rows.csv")
        compared=$((compared + 1))
        if [ "$a" = "$b" ]; then
            line+=" $rows=same($a,$lines lines)"
        else
            line+=" $rows=DIFFERENT(old $a, new $b)"
            differences=$((differences + 1))
        fi
    done
    echo "$line"
done

# The demo databases as each build writes them, compared through their SQL text; on a
# difference, the first lines that differ.
dump() { # program home
    local path
    path=$(ZORV_HOME=$2 "$1" demo-db 2>/dev/null | tail -n 1)
    sqlite3 "$path" .dump >"$2.sql"
    sha256sum <"$2.sql" | cut -c1-12
}
old_db=$(dump "$old" "$work/old")
new_db=$(dump "$new" "$work/new")
if [ "$old_db" = "$new_db" ]; then
    echo "demo database: same ($old_db, $(wc -l <"$work/new.sql") lines of SQL)"
else
    echo "demo database: DIFFERENT (old $old_db, new $new_db)"
    diff "$work/old.sql" "$work/new.sql" | head -n 6 | cut -c1-160 || true
    differences=$((differences + 1))
fi
compared=$((compared + 1))

echo "$((compared - differences)) same, $differences different of $compared compared; $failed exports failed"
[ "$differences" -eq 0 ] && [ "$failed" -eq 0 ]
