# Sourced by the benchmarks: query FILE ROWS TABLE [FIELD...] writes a saved query of TABLE's
# fields (all of them when none are named) reading ROWS rows (0: all), with the fields' types,
# lengths and texts as the system describes them; it sets $columns to the fields, comma-separated.
# It uses $zorv (the program) and $data (the benchmark's folder).
query() { # file rows table [field...]
    local file=$1 rows=$2 table=$3
    shift 3
    local -a all chosen
    mapfile -t all < <("$zorv" read-table "$table" --no-data |
        awk -F'\t' 'NF == 5 { printf "%s:%s:%d:%s\n", $1, $4, $3 + 0, $5 }')
    if [ $# -eq 0 ]; then chosen=("${all[@]}"); else
        for f in "$@"; do for a in "${all[@]}"; do [[ $a == "$f:"* ]] && chosen+=("$a"); done; done
    fi
    {
        printf 'MyTableF     %s\r\nChSsl        False\r\nChRow        True\r\nsRows         %s \r\nSFI           %s \r\n' \
            "$data/unused.csv" "$rows" "${#chosen[@]}"
        local i=1
        for f in "${chosen[@]}"; do
            IFS=: read -r name type length text <<<"$f"
            printf 'ssField  %03d %s%03d %s-%s %s\r\n' "$i" "$type" "$length" "$table" "$name" "$text"
            i=$((i + 1))
        done
        printf 'SOP           0 \r\n'
    } >"$file"
    columns=$(printf '%s\n' "${chosen[@]}" | cut -d: -f1 | paste -sd, -)
}

