#!/usr/bin/python3
"""Exports demo tables to Excel workbooks with `zorv export` and reads them back with openpyxl:
both header rows frozen with a filter, text cells that keep their leading zeros, amounts as
numbers with their decimals, dates and times as such, empty dates as empty cells, a packed
value that overflowed as marked text; then the same rows as the CSV export gives them."""
import csv
import datetime
import os
import subprocess
import sys
import tempfile

import openpyxl

zorv = sys.argv[1]
work = tempfile.mkdtemp()
env = dict(os.environ, ZORV_HOME=work)
problems = []


def run(*args):
    return subprocess.run([zorv, *args], env=env, capture_output=True, check=False)


def catalogue(table):
    out = run("read-table", table, "--no-data").stdout.decode("utf-8")
    return [(p[0], p[3], int(p[2]), p[4]) for p in (l.split("\t") for l in out.splitlines())
            if len(p) == 5]


def query(path, table, fields):
    lines = ["MyTableF     ", "ChSsl        False", "ChRow        True", "sRows         0 ",
             f"SFI           {len(fields)} "]
    for i, (name, kind, length, text) in enumerate(fields, 1):
        lines.append(f"ssField  {i:03d} {kind}{length:03d} {table}-{name} {text}")
    lines.append("SOP           0 ")
    with open(path, "w", encoding="cp1252", newline="") as f:
        f.write("\r\n".join(lines) + "\r\n")


def check(condition, what):
    if not condition:
        problems.append(what)


def expected_cell(kind, value):
    """What a spreadsheet cell must hold for a value as the CSV export writes it."""
    value = value.rstrip(" ")
    if kind == "P":
        text = value.strip()
        if text.startswith("*") or "*" in text:
            return value
        sign = -1 if text.endswith("-") else 1
        return sign * float(text.rstrip("-")) if text.rstrip("-") else None
    if kind == "D":
        if value.strip() in ("", "00000000"):
            return None
        return datetime.datetime(int(value[:4]), int(value[4:6]), int(value[6:8]))
    if kind == "T":
        if not value.strip():
            return None
        return datetime.time(int(value[:2]), int(value[2:4]), int(value[4:6]))
    return value if value else None


for table in ("ZTYPES", "KNA1", "BSEG"):
    fields = [f for f in catalogue(table) if f[1] != "F"][:40]
    query(os.path.join(work, f"{table}.txt"), table, fields)
    book_path = os.path.join(work, f"{table}.xlsx")
    text_path = os.path.join(work, f"{table}.csv")
    made = run("export", os.path.join(work, f"{table}.txt"), "--output", book_path)
    check(made.returncode == 0, f"{table}: zorv export to xlsx failed: {made.stderr!r}")
    run("export", os.path.join(work, f"{table}.txt"), "--output", text_path, "--encoding", "utf-8")
    with open(text_path, encoding="utf-8-sig", newline="") as f:
        rows = list(csv.reader(f, delimiter=";"))
    book = openpyxl.load_workbook(book_path)
    sheet = book.worksheets[0]
    check(sheet.title == table, f"{table}: sheet named {sheet.title}")
    check(sheet.freeze_panes == "A3", f"{table}: panes frozen at {sheet.freeze_panes}")
    check(sheet.auto_filter.ref is not None and sheet.auto_filter.ref.startswith("A2:"),
          f"{table}: autofilter {sheet.auto_filter.ref}")
    cells = list(sheet.iter_rows(values_only=True))
    check(list(cells[0]) == rows[0], f"{table}: first header row {cells[0]}")
    check(list(cells[1]) == rows[1], f"{table}: second header row {cells[1]}")
    check(len(cells) == len(rows), f"{table}: {len(cells)} rows in the book, {len(rows)} in the text")
    for r, (got, wrote) in enumerate(zip(cells[2:], rows[2:]), start=3):
        for c, (name, kind, length, _) in enumerate(fields):
            want = expected_cell(kind, wrote[c] if c < len(wrote) else "")
            have = got[c] if c < len(got) else None
            if isinstance(want, float) and isinstance(have, (int, float)):
                ok = abs(want - have) < 1e-9
            elif isinstance(have, datetime.datetime) and isinstance(want, datetime.time):
                ok = have.time() == want
            else:
                ok = want == have
            if not ok:
                problems.append(f"{table} row {r} {name} ({kind}): wrote {wrote[c]!r}, cell {have!r}")
    # Leading zeros stay: numeric text is text.
    for r in cells[2:]:
        for c, (name, kind, _, _) in enumerate(fields):
            if kind == "N" and r[c] is not None:
                check(isinstance(r[c], str), f"{table} {name}: numeric text became {r[c]!r}")
    # An overflowed packed value is marked, never a wrong number.
    for row in sheet.iter_rows(min_row=3):
        for cell in row:
            if isinstance(cell.value, str) and cell.value.lstrip().startswith("*"):
                check(cell.font.i and cell.font.color is not None,
                      f"{table} {cell.coordinate}: overflow {cell.value!r} not marked")

for p in problems[:20]:
    print(p)
print(f"{len(problems)} problems" if problems else "every cell as the text export says")
sys.exit(1 if problems else 0)
