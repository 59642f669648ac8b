#!/usr/bin/env bash
# Exports demo rows whose values hold separators, quotes, accents and leading zeros, opens the
# file in LibreOffice (headless, converted to xlsx and back to a tab-separated file) and checks
# that every value landed in its own cell.
#   tools/check-export-libreoffice.sh [build folder]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build}
if ! command -v soffice >/dev/null; then
    echo "Installing LibreOffice Calc (libreoffice-calc-nogui)..."
    if [ "$(id -u)" -eq 0 ]; then apt-get install -y -qq --no-install-recommends libreoffice-calc-nogui
    else sudo apt-get install -y -qq --no-install-recommends libreoffice-calc-nogui; fi
fi
work=$(mktemp -d)
export ZORV_HOME=$work HOME=$work
zorv=$build/src/app/zorv
printf '%s\r\n' "MyTableF     " "ChSsl        False" "ChRow        True" "sRows         0 " \
    "SFI           4 " "ssField  001 C010 KNA1-KUNNR Customer" "ssField  002 C035 KNA1-NAME1 Name" \
    "ssField  003 C035 KNA1-ORT01 City" "ssField  004 P015 KNA1-UMSAT Annual sales" \
    "SOP           0 " >"$work/q.txt"
"$zorv" export "$work/q.txt" --output "$work/customers.csv" 2>/dev/null
# Import as CSV with ";" and the Windows code page, as a user's spreadsheet would.
soffice --headless --infilter="CSV:59,34,1252,1" --convert-to xlsx --outdir "$work" \
    "$work/customers.csv" >/dev/null 2>&1
soffice --headless --infilter="Calc MS Excel 2007 XML" \
    --convert-to 'csv:Text - txt - csv (StarCalc):9,34,76,1,,0,false,true,false,false' \
    --outdir "$work/back" "$work/customers.xlsx" >/dev/null 2>&1
python3 - "$work/customers.csv" "$work/back/customers.csv" <<'PY'
import csv, sys
with open(sys.argv[1], encoding="cp1252", newline="") as f:
    ours = list(csv.reader(f, delimiter=";"))
with open(sys.argv[2], encoding="utf-8", newline="") as f:
    cells = list(csv.reader(f, delimiter="\t"))
problems = 0
for r, (a, b) in enumerate(zip(ours, cells)):
    if len(b) != len(a):
        print(f"row {r + 1}: {len(b)} cells in LibreOffice, {len(a)} values written")
        problems += 1
        continue
    for c, (x, y) in enumerate(zip(a, b)):
        # Text cells keep their text, blanks included; numbers are compared as numbers, as a
        # spreadsheet shows them without padding or leading zeros.
        if x == y:
            continue
        number = x.strip()
        sign = -1 if number.endswith("-") else 1
        try:
            same = float(number.rstrip("-")) * sign == float(y)
        except ValueError:
            same = False
        if not same:
            print(f"row {r + 1} cell {c + 1}: {x!r} became {y!r}")
            problems += 1
if len(ours) != len(cells):
    print(f"{len(ours)} lines written, {len(cells)} rows in LibreOffice")
    problems += 1
tricky = sum(1 for row in ours[2:] for v in row if any(ch in v for ch in ';",') or not v.isascii())
print(f"{len(ours) - 2} rows, {tricky} values with separators, quotes or accents: "
      + ("every value in its own cell" if problems == 0 else f"{problems} problems"))
sys.exit(1 if problems else 0)
PY
