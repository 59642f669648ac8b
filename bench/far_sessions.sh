#!/usr/bin/env bash
# zorv export from a system far away with one session against several: zorv-demo-server on
# loopback, each call taking 50 ms and each row 20 us (ZORV_DEMO_CALL_MS, ZORV_DEMO_ROW_US),
# each connection served on its own, as separate work processes are. Alternates --sessions 1
# and --sessions N; prints the medians, the calls, and whether the files agree.
#   ZWIDE every field (999 fields, 600 rows), RFC_READ_TABLE alone and the widest module
#   BSEG 1,000,000 rows x ten columns under a 20,000-row budget per answer
#   bench/far_sessions.sh [build folder] [data folder] [runs] [sessions]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build}
data=${2:-$root/build/bench-data}
runs=${3:-5}
sessions=${4:-3}
zorv=$build/src/app/zorv
server=$build/tools/demo-server/zorv-demo-server
source "$root/bench/far_server.sh"
far_setup 100
source "$root/bench/query_document.sh"
query "$data/far-zwide.txt" 0 ZWIDE
query "$data/far-bseg.txt" 0 BSEG MANDT BUKRS BELNR GJAHR BUZEI AUGDT AUGBL BSCHL KOART SHKZG

run() { # output options... ; prints seconds, peak memory (MB) and the calls line
    local output=$1
    shift
    /usr/bin/time -f '%e %M' -o "$data/time.txt" "$zorv" export "$document" --output "$output" \
        --system "$url" --user DEMO --password-file "$data/password" "$@" >/dev/null 2>"$data/err.txt"
    read -r seconds kilobytes <"$data/time.txt"
    echo "$seconds $((kilobytes / 1024)) MB $(grep -o '([0-9]* calls\?[^)]*)' "$data/err.txt" | tail -1)"
}
compare() { # label options...
    local label=$1
    shift
    local -a one several
    local line one_rest several_rest
    for _ in $(seq "$runs"); do
        line=$(run "$data/one.csv" --sessions 1 "$@"); one+=("${line%% *}"); one_rest=${line#* }
        line=$(run "$data/several.csv" --sessions "$sessions" "$@"); several+=("${line%% *}"); several_rest=${line#* }
    done
    local a b verdict=identical
    a=$(printf '%s\n' "${one[@]}" | median)
    b=$(printf '%s\n' "${several[@]}" | median)
    cmp -s "$data/one.csv" "$data/several.csv" || verdict=DIFFERENT
    printf '  %s\n    1 session    median %6.2f s, %s (runs: %s)\n    %s sessions   median %6.2f s, %s (runs: %s)\n    ratio %.2f, %s lines, files %s\n' \
        "$label" "$a" "$one_rest" "${one[*]}" "$sessions" "$b" "$several_rest" "${several[*]}" \
        "$(awk -v a="$a" -v b="$b" 'BEGIN { print b / a }')" "$(wc -l <"$data/several.csv")" "$verdict"
}

echo "zorv export through zorv-demo-server, 50 ms a call and 20 us a row ($runs runs each):"
start_server ZORV_DEMO_CALL_MS=50 ZORV_DEMO_ROW_US=20
document=$data/far-zwide.txt compare "ZWIDE every field, 600 rows, RFC_READ_TABLE" --module RFC_READ_TABLE
document=$data/far-zwide.txt compare "ZWIDE every field, 600 rows, the widest module"
stop_server
start_server ZORV_DEMO_CALL_MS=50 ZORV_DEMO_ROW_US=20 ZORV_DEMO_MAX_ROWS=20000
document=$data/far-bseg.txt compare "BSEG 1,000,000 rows x 10 columns, 20,000-row budget"
echo "Reproduce: bench/far_sessions.sh $build $data $runs $sessions"
