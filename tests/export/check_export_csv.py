#!/usr/bin/env python3
"""Exports demo tables with `zorv export` and reads the files back with Python's csv module:
every value, including those with separators, quotes, accents and leading zeros, must land in
its own cell, exactly as the system returned it."""
import csv
import os
import subprocess
import sys
import tempfile

zorv = sys.argv[1]
work = tempfile.mkdtemp()
env = dict(os.environ, ZORV_HOME=work)


def run(*args):
    return subprocess.run([zorv, *args], env=env, capture_output=True, check=False)


def catalogue(table):
    out = run("read-table", table, "--no-data").stdout.decode("utf-8")
    fields = []
    for line in out.splitlines():
        parts = line.split("\t")
        if len(parts) == 5:
            fields.append((parts[0], parts[3], int(parts[2]), parts[4]))
    return fields


def expected_rows(table, fields):
    """The values as the system returns them, cut from blank-delimited DATA lines."""
    names = ",".join(f[0] for f in fields)
    out = run("read-table", table, "--fields", names).stdout.decode("utf-8")
    data = out.split("\n\n", 1)[1].splitlines()
    rows = []
    for wa in data:
        values, at = [], 0
        for i, (_, _, length, _) in enumerate(fields):
            value = wa[at:at + length]
            if i + 1 < len(fields):
                value = value.ljust(length)
            values.append(value)
            at += length
        rows.append(values)
    return rows


def query(path, table, fields):
    lines = ["MyTableF     ", "ChSsl        False", "ChRow        True",
             "sRows         0 ", f"SFI           {len(fields)} "]
    for i, (name, kind, length, text) in enumerate(fields, 1):
        lines.append(f"ssField  {i:03d} {kind}{length:03d} {table}-{name} {text}")
    lines.append("SOP           0 ")
    with open(path, "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp1252"))


failures = 0
for table, wanted in [("KNA1", ["KUNNR", "NAME1", "NAME2", "ORT01", "STRAS", "ERDAT", "UMSAT"]),
                      ("ZTYPES", None), ("T001", None)]:
    fields = [f for f in catalogue(table) if wanted is None or f[0] in wanted]
    expected = expected_rows(table, fields)
    for separator in [";", ",", "||", "\t"]:
        doc = os.path.join(work, "q.txt")
        out = os.path.join(work, "out.csv")
        query(doc, table, fields)
        result = run("export", doc, "--output", out, "--separator", separator)
        if result.returncode != 0:
            print(f"{table} {separator!r}: export failed: {result.stderr.decode()}")
            failures += 1
            continue
        with open(out, encoding="cp1252", newline="") as f:
            text = f.read()
        if separator == "||":
            # csv takes one-character delimiters: split on a stand-in that no value holds.
            text = text.replace("||", "\x1f")
            delimiter = "\x1f"
        else:
            delimiter = separator
        rows = list(csv.reader(text.splitlines(keepends=True), delimiter=delimiter))
        header = [f"{table}-{f[0]}" for f in fields]
        if rows[0] != header or rows[1] != [f[3] for f in fields]:
            print(f"{table} {separator!r}: header lines differ: {rows[:2]}")
            failures += 1
        if rows[2:] != expected:
            bad = next(i for i, (a, b) in enumerate(zip(rows[2:], expected)) if a != b) \
                if len(rows) - 2 == len(expected) else "count"
            print(f"{table} {separator!r}: rows differ at {bad}; {len(rows) - 2} vs {len(expected)}")
            failures += 1

print("exports checked" if failures == 0 else f"{failures} failures")
sys.exit(1 if failures else 0)
