#!/usr/bin/env bash
# Exports 1,000,000 BSEG rows (10 fields) with `zorv export` and the same columns with
# `sqlite3 -csv` from the same demo database; prints both times, the ratio and the peak memory
# of each. Then 100,000 rows, and a My Table wider than 512 characters (three pieces).
#   bench/export_bench.sh [build folder] [data folder]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build}
data=${2:-$root/build/bench-data}
zorv=$build/src/app/zorv
mkdir -p "$data"
export ZORV_HOME=$data
db=$data/demo.sqlite
if ! sqlite3 "$db" "select value from ZORV_META where name='scale'" 2>/dev/null | grep -qx 100; then
    echo "building the demo database at scale 100 in $db"
    "$zorv" demo-db --scale 100 >/dev/null
fi

# A saved query: key fields, then the fields with their lengths and texts as My Table keeps them.
query() { # file rows table field:type:length:text...
    local file=$1 rows=$2 table=$3
    shift 3
    {
        printf 'MyTableF     %s\r\nChSsl        False\r\nChRow        True\r\nsRows         %s \r\nSFI           %s \r\n' \
            "$data/unused.csv" "$rows" "$#"
        local i=1
        for f in "$@"; do
            IFS=: read -r name type length text <<<"$f"
            printf 'ssField  %03d %s%03d %s-%s %s\r\n' "$i" "$type" "$length" "$table" "$name" "$text"
            i=$((i + 1))
        done
        printf 'SOP           0 \r\n'
    } >"$file"
}

measure() { # label command... ; prints seconds and peak MB
    /usr/bin/time -f '%e %M' -o "$data/time.txt" "$@" >/dev/null 2>/dev/null
    read -r secs kb <"$data/time.txt"
    echo "$secs $((kb / 1024))"
}

bseg=(BUKRS:C:4:Company BELNR:C:10:Document GJAHR:N:4:Year BUZEI:N:3:Item AUGDT:D:8:Clearing
      BSCHL:C:2:Key SHKZG:C:1:Sign DMBTR:P:13:Amount HKONT:C:10:Account KUNNR:C:10:Customer)
columns="BUKRS,BELNR,GJAHR,BUZEI,AUGDT,BSCHL,SHKZG,DMBTR,HKONT,KUNNR"

run() { # label rows
    local label=$1 rows=$2 limit=""
    [ "$rows" -gt 0 ] && limit=" LIMIT $rows"
    query "$data/q.txt" "$rows" BSEG "${bseg[@]}"
    read -r zs zm < <(measure "$zorv" export "$data/q.txt" --output "$data/out.csv")
    read -r ss sm < <(measure sqlite3 -csv "$db" "SELECT $columns FROM BSEG WHERE MANDT='100'$limit")
    local lines
    lines=$(($(wc -l <"$data/out.csv") - 2))
    printf '%-24s rows %8s  zorv export %6.2f s %4s MB  sqlite3 -csv %6.2f s %4s MB  ratio %.2f\n' \
        "$label" "$lines" "$zs" "$zm" "$ss" "$sm" "$(awk -v a="$zs" -v b="$ss" 'BEGIN { print a / b }')"
}

run "BSEG 10 fields" 0
run "BSEG 10 fields, 100,000" 100000

# Every KNA1 field: wider than 512 characters, so three reads joined side by side.
mapfile -t kna1 < <(ZORV_HOME=$data "$zorv" read-table KNA1 --no-data |
    awk -F'\t' 'NF == 5 { printf "%s:%s:%d:%s\n", $1, $4, $3 + 0, $5 }')
query "$data/wide.txt" 0 KNA1 "${kna1[@]}"
read -r ws wm < <(measure "$zorv" export "$data/wide.txt" --output "$data/wide.csv")
printf '%-24s rows %8s  zorv export %6.2f s %4s MB  (%s fields, 3 pieces)\n' "KNA1 every field" \
    "$(($(wc -l <"$data/wide.csv") - 2))" "$ws" "$wm" "${#kna1[@]}"
# The same million rows over the RFC SOAP protocol, served by zorv-demo-server on loopback.
server=$build/tools/demo-server/zorv-demo-server
if [ -x "$server" ]; then
    "$server" --port 0 >"$data/server.txt" &
    server_pid=$!
    trap 'kill $server_pid 2>/dev/null' EXIT
    for _ in $(seq 50); do grep -q listening "$data/server.txt" && break; sleep 0.1; done
    url=$(awk '/listening/ { print $3 }' "$data/server.txt")
    query "$data/q.txt" 0 BSEG "${bseg[@]}"
    read -r ps pm < <(measure "$zorv" export "$data/q.txt" --output "$data/soap.csv" --system "$url")
    read -r is im < <(measure "$zorv" export "$data/q.txt" --output "$data/out.csv")
    same=$(cmp -s "$data/soap.csv" "$data/out.csv" && echo "identical files" || echo "FILES DIFFER")
    printf '%-24s rows %8s  over SOAP %6.2f s %4s MB  in-process %6.2f s %4s MB  ratio %.2f (%s)\n' \
        "BSEG 10 fields, SOAP" "$(($(wc -l <"$data/soap.csv") - 2))" "$ps" "$pm" "$is" "$im" \
        "$(awk -v a="$ps" -v b="$is" 'BEGIN { print a / b }')" "$same"
fi
echo "reproduce: cmake --build build && bench/export_bench.sh build"
