#!/usr/bin/env python3
"""Writes TH_DX.dat from the public country data (cty.csv of hamradio-files).

Each line: the entity's primary prefix in characters 1-5, a blank, its DXCC
entity number in characters 7-12, its name from character 13 on. CP932, CR LF.

Usage: make_th_dx.py CTY.CSV OUT
"""
import csv
import os
import sys


def main():
    src, out = sys.argv[1], sys.argv[2]
    lines = []
    with open(src, encoding="utf-8", errors="replace", newline="") as f:
        for row in csv.reader(f):
            if len(row) < 3 or not row[0].strip():
                continue
            prefix, name, code = row[0].strip(), row[1].strip(), row[2].strip()
            if len(prefix) > 5 or not code.isdigit():
                sys.exit(f"make_th_dx.py: unexpected line in {src}: {row[:3]}")
            lines.append(f"{prefix:<5} {code:<6}{name}")
    if not lines:
        sys.exit(f"make_th_dx.py: no countries in {src}")
    tmp = out + ".tmp"
    with open(tmp, "wb") as f:
        f.write("".join(l + "\r\n" for l in lines).encode("cp932", errors="replace"))
    os.replace(tmp, out)


if __name__ == "__main__":
    main()
