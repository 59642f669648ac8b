#!/usr/bin/env bash
# The read engine and the export writers against sqlite3 reading the same demo database, each
# writing a file; runs alternate and each figure is the median of several runs.
#   1,000,000 BSEG rows x the first ten columns (MANDT to SHKZG), in-process, vs sqlite3 -csv
#   peak memory of that export at 100,000 and at 1,000,000 rows
#   every KNA1 field (825 characters: several calls a page, joined by key) vs sqlite3 -csv
#   the first ZWIDE fields, 900+ characters, joined by key, vs sqlite3 -csv
#   the ten BSEG columns as an Excel workbook vs as CSV
#   the same million rows over SOAP through zorv-demo-server vs in-process
#   bench/export_bench.sh [build folder] [data folder] [runs]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build}
data=${2:-$root/build/bench-data}
runs=${3:-5}
zorv=$build/src/app/zorv
mkdir -p "$data"
export ZORV_HOME=$data
unset ZORV_DEMO_PROFILE ZORV_DEMO_MAX_ROWS
db=$data/demo.sqlite
if ! sqlite3 "$db" "select value from ZORV_META where name='scale'" 2>/dev/null | grep -qx 100 ||
    ! sqlite3 "$db" "select value from ZORV_META where name='version'" | grep -qx 4; then
    echo "building the demo database at scale 100 in $db"
    "$zorv" demo-db --scale 100 >/dev/null
fi

# query FILE ROWS TABLE [FIELD...]: a saved query of those fields; sets $columns.
source "$root/bench/query_document.sh"

measure() { # command... ; prints seconds and peak MB
    /usr/bin/time -f '%e %M' -o "$data/time.txt" "$@" >/dev/null 2>/dev/null
    read -r secs kb <"$data/time.txt"
    echo "$secs $((kb / 1024))"
}

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Runs two commands alternately; prints the median seconds and peak MB of each.
pair() { # label-a "command a" label-b "command b"
    local -a as am bs bm
    for _ in $(seq "$runs"); do
        read -r s m < <(measure bash -c "$2"); as+=("$s"); am+=("$m")
        read -r s m < <(measure bash -c "$4"); bs+=("$s"); bm+=("$m")
    done
    local a b
    a=$(printf '%s\n' "${as[@]}" | median)
    b=$(printf '%s\n' "${bs[@]}" | median)
    printf '  %-22s median %6.2f s  peak %4s MB   (runs: %s)\n' "$1" "$a" \
        "$(printf '%s\n' "${am[@]}" | sort -n | tail -1)" "${as[*]}"
    printf '  %-22s median %6.2f s  peak %4s MB   (runs: %s)\n' "$3" "$b" \
        "$(printf '%s\n' "${bm[@]}" | sort -n | tail -1)" "${bs[*]}"
    printf '  ratio %.2f\n' "$(awk -v a="$a" -v b="$b" 'BEGIN { print a / b }')"
}

ten=(MANDT BUKRS BELNR GJAHR BUZEI AUGDT AUGBL BSCHL KOART SHKZG)
query "$data/bseg.txt" 0 BSEG "${ten[@]}"
echo "BSEG, 1,000,000 rows x ${#ten[@]} columns, default page:"
pair "zorv export" "'$zorv' export '$data/bseg.txt' --output '$data/bseg.csv'" \
    "sqlite3 -csv" "sqlite3 -csv '$db' \"SELECT $columns FROM BSEG WHERE MANDT='100'\" > '$data/sqlite.csv'"
echo "  $(($(wc -l <"$data/bseg.csv") - 2)) rows written"

echo "Peak memory of the same export at 100,000 and 1,000,000 rows:"
query "$data/bseg100k.txt" 100000 BSEG "${ten[@]}"
read -r s m < <(measure "$zorv" export "$data/bseg100k.txt" --output "$data/bseg100k.csv")
echo "  100,000 rows: $s s, $m MB"
read -r s m < <(measure "$zorv" export "$data/bseg.txt" --output "$data/bseg.csv")
echo "  1,000,000 rows: $s s, $m MB"

query "$data/kna1.txt" 0 KNA1
echo "KNA1, every field ($(sqlite3 "$db" "select count(*) from KNA1 where MANDT='100'") rows, joined by key):"
pair "zorv export" "'$zorv' export '$data/kna1.txt' --output '$data/kna1.csv'" \
    "sqlite3 -csv" "sqlite3 -csv '$db' \"SELECT $columns FROM KNA1 WHERE MANDT='100'\" > '$data/sqlite.csv'"

# A My Table of 900+ characters: the first ZWIDE fields (several calls a page, joined by key).
mapfile -t wide < <("$zorv" read-table ZWIDE --no-data |
    awk -F'\t' 'NF == 5 && width < 900 { print $1; width += $3 }')
query "$data/zwide.txt" 0 ZWIDE "${wide[@]}"
echo "ZWIDE, ${#wide[@]} fields of 900+ characters ($(sqlite3 "$db" "select count(*) from ZWIDE where MANDT='100'") rows, joined by key):"
pair "zorv export" "'$zorv' export '$data/zwide.txt' --output '$data/zwide.csv'" \
    "sqlite3 -csv" "sqlite3 -csv '$db' \"SELECT $columns FROM ZWIDE WHERE MANDT='100'\" > '$data/sqlite.csv'"

echo "BSEG, 1,000,000 rows x ${#ten[@]} columns, workbook vs text:"
pair "zorv export .xlsx" "'$zorv' export '$data/bseg.txt' --output '$data/bseg.xlsx'" \
    "zorv export .csv" "'$zorv' export '$data/bseg.txt' --output '$data/bseg.csv'"

server=$build/tools/demo-server/zorv-demo-server
if [ -x "$server" ]; then
    "$server" --port 0 >"$data/server.txt" &
    server_pid=$!
    trap 'kill $server_pid 2>/dev/null' EXIT
    for _ in $(seq 50); do grep -q listening "$data/server.txt" && break; sleep 0.1; done
    url=$(awk '/listening/ { print $3 }' "$data/server.txt")
    echo "BSEG, 1,000,000 rows over SOAP (zorv-demo-server on loopback) vs in-process:"
    printf 'welcome\n' >"$data/password"
    pair "over SOAP" "'$zorv' export '$data/bseg.txt' --output '$data/soap.csv' --system '$url' --user DEMO --password-file '$data/password'" \
        "in-process" "'$zorv' export '$data/bseg.txt' --output '$data/bseg.csv'"
    cmp -s "$data/soap.csv" "$data/bseg.csv" && echo "  identical files" || echo "  FILES DIFFER"
fi
echo "reproduce: cmake --build build && bench/export_bench.sh build"
