#!/usr/bin/env python3
"""Writes AdiDxcc.dat, the DXCC entity number of every entity of the country
file, from the public country data (cty.csv beside cty.dat).

usage: make_adidxcc.py CTY.CSV CTY.DAT OUT

A line is the entity (the primary prefix the country file's header line
gives) in characters 1-6 and its DXCC number in characters 7-12, CR LF.
Entities marked "*" in the country file are not DXCC entities and get no
line. The build stops when cty.csv and cty.dat do not list the same
entities in the same order, since the numbers would then be guessed.
"""
import csv
import os
import sys


def entities_of_cty_dat(path):
    out = []
    with open(path, encoding="latin-1", newline="") as f:
        for line in f:
            line = line.rstrip("\r\n")
            if not line or line.startswith("    "):
                continue
            out.append(line[69:].strip()[:-1])
    return out


def main(argv):
    if len(argv) != 4:
        sys.exit(__doc__)
    csv_path, dat_path, out_path = argv[1:]
    with open(csv_path, encoding="latin-1", newline="") as f:
        rows = [r for r in csv.reader(f) if r]
    prefixes = [r[0].strip() for r in rows]
    if prefixes != entities_of_cty_dat(dat_path):
        sys.exit(f"{csv_path} and {dat_path} do not list the same entities")

    lines = []
    for r in rows:
        entity, number = r[0].strip(), r[2].strip()
        if entity.startswith("*"):
            continue
        if not number.isdigit() or len(entity) > 6 or len(number) > 6:
            sys.exit(f"{csv_path}: unexpected entity line {r[:4]}")
        lines.append(f"{entity:<6}{number:>6}\r\n")

    tmp = out_path + ".tmp"
    with open(tmp, "w", encoding="ascii", newline="") as f:
        f.writelines(lines)
    os.replace(tmp, out_path)


if __name__ == "__main__":
    main(sys.argv)
