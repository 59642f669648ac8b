#!/usr/bin/env bash
# zorv export from a system far away: zorv-demo-server on loopback, each call taking 50 ms and
# each row 20 us (ZORV_DEMO_CALL_MS, ZORV_DEMO_ROW_US), as separate work processes do. Each case
# runs RFC_READ_TABLE alone (--module RFC_READ_TABLE) against the widest module the system
# offers, alternately; prints the median of the runs, the calls, and whether the files agree.
#   ZWIDE every field (999 fields, 600 rows)
#   BSEG 100,000 rows x ten columns, under a 20,000-row budget per answer
#   bench/far_export.sh [build folder] [data folder] [runs]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build}
data=${2:-$root/build/bench-far}
runs=${3:-5}
zorv=$build/src/app/zorv
server=$build/tools/demo-server/zorv-demo-server
source "$root/bench/far_server.sh"
far_setup 10
source "$root/bench/query_document.sh"
query "$data/zwide.txt" 0 ZWIDE
query "$data/bseg.txt" 0 BSEG MANDT BUKRS BELNR GJAHR BUZEI AUGDT AUGBL BSCHL KOART SHKZG

run() { # output module... ; prints seconds and the calls line
    local output=$1
    shift
    /usr/bin/time -f '%e' -o "$data/time.txt" "$zorv" export "$document" --output "$output" \
        --system "$url" --user DEMO --password-file "$data/password" "$@" >/dev/null 2>"$data/err.txt"
    echo "$(cat "$data/time.txt") $(grep -o '([0-9]* calls\?[^)]*)' "$data/err.txt" | tail -1)"
}
compare() { # label
    local -a classic wide
    local line classic_calls wide_calls
    for _ in $(seq "$runs"); do
        line=$(run "$data/classic.csv" --module RFC_READ_TABLE); classic+=("${line%% *}"); classic_calls=${line#* }
        line=$(run "$data/wide.csv"); wide+=("${line%% *}"); wide_calls=${line#* }
    done
    local a b verdict=identical
    a=$(printf '%s\n' "${classic[@]}" | median)
    b=$(printf '%s\n' "${wide[@]}" | median)
    cmp -s "$data/classic.csv" "$data/wide.csv" || verdict=DIFFERENT
    printf '  %s\n    RFC_READ_TABLE  median %6.2f s %s (runs: %s)\n    widest module   median %6.2f s %s (runs: %s)\n    ratio %.2f, %s lines, files %s\n' \
        "$1" "$a" "$classic_calls" "${classic[*]}" "$b" "$wide_calls" "${wide[*]}" \
        "$(awk -v a="$a" -v b="$b" 'BEGIN { print b / a }')" "$(wc -l <"$data/wide.csv")" "$verdict"
}

echo "zorv export through zorv-demo-server, 50 ms a call and 20 us a row ($runs runs each):"
start_server ZORV_DEMO_CALL_MS=50 ZORV_DEMO_ROW_US=20
document=$data/zwide.txt compare "ZWIDE every field, 600 rows"
stop_server
start_server ZORV_DEMO_CALL_MS=50 ZORV_DEMO_ROW_US=20 ZORV_DEMO_MAX_ROWS=20000
document=$data/bseg.txt compare "BSEG 100,000 rows x 10 columns, 20,000-row budget"
echo "Reproduce: bench/far_export.sh $build $data $runs"
