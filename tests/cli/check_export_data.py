#!/usr/bin/env python3
"""Reads the CSV and JSON Lines files of `quillon export` with Python's csv
and json modules and compares every value with the data the test database
generator wrote.

Usage: check_export_data.py EXPECTED.json CSV_FOLDER JSON_FOLDER

EXPECTED.json: {"tables": [{"file": "OWNER.TABLE", "kinds": {COLUMN: KIND},
                             "rows": [{COLUMN: VALUE}]}]}
where VALUE is null or [KIND, DATA] (a "tz" column's values are "tz" or "tzr"):
  "num"  decimal text (the generator's own text, any form Decimal reads)
  "dt"   [year, month, day, hour, minute, second, nanoseconds] (years BC negative)
  "tz"   the same fields in local time and the offset in minutes
  "tzr"  the same fields in UTC (a time zone region)
  "ym"   [years, months]; "ds" [days, hours, minutes, seconds, nanoseconds]
  "f32", "f64"  the IEEE bits as big-endian hexadecimal
  "text" the text as it is (character data, hexadecimal, ROWIDs, ...)

Rows are compared as multisets (block order is not insertion order). CSV has
no NULL of its own: an empty field stands for NULL and for the empty text.
Prints "checked N values" and exits 0 when everything is equal; else prints
the differences and exits 1.
"""
import csv
import decimal
import json
import re
import struct
import sys
from collections import Counter
from pathlib import Path

decimal.getcontext().prec = 200

PLAIN_NUMBER = re.compile(r"-?(0|[1-9][0-9]*)(\.[0-9]*[1-9])?")
EXPONENT_NUMBER = re.compile(r"-?[1-9](\.[0-9]*[1-9])?E[+-][1-9][0-9]*")
ISO_TIME = re.compile(r"(-?[0-9]{4,})-([0-9]{2})-([0-9]{2})T([0-9]{2}):([0-9]{2}):([0-9]{2})"
                      r"(?:\.([0-9]*[1-9]))?(Z|[+-][0-9]{2}:[0-9]{2})?")
YEAR_MONTH = re.compile(r"(-?)P([0-9]+)Y([0-9]+)M")
DAY_SECOND = re.compile(r"(-?)P([0-9]+)DT([0-9]+)H([0-9]+)M([0-9]+)(?:\.([0-9]*[1-9]))?S")


class Mismatch(Exception):
    pass


def expected_key(value, from_json):
    if value is None:
        return "NULL"
    kind, data = value
    if kind == "text" and data == "" and not from_json:
        return "NULL"
    if kind == "num":
        return "num:" + str(decimal.Decimal(data).normalize())
    if kind in ("dt", "tz", "tzr"):
        fields = tuple(data[:7])
        zone = data[7] if kind == "tz" else ("Z" if kind == "tzr" else None)
        return f"{kind}:{fields}:{zone}"
    if kind in ("ym", "ds"):
        return f"{kind}:{tuple(data)}"
    if kind == "f32":
        return "f32:" + data.lower()
    if kind == "f64":
        return "f64:" + data.lower()
    return "text:" + data


def number_text(text):
    if not (PLAIN_NUMBER.fullmatch(text) or EXPONENT_NUMBER.fullmatch(text)):
        raise Mismatch(f"not a canonical number: {text!r}")
    return decimal.Decimal(text)


def time_key(kind, text):
    m = ISO_TIME.fullmatch(text)
    if not m:
        raise Mismatch(f"not an ISO 8601 date and time: {text!r}")
    year = int(m.group(1))
    year = year if year > 0 else year - 1  # astronomical numbering: 0 is 1 BC
    nanoseconds = int((m.group(7) or "").ljust(9, "0"))
    fields = (year, int(m.group(2)), int(m.group(3)), int(m.group(4)), int(m.group(5)), int(m.group(6)),
              nanoseconds)
    zone = m.group(8)
    if kind == "dt":
        if zone is not None:
            raise Mismatch(f"a zone where none is stored: {text!r}")
        return f"dt:{fields}:None"
    if zone == "Z":
        return f"tzr:{fields}:Z"
    if zone is None:
        raise Mismatch(f"no zone: {text!r}")
    sign = -1 if zone[0] == "-" else 1
    offset = sign * (int(zone[1:3]) * 60 + int(zone[4:6]))
    return f"tz:{fields}:{offset}"


def float_bits(kind, value):
    return kind + ":" + struct.pack(">f" if kind == "f32" else ">d", value).hex()


def exported_key(kind, value, from_json):
    """The key of an exported value, read as the column's kind wants it."""
    if value is None or (not from_json and value == "" and kind != "text"):
        return "NULL"
    if kind == "text":
        if not isinstance(value, str):
            raise Mismatch(f"not a string: {value!r}")
        return "NULL" if (value == "" and not from_json) else "text:" + value
    if kind == "num":
        if from_json:
            if not isinstance(value, decimal.Decimal):
                raise Mismatch(f"not a JSON number: {value!r}")
            return "num:" + str(value.normalize())
        return "num:" + str(number_text(value).normalize())
    if kind in ("f32", "f64"):
        if from_json:
            if not isinstance(value, decimal.Decimal):
                raise Mismatch(f"not a JSON number: {value!r}")
            return float_bits(kind, float(value))
        return float_bits(kind, float(value))
    if not isinstance(value, str):
        raise Mismatch(f"not a string: {value!r}")
    if kind in ("dt", "tz", "tzr"):
        return time_key(kind, value)
    if kind == "ym":
        m = YEAR_MONTH.fullmatch(value)
        if not m:
            raise Mismatch(f"not an ISO 8601 year-month duration: {value!r}")
        sign = -1 if m.group(1) else 1
        return f"ym:{(sign * int(m.group(2)), sign * int(m.group(3)))}"
    if kind == "ds":
        m = DAY_SECOND.fullmatch(value)
        if not m:
            raise Mismatch(f"not an ISO 8601 day-second duration: {value!r}")
        sign = -1 if m.group(1) else 1
        nanoseconds = int((m.group(6) or "").ljust(9, "0"))
        fields = (int(m.group(2)), int(m.group(3)), int(m.group(4)), int(m.group(5)), nanoseconds)
        return f"ds:{tuple(sign * f for f in fields)}"
    raise Mismatch(f"unknown kind {kind}")


def row_key(row):
    return tuple(sorted(row.items()))


def compare(name, kinds, expected_rows, exported_rows, from_json, problems):
    expected = Counter()
    for row in expected_rows:
        expected[row_key({c: expected_key(v, from_json) for c, v in row.items()})] += 1
    exported = Counter()
    for row in exported_rows:
        if set(row) != set(kinds):
            problems.append(f"{name}: columns {sorted(row)} instead of {sorted(kinds)}")
            return 0
        keys = {}
        for column, value in row.items():
            try:
                keys[column] = exported_key(kinds[column], value, from_json)
            except Mismatch as e:
                problems.append(f"{name}.{column}: {e}")
                keys[column] = "?"
        exported[row_key(keys)] += 1
    if expected != exported:
        for key in (expected - exported):
            problems.append(f"{name}: expected row not exported: {key}")
        for key in (exported - expected):
            problems.append(f"{name}: exported row not expected: {key}")
    return sum(len(r) for r in exported_rows)


def main():
    expected_path, csv_folder, json_folder = sys.argv[1:4]
    tables = json.loads(Path(expected_path).read_text(encoding="utf-8"))["tables"]
    problems = []
    checked = 0
    for table in tables:
        name = table["file"]
        kinds = table["kinds"]
        with open(Path(csv_folder) / (name + ".csv"), newline="", encoding="utf-8") as f:
            reader = csv.reader(f)
            header = next(reader)
            csv_rows = [dict(zip(header, fields)) for fields in reader]
        checked += compare(name + ".csv", kinds, table["rows"], csv_rows, False, problems)
        json_rows = []
        with open(Path(json_folder) / (name + ".jsonl"), encoding="utf-8") as f:
            for line in f:
                json_rows.append(json.loads(line, parse_float=decimal.Decimal, parse_int=decimal.Decimal))
        checked += compare(name + ".jsonl", kinds, table["rows"], json_rows, True, problems)
    for p in problems[:50]:
        print(p)
    print(f"checked {checked} values")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
