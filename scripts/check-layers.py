#!/usr/bin/env python3
"""Draws which folders of src/ include which, and fails when an include runs a way the layer map
does not allow.

usage: check-layers.py SRC_DIR

The map is what the build reads: the USES of each folder's drill_folder call in its
CMakeLists.txt gives the folders it may include; "*" lets a folder include every folder, and no
folder may include one marked so. Every file of
every library under SRC_DIR is read. Besides the map, no screen (a class that derives from Form
or QDialog) includes another screen's header, the logic includes no screen, and the map itself
has no loop between folders. A screen's own files are those named after it.
"""
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from folder_map import layer_map  # noqa: E402

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)
SCREEN = re.compile(r"public\s+(Form|QDialog)\b")


def folder_of(path):
    return path.split("/", 1)[0] if "/" in path else ""


def loops(allowed):
    """The loops between folders the map allows, apart from the top ('*')."""
    found = []
    state = {}

    def visit(folder, path):
        state[folder] = "open"
        for target in sorted(allowed.get(folder, ())):
            if target == "*" or "*" in allowed.get(target, ()):
                continue
            if state.get(target) == "open":
                found.append(" → ".join(path[path.index(target):] + [target]))
            elif target not in state:
                visit(target, path + [target])
        state[folder] = "done"

    for folder in sorted(allowed):
        if folder not in state:
            visit(folder, [folder])
    return found


def main():
    src = os.path.abspath(sys.argv[1])
    allowed = layer_map(src)
    top = {folder for folder, targets in allowed.items() if "*" in targets}
    files = []
    for root, _, names in os.walk(src):
        for name in names:
            if name.endswith((".cpp", ".h")):
                files.append(os.path.relpath(os.path.join(root, name), src))
    known = set(files)
    texts = {}
    for rel in files:
        with open(os.path.join(src, rel), encoding="utf-8") as f:
            texts[rel] = f.read()
    screens = {os.path.splitext(rel)[0] for rel in files if rel.endswith(".h") and SCREEN.search(texts[rel])}
    edges = {}
    faults = ["the map allows a loop: " + loop for loop in loops(allowed)]
    for rel in sorted(files):
        here = folder_of(rel)
        if here and here not in allowed:
            faults.append(f"{rel}: the folder {here} declares no drill_folder in its CMakeLists.txt")
            continue
        own = os.path.splitext(rel)[0]
        for target in INCLUDE.findall(texts[rel]):
            # "x.h" beside the file, or "folder/x.h" from src.
            beside = os.path.normpath(os.path.join(os.path.dirname(rel), target))
            resolved = beside if beside in known else target if target in known else None
            if resolved is None:
                continue
            there = folder_of(resolved)
            stem = os.path.splitext(resolved)[0]
            if there != here:
                edges.setdefault(here, set()).add(there)
                if there in top and here not in top:
                    faults.append(f"{rel}: includes {resolved} from the top")
                elif "*" not in allowed.get(here, ()) and there not in allowed.get(here, ()):
                    faults.append(f"{rel}: {here} may not include {there} ({resolved})")
            # A screen's own files are named after it ("board_screen_layout.cpp", the dialogs of
            # "roster_window_dialogs.h"), and may include each other.
            related = own == stem or own.startswith(stem + "_") or stem.startswith(own + "_")
            if stem in screens and not related and there != "ui" and here not in top:
                kind = "another screen" if own in screens else "a screen from the logic"
                faults.append(f"{rel}: includes {kind}, {resolved}")
    print("Which folder of src/ includes which:")
    order = sorted(edges, key=lambda f: (f in top, len(allowed.get(f, ())), f))
    for folder in order:
        print(f"  {folder:10} → " + ", ".join(sorted(edges[folder])))
    for fault in faults:
        print("FAIL: " + fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
