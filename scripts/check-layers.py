#!/usr/bin/env python3
"""Draws which folders of src/ include which, and fails when an include runs the wrong way.

usage: check-layers.py SRC_DIR SCREEN_SOURCE...

The layers, bottom to top: platform, text, state and ui at the bottom; one folder per feature
with its logic and its screens; app on top. A bottom folder includes only bottom folders, no
folder but app includes app, the logic includes no screen, and no screen includes another
screen's header (a screen's own header, the ui layer and any logic are fine). SCREEN_SOURCE are
the sources of the screens library, as CMake lists them; of them, those that declare a form or a
dialog are screens.
"""
import os
import re
import sys

BOTTOM = {"platform", "text", "state", "ui"}
TOP = "app"
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def folder_of(path):
    return path.split("/", 1)[0] if "/" in path else ""


def main():
    src = os.path.abspath(sys.argv[1])
    screens = set()
    for source in sys.argv[2:]:
        rel = os.path.relpath(os.path.abspath(os.path.join(src, source)), src)
        if not rel.endswith((".cpp", ".h")) or rel.startswith(".."):
            continue
        # A screen is a window of its own: a form or a dialog. Widget helpers beside the
        # screens are not screens.
        header = os.path.join(src, os.path.splitext(rel)[0] + ".h")
        if os.path.exists(header):
            with open(header, encoding="utf-8") as f:
                if re.search(r"public\s+(Form|QDialog)\b", f.read()):
                    screens.add(os.path.splitext(rel)[0])
    files = []
    for root, _, names in os.walk(src):
        for name in names:
            if name.endswith((".cpp", ".h")):
                files.append(os.path.relpath(os.path.join(root, name), src))
    known = set(files)
    edges = {}
    faults = []
    for rel in sorted(files):
        here = folder_of(rel)
        with open(os.path.join(src, rel), encoding="utf-8") as f:
            text = f.read()
        for target in INCLUDE.findall(text):
            # "x.h" beside the file, or "folder/x.h" from src.
            beside = os.path.normpath(os.path.join(os.path.dirname(rel), target))
            resolved = beside if beside in known else target if target in known else None
            if resolved is None:
                continue
            there = folder_of(resolved)
            if there != here:
                edges.setdefault(here, set()).add(there)
            stem = os.path.splitext(resolved)[0]
            own = os.path.splitext(rel)[0]
            if here in BOTTOM and there not in BOTTOM:
                faults.append(f"{rel}: the bottom layer includes {resolved}")
            if there == TOP and here != TOP:
                faults.append(f"{rel}: includes {resolved} from the top layer")
            if stem in screens and there != "ui" and stem != own and here != TOP:
                kind = "another screen" if own in screens else "a screen from the logic"
                faults.append(f"{rel}: includes {kind}, {resolved}")
    print("Which folder of src/ includes which (bottom: " + ", ".join(sorted(BOTTOM)) + "; top: app):")
    order = sorted(edges, key=lambda f: (f == TOP, f not in BOTTOM, f))
    for folder in order:
        print(f"  {folder:10} → " + ", ".join(sorted(edges[folder])))
    for fault in faults:
        print("FAIL: " + fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
