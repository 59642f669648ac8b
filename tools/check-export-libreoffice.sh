#!/usr/bin/env bash
# Exports demo rows whose values hold separators, quotes, accents and leading zeros, opens the
# file in LibreOffice (headless, converted to xlsx and back to a tab-separated file) and checks
# that every value landed in its own cell; then exports Excel workbooks, has LibreOffice open
# them (without a warning) and save them as text, and checks every cell.
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

# The same customers and the demo's accounting lines as an Excel workbook, opened by
# LibreOffice and saved as text: every cell must come back, dates as dates, zeros kept.
"$zorv" export "$work/q.txt" --output "$work/customers.xlsx" 2>/dev/null
printf '%s\r\n' "MyTableF     " "ChSsl        False" "ChRow        True" "sRows         2000 " \
    "SFI           6 " "ssField  001 C010 BSEG-BELNR Document" "ssField  002 N003 BSEG-BUZEI Item" \
    "ssField  003 D008 BSEG-AUGDT Clearing" "ssField  004 P013 BSEG-DMBTR Amount" \
    "ssField  005 C010 BSEG-KUNNR Customer" "ssField  006 C050 BSEG-SGTXT Text" \
    "SOP           0 " >"$work/lines.txt"
"$zorv" export "$work/lines.txt" --output "$work/lines.xlsx" 2>/dev/null
"$zorv" export "$work/lines.txt" --output "$work/lines.csv" --encoding utf-8 2>/dev/null
mkdir -p "$work/books"
for book in customers lines; do
    soffice --headless --convert-to 'csv:Text - txt - csv (StarCalc):9,34,76,1,,0,false,true,false,false' \
        --outdir "$work/books" "$work/$book.xlsx" >"$work/books/$book.log" 2>&1
    if grep -v 'javaldx' "$work/books/$book.log" | grep -qi 'warn\|error'; then
        echo "LibreOffice complained about $book.xlsx:"; cat "$work/books/$book.log"; exit 1
    fi
done
python3 - "$work/lines.csv" "$work/books/lines.csv" "$work/books/customers.csv" \
    "$work/customers.csv" <<'PY'
import csv, sys
with open(sys.argv[1], encoding="utf-8-sig", newline="") as f:
    text = list(csv.reader(f, delimiter=";"))
with open(sys.argv[2], encoding="utf-8", newline="") as f:
    book = list(csv.reader(f, delimiter="\t"))
problems = 0
if len(text) != len(book):
    print(f"{len(text)} lines in the text, {len(book)} rows in the workbook"); problems += 1
for r, (a, b) in enumerate(zip(text[2:], book[2:]), start=3):
    belnr, buzei, augdt, dmbtr, kunnr, sgtxt = (a + [""] * 6)[:6]
    want = [belnr.rstrip(), buzei, "" if augdt.strip("0 ") == "" else
            f"{augdt[:4]}-{augdt[4:6]}-{augdt[6:8]}", dmbtr, kunnr.rstrip(), sgtxt.rstrip()]
    amount = dmbtr.strip()
    want[3] = (-1 if amount.endswith("-") else 1) * float(amount.rstrip("-"))
    got = (b + [""] * 6)[:6]
    try:
        got[3] = float(got[3])
    except ValueError:
        pass
    if got != want:
        print(f"row {r}: {got} in the workbook, {want} expected"); problems += 1
        if problems > 10: break
with open(sys.argv[3], encoding="utf-8", newline="") as f:
    customers = list(csv.reader(f, delimiter="\t"))
with open(sys.argv[4], encoding="cp1252", newline="") as f:
    written = list(csv.reader(f, delimiter=";"))
if [r[0] for r in customers[2:]] != [r[0].rstrip() for r in written[2:]]:
    print("customer numbers changed (leading zeros lost?)"); problems += 1
print(f"workbooks: {len(book) - 2} accounting lines and {len(customers) - 2} customers read back by "
      "LibreOffice: " + ("every cell as written" if problems == 0 else f"{problems} problems"))
sys.exit(1 if problems else 0)
PY
