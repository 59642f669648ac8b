#!/usr/bin/env bash
# zorv export over native RFC, through the tests' stand-in of SAP's NetWeaver RFC library, against
# the same export from the demo system in-process: the files must be byte for byte the same.
# 100,000 BSEG rows x ten columns and every KNA1 field, plain, under a 20,000-row budget per
# answer (pages of 50,000 asked for, so the limit is learned), and in Portuguese; each case prints both times (median of the runs) and cmp's verdict.
#   bench/native_export.sh [build folder] [data folder] [runs]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build}
data=${2:-$root/build/bench-native}
runs=${3:-3}
zorv=$build/src/app/zorv
library=$build/tests/sap/nwrfc/standin/libsapnwrfc.so
[ -f "$library" ] || { echo "build the stand-in first: cmake --build $build --target sapnwrfc_standin"; exit 1; }
mkdir -p "$data"
export ZORV_HOME=$data ZORV_PASSWORD=welcome
unset ZORV_DEMO_PROFILE ZORV_DEMO_MAX_ROWS
if ! sqlite3 "$data/demo.sqlite" "select value from ZORV_META where name='scale'" 2>/dev/null | grep -qx 10; then
    echo "building the demo database at scale 10 in $data"
    "$zorv" demo-db --scale 10 >/dev/null
fi

source "$root/bench/query_document.sh"

seconds() { /usr/bin/time -f '%e' -o "$data/time.txt" "$@" >/dev/null 2>"$data/err.txt"; cat "$data/time.txt"; }
median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
native=(--ashost localhost --sysnr 00 --client 100 --user DEMO --rfc-library "$library")

compare() { # label query [extra option...]
    local label=$1 document=$2
    shift 2
    local -a demo_times native_times
    for _ in $(seq "$runs"); do
        demo_times+=("$(seconds "$zorv" export "$document" --output "$data/demo.csv" "$@")")
        native_times+=("$(seconds "$zorv" export "$document" --output "$data/native.csv" "${native[@]}" "$@")")
    done
    local verdict="identical"
    cmp -s "$data/demo.csv" "$data/native.csv" || verdict="DIFFERENT"
    printf '  %-34s in-process %6.2f s   native RFC %6.2f s   %s lines, %s\n' "$label" \
        "$(printf '%s\n' "${demo_times[@]}" | median)" "$(printf '%s\n' "${native_times[@]}" | median)" \
        "$(wc -l <"$data/native.csv")" "$verdict"
    [ "$verdict" = identical ]
}

query "$data/bseg.txt" 0 BSEG MANDT BUKRS BELNR GJAHR BUZEI AUGDT AUGBL BSCHL KOART SHKZG
query "$data/kna1.txt" 0 KNA1
echo "zorv export, the demo in-process against native RFC through the stand-in ($runs runs):"
compare "BSEG 100,000 rows x 10 columns" "$data/bseg.txt"
compare "KNA1 every field (5,000 rows)" "$data/kna1.txt"
export ZORV_DEMO_MAX_ROWS=20000
compare "BSEG, 20,000-row budget" "$data/bseg.txt" --page-rows 50000
compare "BSEG, 20,000-row budget, PT" "$data/bseg.txt" --page-rows 50000 --language PT
echo "Reproduce: bench/native_export.sh $build $data $runs"
