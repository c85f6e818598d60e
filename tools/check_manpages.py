#!/usr/bin/env python3
"""Every command and option tamarack-cli lists in its usage has its place in
tamarack-cli.1, and both manual pages format without groff warnings.

usage: check_manpages.py TAMARACK-CLI MANDIR"""
import os
import re
import shutil
import subprocess
import sys


def main() -> int:
    cli, mandir = sys.argv[1], sys.argv[2]
    usage = subprocess.run([cli, "--help"], capture_output=True, text=True, check=True).stdout
    with open(os.path.join(mandir, "tamarack-cli.1"), encoding="utf-8") as f:
        page = f.read()
    headings = [re.sub(r"\\f[BIRP]", "", l[4:]) for l in page.splitlines() if l.startswith(".SS ")]
    faults = []
    for line in usage.splitlines():
        m = re.match(r"\s+tamarack-cli \[--home DIR\] (\S+)(.*)", line)
        if not m:
            continue
        name, rest = m.group(1), m.group(2)
        if not any(h.split()[0] == name.split("|")[0] for h in headings):
            faults.append(f"command '{name}' has no section in tamarack-cli.1")
        for opt in re.findall(r"--[a-z-]+", rest):
            if opt.replace("-", r"\-") not in page:
                faults.append(f"option '{opt}' of '{name}' is not in tamarack-cli.1")
    if not headings:
        faults.append("tamarack-cli.1 has no command sections")
    groff = shutil.which("groff")
    if groff:
        for p in ("tamarack.1", "tamarack-cli.1"):
            r = subprocess.run([groff, "-man", "-Tutf8", "-K", "utf8", "-ww", "-z",
                                os.path.join(mandir, p)], capture_output=True, text=True)
            if r.returncode != 0 or r.stderr.strip():
                faults.append(f"{p}: {r.stderr.strip() or 'groff failed'}")
    for f in faults:
        print(f, file=sys.stderr)
    print(f"{len(headings)} command sections, {len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
