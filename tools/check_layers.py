#!/usr/bin/env python3
"""Fails when a source file includes a folder above its own floor.

The floors (each looks only down):
  0 hamlog50   the replacement HAMLOG library: itself (and SQLite)
  1 log        the standard library and log/; bridge: itself and hamlog50
  2 contest    floor 1 (the session: the open log as one object)
  3 entry, output, hamlog                floors 1-2 (not each other)
  4 app                                  everything

A forward declaration counts as an include of the header that defines the
type: a floor-1 header may not name a floor-2 type either.

A window folder X/gui may include X's own rules, every floor below X, the
window folders below X (log/gui holds the Qt helpers every window uses,
contest/gui the interface every window reaches the program through and the
tool-window base) and its own folder; never app/.

The bridge and the replacement HAMLOG library are shared libraries of their
own: the bridge includes only itself and the library's header, the library
only itself.

Usage: check_layers.py [SRC_DIR]   (default: the src folder beside tools/)
       check_layers.py --self-test
"""
import os
import re
import sys
import tempfile

FLOOR = {"log": 1, "contest": 2, "entry": 3, "output": 3, "hamlog": 3, "app": 4}
STANDALONE = {"bridge": {"bridge", "hamlog50"}, "hamlog50": {"hamlog50"}}
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
# "class Name;" / "struct Name;" at the start of a line: a forward declaration.
FORWARD = re.compile(r'^\s*(?:class|struct)\s+(\w+)\s*;')
# "class Name {" / "struct Name : Base {": where a type is defined.
DEFINITION = re.compile(r'^\s*(?:class|struct)\s+(\w+)\s*(?:final\s*)?[:{]')


def area(rel):
    """('log', False) for log/x.h, ('log', True) for log/gui/x.h."""
    parts = rel.split("/")
    return parts[0], len(parts) > 2 and parts[1] == "gui"


def allowed(src, target):
    s_dir, s_gui = area(src)
    t_dir, t_gui = area(target)
    if s_dir in STANDALONE:
        return t_dir in STANDALONE[s_dir]
    if t_dir in STANDALONE:
        # The program reaches the libraries through the loader only.
        return s_dir == "hamlog" and not s_gui
    if s_dir not in FLOOR or t_dir not in FLOOR:
        return False
    if s_dir == "app":
        return True
    s_floor, t_floor = FLOOR[s_dir], FLOOR[t_dir]
    if t_dir == s_dir:
        return s_gui or not t_gui
    if t_floor >= s_floor:
        return False
    return s_gui or not t_gui


def self_test():
    """The rule on a few includes whose verdict is known."""
    cases = [
        ("log/csv.cpp", "log/qso.h", True),
        ("log/csv.cpp", "contest/search.h", False),
        ("log/cabrillo.cpp", "app/core/programfolder.h", False),
        ("log/gui/frmbar.cpp", "log/gui/qtui.h", True),
        ("log/gui/qtui.cpp", "contest/contestdef.h", False),
        ("contest/search.cpp", "log/progress.h", True),
        ("contest/search.cpp", "output/elog.h", False),
        ("contest/gui/frmsumary.cpp", "contest/gui/workspace.h", True),
        ("entry/gui/frminput.cpp", "app/gui/frmmain.h", False),
        ("entry/gui/frminput.cpp", "entry/gui/importcommands.h", True),
        ("output/gui/frmmakelog.cpp", "entry/gui/frmcabreadset.h", False),
        ("log/gui/updown.h", "contest/gui/workspace.h", False),
        ("entry/edit.cpp", "entry/gui/entryfilters.h", False),
        ("entry/edit.cpp", "output/elog.h", False),
        ("output/gui/frmmydata.cpp", "entry/gui/frminput.h", False),
        ("output/elog.cpp", "contest/score.h", True),
        ("hamlog/append.cpp", "hamlog50/hamlog50.h", True),
        ("hamlog/gui/frmthset.cpp", "hamlog50/hamlog50.h", False),
        ("bridge/wrenlink.cpp", "hamlog50/hamlog50.h", True),
        ("bridge/wrenlink.cpp", "log/cp932.h", False),
        ("hamlog50/db.cpp", "bridge/wrenlink.h", False),
        ("app/gui/frmmain.cpp", "output/gui/frmmydata.h", True),
    ]
    wrong = [(s, t, v) for s, t, v in cases if allowed(s, t) != v]
    for s, t, v in wrong:
        print(f"self-test: {s} -> {t} should be {'allowed' if v else 'refused'}")
    # A forward declaration reaches the floor of the header that defines the type.
    with tempfile.TemporaryDirectory() as root:
        files = {
            "contest/session.h": "class Session {\n};\n",
            "log/gui/door.h": "class Session;\n",
            "output/gui/window.h": "class Session;\n",
        }
        for rel, text in files.items():
            os.makedirs(os.path.dirname(os.path.join(root, rel)), exist_ok=True)
            with open(os.path.join(root, rel), "w", encoding="utf-8") as f:
                f.write(text)
        found = scan(root)
        if len(found) != 1 or "log/gui/door.h:1: names Session" not in found[0]:
            print(f"self-test: forward declarations: {found}")
            wrong.append(("forward", "declaration", False))
    return 1 if wrong else 0


def scan(root):
    """The lines of the tree at root that reach up a floor."""
    sources = []
    for dirpath, _, files in os.walk(root):
        for name in sorted(files):
            if not name.endswith((".h", ".hpp", ".cpp", ".c")):
                continue
            path = os.path.join(dirpath, name)
            rel = os.path.relpath(path, root).replace(os.sep, "/")
            if "/" not in rel:
                continue
            with open(path, encoding="utf-8", errors="replace") as f:
                sources.append((rel, f.read().splitlines()))
    # The header that defines each type (a name defined in two places is
    # left out: the check cannot tell which one is meant).
    defined = {}
    for rel, lines in sources:
        if not rel.endswith((".h", ".hpp")):
            continue
        for line in lines:
            m = DEFINITION.match(line)
            if m:
                defined[m.group(1)] = None if m.group(1) in defined else rel
    bad = []
    for rel, lines in sources:
        for no, line in enumerate(lines, 1):
            m = INCLUDE.match(line)
            if m and "/" in m.group(1):
                target = m.group(1)
                if not os.path.exists(os.path.join(root, target)):
                    continue  # not one of ours
                if not allowed(rel, target):
                    bad.append(f"src/{rel}:{no}: includes {target}, a floor it may not reach")
                continue
            m = FORWARD.match(line)
            if m and defined.get(m.group(1)):
                target = defined[m.group(1)]
                if not allowed(rel, target):
                    bad.append(f"src/{rel}:{no}: names {m.group(1)} of {target}, a floor it may not reach")
    return bad


def main():
    if sys.argv[1:] == ["--self-test"]:
        return self_test()
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "src")
    bad = scan(os.path.normpath(root))
    for b in bad:
        print(b)
    if bad:
        print(f"{len(bad)} include(s) reach up a floor")
        return 1
    print("includes look only down")
    return 0


if __name__ == "__main__":
    sys.exit(main())
